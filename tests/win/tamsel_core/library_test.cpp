// The control library as a host uses it: loaded with LoadLibrary, driven through its exports,
// with real windows, the mouse hook, the hover timer and a test resource module.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "host/corvane/corvane.h"
#include "msg_recorder.h"
#include "shortcut_input.h"
#include "testres.h"
#include "wintest.h"

namespace {

constexpr UINT kMouseEnter = WM_USER + 4444;
constexpr UINT kMouseLeave = WM_USER + 4445;

// ---- The library's exports -----------------------------------------------------------------

struct Library {
  HMODULE module = nullptr;
  int(WINAPI* InitKControl)() = nullptr;
  int(WINAPI* EndKControl)() = nullptr;
  TIMERPROC HoverTimer = nullptr;
  HINSTANCE(WINAPI* CtrlSetLanguageDllInstance)(HINSTANCE, HINSTANCE) = nullptr;
  int(WINAPI* SetCommonDataPath)(const char*) = nullptr;
  COLORREF(WINAPI* SetDefaultClrCab)(COLORREF, COLORREF) = nullptr;
  int(WINAPI* ReadCabColorFromIni)(int, int*, COLORREF*, COLORREF*) = nullptr;
  int(WINAPI* WriteCabColorToIni)(int, int, COLORREF, COLORREF) = nullptr;

  template <class F>
  void Bind(F* f, LPCSTR name) {
    *f = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  }
  bool Load() {
    module = LoadLibraryA("Tamsel.dll");
    if (!module) return false;
    Bind(&InitKControl, "InitKControl");
    Bind(&EndKControl, "EndKControl");
    Bind(&HoverTimer, MAKEINTRESOURCEA(4));
    Bind(&CtrlSetLanguageDllInstance, "CtrlSetLanguageDllInstance");
    Bind(&SetCommonDataPath, "SetCommonDataPath");
    Bind(&SetDefaultClrCab, "SetDefaultClrCab");
    Bind(&ReadCabColorFromIni, "ReadCabColorFromIni");
    Bind(&WriteCabColorToIni, "WriteCabColorToIni");
    return InitKControl && EndKControl && HoverTimer && CtrlSetLanguageDllInstance && SetCommonDataPath &&
           SetDefaultClrCab && ReadCabColorFromIni && WriteCabColorToIni;
  }
  void Unload() {
    if (module) FreeLibrary(module);
    module = nullptr;
  }
};

bool ClassRegistered(HINSTANCE instance, const char* name, WNDCLASSEXA* out = nullptr) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  const bool found = GetClassInfoExA(instance, name, &wc) != 0;
  if (out) *out = wc;
  return found;
}

// ---- Lifecycle ---------------------------------------------------------------------------

