// The mini keyboard on a dialog of this program: opened by a real double click, keys typed into
// the field, labels under Shift and AltGr, the saved size, the drag, how it closes, and open and
// close cycles. The settings file ".\Qz01.ini" is written in a scratch folder.
#include <gtest/gtest.h>

#include <string>

#include "controls/core/library.h"
#include "controls/core/style_record.h"
#include "controls/widgets/host_settings.h"
#include "controls/widgets/mini_keyboard.h"
#include "field_harness.h"
#include "testdlg.h"
#include "wintest.h"

namespace {

using fields_test::Dialog;

HWND Keyboard() { return tamsel::MiniKeyboardWindow(); }
HWND Key(int id) { return GetDlgItem(Keyboard(), id); }

RECT WindowRect(HWND w) {
  RECT r = {};
  GetWindowRect(w, &r);
  return r;
}

std::string Text(HWND w) {
  char buf[256] = {};
  const int n = GetWindowTextA(w, buf, sizeof buf);
  return std::string(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

// Two presses of the real (injected) left button over the window's centre; returns once the
// keyboard is open (`opens`) or closed.
void RealDoubleClick(HWND w, bool opens) {
  const RECT r = WindowRect(w);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  wintest::Pump(20);
  INPUT in[4] = {};
  for (int i = 0; i < 4; ++i) {
    in[i].type = INPUT_MOUSE;
    in[i].mi.dwFlags = i % 2 ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
  }
  SendInput(4, in, sizeof(INPUT));
  wintest::PumpUntil([opens] { return (Keyboard() != nullptr) == opens; }, 2000);
  wintest::Pump(20);
}

// A click on a key as the mouse gives it (the key asks for the focus when pressed).
void Press(int id) {
  const HWND key = Key(id);
  ASSERT_TRUE(key) << id;
  SendMessageA(key, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageA(key, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  wintest::Pump();
}

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
  ++*reinterpret_cast<size_t*>(count);
  return TRUE;
}
BOOL CALLBACK CountWindowAndChildren(HWND w, LPARAM count) {
  ++*reinterpret_cast<size_t*>(count);
  EnumChildWindows(w, CountWindow, count);
  return TRUE;
}

size_t ThreadWindows() {
  size_t n = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountWindowAndChildren, reinterpret_cast<LPARAM>(&n));
  return n;
}

class MiniKeyboard : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    fields_test::AttachLibrary();
    scratch = new wintest::TempDir("kb");
    GetCurrentDirectoryA(MAX_PATH, previousDir);
    SetCurrentDirectoryA(scratch->path().c_str());
  }
  static void TearDownTestSuite() {
    SetCurrentDirectoryA(previousDir);
    delete scratch;
    tamsel::LibraryDetach();
  }
  void SetUp() override {
    DeleteFileA(".\\Qz01.ini");
    UseModule("HostRes.dll");
    ASSERT_TRUE(d.Open(IDD_KEYBOARD));
  }
  void TearDown() override {
    tamsel::ToggleMiniKeyboard(nullptr, 0);
    d.Close();
    UseModule(nullptr);
  }
  void UseModule(const char* dll) {
    if (tamsel::resourceModule) FreeLibrary(tamsel::resourceModule);
    tamsel::resourceModule = dll ? LoadLibraryA((wintest::ProgramDir() + dll).c_str()) : nullptr;
  }
  HWND Open(int id) {
    d.Focus(id);
    SendMessageA(d.Item(id), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    wintest::Pump();
    return Keyboard();
  }
  void CloseKeyboard() {
    tamsel::ToggleMiniKeyboard(nullptr, 0);
    wintest::Pump();
  }
  static wintest::TempDir* scratch;
  static char previousDir[MAX_PATH];
  Dialog d;
};
wintest::TempDir* MiniKeyboard::scratch = nullptr;
char MiniKeyboard::previousDir[MAX_PATH] = {};

TEST_F(MiniKeyboard, ARealDoubleClickOpensItUnderTheFieldWithoutTakingTheFocus) {
  for (const int id : {IDC_KB_FIELD, IDC_KB_EDIT}) {
    const HWND field = d.Item(id);
    RealDoubleClick(field, true);
    ASSERT_TRUE(Keyboard()) << id;
    EXPECT_EQ(tamsel::MiniKeyboardTarget(), field);
    EXPECT_TRUE(IsWindowVisible(Keyboard()));
    EXPECT_TRUE(GetWindowLongA(Keyboard(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetFocus(), field) << id;
    EXPECT_EQ(GetActiveWindow(), d.window) << id;
    const RECT f = WindowRect(field), k = WindowRect(Keyboard());
    EXPECT_EQ(k.left, f.left);
    EXPECT_EQ(k.top, f.bottom);
    // Its surface: white borders at the top and left, grey at the bottom and right; the sizing
    // frame answers as edges only.
    RECT c;
    GetClientRect(Keyboard(), &c);
    UpdateWindow(Keyboard());
    if (HDC dc = GetDC(Keyboard())) {
      EXPECT_EQ(GetPixel(dc, 1, c.bottom / 2), 0xFFFFFFu);
      EXPECT_EQ(GetPixel(dc, c.right - 2, c.bottom / 2), 0x808080u);
      ReleaseDC(Keyboard(), dc);
    }
    const int midY = (k.top + k.bottom) / 2;
    EXPECT_EQ(SendMessageA(Keyboard(), WM_NCHITTEST, 0, MAKELPARAM(k.left + 1, midY)), HTLEFT);
    EXPECT_EQ(SendMessageA(Keyboard(), WM_NCHITTEST, 0, MAKELPARAM((k.left + k.right) / 2, k.bottom - 1)), HTBOTTOM);
    RealDoubleClick(field, false);  // the same click closes it
    EXPECT_FALSE(Keyboard()) << id;
  }
}

TEST_F(MiniKeyboard, RightClicksAndTheResourceModule) {
  struct Case {
    const char* module;  // null: none, the library's own module (this program) holds template 1
    int field;
    WPARAM buttons;
    bool opens;
  } cases[] = {
      {"HostRes.dll", IDC_KB_FIELD, 0, true},
      {"HostRes.dll", IDC_KB_EDIT, 0, false},  // the edit's own right click
      {"HostRes.dll", IDC_KB_EDIT, MK_LBUTTON, true},
      {nullptr, IDC_KB_FIELD, 0, true},
      {"HostResNoCreateDialogParam.dll", IDC_KB_FIELD, 0, false},
  };
  for (const Case& c : cases) {
    UseModule(c.module);
    d.Focus(c.field);
    SendMessageA(d.Item(c.field), WM_RBUTTONDOWN, MK_RBUTTON | c.buttons, MAKELPARAM(5, 5));
    wintest::Pump(10);
    EXPECT_EQ(Keyboard() != nullptr, c.opens) << (c.module ? c.module : "none") << " " << c.field;
    CloseKeyboard();
  }
}

TEST_F(MiniKeyboard, KeysTypeIntoTheFieldThatKeepsTheFocus) {
  // Shift is down at the start.
  const int keys[] = {130 /* A */, 300 /* Shift up */, 148 /* b */, 146 /* c */, 308 /* Back */, 102 /* 1 */, 413};
  for (const int id : {IDC_KB_FIELD, IDC_KB_EDIT}) {
    ASSERT_TRUE(fields_test::PutClipboardBytes("xy", 3));
    ASSERT_TRUE(Open(id)) << id;
    for (const int key : keys) {
      Press(key);
      ASSERT_TRUE(Keyboard()) << id << " closed after key " << key;
      EXPECT_EQ(GetFocus(), d.Item(id)) << id << " key " << key;
    }
    EXPECT_EQ(d.Text(id), "Ab1xy") << id;
    Press(1);  // Enter: a field moves on, which closes the keyboard; an edit stays
    EXPECT_EQ(Keyboard() != nullptr, id == IDC_KB_EDIT) << id;
    CloseKeyboard();
  }
  // The close key posts its close: the key's click ends first.
  ASSERT_TRUE(Open(IDC_KB_EDIT));
  SendMessageA(Key(2), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageA(Key(2), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  EXPECT_TRUE(Keyboard());
  wintest::Pump();
  EXPECT_FALSE(Keyboard()) << "the close key";
}

TEST_F(MiniKeyboard, ShiftAndAltGrRelabelTheKeysAndExcludeEachOther) {
  ASSERT_TRUE(Open(IDC_KB_FIELD));
  auto checked = [](int id) { return IsDlgButtonChecked(Keyboard(), id) == BST_CHECKED; };
  EXPECT_TRUE(checked(300));
  EXPECT_EQ(Text(Key(130)), "A");
  EXPECT_EQ(Text(Key(102)), "!");
  Press(300);
  EXPECT_EQ(Text(Key(130)), "a");
  EXPECT_EQ(Text(Key(102)), "1");
  Press(301);
  EXPECT_TRUE(checked(301));
  EXPECT_FALSE(checked(300));
  EXPECT_NE(Text(Key(130)), "A");
  Press(300);
  EXPECT_TRUE(checked(300));
  EXPECT_FALSE(checked(301));
  EXPECT_EQ(Text(Key(130)), "A");
  for (const int id : {401, 402}) {
    EXPECT_FALSE(Text(Key(id)).empty()) << id;
    EXPECT_LE(Text(Key(id)).size(), 3u) << id;
  }
}

TEST_F(MiniKeyboard, KeepsItsProportionsAndItsSizeWithinTheWorkArea) {
  ASSERT_TRUE(Open(IDC_KB_FIELD));
  const RECT first = WindowRect(Keyboard());
  const int fx = GetSystemMetrics(SM_CXFRAME), fy = GetSystemMetrics(SM_CYFRAME);
  const double ratio = double(first.right - first.left - 2 * fx) / (first.bottom - first.top - 2 * fy);
  const int wider = first.right - first.left + 120;
  SetWindowPos(Keyboard(), nullptr, 0, 0, wider, first.bottom - first.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  const RECT grown = WindowRect(Keyboard());
  EXPECT_EQ(grown.right - grown.left, wider);
  EXPECT_NEAR(double(wider - 2 * fx) / (grown.bottom - grown.top - 2 * fy), ratio, 0.05);
  CloseKeyboard();
  EXPECT_EQ(GetPrivateProfileIntA("MiniKb", "Largeur", 0, ".\\Qz01.ini"), grown.right - grown.left);
  EXPECT_EQ(GetPrivateProfileIntA("MiniKb", "Hauteur", 0, ".\\Qz01.ini"), grown.bottom - grown.top);
  ASSERT_TRUE(Open(IDC_KB_FIELD));
  const RECT again = WindowRect(Keyboard());
  EXPECT_EQ(again.right - again.left, grown.right - grown.left);
  EXPECT_EQ(again.bottom - again.top, grown.bottom - grown.top);
  CloseKeyboard();

  WritePrivateProfileStringA("MiniKb", "Largeur", "99999", ".\\Qz01.ini");
  WritePrivateProfileStringA("MiniKb", "Hauteur", "99999", ".\\Qz01.ini");
  ASSERT_TRUE(Open(IDC_KB_FIELD));
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const RECT huge = WindowRect(Keyboard());
  EXPECT_LE(huge.right - huge.left, work.right - work.left);
  EXPECT_LE(huge.bottom - huge.top, work.bottom - work.top);
  EXPECT_GE(huge.left, work.left);
  EXPECT_GE(huge.top, work.top);
}

TEST_F(MiniKeyboard, MovesByADragThatALostCaptureEnds) {
  ASSERT_TRUE(Open(IDC_KB_FIELD));
  const HWND kb = Keyboard();
  const RECT start = WindowRect(kb);
  SendMessageA(kb, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  EXPECT_EQ(GetCapture(), kb);
  SendMessageA(kb, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(32, 22));
  SendMessageA(kb, WM_LBUTTONUP, 0, MAKELPARAM(32, 22));
  const RECT moved = WindowRect(kb);
  EXPECT_EQ(moved.left, start.left + 30);
  EXPECT_EQ(moved.top, start.top + 20);
  EXPECT_NE(GetCapture(), kb);

  SendMessageA(kb, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  SendMessageA(kb, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(52, 42));
  SetCapture(d.window);
  SendMessageA(kb, WM_LBUTTONUP, 0, MAKELPARAM(52, 42));
  ReleaseCapture();
  const RECT kept = WindowRect(kb);
  EXPECT_EQ(kept.left, moved.left) << "a lost capture ends the drag where it was";
  EXPECT_EQ(kept.top, moved.top);
  EXPECT_EQ(GetFocus(), d.Item(IDC_KB_FIELD));
}

TEST_F(MiniKeyboard, ClosesWhenTheFieldLosesTheFocusOrGoesAway) {
  enum class End { FocusToAKey, FocusElsewhere, FieldDestroyed };
  struct Case {
    const char* name;
    int field;
    End end;
    bool stays;
  } cases[] = {
      {"focus asked by a key", IDC_KB_FIELD, End::FocusToAKey, true},
      {"focus to another field", IDC_KB_FIELD, End::FocusElsewhere, false},
      {"edit: focus to another field", IDC_KB_EDIT, End::FocusElsewhere, false},
      {"field destroyed", IDC_KB_FIELD, End::FieldDestroyed, false},
      {"edit destroyed", IDC_KB_EDIT, End::FieldDestroyed, false},
  };
  for (const Case& c : cases) {
    if (!d.window) {
      ASSERT_TRUE(d.Open(IDD_KEYBOARD));
    }
    ASSERT_TRUE(Open(c.field)) << c.name;
    switch (c.end) {
      case End::FocusToAKey: SetFocus(Key(130)); break;
      case End::FocusElsewhere: SetFocus(d.Item(IDC_KB_OTHER)); break;
      case End::FieldDestroyed: DestroyWindow(d.Item(c.field)); break;
    }
    wintest::Pump(20);
    EXPECT_EQ(Keyboard() != nullptr, c.stays) << c.name;
    if (c.end == End::FocusToAKey) {
      EXPECT_EQ(GetFocus(), d.Item(c.field)) << c.name;
    }
    CloseKeyboard();
    d.Close();
  }
  // No keyboard while the style editor is open.
  ASSERT_TRUE(d.Open(IDD_KEYBOARD));
  SetOpenLibraryDialog(d.window);
  EXPECT_FALSE(Open(IDC_KB_FIELD));
  SetOpenLibraryDialog(nullptr);
}

TEST_F(MiniKeyboard, OpenAndCloseCyclesLeaveNoObjects) {
  auto cycle = [this](int i) {
    if (!Open(i % 2 ? IDC_KB_EDIT : IDC_KB_FIELD)) return;
    if (i % 5 == 0) Press(130);
    if (i % 3 == 0)
      d.Focus(IDC_KB_OTHER);
    else
      CloseKeyboard();
  };
  for (int i = 0; i < 3; ++i) cycle(i);
  const size_t gdi = fields_test::LiveGdiObjects(), windows = ThreadWindows();
  for (int i = 0; i < 50; ++i) cycle(i);
  EXPECT_FALSE(Keyboard());
  EXPECT_LE(fields_test::LiveGdiObjects(), gdi);
  EXPECT_EQ(ThreadWindows(), windows);
}

}  // namespace
