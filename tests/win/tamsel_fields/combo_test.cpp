// Combo boxes "KVCOMBO" in a dialog built from a template: CB_* messages and notifications,
// matching as the field is typed, the list opening, selecting by key and mouse, closing by a
// click outside, a combo destroyed while open, the list size, and create/destroy cycles.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/core/library.h"
#include "controls/core/window_data.h"
#include "controls/widgets/combo.h"
#include "controls/widgets/saisie.h"
#include "field_harness.h"
#include "testdlg.h"
#include "wintest.h"

namespace {

using fields_test::Dialog;
using fields_test::Note;

constexpr int kEditId = 27001, kPopupId = 27002;
const char* const kItems[] = {"Alpha", "Bravo", "Charlie", "Delta"};

class Combos : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { fields_test::AttachLibrary(); }
  static void TearDownTestSuite() { tamsel::LibraryDetach(); }
  void SetUp() override {
    ASSERT_TRUE(d.Open(IDD_COMBOS));
    for (int id : {IDC_EDITABLE, IDC_DROPLIST})
      for (const char* item : kItems) SendMessageA(d.Item(id), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  }
  void TearDown() override { d.Close(); }
  HWND C(int id) { return d.Item(id); }
  // The combo's own slots: open, the popup is no child of the combo.
  HWND Popup(int id) { return wdata::combo::Popup::Get(C(id)); }
  HWND List(int id) { return wdata::combo::ListBox::Get(C(id)); }
  bool Dropped(int id) { return SendMessageA(C(id), CB_GETDROPPEDSTATE, 0, 0) != 0; }
  bool Noted(int id, int code) {
    for (const Note& n : d.Notes())
      if (n == Note{id, code}) return true;
    return false;
  }
  // Press and release on the combo's drop button.
  void ClickButton(int id) {
    RECT rc;
    GetClientRect(C(id), &rc);
    const LPARAM at = MAKELPARAM(rc.right - 4, rc.bottom / 2);
    SendMessageA(C(id), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(C(id), WM_LBUTTONUP, 0, at);
    wintest::Pump(20);
  }
  Dialog d;
};

TEST_F(Combos, CreationBuildsFieldPopupAndList) {
  const HWND edit = GetDlgItem(C(IDC_EDITABLE), kEditId);
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(tamsel::IsSaisie(edit));
  EXPECT_EQ(GetDlgItem(C(IDC_DROPLIST), kEditId), nullptr);
  ASSERT_NE(List(IDC_EDITABLE), nullptr);
  EXPECT_EQ(GetDlgCtrlID(Popup(IDC_EDITABLE)), kPopupId);
  EXPECT_EQ(GetDlgCtrlID(List(IDC_EDITABLE)), kPopupId + 1);
  EXPECT_EQ(GetParent(Popup(IDC_EDITABLE)), C(IDC_EDITABLE));
  EXPECT_FALSE(IsWindowVisible(Popup(IDC_EDITABLE)));
  EXPECT_EQ(GetWindowLongA(C(IDC_EDITABLE), GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL), 0);
  EXPECT_EQ(SendMessageA(C(IDC_DROPLIST), CB_GETCOUNT, 0, 0), 4);
  // The combo is one item high: 12 dialog units.
  RECT twelve = {0, 0, 0, 12};
  MapDialogRect(d.window, &twelve);
  RECT rc;
  GetClientRect(C(IDC_DROPLIST), &rc);
  EXPECT_EQ(rc.bottom, twelve.bottom);
  EXPECT_EQ(SendMessageA(C(IDC_DROPLIST), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0), twelve.bottom);
  EXPECT_EQ(SendMessageA(C(IDC_DROPLIST), WM_GETDLGCODE, 0, 0), 131);
  EXPECT_EQ(SendMessageA(C(IDC_DROPLIST), CB_SHOWDROPDOWN, TRUE, 0), 0);
  EXPECT_FALSE(Dropped(IDC_DROPLIST));
}

TEST_F(Combos, SetCurSelShowsTheItemAndNotifies) {
  for (int id : {IDC_EDITABLE, IDC_DROPLIST}) {
    d.rec.Clear();
    SendMessageA(C(id), CB_SETCURSEL, 2, 0);
    wintest::Pump(20);
    char text[32] = {};
    GetWindowTextA(C(id), text, sizeof text);
    EXPECT_STREQ(text, "Charlie");
    EXPECT_TRUE(Noted(id, CBN_SELCHANGE));
    EXPECT_EQ(SendMessageA(C(id), CB_GETCURSEL, 0, 0), 2);
  }
  SendMessageA(C(IDC_DROPLIST), CB_RESETCONTENT, 0, 0);
  EXPECT_EQ(SendMessageA(C(IDC_DROPLIST), CB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(GetWindowTextLengthA(C(IDC_DROPLIST)), 0);
}

TEST_F(Combos, TypingInTheFieldSelectsTheMatchingItem) {
  const HWND edit = GetDlgItem(C(IDC_EDITABLE), kEditId);
  SetFocus(C(IDC_EDITABLE));
  wintest::Pump();
  EXPECT_EQ(GetFocus(), edit);
  EXPECT_TRUE(Noted(IDC_EDITABLE, CBN_SETFOCUS));
  d.rec.Clear();
  for (const char c : std::string("De")) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
  wintest::Pump(20);
  EXPECT_EQ(SendMessageA(C(IDC_EDITABLE), CB_GETCURSEL, 0, 0), 3);
  EXPECT_TRUE(Noted(IDC_EDITABLE, CBN_EDITCHANGE));
  // A miss keeps the selection.
  SendMessageA(edit, WM_CHAR, 'z', 1);
  EXPECT_EQ(SendMessageA(C(IDC_EDITABLE), CB_GETCURSEL, 0, 0), 3);
}

TEST_F(Combos, ListOpensSelectsByKeyAndClosesWithEnter) {
  SetFocus(C(IDC_DROPLIST));
  wintest::Pump();
  d.rec.Clear();
  ClickButton(IDC_DROPLIST);
  EXPECT_TRUE(Dropped(IDC_DROPLIST));
  EXPECT_EQ(GetFocus(), List(IDC_DROPLIST));
  EXPECT_EQ(tamsel::comboListOpen, 1);
  EXPECT_TRUE(Noted(IDC_DROPLIST, CBN_DROPDOWN));
  // Topmost on the desktop, under the combo.
  EXPECT_EQ(GetAncestor(Popup(IDC_DROPLIST), GA_PARENT), GetDesktopWindow());
  RECT combo, popup;
  GetWindowRect(C(IDC_DROPLIST), &combo);
  GetWindowRect(Popup(IDC_DROPLIST), &popup);
  EXPECT_EQ(popup.left, combo.left);
  EXPECT_EQ(popup.top, combo.bottom);

  SendMessageA(List(IDC_DROPLIST), WM_KEYDOWN, VK_DOWN, 1);
  SendMessageA(List(IDC_DROPLIST), WM_KEYDOWN, VK_DOWN, 1);
  wintest::Pump(20);
  EXPECT_TRUE(Noted(IDC_DROPLIST, CBN_SELCHANGE));
  const LRESULT chosen = SendMessageA(C(IDC_DROPLIST), CB_GETCURSEL, 0, 0);
  EXPECT_GE(chosen, 0);
  SendMessageA(List(IDC_DROPLIST), WM_KEYDOWN, VK_RETURN, 1);
  wintest::Pump(30);
  EXPECT_FALSE(Dropped(IDC_DROPLIST));
  EXPECT_EQ(tamsel::comboListOpen, 0);
  EXPECT_TRUE(Noted(IDC_DROPLIST, CBN_CLOSEUP));
  char text[32] = {};
  GetWindowTextA(C(IDC_DROPLIST), text, sizeof text);
  EXPECT_STREQ(text, kItems[chosen]);
  EXPECT_NE(GetFocus(), List(IDC_DROPLIST));
}

TEST_F(Combos, MouseSelectsAndAClickOutsideClosesWithoutPassingOn) {
  ClickButton(IDC_EDITABLE);
  ASSERT_TRUE(Dropped(IDC_EDITABLE));
  const HWND list = List(IDC_EDITABLE);
  RECT item;
  SendMessageA(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
  const LPARAM at = MAKELPARAM(item.left + 5, (item.top + item.bottom) / 2);
  SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(list, WM_LBUTTONUP, 0, at);
  wintest::Pump(30);
  EXPECT_EQ(SendMessageA(C(IDC_EDITABLE), CB_GETCURSEL, 0, 0), 1);
  char text[32] = {};
  GetWindowTextA(C(IDC_EDITABLE), text, sizeof text);
  EXPECT_STREQ(text, "Bravo");
  EXPECT_FALSE(Dropped(IDC_EDITABLE));
  EXPECT_EQ(GetFocus(), GetDlgItem(C(IDC_EDITABLE), kEditId));

  // A press on the dialog while open: swallowed, the list closes, the focus comes back.
  const WNDPROC dialogProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(d.window, GWLP_WNDPROC));
  ClickButton(IDC_DROPLIST);
  ASSERT_TRUE(Dropped(IDC_DROPLIST));
  EXPECT_NE(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(d.window, GWLP_WNDPROC)), dialogProc);
  EXPECT_EQ(SendMessageA(d.window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 150)), 0);
  wintest::Pump(30);
  EXPECT_FALSE(Dropped(IDC_DROPLIST));
  EXPECT_EQ(GetFocus(), C(IDC_DROPLIST));
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(d.window, GWLP_WNDPROC)), dialogProc);
}

