// The text tool's line editing through its interface, with a font of fixed-width characters.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "retouch/canvas/text_line.h"

namespace {

using text_line::Effect;

// Every byte (the terminating zero too) is `advance` pixels wide.
struct Font {
  int32_t advance = 10;
  int calls = 0;
  static int32_t Width(void* context, const char*, int32_t count) {
    Font* f = static_cast<Font*>(context);
    ++f->calls;
    return count * f->advance;
  }
  text_line::Measure measure() { return {&Font::Width, this}; }
};

class Editor {
 public:
  explicit Editor(int32_t imageWidth, int32_t left = 0, int32_t advance = 10) : buffer_(text_line::kBufferSize, 'x') {
    font_.advance = advance;
    line_.buffer = buffer_.data();
    line_.left = left;
    line_.imageWidth = imageWidth;
    text_line::Clear(line_);
  }
  Editor& Type(const std::string& s) {
    for (char c : s) text_line::TypeChar(line_, static_cast<unsigned char>(c), font_.measure());
    return *this;
  }
  Effect Key(int32_t key) { return text_line::KeyDown(line_, key, font_.measure()); }
  Effect Char(int32_t c) { return text_line::TypeChar(line_, c, font_.measure()); }
  std::string text() { return std::string(line_.buffer, static_cast<size_t>(text_line::Length(line_))); }
  int32_t caret() const { return line_.caretIndex; }
  text_line::Line& line() { return line_; }
  Font& font() { return font_; }

