// The lasso and the floating selection through the real editor and canvas: the pointer draws the
// lasso, the frame of handles is painted, every button acts, the inner area, a corner, an edge
// and the rotation handle are dragged, the selection is stamped into the caller's image, dropped,
// or the edits are cancelled; a lost capture ends a lasso or a drag cleanly; repeated cycles
// leak nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "editor_driver.h"
#include "msg_recorder.h"
#include "retouch/frame/editor_globals.h"
#include "retouch/frame/retouch_state.h"
#include "retouch/frame/tool_window.h"
#include "retouch/imaging/selection.h"
#include "wintest.h"

namespace {

using namespace editor_test;

// The canvas shows the 64 x 48 image four times larger.
constexpr int kScale = 4;
RECT Frame() { return FrameForClient(100, 100, 64 * kScale, 48 * kScale); }

class Selection : public testing::Test {
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

COLORREF Pattern(int x, int y) { return RGB(x * 4, y * 5, (x * 7 + y * 3) & 0xFF); }
HGLOBAL PatternImage() { return MakeImage(64, 48, Pattern); }

HWND Canvas() { return g_state->canvasWindow; }
const sel::Selection& Model() { return *g_state->selection; }

// Device point of an image point (the canvas's scale).
POINT Device(int x, int y) { return POINT{x * kScale + 1, y * kScale + 1}; }

void Send(UINT message, WPARAM flags, POINT d) {
  POINT s = d;
  ClientToScreen(Canvas(), &s);
  SetCursorPos(s.x, s.y);
  SendMessageA(Canvas(), message, flags, MAKELPARAM(d.x, d.y));
}

// A press, moves through `path` and a release at its last point (image points).
void Drag(std::vector<POINT> path) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON, Device(path[0].x, path[0].y));
  for (size_t i = 1; i < path.size(); ++i) Send(WM_MOUSEMOVE, MK_LBUTTON, Device(path[i].x, path[i].y));
  Send(WM_LBUTTONUP, 0, Device(path.back().x, path.back().y));
}

