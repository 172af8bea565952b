// Tab pages with the library's code built in and the test resource module's tabbed dialog:
// creation and placement, the dialog's subclass, Tab and Shift+Tab across dialog and page,
// mnemonics and the modal loop's ends, the page frame's pixels.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "controls/core/library.h"
#include "controls/widgets/tab_page.h"
#include "msg_recorder.h"
#include "testres.h"
#include "wintest.h"

namespace {

constexpr int kTabOne = 301, kTabTwo = 302, kTabThree = 303;
constexpr int kSave = 411, kEdit = 412, kOption = 413, kRadio = 414, kOff = 415;
constexpr int kKeep = 421;
constexpr COLORREF kDialogColour = RGB(200, 20, 20);
constexpr COLORREF kPageColour = RGB(10, 200, 30);
constexpr UINT kStep = WM_APP + 1;

HMODULE testRes = nullptr;

// What a tabbed dialog does in the modal loop: steps run one by one from posted messages, so that
// whatever a step posts has gone through the loop before the next step runs.
struct Script {
  std::vector<std::function<void(HWND)>> steps;
  HWND dialog = nullptr;
  HWND pages[2] = {};
  bool popupPage = true;  // the second page from the popup template
};

void FillWith(HWND w, HDC dc, COLORREF colour) {
  RECT r;
  GetClientRect(w, &r);
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

INT_PTR CALLBACK PageProc(HWND page, UINT m, WPARAM wp, LPARAM) {
  if (m == WM_ERASEBKGND) {
    FillWith(page, reinterpret_cast<HDC>(wp), kPageColour);
    return TRUE;
  }
  return FALSE;
}

void ShowPage(Script& s, int index) {
  for (int i = 0; i < 2; ++i) {
    if (s.pages[i]) ShowWindow(s.pages[i], i == index ? SW_SHOW : SW_HIDE);
  }
}

INT_PTR CALLBACK TabDialogProc(HWND dialog, UINT m, WPARAM wp, LPARAM lp) {
  auto* s = reinterpret_cast<Script*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (m) {
    case WM_INITDIALOG:
      s = reinterpret_cast<Script*>(lp);
      SetWindowLongPtrA(dialog, DWLP_USER, lp);
      s->dialog = dialog;
      s->pages[0] = KvCreateTabPage(testRes, dialog, kTestTabPageChild, PageProc, kTabOne);
      if (s->popupPage) s->pages[1] = KvCreateTabPage(testRes, dialog, kTestTabPagePopup, PageProc, kTabTwo);
      ShowPage(*s, 0);
      if (!s->steps.empty()) PostMessageA(dialog, kStep, 0, 0);
      return FALSE;
    case kStep:
      if (s && wp < s->steps.size()) {
        s->steps[wp](dialog);
        PostMessageA(dialog, kStep, wp + 1, 0);
      }
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wp) == IDCANCEL) KvTabEndDialog(dialog, 77);
      if (LOWORD(wp) == IDOK) KvTabEndDialog(dialog, 1);
      if (s && HIWORD(wp) == BN_CLICKED && (LOWORD(wp) == kTabOne || LOWORD(wp) == kTabTwo)) ShowPage(*s, LOWORD(wp) - kTabOne);
      return TRUE;
    case WM_ERASEBKGND:
      FillWith(dialog, reinterpret_cast<HDC>(wp), kDialogColour);
      return TRUE;
  }
  return FALSE;
}

class TabPages : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    testRes = LoadLibraryA("TamselTestRes.dll");
    ASSERT_TRUE(testRes);
    ASSERT_TRUE(tamsel::LibraryAttach(GetModuleHandleA(nullptr)));
  }
  static void TearDownTestSuite() {
    tamsel::LibraryDetach();
    FreeLibrary(testRes);
  }
  void TearDown() override {
    if (IsWindow(script.dialog)) DestroyWindow(script.dialog);
    wintest::Pump();
  }

  // The tabbed dialog, modeless, with its pages.
  HWND Open() {
    HWND d = CreateDialogParamA(testRes, MAKEINTRESOURCEA(kTestTabDialog), nullptr, TabDialogProc,
                                reinterpret_cast<LPARAM>(&script));
    if (d) ShowWindow(d, SW_SHOWNA);
    return d;
  }
  HWND Item(int id) const {
    HWND w = GetDlgItem(script.dialog, id);
    for (HWND p : script.pages) {
      if (!w && p) w = GetDlgItem(p, id);
    }
    return w;
  }

  Script script;
};

