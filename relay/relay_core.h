// The relay's link to the main application: find its command window, start it, send a command.
#pragma once

#include <windows.h>

namespace relay {

// Sends `text` to the command window with WM_SETTEXT and returns the window's answer.
LRESULT SendQZCommand(const char* text, HWND window);

// Starts "qz32.exe" from the folder of `module` (the program itself when null) with `text` on its
// command line and waits for its command window. Returns 1 with the window in `*window`, or 0 when
// the program is missing, cannot start, ends, or shows no command window within kLaunchWaitMs.
int LaunchQZ(HMODULE module, const char* text, HWND* window);

// The command window of the running application, or null.
HWND FindCommandWindow();

constexpr DWORD kLaunchWaitMs = 30000;  // a cold start of the main application is slow
constexpr DWORD kLaunchPollMs = 50;
constexpr DWORD kResendPauseMs = 1000;  // the fresh application needs a moment before commands

}  // namespace relay