TEST_F(Combos, DestroyedWhileOpenLeavesNothingBehind) {
  const WNDPROC dialogProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(d.window, GWLP_WNDPROC));
  ClickButton(IDC_DROPLIST);
  ASSERT_TRUE(Dropped(IDC_DROPLIST));
  const HWND popup = Popup(IDC_DROPLIST), list = List(IDC_DROPLIST);
  EXPECT_EQ(GetAncestor(popup, GA_PARENT), GetDesktopWindow());
  DestroyWindow(C(IDC_DROPLIST));
  wintest::Pump(20);
  EXPECT_FALSE(IsWindow(popup));
  EXPECT_FALSE(IsWindow(list));
  EXPECT_EQ(tamsel::comboListOpen, 0);
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(d.window, GWLP_WNDPROC)), dialogProc);
}

TEST_F(Combos, ListSizeColoursAndScreenBottom) {
  EXPECT_TRUE(SetKvComboLBSize(C(IDC_DROPLIST), 150, 60));
  RECT list, popup;
  SendMessageA(C(IDC_DROPLIST), CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&list));
  EXPECT_EQ(list.right - list.left, 150);
  GetWindowRect(Popup(IDC_DROPLIST), &popup);
  EXPECT_EQ(popup.right - popup.left, 152);
  EXPECT_EQ(popup.bottom - popup.top, 64);
  EXPECT_TRUE(SetKvComboLBSize(C(IDC_DROPLIST), -1, 80));
  GetWindowRect(Popup(IDC_DROPLIST), &popup);
  EXPECT_EQ(popup.right - popup.left, 152);
  EXPECT_FALSE(SetKvComboLBSize(d.Item(IDC_AFTER), 10, 10));
  // Resizing scales the list by the combo's height; through a height of 0 and back.
  RECT c;
  GetWindowRect(C(IDC_DROPLIST), &c);
  const int width = c.right - c.left, height = c.bottom - c.top;
  SetWindowPos(C(IDC_DROPLIST), nullptr, 0, 0, width, height * 2, SWP_NOMOVE | SWP_NOZORDER);
  GetWindowRect(Popup(IDC_DROPLIST), &popup);
  EXPECT_EQ(popup.bottom - popup.top, 168);
  SetWindowPos(C(IDC_DROPLIST), nullptr, 0, 0, width, 0, SWP_NOMOVE | SWP_NOZORDER);
  SetWindowPos(C(IDC_DROPLIST), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
  GetWindowRect(Popup(IDC_DROPLIST), &popup);
  EXPECT_GT(popup.bottom - popup.top, 0);
  SetKvComboLBSize(C(IDC_DROPLIST), 150, 60);

  EXPECT_EQ(SetKvComboFocusColor(C(IDC_EDITABLE), 0x00FF00), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(SetKvComboBkColor(C(IDC_EDITABLE), 0x0000FF), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(SetKvComboFocusColor(C(IDC_DROPLIST), 1), 0u);
  EXPECT_EQ(SetKvComboBkColor(d.Item(IDC_AFTER), 1), 0u);

  // Near the screen's bottom the list opens upwards so that it ends 4 pixels above it.
  const int screenH = GetSystemMetrics(SM_CYSCREEN);
  RECT dlg;
  GetWindowRect(d.window, &dlg);
  SetWindowPos(d.window, nullptr, dlg.left, screenH - 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ClickButton(IDC_DROPLIST);
  ASSERT_TRUE(Dropped(IDC_DROPLIST));
  GetWindowRect(Popup(IDC_DROPLIST), &popup);
  EXPECT_EQ(popup.bottom, screenH - 4);
  SendMessageA(List(IDC_DROPLIST), WM_KEYDOWN, VK_ESCAPE, 1);
  wintest::Pump(20);
  EXPECT_FALSE(Dropped(IDC_DROPLIST));
}

TEST_F(Combos, DropButtonShowsTheProgramsArrow) {
  RECT rc;
  GetClientRect(C(IDC_DROPLIST), &rc);
  wintest::Canvas32 canvas(rc.right, rc.bottom, RGB(1, 2, 3));
  SendMessageA(C(IDC_DROPLIST), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
  const int buttonLeft = rc.right - GetSystemMetrics(SM_CXVSCROLL) - 2;
  int black = 0, magenta = 0;
  for (int y = 0; y < rc.bottom; ++y)
    for (int x = buttonLeft + 2; x < rc.right - 2; ++x) {
      black += canvas.Pixel(x, y) == 0;
      magenta += canvas.Pixel(x, y) == RGB(255, 0, 255);
    }
  EXPECT_EQ(black, 16);  // the arrow's pixels; its background colour is transparent
  EXPECT_EQ(magenta, 0);
}

// What the dialog's WM_DRAWITEM and WM_MEASUREITEM carried, read while the call lasts.
struct OwnerDrawSeen {
  WNDPROC previous = nullptr;
  std::vector<DRAWITEMSTRUCT> draws;
  std::vector<MEASUREITEMSTRUCT> measures;
} seen;

LRESULT CALLBACK OwnerDrawParent(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DRAWITEM) seen.draws.push_back(*reinterpret_cast<DRAWITEMSTRUCT*>(lp));
  if (msg == WM_MEASUREITEM) {
    auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
    m->itemHeight = 17;
    seen.measures.push_back(*m);
    return TRUE;
  }
  return CallWindowProcA(seen.previous, w, msg, wp, lp);
}

TEST_F(Combos, OwnerDrawnListAndFieldGoToTheDialogAsTheCombos) {
  seen = OwnerDrawSeen();
  seen.previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(d.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OwnerDrawParent)));
  const HWND combo = CreateWindowExA(0, "KVCOMBO", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                                     10, 60, 120, 90, d.window, reinterpret_cast<HMENU>(77), nullptr, nullptr);
  ASSERT_NE(combo, nullptr);
  for (const char* item : kItems) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  SendMessageA(combo, CB_SETCURSEL, 1, 0);
  wintest::Pump(20);
  ASSERT_FALSE(seen.measures.empty());
  EXPECT_EQ(seen.measures.back().CtlType, static_cast<UINT>(ODT_COMBOBOX));
  EXPECT_EQ(seen.measures.back().CtlID, 77u);

  // The field part: the current item, drawn by the dialog.
  seen.draws.clear();
  RECT rc;
  GetClientRect(combo, &rc);
  wintest::Canvas32 canvas(rc.right, rc.bottom);
  SendMessageA(combo, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
  ASSERT_FALSE(seen.draws.empty());
  EXPECT_EQ(seen.draws.front().CtlType, static_cast<UINT>(ODT_COMBOBOX));
  EXPECT_EQ(seen.draws.front().itemID, 1u);
  EXPECT_EQ(seen.draws.front().hwndItem, combo);
  EXPECT_EQ(seen.draws.front().rcItem.right, rc.right - GetSystemMetrics(SM_CXVSCROLL) - 2);

  // The open list's items, forwarded with the combo as their window.
  seen.draws.clear();
  SendMessageA(combo, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(rc.right - 4, rc.bottom / 2));
  SendMessageA(combo, WM_LBUTTONUP, 0, MAKELPARAM(rc.right - 4, rc.bottom / 2));
  UpdateWindow(wdata::combo::ListBox::Get(combo));
  wintest::Pump(30);
  ASSERT_FALSE(seen.draws.empty());
  for (const DRAWITEMSTRUCT& draw : seen.draws) {
    EXPECT_EQ(draw.CtlType, static_cast<UINT>(ODT_COMBOBOX));
    EXPECT_EQ(draw.CtlID, 77u);
    EXPECT_EQ(draw.hwndItem, combo);
  }
  DestroyWindow(combo);
  SetWindowLongPtrA(d.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(seen.previous));
  EXPECT_EQ(tamsel::comboListOpen, 0);
}

TEST(ComboCycles, CreateOpenCloseDestroyWithoutGrowth) {
  fields_test::AttachLibrary();
  auto cycle = [] {
    Dialog d;
    if (!d.Open(IDD_COMBOS)) return;
    const HWND combo = d.Item(IDC_EDITABLE);
    for (const char* item : kItems) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    const HWND edit = GetDlgItem(combo, kEditId);
    SetFocus(edit);
    SendMessageA(edit, WM_CHAR, 'B', 1);
    SendMessageA(combo, WM_SYSKEYDOWN, VK_DOWN, 0);
    wintest::Pump();
    RedrawWindow(d.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    d.Close();
  };
  for (int i = 0; i < 5; ++i) cycle();
  const size_t gdi = fields_test::LiveGdiObjects();
  const size_t memory = fields_test::PrivateBytes();
  for (int i = 0; i < 100; ++i) cycle();
  EXPECT_LE(fields_test::LiveGdiObjects(), gdi);
  EXPECT_LT(fields_test::PrivateBytes(), memory + 1024 * 1024);
  EXPECT_EQ(tamsel::comboListOpen, 0);
  tamsel::LibraryDetach();
}

}  // namespace
