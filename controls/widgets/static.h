// "STATIQUE", the library's static control (labels, pictures, 3D lines, frames, group boxes,
// drawn over the dialog's background), and the colours of owner-drawn list boxes.
#pragma once

#include <windows.h>

extern "C" {
// The control's background colour (COLOR_BTNFACE: show the parent's background) and text
// colour; each invalidates the control and returns InvalidateRect's result, 0 for a window
// that is not a "STATIQUE".
int WINAPI SetBKStatColor(HWND control, COLORREF colour);
int WINAPI SetTexteStatColor(HWND control, COLORREF colour);
// The list style of the dialog of `list` (a list box or its dialog): text colour and its
// contrast colour; first and second colour. Pointers may be null.
COLORREF WINAPI GetTextColorItemListBox(HWND list, COLORREF* text, COLORREF* contrast);
COLORREF WINAPI GetBkColorListBox(HWND list, COLORREF* first, COLORREF* second);
}
