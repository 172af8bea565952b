// The editor driven as a user would, in process: it is opened over real images with the host's
// resource module, runs its own modal loop, and a thread timer acts and checks from inside it
// (editor_driver.h).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "retouch/canvas/canvas_window.h"
#include "retouch/frame/brush_cursor.h"
#include "retouch/frame/cursor_ids.h"
#include "retouch/frame/editor.h"
#include "retouch/frame/editor_globals.h"
#include "retouch/frame/retouch_state.h"
#include "editor_driver.h"
#include "msg_recorder.h"
#include "wintest.h"

namespace {

using namespace editor_test;

BOOL CALLBACK CountWindow(HWND, LPARAM p) {
  ++*reinterpret_cast<int*>(p);
  return TRUE;
}

int CountThreadWindows() {
  int n = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&n));
  return n;
}

// Closes the editor frame (the dialog with the canvas) once it is up.
BOOL CALLBACK CloseFrameWindow(HWND w, LPARAM) {
  if (GetDlgItem(w, IDC_CANVAS) && IsWindowVisible(w)) PostMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0);
  return TRUE;
}
void CALLBACK CloseFrameTick(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), CloseFrameWindow, 0); }

// Four coloured quadrants.
COLORREF Quadrant(int x, int y, int w, int h) {
  if (y < h / 2) return x < w / 2 ? RGB(255, 0, 0) : RGB(0, 255, 0);
  return x < w / 2 ? RGB(0, 0, 255) : RGB(255, 255, 255);
}

class Editor : public testing::Test {
 protected:
  void SetUp() override { RetouchEditor_SetModules(g_hostRes, g_hostRes); }
  void TearDown() override {
    RetouchEditor_SetModules(nullptr, nullptr);
    EXPECT_EQ(g_state, nullptr);
  }
};

// The library itself, bound by ordinal as a host binds it.
TEST(BrelioLibrary, OrdinalsOpenAndCloseTheEditor) {
  HMODULE brelio = LoadLibraryA("Brelio.dll");
  ASSERT_NE(brelio, nullptr);
  using SetModulesFn = HINSTANCE(WINAPI*)(HINSTANCE, HINSTANCE);
  using OpenFn = int(WINAPI*)(HWND, HGLOBAL, RECT*, POINT*);
  auto setModules = reinterpret_cast<SetModulesFn>(reinterpret_cast<void*>(GetProcAddress(brelio, MAKEINTRESOURCEA(3))));
  auto open = reinterpret_cast<OpenFn>(reinterpret_cast<void*>(GetProcAddress(brelio, MAKEINTRESOURCEA(2))));
  ASSERT_NE(setModules, nullptr);
  ASSERT_NE(open, nullptr);
  EXPECT_EQ(GetProcAddress(brelio, "RetouchEditor_Open"), nullptr) << "exported by ordinal only";

  HGLOBAL image = MakeImage(40, 30, [](int, int) { return RGB(10, 20, 30); });
  RECT frame = FrameForClient(100, 100, 200, 150);
  POINT tools = kToolsAt;
  const int windowsBefore = CountThreadWindows();
  EXPECT_EQ(setModules(nullptr, nullptr), nullptr);
  EXPECT_EQ(open(nullptr, image, &frame, &tools), 0) << "no resource module: nothing opens";
  EXPECT_EQ(CountThreadWindows(), windowsBefore);

  EXPECT_EQ(setModules(g_hostRes, g_hostRes), g_hostRes);
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, CloseFrameTick);
  EXPECT_EQ(open(nullptr, image, &frame, &tools), 0);
  KillTimer(nullptr, timer);
  EXPECT_EQ(ImagePixel(image, 3, 3), RGB(10, 20, 30));
  EXPECT_EQ(CountThreadWindows(), windowsBefore);
  setModules(nullptr, nullptr);
  GlobalFree(image);
  FreeLibrary(brelio);
}

