// The bitmap drag loops, driven by posted mouse movements while the thread's key state says the
// left button is down. A message hook looks at the screen between movements and lets the button
// go at the end.
#include <gtest/gtest.h>

#include <vector>

#include "bmp_files.h"
#include "controls/widgets/drawing.h"
#include "wintest.h"

namespace {

using wintest::Canvas32;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kKey = RGB(0xC0, 0xC0, 0xC0);
constexpr UINT kProbe = WM_APP + 1;    // look at the screen now
constexpr UINT kRelease = WM_APP + 2;  // let the button go
constexpr UINT kOther = WM_APP + 3;    // anything else: dropped by the loop
constexpr int kW = 20, kH = 10;        // the dragged bitmap
constexpr int kWinX = 60, kWinY = 40, kWinW = 200, kWinH = 150;

void SetLeftButton(bool down) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_LBUTTON] = down ? 0x80 : 0;
  SetKeyboardState(keys);
}

bool g_fromScreen = false;  // read through the screen's device context, not the window's

// The window's client area as it is on the screen now.
void Capture(HWND window, Canvas32* into) {
  POINT at = {0, 0};
  HWND from = window;
  if (g_fromScreen) {
    ClientToScreen(window, &at);
    from = nullptr;
  }
  HDC dc = GetDC(from);
  BitBlt(into->dc(), 0, 0, into->width(), into->height(), dc, at.x, at.y, SRCCOPY);
  ReleaseDC(from, dc);
}

std::vector<Canvas32*> g_shots;
HWND g_window = nullptr;
int g_probes = 0;

LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam) {
  const MSG* msg = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE) {
    if (msg->message == kProbe && g_probes < static_cast<int>(g_shots.size())) Capture(g_window, g_shots[g_probes++]);
    if (msg->message == kRelease) SetLeftButton(false);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

class Drag : public testing::Test {
 protected:
  // One window for all cases: showing a window takes Wine a while.
  static void SetUpTestSuite() {
    window_ = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, kWinX, kWinY, kWinW, kWinH, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
    wintest::Pump(30);
  }
  static void TearDownTestSuite() {
    if (window_) DestroyWindow(window_);
    window_ = nullptr;
  }
  void SetUp() override {
    ASSERT_NE(window_, nullptr);
    wintest::Pump(0);
    HDC dc = GetDC(window_);
    RECT all = {0, 0, kWinW, kWinH};
    fill_rect_Vgradient(dc, &all, RGB(0, 40, 0), RGB(0, 250, 250));
    ReleaseDC(window_, dc);
    Capture(window_, &background_);
    // Red with a key-coloured square at its top left.
    HDC screen = GetDC(nullptr);
    bitmap_ = CreateCompatibleBitmap(screen, kW, kH);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bitmap_);
    RECT r = {0, 0, kW, kH};
    HBRUSH red = CreateSolidBrush(kRed), key = CreateSolidBrush(kKey);
    FillRect(mem, &r, red);
    RECT corner = {0, 0, 5, 5};
    FillRect(mem, &corner, key);
    DeleteObject(red);
    DeleteObject(key);
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    g_window = window_;
    g_probes = 0;
    g_shots.clear();
    hook_ = SetWindowsHookExA(WH_GETMESSAGE, GetMessageHook, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook_, nullptr);
  }
  void TearDown() override {
    g_fromScreen = false;
    SetLeftButton(false);
    if (hook_) UnhookWindowsHookEx(hook_);
    if (bitmap_) DeleteObject(bitmap_);
  }
  void Move(int x, int y) { PostMessageA(window_, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y)); }

  // Pixels of `shot` against the background with the bitmap at (x, y) in client coordinates.
  int Differences(const Canvas32& shot, int x, int y, bool transparentCorner) {
    int wrong = 0;
    for (int py = 0; py < kWinH; py += 1) {
      for (int px = 0; px < kWinW; px += 1) {
        COLORREF want = background_.Pixel(px, py);
        if (px >= x && px < x + kW && py >= y && py < y + kH) {
          const bool corner = px - x < 5 && py - y < 5;
          want = corner ? (transparentCorner ? want : kKey) : kRed;
        }
        wrong += shot.Pixel(px, py) != want;
      }
    }
    return wrong;
  }

  static HWND window_;
  HBITMAP bitmap_ = nullptr;
  HHOOK hook_ = nullptr;
  Canvas32 background_{kWinW, kWinH};
};

HWND Drag::window_ = nullptr;

