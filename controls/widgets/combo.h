// Combo box "KVCOMBO": exports.
#pragma once

#include <windows.h>

extern "C" {
COLORREF WINAPI SetKvComboFocusColor(HWND combo, COLORREF colour);
COLORREF WINAPI SetKvComboBkColor(HWND combo, COLORREF colour);
BOOL WINAPI SetKvComboLBSize(HWND combo, int width, int height);
}
