// What the button and the static control receive and tell their dialog: clicks, keys, auto-radio
// groups, mnemonics through the dialog manager, hover, focus; watched with the message recorder.
#include <gtest/gtest.h>

#include <vector>

#include "controls/core/hover.h"
#include "controls/widgets/button.h"
#include "controls/widgets/static.h"
#include "controls_fixture.h"
#include "msg_recorder.h"

namespace ctltest {
namespace {

using wintest::ExpectSequence;
using wintest::kNested;
using wintest::kOptional;
using wintest::kParent;
using wintest::kPosted;
using wintest::kSent;
using wintest::kWparam;

INT_PTR CALLBACK PlainDialog(HWND, UINT m, WPARAM, LPARAM) { return m == WM_INITDIALOG; }

// A dialog without controls, from a template in memory; the tests add the controls.
HWND MakeDialog() {
  struct {
    DLGTEMPLATE t;
    WORD menu, cls, title;
  } tmpl = {};
  tmpl.t.style = WS_POPUP | WS_VISIBLE;
  tmpl.t.cx = 300;
  tmpl.t.cy = 200;
  return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &tmpl.t, nullptr, PlainDialog, 0);
}

HWND Child(HWND dialog, const char* cls, const char* text, DWORD style, int id, int y) {
  return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, 10, y, 120, 22, dialog,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

void SetShift(bool down) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = down ? 0x80 : 0;
  SetKeyboardState(keys);
}

bool HasTabStop(HWND w) { return (GetWindowLongA(w, GWL_STYLE) & WS_TABSTOP) != 0; }
LRESULT Check(HWND w) { return SendMessageA(w, BM_GETCHECK, 0, 0); }

class Behaviour : public Controls {
 protected:
  void SetUp() override {
    Controls::SetUp();
    wintest::NameMessage(BTM_CLICK, "BTM_CLICK");
    dialog = MakeDialog();
    ASSERT_NE(dialog, nullptr);
    rec.Watch(dialog, "dialog", kParent);
  }
  void TearDown() override {
    SetShift(false);
    DestroyWindow(dialog);
    Controls::TearDown();
  }
  wintest::MsgRecorder rec;
  HWND dialog = nullptr;
};

TEST_F(Behaviour, AClickInsideNotifiesAndOneReleasedOutsideGivesTheFocusBack) {
  HWND other = Child(dialog, "BOUTON", "Other", BS_PUSHBUTTON | WS_TABSTOP, 5, 10);
  HWND box = Child(dialog, "BOUTON", "Box", BS_AUTOCHECKBOX | WS_TABSTOP, 7, 40);
  rec.Watch(box, "box");
  SetFocus(other);
  rec.Only({WM_LBUTTONDOWN, WM_LBUTTONUP, BM_SETCHECK, WM_COMMAND, WM_SETFOCUS});
  rec.Clear();
  SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  ExpectSequence(rec,
                 {{WM_LBUTTONDOWN, kSent},
                  {WM_SETFOCUS, kNested},
                  {WM_LBUTTONUP, kSent},
                  {BM_SETCHECK, kNested | kWparam, BST_CHECKED, 0, "box"},
                  {WM_COMMAND, kParent | kNested | kWparam, MAKEWPARAM(7, BN_CLICKED)}},
                 "click inside");
  EXPECT_EQ(Check(box), BST_CHECKED);

  SetFocus(other);
  rec.Clear();
  SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(box, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(500, 5));
  SendMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(500, 5));
  ExpectSequence(rec, {{WM_LBUTTONDOWN, kSent}, {WM_SETFOCUS, kNested}, {WM_LBUTTONUP, kSent}}, "released outside");
  EXPECT_EQ(GetFocus(), other);
  EXPECT_EQ(Check(box), BST_CHECKED);
}

TEST_F(Behaviour, SpaceClicksTabAndArrowsAskTheDialogToMoveTheFocus) {
  HWND box = Child(dialog, "BOUTON", "Box", BS_AUTOCHECKBOX | WS_TABSTOP, 7, 10);
  Child(dialog, "BOUTON", "Next", BS_PUSHBUTTON | WS_TABSTOP, 8, 40);
  rec.Watch(box, "box");
  rec.Only({WM_KEYDOWN, WM_KEYUP, WM_COMMAND, WM_NEXTDLGCTL});
  SetFocus(box);
  rec.Clear();
  SendMessageA(box, WM_KEYDOWN, VK_SPACE, 0);
  SendMessageA(box, WM_KEYUP, VK_SPACE, 0);
  SendMessageA(box, WM_KEYDOWN, VK_TAB, 0);
  wintest::Pump(20);
  SetShift(true);
  SendMessageA(box, WM_KEYDOWN, VK_TAB, 0);
  wintest::Pump(20);
  SetShift(false);
  ExpectSequence(rec,
                 {{WM_KEYDOWN, kSent},
                  {WM_KEYUP, kSent},
                  {WM_COMMAND, kParent | kNested | kWparam, MAKEWPARAM(7, BN_CLICKED)},
                  {WM_KEYDOWN, kSent},
                  {WM_NEXTDLGCTL, kParent | kPosted | kWparam, 0},
                  {WM_KEYDOWN, kSent},
                  {WM_NEXTDLGCTL, kParent | kPosted | kWparam, 1}},
                 "keys");
  EXPECT_EQ(Check(box), BST_CHECKED);
  EnableWindow(box, FALSE);
  SendMessageA(box, WM_KEYDOWN, VK_SPACE, 0);
  SendMessageA(box, WM_KEYUP, VK_SPACE, 0);
  EXPECT_EQ(Check(box), BST_CHECKED) << "keys are ignored while disabled";
}

