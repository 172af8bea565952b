// The image adjustment dialog through the real tool window (its placement, bars, resets, preview,
// OK and Cancel) and the text tool through the real canvas (placing, typing, the caret, burning,
// Escape, the font dialog). Fonts are substituted under Wine: the text checks compare widths and
// pixels with each other, never with a font's own metrics.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "editor_driver.h"
#include "retouch/frame/retouch_state.h"
#include "retouch/frame/tool_window.h"
#include "retouch/imaging/dib_adjust.h"
#include "retouch/imaging/image_adjust.h"
#include "wintest.h"

namespace {

using namespace editor_test;

constexpr int kWidth = 160, kHeight = 80;
COLORREF Original(int x, int y) { return RGB((x * 3) & 0xFF, (y * 5 + 40) & 0xFF, (x + y) & 0xFF); }

class Editor : public testing::Test {
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
  // The frame shows the image at its own size, the tool window at the left of the screen so that
  // the dialog beside it stays where it is placed.
  EditorRun Open(HGLOBAL image, std::vector<Step> steps) {
    return OpenEditor(image, FrameForClient(500, 60, kWidth, kHeight), POINT{20, 60}, std::move(steps));
  }
};

// The tool window's OK: the editor ends with 1.
Step Accept() {
  return Do([] { SendMessageA(ToolControl(8), BM_CLICK, 0, 0); });
}

std::vector<uint8_t> Bytes(HGLOBAL dib) {
  const SIZE_T n = GlobalSize(dib);
  std::vector<uint8_t> v(n);
  if (void* p = GlobalLock(dib)) {
    std::memcpy(v.data(), p, n);
    GlobalUnlock(dib);
  }
  return v;
}

// ---- Image adjustment ---------------------------------------------------------------------------

HWND g_dialog = nullptr;

// The tool window's button 114, clicked from the queue so that the script's later steps run
// inside the dialog's own loop; done once the dialog shows.
std::vector<Step> OpenDialog() {
  return {Do([] {
            g_dialog = nullptr;
            HWND button = ToolControl(TOOL_ADJUST);
            PostMessageA(g_state->toolWindow, WM_COMMAND, MAKEWPARAM(TOOL_ADJUST, BN_CLICKED),
                         reinterpret_cast<LPARAM>(button));
          }),
          [] {
            g_dialog = AdjustmentDialog();
            return g_dialog != nullptr;
          }};
}

void Bar(int id, int code, int position = 0) {
  SendMessageA(g_dialog, WM_VSCROLL, MAKEWPARAM(code, static_cast<WORD>(position)),
               reinterpret_cast<LPARAM>(GetDlgItem(g_dialog, id)));
}
void DialogButton(int id) { SendMessageA(GetDlgItem(g_dialog, id), BM_CLICK, 0, 0); }
int BarPos(int id) { return GetScrollPos(GetDlgItem(g_dialog, id), SB_CTL); }

// The preview as AdjustImage makes it from the preview source with these values.
bool PreviewIs(int a, int b, int c, int d) {
  const RetouchState& s = *g_state;
  wintest::OwnedDib expected(DibDuplicate(s.adjustPreviewSource, TRUE));
  AdjustImage(s.adjustPreviewSource, expected.h, a, b, c, d);
  return Bytes(expected.h) == Bytes(s.adjustPreview);
}

TEST_F(Editor, AdjustmentDialogSitsBesideItsButtonWithBarsAndAPreview) {
  wintest::OwnedDib image(MakeImage(kWidth, kHeight, Original));
  const std::vector<uint8_t> before = Bytes(image.h);
  std::vector<uint8_t> backupAfter;
  auto steps = OpenDialog();
  steps.push_back(Do([&] {
    RECT button{}, dialog{}, bar{}, client{};
    GetWindowRect(ToolControl(TOOL_ADJUST), &button);
    GetWindowRect(g_dialog, &dialog);
    EXPECT_EQ(dialog.left, button.right);
    EXPECT_EQ(dialog.top, button.top);
    HWND hue = GetDlgItem(g_dialog, 104);
    GetClientRect(hue, &bar);
    MapWindowPoints(hue, g_dialog, reinterpret_cast<POINT*>(&bar), 2);
    const int height = dialog.bottom - dialog.top;
    EXPECT_EQ(dialog.right - dialog.left, bar.right + height * kWidth / kHeight);

    struct Range {
      int id, lowest, highest, start;
    };
    for (const Range& r : {Range{101, -100, 100, 0}, Range{102, -100, 100, 0}, Range{103, 0, 100, 50},
                           Range{104, -127, 127, 0}}) {
      int lo = 0, hi = 0;
      GetScrollRange(GetDlgItem(g_dialog, r.id), SB_CTL, &lo, &hi);
      EXPECT_EQ(lo, r.lowest) << r.id;
      EXPECT_EQ(hi, r.highest) << r.id;
      EXPECT_EQ(BarPos(r.id), r.start) << r.id;
      RECT own{}, rightmost{};
      GetWindowRect(GetDlgItem(g_dialog, r.id), &own);
      GetWindowRect(hue, &rightmost);
      if (r.id != 104) {
        EXPECT_LE(own.right, rightmost.left) << "bar 104 is the rightmost";
      }
    }
    // The preview: the client height at the image's proportions, drawn at the client's right.
    GetClientRect(g_dialog, &client);
    int pw = 0, ph = 0, bits = 0, ew = 0, eh = 0;
    ASSERT_TRUE(DibGetInfo(g_state->adjustPreview, &pw, &ph, &bits));
    ASSERT_TRUE(dib::PreviewSize(kWidth, kHeight, client.right, client.bottom, &ew, &eh));
    EXPECT_EQ(pw, ew);
    EXPECT_EQ(ph, eh);
    UpdateWindow(g_dialog);
    const COLORREF shown = ClientPixel(g_dialog, client.right - pw + pw / 2, ph / 3);
    EXPECT_EQ(shown, ImagePixel(g_state->adjustPreview, pw / 2, ph / 3));
    DialogButton(IDCANCEL);
  }));
  steps.push_back(Do([&] {
    EXPECT_EQ(g_state->adjustPreview, nullptr);
    EXPECT_EQ(g_state->adjustPreviewSource, nullptr);
    backupAfter = Bytes(g_state->backupImage);
  }));
  steps.push_back(Accept());
  const EditorRun run = Open(image.h, steps);
  EXPECT_TRUE(run.finished);
  EXPECT_EQ(Bytes(image.h), before);
  EXPECT_EQ(backupAfter, before);
}

TEST_F(Editor, PreviewFollowsTheToneBarsAndWaitsForColourBarsToBeReleased) {
  wintest::OwnedDib image(MakeImage(kWidth, kHeight, Original));
  auto steps = OpenDialog();
  steps.push_back(Do([] {
    Bar(101, SB_THUMBTRACK, -60);  // follows the thumb
    EXPECT_EQ(BarPos(101), -60);
    EXPECT_TRUE(PreviewIs(-60, 0, 50, 0));
    Bar(102, SB_LINEDOWN);
    Bar(102, SB_PAGEUP);
    EXPECT_EQ(BarPos(102), -9);
    EXPECT_TRUE(PreviewIs(-60, -9, 50, 0));
    Bar(103, SB_THUMBTRACK, 100);  // waits for the release
    EXPECT_TRUE(PreviewIs(-60, -9, 50, 0));
    Bar(104, SB_THUMBTRACK, -200);  // clamped
    EXPECT_EQ(BarPos(104), -127);
    Bar(104, SB_ENDSCROLL);
    EXPECT_TRUE(PreviewIs(-60, -9, 100, -127));
    DialogButton(154);  // saturation back to 50, the preview on the posted release
  }));
  steps.push_back(Wait(2));
  steps.push_back(Do([] {
    EXPECT_EQ(BarPos(103), 50);
    EXPECT_TRUE(PreviewIs(-60, -9, 50, -127));
    for (int reset : {150, 152, 156}) DialogButton(reset);
  }));
  steps.push_back(Wait(2));
  steps.push_back(Do([] {
    EXPECT_EQ(BarPos(101), 0);
    EXPECT_EQ(BarPos(102), 0);
    EXPECT_EQ(BarPos(104), 0);
    EXPECT_TRUE(PreviewIs(0, 0, 50, 0));
    DialogButton(IDCANCEL);
  }));
  steps.push_back(Accept());
  EXPECT_TRUE(Open(image.h, steps).finished);
}

TEST_F(Editor, OkAdjustsTheImageAndMakesItTheBackupThatCancelKeeps) {
  wintest::OwnedDib image(MakeImage(kWidth, kHeight, Original));
  wintest::OwnedDib expected(MakeImage(kWidth, kHeight, Original));
  AdjustImage(expected.h, nullptr, -30, 10, 20, 40);
  std::vector<uint8_t> backup;
  auto steps = OpenDialog();
  steps.push_back(Do([] {
    Bar(101, SB_THUMBPOSITION, -30);
    Bar(102, SB_THUMBPOSITION, 10);
    Bar(103, SB_THUMBPOSITION, 20);
    Bar(104, SB_THUMBPOSITION, 40);
    DialogButton(IDOK);
  }));
  steps.push_back(Do([&] {
    backup = Bytes(g_state->backupImage);
    SendMessageA(ToolControl(IDCANCEL), BM_CLICK, 0, 0);  // cancel the editor
  }));
  const EditorRun run = Open(image.h, steps);
  EXPECT_EQ(run.result, 0);
  EXPECT_EQ(Bytes(image.h), Bytes(expected.h));
  EXPECT_EQ(backup, Bytes(expected.h));
}

// ---- Text tool ----------------------------------------------------------------------------------

constexpr COLORREF kInk = RGB(255, 0, 0);
constexpr COLORREF kPaper = RGB(20, 40, 200);

std::string Text() { return g_state->textBuffer ? std::string(g_state->textBuffer) : std::string("(closed)"); }

// A press and release on the canvas (shown at the image's own size), the pointer over it.
void Click(int x, int y) {
  g_state->pointerInCanvas = 1;
  SendMessageA(g_state->canvasWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  SendMessageA(g_state->canvasWindow, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}
void Type(const std::string& s) {
  for (char c : s) SendMessageA(g_state->canvasWindow, WM_CHAR, static_cast<unsigned char>(c), 0);
}
void Key(int vk) { SendMessageA(g_state->canvasWindow, WM_KEYDOWN, vk, 0); }

Step TextTool(int height) {
  return Do([height] {
    ClickTool(TOOL_TEXT);
    g_state->brushHeight = height;
    g_state->brushColor = kInk;
  });
}

// Rows of the image where some pixel differs from the plain paper, and whether every changed
// pixel is the ink.
struct Changes {
  int top = -1, bottom = -1;
  bool onlyInk = true;
};
Changes ChangesOf(HGLOBAL image) {
  Changes c;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const COLORREF p = ImagePixel(image, x, y);
      if (p == kPaper) continue;
      if (c.top < 0) c.top = y;
      c.bottom = y + 1;
      if (p != kInk) c.onlyInk = false;
    }
  return c;
}

TEST_F(Editor, TextIsTypedOverTheImageAndBurnedIntoItsBandInTheBrushColour) {
  wintest::OwnedDib image(MakeImage(kWidth, kHeight, [](int, int) { return kPaper; }));
  std::vector<int> caretXs;
  Changes whileTyping, afterEnter;
  int inkShown = 0, inkOutsideBand = 0;
  const std::vector<Step> steps = {
      TextTool(20),
      Do([&] {
        Click(10, 40);  // the line's bottom at the click
        EXPECT_EQ(g_state->textTop, 20);
        EXPECT_EQ(g_state->textLeft, 10);
        EXPECT_EQ(g_state->caretX, 10);
        for (char c : std::string("Hello&W")) {
          Type(std::string(1, c));
          caretXs.push_back(g_state->caretX);
        }
        EXPECT_EQ(Text(), "Hello&W");
        whileTyping = ChangesOf(image.h);
      }),
      Wait(2),
      Do([&] {
        UpdateWindow(g_state->canvasWindow);
        for (int y = 0; y < kHeight; ++y)
          for (int x = 0; x < kWidth; ++x)
            if (FramePixel(x, y) == kInk) {
              ++inkShown;
              if (y < 20 || y >= 40) ++inkOutsideBand;
            }
        Key(VK_RETURN);
        afterEnter = ChangesOf(image.h);
        EXPECT_EQ(g_state->textTop, 40);
        EXPECT_EQ(g_state->caretX, 10);
        EXPECT_EQ(Text(), "");
      }),
      Accept(),
  };
  const EditorRun run = Open(image.h, steps);
  EXPECT_TRUE(run.finished);
  // Every character moved the caret right, '&' too: it is drawn as typed.
  for (size_t i = 1; i < caretXs.size(); ++i) EXPECT_GT(caretXs[i], caretXs[i - 1]) << i;
  EXPECT_EQ(whileTyping.top, -1) << "the open line is shown, not written";
  EXPECT_GT(inkShown, 0);
  EXPECT_EQ(inkOutsideBand, 0);
  EXPECT_GE(afterEnter.top, 20);
  EXPECT_LE(afterEnter.bottom, 40);
  EXPECT_GT(afterEnter.bottom, afterEnter.top);
  EXPECT_TRUE(afterEnter.onlyInk);
}

TEST_F(Editor, ClicksPlaceTheCaretAndNewLinesEscapeDiscards) {
  wintest::OwnedDib image(MakeImage(kWidth, kHeight, [](int, int) { return kPaper; }));
  std::vector<int> at;  // caret x after 0 .. 4 characters
  const std::vector<Step> steps = {
      TextTool(16),
      Do([&] {
        Click(30, 30);
        at.push_back(g_state->caretX);
        for (char c : std::string("MMMM")) {
          Type(std::string(1, c));
          at.push_back(g_state->caretX);
        }
        const int top = g_state->textTop;
        // In the band: the index before the first caret at or right of the click, shown there.
        Click(at[2] + 1, top + 2);
        EXPECT_EQ(g_state->caretIndex, 2);
        EXPECT_EQ(g_state->caretX, at[2]);
        Click(at[4] + 30, top + 2);  // right of the end
        EXPECT_EQ(g_state->caretIndex, 4);
        EXPECT_EQ(g_state->caretX, at[4]);
        Key(VK_HOME);
        Type("ab");
        EXPECT_EQ(Text(), "abMM");
        // A click outside burns the line and centres a new one on the click.
        Click(5, 76);
        EXPECT_EQ(g_state->textTop, 68);
        EXPECT_EQ(Text(), "");
        EXPECT_NE(ChangesOf(image.h).top, -1);
        // Enter at the bottom burns but opens no line below the image.
        Type("zz");
        Key(VK_RETURN);
        EXPECT_EQ(g_state->textTop, 68);
        EXPECT_EQ(Text(), "zz");
        Key(VK_ESCAPE);
        EXPECT_EQ(g_state->textBuffer, nullptr);
        EXPECT_EQ(g_state->caretShown, 0);
        Type("q");  // no line: nothing happens
      }),
      Accept(),
  };
  EXPECT_TRUE(Open(image.h, steps).finished);
}

// The font dialog answered from a CBT hook: a size beyond the tool's heights in its size box.
HHOOK g_fontHook = nullptr;
LRESULT CALLBACK AnswerFontDialog(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND dialog = reinterpret_cast<HWND>(wParam);
    char cls[32] = {};
    GetClassNameA(dialog, cls, sizeof cls);
    if (HWND size = std::strcmp(cls, "#32770") == 0 ? GetDlgItem(dialog, 0x472) : nullptr) {
      SendMessageA(size, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("72"));
      SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(0x472, CBN_SELCHANGE), reinterpret_cast<LPARAM>(size));
      SetWindowTextA(size, "72");
      PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }
  }
  return CallNextHookEx(g_fontHook, code, wParam, lParam);
}

TEST_F(Editor, FontDialogHeightsStayWithinTheBrushHeights) {
  wintest::OwnedDib image(MakeImage(kWidth, kHeight, [](int, int) { return kPaper; }));
  int heightAfter = 0, barAfter = 0;
  bool fontAfter = false;
  const std::vector<Step> steps = {
      TextTool(20),
      Do([&] {
        Click(10, 40);
        Type("abc");
        g_fontHook = SetWindowsHookExA(WH_CBT, AnswerFontDialog, nullptr, GetCurrentThreadId());
        ClickTool(TOOL_TEXT);  // the text tool's button again: its font dialog
        UnhookWindowsHookEx(g_fontHook);
        heightAfter = g_state->brushHeight;
        barAfter = GetScrollPos(ToolControl(IDC_HEIGHT_BAR), SB_CTL);
        fontAfter = g_state->textFont != nullptr;
        EXPECT_EQ(g_state->textBuffer, nullptr);  // the open line was discarded
      }),
      Accept(),
  };
  EXPECT_TRUE(Open(image.h, steps).finished);
  EXPECT_EQ(heightAfter, 48);
  EXPECT_EQ(barAfter, 48);  // the tool window's height bar follows
  EXPECT_TRUE(fontAfter);
}

}  // namespace
