#include "editor_driver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "retouch/frame/retouch_state.h"
#include "wintest.h"

namespace editor_test {

HMODULE g_hostRes, g_hostResNoCreateDialog, g_hostResNoCreateDialogParam;

namespace {

class EditorEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    g_libraryInstance = GetModuleHandleA(nullptr);
    g_hostRes = LoadLibraryA("HostRes.dll");
    g_hostResNoCreateDialog = LoadLibraryA("HostResNoCreateDialog.dll");
    g_hostResNoCreateDialogParam = LoadLibraryA("HostResNoCreateDialogParam.dll");
    RemoveSettingsFiles();
  }
  void TearDown() override { RemoveSettingsFiles(); }
};
const auto* const g_environment = testing::AddGlobalTestEnvironment(new EditorEnvironment);

struct Script {
  std::vector<Step> steps;
  size_t next = 0;
  DWORD deadline = 0;
  bool busy = false;
  bool timedOut = false;
};
Script* g_script = nullptr;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  Script* s = g_script;
  if (!s || s->busy || s->next >= s->steps.size()) return;
  s->busy = true;
  if (GetTickCount() > s->deadline) {
    s->timedOut = true;
    if (g_state)
      std::printf("timed out at step %zu: pointerInCanvas %d, brushCursorShown %d\n", s->next,
                  static_cast<int>(g_state->pointerInCanvas), static_cast<int>(g_state->brushCursorShown));
    s->next = s->steps.size();
    if (g_state && g_state->frameWindow) PostMessageA(g_state->frameWindow, WM_CLOSE, 0, 0);
  } else if (s->steps[s->next]()) {
    ++s->next;
  }
  s->busy = false;
}

COLORREF PixelOf(HWND window, HDC dc, int x, int y) {
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return c;
}

}  // namespace

COLORREF FramePixel(int x, int y) { return ClientPixel(g_state->frameWindow, x, y); }
COLORREF ClientPixel(HWND window, int x, int y) { return PixelOf(window, GetDC(window), x, y); }
COLORREF WindowPixel(HWND window, int x, int y) { return PixelOf(window, GetWindowDC(window), x, y); }

RECT FrameForClient(int left, int top, int cw, int ch) {
  return RECT{left, top, left + cw + 2 * GetSystemMetrics(SM_CXFRAME),
              top + ch + 2 * GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION)};
}

EditorRun OpenEditor(HGLOBAL image, RECT frame, POINT tools, std::vector<Step> steps, HWND parent) {
  Script script;
  script.steps = std::move(steps);
  script.deadline = GetTickCount() + 15000;
  g_script = &script;
  const UINT_PTR timer = SetTimer(nullptr, 0, 15, Tick);
  EditorRun run;
  run.result = RetouchEditor_Open(parent, image, &frame, &tools);
  KillTimer(nullptr, timer);
  g_script = nullptr;
  run.timedOut = script.timedOut;
  run.finished = script.next == script.steps.size() && !script.timedOut;
  return run;
}

Step Do(std::function<void()> f) {
  return [f] {
    f();
    return true;
  };
}

Step Wait(int ticks) {
  auto left = std::make_shared<int>(ticks);
  return [left] { return --*left <= 0; };
}

Step CloseFrame() {
  return Do([] { PostMessageA(g_state->frameWindow, WM_SYSCOMMAND, SC_CLOSE, 0); });
}

void PointerOnCanvas(int x, int y) {
  POINT p{x, y};
  ClientToScreen(g_state->canvasWindow, &p);
  SetCursorPos(p.x, p.y);
  PostMessageA(g_state->canvasWindow, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
}

void PointerAway() { SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 3, 3); }

HWND ToolControl(int id) { return GetDlgItem(g_state->toolWindow, id); }

void ClickTool(int id) { SendMessageA(ToolControl(id), BM_CLICK, 0, 0); }

static BOOL CALLBACK TakeAdjustmentDialog(HWND w, LPARAM out) {
  if (!GetDlgItem(w, 101) || !GetDlgItem(w, 156) || !IsWindowVisible(w)) return TRUE;
  *reinterpret_cast<HWND*>(out) = w;
  return FALSE;
}

HWND AdjustmentDialog() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), TakeAdjustmentDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

size_t LiveGdiObjects() {
  const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (reported) return reported;
  size_t n = 0;
  for (uintptr_t i = 1; i < 0x10000; ++i)
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(i))) ++n;
  return n;
}

std::string SettingsPath(const char* fileName) { return wintest::ProgramDir() + fileName; }

void RemoveSettingsFiles() {
  for (const char* name : {"KVRTCH.INI", "KVRTOUCH.INI"}) DeleteFileA(SettingsPath(name).c_str());
}

}  // namespace editor_test
