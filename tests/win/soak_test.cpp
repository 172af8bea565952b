// Long use in one process, as a working day gives it: editor sessions with strokes, a lasso and
// its transforms, a line of text and an adjustment, and openings of the controls gallery with
// every control used. GDI objects, USER objects and heap blocks end where they started.
#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "editor_driver.h"
#include "host/demo/controls_gallery.h"
#include "retouch/frame/retouch_state.h"
#include "retouch/imaging/selection.h"
#include "wintest.h"

namespace {

using namespace editor_test;

constexpr int kRounds = 200;
// The canvas shows the 64 x 48 image four times larger.
constexpr int kScale = 4;

POINT Device(int x, int y) { return POINT{x * kScale + 1, y * kScale + 1}; }

void Send(UINT message, WPARAM flags, POINT device) {
  POINT s = device;
  ClientToScreen(g_state->canvasWindow, &s);
  SetCursorPos(s.x, s.y);
  SendMessageA(g_state->canvasWindow, message, flags, MAKELPARAM(device.x, device.y));
}

// A press, moves and a release, in image points.
void Drag(std::initializer_list<POINT> path) {
  const POINT* p = path.begin();
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Device(p->x, p->y));
  for (++p; p != path.end(); ++p) Send(WM_MOUSEMOVE, MK_LBUTTON, Device(p->x, p->y));
  const POINT last = *(path.end() - 1);
  Send(WM_LBUTTONUP, 0, Device(last.x, last.y));
}

POINT HandleCentre(int code) {
  const sel::Selection& model = *g_state->selection;
  for (int i = 0; i < sel::kHandleCount; ++i)
    if (sel::kHandleCodes[i] == code) {
      const sel::Rect& r = model.handleRects[i];
      return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
  return POINT{-1, -1};
}
void Press(int code) {
  const POINT c = HandleCentre(code);
  Drag({c});
}

HWND g_adjust = nullptr;

// Each step runs at a tick of the driver: the edits that need no loop of their own share one.
std::vector<Step> Session(bool accept) {
  return {
      Do([] { PointerOnCanvas(20, 20); }),
      [] { return g_state->pointerInCanvas == 1; },
      Do([] {
        ClickTool(TOOL_PAINT);
        Drag({{4, 4}, {30, 20}, {58, 40}});
        ClickTool(TOOL_LASSO);
        Drag({{12, 10}, {40, 10}, {40, 34}, {12, 34}, {12, 10}});
        if (g_state->floatActive) {
          Press(sel::kHitMirrorLeftRight);
          Press(sel::kHitHueUp);
          const POINT inside = HandleCentre(sel::kHitMove);
          Drag({inside, {inside.x + 6, inside.y + 3}});
          Press(sel::kHitStamp);
          if (g_state->floatActive) Press(sel::kHitDrop);
        }
        ClickTool(TOOL_TEXT);
        const POINT at = Device(8, 40);
        SendMessageA(g_state->canvasWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        SendMessageA(g_state->canvasWindow, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        for (char c : std::string("Soak")) SendMessageA(g_state->canvasWindow, WM_CHAR, static_cast<unsigned char>(c), 0);
        SendMessageA(g_state->canvasWindow, WM_KEYDOWN, VK_RETURN, 0);
        // The adjustment dialog runs its own loop: the next steps run in it.
        g_adjust = nullptr;
        PostMessageA(g_state->toolWindow, WM_COMMAND, MAKEWPARAM(TOOL_ADJUST, BN_CLICKED),
                     reinterpret_cast<LPARAM>(ToolControl(TOOL_ADJUST)));
      }),
      [] {
        g_adjust = AdjustmentDialog();
        return g_adjust != nullptr;
      },
      Do([] {
        for (int bar = 101; bar <= 104; ++bar)
          SendMessageA(g_adjust, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 12),
                       reinterpret_cast<LPARAM>(GetDlgItem(g_adjust, bar)));
        SendMessageA(GetDlgItem(g_adjust, IDOK), BM_CLICK, 0, 0);
      }),
      Do([accept] { SendMessageA(ToolControl(accept ? 8 : IDCANCEL), BM_CLICK, 0, 0); }),
  };
}

// Windows of this process: Wine reports no USER objects, and windows are most of them.
BOOL CALLBACK CountChild(HWND, LPARAM n) {
  ++*reinterpret_cast<size_t*>(n);
  return TRUE;
}
BOOL CALLBACK CountOwn(HWND w, LPARAM n) {
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid == GetCurrentProcessId()) {
    ++*reinterpret_cast<size_t*>(n);
    EnumChildWindows(w, CountChild, n);
  }
  return TRUE;
}
size_t UserObjects() {
  if (const DWORD reported = wintest::UserObjects()) return reported;
  size_t n = 0;
  EnumWindows(CountOwn, reinterpret_cast<LPARAM>(&n));
  return n;
}

struct Usage {
  size_t gdi, user, blocks;
};
Usage Now() {
  wintest::Pump(50);
  return {LiveGdiObjects(), UserObjects(), wintest::BusyHeapBlocks()};
}

TEST(Soak, EditorSessionsAndGalleryOpeningsEndWhereTheyStarted) {
  RetouchEditor_SetModules(g_hostRes, g_hostRes);
  RemoveSettingsFiles();
  const HMODULE controls = GetModuleHandleA("Tamsel.dll");
  ASSERT_NE(controls, nullptr);
  HGLOBAL image = MakeImage(64, 48, [](int x, int y) { return RGB(x * 4, y * 5, (x * 7 + y * 3) & 0xFF); });
  const RECT frame = FrameForClient(100, 100, 64 * kScale, 48 * kScale);
  auto round = [&](int i) {
    const EditorRun run = OpenEditor(image, frame, kToolsAt, Session(i % 2 == 0));
    EXPECT_TRUE(run.finished && !run.timedOut) << "session " << i;
    // The keyboard's sixty keys make its opening the dearest step: every fifth gallery has it.
    const demo::GalleryScript quick{"", "", true, i % 5 == 0};
    EXPECT_EQ(demo::RunControlsGallery(controls, &quick), 0) << "gallery " << i;
    return run.finished && !testing::Test::HasFailure();
  };
  // The first round makes what the system keeps from first use.
  ASSERT_TRUE(round(0));
  const Usage before = Now();
  for (int i = 1; i <= kRounds; ++i) ASSERT_TRUE(round(i));
  const Usage after = Now();
  std::printf("%d editor sessions and gallery openings: GDI objects %zu -> %zu, USER objects %zu -> %zu, "
              "heap blocks %zu -> %zu\n",
              kRounds, before.gdi, after.gdi, before.user, after.user, before.blocks, after.blocks);
  // The system may make an object or two on its own; one lost per round would show as 200.
  EXPECT_LE(after.gdi, before.gdi + 5);
  EXPECT_LE(after.user, before.user);
  // A block lost per round would show as 200 or more.
  EXPECT_LT(after.blocks, before.blocks + 50);
  GlobalFree(image);
  RemoveSettingsFiles();
  RetouchEditor_SetModules(nullptr, nullptr);
}

}  // namespace
