// The control library's functions the editor binds by ordinal only (import library made from a
// .def with NONAME entries): dialog backgrounds painted from the dialog's style, the release of
// that style when the dialog goes, and the drag of a packed bitmap with a transparent colour.
#pragma once

#include <windows.h>

extern "C" {
int WINAPI FillDlgWithTexture(HWND dialog, HDC dc, int dialogNumber);  // ordinal 220
int WINAPI EndDlgTexture(HWND dialog);                                  // ordinal 221
// Drags `dib` from `position` (screen) while the left button is down; 1 once it is released.
int WINAPI KvDragTransparentDib(HGLOBAL dib, POINT* position, int hotX, int hotY, COLORREF key);  // ordinal 242
}

// The style number of every editor dialog in the control library's style settings.
constexpr int kEditorDialogTexture = 66;
// What a dragged thumbnail leaves transparent: the grey of its bands.
constexpr COLORREF kDragTransparentColor = 0x00C0C0C0;