TEST_F(Editor, ResourceModuleIsComplete) {
  ASSERT_NE(g_hostRes, nullptr);
  ASSERT_NE(g_hostResNoCreateDialog, nullptr);
  ASSERT_NE(g_hostResNoCreateDialogParam, nullptr);
  for (const char* name : {"KVCreateDialog", "KVCreateDialogParam", "KVDialogBoxParam"})
    EXPECT_NE(GetProcAddress(g_hostRes, name), nullptr) << name;
  EXPECT_EQ(GetProcAddress(g_hostResNoCreateDialog, "KVCreateDialog"), nullptr);
  EXPECT_EQ(GetProcAddress(g_hostResNoCreateDialogParam, "KVCreateDialogParam"), nullptr);
  for (int id = CURSOR_FIRST; id <= CURSOR_LAST; ++id) EXPECT_NE(LoadCursorA(g_hostRes, MAKEINTRESOURCEA(id)), nullptr) << id;
  char text[260];
  for (int id = 31164; id <= 31166; ++id) EXPECT_GT(LoadStringA(g_hostRes, id, text, sizeof text), 0) << id;
  EXPECT_NE(FindResourceA(g_hostRes, MAKEINTRESOURCEA(1800), MAKEINTRESOURCEA(5)), nullptr);
  EXPECT_NE(FindResourceA(g_hostRes, MAKEINTRESOURCEA(257), MAKEINTRESOURCEA(5)), nullptr);
}

TEST_F(Editor, RefusesWithoutModuleOrFrameExportOrImage) {
  HGLOBAL image = MakeImage(40, 30, [](int, int) { return RGB(10, 20, 30); });
  const RECT frame = FrameForClient(100, 100, 200, 150);
  const int windowsBefore = CountThreadWindows();
  HWND parent = CreateWindowExA(0, "STATIC", "host", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);

  RetouchEditor_SetModules(nullptr, nullptr);
  EXPECT_EQ(OpenEditor(image, frame, kToolsAt, {CloseFrame()}, parent).result, 0);
  RetouchEditor_SetModules(g_hostResNoCreateDialogParam, g_hostResNoCreateDialogParam);
  EXPECT_EQ(OpenEditor(image, frame, kToolsAt, {CloseFrame()}, parent).result, 0);
  RetouchEditor_SetModules(g_hostRes, g_hostRes);
  EXPECT_EQ(OpenEditor(nullptr, frame, kToolsAt, {CloseFrame()}, parent).result, 0);
  HGLOBAL mask = DibCreate(40, 30, 8);
  EXPECT_EQ(OpenEditor(mask, frame, kToolsAt, {CloseFrame()}, parent).result, 0);

  EXPECT_TRUE(IsWindowEnabled(parent));
  DestroyWindow(parent);
  EXPECT_EQ(CountThreadWindows(), windowsBefore) << "nothing is left behind";
  WNDCLASSA wc;
  EXPECT_FALSE(GetClassInfoA(g_libraryInstance, kCanvasClassName, &wc)) << "class unregistered";
  GlobalFree(mask);
  GlobalFree(image);
}

TEST_F(Editor, FrameWithoutToolWindowExport) {
  RetouchEditor_SetModules(g_hostResNoCreateDialog, g_hostResNoCreateDialog);
  HGLOBAL image = MakeImage(40, 30, [](int, int) { return RGB(10, 20, 30); });
  bool shown = false, noBackup = false;
  wintest::MsgRecorder dialogs;
  dialogs.Only({WM_INITDIALOG});
  dialogs.WatchCreated("#32770", "dialog");
  const EditorRun run = OpenEditor(image, FrameForClient(100, 100, 200, 150), kToolsAt,
                             {Wait(3), Do([&] {
                                shown = IsWindowVisible(g_state->frameWindow) && g_state->canvasWindow;
                                noBackup = g_state->backupImage == nullptr;
                              }),
                              CloseFrame()});
  EXPECT_TRUE(run.finished);
  EXPECT_EQ(run.result, 0);
  EXPECT_TRUE(shown);
  wintest::ExpectSequence(dialogs, {{WM_INITDIALOG}}, "the frame and no tool window");
  EXPECT_TRUE(noBackup);
  GlobalFree(image);
}