 private:
  std::vector<char> buffer_;  // exactly the tool's block: the sanitizer sees any byte past it
  Font font_;
  text_line::Line line_;
};

TEST(TextLine, TypingOverwritesAndTheKeysMoveTheCaret) {
  Editor e(1000);
  e.Type("abc");
  EXPECT_EQ(e.Key(text_line::kKeyHome), Effect::kCaret);
  e.Type("X");
  EXPECT_EQ(e.text(), "Xbc");
  EXPECT_EQ(e.caret(), 1);

  struct Step {
    int32_t key;
    int caret;
  };
  const Step steps[] = {{text_line::kKeyEnd, 3},  {text_line::kKeyRight, 3}, {text_line::kKeyDown, 3},
                        {text_line::kKeyLeft, 2}, {text_line::kKeyUp, 1},    {text_line::kKeyHome, 0},
                        {text_line::kKeyLeft, 0}, {text_line::kKeyRight, 1}};
  for (const Step& s : steps) {
    EXPECT_EQ(e.Key(s.key), Effect::kCaret);
    EXPECT_EQ(e.caret(), s.caret) << s.key;
  }
  EXPECT_EQ(e.Key(0x41), Effect::kNone);
  EXPECT_EQ(e.text(), "Xbc");
}

TEST(TextLine, InsertDeleteAndBackspace) {
  Editor e(1000);
  e.Type("abc");
  e.line().caretIndex = 1;
  EXPECT_EQ(e.Key(text_line::kKeyInsert), Effect::kText);
  EXPECT_EQ(e.text(), "a bc");
  EXPECT_EQ(e.caret(), 1);
  EXPECT_EQ(e.Key(text_line::kKeyDelete), Effect::kText);
  EXPECT_EQ(e.text(), "abc");
  e.line().caretIndex = 3;  // at the end both do nothing
  EXPECT_EQ(e.Key(text_line::kKeyInsert), Effect::kCaret);
  EXPECT_EQ(e.Key(text_line::kKeyDelete), Effect::kCaret);
  EXPECT_EQ(e.text(), "abc");

  EXPECT_EQ(e.Char(8), Effect::kText);  // Backspace at the end
  EXPECT_EQ(e.text(), "ab");
  EXPECT_EQ(e.caret(), 2);
  e.Type("c");
  e.line().caretIndex = 0;  // Backspace at 0 removes the first character
  EXPECT_EQ(e.Char(8), Effect::kText);
  EXPECT_EQ(e.text(), "bc");
  EXPECT_EQ(e.caret(), 0);

  Editor empty(1000);
  EXPECT_EQ(empty.Char(8), Effect::kCaret);
  EXPECT_EQ(empty.Key(text_line::kKeyInsert), Effect::kCaret);
  EXPECT_EQ(empty.Key(text_line::kKeyDelete), Effect::kCaret);
  EXPECT_EQ(empty.text(), "");
}

TEST(TextLine, OnlyPrintableSingleBytesAreTyped) {
  Editor e(1000);
  for (int32_t c : {0xE9, 0x80, 0xFF, 31, 13, 27, 0, 0x100 + 0xE9}) EXPECT_EQ(e.Char(c), Effect::kNone) << c;
  EXPECT_EQ(e.text(), "");
  for (int32_t c : {32, int{'&'}, 127, 0x100 + 'q'}) EXPECT_EQ(e.Char(c), Effect::kText) << c;  // low byte counts
  EXPECT_EQ(e.text(), " &\x7Fq");
}

TEST(TextLine, GrowsOnlyWhileTheTextAndItsZeroFit) {
  // left 5 + (length + 1) * 10 < 50: four characters.
  Editor e(50, 5);
  e.Type("abcdef");
  EXPECT_EQ(e.text(), "abcd");
  // A full line refuses overwriting and inserting too.
  e.line().caretIndex = 1;
  EXPECT_EQ(e.Char('Z'), Effect::kNone);
  EXPECT_EQ(e.Key(text_line::kKeyInsert), Effect::kCaret);
  EXPECT_EQ(e.text(), "abcd");
  // A line starting right of the image takes nothing.
  Editor outside(50, 60);
  EXPECT_EQ(outside.Char('a'), Effect::kNone);
}

TEST(TextLine, NeverWritesPastTheBuffer) {
  // A 1-pixel font on a very wide image, and a font whose characters are 0 wide.
  for (int32_t advance : {1, 0}) {
    Editor e(INT32_MAX, 0, advance);
    e.Type(std::string(text_line::kBufferSize + 100, 'w'));
    EXPECT_EQ(e.text().size(), static_cast<size_t>(text_line::kMaxLength));
    EXPECT_EQ(e.line().buffer[text_line::kMaxLength], 0);
    e.line().caretIndex = 10;
    EXPECT_EQ(e.Key(text_line::kKeyInsert), Effect::kCaret);
    EXPECT_EQ(e.Char('o'), Effect::kNone);
    EXPECT_EQ(e.Char(8), Effect::kText);
    EXPECT_EQ(e.Key(text_line::kKeyInsert), Effect::kText);
    EXPECT_EQ(e.text().size(), static_cast<size_t>(text_line::kMaxLength));
  }
  // A buffer without its zero is cut at the last byte.
  Editor e(1000);
  std::memset(e.line().buffer, 'q', text_line::kBufferSize);
  EXPECT_EQ(text_line::Length(e.line()), text_line::kMaxLength);
  EXPECT_EQ(e.line().buffer[text_line::kMaxLength], 0);
}

TEST(TextLine, ClickChoosesTheIndexBeforeTheFirstCaretAtOrRightOfIt) {
  Editor e(1000, 5);
  e.Type("abc");  // caret x: 5, 15, 25, 35
  struct Case {
    int64_t x;
    int32_t index;
  };
  const Case cases[] = {{-100, 0}, {5, 0}, {6, 0}, {15, 0}, {16, 1}, {25, 1}, {34, 2}, {35, 2}, {36, 3}, {5000, 3}};
  for (const Case& c : cases) EXPECT_EQ(text_line::IndexAtX(e.line(), c.x, e.font().measure()), c.index) << c.x;
  EXPECT_EQ(text_line::CaretX(e.line(), 2, e.font().measure()), 25);
  EXPECT_EQ(text_line::CaretX(e.line(), 99, e.font().measure()), 35);

  // A long line is measured a few times per click, not once per character.
  Editor wide(INT32_MAX, 0, 1);
  wide.Type(std::string(8000, 'i'));
  wide.font().calls = 0;
  EXPECT_EQ(text_line::IndexAtX(wide.line(), 4000, wide.font().measure()), 3999);
  EXPECT_LT(wide.font().calls, 20);
}

TEST(TextLine, FontDialogHeightsBecomeBrushHeights) {
  struct Case {
    int32_t font, brush;
  };
  const Case cases[] = {{-20, 20}, {20, 20}, {0, 1}, {-1, 1}, {49, 48}, {-300, 48}, {INT_MIN, 48}, {INT_MAX, 48}};
  for (const Case& c : cases) EXPECT_EQ(text_line::BrushHeightOfFont(c.font, 1, 48), c.brush) << c.font;
}

}  // namespace
