// The button's objects and state through its messages and SetButtonBitmap.
#include <gtest/gtest.h>

#include "controls/widgets/button.h"
#include "controls_fixture.h"

namespace ctltest {
namespace {

using Button = Controls;

TEST_F(Button, TheLastButtonTakesTheSharedFaceBrushWithItAndTheNextMakesItAgain) {
  const int before = tamsel::LiveButtonCount();
  HWND a = Make("BOUTON", "a", BS_PUSHBUTTON, 0, 0, 40, 20);
  HWND b = Make("BOUTON", "b", BS_PUSHBUTTON, 50, 0, 40, 20);
  EXPECT_EQ(tamsel::LiveButtonCount(), before + 2);
  EXPECT_TRUE(tamsel::ButtonFaceBrushExists());
  DestroyWindow(a);
  EXPECT_TRUE(tamsel::ButtonFaceBrushExists());
  DestroyWindow(b);
  EXPECT_EQ(tamsel::LiveButtonCount(), before);
  EXPECT_EQ(tamsel::ButtonFaceBrushExists(), before > 0);
  Make("BOUTON", "c", BS_PUSHBUTTON, 0, 0, 40, 20);
  EXPECT_TRUE(tamsel::ButtonFaceBrushExists());
}

TEST_F(Button, BitmapsAreOwnedOnceWhateverSlotsHoldThem) {
  HWND b = Make("BOUTON", "b", BS_PUSHBUTTON, 0, 0, 40, 20);
  HBITMAP shared = LoadBitmapA(HostRes(), MAKEINTRESOURCEA(3100));
  HBITMAP other = LoadBitmapA(HostRes(), MAKEINTRESOURCEA(3101));
  ASSERT_EQ(SetButtonBitmap(b, shared, kButtonBitmapNormal), 1);
  ASSERT_EQ(SetButtonBitmap(b, shared, 0x10003), 1);  // only the low 16 bits count: hover
  ASSERT_EQ(SetButtonBitmap(b, other, kButtonBitmapNormal), 1);
  EXPECT_NE(GetObjectType(shared), 0u) << "still held by the hover slot";
  ASSERT_EQ(SetButtonBitmap(b, reinterpret_cast<HBITMAP>(static_cast<INT_PTR>(0x7777)), kButtonBitmapNormal), 1);
  EXPECT_EQ(GetObjectType(other), 0u) << "replaced, so deleted; the non-object clears the slot";
  ASSERT_EQ(SetButtonBitmap(b, shared, kButtonBitmapDisabled), 1);
  DestroyWindow(b);
  EXPECT_EQ(GetObjectType(shared), 0u);
}

TEST_F(Button, ButtonMessagesOfOtherClassesAreRefused) {
  HWND plain = Make("BUTTON", "b", BS_PUSHBUTTON, 0, 0, 40, 20);
  HWND label = Make("STATIQUE", "s", 0x40, 0, 30, 40, 20);
  HBITMAP bitmap = LoadBitmapA(HostRes(), MAKEINTRESOURCEA(3100));
  for (HWND w : {plain, label, static_cast<HWND>(nullptr)}) EXPECT_EQ(SetButtonBitmap(w, bitmap, 0), 0);
  EXPECT_NE(GetObjectType(bitmap), 0u) << "a refused bitmap stays the caller's";
  DeleteObject(bitmap);
}

}  // namespace
}  // namespace ctltest
