// The retouching brushes over the pixels of a 24-bit image: clipping a dab against the image, the
// per-pixel work of each tool, the line walk that turns one pointer movement into dab positions,
// and the rectangles of the stroke bookkeeping. Portable: no windows.h; the Win32 layer locks the
// blocks, draws the brush mask and hands the views in here.
//
// Masks are 8-bit views (0 outside, anything else inside), addressed like images: row r counted
// from the top of the dab is View::Row(r). Colours are COLORREF values 0x00BBGGRR; a 24-bit pixel
// stores blue, green, red.
#pragma once

#include <cstdint>

#include "retouch/imaging/dib_view.h"
#include "retouch/imaging/tool_codes.h"

namespace brush {

// Left, top, right, bottom in image coordinates (y down); right and bottom exclusive.
struct Rect {
  int32_t left, top, right, bottom;
};
inline bool operator==(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// ---- Geometry of a stroke -------------------------------------------------------------------

// 2 for the soft spray (drawn at double size), else 1.
int32_t BrushScale(int32_t tool, int32_t option);

// The brush rectangle of a dab at (x, y): halves and sizes times `scale` (the spray's scale;
// 1 for every other tool).
Rect DabRect(int32_t x, int32_t y, int32_t width, int32_t height, int32_t scale);

// Period in milliseconds of the timer that repeats the spray while the button is held.
int32_t SprayPeriod(int32_t width, int32_t height);

void StartBounds(StrokeBounds* bounds, int32_t x, int32_t y);
void ExtendBounds(StrokeBounds* bounds, int32_t x, int32_t y);

// The rectangle recorded for undo when a stroke of 117, 118, 119, 121 or 122 ends: the brush
// positions grown by the brush halves (times `scale`) and a margin of 1 (2 at the bottom).
Rect StrokeRecordRect(const StrokeBounds& bounds, int32_t width, int32_t height, int32_t scale);

// The rectangle recorded when the stamp is pressed with a sample: the brush around the press
// point. An odd width is covered up to the dab's own right edge.
Rect StampRecordRect(const StrokeBounds& bounds, int32_t width, int32_t height);

// `r` with left and top raised to 0 and right and bottom lowered to the image size.
Rect ClampToImage(Rect r, int32_t width, int32_t height);

// Integer line walk from (x0, y0) to (x1, y1), both ends included: `visit(x, y)` at the start,
// then once per step along the longer axis, stepping diagonally whenever the error is not
// negative. The error starts at 2 (minor - major).
template <class Visit>
void WalkLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, Visit&& visit) {
  const int64_t dx = static_cast<int64_t>(x1) - x0;
  const int64_t dy = static_cast<int64_t>(y1) - y0;
  const int32_t sx = dx < 0 ? -1 : 1;
  const int32_t sy = dy < 0 ? -1 : 1;
  const int64_t ax = dx < 0 ? -dx : dx;
  const int64_t ay = dy < 0 ? -dy : dy;
  const bool xMajor = ax >= ay;
  const int64_t major = xMajor ? ax : ay;
  const int64_t minor = xMajor ? ay : ax;
  int64_t error = 2 * (minor - major);
  int32_t x = x0, y = y0;
  visit(x, y);
  for (int64_t n = 0; n < major; ++n) {
    if (error < 0) {
      if (xMajor) x += sx; else y += sy;
      error += 2 * minor;
    } else {
      x += sx;
      y += sy;
      error += 2 * (minor - major);
    }
    visit(x, y);
  }
}

// The dab positions of one pointer event of `tool`, current point (cx, cy), previous point
// (px, py), in order: the paint and clone brushes dab at every point of the line from the
// current to the previous point; every other tool, and any tool when both points are equal,
// dabs once at the previous point.
template <class Visit>
void ForEachDab(int32_t tool, int32_t cx, int32_t cy, int32_t px, int32_t py, Visit&& visit) {
  if (DabsAlongMovement(tool) && (cx != px || cy != py)) {
    WalkLine(cx, cy, px, py, visit);
  } else {
    visit(px, py);
  }
}

// ---- One dab ---------------------------------------------------------------------------------

// The part of a dab that lies on the image: `width` x `height` pixels from image pixel (x, y),
// paired with the mask from mask pixel (maskX, maskY).
struct DabClip {
  int32_t x, y;
  int32_t width, height;
  int32_t maskX, maskY;
};

// Clips a mask of maskWidth x maskHeight placed at (left, top) against an image of
// imageWidth x imageHeight. False when nothing of it lies on the image.
bool ClipDab(int32_t imageWidth, int32_t imageHeight, int32_t maskWidth, int32_t maskHeight,
             int32_t left, int32_t top, DabClip* clip);

// Normalised distance from the centre of a soft dab of width x height pixels: 0 at the centre,
// 1 at the edge of the inscribed ellipse and beyond.
class SoftShape {
 public:
  SoftShape(int32_t width, int32_t height);
  // True when a semi-axis is 0 (the soft spray then paints nothing).
  bool degenerate() const { return a_ == 0.0 || aa_ == 0.0 || bb_ == 0.0; }
  double Distance(int32_t column, int32_t row) const;
  // Centre offset of a column (or row) of a dab `size` pixels long.
  static int32_t Offset(int32_t index, int32_t size);
 private:
  int32_t width_, height_;
  double a_, aa_, bb_, l_;
};

struct DabSettings {
  int32_t tool = TOOL_PAINT;
  int32_t option = 0;      // 0 hard, 1 soft (paint, restore, spray)
  int32_t strength = 100;  // percent
  uint32_t color = 0;      // COLORREF
};

// The blocks a dab reads or writes besides the image and the mask; the tools that need one
// refuse to work without it.
struct DabBlocks {
  dib::View coverage;  // 8-bit, image size: what the current paint stroke has treated
  dib::View snapshot;  // 24-bit, image size: the image when the paint stroke began (soft)
  dib::View backup;    // 24-bit, image size: the image the restore brush brings back
  dib::View sample;    // 24-bit: the stamp's and clone's patch, addressed at the mask offsets
};

// Applies one dab of `settings.tool` with the mask's top-left corner at image pixel (left, top).
// Returns 0 and leaves the image unchanged when the image is not a 24-bit view, the mask not an
// 8-bit view, a block the tool needs is missing or does not fit the image, or the tool has no dab
// here; otherwise 1 (also when the dab lies wholly outside the image).
int ApplyDab(const DabSettings& settings, int32_t left, int32_t top, const dib::View& image,
             const dib::View& mask, const DabBlocks& blocks);

// ---- Soft blend (restore and spray) ----------------------------------------------------------

// A soft restore or spray dab moves channel c towards o by trunc((c (100 - w) + o w) / 100),
// evaluated in doubles, with the pixel's weight w (0 to 100). The dabs compute it in fixed point
// and redo in doubles only what the fixed point cannot decide. These run that same path over
// plain bytes with one weight: p[b] towards target[b], or towards channel b % 3 of `color` (p
// then starts on a pixel).
void SoftBlendTowards(uint8_t* p, const uint8_t* target, int32_t n, double w);
void SoftBlendToColour(uint8_t* p, int32_t n, uint32_t color, double w);

// ---- Brush mask ------------------------------------------------------------------------------

// Converts the rows of a 1-bit drawing (most significant bit first, `sourceStride` bytes a row,
// first row = top of the drawing) into mask bytes, `zero` for a clear bit and `one` for a set
// bit, storing drawing row r as the mask's stored row r (the first in memory).
void MaskFromBits(const uint8_t* bits, int32_t sourceStride, uint8_t zero, uint8_t one,
                  const dib::View& mask);

}  // namespace brush
