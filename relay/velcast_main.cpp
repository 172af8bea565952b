// Velcast: hands the command on its command line to the running main application, starting it
// first when needed. Shows nothing; the outcome is the exit code.
#include <windows.h>

#include <cstring>

#include "relay/relay_core.h"
#include "relay/relay_text.h"

static bool IsLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != 0; }

static int Relay(const char* command) {
  char text[relay::kLauncherCommandSize];
  if (!relay::CopyCommand(command, text, sizeof text)) return 0;  // never send a cut command
  CharUpperA(text);

  if (HWND window = relay::FindCommandWindow()) {
    return static_cast<int>(relay::SendQZCommand(text, window));
  }
  if (std::strstr(text, "/END") != nullptr) return 0;

  HWND window = nullptr;
  if (!relay::LaunchQZ(nullptr, text, &window)) return 0;
  if (text[0] == '\0' || std::strstr(text, "/HIDE") != nullptr) return 1;  // already on its command line
  Sleep(relay::kResendPauseMs);
  return static_cast<int>(relay::SendQZCommand(text, window));
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const char* command = relay::CommandOfLine(GetCommandLineA(), IsLeadByte);

  HANDLE mutex = CreateMutexA(nullptr, TRUE, "Velcast__Mutex");
  const DWORD error = GetLastError();
  if (mutex == nullptr) return 0;
  int result = 0;
  if (error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED) {
    result = Relay(command);
  }
  ReleaseMutex(mutex);
  CloseHandle(mutex);
  return result;
}
