// Small window utilities of the editor's windows.
#pragma once

#include <windows.h>

// Converts the rectangle from the window's logical units to device units with its own device
// context and invalidates it without erasing.
void InvalidateLogicalRect(HWND window, const RECT* rect);

// Removes every property the window carries.
void RemoveAllProps(HWND window);
