// Pieces of the selection shared by its source files; not an interface.
#pragma once

#include "retouch/imaging/selection.h"

namespace sel::detail {

enum Bases : unsigned { kRotationBase = 1, kSizeBase = 2, kAllBases = 3 };

// A base of copies of the given parts.
bool MakeBase(const Rect& rect, const PodArray<Point>& points, const Crossings& rows, const Image& image,
              const Image& mask, Base* out);
void SwapBase(Base& a, Base& b);

// The state a transform computes before committing it.
struct Next {
  Rect rect{};
  PodArray<Point> outline;
  Crossings rows;
  Image source, mask;
};
// Makes `n` the floating selection: the bases named by `which` (the others stay), the move base's
// crossings, the outline backup, completedRect, the mask source, the shown image (the source with
// the adjustments) and the shown rectangles. False, with `s` unchanged, when memory fails.
bool Commit(Selection& s, Next& n, Bases which, const Metrics& m);
// handleZone, the shown rectangles and the handle layout from selectionRect.
void ShowRects(Selection& s, const Metrics& m);
// Walks the outline on to (x, y) and back to its first point and settles the crossings.
bool CloseOutline(Selection& s, int32_t x, int32_t y, const Rect& client, Clamp clamp, Crossings* rows);

// The outline of `points` replayed into a lasso over rows 0 .. height - 1 of an image `width`
// wide: its points, crossings and rectangle (false when it encloses nothing).
bool Replay(const PodArray<Point>& points, int32_t width, int32_t height, Next* n);
// A copy of the part `r` of the 24-bit `image` (black where it lies outside).
bool CropImage(const dib::View& image, const Rect& r, Image* out);

Rect Union(const Rect& a, const Rect& b);
Rect Grow(const Rect& r, int32_t dx, int32_t dy);
// The smallest rectangle holding every point (exclusive right and bottom); empty without points.
Rect BoundsOf(const PodArray<Point>& points);

}  // namespace sel::detail
