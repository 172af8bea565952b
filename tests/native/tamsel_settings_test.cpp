// Colour pairs and cabinet values: the texts of the cabinet files and the style settings.
#include <gtest/gtest.h>

#include <string>

#include "controls/widgets/cabinet_value.h"
#include "controls/widgets/colour_pair.h"

namespace {

constexpr uint32_t kUnset = 0xDEADBEEF;

struct Pair {
  uint32_t first = kUnset;
  uint32_t second = kUnset;
};

Pair Parse(std::string text) {
  Pair p;
  // A heap copy of exactly the text's length, so that reading past it is caught.
  std::string exact(text);
  exact.shrink_to_fit();
  EXPECT_TRUE(ParseColourPair(std::string_view(exact.data(), exact.size()), &p.first, &p.second));
  return p;
}

TEST(ColourPair, ReadsTheThreeWrittenForms) {
  struct Case {
    const char* text;
    uint32_t first, second;
  } cases[] = {
      {"0x00C0C0C0,0x0000FF", 0xC0C0C0, 0x0000FF},
      {"0XABCDEF, 0x1", 0xABCDEF, 0x1},
      {"RGB(255,0,0),RGB(0,128,255)", 0x0000FF, 0xFF8000},
      {"RGB(1,2,3) , RGB(4,5,6)", 0x030201, 0x060504},
      {"0x0000FF,RGB(0,128,255)", 0x0000FF, 0xFF8000},
      {"012,0255", 12, 255},                  // decimal colours after a leading '0'
      {"RGB(256,257,-1),0x0", 0xFF0100, 0},  // components taken modulo 256
      {"RGB( 7 , 8 , 9 ),0x2", 0x090807, 2},
      {"0xFFFFFFFFFF,0x5", 0xFFFFFFFF, 5},    // an overlong number saturates
  };
  for (const Case& c : cases) {
    const Pair p = Parse(c.text);
    EXPECT_EQ(p.first, c.first) << c.text;
    EXPECT_EQ(p.second, c.second) << c.text;
  }
}

TEST(ColourPair, SkipsToTheFirstColourAndLeavesMissingOnesUnchanged) {
  EXPECT_EQ(Parse("#12,RGB(1,2,3)").first, 0x030201u);  // up to the first comma, skipped
  EXPECT_EQ(Parse("xyz  RGB(1,2,3)").first, 0x030201u);  // up to the first 'R'
  const Pair short_rgb = Parse("RGB(1,2)");
  EXPECT_EQ(short_rgb.first, 0x000201u);  // a missing component counts as 0
  EXPECT_EQ(short_rgb.second, kUnset);
  const Pair no_rgb = Parse("Red,0x10");
  EXPECT_EQ(no_rgb.first, kUnset);  // "R" not followed by "GB("
  EXPECT_EQ(no_rgb.second, 0x10u);
  const Pair empty_second = Parse("0x1,,0x2");
  EXPECT_EQ(empty_second.first, 1u);
  EXPECT_EQ(empty_second.second, kUnset);
  const Pair nothing = Parse("");
  EXPECT_EQ(nothing.first, kUnset);
  EXPECT_EQ(nothing.second, kUnset);
  const Pair unclosed = Parse("RGB(1,2,3");
  EXPECT_EQ(unclosed.first, 0x030201u);
  EXPECT_EQ(unclosed.second, kUnset);
  EXPECT_EQ(Parse("R").first, kUnset);
  EXPECT_EQ(Parse("RGB(").first, 0u);
  EXPECT_EQ(Parse("0x").first, 0u);
}

CabinetValue ParseCabinet(const std::string& text, bool* ok = nullptr) {
  CabinetValue v;
  v.number = -99;
  const bool parsed = ParseCabinetValue(text, &v);
  if (ok) *ok = parsed;
  return v;
}

TEST(CabinetValue, ReadsNumberAndColours) {
  CabinetValue v = ParseCabinet("#7,RGB(10,20,30),RGB(40,50,60)");
  EXPECT_EQ(v.number, 7);
  EXPECT_EQ(v.first, 0x1E140Au);
  EXPECT_EQ(v.second, 0x3C3228u);

  v = ParseCabinet("#4,0x0000FF,RGB(0,128,255)");
  EXPECT_EQ(v.number, 4);
  EXPECT_EQ(v.first, 0x0000FFu);
  EXPECT_EQ(v.second, 0xFF8000u);

  v = ParseCabinet("#4,RGB(1,2)");  // the second colour stays black
  EXPECT_EQ(v.first, 0x000201u);
  EXPECT_EQ(v.second, 0u);

  v = ParseCabinet("#10,RGB(1,2,3),RGB(4,5,6)");  // a number with the digit 0
  EXPECT_EQ(v.number, 10);
  EXPECT_EQ(v.first, 0x030201u);
  EXPECT_EQ(v.second, 0x060504u);

  v = ParseCabinet("# \t 3,RGB(1,1,1),RGB(2,2,2)");
  EXPECT_EQ(v.number, 3);
  v = ParseCabinet("#");
  EXPECT_EQ(v.number, 0);
  EXPECT_EQ(v.first, 0u);
}

TEST(CabinetValue, RefusesValuesWithoutHash) {
  bool ok = true;
  ParseCabinet("", &ok);
  EXPECT_FALSE(ok);
  ParseCabinet("7,RGB(1,2,3)", &ok);
  EXPECT_FALSE(ok);
}

TEST(CabinetValue, FormatsAndReadsBack) {
  char text[128];
  ASSERT_TRUE(FormatCabinetValue(CabinetValue{7, 0x1E140A, 0x3C3228}, text, sizeof text));
  EXPECT_STREQ(text, "#7,RGB(10,20,30),RGB(40,50,60)");
  ASSERT_TRUE(FormatCabinetValue(CabinetValue{-2147483647 - 1, 0xFFFFFFFF, 0}, text, sizeof text));
  EXPECT_STREQ(text, "#-2147483648,RGB(255,255,255),RGB(0,0,0)");
  const CabinetValue back = ParseCabinet(text);
  EXPECT_EQ(back.number, -2147483647 - 1);
  EXPECT_EQ(back.first, 0xFFFFFFu);

  char small[10];
  EXPECT_FALSE(FormatCabinetValue(CabinetValue{1, 0, 0}, small, sizeof small));
  EXPECT_STREQ(small, "");
}

}  // namespace