RECT RectIn(HWND w, HWND parent) {
  RECT r;
  GetWindowRect(w, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

WNDPROC ProcOf(HWND w) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(w, GWLP_WNDPROC)); }

// ---- Creation --------------------------------------------------------------------------------

TEST_F(TabPages, PagesSitUnderTheirTabsAsHiddenChildrenEvenFromAPopupTemplate) {
  HWND d = Open();
  ASSERT_TRUE(d);
  for (int i = 0; i < 2; ++i) {
    HWND page = script.pages[i];
    ASSERT_TRUE(page) << i;
    HWND tab = GetDlgItem(d, kTabOne + i);
    EXPECT_EQ(GetParent(page), d);
    EXPECT_TRUE(IsChild(d, page));
    const LONG style = GetWindowLongA(page, GWL_STYLE);
    EXPECT_EQ(style & (WS_CHILD | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_TABSTOP | WS_GROUP), WS_CHILD) << i;
    EXPECT_TRUE(style & WS_CLIPCHILDREN);
    EXPECT_EQ(GetPropA(page, MAKEINTATOM(1)), tab);
    EXPECT_EQ(GetPropA(d, MAKEINTATOM(kTabOne + i)), page);
    const RECT r = RectIn(page, d);
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.top, RectIn(tab, d).bottom - 2);
    // No frame is left: the client area is the whole window.
    RECT client;
    GetClientRect(page, &client);
    EXPECT_EQ(client.right, r.right - r.left) << i;
  }
  // The popup page came up visible and hidden again; the host shows the first one.
  EXPECT_TRUE(IsWindowVisible(script.pages[0]));
  EXPECT_FALSE(IsWindowVisible(script.pages[1]));
  // The child template's size, less 3.
  RECT units = {0, 0, 200, 110};
  MapDialogRect(script.pages[0], &units);
  const RECT r = RectIn(script.pages[0], d);
  EXPECT_EQ(r.right - r.left, units.right - 3);
  EXPECT_EQ(r.bottom - r.top, units.bottom - 3);
  EXPECT_TRUE(GetPropA(d, kTabDialogProcProp));
}

