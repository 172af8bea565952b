// Input fields "SAISIE" in a real dialog built from a template: notifications per character,
// focus in and out per format, the clipboard, the window text and extra bytes, the exports,
// painting, and create/type/destroy cycles. Run once per locale (day-first and month-first).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "controls/core/library.h"
#include "controls/widgets/combo.h"
#include "controls/widgets/saisie.h"
#include "field_harness.h"
#include "testdlg.h"
#include "wintest.h"

namespace {

using fields_test::Dialog;
using fields_test::Note;

struct LocaleRules {
  char date = '/';
  char decimal = ',';
  bool monthFirst = false;
};

LocaleRules Rules() {
  LocaleRules r;
  char buf[8] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDATE, buf, sizeof buf) > 1) r.date = buf[0];
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buf, sizeof buf) > 1) r.decimal = buf[0];
  const char* env = std::getenv("TAMSEL_MONTH_FIRST");
  r.monthFirst = env && env[0] == '1';
  return r;
}

class Fields : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { fields_test::AttachLibrary(); }
  static void TearDownTestSuite() { tamsel::LibraryDetach(); }
  void SetUp() override { ASSERT_TRUE(d.Open(IDD_FIELDS)); }
  void TearDown() override { d.Close(); }
  HWND F(int id) { return d.Item(id); }
  Dialog d;
};

TEST_F(Fields, EachCharacterNotifiesWhenAcceptedAndNothingWhenRefused) {
  const LocaleRules rules = Rules();
  struct Case {
    int id;
    char ch;
    bool accepted;
  } cases[] = {
      {IDC_NUMERIC, '5', true},   {IDC_NUMERIC, 'x', false},
      {IDC_AMOUNT, '.', true},    {IDC_AMOUNT, '7', true},  {IDC_AMOUNT, rules.decimal, true},
      {IDC_AMOUNT, rules.decimal == ',' ? ';' : ',', false},  // "." or the locale's separator only
      {IDC_DATE10, '4', rules.monthFirst},  // day first: no day starts with 4
      {IDC_TIME, '3', false},     {IDC_MASK, 'a', false},     // a letter at a "9": ignored
      {IDC_PLAIN, 'q', true},     {IDC_PLAIN, '\x7F', false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.id) + " " + c.ch);
    d.Focus(c.id);
    const std::string before = d.Text(c.id);
    d.rec.Clear();
    d.Char(c.id, c.ch);
    if (c.accepted) {
      wintest::ExpectSequence(d.rec, {
          {WM_COMMAND, wintest::kParent | wintest::kWparam | wintest::kSent, MAKEWPARAM(c.id, EN_UPDATE)},
          {WM_COMMAND, wintest::kParent | wintest::kWparam | wintest::kSent, MAKEWPARAM(c.id, EN_CHANGE)},
      }, "accepted");
      EXPECT_NE(d.Text(c.id), before);
    } else {
      wintest::ExpectSequence(d.rec, {}, "refused");
      EXPECT_EQ(d.Text(c.id), before);
    }
  }
}