TEST(TamselLifecycle, LoadRegistersTheClassesAndTheLogAndUnloadRemovesThem) {
  const int logsBefore = CorvaneLiveLogs();
  Library lib;
  ASSERT_TRUE(lib.Load());
  EXPECT_EQ(CorvaneLiveLogs(), logsBefore + 1);
  HINSTANCE logModule = nullptr;
  char logName[16] = {};
  int manufacturer = 0;
  CorvaneLastLog(&logModule, logName, sizeof logName, &manufacturer);
  EXPECT_EQ(logModule, lib.module);
  EXPECT_STREQ(logName, "ZR");
  EXPECT_EQ(manufacturer, 1);

  const int wide = sizeof(void*) == 8 ? 1 : 0;
  struct Expected {
    const char* name;
    UINT style;
    LPCSTR cursor;
    int extra;
  } classes[] = {
      {"BOUTON", 0x4008, IDC_ARROW, wide ? 72 : 36},  {"SAISIE", 0x4008, IDC_IBEAM, wide ? 46 : 38},
      {"STATIQUE", 0x4000, IDC_ARROW, wide ? 44 : 32}, {"KVCOMBO", 0x4000, IDC_ARROW, wide ? 72 : 36},
      {"KvPopupCmb", 0x0800, IDC_ARROW, wide ? 16 : 8}, {"KVTABPAGE", 0x4000, IDC_ARROW, wide ? 48 : 30},
  };
  for (const Expected& c : classes) {
    WNDCLASSEXA wc;
    ASSERT_TRUE(ClassRegistered(lib.module, c.name, &wc)) << c.name;
    EXPECT_EQ(wc.style, c.style) << c.name;
    EXPECT_EQ(wc.cbWndExtra, c.extra) << c.name;
    EXPECT_EQ(wc.cbClsExtra, 0) << c.name;
    EXPECT_EQ(wc.hCursor, LoadCursorA(nullptr, c.cursor)) << c.name;
    EXPECT_EQ(wc.hbrBackground, nullptr) << c.name;
    EXPECT_EQ(wc.hIcon, nullptr) << c.name;
    EXPECT_EQ(wc.hInstance, lib.module) << c.name;
  }
  WNDCLASSEXA edit, kcEdit;
  ASSERT_TRUE(ClassRegistered(nullptr, "EDIT", &edit));
  ASSERT_TRUE(ClassRegistered(lib.module, "KC_EDIT", &kcEdit));
  EXPECT_EQ(kcEdit.style, edit.style | CS_GLOBALCLASS);
  EXPECT_EQ(kcEdit.cbClsExtra, edit.cbClsExtra + static_cast<int>(sizeof(LONG_PTR)));
  EXPECT_EQ(kcEdit.cbWndExtra, edit.cbWndExtra);
  EXPECT_EQ(kcEdit.hCursor, edit.hCursor);
  EXPECT_NE(kcEdit.lpfnWndProc, edit.lpfnWndProc);

  // Global classes: any module of the process creates them; the superclass edits like "EDIT".
  HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
  for (const char* name : {"BOUTON", "SAISIE", "STATIQUE", "KVCOMBO", "KC_EDIT"}) {
    HWND w = CreateWindowExA(0, name, "text", WS_CHILD, 0, 0, 50, 20, host, nullptr, GetModuleHandleA(nullptr),
                             nullptr);
    EXPECT_NE(w, nullptr) << name;
    char text[8] = {};
    GetWindowTextA(w, text, sizeof text);
    EXPECT_STREQ(text, "text") << name;
  }
  HWND kc = FindWindowExA(host, nullptr, "KC_EDIT", nullptr);
  SendMessageA(kc, EM_SETSEL, 0, -1);
  SendMessageA(kc, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("typed"));
  char typed[8] = {};
  GetWindowTextA(kc, typed, sizeof typed);
  EXPECT_STREQ(typed, "typed");
  DestroyWindow(host);

  lib.Unload();
  EXPECT_EQ(GetModuleHandleA("Tamsel.dll"), nullptr);
  EXPECT_EQ(CorvaneLiveLogs(), logsBefore);
  for (const char* name : {"BOUTON", "SAISIE", "STATIQUE", "KVCOMBO", "KvPopupCmb", "KVTABPAGE", "KC_EDIT"}) {
    EXPECT_FALSE(ClassRegistered(GetModuleHandleA(nullptr), name)) << name;
  }
}

LRESULT CALLBACK PlainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }

TEST(TamselLifecycle, RefusesToLoadWhenOneOfItsClassesExistsAndLeavesNoneBehind) {
  WNDCLASSA wc = {};
  wc.style = CS_GLOBALCLASS;
  wc.lpfnWndProc = PlainProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "KVCOMBO";
  ASSERT_TRUE(RegisterClassA(&wc));
  const int logsBefore = CorvaneLiveLogs();
  EXPECT_EQ(LoadLibraryA("Tamsel.dll"), nullptr);
  EXPECT_EQ(GetModuleHandleA("Tamsel.dll"), nullptr);
  // The classes registered before the failing one went with the refused library.
  EXPECT_FALSE(ClassRegistered(GetModuleHandleA(nullptr), "BOUTON"));
  EXPECT_FALSE(ClassRegistered(GetModuleHandleA(nullptr), "STATIQUE"));
  EXPECT_EQ(CorvaneLiveLogs(), logsBefore);
  UnregisterClassA("KVCOMBO", GetModuleHandleA(nullptr));

  Library lib;
  ASSERT_TRUE(lib.Load());
  lib.Unload();
}

