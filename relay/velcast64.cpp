// Velcast64: the relay for 64-bit callers, as a library. No mutex, no special commands.
#include <windows.h>

#include "relay/relay_core.h"
#include "relay/relay_text.h"

static HINSTANCE g_instance = nullptr;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_instance = instance;
  return TRUE;
}

// Starts the main application with `command` on its command line unless it already runs.
// 1 when this call started it, else 0.
extern "C" int WINAPI Velcast_RunQZ(const char* command) {
  char text[relay::kLibraryCommandSize];
  if (command == nullptr || !relay::CopyCommand(command, text, sizeof text)) return 0;
  CharUpperA(text);
  if (relay::FindCommandWindow() != nullptr) return 0;
  HWND window = nullptr;
  if (!relay::LaunchQZ(g_instance, text, &window)) return 0;
  Sleep(relay::kResendPauseMs);
  return 1;
}

// Sends `command` to the running main application; its answer, or 0 when it does not run.
extern "C" LRESULT WINAPI Velcast_ExecCmd(const char* command) {
  char text[relay::kLibraryCommandSize];
  if (command == nullptr || !relay::CopyCommand(command, text, sizeof text)) return 0;
  CharUpperA(text);
  HWND window = relay::FindCommandWindow();
  return window != nullptr ? relay::SendQZCommand(text, window) : 0;
}