TEST_F(Fields, FocusInAndOutPerFormat) {
  const LocaleRules r = Rules();
  const std::string dec(1, r.decimal);
  struct Case {
    int id;
    std::string onFocus, typed, onLeave;
  } cases[] = {
      {IDC_AMOUNT, "", "12", "12" + dec + "00"},
      {IDC_AMOUNT, "", "0", ""},
      {IDC_DATE10, "00/00/0000", "", ""},
      {IDC_DATE10, "00/00/0000", r.monthFirst ? "12312024" : "31122024", r.monthFirst ? "12/31/2024" : "31/12/2024"},
      {IDC_DATE8, "00/00/00", r.monthFirst ? "022923" : "290223", ""},  // 23 is no leap year
      {IDC_DAYMONTH, "00/00", r.monthFirst ? "0229" : "2902", r.monthFirst ? "02/29" : "29/02"},
      {IDC_TIME, "00:00", "1230", "12:30"},
      {IDC_NUMERIC, "", "42", "42"},
      {IDC_UPPER, "", "abc", "ABC"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.id) + " " + c.typed);
    SetWindowTextA(F(c.id), "");
    d.rec.Clear();
    d.Focus(c.id);
    EXPECT_EQ(d.Text(c.id), c.onFocus);
    d.Type(c.id, c.typed);
    d.Focus(IDC_PLAIN);
    EXPECT_EQ(d.Text(c.id), c.onLeave);
    std::vector<int> codes;
    for (const Note& n : d.Notes())
      if (n.first == c.id) codes.push_back(n.second);
    ASSERT_GE(codes.size(), 2u);
    EXPECT_EQ(codes.front(), EN_SETFOCUS);
    EXPECT_EQ(codes.back(), EN_KILLFOCUS);
  }
  // Never typed into: emptied on leaving, the template again on coming back.
  SetWindowTextA(F(IDC_DATE10), "");
  d.Focus(IDC_DATE10);
  EXPECT_EQ(d.Text(IDC_DATE10), "00/00/0000");
}

TEST_F(Fields, TabEnterAndArrowsMoveThroughTheDialog) {
  d.Focus(IDC_PLAIN);
  d.Char(IDC_PLAIN, '\t');
  wintest::Pump(20);
  EXPECT_EQ(GetFocus(), F(IDC_NUMERIC));
  d.Key(IDC_NUMERIC, VK_UP);
  wintest::Pump(20);
  EXPECT_EQ(GetFocus(), F(IDC_PLAIN));
  d.Char(IDC_PLAIN, '\r');
  wintest::Pump(20);
  EXPECT_EQ(GetFocus(), F(IDC_NUMERIC));
}

TEST_F(Fields, ClipboardRoundTrips) {
  const LocaleRules r = Rules();
  SetWindowTextA(F(IDC_PLAIN), "hello");
  d.Focus(IDC_PLAIN);
  d.Key(IDC_PLAIN, VK_END, true);
  d.Char(IDC_PLAIN, 3);
  EXPECT_EQ(fields_test::ClipboardText(), "hello");
  d.Focus(IDC_UPPER);
  d.Char(IDC_UPPER, 22);
  EXPECT_EQ(d.Text(IDC_UPPER), "HELLO");

  // A password never goes to the clipboard.
  d.Focus(IDC_PASSWORD);
  d.Type(IDC_PASSWORD, "secret");
  d.Key(IDC_PASSWORD, VK_HOME);
  d.Key(IDC_PASSWORD, VK_END, true);
  d.Char(IDC_PASSWORD, 3);
  d.Char(IDC_PASSWORD, 24);
  EXPECT_EQ(fields_test::ClipboardText(), "hello");
  EXPECT_EQ(d.Text(IDC_PASSWORD), "secret");

  // CF_TEXT without a terminating zero is read within its block (Wine may end the block
  // with a zero of its own, over the last byte).
  ASSERT_TRUE(fields_test::PutClipboardBytes("1234", 4));
  d.Focus(IDC_NUMERIC);
  d.Char(IDC_NUMERIC, 22);
  const std::string pasted = d.Text(IDC_NUMERIC);
  EXPECT_TRUE(pasted == "1234" || pasted == "123") << pasted;

  // Dates pasted with the locale's separator; times only as typing accepts them.
  const std::string sep(1, r.date);
  const std::string date = r.monthFirst ? "12" + sep + "31" + sep + "2024" : "31" + sep + "12" + sep + "2024";
  ASSERT_TRUE(fields_test::PutClipboardBytes(date.c_str(), date.size() + 1));
  d.Focus(IDC_DATE10);
  d.Char(IDC_DATE10, 22);
  EXPECT_EQ(d.Text(IDC_DATE10), r.monthFirst ? "12/31/2024" : "31/12/2024");
  ASSERT_TRUE(fields_test::PutClipboardBytes("29:00", 6));
  d.Focus(IDC_TIME);
  d.rec.Clear();
  d.Char(IDC_TIME, 22);
  EXPECT_EQ(d.Text(IDC_TIME), "00:00");
  EXPECT_TRUE(d.Notes().empty());
}