TEST_F(Editor, ImageFillsTheClientArea) {
  const int iw = 64, ih = 48;
  HGLOBAL image = MakeImage(iw, ih, [&](int x, int y) { return Quadrant(x, y, iw, ih); });
  // Client 256 x 96: four times wider, twice as high as the image.
  const int cw = 256, ch = 96;
  RECT client{};
  std::vector<COLORREF> seen;
  POINT mapped{};
  const EditorRun run = OpenEditor(image, FrameForClient(100, 100, cw, ch), kToolsAt,
                             {Wait(4), Do([&] {
                                UpdateWindow(g_state->canvasWindow);
                                GetClientRect(g_state->canvasWindow, &client);
                                const int w = client.right, h = client.bottom;
                                for (POINT p : {POINT{1, 1}, POINT{w - 2, 1}, POINT{1, h - 2}, POINT{w - 2, h - 2},
                                                POINT{w / 2 - 3, h / 2 - 3}, POINT{w / 2 + 3, h / 2 + 3}})
                                  seen.push_back(FramePixel(p.x, p.y));
                                HDC dc = GetDC(g_state->canvasWindow);
                                mapped = POINT{100, 40};
                                DPtoLP(dc, &mapped, 1);
                                ReleaseDC(g_state->canvasWindow, dc);
                              }),
                              CloseFrame()});
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(client.right, cw);
  EXPECT_EQ(client.bottom, ch);
  ASSERT_EQ(seen.size(), 6u);
  EXPECT_EQ(seen[0], RGB(255, 0, 0));
  EXPECT_EQ(seen[1], RGB(0, 255, 0));
  EXPECT_EQ(seen[2], RGB(0, 0, 255));
  EXPECT_EQ(seen[3], RGB(255, 255, 255));
  EXPECT_EQ(seen[4], RGB(255, 0, 0));
  EXPECT_EQ(seen[5], RGB(255, 255, 255));
  EXPECT_EQ(mapped.x, 100 * iw / cw);
  EXPECT_EQ(mapped.y, 40 * ih / ch);
  GlobalFree(image);
}

