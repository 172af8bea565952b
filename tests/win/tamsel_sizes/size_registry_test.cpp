// The control size registry on real dialogs and system controls: placement, fonts, item heights,
// the registry block, and what it creates and frees.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "controls/widgets/size_registry.h"
#include "wintest.h"

namespace {

size_t LiveGdiObjects() {
  size_t n = 0;
  for (uintptr_t i = 1; i < 0x10000; ++i)
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(i))) ++n;
  return n;
}

// A child that answers WM_GETFONT with a GDI object that is no font.
HBRUSH g_notAFont = nullptr;
LRESULT CALLBACK OddFontProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_GETFONT) return reinterpret_cast<LRESULT>(g_notAFont);
  return DefWindowProcA(w, msg, wp, lp);
}

class SizeRegistry : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TamselSizeTestDialog";
    RegisterClassA(&wc);
    wc.lpfnWndProc = OddFontProc;
    wc.lpszClassName = "TamselOddFont";
    RegisterClassA(&wc);
  }
  void SetUp() override {
    hostFont_ = CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Tahoma");
    // A borderless dialog: its window and client areas are the same.
    dialog_ = CreateWindowExA(0, "TamselSizeTestDialog", "", WS_POPUP, 50, 50, 400, 300, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(dialog_, nullptr);
  }
  void TearDown() override {
    KvUnregisterSizesOfControls(dialog_);
    DestroyWindow(dialog_);
    DeleteObject(hostFont_);
    tamsel::miniKeyboardWindow = nullptr;
  }

  HWND Child(const char* cls, DWORD style, RECT r, bool withFont = true) {
    HWND c = CreateWindowExA(0, cls, "x", WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                             r.bottom - r.top, dialog_, nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_NE(c, nullptr) << cls;
    if (withFont) SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(hostFont_), FALSE);
    return c;
  }
  void ResizeDialog(int w, int h) {
    SetWindowPos(dialog_, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(KvResizeTheControls(dialog_), 1);
  }
  RECT Where(HWND c) const {
    RECT r{};
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  static HFONT FontOf(HWND c) { return reinterpret_cast<HFONT>(SendMessageA(c, WM_GETFONT, 0, 0)); }
  static LOGFONTA LogFontOf(HWND c) {
    LOGFONTA lf{};
    EXPECT_TRUE(GetObjectA(FontOf(c), sizeof lf, &lf));
    return lf;
  }

  HFONT hostFont_ = nullptr;
  HWND dialog_ = nullptr;
};

bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b); }

TEST_F(SizeRegistry, ControlsKeepTheirPlaceThroughAThousandResizes) {
  struct Case { RECT registered, doubled; } cases[] = {
      {{0, 0, 200, 300}, {0, 0, 400, 600}},        // the left half stays the left half
      {{-20, -10, 30, 40}, {-40, -20, 60, 80}},    // partly outside: stays as near
      {{133, 71, 251, 97}, {266, 142, 502, 194}},
  };
  std::vector<HWND> children;
  for (const Case& c : cases) children.push_back(Child("BUTTON", BS_PUSHBUTTON, c.registered));
  ASSERT_EQ(KvRegisterSizesOfControls(dialog_), 1);
  ResizeDialog(800, 600);
  for (size_t i = 0; i < children.size(); ++i) EXPECT_TRUE(Where(children[i]) == cases[i].doubled) << i;
  std::srand(1000);
  for (int i = 0; i < 1000; ++i) ResizeDialog(1 + std::rand() % 1200, 1 + std::rand() % 1000);
  ResizeDialog(400, 300);
  for (size_t i = 0; i < children.size(); ++i) EXPECT_TRUE(Where(children[i]) == cases[i].registered) << i;
}

TEST_F(SizeRegistry, FontsScaleWithTheHeightAndPlainLeftStaticsKeepTheirs) {
  HWND button = Child("BUTTON", BS_PUSHBUTTON, {10, 10, 100, 40});
  HWND left = Child("STATIC", SS_LEFT, {10, 50, 100, 70});
  HWND centred = Child("STATIC", SS_CENTER, {10, 80, 100, 100});
  HWND right = Child("STATIC", SS_RIGHT, {10, 110, 100, 130});
  ASSERT_EQ(KvRegisterSizesOfControls(dialog_), 1);
  for (HWND c : {button, centred, right}) {
    EXPECT_NE(FontOf(c), hostFont_);  // a font of its own, of the same size
    EXPECT_EQ(LogFontOf(c).lfHeight, -13);
  }
  ResizeDialog(400, 600);
  for (HWND c : {button, centred, right}) {
    const LOGFONTA lf = LogFontOf(c);  // -13 * 2 * 0.9 = -23, then 3 nearer zero
    EXPECT_EQ(lf.lfHeight, -20);
    EXPECT_EQ(lf.lfWidth, 0);
    EXPECT_EQ(lf.lfOutPrecision, OUT_TT_ONLY_PRECIS);
    EXPECT_EQ(lf.lfClipPrecision, CLIP_TT_ALWAYS);
    EXPECT_EQ(lf.lfQuality, PROOF_QUALITY);
  }
  EXPECT_EQ(FontOf(left), hostFont_);
  ResizeDialog(400, 334);  // -13.03: the registered height again, not the last one
  EXPECT_EQ(LogFontOf(button).lfHeight, -13);

  tamsel::miniKeyboardWindow = dialog_;  // the keyboard's keys move but keep their fonts
  const HFONT before = FontOf(button);
  ResizeDialog(400, 150);
  EXPECT_EQ(FontOf(button), before);
  EXPECT_TRUE(Where(button) == (RECT{10, 5, 100, 20}));
}

