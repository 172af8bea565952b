// Input field "SAISIE": exports, and what the combo box uses of it.
#pragma once

#include <windows.h>

extern "C" {
COLORREF WINAPI SetSaisieFocusColor(HWND field, COLORREF colour);
COLORREF WINAPI SetSaisieBkColor(HWND field, COLORREF colour);
COLORREF WINAPI SetSaisieTxtColor(HWND field, COLORREF colour);
int WINAPI SetSaisieStringMask(HWND field, const char* mask);
}

namespace tamsel {

// The window exists and its class is "SAISIE" (any case).
bool IsSaisie(HWND window);
// The window exists and its class is `name` (any case).
bool HasClass(HWND window, const char* name);

}  // namespace tamsel
