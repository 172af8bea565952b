// The tool window driven through its own controls inside the running editor: tool buttons,
// size and strength bars, shape and option radios, the colour dialog, undo and redo, accept and
// cancel, and the settings file it reads when it opens and writes when it closes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "editor_driver.h"
#include "retouch/frame/cursor_ids.h"
#include "retouch/frame/retouch_state.h"
#include "retouch/frame/tool_window.h"
#include "wintest.h"
#include "msg_recorder.h"

namespace {

using namespace editor_test;

constexpr COLORREF kDefaultColor = 0x00C0C0FF;

class ToolWindow : public testing::Test {
 protected:
  void SetUp() override {
    RetouchEditor_SetModules(g_hostRes, g_hostRes);
    RemoveSettingsFiles();
  }
  void TearDown() override {
    RetouchEditor_SetModules(nullptr, nullptr);
    RemoveSettingsFiles();
    EXPECT_EQ(g_state, nullptr);
  }
};

HWND Tools() { return g_state->toolWindow; }
bool Checked(int id) { return IsDlgButtonChecked(Tools(), id) == BST_CHECKED; }
bool Enabled(int id) { return IsWindowEnabled(ToolControl(id)) != FALSE; }
int BarPos(int id) { return GetScrollPos(ToolControl(id), SB_CTL); }

// What a scroll bar of the tool window tells its parent.
void Scroll(int bar, int code, int thumb = 0) {
  SendMessageA(Tools(), WM_HSCROLL, MAKEWPARAM(code, thumb), reinterpret_cast<LPARAM>(ToolControl(bar)));
}
void ScrollTo(int bar, int position) {
  Scroll(bar, SB_THUMBTRACK, position);
  Scroll(bar, SB_THUMBPOSITION, position);
  Scroll(bar, SB_ENDSCROLL);
}

HCURSOR CanvasCursor() { return reinterpret_cast<HCURSOR>(GetClassLongPtrA(g_state->canvasWindow, GCLP_HCURSOR)); }
HCURSOR HostCursor(int id) { return LoadCursorA(g_hostRes, MAKEINTRESOURCEA(id)); }

// Only `tool` among the tool buttons is checked.
bool OnlyChecked(int tool) {
  for (int id = TOOL_ADJUST; id <= TOOL_PICKER; ++id)
    if (Checked(id) != (id == tool)) return false;
  return true;
}

const ToolSettings* Entry(int tool) {
  for (const ToolSettings& t : g_state->toolSettings)
    if (t.tool == tool) return &t;
  return nullptr;
}

SIZE MaskSize() {
  int w = 0, h = 0;
  DibGetInfo(g_state->brushMask, &w, &h, nullptr);
  return SIZE{w, h};
}

HGLOBAL GreyImage() { return MakeImage(64, 48, [](int, int) { return RGB(90, 90, 90); }); }
RECT Frame() { return FrameForClient(100, 100, 256, 192); }

// A stroke on the canvas (device points; the canvas shows the 64 x 48 image four times larger):
// the pointer enters first, as the editor's loop notices it.
std::vector<Step> Stroke(POINT from, POINT to) {
  return {Do([from] { PointerOnCanvas(from.x, from.y); }), [] { return g_state->pointerInCanvas == 1; },
          Do([from, to] {
            HWND canvas = g_state->canvasWindow;
            SendMessageA(canvas, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
            POINT p{to.x, to.y};
            ClientToScreen(canvas, &p);
            SetCursorPos(p.x, p.y);
            SendMessageA(canvas, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
            SendMessageA(canvas, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
          }),
          Do([] { PointerAway(); }), [] { return g_state->pointerInCanvas == 0; }};
}

std::vector<Step> Join(std::vector<std::vector<Step>> parts) {
  std::vector<Step> all;
  for (auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// ---- Tools ----------------------------------------------------------------------------------

TEST_F(ToolWindow, ToolButtonsSwitchToolsAndCursorsAndKeepEachToolsOptions) {
  HGLOBAL image = GreyImage();
  const EditorRun run = OpenEditor(
      image, Frame(), kToolsAt,
      {Wait(2), Do([] {
         EXPECT_EQ(g_state->currentTool, 0) << "no tool until one is picked";
         ClickTool(TOOL_PAINT);
         EXPECT_EQ(g_state->currentTool, TOOL_PAINT);
         EXPECT_TRUE(OnlyChecked(TOOL_PAINT));
         EXPECT_EQ(CanvasCursor(), HostCursor(CURSOR_PAINT));
         EXPECT_GE(g_state->brushCursorShown, 0) << "a brush shows its cursor over the canvas";
         ScrollTo(IDC_WIDTH_BAR, 30);
         ClickTool(IDC_OPTION_SECOND);
         EXPECT_EQ(g_state->brushOption, 1);

         ClickTool(TOOL_SPRAY);
         EXPECT_EQ(g_state->currentTool, TOOL_SPRAY);
         EXPECT_TRUE(OnlyChecked(TOOL_SPRAY));
         EXPECT_EQ(CanvasCursor(), HostCursor(CURSOR_SPRAY));
         EXPECT_EQ(g_state->brushWidth, 16) << "the spray has its own size";
         EXPECT_EQ(BarPos(IDC_WIDTH_BAR), 16);
         EXPECT_EQ(g_state->brushOption, 0);
         EXPECT_TRUE(Checked(IDC_OPTION_FIRST));

         ClickTool(TOOL_PAINT);
         EXPECT_EQ(g_state->brushWidth, 30) << "the paint brush's size came back";
         EXPECT_EQ(g_state->brushHeight, 30);
         EXPECT_EQ(BarPos(IDC_WIDTH_BAR), 30);
         EXPECT_EQ(BarPos(IDC_HEIGHT_BAR), 30);
         EXPECT_EQ(g_state->brushOption, 1);
         EXPECT_TRUE(Checked(IDC_OPTION_SECOND));
         EXPECT_EQ(MaskSize().cx, 30);

         ClickTool(TOOL_LASSO);
         EXPECT_EQ(g_state->currentTool, TOOL_LASSO);
         EXPECT_TRUE(OnlyChecked(TOOL_LASSO));
         EXPECT_EQ(CanvasCursor(), HostCursor(CURSOR_LASSO));
         EXPECT_LT(g_state->brushCursorShown, 0) << "the lasso shows no brush, even over the canvas";

         ClickTool(TOOL_TEXT);
         EXPECT_EQ(g_state->currentTool, TOOL_TEXT);
         EXPECT_EQ(CanvasCursor(), HostCursor(CURSOR_TEXT));
         EXPECT_EQ(g_state->brushWidth, 3);
         EXPECT_EQ(g_state->brushShape, 1);
         EXPECT_TRUE(Checked(IDC_RECTANGLE));
         EXPECT_FALSE(Enabled(IDC_WIDTH_BAR)) << "the text height follows the brush height only";
         EXPECT_TRUE(Enabled(IDC_HEIGHT_BAR));
         EXPECT_FALSE(Enabled(IDC_LINK));
         EXPECT_FALSE(Checked(IDC_LINK));

         ClickTool(TOOL_PICKER);
         EXPECT_EQ(g_state->currentTool, TOOL_PICKER);
         EXPECT_TRUE(OnlyChecked(TOOL_PICKER));
         EXPECT_EQ(CanvasCursor(), HostCursor(CURSOR_PICKER));

         // From the picker to a brush: the brush's own options, not the text tool's.
         ClickTool(TOOL_CLONE);
         EXPECT_EQ(CanvasCursor(), HostCursor(CURSOR_CLONE));
         EXPECT_EQ(g_state->brushWidth, 16);
         EXPECT_EQ(g_state->brushShape, 0);
         EXPECT_TRUE(Enabled(IDC_WIDTH_BAR));
         EXPECT_TRUE(Enabled(IDC_LINK));
         EXPECT_TRUE(Checked(IDC_LINK));
         for (int tool : {TOOL_RESTORE, TOOL_STAMP, TOOL_SMOOTH}) {
           ClickTool(tool);
           EXPECT_EQ(g_state->currentTool, tool);
           EXPECT_TRUE(OnlyChecked(tool)) << tool;
         }
         EXPECT_EQ(CanvasCursor(), HostCursor(CURSOR_SMOOTH));
       }),
       CloseFrame()});
  EXPECT_TRUE(run.finished);
  GlobalFree(image);
}

TEST_F(ToolWindow, OutlineBrushForcesTheEllipse) {
  HGLOBAL image = GreyImage();
  const EditorRun run = OpenEditor(image, Frame(), kToolsAt,
                                   {Wait(2), Do([] {
                                      ClickTool(TOOL_PAINT);
                                      ClickTool(IDC_RECTANGLE);
                                      EXPECT_EQ(g_state->brushShape, 1);
                                      ClickTool(TOOL_OUTLINE);
                                      EXPECT_EQ(g_state->currentTool, TOOL_OUTLINE);
                                      EXPECT_EQ(CanvasCursor(), HostCursor(CURSOR_OUTLINE));
                                      EXPECT_EQ(g_state->brushShape, 0);
                                      EXPECT_TRUE(Checked(IDC_ELLIPSE));
                                      ClickTool(IDC_RECTANGLE);  // refused while the outline brush is current
                                      EXPECT_EQ(g_state->brushShape, 0);
                                      EXPECT_TRUE(Checked(IDC_ELLIPSE));
                                      EXPECT_FALSE(Checked(IDC_RECTANGLE));
                                      ClickTool(TOOL_PAINT);
                                      EXPECT_EQ(g_state->brushShape, 1) << "the paint brush kept its rectangle";
                                      EXPECT_TRUE(Checked(IDC_RECTANGLE));
                                    }),
                                    CloseFrame()});
  EXPECT_TRUE(run.finished);
  GlobalFree(image);
}

TEST_F(ToolWindow, LinkedSizeBarsMoveTogether) {
  HGLOBAL image = GreyImage();
  const EditorRun run = OpenEditor(
      image, Frame(), kToolsAt,
      {Wait(2), Do([] {
         ClickTool(TOOL_PAINT);
         EXPECT_TRUE(Checked(IDC_LINK));
         Scroll(IDC_WIDTH_BAR, SB_LINEDOWN);
         EXPECT_EQ(BarPos(IDC_WIDTH_BAR), 17);
         EXPECT_EQ(BarPos(IDC_HEIGHT_BAR), 17);
         // Through the bar itself: the right arrow key steps it.
         SendMessageA(ToolControl(IDC_HEIGHT_BAR), WM_KEYDOWN, VK_RIGHT, 0);
         SendMessageA(ToolControl(IDC_HEIGHT_BAR), WM_KEYUP, VK_RIGHT, 0);
         EXPECT_EQ(BarPos(IDC_HEIGHT_BAR), 18);
         EXPECT_EQ(BarPos(IDC_WIDTH_BAR), 18);
         Scroll(IDC_HEIGHT_BAR, SB_THUMBTRACK, 40);
         EXPECT_EQ(g_state->brushWidth, 40);
         EXPECT_EQ(g_state->brushHeight, 40);
         Scroll(IDC_WIDTH_BAR, SB_PAGEDOWN);
         EXPECT_EQ(BarPos(IDC_WIDTH_BAR), 48) << "clamped to the bar";
         EXPECT_EQ(BarPos(IDC_HEIGHT_BAR), 48);
         Scroll(IDC_WIDTH_BAR, SB_ENDSCROLL);
         EXPECT_EQ(MaskSize().cx, 48) << "the mask follows when the scroll ends";
         EXPECT_EQ(MaskSize().cy, 48);

         ClickTool(IDC_LINK);
         EXPECT_FALSE(Checked(IDC_LINK));
         ScrollTo(IDC_WIDTH_BAR, 10);
         Scroll(IDC_HEIGHT_BAR, SB_LINEUP);
         Scroll(IDC_HEIGHT_BAR, SB_ENDSCROLL);
         EXPECT_EQ(g_state->brushWidth, 10);
         EXPECT_EQ(g_state->brushHeight, 47);
         EXPECT_EQ(MaskSize().cx, 10);
         EXPECT_EQ(MaskSize().cy, 47);
         const ToolSettings* paint = Entry(TOOL_PAINT);
         EXPECT_EQ(paint->width, 10) << "the entry follows the bars";
         EXPECT_EQ(paint->height, 47);
       }),
       CloseFrame()});
  EXPECT_TRUE(run.finished);
  GlobalFree(image);
}

TEST_F(ToolWindow, StrengthBarGivesThePositionSquaredOverAHundred) {
  HGLOBAL image = GreyImage();
  const EditorRun run = OpenEditor(image, Frame(), kToolsAt,
                                   {Wait(2), Do([] {
                                      ClickTool(TOOL_SPRAY);
                                      EXPECT_EQ(BarPos(IDC_STRENGTH_BAR), 100);
                                      Scroll(IDC_STRENGTH_BAR, SB_THUMBTRACK, 40);
                                      EXPECT_EQ(g_state->brushStrength, 100) << "set when the scroll ends";
                                      Scroll(IDC_STRENGTH_BAR, SB_ENDSCROLL);
                                      EXPECT_EQ(g_state->brushStrength, 16);
                                      ScrollTo(IDC_STRENGTH_BAR, 70);
                                      EXPECT_EQ(g_state->brushStrength, 49);
                                      Scroll(IDC_STRENGTH_BAR, SB_PAGEDOWN);
                                      Scroll(IDC_STRENGTH_BAR, SB_ENDSCROLL);
                                      EXPECT_EQ(g_state->brushStrength, 64);
                                      ClickTool(TOOL_PAINT);
                                      EXPECT_EQ(g_state->brushStrength, 100);
                                      ClickTool(TOOL_SPRAY);
                                      EXPECT_EQ(g_state->brushStrength, 64);
                                      EXPECT_EQ(BarPos(IDC_STRENGTH_BAR), 80) << "shown where it was set";
                                    }),
                                    CloseFrame()});
  EXPECT_TRUE(run.finished);
  GlobalFree(image);
}

// ---- Colour dialog --------------------------------------------------------------------------

struct ColourAnswer {
  bool accept = false;
  COLORREF color = 0;
  HHOOK hook = nullptr;
};
ColourAnswer g_colour;

// Answers the colour dialog as a user would: types the colour's red, green and blue, then OK; or
// Cancel.
LRESULT CALLBACK AnswerColourDialog(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND dialog = reinterpret_cast<HWND>(wParam);
    constexpr int kRed = 706, kGreen = 707, kBlue = 708;
    if (GetDlgItem(dialog, kRed)) {
      if (g_colour.accept) {
        SetDlgItemInt(dialog, kRed, GetRValue(g_colour.color), FALSE);
        SetDlgItemInt(dialog, kGreen, GetGValue(g_colour.color), FALSE);
        SetDlgItemInt(dialog, kBlue, GetBValue(g_colour.color), FALSE);
      }
      PostMessageA(dialog, WM_COMMAND, g_colour.accept ? IDOK : IDCANCEL, 0);
    }
  }
  return CallNextHookEx(g_colour.hook, code, wParam, lParam);
}

// The centre of the brush preview, in the tool window's client coordinates.
POINT PreviewCentre() {
  RECT r{};
  GetWindowRect(ToolControl(IDC_PREVIEW), &r);
  MapWindowPoints(nullptr, Tools(), reinterpret_cast<POINT*>(&r), 2);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

COLORREF PreviewPixel(int dx = 0, int dy = 0) {
  UpdateWindow(Tools());
  const POINT c = PreviewCentre();
  return ClientPixel(Tools(), c.x + dx, c.y + dy);
}

TEST_F(ToolWindow, ColourDialogSetsOrKeepsTheColour) {
  HGLOBAL image = GreyImage();
  g_colour = ColourAnswer{};
  g_colour.hook = SetWindowsHookExA(WH_CBT, AnswerColourDialog, nullptr, GetCurrentThreadId());
  ASSERT_NE(g_colour.hook, nullptr);
  const COLORREF chosen = RGB(10, 200, 30);
  wintest::MsgRecorder dialogs;
  dialogs.Only({WM_INITDIALOG});
  dialogs.WatchCreated("#32770", "dialog");
  const EditorRun run = OpenEditor(
      image, Frame(), kToolsAt,
      {Wait(2), Do([&] {
         ClickTool(TOOL_PAINT);
         EXPECT_EQ(PreviewPixel(), kDefaultColor);
         ClickTool(TOOL_PICKER);
         wintest::ExpectSequence(dialogs, {{WM_INITDIALOG}, {WM_INITDIALOG}}, "the frame, the tool window; the first "
                                 "press only takes the picker up");
         g_colour.accept = true;
         g_colour.color = chosen;
         ClickTool(TOOL_PICKER);
         wintest::ExpectSequence(dialogs, {{WM_INITDIALOG}}, "the colour dialog");
         EXPECT_EQ(g_state->brushColor, chosen);
         EXPECT_LT(g_state->brushCursorShown, 0);
         EXPECT_EQ(PreviewPixel(), chosen) << "the preview shows the new colour";
         g_colour.accept = false;
         ClickTool(TOOL_PICKER);
         wintest::ExpectSequence(dialogs, {{WM_INITDIALOG}}, "the colour dialog again");
         EXPECT_EQ(g_state->brushColor, chosen) << "cancelled: the colour stays";
         ClickTool(TOOL_PAINT);
         EXPECT_EQ(g_state->brushColor, chosen) << "the picked colour goes to the next tool";
         ClickTool(TOOL_SPRAY);
         EXPECT_EQ(g_state->brushColor, kDefaultColor);
         ClickTool(TOOL_PAINT);
         EXPECT_EQ(g_state->brushColor, chosen);
         ClickTool(TOOL_PICKER);
       }),
       // The picker on the canvas: the preview follows the picked colour.
       Do([] { PointerOnCanvas(60, 60); }), [] { return g_state->pointerInCanvas == 1; },
       Do([] {
         SendMessageA(g_state->canvasWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 60));
         SendMessageA(g_state->canvasWindow, WM_LBUTTONUP, 0, MAKELPARAM(60, 60));
         EXPECT_EQ(g_state->brushColor, RGB(90, 90, 90));
         EXPECT_EQ(PreviewPixel(), RGB(90, 90, 90));
         PointerAway();
       }),
       CloseFrame()});
  UnhookWindowsHookEx(g_colour.hook);
  EXPECT_TRUE(run.finished);
  GlobalFree(image);
}

// ---- Window ---------------------------------------------------------------------------------

TEST_F(ToolWindow, PreviewBackgroundAndDragging) {
  HGLOBAL image = GreyImage();
  const EditorRun run = OpenEditor(
      image, Frame(), kToolsAt,
      {Wait(2), Do([] {
         RedrawWindow(Tools(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW);
         // The background came from the control library, as its dialog number 66.
         EXPECT_EQ(reinterpret_cast<INT_PTR>(GetPropA(Tools(), MAKEINTATOM(4014))), 66);
         ClickTool(TOOL_PAINT);
         EXPECT_EQ(PreviewPixel(), kDefaultColor);
         EXPECT_EQ(PreviewPixel(12, 12), RGB(255, 255, 255)) << "outside the 16-pixel disc";
         // One pixel: a cross around the centre, the centre itself left as background.
         ScrollTo(IDC_WIDTH_BAR, 1);
         EXPECT_EQ(PreviewPixel(), RGB(255, 255, 255));
         EXPECT_EQ(PreviewPixel(0, -5), RGB(0, 0, 0));
         EXPECT_EQ(PreviewPixel(5, 0), RGB(0, 0, 0));
         // Dragged from any place between its controls, the window moves.
         RECT client{};
         GetClientRect(Tools(), &client);
         POINT corner{client.right - 1, client.bottom - 1};
         ClientToScreen(Tools(), &corner);
         EXPECT_EQ(SendMessageA(Tools(), WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y)), HTCAPTION);
       }),
       CloseFrame()});
  EXPECT_TRUE(run.finished);
  GlobalFree(image);
}

// Cancels each modal dialog the tool window opens (the adjustment, the font dialog) as it comes
// up, once the tool window is there; the frame, the tool window and the library window are left
// alone.
HHOOK g_cancelHook = nullptr;
LRESULT CALLBACK CancelOtherDialogs(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND window = reinterpret_cast<HWND>(wParam);
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (std::strcmp(cls, "#32770") == 0 && g_state && g_state->toolWindow && window != g_state->frameWindow &&
        window != g_state->toolWindow && window != g_state->libraryWindow)
      PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
  }
  return CallNextHookEx(g_cancelHook, code, wParam, lParam);
}

TEST_F(ToolWindow, AdjustmentLibraryAndFontButtonsOpenTheirDialogsAndKeepTheTool) {
  HGLOBAL image = GreyImage();
  wintest::MsgRecorder dialogs;
  dialogs.Only({WM_INITDIALOG});
  dialogs.WatchCreated("#32770", "dialog");
  g_cancelHook = SetWindowsHookExA(WH_CBT, CancelOtherDialogs, nullptr, GetCurrentThreadId());
  const EditorRun run = OpenEditor(image, Frame(), kToolsAt,
                                   {Wait(2), Do([] {
                                      ClickTool(TOOL_PAINT);
                                      const int shown = g_state->brushCursorShown;
                                      ClickTool(TOOL_ADJUST);  // cancelled by the hook
                                      EXPECT_EQ(g_state->currentTool, TOOL_PAINT);
                                      EXPECT_TRUE(OnlyChecked(TOOL_PAINT));
                                      EXPECT_TRUE(IsWindowEnabled(g_state->frameWindow));
                                      EXPECT_EQ(g_state->brushCursorShown, shown);
                                      ClickTool(IDC_LIBRARY);
                                      EXPECT_TRUE(Checked(IDC_LIBRARY)) << "the library window is open";
                                      ClickTool(IDC_LIBRARY);
                                      EXPECT_FALSE(Checked(IDC_LIBRARY)) << "and closed again";
                                      ClickTool(TOOL_TEXT);
                                      ClickTool(TOOL_TEXT);  // the font dialog, cancelled
                                      EXPECT_EQ(g_state->currentTool, TOOL_TEXT);
                                    }),
                                    CloseFrame()});
  UnhookWindowsHookEx(g_cancelHook);
  g_cancelHook = nullptr;
  EXPECT_TRUE(run.finished);
  wintest::ExpectSequence(dialogs,
                          {{WM_INITDIALOG}, {WM_INITDIALOG}, {WM_INITDIALOG}, {WM_INITDIALOG}, {WM_INITDIALOG}},
                          "the frame, the tool window, the adjustment, the library window, the font dialog");
  GlobalFree(image);
}

// ---- Accept, cancel, undo ---------------------------------------------------------------------

constexpr COLORREF kGrey = RGB(90, 90, 90);

TEST_F(ToolWindow, UndoRedoAndAcceptKeepTheStrokes) {
  HGLOBAL image = GreyImage();
  COLORREF painted = 0, undone = 0, redone = 0;
  const EditorRun run = OpenEditor(image, Frame(), kToolsAt,
                                   Join({{Wait(2), Do([] {
                                            ClickTool(TOOL_PAINT);
                                            ScrollTo(IDC_WIDTH_BAR, 6);
                                          })},
                                         Stroke({100, 80}, {140, 80}),
                                         {Do([&] {
                                            painted = ImagePixel(image, 30, 20);
                                            EXPECT_EQ(g_state->historyCount, 1);
                                            ClickTool(IDC_UNDO);
                                            undone = ImagePixel(image, 30, 20);
                                            ClickTool(IDC_REDO);
                                            redone = ImagePixel(image, 30, 20);
                                            ClickTool(8);
                                          })}}));
  EXPECT_TRUE(run.finished);
  EXPECT_EQ(run.result, 1);
  EXPECT_EQ(painted, kDefaultColor);
  EXPECT_EQ(undone, kGrey);
  EXPECT_EQ(redone, kDefaultColor);
  EXPECT_EQ(ImagePixel(image, 30, 20), kDefaultColor);
  GlobalFree(image);
}

TEST_F(ToolWindow, CancelRestoresTheExactImage) {
  HGLOBAL image = MakeImage(64, 48, [](int x, int y) { return RGB(x * 4, y * 5, (x ^ y) & 0xFF); });
  HGLOBAL before = DibDuplicate(image, TRUE);
  bool changed = false;
  const EditorRun run = OpenEditor(
      image, Frame(), kToolsAt,
      Join({{Wait(2), Do([] { ClickTool(TOOL_PAINT); })},
            Stroke({30, 30}, {200, 150}),
            {Do([] {
              ClickTool(TOOL_SMOOTH);
              ScrollTo(IDC_WIDTH_BAR, 20);
            })},
            Stroke({200, 30}, {30, 150}),
            {Do([&] {
              const DibLock a(image), b(before);
              changed = std::memcmp(a.view().bits, b.view().bits, GlobalSize(image) - 40) != 0;
              ClickTool(IDCANCEL);
            })}}));
  EXPECT_TRUE(run.finished);
  EXPECT_TRUE(changed);
  EXPECT_EQ(run.result, 0);
  ASSERT_EQ(GlobalSize(image), GlobalSize(before));
  {
    const DibLock a(image), b(before);
    EXPECT_EQ(std::memcmp(a.view().bits, b.view().bits, GlobalSize(image) - 40), 0) << "every byte restored";
  }
  GlobalFree(before);
  GlobalFree(image);
}

// ---- Settings file ----------------------------------------------------------------------------

std::string Value(const char* file, const char* key) {
  char buffer[256] = {};
  GetPrivateProfileStringA("Cursors", key, "", buffer, sizeof buffer, SettingsPath(file).c_str());
  return buffer;
}

TEST_F(ToolWindow, SettingsSurviveACloseAndAReopen) {
  HGLOBAL image = GreyImage();
  EditorRun run = OpenEditor(image, Frame(), kToolsAt, {Wait(2), CloseFrame()});
  EXPECT_TRUE(run.finished);
  EXPECT_EQ(Value("KVRTCH.INI", "T117"), "000,000,016,016,001,001,001,001,000,100,12632319");
  for (const char* key : {"T114", "T115", "T116", "T118", "T119", "T120", "T121", "T122", "T123"})
    EXPECT_EQ(Value("KVRTCH.INI", key).size(), 48u) << key;
  EXPECT_EQ(Value("KVRTCH.INI", "T123"), "000,000,016,016,000,000,001,000,000,100,12632319");
  EXPECT_EQ(Value("KVRTCH.INI", "Font"), "020,700,002,034,000,000,000,000,034,Arial");

  // Options changed, and a font height as the font dialog gives it (negative: character height).
  run = OpenEditor(image, Frame(), kToolsAt,
                   {Wait(2), Do([] {
                      ClickTool(TOOL_SPRAY);
                      ScrollTo(IDC_WIDTH_BAR, 30);
                      ScrollTo(IDC_STRENGTH_BAR, 70);
                      ClickTool(IDC_RECTANGLE);
                      ClickTool(IDC_OPTION_SECOND);
                      ClickTool(TOOL_PAINT);
                      ScrollTo(IDC_HEIGHT_BAR, 5);
                      g_state->logFont.lfHeight = -13;
                    }),
                    CloseFrame()});
  EXPECT_TRUE(run.finished);
  EXPECT_EQ(Value("KVRTCH.INI", "T119"), "001,001,030,030,001,001,001,001,000,049,12632319");
  EXPECT_EQ(Value("KVRTCH.INI", "T117"), "000,000,005,005,001,001,001,001,000,100,12632319") << "stored on closing";

  run = OpenEditor(image, Frame(), kToolsAt,
                   {Wait(2), Do([] {
                      EXPECT_EQ(g_state->logFont.lfHeight, -13);
                      EXPECT_STREQ(g_state->logFont.lfFaceName, "Arial");
                      ClickTool(TOOL_SPRAY);
                      EXPECT_EQ(g_state->brushWidth, 30);
                      EXPECT_EQ(g_state->brushHeight, 30);
                      EXPECT_EQ(g_state->brushStrength, 49);
                      EXPECT_EQ(BarPos(IDC_STRENGTH_BAR), 70);
                      EXPECT_EQ(g_state->brushShape, 1);
                      EXPECT_TRUE(Checked(IDC_RECTANGLE));
                      EXPECT_EQ(g_state->brushOption, 1);
                      EXPECT_TRUE(Checked(IDC_OPTION_SECOND));
                      ClickTool(TOOL_PAINT);
                      EXPECT_EQ(g_state->brushHeight, 5);
                    }),
                    CloseFrame()});
  EXPECT_TRUE(run.finished);
  EXPECT_EQ(Value("KVRTCH.INI", "Font"), "-13,700,002,034,000,000,000,000,034,Arial");
  GlobalFree(image);
}

TEST_F(ToolWindow, OnlyTheOlderFileFillsTheEntriesFromItsKeys) {
  const std::string older = SettingsPath("KVRTOUCH.INI");
  const std::string olderText =
      "[Cursors]\r\n"
      "T116=001,020,030,000,001,000,001,000,064,255\r\n"      // the paint brush (117)
      "T117=000,040,040,001,001,001,001,000,100,65280\r\n"    // the restore brush (118)
      "T115=000,003,004,001,001,001,000,000,100,0\r\n"        // the lasso (116)
      "T114=001,005,005,001,001,001,000,000,100,0\r\n"        // the adjustment; never the outline brush
      "T123=001,044,044,001,001,001,001,000,100,0\r\n"        // no tool reads this one
      "Font=-12,400,000,018,001,000,000,000,049,Courier New\r\n";
  {
    FILE* f = std::fopen(older.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(olderText.data(), 1, olderText.size(), f);
    std::fclose(f);
  }
  HGLOBAL image = GreyImage();
  EditorRun run = OpenEditor(
      image, Frame(), kToolsAt,
      {Wait(2), Do([] {
         EXPECT_EQ(Entry(TOOL_RESTORE)->width, 40);
         EXPECT_EQ(Entry(TOOL_RESTORE)->color, RGB(0, 255, 0));
         EXPECT_EQ(Entry(TOOL_LASSO)->width, 3);
         EXPECT_EQ(Entry(TOOL_LASSO)->showBrushCursor, 0);
         EXPECT_EQ(Entry(TOOL_ADJUST)->width, 5);
         EXPECT_EQ(Entry(TOOL_OUTLINE)->width, 16) << "the outline brush is not in the older file";
         EXPECT_EQ(Entry(TOOL_CLONE)->width, 16) << "T123 is nobody's key";
         EXPECT_EQ(g_state->logFont.lfHeight, -12);
         EXPECT_EQ(g_state->logFont.lfWeight, 400);
         EXPECT_EQ(g_state->logFont.lfItalic, 1);
         EXPECT_EQ(g_state->logFont.lfPitchAndFamily, 49);
         EXPECT_STREQ(g_state->logFont.lfFaceName, "Courier New");
         ClickTool(TOOL_PAINT);
         EXPECT_EQ(g_state->brushShape, 1);
         EXPECT_EQ(g_state->brushWidth, 20);
         EXPECT_EQ(g_state->brushHeight, 30);
         EXPECT_EQ(g_state->brushStrength, 64);
         EXPECT_EQ(BarPos(IDC_STRENGTH_BAR), 80);
         EXPECT_EQ(g_state->brushColor, RGB(255, 0, 0));
         EXPECT_FALSE(Checked(IDC_LINK));
         EXPECT_TRUE(Enabled(IDC_WIDTH_BAR));
         EXPECT_FALSE(Enabled(IDC_HEIGHT_BAR));
       }),
       CloseFrame()});
  EXPECT_TRUE(run.finished);
  EXPECT_EQ(wintest::ReadFileText(older), olderText) << "the older file is only read";
  EXPECT_EQ(Value("KVRTCH.INI", "T117"), "001,000,020,030,000,001,000,001,000,064,255");

  // Once the current file exists, the older one is not read any more.
  WritePrivateProfileStringA("Cursors", "T117", "000,000,007,007,001,001,001,001,000,100,0",
                             SettingsPath("KVRTCH.INI").c_str());
  run = OpenEditor(image, Frame(), kToolsAt, {Wait(2), Do([] {
                                                ClickTool(TOOL_PAINT);
                                                EXPECT_EQ(g_state->brushWidth, 7);
                                              }),
                                              CloseFrame()});
  EXPECT_TRUE(run.finished);
  GlobalFree(image);
}

TEST_F(ToolWindow, HandEditedValuesAreKeptInTheEditorsRanges) {
  const std::string path = SettingsPath("KVRTCH.INI");
  WritePrivateProfileStringA("Cursors", "T117", "007,009,000,999,005,000,000,002,123,000,-1", path.c_str());
  WritePrivateProfileStringA("Cursors", "T119", "garbage", path.c_str());
  WritePrivateProfileStringA("Cursors", "Font", "020,400,002,034,000,000,000,000,034,", path.c_str());
  HGLOBAL image = GreyImage();
  const EditorRun run = OpenEditor(image, Frame(), kToolsAt,
                                   {Wait(2), Do([] {
                                      ClickTool(TOOL_PAINT);
                                      EXPECT_EQ(g_state->brushShape, 1);
                                      EXPECT_EQ(g_state->brushOption, 1);
                                      EXPECT_EQ(g_state->brushWidth, 1);
                                      EXPECT_EQ(g_state->brushHeight, 48);
                                      EXPECT_EQ(g_state->brushColor, RGB(255, 255, 255));
                                      EXPECT_EQ(BarPos(IDC_STRENGTH_BAR), 40);
                                      EXPECT_FALSE(Enabled(IDC_WIDTH_BAR));
                                      ClickTool(TOOL_SPRAY);
                                      // Too short to reach the width: only shape and option were read (as 0).
                                      EXPECT_EQ(g_state->brushWidth, 16);
                                      EXPECT_EQ(g_state->brushShape, 0);
                                      EXPECT_STREQ(g_state->logFont.lfFaceName, "");
                                    }),
                                    CloseFrame()});
  EXPECT_TRUE(run.finished);
  GlobalFree(image);
}

// ---- Resources --------------------------------------------------------------------------------

TEST_F(ToolWindow, OpeningsWithEveryToolLeakNoGdiObject) {
  HGLOBAL image = GreyImage();
  auto once = [&] {
    return OpenEditor(image, Frame(), kToolsAt,
                      {Do([] {
                        for (int tool : {TOOL_PAINT, TOOL_OUTLINE, TOOL_LASSO, TOOL_RESTORE, TOOL_SPRAY, TOOL_STAMP,
                                         TOOL_SMOOTH, TOOL_CLONE, TOOL_TEXT, TOOL_PICKER, TOOL_PAINT}) {
                          ClickTool(tool);
                          ScrollTo(IDC_WIDTH_BAR, 2 + tool % 40);
                          ClickTool(tool % 2 ? IDC_RECTANGLE : IDC_ELLIPSE);
                          RedrawWindow(Tools(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW);
                        }
                        PostMessageA(g_state->frameWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
                      })});
  };
  ASSERT_TRUE(once().finished);  // first-use allocations of the system happen here
  wintest::Pump(50);
  const size_t before = LiveGdiObjects();
  int finished = 0;
  for (int i = 0; i < 20 && finished == i; ++i) finished += once().finished ? 1 : 0;
  wintest::Pump(50);
  EXPECT_EQ(finished, 20);
  const size_t after = LiveGdiObjects();
  std::printf("20 openings through every tool: GDI objects %zu -> %zu\n", before, after);
  EXPECT_LE(after, before + 5);
  GlobalFree(image);
}

}  // namespace
