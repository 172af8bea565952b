// The control library's functions the editor binds by ordinal only (import library made from a
// .def with NONAME entries): dialog backgrounds painted from the dialog's style, and the release
// of that style when the dialog goes.
#pragma once

#include <windows.h>

extern "C" {
int WINAPI FillDlgWithTexture(HWND dialog, HDC dc, int dialogNumber);  // ordinal 220
int WINAPI EndDlgTexture(HWND dialog);                                  // ordinal 221
}

// The style number of every editor dialog in the control library's style settings.
constexpr int kEditorDialogTexture = 66;
