// Stand-in for the main application: owns a "QzLinkWndClass" window a little after it starts and
// records what it is told in "qz32.log" beside itself, one line per event:
//   START <its command line>      at start
//   TEXT <text>                   for every WM_SETTEXT (answered with kAnswer)
// Words on its command line steer it for tests: STANDIN:NOWINDOW (never shows the window),
// STANDIN:EXIT (ends at once). WM_CLOSE, or the text STANDIN:QUIT, ends it; so does a minute
// of idleness, so that a failed test never leaves it behind.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr LRESULT kAnswer = 77;
constexpr UINT kShowDelayMs = 300;
constexpr UINT kIdleLimitMs = 60000;
constexpr UINT_PTR kIdleTimer = 2;

char g_logPath[MAX_PATH];

void Log(const char* tag, const char* text) {
  if (FILE* f = std::fopen(g_logPath, "ab")) {
    std::fprintf(f, "%s %s\n", tag, text);
    std::fclose(f);
  }
}

LRESULT CALLBACK CommandWindowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SETTEXT: {
      const char* text = reinterpret_cast<const char*>(lp);
      Log("TEXT", text != nullptr ? text : "");
      SetTimer(w, kIdleTimer, kIdleLimitMs, nullptr);
      if (text != nullptr && std::strstr(text, "STANDIN:QUIT") != nullptr) PostMessageA(w, WM_CLOSE, 0, 0);
      return kAnswer;
    }
    case WM_TIMER:
      if (wp == kIdleTimer) DestroyWindow(w);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  GetModuleFileNameA(nullptr, g_logPath, MAX_PATH);
  if (char* slash = std::strrchr(g_logPath, '\\')) std::strcpy(slash + 1, "qz32.log");
  const char* line = GetCommandLineA();
  Log("START", line);
  if (std::strstr(line, "STANDIN:EXIT") != nullptr) return 3;
  const bool noWindow = std::strstr(line, "STANDIN:NOWINDOW") != nullptr;

  // The real application takes a moment before its command window exists.
  Sleep(noWindow ? 0 : kShowDelayMs);
  if (noWindow) {
    Sleep(kIdleLimitMs);
    return 0;
  }
  WNDCLASSA wc = {};
  wc.lpfnWndProc = CommandWindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = "QzLinkWndClass";
  if (!RegisterClassA(&wc)) return 1;
  HWND w = CreateWindowExA(0, wc.lpszClassName, "qz32", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                           instance, nullptr);
  if (w == nullptr) return 2;
  SetTimer(w, kIdleTimer, kIdleLimitMs, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