TEST_F(TabPages, IdentifiersThatCannotNameAPageAreRefusedWithNothingChanged) {
  script.popupPage = false;
  HWND d = Open();
  ASSERT_TRUE(d);
  // The same dialog without pages.
  for (HWND p : script.pages) DestroyWindow(p);
  ASSERT_FALSE(GetPropA(d, kTabDialogProcProp));
  const WNDPROC before = ProcOf(d);
  const int namedAtom = GlobalFindAtomA(kTabDialogProcProp);
  ASSERT_NE(namedAtom, 0);
  struct Case {
    UINT templateId;
    int tabId;
    const char* what;
  } cases[] = {
      {kTestTabPageChild, 0, "tab 0"},          {kTestTabPageChild, 4013, "style record atom"},
      {kTestTabPageChild, 4014, "dialog number atom"}, {kTestTabPageChild, 555, "size registry atom"},
      {kTestTabPageChild, namedAtom, "FNPTRKV"}, {kTestTabPageChild, 0x10000, "above an atom"},
      {kTestTabPageChild, -1, "negative"},      {kTestTabPageChild, 399, "no such button"},
      {0x10000 | kTestTabPageChild, kTabOne, "template above 0xFFFF"}, {0, kTabOne, "template 0"},
      {99, kTabOne, "missing template"},
  };
  for (const Case& c : cases) {
    const int children = [&] {
      int n = 0;
      for (HWND w = GetWindow(d, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) ++n;
      return n;
    }();
    EXPECT_FALSE(KvCreateTabPage(testRes, d, c.templateId, PageProc, c.tabId)) << c.what;
    int after = 0;
    for (HWND w = GetWindow(d, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) ++after;
    EXPECT_EQ(after, children) << c.what;
    EXPECT_EQ(ProcOf(d), before) << c.what;
    EXPECT_FALSE(GetPropA(d, kTabDialogProcProp)) << c.what;
    EXPECT_FALSE(GetPropA(d, MAKEINTATOM(kTabOne))) << c.what;
  }
  EXPECT_FALSE(KvCreateTabPage(testRes, nullptr, kTestTabPageChild, PageProc, kTabOne));
}

// ---- The subclass ----------------------------------------------------------------------------

WNDPROC hostPrevious = nullptr;
int hostCalls = 0;
LRESULT CALLBACK HostSubclass(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  ++hostCalls;
  return CallWindowProcA(hostPrevious, w, m, wp, lp);
}

TEST_F(TabPages, DestroyingOnePageUnsubclassesTheDialogOnlyWhileTheProcedureIsStillOurs) {
  HWND d = Open();
  ASSERT_TRUE(d);
  const WNDPROC ours = ProcOf(d);
  const auto original = reinterpret_cast<WNDPROC>(GetPropA(d, kTabDialogProcProp));
  ASSERT_TRUE(original);
  ASSERT_NE(ours, original);

  // One page of two destroyed: the dialog is itself again, for both.
  DestroyWindow(script.pages[1]);
  EXPECT_EQ(ProcOf(d), original);
  EXPECT_FALSE(GetPropA(d, kTabDialogProcProp));
  EXPECT_FALSE(GetPropA(d, MAKEINTATOM(kTabTwo)));
  DestroyWindow(script.pages[0]);
  EXPECT_EQ(ProcOf(d), original);

  // A host subclass over ours: the page's end leaves both in place and messages still flow.
  script.pages[0] = KvCreateTabPage(testRes, d, kTestTabPageChild, PageProc, kTabOne);
  ASSERT_TRUE(script.pages[0]);
  EXPECT_EQ(ProcOf(d), ours);
  hostPrevious = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(d, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HostSubclass)));
  DestroyWindow(script.pages[0]);
  EXPECT_EQ(ProcOf(d), HostSubclass);
  EXPECT_TRUE(GetPropA(d, kTabDialogProcProp));
  char text[64] = {};
  hostCalls = 0;
  EXPECT_GT(GetWindowTextA(d, text, sizeof text), 0);
  EXPECT_STREQ(text, "Tamsel test tabs");
  EXPECT_GT(hostCalls, 0);

  // Our procedure with its property gone calls no null procedure: the dialog's own default.
  RemovePropA(d, kTabDialogProcProp);
  EXPECT_EQ(SendMessageA(d, WM_GETTEXTLENGTH, 0, 0), 16);
  SetWindowLongPtrA(d, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hostPrevious));
  EXPECT_EQ(SendMessageA(d, WM_GETTEXTLENGTH, 0, 0), 16);
}

// ---- Navigation ------------------------------------------------------------------------------

// A Tab (or Shift+Tab) key as the modal loop hands it to the dialog manager.
void PressTab(HWND d, bool shift) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  SetKeyboardState(keys);
  MSG msg = {GetFocus(), WM_KEYDOWN, VK_TAB, 0x000F0001, 0, {}};
  IsDialogMessageA(d, &msg);
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
}

