// Editing rules of the input field: formats, dates and times, masks, keys, clipboard, focus and
// the notifications each operation asks for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/widgets/field_rules.h"

namespace {

using field::Effect;
using field::Key;
using field::Operation;
using Kind = field::Operation::Kind;

constexpr uint32_t kDate8 = 0x040, kDate10 = 0x241, kDayMonth = 0x048, kHm = 0x050, kHms = 0x0C0;
constexpr uint32_t kNum = 0x001, kAmount = 0x007, kUpper = 0x008, kPassword = 0x020, kMask = 0x400;

field::Locale DayFirst(char date = '/', char decimal = ',') {
  field::Locale l;
  l.dateSeparator = date;
  l.decimalSeparator = decimal;
  return l;
}

field::Locale MonthFirst() {
  field::Locale l = DayFirst('/', '.');
  l.monthFirst = true;
  return l;
}

struct Field {
  field::State s;
  field::Locale loc;
  int beeps = 0;

  Field(std::string_view text, uint32_t style, field::Locale l = DayFirst()) : s(field::Create(text, style)), loc(l) {}

  field::Result Do(const Operation& op) {
    field::Result r = field::Apply(s, op, loc);
    if (r.Has(Effect::Beep)) ++beeps;
    return r;
  }
  field::Result Char(unsigned char c, bool shift = false) {
    Operation op;
    op.ch = c;
    op.shift = shift;
    return Do(op);
  }
  void Type(std::string_view chars) {
    for (const char c : chars) Char(static_cast<unsigned char>(c));
  }
  field::Result Press(Key k, bool shift = false, bool ctrl = false, std::string_view clip = {}) {
    Operation op;
    op.kind = Kind::Key;
    op.key = k;
    op.shift = shift;
    op.ctrl = ctrl;
    op.text = clip;
    return Do(op);
  }
  field::Result Simple(Kind k, std::string_view text = {}, unsigned number = 0) {
    Operation op;
    op.kind = k;
    op.text = text;
    op.number = number;
    return Do(op);
  }
  field::Result Focus() { return Simple(Kind::FocusGained); }
  field::Result Blur() { return Simple(Kind::FocusLost); }
  field::Result Paste(std::string_view clip) { return Simple(Kind::Paste, clip); }
  field::Result SetText(std::string_view t) { return Simple(Kind::SetText, t); }
  void Select(uint16_t a, uint16_t e) {
    s.anchor = a;
    s.end = s.caret = e;
  }
};

TEST(FieldCreation, PrefixesMaskAndLimit) {
  struct Case {
    std::string text;
    uint32_t style;
    std::string shown, mask;
    uint16_t limit;
    bool framed, noDateCheck;
  } cases[] = {
      {"", 0, "", "", 1024, true, false},
      {"~abc", 0, "abc", "", 4, false, false},
      {"\xB5", kDate8, "", "", 9, true, true},
      {"abc", kDate10, "abc", "", 11, true, false},
      {"", kHms, "", "", 9, true, false},
      {"99/XX", kMask, "__/__", "99/XX", 6, true, false},
      // The mask is what follows the prefixes, in either order.
      {"~99-X", kMask, "__-_", "99-X", 5, false, false},
      {"\xB5~9", kMask, "_", "9", 2, false, true},
      {std::string(1022, 'X'), kMask, std::string(1022, '_'), std::string(1022, 'X'), 1023, true, false},
      // Too long for a mask: plain text.
      {std::string(1023, 'X'), kMask, std::string(1023, 'X'), "", 1024, true, false},
      // 8192 characters do not fit the scratch buffer with their terminator.
      {std::string(9000, 'a'), 0, std::string(8191, 'a'), "", 8191, true, false},
  };
  for (const Case& c : cases) {
    const field::State s = field::Create(c.text, c.style);
    SCOPED_TRACE(c.text.substr(0, 12));
    EXPECT_EQ(s.text, c.shown);
    EXPECT_EQ(s.mask, c.mask);
    EXPECT_EQ(s.limit, c.limit);
    EXPECT_EQ(s.framed, c.framed);
    EXPECT_EQ(s.noDateCheck, c.noDateCheck);
    EXPECT_EQ(s.caret + s.anchor + s.end, 0);
  }
}

TEST(FieldLimit, ZeroMeansWhatTheBufferHoldsAndTypingStopsThere) {
  Field f("~abc", 0);
  f.Focus();
  f.Press(Key::End);
  f.Type("de");  // "d" fits (caret 3 < 4), then the caret equals the limit
  EXPECT_EQ(f.s.text, "abcd");
  EXPECT_EQ(f.beeps, 1);
  f.Simple(Kind::Limit, {}, 0);
  EXPECT_EQ(f.s.limit, field::kMaxText);
  f.Simple(Kind::Limit, {}, 70000);
  EXPECT_EQ(f.s.limit, field::kMaxText);
}

// Typed on a focused field (template in place, caret 0).
struct TypingCase {
  uint32_t style;
  bool monthFirst;
  const char* keys;
  const char* text;
  int caret;
  int beeps;
};

TEST(FieldDateTyping, ChecksAtEachPosition) {
  const TypingCase cases[] = {
      {kDate10, false, "4", "00/00/0000", 0, 1},
      {kDate10, false, "32", "30/00/0000", 0, 1},      // day 32: back to the day
      {kDate10, false, "3112", "31/12/0000", 6, 0},
      {kDate10, false, "0113", "01/10/0000", 3, 1},    // month 13
      {kDate10, false, "012", "01/00/0000", 3, 1},     // first month digit 2
      {kDate10, false, "3104", "31/00/0000", 3, 1},    // 31 April fails at the month's second digit
      {kDate10, false, "29027", "29/02/1970", 9, 0},   // year 7 -> 197_, caret on the last digit
      {kDate10, false, "29021970", "29/02/1970", 0, 1},   // the last year digit makes the date whole
      {kDate10, false, "29022000", "29/02/2000", 10, 0},
      {kDate10, false, "29022001", "29/02/2000", 0, 1},   // not a leap year
      {kDate10, false, "29021900", "29/02/1900", 10, 0},  // every year above 0 divisible by 4
      {kDate10, false, "311220245", "31/12/2024", 10, 1},  // a key beyond the template
      {kDate10, true, "1231", "12/31/0000", 6, 0},
      {kDate10, true, "13", "10/00/0000", 0, 1},        // month first: 13 is no month
      {kDate10, true, "4", "40/00/0000", 1, 0},         // no first-digit check in month-first order
      {kDate8, false, "010203", "01/02/03", 8, 0},
      {kDayMonth, false, "29024", "29/04", 4, 0},       // stops at 4: a fifth digit retypes there
      {kDayMonth, false, "3102", "31/00", 3, 1},
      {kHm, false, "2359", "23:59", 4, 0},
      {kHm, false, "24", "20:00", 0, 1},
      {kHm, false, "1260", "12:00", 4, 1},
      {kHm, false, "3", "00:00", 0, 1},
      {kHms, false, "12345", "12:34:50", 7, 0},
      {kHms, false, "1234567", "12:34:57", 7, 0},
      {kHms, false, "12346", "12:34:00", 6, 1},
  };
  for (const TypingCase& c : cases) {
    SCOPED_TRACE(std::string(c.keys) + " style " + std::to_string(c.style));
    Field f("", c.style, c.monthFirst ? MonthFirst() : DayFirst());
    f.Focus();
    f.Type(c.keys);
    EXPECT_EQ(f.s.text, c.text);
    EXPECT_EQ(f.s.caret, c.caret);
    EXPECT_EQ(f.beeps, c.beeps);
  }
}

TEST(FieldDateTyping, NoDateCheckSwitchesOffDayAndMonth) {
  Field f("\xB5", kDate10);
  f.Focus();
  f.Type("9919");
  EXPECT_EQ(f.s.text, "99/19/0000");
  EXPECT_EQ(f.beeps, 0);
  f.Char('a');
  EXPECT_EQ(f.beeps, 1);  // digits only all the same
}

TEST(FieldWholeDate, DaysMonthsYearsAndShapes) {
  struct Case {
    const char* text;
    field::Format f;
    bool monthFirst;
    int result;
  } cases[] = {
      {"00/00/0000", field::Format::Date10, false, 0},
      {"31/01/2024", field::Format::Date10, false, 0},
      {"32/01/2024", field::Format::Date10, false, 1},
      {"00/05/2024", field::Format::Date10, false, 1},
      {"12/13/2024", field::Format::Date10, false, 2},
      {"05/00/2024", field::Format::Date10, false, 2},  // month 0 counts 31 days, then fails as a month
      {"29/02/2024", field::Format::Date10, false, 0},
      {"29/02/2023", field::Format::Date10, false, 1},
      {"29/02/0000", field::Format::Date10, false, 1},
      {"02/29/2024", field::Format::Date10, true, 0},
      {"31/04/24", field::Format::Date8, false, 1},
      // The short date's year is at 6-7: "24" is a leap year, "23" not.
      {"29/02/24", field::Format::Date8, false, 0},
      {"29/02/23", field::Format::Date8, false, 1},
      {"29/02", field::Format::DayMonth, false, 0},
      {"30/02", field::Format::DayMonth, false, 1},
      // Non-digits at digit positions are no empty date.
      {"ab/cd/efgh", field::Format::Date10, false, 1},
      {"00/00/00zz", field::Format::Date10, false, 1},
      {"1/2/2024", field::Format::Date10, false, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(field::CheckWholeDate(c.text, c.f, c.monthFirst ? MonthFirst() : DayFirst(), false), c.result);
  }
  EXPECT_EQ(field::CheckWholeDate("99/99/9999", field::Format::Date10, DayFirst(), true), 0);
}

TEST(FieldFocus, NormalisesOnTheWayOut) {
  struct Case {
    uint32_t style;
    const char* text;
    const char* out;
    field::Locale loc;
  } cases[] = {
      {kAmount, "12", "12,00", DayFirst()},
      {kAmount, "12,5", "12,50", DayFirst()},
      {kAmount, "0012.567", "12.56", DayFirst()},  // "." kept as it is
      {kAmount, ",5", "0,50", DayFirst()},
      {kAmount, "0", "", DayFirst()},
      {kAmount, "0,00", "", DayFirst()},
      {kAmount, ",", "", DayFirst()},
      {kAmount, "", "", DayFirst()},
      {kAmount, "12", "12.00", MonthFirst()},
      // Longer than any integer: every digit 0 still reads as 0.
      {kAmount, "000000000000000000000000000000000", "", DayFirst()},
      {kAmount, "000000000000000000000000000000001", "1,00", DayFirst()},
      {kNum, "  42 ", "   42", DayFirst()},
      {kDate10, "00/00/0000", "", DayFirst()},
      {kDate10, "00.00.0000", "", DayFirst('.')},
      {kDate8, "00/00/00", "", DayFirst()},
      {kDayMonth, "00/00", "", DayFirst()},
      {kDate10, "31/04/2024", "", DayFirst()},
      {kDate10, "30/04/2024", "30/04/2024", DayFirst()},
      {kDate10, "ab/cd/efgh", "", DayFirst()},
      {kDayMonth, "29/02", "29/02", DayFirst()},
      {kHm, "29:99", "29:99", DayFirst()},  // times are not checked here
      {0, " text ", " text ", DayFirst()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Field f("", c.style, c.loc);
    f.Focus();
    f.SetText(c.text);
    const field::Result r = f.Blur();
    EXPECT_EQ(f.s.text, c.out);
    EXPECT_EQ(r.effects.back(), Effect::NotifyKillFocus);
    EXPECT_EQ(f.s.caret, std::min<size_t>(f.s.caret, f.s.text.size()));
  }
}

TEST(FieldFocus, AmountThatWouldNotFitKeepsItsDigits) {
  Field f("12345", kAmount);  // limit 6
  f.Focus();
  f.Type("123456");
  f.Blur();
  EXPECT_EQ(f.s.text, "123456");
}

TEST(FieldFocus, DateTemplateComesBackAndNotifications) {
  Field f("", kDate8);
  field::Result r = f.Focus();
  EXPECT_EQ(f.s.text, "00/00/00");
  EXPECT_EQ(r.effects, (std::vector<Effect>{Effect::StoreText, Effect::CaretCreate, Effect::PlaceCaret,
                                            Effect::Repaint, Effect::NotifySetFocus}));
  f.Blur();
  EXPECT_EQ(f.s.text, "");
  f.Focus();
  EXPECT_EQ(f.s.text, "00/00/00");
}

TEST(FieldTyping, NotificationsOfAcceptedRefusedAndIgnoredCharacters) {
  Field f("", kNum);
  f.Focus();
  EXPECT_EQ(f.Char('5').effects, (std::vector<Effect>{Effect::StoreText, Effect::Update, Effect::Repaint,
                                                      Effect::PlaceCaret, Effect::Change}));
  EXPECT_EQ(f.Char('x').effects, std::vector<Effect>{Effect::Beep});
  EXPECT_TRUE(f.Char(127).effects.empty());  // DEL is no printable character
  EXPECT_TRUE(f.Char(1).effects.empty());
  EXPECT_EQ(f.Char(9, true).effects, std::vector<Effect>{Effect::PreviousControl});
  EXPECT_EQ(f.Char(13).effects, std::vector<Effect>{Effect::NextControl});
  EXPECT_EQ(f.s.text, "5");
}

TEST(FieldTyping, NumericFirstKeyReplacesAndAmountsKeepOneSeparator) {
  Field f("", kAmount);
  f.SetText("12,50");
  f.Focus();
  f.Type("7");
  EXPECT_EQ(f.s.text, "7");
  f.Type("8,9.");
  // The second separator removes the first; the caret stays after the digits it followed.
  EXPECT_EQ(f.s.text, "789,");
  EXPECT_EQ(f.s.caret, 4);
  f.Type("05");
  EXPECT_EQ(f.s.text, "789,05");
  f.s.caret = 1;
  f.Char(',');
  EXPECT_EQ(f.s.text, "7,905");
  EXPECT_EQ(f.s.caret, 2);
  EXPECT_EQ(f.beeps, 0);
}

TEST(FieldTyping, UpperCaseInsertOverwriteAndSelection) {
  Field f("", kUpper);
  f.Focus();
  f.Type("d\xE9j\xE0");
  EXPECT_EQ(f.s.text, "D\xC9J\xC0");
  f.Press(Key::Home);
  f.Char('x');  // overwrite is the default
  EXPECT_EQ(f.s.text, "X\xC9J\xC0");
  f.Press(Key::Insert);
  f.Char('y');
  EXPECT_EQ(f.s.text, "XY\xC9J\xC0");
  // Typing over a selection keeps its last character in insert mode.
  f.Select(0, 3);
  f.Char('z');
  EXPECT_EQ(f.s.text, "Z\xC9J\xC0");
  f.Press(Key::Insert);
  f.Select(1, 3);
  f.Char('w');
  EXPECT_EQ(f.s.text, "ZW\xC0");
  EXPECT_EQ(f.s.caret, 2);
}

TEST(FieldTyping, InsertIntoAFullTextGivesUpATrailingBlank) {
  Field f("~abc", 0);
  f.SetText("ab  ");
  f.Focus();
  f.Press(Key::Insert);
  f.Char('x');
  EXPECT_EQ(f.s.text, "xab ");
  f.Char('y');
  EXPECT_EQ(f.s.text, "xyab");
  f.Char('z');
  EXPECT_EQ(f.s.text, "xyab");
  EXPECT_EQ(f.beeps, 1);
}

TEST(FieldMask, LiteralsPlaceholdersAndCaret) {
  Field f("99/XX", kMask);
  f.Focus();
  EXPECT_EQ(f.s.text, "__/__");
  EXPECT_EQ(f.s.caret, 0);
  EXPECT_TRUE(f.Char('a').effects.empty());  // a letter at a "9": ignored without a beep
  f.Type("12");
  EXPECT_EQ(f.s.caret, 3);  // never on "/"
  f.Type("ab");
  EXPECT_EQ(f.s.text, "12/ab");
  f.Char('c');
  EXPECT_EQ(f.beeps, 1);  // beyond the mask
  f.Press(Key::Left);
  f.Press(Key::Left);
  EXPECT_EQ(f.s.caret, 3);
  f.Press(Key::Left);
  EXPECT_EQ(f.s.caret, 1);
  f.Press(Key::Back, false, true);
  EXPECT_EQ(f.s.text, "__/__");
  f.Type("7");
  f.Press(Key::End);
  EXPECT_EQ(f.s.caret, 1);
}

TEST(FieldMask, WithoutEditablePositionNothingLoops) {
  Field f("(-)", kMask);
  f.Focus();
  EXPECT_EQ(f.s.caret, 3);
  f.Press(Key::Left);
  f.Press(Key::Right);
  f.Press(Key::Home);
  f.Press(Key::End);
  f.Char('1');
  f.Paste("123");
  EXPECT_EQ(f.s.text, "(-)");
  EXPECT_EQ(f.beeps, 2);
}

TEST(FieldMask, SetMaskRelaysAndRefusesOverlongOnes) {
  Field f("99/99", kMask);
  f.Focus();
  f.Type("1234");
  field::Result r = f.Simple(Kind::SetMask, "9-9-9-9");
  EXPECT_EQ(r.value, 7u);
  EXPECT_EQ(f.s.text, "1-2-3-4");
  EXPECT_EQ(f.s.limit, 8);
  // A set text lays its characters over the mask, taking literals that match.
  f.SetText("56");
  EXPECT_EQ(f.s.text, "5-6-_-_");
  f.SetText("5-6-7-8");
  EXPECT_EQ(f.s.text, "5-6-7-8");
  r = f.Simple(Kind::SetMask, std::string(1023, 'X'));
  EXPECT_EQ(r.value, 0u);
  EXPECT_TRUE(f.s.mask.empty());  // the old mask goes in every case
  Field plain("", 0);
  EXPECT_EQ(plain.Simple(Kind::SetMask, "99").value, 0u);
  EXPECT_TRUE(plain.s.mask.empty());
}

TEST(FieldKeys, NavigationSelectionAndWords) {
  Field f("", 0);
  f.SetText("one two  three");
  f.Focus();
  f.Press(Key::Right, false, true);
  EXPECT_EQ(f.s.caret, 4);
  f.Press(Key::Right, true, true);
  EXPECT_EQ(f.s.anchor, 4);
  EXPECT_EQ(f.s.end, 9);
  f.Press(Key::Left);
  EXPECT_EQ(f.s.anchor, f.s.end);
  EXPECT_EQ(f.s.caret, 8);
  f.Press(Key::Left, false, true);
  EXPECT_EQ(f.s.caret, 4);
  f.Press(Key::Home);
  f.Press(Key::Left);  // wraps
  EXPECT_EQ(f.s.caret, 14);
  f.Press(Key::Right);
  EXPECT_EQ(f.s.caret, 0);
  f.Press(Key::End, true);
  EXPECT_EQ(field::SelEnd(f.s), 14);
  EXPECT_EQ(f.Press(Key::Up).effects, std::vector<Effect>{Effect::PreviousControl});
  EXPECT_EQ(f.Press(Key::Down).effects, std::vector<Effect>{Effect::NextControl});
}

TEST(FieldKeys, DeletionPerFormat) {
  struct Case {
    uint32_t style;
    const char* text;
    uint16_t caret;
    Key key;
    bool ctrl;
    const char* out;
    uint16_t caretOut;
  } cases[] = {
      {0, "abcd", 2, Key::Back, false, "acd", 1},
      {0, "abcd", 2, Key::Delete, false, "abd", 2},
      {0, "abcd", 2, Key::Delete, true, "ab", 2},
      {0, "abcd", 2, Key::Back, true, "a", 1},
      {0, "abcd", 0, Key::Back, false, "abcd", 0},  // beeps
      // Dates keep their separators: a digit becomes 0.
      {kDate10, "12/05/2024", 3, Key::Back, false, "10/05/2024", 1},
      {kDate10, "12/05/2024", 4, Key::Delete, false, "12/00/2024", 4},
      {kDate10, "12/05/2024", 0, Key::Delete, true, "00/00/0000", 0},
      {kHm, "12:34", 5, Key::Back, false, "12:30", 4},
      {kMask, "12/34", 3, Key::Back, false, "12/34", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " " + std::to_string(c.caret));
    Field f(c.style == kMask ? "99/99" : "", c.style);
    f.SetText(c.text);
    f.Focus();
    f.s.caret = f.s.anchor = f.s.end = c.caret;
    const std::string before = f.s.text;
    const field::Result r = f.Press(c.key, false, c.ctrl);
    EXPECT_EQ(f.s.text, c.out);
    EXPECT_EQ(f.s.caret, c.caretOut);
    EXPECT_EQ(r.Has(Effect::Change), f.s.text != before);
    if (r.Has(Effect::Beep)) EXPECT_EQ(f.s.text, before);
  }
  Field empty("", 0);
  EXPECT_TRUE(empty.Press(Key::Back).Has(Effect::Beep));
}

TEST(FieldKeys, SelectionDeletionPerFormat) {
  Field d("", kDate10, DayFirst('.'));
  d.SetText("12/05/2024");
  d.Focus();
  d.Select(1, 4);
  d.Press(Key::Delete);
  EXPECT_EQ(d.s.text, "00.00.0000");
  EXPECT_EQ(d.s.caret, 1);
  Field m("99/XX", kMask);
  m.SetText("12/ab");
  m.Focus();
  m.Select(1, 4);
  m.Press(Key::Back);
  EXPECT_EQ(m.s.text, "1_/_b");
}

TEST(FieldClipboard, CopyCutAndPasswords) {
  Field f("", 0);
  f.SetText("hello");
  f.Focus();
  f.Select(1, 4);
  field::Result r = f.Char(3);
  EXPECT_EQ(r.effects, std::vector<Effect>{Effect::Clipboard});
  EXPECT_EQ(r.clipboard, "ell");
  r = f.Char(24);
  EXPECT_EQ(r.clipboard, "ell");
  EXPECT_EQ(f.s.text, "ho");
  EXPECT_TRUE(r.Has(Effect::Change));

  Field p("", kPassword);
  p.Focus();
  p.Type("secret");
  EXPECT_EQ(field::DisplayText(p.s), "******");
  p.Select(0, 6);
  for (const unsigned char c : {3, 24}) {
    r = p.Char(c);
    EXPECT_FALSE(r.Has(Effect::Clipboard));
    EXPECT_EQ(p.s.text, "secret");
  }
  EXPECT_FALSE(p.Press(Key::Insert, false, true).Has(Effect::Clipboard));
  r = p.Press(Key::Delete, true);  // Shift+Delete still deletes, without a copy
  EXPECT_FALSE(r.Has(Effect::Clipboard));
  EXPECT_EQ(p.s.text, "");
}

struct PasteCase {
  uint32_t style;
  const char* before;
  const char* clip;
  const char* after;  // nullptr: refused
  field::Locale loc;
};

TEST(FieldClipboard, PasteRulesPerFormat) {
  const PasteCase cases[] = {
      {kDayMonth, "", "29/02 and more", "29/02", DayFirst()},
      {kDayMonth, "", "31/02", nullptr, DayFirst()},
      {kDayMonth, "", "29/0", nullptr, DayFirst()},
      {kHm, "", "23:59", "23:59", DayFirst()},
      {kHm, "", "29:00", nullptr, DayFirst()},
      {kHm, "", "12:60", nullptr, DayFirst()},
      {kHms, "", "01:02:03", "01:02:03", DayFirst()},
      {kHms, "", "01:02:60", nullptr, DayFirst()},
      {kDate10, "", "29/02/2024", "29/02/2024", DayFirst()},
      {kDate10, "", "29.02.2024", "29/02/2024", DayFirst('.')},
      {kDate10, "", "29-02-2024", nullptr, DayFirst('.')},
      {kDate10, "", "ab/cd/efgh", nullptr, DayFirst()},
      {kDate10, "", "29/02/2023", nullptr, DayFirst()},
      {kDate8, "", "31/12/99", "31/12/99", DayFirst()},
      {kDate8, "", "12/31/99", "12/31/99", MonthFirst()},
      {kNum, "", "123", "123", DayFirst()},
      {kNum, "", "1,5", nullptr, DayFirst()},  // no separator in an integer field
      {kAmount, "", "1,5", "1,5", DayFirst()},
      {kAmount, "", "1.5", "1,5", DayFirst()},
      {kAmount, "", "1,5,6", nullptr, DayFirst()},
      {kAmount, "1,2", "3,4", nullptr, DayFirst()},  // the text's separator counts
      {0, "", "line one\r\nline two", "line one", DayFirst()},
      {kUpper, "", "abc", "ABC", DayFirst()},
      {0, "", "", nullptr, DayFirst()},
  };
  for (const PasteCase& c : cases) {
    SCOPED_TRACE(c.clip);
    Field f("", c.style, c.loc);
    f.SetText(c.before);
    f.Focus();
    f.s.modified = true;
    f.Press(Key::End);
    const std::string before = f.s.text;
    const field::Result r = f.Paste(c.clip);
    if (c.after) {
      EXPECT_EQ(f.s.text, c.after);
      EXPECT_TRUE(r.Has(Effect::Change));
    } else {
      EXPECT_EQ(f.s.text, before);
      EXPECT_EQ(r.effects, std::vector<Effect>{Effect::Beep});
    }
  }
}

TEST(FieldClipboard, PasteKeepsTheTextAndTakesWhatFits) {
  Field f("~abcde", 0);  // limit 6
  f.SetText("abcd");
  f.Focus();
  f.Paste("XYZ");
  EXPECT_EQ(f.s.text, "XYabcd");
  EXPECT_EQ(f.s.caret, 2);
  EXPECT_TRUE(f.Paste("Q").Has(Effect::Beep));
  // A paste of any length is bounded first.
  Field big("", 0);
  big.Simple(Kind::Limit, {}, 0);
  big.Focus();
  big.Paste(std::string(20000, 'q'));
  EXPECT_EQ(big.s.text.size(), field::kMaxText);
  Field m("99/XX", kMask);
  m.Focus();
  m.Paste("1234");
  EXPECT_EQ(m.s.text, "12/4_");
  EXPECT_EQ(m.s.caret, 4);
}

TEST(FieldSetText, ClampsPositionsAndBoundsTheText) {
  Field f("", 0);
  f.SetText("hello world");
  f.Focus();
  f.Select(2, 11);
  f.SetText("");
  EXPECT_EQ(f.s.caret + f.s.anchor + f.s.end, 0);
  f.SetText(std::string(9000, 'z'));
  EXPECT_EQ(f.s.text.size(), field::kMaxText);
}

TEST(FieldMouse, PressDragReleaseAndDoubleClick) {
  Field f("99/99", kMask);
  f.Focus();
  f.SetText("12/34");
  Operation op;
  op.kind = Kind::MousePress;
  op.number = 1;
  op.hadFocus = true;
  f.Do(op);
  op.kind = Kind::MouseMove;
  op.number = 2;
  f.Do(op);
  EXPECT_EQ(f.s.end, 2);
  f.Simple(Kind::MouseRelease);
  EXPECT_FALSE(f.s.mouseSelecting);
  f.Simple(Kind::MousePress, {}, 2);  // no focus before: to 0
  f.Simple(Kind::MouseRelease);
  EXPECT_EQ(f.s.caret, 0);
  op.kind = Kind::MousePress;
  op.number = 2;
  f.Do(op);
  f.Simple(Kind::MouseRelease);
  EXPECT_EQ(f.s.caret, 3);  // off the literal
  f.Simple(Kind::DoubleClick);
  EXPECT_EQ(field::SelStart(f.s), 0);
  EXPECT_EQ(field::SelEnd(f.s), 5);
}

}  // namespace