// ---- Services: hover, bubbles, shortcut ----------------------------------------------------

POINT CentreOnScreen(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The cursor moves as the hardware would move it.
void MoveCursor(POINT p) {
  SetCursorPos(p.x, p.y);
  wintest::Pump(20);
}

// A left click at `p` with the given modifier keys held.
void ClickWith(POINT p, std::vector<WORD> keys) {
  for (WORD k : keys) SendKey(k, true);
  SendMouse(p, 0);
  SendMouse(p, MOUSEEVENTF_LEFTDOWN);
  SendMouse(p, MOUSEEVENTF_LEFTUP);
  for (auto k = keys.rbegin(); k != keys.rend(); ++k) SendKey(*k, false);
  wintest::Pump(150);
}

class TamselServices : public testing::Test {
 protected:
  // One dialog for the whole suite: hiding an activated top-level window costs Wine seconds.
  static void SetUpTestSuite() {
    ASSERT_TRUE(lib.Load());
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = "TamselTestDialog";
    RegisterClassA(&wc);
    dialog = CreateWindowExA(0, "TamselTestDialog", "dialog", WS_POPUP | WS_VISIBLE, 100, 100, 500, 300, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(dialog, nullptr);
    SetForegroundWindow(dialog);
    wintest::Pump(30);
  }
  static void TearDownTestSuite() {
    DestroyWindow(dialog);
    dialog = nullptr;
    lib.Unload();
  }

  void SetUp() override {
    ASSERT_NE(dialog, nullptr);
    first = Child("BOUTON", "first", 20, 20);
    second = Child("BOUTON", "second", 160, 20);
    wintest::NameMessage(kMouseEnter, "KCM_MOUSEENTER");
    wintest::NameMessage(kMouseLeave, "KCM_MOUSELEAVE");
    rec.Only({kMouseEnter, kMouseLeave, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK});
    rec.Watch(first, "first");
    rec.Watch(second, "second");
    wintest::Pump(30);
  }
  void TearDown() override {
    lib.EndKControl();
    while (HWND child = GetWindow(dialog, GW_CHILD)) DestroyWindow(child);
    MoveCursor(POINT{5, 5});
    wintest::Pump(50);
  }

  HWND Child(const char* cls, const char* text, int x, int y, int w = 120, int h = 40) {
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE, x, y, w, h, dialog, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  }

  // Presses of the left button that reached `w` (a quick second one arrives as a double click).
  size_t CountClicks(HWND w) const { return rec.Count(WM_LBUTTONDOWN, w) + rec.Count(WM_LBUTTONDBLCLK, w); }

  static Library lib;
  static HWND dialog;
  HWND first = nullptr;
  HWND second = nullptr;
  wintest::MsgRecorder rec;  // what the test's controls receive
};
HWND TamselServices::dialog = nullptr;
Library TamselServices::lib;

TEST_F(TamselServices, TimerTellsButtonsWhenTheMouseEntersAndLeaves) {
  // The timer procedure by itself, called as the timer would: deterministic order.
  MoveCursor(CentreOnScreen(first));
  rec.Clear();
  lib.HoverTimer(nullptr, WM_TIMER, 0, 0);
  rec.Mark(1);
  lib.HoverTimer(nullptr, WM_TIMER, 0, 0);  // still inside: nothing new
  rec.Mark(2);

  SetCursorPos(CentreOnScreen(second).x, CentreOnScreen(second).y);
  lib.HoverTimer(nullptr, WM_TIMER, 0, 0);
  rec.Mark(3);

  RECT r;
  GetWindowRect(dialog, &r);
  SetCursorPos(r.right - 10, r.bottom - 10);
  lib.HoverTimer(nullptr, WM_TIMER, 0, 0);
  using namespace wintest;
  ExpectSequence(rec,
                 {{kMouseEnter, kSent | kWparam, 0, 0, "first"}, Marker(1),
                  Marker(2),  // the second tick inside
                  {kMouseLeave, kSent, 0, 0, "first"}, {kMouseEnter, kSent, 0, 0, "second"}, Marker(3),
                  {kMouseLeave, kSent, 0, 0, "second"}},
                 "first, second, outside");
}

TEST_F(TamselServices, HookAndTimerRunBetweenInitAndEnd) {
  EXPECT_EQ(lib.InitKControl(), 0);
  EXPECT_TRUE(ClassRegistered(lib.module, "KVBB"));
  EXPECT_EQ(lib.InitKControl(), 0);  // a second call starts nothing more

  MoveCursor(CentreOnScreen(first));
  EXPECT_TRUE(wintest::PumpUntil([&] { return rec.Count(kMouseEnter, first) == 1; }, 2000));
  MoveCursor(CentreOnScreen(second));
  EXPECT_TRUE(wintest::PumpUntil([&] { return rec.Count(kMouseEnter, second) == 1; }, 2000));
  EXPECT_TRUE(wintest::PumpUntil([&] { return rec.Count(kMouseLeave, first) == 1; }, 2000));
  wintest::Pump(450);
  // One notification per entry; the hook posts the leave after sending the entry, the timer
  // sends both, whichever notices first.
  using namespace wintest;
  ExpectSequence(rec,
                 {{kMouseEnter, 0, 0, 0, "first"}, {kMouseLeave, kOptional, 0, 0, "first"},
                  {kMouseEnter, 0, 0, 0, "second"}, {kMouseLeave, kOptional, 0, 0, "first"}},
                 "first, then second");

  EXPECT_NE(lib.EndKControl(), 0);
  EXPECT_EQ(lib.EndKControl(), 0);  // one hook, one timer: nothing left to stop
  EXPECT_FALSE(ClassRegistered(lib.module, "KVBB"));

  rec.Clear();
  MoveCursor(CentreOnScreen(first));
  wintest::Pump(600);
  ExpectSequence(rec, {}, "after EndKControl");
}

HWND FindBubble() { return FindWindowA("KVBB", nullptr); }

std::string TextOf(HWND w) {
  char text[256] = {};
  GetWindowTextA(w, text, sizeof text);
  return text;
}

TEST_F(TamselServices, BubbleShowsTheHintOfABBTextAndHidesWhenTheMouseLeaves) {
  // Statics let the mouse through to what lies below them: the hinted windows are buttons.
  HWND hinted = Child("BUTTON", "BB:Caption^Hint", 20, 100, 200, 40);
  HWND bare = Child("BUTTON", "BB:", 20, 160, 200, 40);
  HWND edit = Child("EDIT", "BB:Edit hint", 260, 100, 200, 40);
  ASSERT_EQ(lib.InitKControl(), 0);

  const POINT at = CentreOnScreen(hinted);
  MoveCursor(at);
  ASSERT_TRUE(wintest::PumpUntil([] { return FindBubble() != nullptr; }, 3000));
  HWND bubble = FindBubble();
  EXPECT_EQ(TextOf(bubble), "Hint");
  EXPECT_TRUE(IsWindowVisible(bubble));
  EXPECT_TRUE(GetWindowLongA(bubble, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(GetWindowLongA(bubble, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  RECT br;
  GetWindowRect(bubble, &br);
  EXPECT_EQ(br.left, at.x - 6);
  EXPECT_EQ(br.top, at.y + GetSystemMetrics(SM_CYCURSOR));
  // The face: the info colour inside the rounded frame.
  wintest::Pump(50);
  HDC screen = GetDC(nullptr);
  const COLORREF face = GetSysColor(COLOR_INFOBK) ? GetSysColor(COLOR_INFOBK) : 0xB9FFFF;
  EXPECT_EQ(GetPixel(screen, br.left + 3, (br.top + br.bottom) / 2), face);
  ReleaseDC(nullptr, screen);

  RECT dr;
  GetWindowRect(dialog, &dr);
  MoveCursor(POINT{dr.right - 20, dr.bottom - 20});
  EXPECT_TRUE(wintest::PumpUntil([] { return FindBubble() == nullptr; }, 2000));

  // No bubble for a text that is only "BB:", nor over an input field.
  for (HWND w : {bare, edit}) {
    MoveCursor(CentreOnScreen(w));
    wintest::Pump(1000);
    EXPECT_EQ(FindBubble(), nullptr) << TextOf(w);
  }
}

TEST_F(TamselServices, BubbleWaitsWhileAButtonIsHeld) {
  HWND hinted = Child("BUTTON", "BB:Caption^Hint", 20, 100, 200, 40);
  ASSERT_EQ(lib.InitKControl(), 0);
  const POINT at = CentreOnScreen(hinted);
  MoveCursor(at);
  SendMouse(at, MOUSEEVENTF_RIGHTDOWN);
  wintest::Pump(1000);
  EXPECT_EQ(FindBubble(), nullptr);
  SendMouse(at, MOUSEEVENTF_RIGHTUP);
  EXPECT_TRUE(wintest::PumpUntil([] { return FindBubble() != nullptr; }, 3000));
}

// While the style editor runs, the test answers it from a thread timer in the modal loop.
struct EditorScript {
  std::vector<std::pair<HWND, HWND>> opened;  // (editor, its target) at each opening
  POINT secondClick = {-1, -1};
  int secondClickCalls = -1;
};
EditorScript script;

VOID CALLBACK AnswerEditor(HWND, UINT, UINT_PTR id, DWORD) {
  HWND editor = FindStyleEditor();
  if (!editor) return;
  KillTimer(nullptr, id);
  script.opened.push_back({editor, reinterpret_cast<HWND>(GetWindowLongPtrA(editor, DWLP_USER))});
  if (script.secondClick.x >= 0) {
    // A second shortcut click while the editor runs is swallowed.
    ClickWith(script.secondClick, {VK_CONTROL, VK_MENU});
    script.secondClickCalls = TestResCallCount();
  }
  PostMessageA(editor, WM_COMMAND, kTestEditorOkButton, 0);
}

class TamselShortcut : public TamselServices {
 protected:
  void SetUp() override {
    TamselServices::SetUp();
    script = EditorScript{};
    TestResReset();
    lib.CtrlSetLanguageDllInstance(nullptr, GetModuleHandleA("TamselTestRes.dll"));
    ASSERT_EQ(lib.InitKControl(), 0);
  }
  void TearDown() override {
    lib.CtrlSetLanguageDllInstance(nullptr, nullptr);
    TamselServices::TearDown();
  }
  void Arm() { SetTimer(nullptr, 0, 50, AnswerEditor); }
};

TEST_F(TamselShortcut, CtrlAltClickOpensTheEditorOnTheControlsDialogAndSwallowsTheClick) {
  Arm();
  ClickWith(CentreOnScreen(first), {VK_CONTROL, VK_MENU});
  ASSERT_TRUE(wintest::PumpUntil([] { return !script.opened.empty(); }, 3000));
  wintest::Pump(100);
  EXPECT_EQ(TestResCallCount(), 1);
  TestResCall call;
  TestResLastCall(&call);
  EXPECT_EQ(call.instance, lib.module);
  EXPECT_EQ(call.templateName, MAKEINTRESOURCEA(4));
  EXPECT_EQ(call.owner, first);
  EXPECT_EQ(reinterpret_cast<HWND>(call.param), dialog);
  EXPECT_EQ(script.opened[0].second, dialog);
  EXPECT_EQ(CountClicks(first), 0);

  // A plain click and an Alt click reach the control and open nothing.
  ClickWith(CentreOnScreen(first), {});
  ClickWith(CentreOnScreen(first), {VK_MENU});
  EXPECT_EQ(CountClicks(first), 2);
  EXPECT_EQ(TestResCallCount(), 1);
}

TEST_F(TamselShortcut, CtrlShiftClickOnTheNonClientAreaOpensIt) {
  // A control's scroll bar is its non-client area (a static would let the click through).
  HWND scrolled = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE, 300, 100, 150, 120, dialog,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
  wintest::Pump(50);
  RECT r;
  GetWindowRect(scrolled, &r);
  Arm();
  ClickWith(POINT{r.right - GetSystemMetrics(SM_CXVSCROLL) / 2, (r.top + r.bottom) / 2}, {VK_CONTROL, VK_SHIFT});
  ASSERT_TRUE(wintest::PumpUntil([] { return !script.opened.empty(); }, 3000));
  EXPECT_EQ(script.opened[0].second, dialog);
  TestResCall call;
  TestResLastCall(&call);
  EXPECT_EQ(call.owner, scrolled);
}

TEST_F(TamselShortcut, ASecondShortcutWhileTheEditorRunsIsSwallowed) {
  script.secondClick = CentreOnScreen(second);
  Arm();
  ClickWith(CentreOnScreen(first), {VK_CONTROL, VK_MENU});
  ASSERT_TRUE(wintest::PumpUntil([] { return !script.opened.empty(); }, 3000));
  wintest::Pump(100);
  EXPECT_EQ(script.secondClickCalls, 1);
  EXPECT_EQ(TestResCallCount(), 1);
  EXPECT_EQ(CountClicks(second), 0);
}

TEST_F(TamselShortcut, WithoutTheExportTheClickIsSwallowedAndNothingOpens) {
  lib.CtrlSetLanguageDllInstance(nullptr, GetModuleHandleA("Corvane.dll"));
  ClickWith(CentreOnScreen(first), {VK_CONTROL, VK_MENU});
  wintest::Pump(200);
  EXPECT_EQ(TestResCallCount(), 0);
  EXPECT_EQ(FindStyleEditor(), nullptr);
  EXPECT_EQ(CountClicks(first), 0);
}

TEST_F(TamselShortcut, TheBareSurfaceOfThePelnaWindowLetsTheClickPass) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = PlainProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "Pelna";
  RegisterClassA(&wc);
  HWND pelna = CreateWindowExA(0, "Pelna", "main", WS_POPUP | WS_VISIBLE, 650, 100, 200, 200, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(pelna, nullptr);
  rec.Watch(pelna, "pelna");
  wintest::Pump(50);
  ClickWith(CentreOnScreen(pelna), {VK_CONTROL, VK_MENU});
  EXPECT_EQ(CountClicks(pelna), 1);
  EXPECT_EQ(TestResCallCount(), 0);
  DestroyWindow(pelna);
  UnregisterClassA("Pelna", GetModuleHandleA(nullptr));
}

TEST_F(TamselShortcut, OnlyTheMainApplicationsProcessOpensTheEditor) {
  // The main application's window in another process.
  const std::string self = wintest::ProgramDir() + "win_tamsel_core.exe";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  std::string line = "\"" + self + "\" --gtest_also_run_disabled_tests --gtest_filter=TamselHelper.DISABLED_MainWindow";
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  ASSERT_TRUE(wintest::PumpUntil([] { return FindWindowA("PELNA", nullptr) != nullptr; }, 10000));
  ClickWith(CentreOnScreen(first), {VK_CONTROL, VK_MENU});
  wintest::Pump(200);
  EXPECT_EQ(TestResCallCount(), 0);
  EXPECT_EQ(CountClicks(first), 0);  // swallowed all the same
  PostMessageA(FindWindowA("PELNA", nullptr), WM_CLOSE, 0, 0);
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

// Run by the test above in a second process: a window of class "PELNA" until it is closed.
LRESULT CALLBACK MainWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(w, m, wp, lp);
}

TEST(TamselHelper, DISABLED_MainWindow) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "PELNA";
  RegisterClassA(&wc);
  HWND w = CreateWindowExA(0, "PELNA", "main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleA(nullptr),
                           nullptr);
  ASSERT_NE(w, nullptr);
  SetTimer(w, 1, 20000, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER) break;
    DispatchMessageA(&msg);
  }
}

// ---- Cabinet colours -----------------------------------------------------------------------

class TamselCabinets : public testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(lib.Load()); }
  static void TearDownTestSuite() { lib.Unload(); }
  static Library lib;
};
Library TamselCabinets::lib;

struct Cabinet {
  int number = -5;
  COLORREF first = 0xEEEEEE;
  COLORREF second = 0xEEEEEE;
};

Cabinet Read(Library& lib, int cabinet) {
  Cabinet c;
  EXPECT_EQ(lib.ReadCabColorFromIni(cabinet, &c.number, &c.first, &c.second), 1);
  return c;
}

void WriteRaw(const std::string& file, const char* value) {
  WritePrivateProfileStringA("CabClr", "CabClr", value, file.c_str());
}

TEST_F(TamselCabinets, WritesTheExactTextAndReadsFromTheCache) {
  wintest::TempDir dir("cab");
  std::string folder = dir.path();
  folder.pop_back();  // without the trailing backslash
  EXPECT_EQ(lib.SetCommonDataPath(folder.c_str()), 1);

  EXPECT_EQ(lib.WriteCabColorToIni(2, 7, RGB(10, 20, 30), RGB(40, 50, 60)), 1);
  EXPECT_EQ(wintest::ReadFileText(dir.path() + "CABINET2.INI"), "[CabClr]\r\nCabClr=#7,RGB(10,20,30),RGB(40,50,60)\r\n");
  WriteRaw(dir.path() + "CABINET2.INI", "#99,RGB(1,1,1),RGB(2,2,2)");
  Cabinet c = Read(lib, 2);  // the cached cabinet: the file is not read
  EXPECT_EQ(c.number, 7);
  EXPECT_EQ(c.first, RGB(10, 20, 30));
  EXPECT_EQ(c.second, RGB(40, 50, 60));

  WriteRaw(dir.path() + "CABINET3.INI", "#4,0x0000FF,RGB(0,128,255)");
  c = Read(lib, 3);
  EXPECT_EQ(c.number, 4);
  EXPECT_EQ(c.first, 0x0000FFu);
  EXPECT_EQ(c.second, 0xFF8000u);

  WriteRaw(dir.path() + "CABINET12.INI", "#10,RGB(1,2)");
  c = Read(lib, 12);
  EXPECT_EQ(c.number, 10);
  EXPECT_EQ(c.first, RGB(1, 2, 0));
  EXPECT_EQ(c.second, 0u);

  // A cabinet without a valid entry gives the last cached one.
  WriteRaw(dir.path() + "CABINET5.INI", "no hash");
  c = Read(lib, 5);
  EXPECT_EQ(c.number, 10);
  EXPECT_EQ(c.first, RGB(1, 2, 0));
  c = Read(lib, 6);
  EXPECT_EQ(c.number, 10);

  // Default colours replace the cached ones; number and cabinet stay.
  EXPECT_EQ(lib.SetDefaultClrCab(RGB(9, 9, 9), RGB(8, 8, 8)), RGB(9, 9, 9));
  c = Read(lib, 12);
  EXPECT_EQ(c.number, 10);
  EXPECT_EQ(c.first, RGB(9, 9, 9));
  EXPECT_EQ(c.second, RGB(8, 8, 8));

  // The same folder with its backslash gives the same files.
  EXPECT_EQ(lib.SetCommonDataPath(dir.path().c_str()), 1);
  EXPECT_EQ(lib.WriteCabColorToIni(12, 3, RGB(1, 1, 1), RGB(2, 2, 2)), 1);
  EXPECT_EQ(wintest::ReadFileText(dir.path() + "CABINET12.INI"), "[CabClr]\r\nCabClr=#3,RGB(1,1,1),RGB(2,2,2)\r\n");

  // An overlong folder is refused and the path stays as it was.
  const std::string overlong(400, 'x');
  EXPECT_EQ(lib.SetCommonDataPath(overlong.c_str()), 1);
  EXPECT_EQ(lib.WriteCabColorToIni(8, 1, 0, 0), 1);
  EXPECT_FALSE(wintest::ReadFileText(dir.path() + "CABINET8.INI").empty());
  EXPECT_EQ(lib.SetCommonDataPath(""), 1);
}

TEST_F(TamselCabinets, NullPointersAreNotWrittenThrough) {
  EXPECT_EQ(lib.ReadCabColorFromIni(77, nullptr, nullptr, nullptr), 1);
  EXPECT_EQ(lib.SetCommonDataPath(nullptr), 1);
}

}  // namespace