// Centre of a handle, in image coordinates.
POINT HandleCentre(int code) {
  for (int i = 0; i < sel::kHandleCount; ++i)
    if (sel::kHandleCodes[i] == code) {
      const sel::Rect& r = Model().handleRects[i];
      return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
  return POINT{-1, -1};
}

void Click(int code) {
  const POINT c = HandleCentre(code);
  Drag({c});
}

uint32_t At(const sel::Image& i, int x, int y) {
  const uint8_t* p = i.view().Pixel24(x, y);
  return RGB(p[2], p[1], p[0]);
}

bool NoDragLeft() { return g_state->activeHandle == 0 && g_state->canvasModeFlag == 0 && g_state->rotating == 0; }

// The pointer enters the canvas (the editor's loop notices it), the lasso tool is chosen and a
// square lasso drawn from (12, 10) to (40, 34).
std::vector<Step> LassoSquare() {
  return {Wait(2), Do([] { ClickTool(TOOL_LASSO); }), Do([] { PointerOnCanvas(20, 20); }),
          [] { return g_state->pointerInCanvas == 1; },
          Do([] { Drag({{12, 10}, {40, 10}, {40, 34}, {12, 34}, {12, 10}}); })};
}

std::vector<Step> Then(std::vector<Step> a, std::vector<Step> b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST_F(Selection, LassoPaintsTheSelectionAndItsHandles) {
  HGLOBAL image = PatternImage();
  const EditorRun run = OpenEditor(image, Frame(), kToolsAt, Then(LassoSquare(), {Do([] {
    ASSERT_TRUE(g_state->floatActive);
    EXPECT_EQ(g_state->selectionRect.left, 11);
    EXPECT_EQ(g_state->selectionRect.top, 10);
    EXPECT_EQ(g_state->selectionRect.right, 41);
    EXPECT_EQ(g_state->selectionRect.bottom, 35);
    wintest::Pump(30);
    // Inside: the picture; the corner handles white; the stamp button's face.
    const POINT in = Device(25, 20);
    EXPECT_EQ(FramePixel(in.x, in.y), Pattern(25, 20));
    const POINT corner = Device(HandleCentre(17).x, HandleCentre(17).y);
    EXPECT_EQ(FramePixel(corner.x, corner.y), RGB(255, 255, 255));
    // A button two image pixels high shows its light and dark edges at this zoom.
    const POINT button = Device(HandleCentre(3).x, HandleCentre(3).y);
    const COLORREF face = FramePixel(button.x, button.y);
    EXPECT_TRUE(face == GetSysColor(COLOR_BTNFACE) || face == GetSysColor(COLOR_BTNSHADOW) ||
                face == GetSysColor(COLOR_BTNHIGHLIGHT)) << std::hex << face;
    ClickTool(IDCANCEL);
  })}));
  EXPECT_TRUE(run.finished);
  GlobalFree(image);
}

TEST_F(Selection, EveryButtonActsAndTheStampWritesTheCallersPixels) {
  HGLOBAL image = PatternImage();
  struct Press {
    int code;
    int32_t sel::Adjustments::*value;
    int32_t want;
  };
  const Press presses[] = {
      {sel::kHitToneOffsetDown, &sel::Adjustments::toneOffset, -5},
      {sel::kHitToneOffsetUp, &sel::Adjustments::toneOffset, 0},
      {sel::kHitToneSlopeDown, &sel::Adjustments::toneSlope, -5},
      {sel::kHitToneSlopeUp, &sel::Adjustments::toneSlope, 0},
      {sel::kHitSaturationDown, &sel::Adjustments::saturationValue, 45},
      {sel::kHitSaturationUp, &sel::Adjustments::saturationValue, 50},
      {sel::kHitHueDown, &sel::Adjustments::hueShift, -3},
      {sel::kHitHueUp, &sel::Adjustments::hueShift, 0},
      {sel::kHitWhitenUp, &sel::Adjustments::whitenPasses, 1},
      {sel::kHitWhitenDown, &sel::Adjustments::whitenPasses, 0},
  };
  bool dropped = false;
  const EditorRun run = OpenEditor(image, Frame(), kToolsAt, Then(LassoSquare(), {Do([&] {
    ASSERT_TRUE(g_state->floatActive);
    for (const Press& p : presses) {
      Click(p.code);
      EXPECT_EQ(Model().adjust.*p.value, p.want) << p.code;
      EXPECT_TRUE(NoDragLeft()) << p.code;
    }
    EXPECT_EQ(g_state->toneOffset, 0);
    // Each mirror turns the picture over; twice gives it back.
    for (int code : {sel::kHitMirrorLeftRight, sel::kHitMirrorTopBottom}) {
      const uint32_t before = At(Model().selectionSource, 3, 3);
      Click(code);
      EXPECT_NE(At(Model().selectionSource, 3, 3), before) << code;
      Click(code);
      EXPECT_EQ(At(Model().selectionSource, 3, 3), before) << code;
    }
    // Moved by (5, 2), then stamped: the caller's image shows the selection's pixels there.
    Drag({{25, 20}, {30, 22}});
    EXPECT_EQ(g_state->selectionRect.left, 16);
    EXPECT_EQ(g_state->selectionRect.top, 12);
    Click(sel::kHitStamp);
    EXPECT_EQ(ImagePixel(image, 30, 25), Pattern(25, 23));
    EXPECT_EQ(ImagePixel(image, 44, 36), Pattern(39, 34));
    EXPECT_EQ(ImagePixel(image, 16, 12), Pattern(16, 12));  // outside the outline: untouched
    EXPECT_EQ(ImagePixel(image, 50, 30), Pattern(50, 30));
    Click(sel::kHitDrop);
    dropped = !g_state->floatActive && Model().outline.empty() && g_state->shownHandleZone.right == 0;
    ClickTool(8);
  })}));
  EXPECT_TRUE(run.finished);
  EXPECT_EQ(run.result, 1);
  EXPECT_TRUE(dropped);
  EXPECT_EQ(ImagePixel(image, 30, 25), Pattern(25, 23));
  GlobalFree(image);
}

TEST_F(Selection, DragsMoveResizeAndTurnIt) {
  HGLOBAL image = PatternImage();
  const EditorRun run = OpenEditor(image, Frame(), kToolsAt, Then(LassoSquare(), {Do([] {
    ASSERT_TRUE(g_state->floatActive);
    const RECT start = g_state->selectionRect;
    // A click on the inner area without motion keeps the selection where it is.
    Drag({{25, 20}});
    EXPECT_TRUE(EqualRect(&g_state->selectionRect, &start));
    EXPECT_TRUE(NoDragLeft());
    Drag({{25, 20}, {27, 21}, {29, 23}});
    EXPECT_EQ(g_state->selectionRect.left, start.left + 4);
    EXPECT_EQ(g_state->selectionRect.top, start.top + 3);
    // The bottom-right corner pulled in.
    const RECT moved = g_state->selectionRect;
    const POINT corner = HandleCentre(sel::kHitBottomRight);
    Drag({corner, {corner.x - 2, corner.y - 1}, {corner.x - 4, corner.y - 3}});
    EXPECT_NEAR(g_state->selectionRect.right, moved.right - 4, 1);
    EXPECT_NEAR(g_state->selectionRect.bottom, moved.bottom - 3, 1);
    EXPECT_EQ(g_state->selectionRect.left, moved.left);
    EXPECT_EQ(Model().selectionSource.width(), g_state->selectionRect.right - g_state->selectionRect.left);
    EXPECT_TRUE(NoDragLeft());
    // The left edge, between the buttons' band and the inner area, pulled out.
    const RECT sized = g_state->selectionRect;
    const int midY = (sized.top + sized.bottom) / 2;
    EXPECT_EQ(sel::HitTestSelection(Model(), sized.left - 3, midY, sel::Metrics{GetSystemMetrics(SM_CXFRAME),
              GetSystemMetrics(SM_CYFRAME), 2 * GetSystemMetrics(SM_CXFRAME) / kScale, 2 * GetSystemMetrics(SM_CYFRAME) / kScale}),
              sel::kHitLeft);
    Drag({{sized.left - 3, midY}, {sized.left - 5, midY}, {sized.left - 6, midY}});
    EXPECT_NEAR(g_state->selectionRect.left, sized.left - 3, 1);
    EXPECT_EQ(g_state->selectionRect.right, sized.right);
    // The rotation button turned a quarter round the selection's centre, counter-clockwise.
    const POINT r = HandleCentre(sel::kHitRotate);
    const RECT& now = g_state->selectionRect;
    const double cx = (now.left + now.right) / 2.0, cy = (now.top + now.bottom) / 2.0;
    const double a0 = std::atan2(cy - r.y, r.x - cx), radius = std::hypot(r.x - cx, cy - r.y);
    std::vector<POINT> arc;
    for (int i = 0; i <= 8; ++i) {
      const double a = a0 + 0.5 * i / 8;
      arc.push_back(POINT{static_cast<LONG>(std::lround(cx + radius * std::cos(a))), static_cast<LONG>(std::lround(cy - radius * std::sin(a)))});
    }
    Drag(arc);
    EXPECT_GT(g_state->rotationAngle, 15);
    EXPECT_LT(g_state->rotationAngle, 45);
    EXPECT_TRUE(g_state->floatActive);
    EXPECT_TRUE(NoDragLeft());
    ClickTool(IDCANCEL);
  })}));
  EXPECT_TRUE(run.finished);
  GlobalFree(image);
}

TEST_F(Selection, CancelGivesThePictureBackExactly) {
  HGLOBAL image = PatternImage();
  HGLOBAL before = DibDuplicate(image, TRUE);
  const EditorRun run = OpenEditor(image, Frame(), kToolsAt, Then(LassoSquare(), {Do([] {
    Drag({{25, 20}, {33, 26}});
    Click(sel::kHitStamp);
    Click(sel::kHitMirrorLeftRight);
    Click(sel::kHitStamp);
    ClickTool(IDCANCEL);
  })}));
  EXPECT_TRUE(run.finished);
  EXPECT_EQ(run.result, 0);
  {
    const DibLock a(image), b(before);
    EXPECT_EQ(std::memcmp(a.view().bits, b.view().bits, GlobalSize(image) - 40), 0);
  }
  GlobalFree(before);
  GlobalFree(image);
}

TEST_F(Selection, LostCaptureEndsALassoOrADragCleanly) {
  HGLOBAL image = PatternImage();
  const EditorRun run = OpenEditor(image, Frame(), kToolsAt, {Wait(2), Do([] { ClickTool(TOOL_LASSO); }),
      Do([] { PointerOnCanvas(20, 20); }), [] { return g_state->pointerInCanvas == 1; }, Do([] {
        // A lasso half drawn: nothing of it stays.
        Send(WM_LBUTTONDOWN, MK_LBUTTON, Device(12, 10));
        Send(WM_MOUSEMOVE, MK_LBUTTON, Device(40, 10));
        Send(WM_MOUSEMOVE, MK_LBUTTON, Device(40, 34));
        ReleaseCapture();
        wintest::Pump(30);
        EXPECT_FALSE(g_state->floatActive);
        EXPECT_TRUE(Model().outline.empty());
        EXPECT_FALSE(Model().drawing);
        const POINT on = Device(30, 10);
        EXPECT_EQ(FramePixel(on.x, on.y), Pattern(30, 10)) << "the outline was repainted away";
        // The next lasso starts at once.
        Drag({{12, 10}, {40, 10}, {40, 34}, {12, 34}, {12, 10}});
        ASSERT_TRUE(g_state->floatActive);
        wintest::Pump(30);
        // A move drag whose capture goes: its frame is erased, the selection stays put.
        const RECT start = g_state->selectionRect;
        const POINT corner = Device(start.left, start.top);
        const COLORREF plain = FramePixel(corner.x + 8, corner.y + 8);
        Send(WM_LBUTTONDOWN, MK_LBUTTON, Device(25, 20));
        Send(WM_MOUSEMOVE, MK_LBUTTON, Device(27, 22));
        ReleaseCapture();
        wintest::Pump(30);
        EXPECT_TRUE(NoDragLeft());
        EXPECT_TRUE(EqualRect(&g_state->selectionRect, &start));
        EXPECT_EQ(FramePixel(corner.x + 8, corner.y + 8), plain);
        ClickTool(IDCANCEL);
      })});
  EXPECT_TRUE(run.finished);
  GlobalFree(image);
}

TEST_F(Selection, SwitchingToolsDropsAndRepaints) {
  HGLOBAL image = PatternImage();
  const EditorRun run = OpenEditor(image, Frame(), kToolsAt, Then(LassoSquare(), {Do([] {
    ASSERT_TRUE(g_state->floatActive);
    wintest::Pump(30);
    wintest::MsgRecorder rec;
    rec.Watch(Canvas(), "canvas");
    rec.Only({WM_PAINT});
    rec.Mark(1);
    ClickTool(TOOL_PAINT);
    wintest::Pump(30);
    wintest::ExpectSequence(rec, {wintest::Marker(1), {WM_PAINT}, {WM_PAINT, wintest::kOptional}}, "tool switch");
    EXPECT_FALSE(g_state->floatActive);
    EXPECT_TRUE(Model().outline.empty());
    const POINT corner = Device(HandleCentre(17).x, HandleCentre(17).y);
    EXPECT_NE(FramePixel(corner.x, corner.y), RGB(255, 255, 255));
    ClickTool(IDCANCEL);
  })}));
  EXPECT_TRUE(run.finished);
  GlobalFree(image);
}

TEST_F(Selection, OutlineBrushPushesTheOutlineOutward) {
  HGLOBAL image = PatternImage();
  HGLOBAL before = DibDuplicate(image, TRUE);
  const EditorRun run = OpenEditor(image, Frame(), kToolsAt, Then(LassoSquare(), {Do([] {
    ASSERT_TRUE(g_state->floatActive);
    const RECT start = g_state->selectionRect;
    ClickTool(TOOL_OUTLINE);
    SendMessageA(g_state->toolWindow, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 10),
                 reinterpret_cast<LPARAM>(ToolControl(IDC_WIDTH_BAR)));
    ASSERT_TRUE(g_state->floatActive);
    // Pressed inside near the right side and dragged out: the side bulges.
    Drag({{37, 22}, {38, 22}, {40, 22}, {42, 22}, {44, 22}, {45, 22}});
    EXPECT_TRUE(g_state->floatActive);
    EXPECT_GT(g_state->selectionRect.right, start.right);
    EXPECT_EQ(g_state->selectionRect.left, start.left);
    EXPECT_FALSE(g_state->shownHandleZone.right == 0) << "the handles are back";
    EXPECT_EQ(Model().selectionSource.width(), g_state->selectionRect.right - g_state->selectionRect.left);
    // Without a selection the brush does nothing.
    ClickTool(TOOL_LASSO);
    Click(sel::kHitDrop);
    ClickTool(TOOL_OUTLINE);
    Drag({{20, 20}, {24, 22}});
    EXPECT_FALSE(g_state->floatActive);
    EXPECT_TRUE(Model().outline.empty());
    ClickTool(8);
  })}));
  EXPECT_TRUE(run.finished);
  EXPECT_EQ(run.result, 1);
  {
    const DibLock a(image), b(before);
    EXPECT_EQ(std::memcmp(a.view().bits, b.view().bits, GlobalSize(image) - 40), 0) << "the outline brush paints nothing";
  }
  GlobalFree(before);
  GlobalFree(image);
}

TEST_F(Selection, HundredCyclesLeakNothing) {
  HGLOBAL image = PatternImage();
  size_t before = 0, after = 0;
  const EditorRun run = OpenEditor(image, Frame(), kToolsAt, Then(LassoSquare(), {Do([&] {
    auto cycle = [](int i) {
      Drag({{12, 10}, {40, 10}, {40, 34}, {12, 34}, {12, 10}});
      Drag({{25, 20}, {25 + i % 5, 21}});
      Click(sel::kHitMirrorTopBottom);
      Click(sel::kHitToneOffsetDown);
      const POINT c = HandleCentre(sel::kHitBottomRight);
      Drag({c, {c.x - 2, c.y - 2}});
      const POINT r = HandleCentre(sel::kHitRotate);
      Drag({r, {r.x - 2, r.y - 3}});
      Click(sel::kHitDrop);
    };
    Click(sel::kHitDrop);
    cycle(0);
    wintest::Pump(30);
    before = LiveGdiObjects();
    for (int i = 0; i < 100; ++i) cycle(i);
    wintest::Pump(30);
    after = LiveGdiObjects();
    EXPECT_FALSE(Model().selectionImage.exists() || Model().rotBase.image.exists() || Model().sizeBase.image.exists());
    ClickTool(IDCANCEL);
  })}));
  EXPECT_TRUE(run.finished);
  std::printf("100 lasso and transform cycles: GDI objects %zu -> %zu\n", before, after);
  EXPECT_LE(after, before + 2);
  GlobalFree(image);
}

}  // namespace
