// The selection library window inside the running editor: opened from the tool window's box,
// add, the thumbnails painted in the list, delete answered with No and with Yes, resizing in
// height only, and close.
#include <gtest/gtest.h>

#include <string>

#include "editor_driver.h"
#include "retouch/frame/retouch_state.h"
#include "wintest.h"

namespace {

using namespace editor_test;

constexpr int kLibraryBox = 154, kAdd = 8, kDelete = 9, kList = 10;
constexpr COLORREF kPatch = RGB(200, 40, 60);

std::string Library() { return wintest::ProgramDir() + "SELDIB\\"; }
bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemoveLibrary() {
  for (const char* name : {"seldib.lst", "seld_001.tif", "seld_002.tif", "seld_003.tif"})
    DeleteFileA((Library() + name).c_str());
  RemoveDirectoryA(Library().c_str());
}

// Answers the confirmation of a deletion and keeps what it asked.
struct Confirmation {
  HHOOK hook = nullptr;
  int answer = IDNO;
  std::string text, caption;
  int asked = 0;
} g_confirm;

LRESULT CALLBACK AnswerConfirmation(int code, WPARAM wParam, LPARAM lParam) {
  HWND box = reinterpret_cast<HWND>(wParam);
  // Only a message box of the library window: the editor's own windows are activated too.
  if (code == HCBT_ACTIVATE && g_state && g_state->libraryWindow && GetWindow(box, GW_OWNER) == g_state->libraryWindow &&
      GetDlgItem(box, IDNO)) {
    char text[256] = "", caption[256] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    GetWindowTextA(box, caption, sizeof caption);
    g_confirm.text = text;
    g_confirm.caption = caption;
    ++g_confirm.asked;
    PostMessageA(box, WM_COMMAND, g_confirm.answer, 0);
  }
  return CallNextHookEx(g_confirm.hook, code, wParam, lParam);
}

class LibraryWindow : public testing::Test {
 protected:
  void SetUp() override {
    RetouchEditor_SetModules(g_hostRes, g_hostRes);
    RemoveSettingsFiles();
    RemoveLibrary();
    g_confirm = {};
    g_confirm.hook = SetWindowsHookExA(WH_CBT, AnswerConfirmation, nullptr, GetCurrentThreadId());
  }
  void TearDown() override {
    UnhookWindowsHookEx(g_confirm.hook);
    RetouchEditor_SetModules(nullptr, nullptr);
    RemoveSettingsFiles();
    RemoveLibrary();
    EXPECT_EQ(g_state, nullptr);
  }
};

HWND Window() { return g_state->libraryWindow; }
HWND List() { return GetDlgItem(Window(), kList); }
LRESULT Count() { return SendMessageA(List(), LB_GETCOUNT, 0, 0); }
void Command(int id) { SendMessageA(Window(), WM_COMMAND, id, 0); }

// A floating selection as the lasso leaves it: the patch, and a mask black all over.
void Select() {
  if (g_state->selectionImage) GlobalFree(g_state->selectionImage);
  if (g_state->selectionMask) GlobalFree(g_state->selectionMask);
  g_state->selectionImage = MakeImage(40, 30, [](int, int) { return kPatch; });
  g_state->selectionMask = MakeImage(40, 30, [](int, int) { return RGB(0, 0, 0); });
}

// The middle of entry `index`, in the list's client coordinates.
POINT EntryMiddle(int index) {
  RECT r{};
  SendMessageA(List(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

TEST_F(LibraryWindow, AddsPaintsDeletesAndResizes) {
  HGLOBAL image = MakeImage(64, 48, [](int, int) { return RGB(90, 90, 90); });
  RECT before{}, after{}, listRect{}, client{};
  bool folderBeforeSave = true;
  LRESULT itemHeight = 0;
  int listWidth = 0;
  COLORREF painted = 0, afterNo = 0;
  LRESULT countAfterNo = -1, countAfterYes = -1;
  bool closedUnchecked = false;
  const EditorRun run = OpenEditor(
      image, FrameForClient(100, 100, 256, 192), kToolsAt,
      {Do([] { ClickTool(kLibraryBox); }), [] { return Window() != nullptr && IsWindowVisible(Window()); },
       Do([&] {
         RECT c{};
         GetClientRect(List(), &c);
         listWidth = c.right;
         itemHeight = SendMessageA(List(), LB_GETITEMHEIGHT, 0, 0);
         Command(kAdd);  // nothing to save yet
         folderBeforeSave = Exists(Library());
         Select();
         Command(kAdd);
         Command(kAdd);
         UpdateWindow(List());
       }),
       Wait(2),
       Do([&] {
         const POINT m = EntryMiddle(0);
         painted = ClientPixel(List(), m.x, m.y);
         SendMessageA(List(), LB_SETCURSEL, 1, 0);
         g_confirm.answer = IDNO;
         Command(kDelete);
         countAfterNo = Count();
         afterNo = Exists(Library() + "seld_002.tif");
         g_confirm.answer = IDYES;
         Command(kDelete);
         countAfterYes = Count();
         GetWindowRect(Window(), &before);
         SetWindowPos(Window(), nullptr, 0, 0, before.right - before.left + 60, before.bottom - before.top + 80,
                      SWP_NOMOVE | SWP_NOZORDER);
         GetWindowRect(Window(), &after);
         GetClientRect(Window(), &client);
         GetWindowRect(List(), &listRect);
         MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&listRect), 2);
         Command(IDCANCEL);
         GlobalFree(g_state->selectionImage);
         GlobalFree(g_state->selectionMask);
         g_state->selectionImage = g_state->selectionMask = nullptr;
         closedUnchecked = Window() == nullptr && IsDlgButtonChecked(g_state->toolWindow, kLibraryBox) == BST_UNCHECKED;
       }),
       CloseFrame()});
  GlobalFree(image);
  ASSERT_TRUE(run.finished);
  EXPECT_FALSE(folderBeforeSave);
  EXPECT_EQ(itemHeight, listWidth * 3 / 4);
  EXPECT_EQ(painted, kPatch);
  EXPECT_EQ(g_confirm.asked, 2);
  EXPECT_EQ(g_confirm.text, "Delete this saved selection from the library?");
  EXPECT_EQ(g_confirm.caption, "");
  EXPECT_EQ(countAfterNo, 2);
  EXPECT_TRUE(afterNo);
  EXPECT_EQ(countAfterYes, 1);
  EXPECT_TRUE(Exists(Library() + "seld_001.tif"));
  EXPECT_FALSE(Exists(Library() + "seld_002.tif"));
  // Taller, not wider; the list fills the new height.
  EXPECT_EQ(after.right - after.left, before.right - before.left);
  EXPECT_EQ(after.bottom - after.top, before.bottom - before.top + 80);
  EXPECT_EQ(listRect.bottom, client.bottom);
  EXPECT_EQ(listRect.right, client.right);
  EXPECT_TRUE(closedUnchecked);
}

}  // namespace
