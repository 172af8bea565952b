// "BOUTON", the suite's owner-drawn button: push and default buttons, check boxes and radio
// buttons (also push-like), auto-radio groups and the tab buttons of tab pages, with faces,
// bitmaps and relief taken from the dialog's style record.
#pragma once

#include <windows.h>

// Private click messages: a click from the program (wParam: the check state for auto radios).
constexpr UINT BTM_CLICK = WM_USER + 5;
constexpr UINT BTM_CLICK2 = WM_USER + 99;

// Bitmap kinds of SetButtonBitmap.
enum ButtonBitmapKind : int { kButtonBitmapNormal = 0, kButtonBitmapDisabled = 1, kButtonBitmapChecked = 2, kButtonBitmapHover = 3 };

extern "C" {
// Gives the button a bitmap of `kind` (it owns it from now on; the slot's previous bitmap is
// deleted). 1; 0 for a window that is not a "BOUTON".
int WINAPI SetButtonBitmap(HWND button, HBITMAP bitmap, int kind);
}

namespace tamsel {
// Number of live buttons, and whether the shared face brush exists (for tests of its life).
int LiveButtonCount();
bool ButtonFaceBrushExists();
// The face brush buttons share (the system button face while no button lives).
HBRUSH ButtonFaceBrush();
}  // namespace tamsel
