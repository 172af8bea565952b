// The controls with the dialog manager and the dialog's style: Enter on a focused button, and the
// list colours that owner-drawn list boxes take from their dialog.
#include <gtest/gtest.h>

#include "controls/core/style_line.h"
#include "controls/widgets/static.h"
#include "controls_fixture.h"
#include "msg_recorder.h"

namespace ctltest {
namespace {

INT_PTR CALLBACK PlainDialog(HWND, UINT m, WPARAM, LPARAM) { return m == WM_INITDIALOG; }

HWND MakeDialog() {
  struct {
    DLGTEMPLATE t;
    WORD menu, cls, title;
  } tmpl = {};
  tmpl.t.style = WS_POPUP | WS_VISIBLE;
  tmpl.t.cx = 200;
  tmpl.t.cy = 100;
  return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &tmpl.t, nullptr, PlainDialog, 0);
}

using WithDialog = Controls;

TEST_F(WithDialog, EnterOnAFocusedPushButtonClicksItThroughTheDialogManager) {
  HWND dialog = MakeDialog();
  HWND first = CreateWindowExA(0, "BOUTON", "First", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 10, 10, 80, 24,
                               dialog, reinterpret_cast<HMENU>(41), nullptr, nullptr);
  HWND second = CreateWindowExA(0, "BOUTON", "Second", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 10, 40, 80,
                                24, dialog, reinterpret_cast<HMENU>(42), nullptr, nullptr);
  EXPECT_EQ(SendMessageA(first, WM_GETDLGCODE, 0, 0), DLGC_UNDEFPUSHBUTTON | DLGC_BUTTON);
  wintest::MsgRecorder rec;
  rec.Watch(dialog, "dialog", wintest::kParent);
  rec.Only({WM_COMMAND});
  SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(second), TRUE);  // becomes the default
  EXPECT_EQ(SendMessageA(second, WM_GETDLGCODE, 0, 0), DLGC_DEFPUSHBUTTON | DLGC_BUTTON);
  rec.Clear();
  MSG enter = {second, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
  EXPECT_TRUE(IsDialogMessageA(dialog, &enter));
  wintest::ExpectSequence(rec, {{WM_COMMAND, wintest::kParent | wintest::kWparam, MAKEWPARAM(42, BN_CLICKED)}},
                          "Enter");
  DestroyWindow(dialog);
}

TEST_F(WithDialog, ListColoursComeFromTheListsDialogWhoseRecordTheyBuild) {
  HWND dialog = MakeDialog();
  HWND list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE, 10, 10, 80, 60, dialog, nullptr, nullptr, nullptr);
  // Global look: the built-in list entry.
  COLORREF text = 1, contrast = 1, first = 1, second = 1;
  EXPECT_EQ(GetTextColorItemListBox(list, &text, &contrast), GetStyleTextColour(nullptr, kStyleLists));
  EXPECT_EQ(contrast, style::ContrastColour(text));
  EXPECT_EQ(GetBkColorListBox(list, &first, &second), GetStyleFirstColour(nullptr, kStyleLists));
  EXPECT_EQ(second, GetStyleSecondColour(nullptr, kStyleLists));
  EXPECT_EQ(GetTextColorItemListBox(list, nullptr, nullptr), text) << "the pointers may be null";

  // The dialog's own look: a numbered dialog without a record gets one on the first question.
  SetGlobalFlag(kStyleLists, 0);
  SetPropA(dialog, PROP_DLG_TEXTURE, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(77)));
  ASSERT_EQ(GetPropA(dialog, PROP_DLG_STYLE), nullptr);
  EXPECT_EQ(GetBkColorListBox(list, nullptr, nullptr), GetStyleFirstColour(list, kStyleLists));
  EXPECT_NE(GetPropA(dialog, PROP_DLG_STYLE), nullptr);
  ReleaseDialogStyle(dialog);
  RemovePropA(dialog, PROP_DLG_TEXTURE);
  DestroyWindow(dialog);
}

}  // namespace
}  // namespace ctltest
