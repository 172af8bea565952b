// Placement and font arithmetic of the control size registry.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

#include "controls/widgets/size_math.h"

namespace {

using sizes::Rect;

TEST(SizeMath, ScaleIsSignedTruncatedAndBounded) {
  struct Case { int value, newSize, oldSize, want; } cases[] = {
      {100, 800, 400, 200},  {101, 100, 200, 50},    {-20, 800, 400, -40},  // left of the client stays near it
      {-7, 1, 2, -3},        {37, 0, 400, 0},        {37, 400, 0, 0},       // zero sizes never divide
      {INT_MAX, 4, 1, INT_MAX}, {INT_MIN, 4, 1, INT_MIN}, {50000, 60000, 3, 1000000000},
  };
  for (const Case& c : cases) EXPECT_EQ(sizes::Scale(c.value, c.newSize, c.oldSize), c.want) << c.value;
  EXPECT_EQ(sizes::Span(INT_MIN, INT_MAX), INT_MAX);
}

TEST(SizeMath, LeftHalfStaysLeftHalf) {
  EXPECT_EQ(sizes::ScaleRect({0, 0, 200, 300}, 800, 600, 400, 300), (Rect{0, 0, 400, 600}));
  EXPECT_EQ(sizes::ScaleRect({200, 10, 400, 20}, 1000, 0, 400, 300), (Rect{500, 0, 1000, 0}));
}

TEST(SizeMath, ManyResizesBackToTheRegisteredSizeGiveTheRegisteredRectangles) {
  const Rect registered[] = {{3, 7, 131, 29}, {-11, -5, 17, 301}, {0, 0, 333, 217}, {250, 199, 333, 217}};
  std::srand(17);
  for (int i = 0; i < 1000; ++i) {
    const int w = 1 + std::rand() % 2000, h = 1 + std::rand() % 2000;
    for (const Rect& r : registered) sizes::ScaleRect(r, w, h, 333, 217);
  }
  for (const Rect& r : registered) EXPECT_EQ(sizes::ScaleRect(r, 333, 217, 333, 217), r);
}

TEST(SizeMath, FontsFollowTheHeightWithAFactorOfNineTenths) {
  EXPECT_EQ(sizes::ScaledFontHeight(-13, 600, 300), -23);  // -23.4
  EXPECT_EQ(sizes::ScaledFontHeight(-13, 300, 300), -11);
  EXPECT_EQ(sizes::ScaledFontHeight(20, 100, 300), 6);
  EXPECT_EQ(sizes::ScaledFontHeight(-13, 600, 0), -13);
  EXPECT_EQ(sizes::ScaledFontHeight(-32768, INT_MAX, 1), INT_MIN);
  EXPECT_EQ(sizes::ScaledFontWidth(6, 800, 400), 12);
  EXPECT_EQ(sizes::ScaledFontWidth(6, 800, 0), 6);
}

TEST(SizeMath, FontsAboveSixteenAreTrueTypeThreeNearerZero) {
  struct Case { int width, height; sizes::FontSize want; } cases[] = {
      {5, -16, {5, -16, false}}, {5, 16, {5, 16, false}}, {5, -17, {0, -14, true}},
      {5, -23, {0, -20, true}},  {5, 40, {0, 37, true}},   {0, INT_MIN, {0, INT_MIN + 3, true}},
  };
  for (const Case& c : cases) EXPECT_EQ(sizes::FontFor(c.width, c.height), c.want) << c.height;
}

TEST(SizeMath, ClassesAndLanguages) {
  EXPECT_TRUE(sizes::IsComboClass("ComboBox"));
  EXPECT_TRUE(sizes::IsComboClass("KvCombo"));
  EXPECT_FALSE(sizes::IsComboClass("COM"));
  EXPECT_TRUE(sizes::IsListClass("ListBox"));
  EXPECT_FALSE(sizes::IsListClass("ComboLBox"));
  EXPECT_TRUE(sizes::IsPlainLeftStatic("Static", 0x50000000));
  EXPECT_FALSE(sizes::IsPlainLeftStatic("Static", 0x50000001));  // centred
  EXPECT_FALSE(sizes::IsPlainLeftStatic("Static", 0x50000002));  // right
  EXPECT_FALSE(sizes::IsPlainLeftStatic("STATIQUE", 0));
  for (int code : {14, 17, 18, 20}) EXPECT_TRUE(sizes::KeepsFaceName(code)) << code;  // PL, RU/UK, SK, TH
  for (int code : {0, 6, 7, 8, 21}) EXPECT_FALSE(sizes::KeepsFaceName(code)) << code;
  EXPECT_EQ(sizes::ScaledItemHeight(12, 600, 300), 24);
  EXPECT_EQ(sizes::ScaledItemHeight(200, 600, 300), 255);
  EXPECT_EQ(sizes::ScaledItemHeight(12, 0, 300), 1);
}

}  // namespace