TEST_F(TabPages, TabRunsFromTheDialogThroughTheVisiblePageAndBack) {
  HWND d = Open();
  ASSERT_TRUE(d);
  SetFocus(Item(IDCANCEL));
  ASSERT_EQ(GetFocus(), Item(IDCANCEL));
  // The disabled control is passed over; the popup page is hidden.
  const int forward[] = {kSave, kEdit, kOption, kRadio, IDOK, IDCANCEL, kSave};
  for (int id : forward) {
    PressTab(d, false);
    EXPECT_EQ(GetFocus(), Item(id)) << "Tab to " << id;
  }
  const int backward[] = {IDCANCEL, IDOK, kRadio, kOption};
  for (int id : backward) {
    PressTab(d, true);
    EXPECT_EQ(GetFocus(), Item(id)) << "Shift+Tab to " << id;
  }
  // The handle forms that name the far end cross as well.
  SetFocus(Item(IDCANCEL));
  SendMessageA(d, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDOK)), TRUE);
  EXPECT_EQ(GetFocus(), Item(kSave));
  SetFocus(Item(kRadio));
  SendMessageA(script.pages[0], WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(kSave)), TRUE);
  EXPECT_EQ(GetFocus(), Item(IDOK));
  // The page's own navigation (a control that wants Tab posts it to its parent, the page).
  SetFocus(Item(kRadio));
  SendMessageA(script.pages[0], WM_NEXTDLGCTL, 0, 0);
  EXPECT_EQ(GetFocus(), Item(IDOK));

  // The other page shown: Tab goes into it.
  ShowPage(script, 1);
  SetFocus(Item(IDCANCEL));
  PressTab(d, false);
  EXPECT_EQ(GetFocus(), Item(kKeep));

  // No page visible: the dialog wraps as usual.
  ShowPage(script, -1);
  SetFocus(Item(IDCANCEL));
  PressTab(d, false);
  EXPECT_EQ(GetFocus(), Item(IDOK));
  PressTab(d, true);
  EXPECT_EQ(GetFocus(), Item(IDCANCEL));
}

// ---- The modal loop ----------------------------------------------------------------------------

void PostSysChar(char c) { PostMessageA(GetFocus(), WM_SYSCHAR, static_cast<unsigned char>(c), 0x20000001); }

TEST_F(TabPages, MnemonicsOfTheVisiblePageInTheModalLoop) {
  wintest::MsgRecorder rec;
  HWND owner = rec.MakeParent("owner");
  bool ownerDisabled = false;
  HWND save = nullptr;
  script.popupPage = false;
  script.steps = {
      [&](HWND d) {
        ownerDisabled = !IsWindowEnabled(owner);
        save = Item(kSave);
        rec.Watch(save, "save");
        rec.Only({WM_USER + 5, BM_SETCHECK});
        SetFocus(Item(IDOK));
        PostSysChar('s');
        (void)d;
      },
      [&](HWND) {
        EXPECT_EQ(GetFocus(), save);
        PostSysChar('R');  // upper case, the radio button
      },
      [&](HWND) {
        EXPECT_EQ(GetFocus(), Item(kRadio));
        EXPECT_EQ(SendMessageA(Item(kRadio), BM_GETCHECK, 0, 0), BST_CHECKED);
        PostSysChar('t');
      },
      [&](HWND) {
        EXPECT_EQ(GetFocus(), Item(kOption));
        SetFocus(Item(kEdit));
        PostSysChar('o');  // the disabled "&Off" is not chosen
        PostSysChar('z');  // nobody's
      },
      [&](HWND) {
        EXPECT_EQ(GetFocus(), Item(kEdit));
        PostSysChar('c');  // the dialog's own "&Cancel", by the dialog manager: ends with 77
      },
  };
  wintest::NameMessage(WM_USER + 5, "BTM_CLICK");
  const INT_PTR result = KvTabDialogBoxParam(testRes, MAKEINTRESOURCEA(kTestTabDialog), owner, TabDialogProc,
                                            reinterpret_cast<LPARAM>(&script));
  EXPECT_EQ(result, 77);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_FALSE(IsWindow(script.dialog));
  EXPECT_EQ(GetFocus(), owner);
  wintest::ExpectSequence(rec, {{WM_USER + 5, wintest::kSent, 0, 0, "save"}}, "Alt+S clicks Save");
}

int failAfter = 0;
BOOL WINAPI FailingGetMessage(LPMSG msg, HWND w, UINT lo, UINT hi) {
  if (failAfter-- <= 0) return -1;
  return GetMessageA(msg, w, lo, hi);
}

enum class End { Request, Destroy, EndDialog, ForeignQuit, GetMessageFails, OwnerGone };