TEST_F(SizeRegistry, ItemHeightsOfListsAndCombosScaleWithTheHeight) {
  HWND list = Child("LISTBOX", 0, {10, 10, 200, 150});
  // Combo boxes take item heights only when they draw their items themselves.
  HWND combo = Child("COMBOBOX", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, {10, 160, 200, 260});
  for (const char* item : {"a", "b", "c"}) {
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  }
  const LRESULT listItem = SendMessageA(list, LB_GETITEMHEIGHT, 0, 0);
  const LRESULT comboItem = SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0);
  ASSERT_GT(listItem, 4);
  ASSERT_EQ(KvRegisterSizesOfControls(dialog_), 1);
  ResizeDialog(400, 600);
  EXPECT_EQ(SendMessageA(list, LB_GETITEMHEIGHT, 2, 0), (listItem - 4) * 2);
  EXPECT_EQ(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0), (comboItem - 4) * 2);

  // The block: header, one entry per child in child order, a spare entry.
  HGLOBAL block = GetPropA(dialog_, MAKEINTATOM(tamsel::kSizeRegistryProp));
  ASSERT_NE(block, nullptr);
  EXPECT_GE(GlobalSize(block), tamsel::kSizeRegistryEntries + 3 * sizeof(tamsel::SizeRegistryEntry));
  auto* header = static_cast<tamsel::SizeRegistryHeader*>(GlobalLock(block));
  ASSERT_NE(header, nullptr);
  auto* entries = reinterpret_cast<tamsel::SizeRegistryEntry*>(reinterpret_cast<char*>(header) + tamsel::kSizeRegistryEntries);
  EXPECT_EQ(header->count, 2);
  EXPECT_TRUE(header->registered == (RECT{50, 50, 450, 350}));
  EXPECT_TRUE(header->current == (RECT{50, 50, 450, 650}));
  EXPECT_EQ(entries[0].control, list);
  EXPECT_EQ(entries[0].isList, 1);
  EXPECT_EQ(entries[0].itemHeight, listItem - 4);
  EXPECT_EQ(entries[1].control, combo);
  EXPECT_EQ(entries[1].isCombo, 1);
  EXPECT_EQ(entries[1].fontHeight, -13);
  EXPECT_EQ(entries[1].font, FontOf(combo));
  GlobalUnlock(block);
}

TEST_F(SizeRegistry, EveryFontMadeIsFreedAndNoneOfTheHosts) {
  HWND button = Child("BUTTON", BS_PUSHBUTTON, {10, 10, 100, 40});
  Child("EDIT", 0, {10, 50, 100, 70});
  HWND odd = Child("TamselOddFont", 0, {10, 80, 100, 100}, false);
  g_notAFont = CreateSolidBrush(RGB(1, 2, 3));
  const size_t start = LiveGdiObjects();
  for (int cycle = 0; cycle < 50; ++cycle) {
    ASSERT_EQ(KvRegisterSizesOfControls(dialog_), 1);
    ResizeDialog(500, 450);
    ResizeDialog(300, 200);
    EXPECT_EQ(KvUnregisterSizesOfControls(dialog_), 1);
  }
  EXPECT_EQ(LiveGdiObjects(), start);

  // A second registration releases the first, its block and its fonts.
  ASSERT_EQ(KvRegisterSizesOfControls(dialog_), 1);
  ResizeDialog(500, 450);
  const size_t once = LiveGdiObjects();
  HGLOBAL first = GetPropA(dialog_, MAKEINTATOM(tamsel::kSizeRegistryProp));
  ASSERT_EQ(KvRegisterSizesOfControls(dialog_), 1);
  EXPECT_NE(GetPropA(dialog_, MAKEINTATOM(tamsel::kSizeRegistryProp)), first);
  EXPECT_EQ(GlobalFlags(first), GMEM_INVALID_HANDLE);
  EXPECT_EQ(LiveGdiObjects(), once);
  ResizeDialog(300, 200);

  // A control destroyed before the unregistration has its font freed too.
  DestroyWindow(button);
  EXPECT_EQ(KvUnregisterSizesOfControls(dialog_), 1);
  EXPECT_EQ(LiveGdiObjects(), start);
  EXPECT_EQ(GetObjectType(g_notAFont), static_cast<DWORD>(OBJ_BRUSH));
  EXPECT_EQ(GetObjectType(hostFont_), static_cast<DWORD>(OBJ_FONT));
  DestroyWindow(odd);
  DeleteObject(g_notAFont);
}

TEST_F(SizeRegistry, BadInputAndZeroSizesFailCleanly) {
  EXPECT_EQ(KvRegisterSizesOfControls(nullptr), 0);
  EXPECT_EQ(KvRegisterSizesOfControls(reinterpret_cast<HWND>(0x1234)), 0);
  EXPECT_EQ(KvResizeTheControls(nullptr), 1);
  EXPECT_EQ(KvUnregisterSizesOfControls(nullptr), 0);
  // No children: no registry.
  EXPECT_EQ(KvRegisterSizesOfControls(dialog_), 1);
  EXPECT_EQ(GetPropA(dialog_, MAKEINTATOM(tamsel::kSizeRegistryProp)), nullptr);
  EXPECT_EQ(KvResizeTheControls(dialog_), 1);
  EXPECT_EQ(KvUnregisterSizesOfControls(dialog_), 0);
  // Registered at no size at all: nothing is divided by it.
  SetWindowPos(dialog_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  HWND button = Child("BUTTON", BS_PUSHBUTTON, {10, 10, 100, 40});
  ASSERT_EQ(KvRegisterSizesOfControls(dialog_), 1);
  ResizeDialog(400, 300);
  EXPECT_TRUE(Where(button) == (RECT{0, 0, 0, 0}));
  EXPECT_EQ(LogFontOf(button).lfHeight, -13);
}

}  // namespace