TEST_F(Fields, WindowTextSelectionAndExtraBytes) {
  SetWindowTextA(F(IDC_PLAIN), "hello world");
  d.Focus(IDC_PLAIN);
  d.Key(IDC_PLAIN, VK_END, true);
  EXPECT_EQ(SendMessageA(F(IDC_PLAIN), EM_GETSEL, 0, 0), MAKELRESULT(0, 11));
  SetWindowTextA(F(IDC_PLAIN), "");
  EXPECT_EQ(SendMessageA(F(IDC_PLAIN), EM_GETSEL, 0, 0), 0);
  EXPECT_EQ(GetWindowWord(F(IDC_PLAIN), 2), 0);  // caret
  std::string big(9000, 'z');
  SetWindowTextA(F(IDC_PLAIN), big.c_str());
  EXPECT_EQ(GetWindowTextLengthA(F(IDC_PLAIN)), 8191);

  // "~abc": limit 4, not framed; the mask's block in its slot.
  EXPECT_EQ(d.Text(IDC_FRAMELESS), "abc");
  EXPECT_EQ(GetWindowWord(F(IDC_FRAMELESS), 0), 4);
  EXPECT_EQ(GetWindowWord(F(IDC_FRAMELESS), 22), 0);
  EXPECT_EQ(GetWindowWord(F(IDC_PLAIN), 22), 1);
  EXPECT_EQ(d.Text(IDC_MASK), "__/__");
  EXPECT_NE(GetWindowLongPtrA(F(IDC_MASK), 28), 0);
  EXPECT_EQ(GetWindowLongPtrA(F(IDC_PLAIN), 28), 0);
  EXPECT_EQ(GetClassLongA(F(IDC_PLAIN), GCL_CBWNDEXTRA), sizeof(void*) == 8 ? 46 : 38);
  EXPECT_EQ(SendMessageA(F(IDC_PLAIN), WM_GETDLGCODE, 0, 0), 131);

  d.Focus(IDC_FRAMELESS);
  EXPECT_EQ(SendMessageA(F(IDC_FRAMELESS), EM_GETMODIFY, 0, 0), 0);
  d.Key(IDC_FRAMELESS, VK_END);
  d.Type(IDC_FRAMELESS, "de");
  EXPECT_EQ(d.Text(IDC_FRAMELESS), "abcd");
  EXPECT_EQ(SendMessageA(F(IDC_FRAMELESS), EM_GETMODIFY, 0, 0), 1);
}

