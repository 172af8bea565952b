// The test environment itself: a display, window creation and pixel read-back work.
#include <gtest/gtest.h>

#include "wintest.h"

TEST(Environment, WindowsCanBeCreatedAndPaintedInto) {
  HWND w = CreateWindowExA(0, "STATIC", "probe", WS_POPUP | WS_VISIBLE, 10, 10, 40, 30, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(w, nullptr) << "no display: tests need Xvfb";
  wintest::Pump(20);
  DestroyWindow(w);

  wintest::Canvas32 c(8, 8, RGB(10, 20, 30));
  EXPECT_EQ(c.Pixel(3, 3), RGB(10, 20, 30));
  RECT r = {0, 0, 4, 4};
  FillRect(c.dc(), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(c.Pixel(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(c.Pixel(4, 4), RGB(10, 20, 30));
}
