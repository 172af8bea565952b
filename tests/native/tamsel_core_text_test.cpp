// Texts of the control library core: style entry lines, custom colours, colour variants,
// bubble texts and locale codes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "controls/core/bubble_text.h"
#include "controls/core/locale_codes.h"
#include "controls/core/style_line.h"

namespace {

using style::LineResult;
using style::LineValues;

LineValues Sentinel() {
  LineValues v = {};
  v.kind = 77;
  v.placed = v.fitWidth = v.fitHeight = v.alignRight = v.alignBottom = 9;
  v.firstColour = v.secondColour = v.thirdColour = v.textColour = 0xABCDEF;
  v.relief = v.rounded = v.transparent = v.embossed = 55;
  v.font.height = 66;
  v.font.weight = 66;
  v.font.italic = 66;
  v.font.pitchAndFamily = 66;
  std::strcpy(v.font.faceName, "Old");
  v.hueShift = 5;
  return v;
}

// Parses a heap copy of exactly the text's length (kept until the next call: the result's name
// points into it), so that reading past the end is caught.
LineResult Parse(const std::string& text, LineValues* v) {
  static std::string exact;
  exact = text;
  exact.shrink_to_fit();
  return style::ParseStyleLine(std::string_view(exact.data(), exact.size()), v);
}

TEST(StyleLine, ReadsAWrittenLine) {
  LineValues v = Sentinel();
  const std::string text = "tex.bmp,2,0xC0C0C0,0xFF,0x1,0x2,1,0,1,1,-11,700,1,34,Arial";
  const LineResult r = Parse(text, &v);
  EXPECT_TRUE(r.accepted);
  EXPECT_TRUE(r.hasName);
  EXPECT_EQ(r.name, "tex.bmp");
  EXPECT_FALSE(r.hasHueShift);
  EXPECT_EQ(v.kind, 2);
  EXPECT_EQ(v.placed + v.fitWidth + v.fitHeight + v.alignRight + v.alignBottom, 0);
  EXPECT_EQ(v.firstColour, 0xC0C0C0u);
  EXPECT_EQ(v.secondColour, 0xFFu);
  EXPECT_EQ(v.thirdColour, 1u);
  EXPECT_EQ(v.textColour, 2u);
  EXPECT_EQ(v.relief, 1);
  EXPECT_EQ(v.rounded, 0);
  EXPECT_EQ(v.transparent, 1);
  EXPECT_EQ(v.embossed, 1);
  EXPECT_EQ(v.font.height, -11);
  EXPECT_EQ(v.font.weight, 700);
  EXPECT_EQ(v.font.italic, 1);
  EXPECT_EQ(v.font.pitchAndFamily, 34);
  EXPECT_STREQ(v.font.faceName, "Arial");
  EXPECT_EQ(v.hueShift, 5);
}

TEST(StyleLine, OldPackedKindAndRgbColours) {
  LineValues v = Sentinel();
  ASSERT_TRUE(Parse(",128,RGB(255,0,0),RGB(0,0,255),0x0,0x0,1,1,0,0,-12", &v).accepted);
  EXPECT_EQ(v.kind, 4);
  EXPECT_EQ(v.placed, 1);
  EXPECT_EQ(v.fitWidth, 1);
  EXPECT_EQ(v.fitHeight + v.alignRight + v.alignBottom, 0);
  EXPECT_EQ(v.firstColour, 0x0000FFu);
  EXPECT_EQ(v.secondColour, 0xFF0000u);

  v = Sentinel();
  ASSERT_TRUE(Parse("a,1920,0x0,0x0,0x0,0x0,1,1,0,0,-12", &v).accepted);  // bits 7, 8, 9, 10
  EXPECT_EQ(v.kind, 4);
  EXPECT_EQ(v.placed + v.fitWidth + v.fitHeight + v.alignRight + v.alignBottom, 5);

  char out[256];
  ASSERT_TRUE(style::FormatStyleLine("", v, out, sizeof out));
  EXPECT_EQ(std::string(out).substr(0, 3), ",4,");  // written back as kind 4 without the flags
}

TEST(StyleLine, ElevenFieldsAreEnoughAndShorterLinesKeepWhatWasRead) {
  LineValues v = Sentinel();
  LineResult r = Parse("t,1,0x1,0x2,0x3,0x4,0,1,0,1,-9", &v);
  EXPECT_TRUE(r.accepted);
  EXPECT_EQ(v.font.height, -9);
  EXPECT_EQ(v.font.weight, 66);  // the rest unchanged
  EXPECT_STREQ(v.font.faceName, "Old");

  v = Sentinel();
  r = Parse("t,1,0x1,0x2,0x3,0x4,0,1,0,1", &v);  // ends before the font height
  EXPECT_FALSE(r.accepted);
  EXPECT_EQ(v.kind, 1);
  EXPECT_EQ(v.textColour, 4u);
  EXPECT_EQ(v.transparent, 0);
  EXPECT_EQ(v.embossed, 1);  // read, but not followed by more text: the line fails after it

  v = Sentinel();
  r = Parse("t,1,0x1,0x2,0x3,0x4,0,1,0,1,", &v);
  EXPECT_FALSE(r.accepted);

  v = Sentinel();
  r = Parse("t,3,0x1,0x2", &v);
  EXPECT_FALSE(r.accepted);
  EXPECT_EQ(v.kind, 3);
  EXPECT_EQ(v.firstColour, 1u);
  EXPECT_EQ(v.secondColour, 2u);
  EXPECT_EQ(v.thirdColour, 0xABCDEFu);

  for (const char* rejected : {"", "   ", "\t", "name", "name,", "name,1"}) {
    v = Sentinel();
    EXPECT_FALSE(Parse(rejected, &v).accepted) << rejected;
  }
  v = Sentinel();
  r = Parse("  name", &v);
  EXPECT_TRUE(r.hasName);
  EXPECT_EQ(r.name, "name");
  v = Sentinel();
  EXPECT_FALSE(Parse("   ", &v).hasName);
}

TEST(StyleLine, FaceNameAndHueShift) {
  LineValues v = Sentinel();
  const std::string longFace(40, 'F');
  LineResult r = Parse("t,0,0x1,0x2,0x3,0x4,0,0,0,0,-11,400,0,0," + longFace + ",-30", &v);
  EXPECT_TRUE(r.accepted);
  EXPECT_EQ(std::string(v.font.faceName), std::string(31, 'F'));
  EXPECT_TRUE(r.hasHueShift);
  EXPECT_EQ(v.hueShift, -30);

  v = Sentinel();
  r = Parse("t,0,0x1,0x2,0x3,0x4,0,0,0,0,-11,400,0,0,", &v);
  EXPECT_STREQ(v.font.faceName, "");
  EXPECT_FALSE(r.hasHueShift);

  v = Sentinel();
  r = Parse("t,0,RGB(1,2,3),RGB(4,5,6),RGB(7,8,9),RGB(10,11,12),0,0,0,0,-11,400,300,0,X", &v);
  EXPECT_EQ(v.textColour, 0x0C0B0Au);
  EXPECT_EQ(v.font.italic, 300 & 0xFF);
}

TEST(StyleLine, FormatsTheExactTextAndReadsItBack) {
  LineValues v = Sentinel();
  v.kind = 4;
  v.firstColour = 0xC0C0C0;
  v.secondColour = 0xFF;
  v.thirdColour = 0;
  v.textColour = 0x123456;
  v.relief = 1;
  v.rounded = 0;
  v.transparent = 0;
  v.embossed = 1;
  v.font.height = -11;
  v.font.weight = 200;
  v.font.italic = 0;
  v.font.pitchAndFamily = 0;
  std::strcpy(v.font.faceName, "Arial");
  char out[512];
  ASSERT_TRUE(style::FormatStyleLine("C:\\tex\\wood.bmp", v, out, sizeof out));
  EXPECT_STREQ(out, "C:\\tex\\wood.bmp,4,0xC0C0C0,0xFF,0x0,0x123456,1,0,0,1,-11,200,0,0,Arial");

  LineValues back = Sentinel();
  const LineResult r = Parse(out, &back);
  ASSERT_TRUE(r.accepted);
  EXPECT_EQ(r.name, "C:\\tex\\wood.bmp");
  EXPECT_EQ(back.textColour, 0x123456u);
  EXPECT_STREQ(back.font.faceName, "Arial");
  EXPECT_EQ(back.placed, 0);

  EXPECT_FALSE(style::FormatStyleLine("a,b.bmp", v, out, sizeof out));  // would read back wrong
  EXPECT_STREQ(out, "");
  EXPECT_FALSE(style::FormatStyleLine("a\nb", v, out, sizeof out));
  EXPECT_FALSE(style::FormatStyleLine("x.bmp", v, out, 20));  // too small
  EXPECT_STREQ(out, "");
  std::memset(v.font.faceName, 'Z', sizeof v.font.faceName);  // unterminated face name
  ASSERT_TRUE(style::FormatStyleLine("", v, out, sizeof out));
  EXPECT_EQ(std::string(out).substr(std::strlen(out) - 32), "," + std::string(31, 'Z'));
}

TEST(CustomColours, WrittenAsGroupsAndReadBack) {
  uint32_t colours[16];
  for (uint32_t i = 0; i < 16; ++i) colours[i] = (i * 16) | ((255 - i) << 8) | (7u << 16);
  char text[style::kCustomColoursTextSize];
  style::FormatCustomColours(colours, text);
  EXPECT_EQ(std::strlen(text), 192u);
  EXPECT_EQ(std::string(text).substr(0, 24), "000,255,007|016,254,007|");

  uint32_t back[16];
  style::ParseCustomColours(text, 0x112233, back);
  for (int i = 0; i < 15; ++i) EXPECT_EQ(back[i], colours[i]) << i;
  EXPECT_EQ(back[15], 0x112233u);  // the caller's colour goes into the last one

  style::ParseCustomColours("001,002,003|004,005", 0x99, back);
  EXPECT_EQ(back[0], 0x030201u);
  EXPECT_EQ(back[1], 0x99u);  // an incomplete group is not read
  style::ParseCustomColours("", 0x98, back);
  for (uint32_t c : back) EXPECT_EQ(c, 0x98u);
}

TEST(ColourVariants, ContrastLighterDarker) {
  EXPECT_EQ(style::ContrastColour(0x000000), 0xFFFFFFu);
  EXPECT_EQ(style::ContrastColour(0x0000C0), 0xFFFFFFu);  // red 192, green 0
  EXPECT_EQ(style::ContrastColour(0x0000C1), 0u);         // red above 192
  EXPECT_EQ(style::ContrastColour(0x008100), 0u);         // green above 128
  EXPECT_EQ(style::ContrastColour(0xFF8080), 0u);         // sum above 400
  EXPECT_EQ(style::ContrastColour(0x908080), 0xFFFFFFu);  // sum 400
  EXPECT_EQ(style::LighterColour(0x102030), 0x506070u);   // + 64
  EXPECT_EQ(style::LighterColour(0x1020F0), 0x1F2FFFu);   // + (255 - 240)
  EXPECT_EQ(style::DarkerColour(0x506070), 0x102030u);
  EXPECT_EQ(style::DarkerColour(0x0520F0), 0x001BEBu);    // - 5
}

TEST(BubbleText, ExtractsTheHint) {
  struct Case {
    const char* window;
    const char* bubble;
  } cases[] = {
      {"BB:x", "x"},
      {"BB:Caption^Hint", "Hint"},
      {"BB:Save@more", "Save"},
      {"BB:Save#12", "Save"},
      {"BB:Text BMP:#12|#13", "Text "},
      {"BB:\"Quoted\" text", "Quoted text"},
      {"BB:Caption^", "Caption"},  // a '^' as last character leaves the text, then cuts it
      {"BB:A^B^C", "C"},  // after the first '^', then after the next one
      {"BB:Cap\tHint", "Hint"},
      {"BB:Cap\x01\x02Hint", "Hint"},
      {"BB:Line one\nLine two", "Line one\nLine two"},
      {"BB:Cap^Hint BMP:x^y", "Hint "},
  };
  for (const Case& c : cases) EXPECT_EQ(ExtractBubbleText(c.window), c.bubble) << c.window;
  EXPECT_FALSE(WantsBubble("BB:"));
  EXPECT_TRUE(WantsBubble("BB:x"));
  EXPECT_FALSE(WantsBubble("bb:xyz"));
  EXPECT_FALSE(WantsBubble("Caption"));
}

TEST(LocaleCodes, VariantAndLanguage) {
  struct Case {
    const char* name;
    const char* country;
    int variant, language;
  } cases[] = {
      {"DEU", "DE", 6, 8}, {"ENC", "CA", 1, 6}, {"ENG", "GB", 4, 6}, {"ENJ", "JM", 8, 6},
      {"ENU", "US", 5, 6}, {"FRA", "FR", 7, 7}, {"FRC", "CA", 2, 7}, {"fra", "FR", 7, 7},
      {"ZZZ", "CW", 3, 5}, {"ZZZ", "XX", 0, 6}, {"CHT", "TW", 0, 3}, {"CHS", "CN", 0, 2},
      {"NLD", "NL", 0, 5}, {"ESP", "ES", 0, 19}, {"UKR", "UA", 0, 17}, {"TRK", "TR", 0, 21},
      {"PTB", "BR", 0, 15}, {"XYZ", "", 0, 6},   {"EN", "US", 0, 0},   {"ENGL", "GB", 0, 0},
      {"", "", 0, 0},
  };
  for (const Case& c : cases) {
    const LocaleCodes codes = LocaleCodesFor(c.name, c.country);
    EXPECT_EQ(codes.variant, c.variant) << c.name;
    EXPECT_EQ(codes.language, c.language) << c.name;
  }
}

}  // namespace