TEST_F(Fields, ExportsCheckTheClassAndReturnThePreviousValue) {
  EXPECT_EQ(SetSaisieFocusColor(F(IDC_PLAIN), 0x00FF00), 0xC0FFFFu);
  EXPECT_EQ(SetSaisieFocusColor(F(IDC_PLAIN), 0x0000FF), 0x00FF00u);
  EXPECT_EQ(SetSaisieBkColor(F(IDC_PLAIN), 0x123456), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(SetSaisieTxtColor(F(IDC_PLAIN), 0x654321), GetSysColor(COLOR_WINDOWTEXT));
  for (auto set : {SetSaisieFocusColor, SetSaisieBkColor, SetSaisieTxtColor}) {
    EXPECT_EQ(set(F(IDOK), 0x111111), 0u);
    EXPECT_EQ(set(nullptr, 0x111111), 0u);
  }
  EXPECT_EQ(SetKvComboFocusColor(F(IDC_PLAIN), 1), 0u);
  EXPECT_EQ(SetKvComboBkColor(F(IDC_PLAIN), 1), 0u);

  EXPECT_EQ(SetSaisieStringMask(F(IDC_MASK), "9-9"), 3);
  EXPECT_EQ(d.Text(IDC_MASK), "_-_");
  EXPECT_EQ(SetSaisieStringMask(F(IDC_PLAIN), "9-9"), 0);
  EXPECT_EQ(SetSaisieStringMask(F(IDOK), "9-9"), 0);
  const std::string tooLong(1023, 'X');
  EXPECT_EQ(SetSaisieStringMask(F(IDC_MASK), tooLong.c_str()), 0);
  EXPECT_EQ(GetWindowLongPtrA(F(IDC_MASK), 28), 0);  // the old mask went all the same
  EXPECT_EQ(SetSaisieStringMask(F(IDC_MASK), nullptr), 0);
}

TEST_F(Fields, PaintsItsColoursAndHidesPasswords) {
  SetSaisieBkColor(F(IDC_PLAIN), 0x00FF00);
  d.Focus(IDOK);
  RECT rc;
  GetClientRect(F(IDC_PLAIN), &rc);
  {
    wintest::Canvas32 canvas(rc.right, rc.bottom);
    SendMessageA(F(IDC_PLAIN), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    EXPECT_EQ(canvas.Pixel(rc.right / 2, rc.bottom / 2), 0x00FF00u);
  }
  d.Focus(IDC_PLAIN);
  {
    wintest::Canvas32 canvas(rc.right, rc.bottom);
    SendMessageA(F(IDC_PLAIN), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    EXPECT_EQ(canvas.Pixel(rc.right / 2, rc.bottom / 2), 0xC0FFFFu);
  }
  // The same characters shown as "*" draw the same pixels whatever they are.
  auto paint = [&](const char* text) {
    SetWindowTextA(F(IDC_PASSWORD), text);
    wintest::Canvas32 canvas(rc.right, rc.bottom);
    SendMessageA(F(IDC_PASSWORD), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    std::vector<COLORREF> px;
    for (int y = 0; y < rc.bottom; ++y)
      for (int x = 0; x < rc.right; ++x) px.push_back(canvas.Pixel(x, y));
    return px;
  };
  EXPECT_EQ(paint("iiii"), paint("WWWW"));
  EXPECT_NE(paint("iiii"), paint("iii"));

  // Nor does the caret: it stands after as many "*" whatever the characters.
  auto caretAfter = [&](int id, const char* text) {
    SetWindowTextA(F(id), text);
    d.Focus(id);
    d.Key(id, VK_END);
    POINT p = {};
    GetCaretPos(&p);
    return p.x;
  };
  EXPECT_EQ(caretAfter(IDC_PASSWORD, "iiii"), caretAfter(IDC_PASSWORD, "WWWW"));
  EXPECT_LT(caretAfter(IDC_PLAIN, "iiii"), caretAfter(IDC_PLAIN, "WWWW"));
}

TEST(FieldCycles, CreateTypeDestroyWithoutGrowth) {
  fields_test::AttachLibrary();
  auto cycle = [] {
    Dialog d;
    if (!d.Open(IDD_FIELDS)) return;
    for (int id : {IDC_PLAIN, IDC_AMOUNT, IDC_DATE10, IDC_MASK, IDC_PASSWORD}) {
      d.Focus(id);
      d.Type(id, "1234");
    }
    d.Focus(IDC_PLAIN);
    d.Close();
  };
  for (int i = 0; i < 5; ++i) cycle();
  const size_t gdi = fields_test::LiveGdiObjects();
  const size_t memory = fields_test::PrivateBytes();
  for (int i = 0; i < 100; ++i) cycle();
  EXPECT_LE(fields_test::LiveGdiObjects(), gdi);
  EXPECT_LT(fields_test::PrivateBytes(), memory + 1024 * 1024);
  tamsel::LibraryDetach();
}

}  // namespace
