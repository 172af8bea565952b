// Which windows the style model treats as controls, and the dialog whose style governs one.
#pragma once

#include <windows.h>

// A live window of class "BOUTON".
bool IsKvButton(HWND window);
// A live window of one of the classes that paint from a style record (the library's own and the
// system controls).
bool IsStyledControl(HWND window);
// The dialog whose style governs `window`: the window itself for a non-control, the tab page a
// tab button selects, else the control's parent when that is a popup or a textured dialog, else
// the parent's parent. Null for a non-window.
HWND OwningDialog(HWND window);
