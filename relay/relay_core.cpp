#include "relay/relay_core.h"

#include <shlwapi.h>

#include "relay/relay_text.h"

namespace relay {

static const char kWindowClass[] = "QzLinkWndClass";

LRESULT SendQZCommand(const char* text, HWND window) {
  return SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

HWND FindCommandWindow() {
  HWND w = FindWindowA(kWindowClass, nullptr);
  return (w != nullptr && IsWindow(w)) ? w : nullptr;
}

int LaunchQZ(HMODULE module, const char* text, HWND* window) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};

  char path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return 0;
  PathRemoveFileSpecA(path);
  if (!PathAppendA(path, "qz32.exe")) return 0;
  if (!PathFileExistsA(path)) return 0;
  PathQuoteSpacesA(path);

  char line[kCommandLineSize];
  if (!BuildLaunchLine(path, text, line, sizeof line)) return 0;
  if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, CREATE_DEFAULT_ERROR_MODE, nullptr,
                      nullptr, &startup, &process)) {
    return 0;
  }
  CloseHandle(process.hThread);

  // Poll for the command window, pausing on the process handle: a program that ends before it
  // shows its window, or never shows it, counts as a failed start.
  *window = nullptr;
  const DWORD start = GetTickCount();
  int result = 0;
  for (;;) {
    *window = FindWindowA(kWindowClass, nullptr);
    if (*window != nullptr) {
      result = 1;
      break;
    }
    if (GetTickCount() - start >= kLaunchWaitMs) break;
    if (WaitForSingleObject(process.hProcess, kLaunchPollMs) == WAIT_OBJECT_0) {
      *window = FindWindowA(kWindowClass, nullptr);  // it may have handed over to another instance
      result = *window != nullptr ? 1 : 0;
      break;
    }
  }
  CloseHandle(process.hProcess);
  return result;
}

}  // namespace relay
