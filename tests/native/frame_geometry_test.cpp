// Frame arithmetic: opening size, proportions kept while sizing, the painted edge.
#include <gtest/gtest.h>

#include <algorithm>

#include "retouch/frame/frame_geometry.h"

namespace {

using frame::AspectContext;

// A 4:3 client area (400 x 300) in a window with 8-pixel borders and a 19-pixel caption.
AspectContext FourByThree() { return AspectContext{400, 300, 16, 35, 416, 335}; }

TEST(FrameAspect, RightEdgeMakesTheHeightFollow) {
  int32_t l = 10, t = 20, r = 10 + 496, b = 20 + 335;  // 80 wider
  frame::KeepAspectWhileSizing(FourByThree(), false, &l, &t, &r, &b);
  EXPECT_EQ(r, 506);
  EXPECT_EQ(b - t, 35 + 480 * 300 / 400);
}

TEST(FrameAspect, BottomEdgeMakesTheWidthFollow) {
  int32_t l = 10, t = 20, r = 10 + 416, b = 20 + 335 + 60;
  frame::KeepAspectWhileSizing(FourByThree(), true, &l, &t, &r, &b);
  EXPECT_EQ(b, 20 + 395);
  EXPECT_EQ(r - l, 16 + 360 * 400 / 300);
}

TEST(FrameAspect, WhichSideFollowsDependsOnTheEdgeWhenBothChange) {
  // A corner drag changes both: from a top or bottom edge or corner the width follows the height.
  int32_t l = 0, t = 0, r = 516, b = 435;
  frame::KeepAspectWhileSizing(FourByThree(), true, &l, &t, &r, &b);
  EXPECT_EQ(r, 16 + 400 * 400 / 300);
  l = 0, t = 0, r = 516, b = 435;
  frame::KeepAspectWhileSizing(FourByThree(), false, &l, &t, &r, &b);
  EXPECT_EQ(b, 35 + 500 * 300 / 400);
}

TEST(FrameAspect, UnchangedSizeStaysAsProposed) {
  int32_t l = 5, t = 6, r = 5 + 416, b = 6 + 335;
  frame::KeepAspectWhileSizing(FourByThree(), false, &l, &t, &r, &b);
  EXPECT_EQ(r, 421);
  EXPECT_EQ(b, 341);
}

TEST(FrameAspect, PositionChangeKeepsProportionsAndStaysOnScreen) {
  int32_t cx = 416, cy = 635;  // taller only: width follows
  frame::KeepAspectOnPosChange(FourByThree(), false, 1280, 1024, &cx, &cy);
  EXPECT_EQ(cx, 16 + 600 * 400 / 300);
  EXPECT_EQ(cy, 635);

  cx = 5000, cy = 335;  // far too wide: limited to the screen, height from it
  frame::KeepAspectOnPosChange(FourByThree(), true, 1280, 1024, &cx, &cy);
  EXPECT_EQ(cx, 1280);
  EXPECT_EQ(cy, 35 + 1264 * 300 / 400);

  // A narrow proportion: the height limit applies after the width limit.
  const AspectContext tall{100, 400, 16, 35, 116, 435};
  cx = 116, cy = 4000;
  frame::KeepAspectOnPosChange(tall, false, 1280, 1024, &cx, &cy);
  EXPECT_EQ(cy, 1024);
  EXPECT_EQ(cx, 16 + (1024 - 35) * 100 / 400);
  EXPECT_LE(cx, 1280);
}

TEST(FrameAspect, MissingProportionsUse640By480) {
  const AspectContext none{0, 0, 16, 35, 416, 335};
  EXPECT_EQ(frame::HeightForWidth(none, 656), 35 + 640 * 480 / 640);
  const AspectContext negative{-5, 300, 16, 35, 416, 335};
  EXPECT_EQ(frame::WidthForHeight(negative, 515), 16 + 480 * 640 / 480);
}

TEST(FrameAspect, HugeValuesDoNotOverflow) {
  const AspectContext big{2000000000, 3, 0, 0, 10, 10};
  EXPECT_EQ(frame::WidthForHeight(big, 2000000000), INT32_MAX);
  int32_t cx = 20, cy = 2000000000;
  frame::KeepAspectOnPosChange(big, false, 1280, 1024, &cx, &cy);
  EXPECT_LE(cx, 1280);
  EXPECT_LE(cy, 1024);
}

TEST(FrameOpening, ClientSizeFromTheFrameRectangleOrTheImage) {
  const frame::Size a = frame::OpeningClientSize(416, 335, 8, 8, 19, 64, 48);
  EXPECT_EQ(a.width, 400);
  EXPECT_EQ(a.height, 300);
  // Smaller than the borders and caption: the image's own size.
  const frame::Size b = frame::OpeningClientSize(10, 10, 8, 8, 19, 640, 320);
  EXPECT_EQ(b.width, 640);
  EXPECT_EQ(b.height, 320);
  const frame::Size c = frame::OpeningClientSize(500, 35, 8, 8, 19, 64, 48);  // no height left
  EXPECT_EQ(c.width, 64);
  EXPECT_EQ(c.height, 48);
  const frame::Size w = frame::OpeningWindowSize(frame::Size{400, 300}, 8, 8, 19);
  EXPECT_EQ(w.width, 416);
  EXPECT_EQ(w.height, 335);
}

TEST(FrameEdge, OutlineBevelsAndNotches) {
  const int W = 300, H = 200, fx = 4, fy = 4, c = 19;
  const frame::EdgeGeometry g = frame::FrameEdge(W, H, fx, fy, c);
  // Bands of the face colour along the four sides.
  EXPECT_EQ(g.bands[0].bottom, fy - 1);
  EXPECT_EQ(g.bands[1].right, fx - 1);
  EXPECT_EQ(g.bands[2].top, H - fy + 1);
  EXPECT_EQ(g.bands[3].left, W - fy + 1);
  // Every stroke is axis-parallel except where the notch quirk bends one, and lies within one
  // pixel of the window.
  int black = 0, grey = 0, white = 0;
  for (const frame::Stroke& s : g.strokes) {
    black += s.color == frame::kEdgeBlack;
    grey += s.color == frame::kEdgeGrey;
    white += s.color == frame::kEdgeWhite;
    EXPECT_GE(std::min(s.x0, s.x1), -1);
    EXPECT_LE(std::max(s.x0, s.x1), W);
    EXPECT_LE(std::max(s.y0, s.y1), H);
  }
  EXPECT_EQ(black, 4);
  EXPECT_EQ(grey, 4 + 8);
  EXPECT_EQ(white, 4 + 8);
  // The outer black line closes at the top-left corner and runs down to the bottom.
  EXPECT_EQ(g.strokes[3].x0, 0);
  EXPECT_EQ(g.strokes[3].y1, H);
  // The grey notch on the left side at caption + border, the white one a pixel below it.
  const int s = c + fy;
  bool greyNotch = false, whiteNotch = false;
  for (const frame::Stroke& st : g.strokes) {
    greyNotch |= st.color == frame::kEdgeGrey && st.x0 == 0 && st.y0 == s && st.x1 == fx && st.y1 == s;
    whiteNotch |= st.color == frame::kEdgeWhite && st.x0 == 0 && st.y0 == s + 1 && st.x1 == fx && st.y1 == s + 1;
  }
  EXPECT_TRUE(greyNotch);
  EXPECT_TRUE(whiteNotch);
}

TEST(FrameEdge, UpperRightWhiteNotchStartsFromTheVerticalNotchOffset) {
  // With a wider border than it is high, the upper right white notch slants: it starts at
  // (W, caption + fx + 1) and ends at (W - fx - 1, caption + fy + 1).
  const int W = 300, H = 200, fx = 6, fy = 4, c = 19;
  const frame::EdgeGeometry g = frame::FrameEdge(W, H, fx, fy, c);
  bool found = false;
  for (const frame::Stroke& st : g.strokes)
    found |= st.color == frame::kEdgeWhite && st.x0 == W && st.y0 == c + fx + 1 && st.x1 == W - fx - 1 &&
             st.y1 == c + fy + 1;
  EXPECT_TRUE(found);
}

}  // namespace