TEST_F(Drag, OpaqueDragFollowsTheMouseAndLeavesTheScreenAsItWas) {
  Canvas32 start(kWinW, kWinH), first(kWinW, kWinH), overlap(kWinW, kWinH), distant(kWinW, kWinH);
  g_shots = {&start, &first, &overlap, &distant};
  PostMessageA(window_, kProbe, 0, 0);
  Move(50, 30);
  PostMessageA(window_, kOther, 0, 0);
  PostMessageA(window_, kProbe, 0, 0);
  Move(56, 33);  // overlaps the last position
  PostMessageA(window_, kProbe, 0, 0);
  Move(150, 120);  // far from it
  PostMessageA(window_, kProbe, 0, 0);
  PostMessageA(window_, kRelease, 0, 0);
  SetLeftButton(true);
  POINT at = {10, 12};
  const DWORD objects = wintest::GdiObjects();
  EXPECT_EQ(KvDragBitmapInWindow(window_, bitmap_, &at, 4, 3), 1);
  EXPECT_EQ(wintest::GdiObjects(), objects);
  ASSERT_EQ(g_probes, 4);
  EXPECT_EQ(Differences(start, 10, 12, false), 0);
  EXPECT_EQ(Differences(first, 46, 27, false), 0);
  EXPECT_EQ(Differences(overlap, 52, 30, false), 0);
  EXPECT_EQ(Differences(distant, 146, 117, false), 0);
  EXPECT_EQ(at.x, 146);
  EXPECT_EQ(at.y, 117);
  Canvas32 after(kWinW, kWinH);
  Capture(window_, &after);
  EXPECT_EQ(Differences(after, -100, -100, false), 0);
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, kOther, kOther, PM_REMOVE)) << "other messages are dropped";
}

TEST_F(Drag, TransparentDragShowsTheBackgroundThroughTheKeyColour) {
  Canvas32 moved(kWinW, kWinH);
  g_shots = {&moved};
  Move(70, 50);
  PostMessageA(window_, kProbe, 0, 0);
  PostMessageA(window_, kRelease, 0, 0);
  SetLeftButton(true);
  POINT at = {20, 20};
  EXPECT_EQ(KvDragTransparentBitmapInWindow(window_, bitmap_, &at, 0, 0, kKey), 1);
  ASSERT_EQ(g_probes, 1);
  EXPECT_EQ(Differences(moved, 70, 50, true), 0);
  EXPECT_EQ(at.x, 70);  // a hot spot of (0, 0) keeps the top-left corner under the mouse
  EXPECT_EQ(at.y, 50);
}

TEST_F(Drag, PackedDibDragsInScreenCoordinates) {
  // The same picture as a packed 24-bit DIB.
  const std::vector<uint8_t> file =
      drawtest::Bmp24(kW, kH, [](int x, int y) { return x < 5 && y < 5 ? kKey : kRed; });
  HGLOBAL dib = GlobalAlloc(GMEM_MOVEABLE, file.size() - 14);
  memcpy(GlobalLock(dib), file.data() + 14, file.size() - 14);
  GlobalUnlock(dib);

  // Dragged over the screen: compared with what the screen shows there.
  g_fromScreen = true;
  Capture(window_, &background_);
  Canvas32 moved(kWinW, kWinH);
  g_shots = {&moved};
  Move(100, 60);
  PostMessageA(window_, kProbe, 0, 0);
  PostMessageA(window_, kRelease, 0, 0);
  SetLeftButton(true);
  POINT at = {kWinX + 5, kWinY + 5};
  EXPECT_EQ(KvDragTransparentDib(dib, &at, 2, 1, kKey), 1);
  ASSERT_EQ(g_probes, 1);
  EXPECT_EQ(Differences(moved, 98, 59, true), 0);
  EXPECT_EQ(at.x, kWinX + 98);
  EXPECT_EQ(at.y, kWinY + 59);
  Canvas32 after(kWinW, kWinH);
  Capture(window_, &after);
  EXPECT_EQ(Differences(after, -100, -100, false), 0);
  GlobalFree(dib);
}

TEST_F(Drag, NothingToDragGivesZero) {
  POINT at = {0, 0};
  SetLeftButton(true);
  EXPECT_EQ(KvDragBitmapInWindow(window_, nullptr, &at, 0, 0), 0);
  EXPECT_EQ(KvDragTransparentDib(nullptr, &at, 0, 0, kKey), 0);
  EXPECT_EQ(KvDragTransparentDib(reinterpret_cast<HGLOBAL>(static_cast<UINT_PTR>(0xFFFF)), &at, 0, 0, kKey), 0);
}

}  // namespace