TEST_F(TabPages, TheLoopEndsEveryWayAndPutsTheOwnerBack) {
  struct Case {
    End end;
    bool ownerEnabled;
    INT_PTR result;
    const char* what;
  } cases[] = {
      {End::Request, true, 42, "KvTabEndDialog from a page control"},
      {End::Request, false, -3, "a disabled owner stays disabled"},
      {End::Destroy, true, 0, "dialog destroyed"},
      {End::EndDialog, true, 0, "EndDialog"},
      {End::ForeignQuit, true, 0, "someone's WM_QUIT"},
      {End::GetMessageFails, true, 0, "GetMessage fails"},
      {End::OwnerGone, true, 0, "owner destroyed, and the dialog it owns"},
  };
  HWND keeper = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  for (const Case& c : cases) {
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 50, 50, keeper, nullptr, nullptr, nullptr);
    EnableWindow(owner, c.ownerEnabled);
    script = Script{};
    script.popupPage = false;
    script.steps = {[&](HWND d) {
      switch (c.end) {
        case End::Request: KvTabEndDialog(Item(kSave), static_cast<int>(c.result)); break;
        case End::Destroy: DestroyWindow(d); break;
        case End::EndDialog: EndDialog(d, 5); break;
        case End::ForeignQuit: PostQuitMessage(9); break;
        case End::GetMessageFails:
          failAfter = 0;
          tamsel::SetTabLoopMessageSource(FailingGetMessage);
          break;
        case End::OwnerGone:
          DestroyWindow(owner);
          KvTabEndDialog(d, 5);
          break;
      }
    }};
    const INT_PTR result = KvTabDialogBoxParam(testRes, MAKEINTRESOURCEA(kTestTabDialog), owner, TabDialogProc,
                                              reinterpret_cast<LPARAM>(&script));
    tamsel::SetTabLoopMessageSource(nullptr);
    EXPECT_EQ(result, c.result) << c.what;
    EXPECT_FALSE(IsWindow(script.dialog)) << c.what;
    MSG quit = {};
    const bool reposted = PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
    EXPECT_EQ(reposted, c.end == End::ForeignQuit) << c.what;
    if (reposted) {
      EXPECT_EQ(quit.wParam, 9u);
    }
    if (c.end == End::OwnerGone) {
      EXPECT_NE(GetFocus(), owner) << c.what;
      continue;
    }
    EXPECT_EQ(IsWindowEnabled(owner) != FALSE, c.ownerEnabled) << c.what;
    if (c.ownerEnabled) {
      EXPECT_EQ(GetFocus(), owner) << c.what;
    }
    DestroyWindow(owner);
  }
  DestroyWindow(keeper);
  EXPECT_EQ(KvTabDialogBoxParam(testRes, MAKEINTRESOURCEA(99), nullptr, TabDialogProc, 0), 0);
}

// ---- Pixels ------------------------------------------------------------------------------------

TEST_F(TabPages, TheFrameIsRaisedAndOpenUnderItsTab) {
  script.popupPage = false;
  HWND d = Open();
  ASSERT_TRUE(d);
  HWND page = script.pages[0];
  RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT c;
  GetClientRect(page, &c);
  const int w = c.right, h = c.bottom;
  const RECT tab = RectIn(GetDlgItem(d, kTabOne), page);
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF face = GetSysColor(COLOR_BTNFACE) == 0xC0C0C0 ? 0xE0E0E0 : GetSysColor(COLOR_BTNFACE);
  HDC dc = GetDC(page);
  const int gapX = (tab.left + tab.right) / 2;
  const int outX = RectIn(GetDlgItem(d, kTabThree), page).right + 10;
  struct Probe {
    int x, y;
    COLORREF colour;
    const char* what;
  } probes[] = {
      {w / 2, h - 1, RGB(0, 0, 0), "bottom edge"}, {w - 1, h / 2, RGB(0, 0, 0), "right edge"},
      {0, h / 2, light, "left edge"},             {outX, 0, light, "top edge beside the tab"},
      {w / 2, h - 2, shadow, "inner bottom"},      {w - 2, h / 2, shadow, "inner right"},
      {1, h / 2, face, "inner left"},              {outX, 1, face, "inner top beside the tab"},
      {gapX, 0, kPageColour, "open under the tab"}, {gapX, 1, kPageColour, "open under the tab, inner"},
      {w / 2, h / 2, kPageColour, "the page's own background"},
  };
  for (const Probe& p : probes) EXPECT_EQ(GetPixel(dc, p.x, p.y), p.colour) << p.what;
  ReleaseDC(page, dc);
}

}  // namespace
