#include "retouch/frame/frame_geometry.h"

#include <limits>

namespace frame {
namespace {

int32_t Clamp32(int64_t v) {
  if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

int64_t AspectW(const AspectContext& c) { return c.aspectWidth > 0 && c.aspectHeight > 0 ? c.aspectWidth : 640; }
int64_t AspectH(const AspectContext& c) { return c.aspectWidth > 0 && c.aspectHeight > 0 ? c.aspectHeight : 480; }

}  // namespace

int32_t WidthForHeight(const AspectContext& c, int32_t windowHeight) {
  return Clamp32((int64_t{windowHeight} - c.ncHeight) * AspectW(c) / AspectH(c) + c.ncWidth);
}

int32_t HeightForWidth(const AspectContext& c, int32_t windowWidth) {
  return Clamp32((int64_t{windowWidth} - c.ncWidth) * AspectH(c) / AspectW(c) + c.ncHeight);
}

void KeepAspectWhileSizing(const AspectContext& c, bool fromTopOrBottom, int32_t* left, int32_t* top,
                           int32_t* right, int32_t* bottom) {
  const int64_t rw = int64_t{*right} - *left;
  const int64_t rh = int64_t{*bottom} - *top;
  const bool heightChanged = rh != c.windowHeight;
  const bool widthChanged = rw != c.windowWidth;
  auto followHeight = [&] { *right = Clamp32(int64_t{*left} + WidthForHeight(c, Clamp32(rh))); };
  auto followWidth = [&] { *bottom = Clamp32(int64_t{*top} + HeightForWidth(c, Clamp32(rw))); };
  if (fromTopOrBottom) {
    if (heightChanged) followHeight();
    else if (widthChanged) followWidth();
  } else {
    if (widthChanged) followWidth();
    else if (heightChanged) followHeight();
  }
}

void KeepAspectOnPosChange(const AspectContext& c, bool fromTopOrBottom, int32_t screenWidth,
                           int32_t screenHeight, int32_t* cx, int32_t* cy) {
  const bool widthChanged = *cx != c.windowWidth;
  const bool heightChanged = *cy != c.windowHeight;
  if (fromTopOrBottom) {
    if (widthChanged) *cy = HeightForWidth(c, *cx);
    else if (heightChanged) *cx = WidthForHeight(c, *cy);
  } else {
    if (heightChanged) *cx = WidthForHeight(c, *cy);
    else if (widthChanged) *cy = HeightForWidth(c, *cx);
  }
  if (*cx > screenWidth) {
    *cx = screenWidth;
    *cy = HeightForWidth(c, *cx);
  }
  if (*cy > screenHeight) {
    *cy = screenHeight;
    *cx = WidthForHeight(c, *cy);
  }
}

Size OpeningClientSize(int32_t frameWidth, int32_t frameHeight, int32_t cxFrame, int32_t cyFrame,
                       int32_t cyCaption, int32_t imageWidth, int32_t imageHeight) {
  const int64_t w = int64_t{frameWidth} - 2 * int64_t{cxFrame};
  const int64_t h = int64_t{frameHeight} - cyCaption - 2 * int64_t{cyFrame};
  if (w <= 0 || h <= 0) return {imageWidth, imageHeight};
  return {Clamp32(w), Clamp32(h)};
}

Size OpeningWindowSize(Size client, int32_t cxFrame, int32_t cyFrame, int32_t cyCaption) {
  return {Clamp32(int64_t{client.width} + 2 * int64_t{cxFrame}),
          Clamp32(int64_t{client.height} + 2 * int64_t{cyFrame} + cyCaption)};
}

EdgeGeometry FrameEdge(int32_t W, int32_t H, int32_t fx, int32_t fy, int32_t c) {
  EdgeGeometry g{};
  g.bands = {Band{0, 0, W, fy - 1}, Band{0, 0, fx - 1, H}, Band{0, H - fy + 1, W, H},
             Band{W - fy + 1, 0, W, H}};
  const int32_t s = c + fy;
  const int32_t t = c + fx;
  int n = 0;
  auto add = [&](uint32_t color, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    g.strokes[n++] = Stroke{color, x0, y0, x1, y1};
  };
  // Outer black line.
  add(kEdgeBlack, 0, H - 1, W - 1, H - 1);
  add(kEdgeBlack, W - 1, H - 1, W - 1, 0);
  add(kEdgeBlack, W - 1, 0, 0, 0);
  add(kEdgeBlack, 0, 0, 0, H);
  // Raised outer bevel.
  add(kEdgeGrey, 1, H - 2, W - 2, H - 2);
  add(kEdgeGrey, W - 2, H - 2, W - 2, 1);
  add(kEdgeWhite, W - 2, 1, 1, 1);
  add(kEdgeWhite, 1, 1, 1, H - 2);
  // Sunken inner bevel around the client area and caption.
  add(kEdgeWhite, fx, H - fy, W - fx, H - fy);
  add(kEdgeWhite, W - fx, H - fy, W - fx, fy - 1);
  add(kEdgeGrey, W - fx, fy - 1, fx - 1, fy - 1);
  add(kEdgeGrey, fx - 1, fy - 1, fx - 1, H - fy);
  // Sizing notches, grey, then the same one pixel further in white.
  for (int pass = 0; pass < 2; ++pass) {
    const uint32_t color = pass == 0 ? kEdgeGrey : kEdgeWhite;
    const int32_t d = pass;  // y + 1 for the horizontal notches, x + 1 for the vertical ones
    add(color, 0, s + d, fx, s + d);
    add(color, t + d, 0, t + d, fy);
    if (pass == 0) add(color, W, s, W - fx - 1, s);
    else add(color, W, t + 1, W - fx - 1, s + 1);
    add(color, W - t + d, 0, W - t + d, fy);
    add(color, 0, H - s + d, fx, H - s + d);
    add(color, t + d, H, t + d, H - fy - 1);
    add(color, W, H - s + d, W - fx - 1, H - s + d);
    add(color, W - t + d, H, W - t + d, H - fy - 1);
  }
  return g;
}

}  // namespace frame
