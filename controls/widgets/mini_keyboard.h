// The mini keyboard: a small on-screen keyboard (template 1 of the resource module) that types
// into an input field ("SAISIE" or "KC_EDIT"), one per process. It opens under the field from a
// double or right click, never takes the activation or the focus from its field, and closes
// when the field loses the focus to another window or is destroyed.
#pragma once

#include <windows.h>

namespace tamsel {

constexpr int kMiniKeyboardTemplate = 1;

// With `open` 0, closes an open keyboard; with 1 and none open, opens one for `target` unless
// the style editor is open.
void ToggleMiniKeyboard(HWND target, int open);

// What the fields call: a double or right click opens the keyboard, or closes it when one is
// open; a focus loss to a window outside the keyboard, and the field's destruction, close it.
void MiniKeyboardClick(HWND field);
void MiniKeyboardFocusLost(HWND field, HWND newFocus);
void MiniKeyboardTargetGone(HWND field);

// The keyboard's window and the field it types into; null when closed (the target is null
// too while a keyboard whose field went away waits for its posted close).
HWND MiniKeyboardWindow();
HWND MiniKeyboardTarget();

INT_PTR CALLBACK MiniKeyboardProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tamsel
