#include "retouch/frame/settings_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using settings::FontValues;
using settings::ToolLayout;
using settings::ToolValues;

TEST(ToolValue, DefaultPaintBrushIsWrittenAtFixedPositions) {
  EXPECT_EQ(settings::FormatToolValue(ToolValues{}), "000,000,016,016,001,001,001,001,000,100,12632319");
  ToolValues v;
  v.shape = 1;
  v.option = 1;
  v.width = 3;
  v.height = 48;
  v.linkSizes = 0;
  v.strength = 49;
  v.color = 0x00FFFFFF;
  const std::string text = settings::FormatToolValue(v);
  EXPECT_EQ(text, "001,001,003,048,000,001,001,001,000,049,16777215");
  ToolValues back;
  ASSERT_TRUE(settings::ParseToolValue(text, ToolLayout::kCurrent, &back));
  EXPECT_EQ(settings::FormatToolValue(back), text);
}

TEST(ToolValue, OlderLayoutHasNoOptionField) {
  ToolValues v;
  v.option = 1;  // kept: the older file does not carry it
  ASSERT_TRUE(settings::ParseToolValue("001,020,030,000,001,000,001,000,064,255", ToolLayout::kOlder, &v));
  EXPECT_EQ(v.shape, 1);
  EXPECT_EQ(v.option, 1);
  EXPECT_EQ(v.width, 20);
  EXPECT_EQ(v.height, 30);
  EXPECT_EQ(v.linkSizes, 0);
  EXPECT_EQ(v.widthEnabled, 1);
  EXPECT_EQ(v.heightEnabled, 0);
  EXPECT_EQ(v.showBrushCursor, 1);
  EXPECT_EQ(v.strength, 64);
  EXPECT_EQ(v.color, 255);
}

TEST(ToolValue, ReadsLikeAtolAndKeepsWhatTheValueDoesNotReach) {
  ToolValues v;
  v.color = 77;
  // Blanks and a sign before digits; reading stops at the first non-digit.
  ASSERT_TRUE(settings::ParseToolValue("  1,000, 20x9", ToolLayout::kCurrent, &v));
  EXPECT_EQ(v.shape, 1);
  EXPECT_EQ(v.width, 20);
  EXPECT_EQ(v.height, 9);
  EXPECT_EQ(v.strength, 100);  // beyond the end: unchanged
  EXPECT_EQ(v.color, 77);
  EXPECT_FALSE(settings::ParseToolValue("", ToolLayout::kCurrent, &v));
}

TEST(ToolValue, HandEditedValuesAreBroughtIntoTheEditorsRanges) {
  ToolValues v;
  ASSERT_TRUE(settings::ParseToolValue("007,-03,000,999,005,000,000,002,123,000,-1", ToolLayout::kCurrent, &v));
  EXPECT_EQ(v.shape, 1);
  EXPECT_EQ(v.option, 0);
  EXPECT_EQ(v.width, 1);
  EXPECT_EQ(v.height, 48);
  EXPECT_EQ(v.linkSizes, 1);
  EXPECT_EQ(v.showBrushCursor, 1);
  EXPECT_EQ(v.reserved, 123);
  EXPECT_EQ(v.strength, 1);
  EXPECT_EQ(static_cast<uint32_t>(v.color), 0x00FFFFFFu);  // -1: the colour bytes of 0xFFFFFFFF
  ASSERT_TRUE(settings::ParseToolValue("000,000,016,016,001,001,001,001,000,100,99999999999999",
                                       ToolLayout::kCurrent, &v));
  EXPECT_EQ(static_cast<uint32_t>(v.color), 0x00FFFFFFu);  // saturated, never wrapped into another colour
  // A palette-index or system-colour high byte is dropped: the brushes work on red, green, blue.
  ASSERT_TRUE(settings::ParseToolValue("000,000,016,016,001,001,001,001,000,100,16777471", ToolLayout::kCurrent, &v));
  EXPECT_EQ(static_cast<uint32_t>(v.color), 0x000000FFu);
  EXPECT_EQ(settings::FormatToolValue(v), "000,000,016,016,001,001,001,001,000,100,255");
}

TEST(ToolValue, OlderKeysCarryTheToolCodeMinusOneExceptTheAdjustment) {
  EXPECT_EQ(settings::OlderKeyCode(117), 116);  // the paint brush reads T116
  EXPECT_EQ(settings::OlderKeyCode(116), 115);
  EXPECT_EQ(settings::OlderKeyCode(123), 122);
  EXPECT_EQ(settings::OlderKeyCode(114), 114);
  EXPECT_EQ(settings::OlderKeyCode(115), 0);  // not in the older file
}

TEST(FontValue, DefaultFontAndNegativeHeights) {
  EXPECT_EQ(settings::FormatFontValue(FontValues{}), "020,700,002,034,000,000,000,000,034,Arial");
  FontValues f;
  f.height = -13;
  f.italic = 1;
  f.charSet = 238;
  std::strcpy(f.faceName, "Courier New");
  const std::string text = settings::FormatFontValue(f);
  EXPECT_EQ(text, "-13,700,002,034,001,000,000,238,034,Courier New");
  FontValues back;
  ASSERT_TRUE(settings::ParseFontValue(text, &back));
  EXPECT_EQ(back.height, -13);
  EXPECT_EQ(back.italic, 1);
  EXPECT_EQ(back.charSet, 238);
  EXPECT_STREQ(back.faceName, "Courier New");

  f.height = -150;  // beyond what four characters hold
  ASSERT_TRUE(settings::ParseFontValue(settings::FormatFontValue(f), &back));
  EXPECT_EQ(back.height, -99);
}

TEST(FontValue, FaceNameIsBoundedAndTheSecondPitchFieldWins) {
  FontValues f;
  const std::string longFace(60, 'F');
  ASSERT_TRUE(settings::ParseFontValue("012,400,000,017,000,001,000,000,049," + longFace, &f));
  EXPECT_EQ(std::string(f.faceName), std::string(31, 'F'));
  EXPECT_EQ(f.pitchAndFamily, 49);
  EXPECT_EQ(f.underline, 1);
  ASSERT_TRUE(settings::ParseFontValue("012,400,000,017,000,001,000,000,049,", &f));
  EXPECT_STREQ(f.faceName, "");
  std::strcpy(f.faceName, "Kept");
  ASSERT_TRUE(settings::ParseFontValue("011", &f));
  EXPECT_EQ(f.height, 11);
  EXPECT_STREQ(f.faceName, "Kept");
}
