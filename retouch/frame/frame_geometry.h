// Arithmetic of the editor frame that needs no window: the client size it opens with, the sizes
// that keep the client area in its opening proportions while the user sizes it, and the lines of
// its own painted edge. Integer arithmetic, truncating, multiplication before division.
#pragma once

#include <array>
#include <cstdint>

namespace frame {

// Aspect ratio kept while sizing, and the frame's current non-client and window sizes.
struct AspectContext {
  int32_t aspectWidth;   // client width the frame was opened with (640 when missing or zero)
  int32_t aspectHeight;  // client height the frame was opened with (480 when missing or zero)
  int32_t ncWidth;       // window width minus client width
  int32_t ncHeight;      // window height minus client height
  int32_t windowWidth;   // current window size
  int32_t windowHeight;
};

// Window width whose client area keeps the aspect ratio for the given window height, and the
// reverse.
int32_t WidthForHeight(const AspectContext& c, int32_t windowHeight);
int32_t HeightForWidth(const AspectContext& c, int32_t windowWidth);

// A proposed sizing rectangle (screen coordinates) adjusted in place. `fromTopOrBottom`: the user
// drags a top or bottom edge or a corner.
void KeepAspectWhileSizing(const AspectContext& c, bool fromTopOrBottom, int32_t* left, int32_t* top,
                           int32_t* right, int32_t* bottom);

// A proposed window size adjusted in place, then limited to the screen.
void KeepAspectOnPosChange(const AspectContext& c, bool fromTopOrBottom, int32_t screenWidth,
                           int32_t screenHeight, int32_t* cx, int32_t* cy);

// Client size for an opening frame rectangle: the rectangle less the borders and the caption, or
// the image's own size when that leaves no area.
struct Size {
  int32_t width;
  int32_t height;
};
Size OpeningClientSize(int32_t frameWidth, int32_t frameHeight, int32_t cxFrame, int32_t cyFrame,
                       int32_t cyCaption, int32_t imageWidth, int32_t imageHeight);
// Outer window size for a client size.
Size OpeningWindowSize(Size client, int32_t cxFrame, int32_t cyFrame, int32_t cyCaption);

// The frame's painted edge: four light-grey bands, then lines drawn from point to point with the
// end point excluded.
struct Band {
  int32_t left, top, right, bottom;
};
struct Stroke {
  uint32_t color;  // 0x00BBGGRR
  int32_t x0, y0, x1, y1;
};
constexpr uint32_t kEdgeFace = 0x00C0C0C0;
constexpr uint32_t kEdgeBlack = 0x00000000;
constexpr uint32_t kEdgeGrey = 0x00808080;
constexpr uint32_t kEdgeWhite = 0x00FFFFFF;
constexpr int kEdgeStrokeCount = 28;
struct EdgeGeometry {
  std::array<Band, 4> bands;
  std::array<Stroke, kEdgeStrokeCount> strokes;
};
// W, H: window size; fx, fy: sizing border; c: caption height.
EdgeGeometry FrameEdge(int32_t W, int32_t H, int32_t fx, int32_t fy, int32_t c);

}  // namespace frame