class RadioGroup : public Behaviour {
 protected:
  void SetUp() override {
    Behaviour::SetUp();
    for (int i = 0; i < 3; ++i) {
      radios[i] = Child(dialog, "BOUTON", "Radio", BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0), 20 + i,
                        10 + 30 * i);
      rec.Watch(radios[i], i == 0 ? "r0" : i == 1 ? "r1" : "r2");
    }
    Child(dialog, "BOUTON", "After", BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, 30, 100);
  }
  // Which members are checked and which keep WS_TABSTOP, as "ct.." per member.
  std::string States() {
    std::string s;
    for (HWND r : radios) s += std::string(Check(r) ? "c" : "-") + (HasTabStop(r) ? "t" : "-") + " ";
    return s;
  }
  HWND radios[3] = {};
};

TEST_F(RadioGroup, AClickUnchecksTheOthersAndOnlyTheCheckedMemberKeepsTheTabStop) {
  rec.Only({WM_LBUTTONUP, BM_SETCHECK, WM_COMMAND});
  rec.Clear();
  SendMessageA(radios[1], WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(radios[1], WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  ExpectSequence(rec,
                 {{WM_LBUTTONUP, kSent, 0, 0, "r1"},
                  {BM_SETCHECK, kNested | kWparam, 0, 0, "r2"},
                  {BM_SETCHECK, kNested | kWparam, 0, 0, "r0"},
                  {BM_SETCHECK, kNested | kWparam, 1, 0, "r1"},
                  {WM_COMMAND, kParent | kNested | kWparam, MAKEWPARAM(21, BN_CLICKED)}},
                 "click on the second");
  EXPECT_EQ(States(), "-- ct -- ");
}

TEST_F(RadioGroup, ArrowsCheckAndFocusTheNextMemberAndTellTheDialog) {
  SendMessageA(radios[1], BTM_CLICK, 1, 0);
  SetFocus(radios[1]);
  rec.Only({WM_COMMAND});
  rec.Clear();
  SendMessageA(radios[1], WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(GetFocus(), radios[2]);
  EXPECT_EQ(States(), "-- -- ct ");
  SendMessageA(radios[2], WM_KEYDOWN, VK_DOWN, 0);  // wraps
  EXPECT_EQ(States(), "ct -- -- ");
  SendMessageA(radios[0], WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(States(), "-- -- ct ");
  ExpectSequence(rec,
                 {{WM_COMMAND, kParent | kWparam, MAKEWPARAM(22, BN_CLICKED)},
                  {WM_COMMAND, kParent | kWparam, MAKEWPARAM(20, BN_CLICKED)},
                  {WM_COMMAND, kParent | kWparam, MAKEWPARAM(22, BN_CLICKED)}},
                 "arrows");
  // A checked member that the mouse passes over stays checked.
  SendMessageA(radios[2], KCM_MOUSEENTER, 0, 0);
  SendMessageA(radios[2], KCM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(States(), "-- -- ct ");
}

TEST_F(RadioGroup, AWalkFromAHiddenOrDisabledMemberEndsWithOneChecked) {
  const struct {
    int clicked;
    bool hide;
    int checkedBefore;
  } cases[] = {{1, true, 0}, {1, false, 2}, {0, true, 2}, {2, false, 1}};
  for (const auto& k : cases) {
    for (HWND r : radios) {
      ShowWindow(r, SW_SHOW);
      EnableWindow(r, TRUE);
    }
    SendMessageA(radios[k.checkedBefore], BTM_CLICK, 1, 0);
    if (k.hide) {
      ShowWindow(radios[k.clicked], SW_HIDE);
      ShowWindow(radios[k.checkedBefore], SW_HIDE);
    } else {
      EnableWindow(radios[k.clicked], FALSE);
      EnableWindow(radios[k.checkedBefore], FALSE);
    }
    SendMessageA(radios[k.clicked], BTM_CLICK, 1, 0);
    int checked = 0;
    for (HWND r : radios) checked += Check(r) == BST_CHECKED;
    EXPECT_EQ(checked, 1) << k.clicked << (k.hide ? " hidden" : " disabled");
    EXPECT_EQ(Check(radios[k.clicked]), BST_CHECKED) << k.clicked;
  }
}

TEST_F(Behaviour, TabButtonsRaiseAndLowerOnlyWhenTheirCheckChanges) {
  HWND tab = Child(dialog, "BOUTON", "Page@1", BS_AUTORADIOBUTTON | 0x2000 | WS_GROUP, 40, 10);
  RECT flat;
  GetWindowRect(tab, &flat);
  for (int i = 0; i < 2; ++i) SendMessageA(tab, BM_SETCHECK, BST_CHECKED, 0);
  RECT raised;
  GetWindowRect(tab, &raised);
  EXPECT_EQ(raised.left, flat.left - 2);
  EXPECT_EQ(raised.top, flat.top - 2);
  EXPECT_EQ(raised.right, flat.right + 2);
  EXPECT_EQ(raised.bottom, flat.bottom);
  for (int i = 0; i < 2; ++i) SendMessageA(tab, BM_SETCHECK, BST_UNCHECKED, 0);
  RECT back;
  GetWindowRect(tab, &back);
  EXPECT_TRUE(EqualRect(&back, &flat));
}

TEST_F(Behaviour, MnemonicsFromTheDialogManagerClickButtonsAndPassStaticsOnOnce) {
  HWND label = Child(dialog, "STATIQUE", "&Name", 0x40, 50, 10);
  HWND field = Child(dialog, "BOUTON", "Field", BS_PUSHBUTTON | WS_TABSTOP, 51, 40);
  HWND save = Child(dialog, "BOUTON", "&Save", BS_PUSHBUTTON | WS_TABSTOP, 52, 70);
  rec.Watch(save, "save");
  rec.Only({BM_CLICK, WM_COMMAND});
  rec.Clear();
  SetFocus(field);
  MSG alt = {field, WM_SYSCHAR, 's', 0x20000000, 0, {0, 0}};
  EXPECT_TRUE(IsDialogMessageA(dialog, &alt));
  wintest::Pump(20);
  ExpectSequence(rec, {{BM_CLICK, kSent, 0, 0, "save"}, {WM_COMMAND, kParent | kNested | kWparam, MAKEWPARAM(52, BN_CLICKED)}},
                 "button mnemonic");
  EXPECT_EQ(GetFocus(), save);

  MSG name = {save, WM_SYSCHAR, 'n', 0x20000000, 0, {0, 0}};
  EXPECT_TRUE(IsDialogMessageA(dialog, &name));
  wintest::Pump(50);
  EXPECT_EQ(GetFocus(), field) << "the control after the label, once";
  (void)label;
}

TEST_F(Behaviour, StaticsPassTheFocusOnInTheDirectionItCameAndTwoAloneKeepIt) {
  HWND before = Child(dialog, "BOUTON", "Before", BS_PUSHBUTTON | WS_TABSTOP, 60, 10);
  HWND label = Child(dialog, "STATIQUE", "Label", 0x40 | WS_TABSTOP, 61, 40);
  HWND after = Child(dialog, "BOUTON", "After", BS_PUSHBUTTON | WS_TABSTOP, 62, 70);
  SetFocus(after);
  SetShift(true);
  SetFocus(label);  // what Shift+Tab from "After" does
  wintest::Pump(50);
  SetShift(false);
  EXPECT_EQ(GetFocus(), before);
  SetFocus(label);
  wintest::Pump(50);
  EXPECT_EQ(GetFocus(), after);

  HWND lonely = MakeDialog();
  HWND a = Child(lonely, "STATIQUE", "A", 0x40 | WS_TABSTOP, 1, 10);
  Child(lonely, "STATIQUE", "B", 0x40 | WS_TABSTOP, 2, 40);
  rec.Watch(a, "a");
  rec.Only({WM_SETFOCUS});
  rec.Clear();
  SetFocus(a);
  wintest::Pump(200);
  EXPECT_EQ(rec.Count(WM_SETFOCUS, a), 1u) << "no bouncing";
  DestroyWindow(lonely);
}

TEST_F(Behaviour, HoverShowsTheReliefOnlyWhereItIsNotAlwaysShown) {
  HWND b = Child(dialog, "BOUTON", "Hover", BS_PUSHBUTTON, 70, 10);
  rec.Watch(b, "b");
  rec.Only({KCM_MOUSEENTER, WM_PAINT});
  wintest::NameMessage(KCM_MOUSEENTER, "KCM_MOUSEENTER");
  wintest::Pump(20);
  rec.Clear();
  SendMessageA(b, KCM_MOUSEENTER, 0, 0);
  ExpectSequence(rec, {{KCM_MOUSEENTER, kSent}}, "relief always shown: nothing to repaint");

  SetStyleRelief(nullptr, kStyleButtons, 0);
  auto top = [&] {
    wintest::Canvas32 c(120, 22, RGB(1, 2, 3));
    Print(b, c);
    return c.Pixel(10, 0);
  };
  SendMessageA(b, KCM_MOUSELEAVE, 0, 0);
  const COLORREF flat = top();
  rec.Clear();
  SendMessageA(b, KCM_MOUSEENTER, 0, 0);
  ExpectSequence(rec, {{KCM_MOUSEENTER, kSent}, {WM_PAINT, kNested}}, "relief under the mouse");
  EXPECT_EQ(top(), GetSysColor(COLOR_BTNHIGHLIGHT));
  SendMessageA(b, KCM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(top(), flat);
  EXPECT_NE(flat, GetSysColor(COLOR_BTNHIGHLIGHT));
}

TEST_F(Behaviour, TheFocusRectangleBlinksWhileTheButtonHasTheFocus) {
  HWND b = Child(dialog, "BOUTON", "Blink", BS_PUSHBUTTON | WS_TABSTOP, 80, 10);
  HWND other = Child(dialog, "BOUTON", "Other", BS_PUSHBUTTON | WS_TABSTOP, 81, 40);
  rec.Watch(b, "b");
  rec.Only({WM_TIMER});
  SetFocus(b);
  const DWORD blink = GetCaretBlinkTime();
  EXPECT_TRUE(wintest::PumpUntil([&] { return rec.Count(WM_TIMER) >= 2; }, blink * 4));
  SetFocus(other);
  wintest::Pump(20);
  rec.Clear();
  wintest::Pump(blink * 2);
  EXPECT_EQ(rec.Count(WM_TIMER), 0u);
}

TEST_F(Behaviour, RightClicksReachTheParentAndProgramClicksNotify) {
  HWND box = Child(dialog, "BOUTON", "Box", BS_AUTOCHECKBOX, 90, 40);
  rec.Only({WM_PARENTNOTIFY, WM_COMMAND});
  rec.Clear();
  SendMessageA(box, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(3, 4));
  SendMessageA(box, BTM_CLICK2, 0, 0);
  ExpectSequence(rec,
                 {{WM_PARENTNOTIFY, kParent | kWparam | wintest::kLparam, WM_RBUTTONDOWN, MAKELPARAM(13, 44)},
                  {WM_COMMAND, kParent | kWparam, MAKEWPARAM(90, BN_CLICKED)}},
                 "right click, program click");
  EXPECT_EQ(Check(box), BST_CHECKED);
}

TEST_F(Behaviour, ColourSettersRefuseOtherClassesAndLeaveTheirBytesAlone) {
  HWND button = Child(dialog, "BOUTON", "b", BS_PUSHBUTTON, 1, 10);
  HWND label = Child(dialog, "STATIQUE", "s", 0x40, 2, 40);
  HWND system = Child(dialog, "STATIC", "x", 0, 3, 70);
  const int slots = 9;
  std::vector<LONG_PTR> bytes;
  for (int i = 0; i < slots; ++i) bytes.push_back(GetWindowLongPtrA(button, i * static_cast<int>(sizeof(LONG_PTR))));
  for (HWND w : {button, system, static_cast<HWND>(nullptr)}) {
    EXPECT_EQ(SetBKStatColor(w, RGB(1, 2, 3)), 0);
    EXPECT_EQ(SetTexteStatColor(w, RGB(1, 2, 3)), 0);
  }
  for (int i = 0; i < slots; ++i)
    EXPECT_EQ(GetWindowLongPtrA(button, i * static_cast<int>(sizeof(LONG_PTR))), bytes[static_cast<size_t>(i)]) << i;
  EXPECT_NE(SetTexteStatColor(label, RGB(1, 2, 3)), 0);
}

TEST_F(Behaviour, PaintingAlwaysValidates) {
  const struct {
    const char* cls;
    DWORD style;
  } forms[] = {{"BOUTON", BS_PUSHBUTTON}, {"BOUTON", BS_AUTOCHECKBOX}, {"BOUTON", BS_AUTORADIOBUTTON | 0x2000},
               {"STATIQUE", 0x40},        {"STATIQUE", 0x100},       {"STATIQUE", 0}};
  for (const auto& f : forms) {
    HWND w = Child(dialog, f.cls, "x", f.style, 1, 10);
    InvalidateRect(w, nullptr, TRUE);
    UpdateWindow(w);
    EXPECT_FALSE(GetUpdateRect(w, nullptr, FALSE)) << f.cls << " " << std::hex << f.style;
    DestroyWindow(w);
  }
}

}  // namespace
}  // namespace ctltest
