// A selection loaded from the library becomes the floating selection.
#include <cstring>
#include <utility>

#include "retouch/imaging/selection.h"
#include "retouch/imaging/selection_internal.h"
#include "retouch/imaging/selection_library.h"

namespace sel {

using namespace detail;

namespace {

// The crossings of the mask's inside runs at (left, top): exactly the mask, whatever its shape.
// An outline traced through the mask's edge pixels would replay to one column and one row less
// per run (the lasso's own outline runs beside those pixels, not through them). The picture is
// made black outside the mask, as drawing it over the image expects (a file need not be).
bool CrossingsOfMask(const dib::View& mask, const dib::View& picture, int32_t left, int32_t top, int32_t rowCount,
                     Crossings* out) {
  ToggleLog log;
  for (int32_t y = 0; y < mask.height; ++y) {
    const uint8_t* row = mask.Row(y);
    uint8_t* pixels = picture.Row(y);
    bool inside = false;
    for (int32_t x = 0; x <= mask.width; ++x) {
      const bool in = x < mask.width && row[static_cast<size_t>(x) * 3 + 2] == 0;
      if (in != inside && !log.Push(top + y, left + x)) return false;
      if (x < mask.width && !in) std::memset(pixels + static_cast<size_t>(x) * 3, 0, 3);
      inside = in;
    }
  }
  return out->Build(rowCount, log);
}

}  // namespace

bool PlaceLoadedSelection(Selection& s, Image& image, Image& mask, int32_t x, int32_t y, int32_t imageWidth,
                          int32_t imageHeight, const Metrics& m) {
  if (!image.exists() || !mask.exists() || image.width() != mask.width() || image.height() != mask.height()) return false;
  sellib::Placement placed;
  if (!sellib::PlaceSelection(mask.view(), imageWidth, imageHeight, x, y, &placed)) return false;
  PodArray<Point> traced;
  if (!traced.Reserve(placed.outline.size())) return false;
  for (const sellib::Point& p : placed.outline) traced.Push(Point{p.x, p.y});
  // The replay walks its own copy of the points: the traced ones stay until it is done.
  Next n;
  Replay(traced, imageWidth, imageHeight, &n);
  if (n.outline.empty()) return false;
  n.rect = Rect{placed.left, placed.top, placed.left + mask.width(), placed.top + mask.height()};
  n.rows.Clear();
  if (!CrossingsOfMask(mask.view(), image.view(), placed.left, placed.top, imageHeight, &n.rows)) return false;
  n.source.CopyFrom(image);
  n.mask.CopyFrom(mask);
  Selection next;
  if (!Commit(next, n, kAllBases, m)) return false;
  s = std::move(next);
  image.Clear();
  mask.Clear();
  return true;
}

}  // namespace sel