TEST_F(Editor, FramePaintsItsOwnEdge) {
  HGLOBAL image = MakeImage(64, 48, [](int, int) { return RGB(0, 0, 128); });
  RECT wr{};
  std::vector<std::pair<POINT, COLORREF>> seen;
  const EditorRun run = OpenEditor(
      image, FrameForClient(100, 100, 256, 192), kToolsAt,
      {Wait(4), Do([&] {
         HWND f = g_state->frameWindow;
         RedrawWindow(f, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
         GetWindowRect(f, &wr);
         const int W = wr.right - wr.left, H = wr.bottom - wr.top;
         const int fx = GetSystemMetrics(SM_CXFRAME), fy = GetSystemMetrics(SM_CYFRAME);
         const int s = GetSystemMetrics(SM_CYCAPTION) + fy;
         for (POINT p : {POINT{0, 0}, POINT{W - 1, H - 1}, POINT{0, H / 2}, POINT{1, 1}, POINT{1, H / 2},
                         POINT{W - 2, H - 2}, POINT{W - 2, H / 2}, POINT{fx - 1, H / 2}, POINT{W - fx, H / 2},
                         POINT{2, s}, POINT{2, s + 1}, POINT{2, H / 2 + 7}})
           seen.push_back({p, WindowPixel(f, p.x, p.y)});
       }),
       CloseFrame()});
  ASSERT_TRUE(run.finished);
  ASSERT_EQ(seen.size(), 12u);
  const COLORREF black = 0, white = RGB(255, 255, 255), grey = RGB(128, 128, 128), face = RGB(192, 192, 192);
  const COLORREF want[] = {black, black, black, white, white, grey, grey, grey, white, grey, white, face};
  for (size_t i = 0; i < seen.size(); ++i)
    EXPECT_EQ(seen[i].second, want[i]) << "edge pixel (" << seen[i].first.x << ", " << seen[i].first.y << ")";
  GlobalFree(image);
}


TEST_F(Editor, PointerEnteringAndLeavingTheCanvasIsPostedOnceEachWay) {
  HGLOBAL image = MakeImage(64, 48, [](int, int) { return RGB(0, 0, 0); });
  wintest::MsgRecorder rec;
  rec.Only({WM_CANVAS_POINTER_ENTERED, WM_CANVAS_POINTER_LEFT});
  wintest::NameMessage(WM_CANVAS_POINTER_ENTERED, "WM_CANVAS_POINTER_ENTERED");
  wintest::NameMessage(WM_CANVAS_POINTER_LEFT, "WM_CANVAS_POINTER_LEFT");
  const EditorRun run = OpenEditor(
      image, FrameForClient(100, 100, 256, 192), kToolsAt,
      {Do([] { PointerAway(); }), Wait(3), Do([&] { rec.Watch(g_state->canvasWindow, "canvas"); }),
       Do([] { PointerOnCanvas(50, 50); }), [&] { return rec.Count(WM_CANVAS_POINTER_ENTERED) >= 1; },
       Do([] { PointerOnCanvas(60, 55); }), Wait(5), Do([&] { rec.Mark(1); }),
       // Leaving for a place where no message reaches the editor's thread.
       Do([] { PointerAway(); }), [&] { return rec.Count(WM_CANVAS_POINTER_LEFT) >= 1; }, Wait(5), CloseFrame()});
  EXPECT_TRUE(run.finished);
  wintest::ExpectSequence(rec,
                          {{WM_CANVAS_POINTER_ENTERED, wintest::kPosted},
                           wintest::Marker(1),  // two moves inside
                           {WM_CANVAS_POINTER_LEFT, wintest::kPosted}},
                          "entering, moving inside, leaving");
  GlobalFree(image);
}

TEST_F(Editor, BrushCursorShowCountAndDrawing) {
  HGLOBAL image = MakeImage(64, 48, [](int, int) { return RGB(0, 0, 0); });
  std::vector<std::pair<int, COLORREF>> seen;  // show count, pixel under the pointer
  COLORREF corner = 1, whiteCentre = 0, greyBack = 0;
  auto record = [&] {
    seen.push_back({g_state->brushCursorShown, FramePixel(100, 80)});
  };
  HWND canvas = nullptr;
  const EditorRun run = OpenEditor(
      image, FrameForClient(100, 100, 256, 192), kToolsAt,
      {Do([] { PointerAway(); }), Wait(2), Do([&] {
         canvas = g_state->canvasWindow;
         g_state->currentTool = TOOL_PAINT;
         g_state->brushCursorShown = 0;  // as the tool window does for a brush tool
         RebuildBrushCursor(canvas, TRUE);
         PointerOnCanvas(100, 80);
       }),
       [] { return g_state->pointerInCanvas == 1; }, Wait(3), Do(record),  // entered: shown (1)
       Do([&] {
         ShowBrushCursor(canvas);  // never above 1
         record();
         HideBrushCursor(canvas);
         record();
         HideBrushCursor(canvas);
         record();
         ShowBrushCursor(canvas);  // back to 0: still hidden
         record();
         ShowBrushCursor(canvas);
         record();
         // A 16-unit brush on a canvas four times the image: 64 pixels; its corner is transparent.
         corner = FramePixel(100 - 31, 80 - 31);
         HideBrushCursor(canvas);
         record();
         g_state->brushColor = RGB(255, 255, 255);
         ShowBrushCursor(canvas);
         RebuildBrushCursor(canvas, TRUE);
         whiteCentre = FramePixel(100, 80);
         greyBack = g_state->cursorBackColor;
         HideBrushCursor(canvas);
         record();
       }),
       CloseFrame()});
  ASSERT_TRUE(run.finished);
  const COLORREF brush = kDefaultBrushColor, none = RGB(0, 0, 0);
  const std::vector<std::pair<int, COLORREF>> want = {{1, brush}, {1, brush}, {0, none}, {-1, none},
                                                      {0, none},  {1, brush}, {0, none}, {0, none}};
  EXPECT_EQ(seen, want);
  EXPECT_EQ(corner, none);
  EXPECT_EQ(whiteCentre, RGB(255, 255, 255));
  EXPECT_EQ(greyBack, RGB(192, 192, 192));
  GlobalFree(image);
}

TEST_F(Editor, SizingKeepsTheOpeningProportionsWithinTheScreen) {
  HGLOBAL image = MakeImage(64, 48, [](int, int) { return RGB(0, 0, 0); });
  RECT fromRight{}, fromBottom{}, huge{};
  RECT clientAfterRight{}, clientAfterBottom{}, clientAfterHuge{};
  int ncw = 0, nch = 0;
  const EditorRun run = OpenEditor(
      image, FrameForClient(50, 50, 320, 240), kToolsAt,
      {Wait(3), Do([&] {
         HWND f = g_state->frameWindow;
         RECT wr{}, cr{};
         GetWindowRect(f, &wr);
         GetClientRect(f, &cr);
         ncw = (wr.right - wr.left) - cr.right;
         nch = (wr.bottom - wr.top) - cr.bottom;
         // Dragging the right edge: the height follows.
         g_state->sizingFromEdgeTopOrBottom = 0;
         fromRight = wr;
         fromRight.right += 80;
         SendMessageA(f, WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&fromRight));
         SetWindowPos(f, nullptr, 0, 0, fromRight.right - fromRight.left, fromRight.bottom - fromRight.top,
                      SWP_NOMOVE | SWP_NOZORDER);
         GetClientRect(f, &clientAfterRight);
         // Dragging the bottom edge: the width follows.
         GetWindowRect(f, &wr);
         g_state->sizingFromEdgeTopOrBottom = 1;
         fromBottom = wr;
         fromBottom.bottom -= 90;
         SendMessageA(f, WM_SIZING, WMSZ_BOTTOM, reinterpret_cast<LPARAM>(&fromBottom));
         SetWindowPos(f, nullptr, 0, 0, wr.right - wr.left, fromBottom.bottom - fromBottom.top,
                      SWP_NOMOVE | SWP_NOZORDER);
         GetClientRect(f, &clientAfterBottom);
         // Far too large: limited to the screen, still in proportion.
         g_state->sizingFromEdgeTopOrBottom = 0;
         SetWindowPos(f, nullptr, 0, 0, 5000, 4000, SWP_NOZORDER);
         GetWindowRect(f, &huge);
         GetClientRect(f, &clientAfterHuge);
       }),
       CloseFrame()});
  ASSERT_TRUE(run.finished);
  auto inProportion = [](const RECT& c) {
    // 320 : 240 within the truncation of one pixel.
    return std::abs(c.right * 240 - c.bottom * 320) <= 320;
  };
  EXPECT_EQ(fromRight.bottom - fromRight.top, nch + ((fromRight.right - fromRight.left) - ncw) * 240 / 320);
  EXPECT_EQ(clientAfterRight.right, 400);
  EXPECT_TRUE(inProportion(clientAfterRight));
  EXPECT_EQ(fromBottom.right - fromBottom.left, ncw + ((fromBottom.bottom - fromBottom.top) - nch) * 320 / 240);
  EXPECT_TRUE(inProportion(clientAfterBottom));
  EXPECT_LT(clientAfterBottom.right, clientAfterRight.right);
  EXPECT_LE(huge.right - huge.left, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_LE(huge.bottom - huge.top, GetSystemMetrics(SM_CYSCREEN));
  EXPECT_TRUE(inProportion(clientAfterHuge));
  GlobalFree(image);
}

TEST_F(Editor, TinyFrameRectangleOpensAtTheImageSize) {
  HGLOBAL image = MakeImage(150, 100, [](int, int) { return RGB(0, 0, 0); });
  RECT client{};
  INT_PTR viewWidth = 0, viewHeight = 0;
  const EditorRun run = OpenEditor(image, RECT{100, 100, 104, 103}, kToolsAt,
                                   {Wait(2), Do([&] {
                                      GetClientRect(g_state->frameWindow, &client);
                                      viewWidth = reinterpret_cast<INT_PTR>(GetFrameProp(g_state->frameWindow, PROP_VIEW_WIDTH));
                                      viewHeight = reinterpret_cast<INT_PTR>(GetFrameProp(g_state->frameWindow, PROP_VIEW_HEIGHT));
                                    }),
                                    CloseFrame()});
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(viewWidth, 150);
  EXPECT_EQ(viewHeight, 100);
  EXPECT_EQ(client.right, 150);
  EXPECT_EQ(client.bottom, 100);
  GlobalFree(image);
}

TEST_F(Editor, ClosingAcceptingAndCancelling) {
  HGLOBAL image = MakeImage(64, 48, [](int, int) { return RGB(50, 60, 70); });
  HWND parent = CreateWindowExA(0, "STATIC", "host", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  bool parentDisabled = false;
  auto edit = [&] {
    parentDisabled = !IsWindowEnabled(parent);
    SetImagePixel(image, 5, 5, RGB(1, 2, 3));  // an edit in the caller's pixels
  };
  auto click = [](int id) {
    return Do([id] { SendMessageA(GetDlgItem(g_state->toolWindow, id), BM_CLICK, 0, 0); });
  };

  // The close box: result 0, the edit stays.
  EditorRun run = OpenEditor(image, FrameForClient(100, 100, 256, 192), kToolsAt, {Wait(2), Do(edit), CloseFrame()},
                             parent);
  EXPECT_TRUE(run.finished);
  EXPECT_EQ(run.result, 0);
  EXPECT_TRUE(parentDisabled);
  EXPECT_TRUE(IsWindowEnabled(parent));
  EXPECT_EQ(ImagePixel(image, 5, 5), RGB(1, 2, 3));

  // Cancel: result 0, the image as it was opened.
  SetImagePixel(image, 5, 5, RGB(50, 60, 70));
  run = OpenEditor(image, FrameForClient(100, 100, 256, 192), kToolsAt, {Wait(2), Do(edit), click(2)}, parent);
  EXPECT_EQ(run.result, 0);
  EXPECT_EQ(ImagePixel(image, 5, 5), RGB(50, 60, 70));

  // Accept: result 1, the edit stays.
  run = OpenEditor(image, FrameForClient(100, 100, 256, 192), kToolsAt, {Wait(2), Do(edit), click(8)}, parent);
  EXPECT_EQ(run.result, 1);
  EXPECT_EQ(ImagePixel(image, 5, 5), RGB(1, 2, 3));
  DestroyWindow(parent);
  GlobalFree(image);
}

TEST_F(Editor, OneEditorAtATimeAndAForeignQuitIsHandedBack) {
  HGLOBAL image = MakeImage(64, 48, [](int, int) { return RGB(0, 0, 0); });
  int second = -1;
  const EditorRun run = OpenEditor(image, FrameForClient(100, 100, 256, 192), kToolsAt,
                                   {Wait(2), Do([&] {
                                      RECT r = FrameForClient(0, 0, 10, 10);
                                      POINT p{0, 0};
                                      second = RetouchEditor_Open(nullptr, image, &r, &p);
                                    }),
                                    Do([] { PostQuitMessage(7); })});
  EXPECT_TRUE(run.finished);
  EXPECT_EQ(second, 0);
  EXPECT_EQ(run.result, 0);
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
  GlobalFree(image);
}

TEST_F(Editor, HundredOpeningsLeakNoGdiObjectOrMemoryBlock) {
  HGLOBAL image = MakeImage(64, 48, [&](int x, int y) { return Quadrant(x, y, 64, 48); });
  auto once = [&] {
    return OpenEditor(image, FrameForClient(100, 100, 256, 192), kToolsAt,
                      {Do([] {
                        // A brush tool with its cursor on screen, then the close box.
                        g_state->currentTool = TOOL_PAINT;
                        g_state->brushCursorShown = 0;
                        RebuildBrushCursor(g_state->canvasWindow, TRUE);
                        ShowBrushCursor(g_state->canvasWindow);
                        MoveBrushCursor(g_state->canvasWindow);
                        PostMessageA(g_state->frameWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
                      })});
  };
  ASSERT_TRUE(once().finished);  // first-use allocations of the system happen here
  wintest::Pump(50);
  const size_t gdiBefore = LiveGdiObjects();
  const size_t blocksBefore = wintest::BusyHeapBlocks();
  int finished = 0;
  for (int i = 0; i < 100 && finished == i; ++i) finished += once().finished ? 1 : 0;
  wintest::Pump(50);
  EXPECT_EQ(finished, 100);
  const size_t gdiAfter = LiveGdiObjects();
  EXPECT_LE(gdiAfter, gdiBefore + 5);
  // Each opening allocates several blocks (state, backup, cursor bitmaps): a leak of any of them
  // would show as 100 or more.
  const size_t blocksAfter = wintest::BusyHeapBlocks();
  std::printf("100 openings: GDI objects %zu -> %zu, heap blocks %zu -> %zu\n", gdiBefore, gdiAfter, blocksBefore,
              blocksAfter);
  EXPECT_LT(blocksAfter, blocksBefore + 50) << blocksBefore << " -> " << blocksAfter;
  GlobalFree(image);
}

}  // namespace
