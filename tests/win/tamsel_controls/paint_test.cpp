// What the button and the static control paint, read back from a DIB section through
// WM_PRINTCLIENT: faces, 3D edges, indicators, bitmap places, lines, frames, group boxes,
// pictures; and that painting leaves no GDI object behind.
#include <gtest/gtest.h>

#include <vector>

#include "controls/widgets/button.h"
#include "controls/widgets/static.h"
#include "controls_fixture.h"

namespace ctltest {
namespace {

constexpr COLORREF kSentinel = RGB(1, 254, 3);
constexpr COLORREF kFloppyBody = RGB(40, 80, 170);
constexpr COLORREF kFloppyHover = RGB(70, 130, 230);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

COLORREF Highlight() { return GetSysColor(COLOR_BTNHIGHLIGHT); }
COLORREF Shadow() { return GetSysColor(COLOR_BTNSHADOW); }
COLORREF Face() {
  return GetSysColor(COLOR_BTNFACE) == 0xC0C0C0 ? RGB(0xE1, 0xDF, 0xD5) : GetSysColor(COLOR_BTNFACE);
}

using ButtonPaint = Controls;
using StaticPaint = Controls;

TEST_F(ButtonPaint, PushButtonFaceAndEdgesSwapWhenPushed) {
  HWND b = Make("BOUTON", "OK", BS_PUSHBUTTON, 10, 10, 80, 24);
  for (bool pushed : {false, true}) {
    SendMessageA(b, BM_SETSTATE, pushed, 0);
    wintest::Canvas32 c(80, 24, kSentinel);
    Print(b, c);
    const COLORREF light = pushed ? Shadow() : Highlight(), dark = pushed ? Highlight() : Shadow();
    EXPECT_EQ(c.Pixel(10, 8), Face()) << pushed;
    EXPECT_EQ(c.Pixel(10, 0), light) << pushed;
    EXPECT_EQ(c.Pixel(0, 10), light) << pushed;
    EXPECT_EQ(c.Pixel(10, 23), dark) << pushed;
    EXPECT_EQ(c.Pixel(79, 10), dark) << pushed;
  }
}

TEST_F(ButtonPaint, RoundedButtonsShowTheParentInTheirCorners) {
  SetStyleRounded(nullptr, kStyleButtons, 1);
  HWND b = Make("BOUTON", "Round", BS_PUSHBUTTON, 10, 10, 80, 24);
  wintest::Canvas32 c(80, 24, kSentinel);
  Print(b, c);
  for (POINT p : {POINT{0, 0}, POINT{1, 1}, POINT{79, 0}, POINT{0, 23}, POINT{78, 22}}) {
    EXPECT_EQ(c.Pixel(p.x, p.y), kParentColour) << p.x << "," << p.y;
  }
  EXPECT_EQ(c.Pixel(12, 8), Face());
}

TEST_F(ButtonPaint, GradientFacesRunFromTheFirstToTheSecondColour) {
  SetStyleKind(nullptr, kStyleButtons, kKindVerticalGradient);
  SetStyleFirstColour(nullptr, kStyleButtons, RGB(255, 0, 0));
  SetStyleSecondColour(nullptr, kStyleButtons, RGB(0, 0, 255));
  HWND b = Make("BOUTON", "", BS_PUSHBUTTON, 10, 10, 60, 60);
  wintest::Canvas32 c(60, 60, kSentinel);
  Print(b, c);
  EXPECT_GT(GetRValue(c.Pixel(30, 3)), 200);
  EXPECT_GT(GetBValue(c.Pixel(30, 56)), 200);
}

// The floppy bitmap's body colour sits 2 right and 9 down of its top-left corner; that corner is
// magenta, left out with style 0x80.
TEST_F(ButtonPaint, BitmapGoesWhereThePlacementBitsSay) {
  const struct {
    DWORD style;
    POINT at;
  } cases[] = {
      {0x000, {1, 1}}, {0x100, {100 - 20 - 3, 1}}, {0x200, {40, 1}}, {0x400, {1, 40 - 20 - 3}}, {0x800, {1, 10}},
      {0xA00, {40, 10}},
  };
  for (const auto& k : cases) {
    HWND b = Make("BOUTON", "BMP:#3100", BS_PUSHBUTTON | k.style, 10, 10, 100, 40, 100, HostRes());
    wintest::Canvas32 c(100, 40, kSentinel);
    Print(b, c);
    EXPECT_EQ(c.Pixel(k.at.x + 2, k.at.y + 9), kFloppyBody) << std::hex << k.style;
    EXPECT_EQ(c.Pixel(k.at.x, k.at.y), kMagenta) << std::hex << k.style;
    DestroyWindow(b);
  }
  HWND keyed = Make("BOUTON", "BMP:#3100", BS_PUSHBUTTON | 0x80, 10, 10, 100, 40, 100, HostRes());
  wintest::Canvas32 c(100, 40, kSentinel);
  Print(keyed, c);
  EXPECT_EQ(c.Pixel(1, 1), Face()) << "the top-left colour is left out";
  EXPECT_EQ(c.Pixel(3, 10), kFloppyBody);
}

TEST_F(ButtonPaint, PressedBitmapsMoveAndAPressWithoutHoverBitmapKeepsTheNormalOne) {
  HWND b = Make("BOUTON", "Save BMP:#3100", BS_PUSHBUTTON, 10, 10, 100, 40, 100, HostRes());
  // The caption shows only without a bitmap.
  char text[32] = {};
  GetWindowTextA(b, text, sizeof text);
  EXPECT_STREQ(text, "Save ");
  SetCursorPos(30, 30);
  SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
  {
    wintest::Canvas32 c(100, 40, kSentinel);
    Print(b, c);
    EXPECT_EQ(c.Pixel(2 + 2, 2 + 9), kFloppyBody) << "pressed: normal bitmap, one pixel right and down";
  }
  ASSERT_EQ(SetButtonBitmap(b, LoadBitmapA(HostRes(), MAKEINTRESOURCEA(3103)), kButtonBitmapHover), 1);
  {
    wintest::Canvas32 c(100, 40, kSentinel);
    Print(b, c);
    EXPECT_EQ(c.Pixel(2 + 2, 2 + 9), kFloppyHover);
  }
  ASSERT_EQ(SetButtonBitmap(b, LoadBitmapA(HostRes(), MAKEINTRESOURCEA(3102)), kButtonBitmapChecked), 1);
  {
    wintest::Canvas32 c(100, 40, kSentinel);
    Print(b, c);
    EXPECT_EQ(c.Pixel(1 + 2, 1 + 9), RGB(20, 40, 110)) << "the checked bitmap is the pushed look, not moved";
  }
  SendMessageA(b, WM_LBUTTONUP, 0, MAKELPARAM(500, 500));
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 3, GetSystemMetrics(SM_CYSCREEN) - 3);
}

TEST_F(ButtonPaint, CheckBoxIndicatorGradientReversesAndCrossShowsWhenChecked) {
  // Box of 20 x 20 at the left, vertically centred: (0, 2)-(20, 22); its cross runs from (4, 6).
  HWND b = Make("BOUTON", "Check", BS_AUTOCHECKBOX | 0x100, 10, 10, 150, 24);
  for (bool checked : {false, true}) {
    SendMessageA(b, BM_SETCHECK, checked, 0);
    wintest::Canvas32 c(150, 24, kSentinel);
    Print(b, c);
    EXPECT_EQ(c.Pixel(0, 2), Shadow()) << checked;
    EXPECT_EQ(c.Pixel(19, 21), Highlight()) << checked;
    const int red = Red(c.Pixel(2, 12));
    EXPECT_TRUE(checked ? red < 0xD0 : red > 0xF0) << checked << " red " << red;
    EXPECT_EQ(c.Pixel(9, 11) == RGB(0, 0, 0), checked);
  }
  HWND right = Make("BOUTON", "Right", BS_AUTOCHECKBOX | 0x20, 10, 40, 150, 24);
  wintest::Canvas32 c(150, 24, kSentinel);
  Print(right, c);
  EXPECT_EQ(c.Pixel(130, 2), Shadow()) << "box against the right edge";
}

TEST_F(ButtonPaint, RadiosShowTheHostsIndicatorBitmapsWithTheirCornersLeftOut) {
  // The 15 x 15 bitmaps sit at (2, 6) in the box; their centre is at (9, 13).
  HWND r = Make("BOUTON", "Radio", BS_AUTORADIOBUTTON | WS_GROUP, 10, 10, 150, 24);
  EXPECT_TRUE(GetWindowLongA(r, GWL_STYLE) & 0x80);
  for (bool checked : {false, true}) {
    SendMessageA(r, BM_SETCHECK, checked, 0);
    wintest::Canvas32 c(150, 24, kSentinel);
    Print(r, c);
    EXPECT_EQ(c.Pixel(9, 13), checked ? RGB(20, 20, 20) : RGB(255, 255, 255)) << checked;
    EXPECT_NE(c.Pixel(2, 6), kMagenta) << checked;
  }
}

TEST_F(StaticPaint, LinesAndFramesInHighlightAndShadow) {
  const struct {
    DWORD style;
    int width, height;          // the size it takes
    POINT first, second;        // pixels of the highlight and the shadow
  } cases[] = {
      {0x000, 100, 2, {5, 0}, {5, 1}},
      {0x020, 100, 2, {5, 1}, {5, 0}},
      {0x080, 2, 50, {0, 5}, {1, 5}},
      {0x050, 100, 50, {5, 0}, {5, 49}},
      {0x060, 100, 50, {5, 49}, {5, 0}},
  };
  for (const auto& k : cases) {
    HWND s = Make("STATIQUE", "", k.style, 10, 10, 100, 50);
    RECT rc;
    GetClientRect(s, &rc);
    EXPECT_EQ(rc.right, k.width) << std::hex << k.style;
    EXPECT_EQ(rc.bottom, k.height) << std::hex << k.style;
    wintest::Canvas32 c(rc.right, rc.bottom, kSentinel);
    Print(s, c);
    EXPECT_EQ(c.Pixel(k.first.x, k.first.y), Highlight()) << std::hex << k.style;
    EXPECT_EQ(c.Pixel(k.second.x, k.second.y), Shadow()) << std::hex << k.style;
    DestroyWindow(s);
  }
}

TEST_F(StaticPaint, BackgroundIsTheParentsUntilAColourIsSet) {
  HWND s = Make("STATIQUE", "", 0x40, 10, 10, 60, 20);
  auto centre = [&] {
    wintest::Canvas32 c(60, 20, kSentinel);
    Print(s, c);
    return c.Pixel(30, 10);
  };
  EXPECT_EQ(centre(), kParentColour);
  EXPECT_NE(SetBKStatColor(s, RGB(0, 200, 0)), 0);
  EXPECT_EQ(centre(), RGB(0, 200, 0));
  SetBKStatColor(s, GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(centre(), kParentColour);
}

TEST_F(StaticPaint, PicturesFromTheTextAndNumbersThatAreNoIdentifiers) {
  const struct {
    const char* text;
    DWORD style;
    COLORREF corner;  // pixel (2, 2): the tooth's top-left corner
    const char* shown;
    bool tooth;       // pixel (22, 10) lies in the tooth's light crown
  } cases[] = {
      {"Logo BMP:LOGO", 0x40, kMagenta, "Logo ", true},
      {"Logo BMP:LOGO", 0x440, kParentColour, "Logo ", true},
      {"ICO:TOOTH^Tooth", 0x40, kParentColour, "Tooth", true},
      {"BMP:#70000", 0x40, kParentColour, "", false},
      {"BMP:#4294970296", 0x40, kParentColour, "", false},
  };
  for (const auto& k : cases) {
    HWND s = Make("STATIQUE", k.text, k.style, 10, 10, 120, 40, 100, HostRes());
    ASSERT_NE(s, nullptr) << k.text;
    char text[32] = {};
    GetWindowTextA(s, text, sizeof text);
    EXPECT_STREQ(text, k.shown);
    wintest::Canvas32 c(120, 40, kSentinel);
    Print(s, c);
    EXPECT_EQ(c.Pixel(2, 2), k.corner) << k.text << " " << std::hex << k.style;
    const COLORREF crown = c.Pixel(22, 10);
    EXPECT_EQ(GetRValue(crown) > 200 && GetGValue(crown) > 200 && GetBValue(crown) > 200, k.tooth)
        << k.text << " " << std::hex << crown;
    DestroyWindow(s);
  }
}

TEST_F(StaticPaint, GroupBoxIsEtchedAroundItsCaptionAndARetitleLeavesNoOldGlyphs) {
  HWND g = Make("STATIQUE", "A rather long caption", 0x100, 10, 10, 200, 80);
  EXPECT_TRUE(GetWindowLongA(g, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
  wintest::Canvas32 c(200, 80, kSentinel);
  Print(g, c);
  int frameY = -1;
  for (int y = 0; y < 20 && frameY < 0; ++y) {
    if (c.Pixel(0, y) == Shadow() && c.Pixel(1, y + 1) == Highlight()) frameY = y;
  }
  ASSERT_GE(frameY, 1) << "outer line in shadow, inner in highlight, below the top";
  EXPECT_EQ(c.Pixel(199, 40), Highlight());
  EXPECT_EQ(c.Pixel(198, 40), Shadow());
  EXPECT_EQ(c.Pixel(3, frameY), Shadow()) << "before the gap";
  EXPECT_NE(c.Pixel(8, frameY), Shadow()) << "in the gap";

  // Pixels of the caption line that are neither the parent's nor the frame's.
  auto glyphs = [&](int fromX) {
    int n = 0;
    for (int y = 0; y < 2 * frameY; ++y)
      for (int x = fromX; x < 190; ++x) {
        const COLORREF p = c.Pixel(x, y);
        if (p != kParentColour && p != Shadow() && p != Highlight()) ++n;
      }
    return n;
  };
  EXPECT_GT(glyphs(40), 0);
  SetWindowTextA(g, "A");
  Print(g, c);  // over the old picture
  EXPECT_EQ(glyphs(40), 0);
}

TEST_F(StaticPaint, EmbossedLabelsShowTwiceAndDisabledOnesOnceInShadow) {
  HWND s = Make("STATIQUE", "WWWW", 0x240, 10, 10, 80, 20);
  SendMessageA(s, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(SYSTEM_FONT)), 0);
  SetTexteStatColor(s, RGB(200, 0, 0));
  auto count = [&](COLORREF colour) {
    wintest::Canvas32 c(80, 20, kSentinel);
    Print(s, c);
    int n = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 80; ++x) n += c.Pixel(x, y) == colour;
    return n;
  };
  EXPECT_GT(count(RGB(200, 0, 0)), 0);
  // The emboss colour is the window colour; when that is white, the text colour's contrast.
  const COLORREF emboss = GetSysColor(COLOR_WINDOW) == 0xFFFFFF ? RGB(0, 0, 0) : GetSysColor(COLOR_WINDOW);
  EXPECT_GT(count(emboss), 0) << "the emboss pass";
  EnableWindow(s, FALSE);
  EXPECT_EQ(count(RGB(200, 0, 0)), 0);
  EXPECT_GT(count(Shadow()), 0);
}

// Every form painted and destroyed a hundred times: the process's GDI objects stay where they
// were (the library's lasting objects are made by a first round).
TEST_F(ButtonPaint, HundredCyclesOfEveryFormLeaveNoGdiObject) {
  SetStyleRounded(nullptr, kStyleButtons, 1);
  const struct {
    const char* cls;
    const char* text;
    DWORD style;
  } forms[] = {
      {"BOUTON", "Push", BS_PUSHBUTTON},
      {"BOUTON", "Default BMP:#3100|#3101|#3102|#3103", BS_DEFPUSHBUTTON | 0x80},
      {"BOUTON", "Check", BS_AUTOCHECKBOX},
      {"BOUTON", "Check", BS_AUTOCHECKBOX | 0x40},
      {"BOUTON", "Radio", BS_AUTORADIOBUTTON},
      {"BOUTON", "BMP:#3110|#3111", BS_AUTOCHECKBOX | 0x1000},
      {"BOUTON", "Tab", BS_AUTORADIOBUTTON | 0x2000},
      {"STATIQUE", "Label", 0x240},
      {"STATIQUE", "Framed", 0x070},
      {"STATIQUE", "", 0x080},
      {"STATIQUE", "Group", 0x100},
      {"STATIQUE", "Logo BMP:LOGO", 0x440},
      {"STATIQUE", "ICO:TOOTH^Icon", 0x40},
  };
  wintest::Canvas32 c(120, 40, kSentinel);
  auto round = [&] {
    for (const auto& f : forms) {
      HWND w = Make(f.cls, f.text, f.style, 10, 10, 120, 40, 100, HostRes());
      SendMessageA(w, BM_SETCHECK, 1, 0);
      Print(w, c);
      UpdateWindow(w);
      DestroyWindow(w);
    }
  };
  round();
  const size_t before = LiveGdiObjects();
  for (int i = 0; i < 100; ++i) round();
  EXPECT_EQ(LiveGdiObjects(), before);
}

}  // namespace
}  // namespace ctltest
