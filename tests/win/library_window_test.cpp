// The selection library window inside the running editor: opened from the tool window's box,
// add, the thumbnails painted in the list, delete answered with No and with Yes, resizing in
// height only, and close; an entry dragged onto the canvas becomes the floating selection where
// it was saved, and one that cannot be loaded there changes nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "editor_driver.h"
#include "retouch/frame/cursor_ids.h"
#include "retouch/frame/editor_hooks.h"
#include "retouch/frame/retouch_state.h"
#include "retouch/imaging/selection.h"
#include "retouch/imaging/selection_io.h"
#include "wintest.h"

namespace {

using namespace editor_test;

constexpr int kLibraryBox = 154, kAdd = 8, kDelete = 9, kList = 10;
constexpr COLORREF kPatch = RGB(200, 40, 60);
COLORREF Pattern(int x, int y) { return RGB(x * 4, y * 5, (x * 7 + y * 3) & 0xFF); }
HGLOBAL PatternImage() { return MakeImage(64, 48, Pattern); }

std::string Library() { return wintest::ProgramDir() + "SELDIB\\"; }
bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemoveLibrary() {
  for (const char* name : {"seldib.lst", "seld_001.tif", "seld_002.tif", "seld_003.tif", "a.tif", "big.tif"})
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

// The lasso through the canvas's selection tool, image points from press to release.
void Lasso(const std::vector<POINT>& path) {
  HWND canvas = g_state->canvasWindow;
  SelectionPress(canvas, path[0].x, path[0].y);
  for (size_t i = 1; i < path.size(); ++i) SelectionDrag(canvas, 0, 0, path[i].x, path[i].y);
  SelectionRelease(canvas, 0, 0, path.back().x, path.back().y);
}

// A floating selection over most of the picture.
void Select() {
  ClickTool(TOOL_LASSO);
  Lasso({{4, 4}, {60, 4}, {60, 44}, {4, 44}, {4, 4}});
}

// The middle of entry `index`, in the list's client coordinates.
POINT EntryMiddle(int index) {
  RECT r{};
  SendMessageA(List(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

TEST_F(LibraryWindow, AddsPaintsDeletesAndResizes) {
  HGLOBAL image = MakeImage(64, 48, [](int, int) { return kPatch; });
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

// ---- Dragging an entry onto the canvas ---------------------------------------------------------

constexpr int kScale = 4;  // the 64 x 48 picture on a 256 x 192 canvas
constexpr UINT kRelease = WM_APP + 2;

void SetLeftButton(bool down) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_LBUTTON] = down ? 0x80 : 0;
  SetKeyboardState(keys);
}

// The drag's loop runs while the thread's key state says the button is down; the posted
// release lets it go.
HHOOK g_releaseHook = nullptr;
LRESULT CALLBACK ReleaseOnMessage(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == PM_REMOVE && reinterpret_cast<const MSG*>(lParam)->message == kRelease)
    SetLeftButton(false);
  return CallNextHookEx(g_releaseHook, code, wParam, lParam);
}

// Presses on entry `index`, drags it and lets it go over image point (x, y) of the canvas.
void DragEntryTo(int index, int x, int y) {
  POINT at{x * kScale + 1, y * kScale + 1};
  ClientToScreen(g_state->canvasWindow, &at);
  SetCursorPos(at.x, at.y);
  g_releaseHook = SetWindowsHookExA(WH_GETMESSAGE, ReleaseOnMessage, nullptr, GetCurrentThreadId());
  SetLeftButton(true);
  PostMessageA(List(), kRelease, 0, 0);
  const POINT m = EntryMiddle(index);
  SendMessageA(List(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(m.x, m.y));
  SetLeftButton(false);
  UnhookWindowsHookEx(g_releaseHook);
}

void PressHandle(int code) {
  const sel::Selection& m = *g_state->selection;
  for (int i = 0; i < sel::kHandleCount; ++i) {
    if (sel::kHandleCodes[i] != code) continue;
    const sel::Rect& r = m.handleRects[i];
    SelectionPress(g_state->canvasWindow, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SelectionRelease(g_state->canvasWindow, 0, 0, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
}

TEST_F(LibraryWindow, DraggedEntryStampsWhereItWasSavedAndBadFilesChangeNothing) {
  // In the folder before the window lists it: a selection larger than the picture, and one
  // whose patch is spoilt once it is listed.
  CreateDirectoryA(Library().c_str(), nullptr);
  {
    wintest::OwnedDib bigImage(MakeImage(70, 50, Pattern)), bigMask(MakeImage(70, 50, [](int, int) { return 0; }));
    wintest::OwnedDib small(MakeImage(6, 6, Pattern)), smallMask(MakeImage(6, 6, [](int, int) { return 0; }));
    ASSERT_EQ(WriteSelectionFile((Library() + "big.tif").c_str(), bigImage.h, bigMask.h), 1);
    ASSERT_EQ(WriteSelectionFile((Library() + "a.tif").c_str(), small.h, smallMask.h), 1);
  }
  HGLOBAL image = PatternImage();
  sel::Rect saved{}, dropped{}, afterBig{}, afterCrafted{};
  std::vector<bool> inside;
  int tool = 0, toolAfterBad = 0;
  bool lassoChecked = false, cursorIsLasso = false;
  std::vector<COLORREF> stamped, afterBad;
  auto pixels = [&] {
    std::vector<COLORREF> v;
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x) v.push_back(ImagePixel(image, x, y));
    return v;
  };
  const EditorRun run = OpenEditor(
      image, FrameForClient(100, 100, 64 * kScale, 48 * kScale), kToolsAt,
      {Do([] { ClickTool(kLibraryBox); }), [] { return Window() != nullptr && IsWindowVisible(Window()); },
       Do([&] {
         ClickTool(TOOL_LASSO);
         Lasso({{12, 10}, {40, 14}, {34, 34}, {14, 30}, {12, 10}});
         const sel::Selection& m = *g_state->selection;
         saved = m.selectionRect;
         for (int y = 0; y < saved.Height(); ++y)
           for (int x = 0; x < saved.Width(); ++x) inside.push_back(m.selectionMask.view().Pixel24(x, y)[2] == 0);
         Command(kAdd);
         // Another tool drops the selection; the picture is cleared to see what the stamp brings back.
         ClickTool(TOOL_PAINT);
         DibLock lock(image);
         std::memset(lock.view().bits, 0, static_cast<size_t>(lock.view().stride) * 48);
         InvalidateRect(g_state->canvasWindow, nullptr, FALSE);
       }),
       Wait(2),
       Do([&] {
         DragEntryTo(2, saved.left + saved.Width() / 2, saved.top + saved.Height() / 2);
         const sel::Selection& m = *g_state->selection;
         dropped = m.selectionRect;
         tool = g_state->currentTool;
         lassoChecked = IsDlgButtonChecked(g_state->toolWindow, TOOL_LASSO) == BST_CHECKED;
         cursorIsLasso = reinterpret_cast<HCURSOR>(GetClassLongPtrA(g_state->canvasWindow, GCLP_HCURSOR)) ==
                         LoadCursorA(g_cursorModule, MAKEINTRESOURCEA(CURSOR_LASSO));
         PressHandle(sel::kHitStamp);
         stamped = pixels();
         DragEntryTo(1, 32, 24);
         afterBig = g_state->selection->selectionRect;
         // Spoilt after it was listed: a file of another kind under the same name.
         const HANDLE h = CreateFileA((Library() + "a.tif").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
         DWORD n = 0;
         WriteFile(h, "II*\0\x08\0\0\0\xff\xff", 10, &n, nullptr);
         CloseHandle(h);
         DragEntryTo(0, 32, 24);
         afterCrafted = g_state->selection->selectionRect;
         toolAfterBad = g_state->currentTool;
         afterBad = pixels();
       }),
       CloseFrame()});
  GlobalFree(image);
  ASSERT_TRUE(run.finished);
  EXPECT_TRUE(dropped == saved) << dropped.left << "," << dropped.top << " " << dropped.Width() << "x"
                                        << dropped.Height();
  EXPECT_EQ(tool, TOOL_LASSO);
  EXPECT_TRUE(lassoChecked);
  EXPECT_TRUE(cursorIsLasso);
  ASSERT_EQ(stamped.size(), 64u * 48u);
  // The saved pixels come back where they were, and only inside the saved outline.
  int wrong = 0;
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 64; ++x) {
      const int sx = x - saved.left, sy = y - saved.top;
      const bool in = sx >= 0 && sy >= 0 && sx < saved.Width() && sy < saved.Height() &&
                      inside[static_cast<size_t>(sy * saved.Width() + sx)];
      if (stamped[static_cast<size_t>(y * 64 + x)] != (in ? Pattern(x, y) : RGB(0, 0, 0))) ++wrong;
    }
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_TRUE(afterBig == saved);
  EXPECT_TRUE(afterCrafted == saved);
  EXPECT_EQ(toolAfterBad, TOOL_LASSO);
  EXPECT_EQ(afterBad, stamped);
}

}  // namespace
