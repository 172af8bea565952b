// Process-wide services started by InitKControl: hover notifications to "BOUTON" controls,
// tooltip bubbles for child windows whose text starts with "BB:", and the style-editor shortcut
// (Ctrl+Alt or Ctrl+Shift with a left click).
#pragma once

#include <windows.h>

// Sent to a "BOUTON" the mouse has entered / left: wParam the hit-test code (0 from the timer),
// lParam the cursor's screen position, MAKELPARAM(x, y).
constexpr UINT KCM_MOUSEENTER = WM_USER + 4444;
constexpr UINT KCM_MOUSELEAVE = WM_USER + 4445;

extern "C" {
int WINAPI InitKControl();
int WINAPI EndKControl();
void CALLBACK HoverTimerProc(HWND, UINT, UINT_PTR, DWORD);
}

// The mouse hook InitKControl installs desktop-wide (tests install it for their own thread).
LRESULT CALLBACK MouseHookProc(int code, WPARAM message, LPARAM lParam);

// Opens the style editor on the dialog under a shortcut click; 1 swallows the click.
LRESULT OpenStyleEditorAt(POINT screenPoint, HWND clicked);
