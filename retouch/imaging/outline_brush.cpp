// The outline brush (tool 115): a disc that pushes the run of outline points under it onto its
// rim, outward or inward depending on where the stroke began, and the rebuild of the floating
// selection from the reshaped outline when the stroke ends.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "retouch/imaging/dib_ops.h"
#include "retouch/imaging/selection.h"
#include "retouch/imaging/selection_internal.h"

namespace sel {

using namespace detail;

namespace detail {

bool CropImage(const dib::View& image, const Rect& r, Image* out) {
  Image crop;
  if (!dib::Is24(image) || r.Empty() || !crop.Create(r.Width(), r.Height(), 0)) return false;
  const int32_t lo = std::max(r.left, 0), hi = std::min(r.right, image.width);
  const int32_t top = std::max(r.top, 0), bottom = std::min(r.bottom, image.height);
  for (int32_t y = top; lo < hi && y < bottom; ++y) {
    std::memcpy(crop.view().Pixel24(lo - r.left, y - r.top), image.Pixel24(lo, y), static_cast<size_t>(hi - lo) * 3);
  }
  out->Swap(crop);
  return true;
}

}  // namespace detail

namespace {

// Blackens `picture` (placed at `rect`) outside the crossings and makes its mask.
bool Trim(Image& picture, const Rect& rect, const Crossings& rows, Image* mask) {
  Image shape;
  if (!shape.Create(rect.Width(), rect.Height(), 255)) return false;
  const dib::View& v = picture.view();
  for (int32_t i = rect.top; i < rect.bottom; ++i) {
    int32_t n = 0;
    const int32_t* xs = rows.Row(i, &n);
    uint8_t* p = v.Row(i - rect.top);
    uint8_t* k = shape.view().Row(i - rect.top);
    int32_t from = rect.left;  // start of the gap before the next span
    for (int32_t j = 0; j + 1 < n; j += 2) {
      const int32_t a = std::clamp(xs[j], rect.left, rect.right), b = std::clamp(xs[j + 1], rect.left, rect.right);
      if (a > from) std::memset(p + static_cast<size_t>(from - rect.left) * 3, 0, static_cast<size_t>(a - from) * 3);
      if (b > a) std::memset(k + static_cast<size_t>(a - rect.left) * 3, 0, static_cast<size_t>(b - a) * 3);
      from = std::max(from, b);
    }
    if (rect.right > from) std::memset(p + static_cast<size_t>(from - rect.left) * 3, 0, static_cast<size_t>(rect.right - from) * 3);
  }
  mask->Swap(shape);
  return true;
}

struct Circle {
  double cx, cy, r;
  int32_t imageHeight;
  bool Holds(const Point& p) const {
    if (p.y < 1 || p.y > imageHeight - 2) return false;
    const double dy = p.y - cy;
    if (!(p.y > cy - r && p.y < cy + r)) return false;
    const double half = std::sqrt(r * r - dy * dy);
    return p.x > cx - half && p.x < cx + half;
  }
  // The full angle of a vertex on the rim's height: asin, then into the vertex's half.
  double AngleOf(const Point& p, bool* ok) const {
    const double u = (cy - p.y) / r;
    *ok = u >= -1.0 && u <= 1.0;
    if (!*ok) return 0;
    double a = std::asin(u);
    if (p.x > cx && a < 0) a += 2 * std::numbers::pi;
    if (p.x < cx) a = std::numbers::pi - a;
    return a;
  }
  Point At(double theta) const {
    return Point{static_cast<int32_t>(cx + r * std::cos(theta)), static_cast<int32_t>(cy - r * std::sin(theta))};
  }
};

}  // namespace

bool BeginOutlineStroke(Selection& s, int32_t x, int32_t y) {
  s.outlineStroke = false;
  if (!s.floatActive || s.selectionRect.Empty()) return false;
  const int32_t inside = MaskTest(s, x, y);
  if (inside < 0) return false;
  PodArray<Point> outline;
  Crossings rows;
  if (!outline.CopyFrom(s.outlineBackup) || !rows.CopyFrom(s.moveBaseRows)) return false;
  s.strokeOutline.Swap(outline);
  s.strokeRows.Swap(rows);
  s.pushStartedOutside = inside != 1;
  s.pushRect = s.selectionRect;
  s.pushBaseRect = s.completedRect;
  // The handles go while the outline is pushed.
  s.shownSelectionRect = s.shownHandleZone = Rect{};
  LayoutHandles(Rect{}, 0, 0, s.handleRects);
  s.outlineStroke = true;
  return true;
}

DabResult OutlineDab(Selection& s, int32_t cx, int32_t cy, int32_t radius, int32_t imageWidth, int32_t imageHeight) {
  if (!s.outlineStroke) return DabResult::kNothing;
  if (s.outlineBackup.empty() || !s.moveBaseRows.exists()) return DabResult::kDrop;
  if (radius <= 0 || imageWidth <= 2 || imageHeight <= 2) return DabResult::kNothing;
  const Circle c{static_cast<double>(cx), static_cast<double>(cy), static_cast<double>(radius), imageHeight};
  const PodArray<Point>& v = s.outlineBackup;
  const size_t n = v.size();
  // The one run of consecutive vertices inside the disc, which may wrap past the end.
  size_t start = n, runs = 0, inside = 0;
  for (size_t i = 0; i < n; ++i) {
    const bool in = c.Holds(v[i]);
    inside += in;
    if (in && !c.Holds(v[(i + n - 1) % n])) {
      start = i;
      ++runs;
    }
  }
  if (runs != 1 || inside == n) return DabResult::kNothing;
  const size_t length = inside;  // one run: every inside vertex belongs to it
  const Point& p1 = v[start];
  const Point& p2 = v[(start + length - 1) % n];
  bool ok1 = false, ok2 = false;
  const double t1 = c.AngleOf(p1, &ok1), t2 = c.AngleOf(p2, &ok2);
  if (!ok1 || !ok2) return DabResult::kNothing;
  const double tm = (t1 + t2) / 2;
  const Point m1 = c.At(tm), m2 = c.At(tm + std::numbers::pi);
  auto qualifies = [&](const Point& p) { return s.moveBaseRows.StrictlyInside(p.x, p.y) == s.pushStartedOutside; };
  const double steps = static_cast<double>(length + 3);
  double step;
  Point mid;
  if (qualifies(m1)) {
    step = std::fabs(t2 - t1) / steps * (t2 < t1 ? -1 : 1);
    mid = m1;
  } else if (qualifies(m2)) {
    step = (2 * std::numbers::pi - std::fabs(t2 - t1)) / steps * (t2 > t1 ? -1 : 1);
    mid = m2;
  } else {
    return DabResult::kNothing;
  }
  // The box of the arc: its quarter points, its ends and its middle.
  const Point q1 = c.At(t1 + steps * step / 4), q3 = c.At(t1 + 3 * steps * step / 4);
  Rect box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (const Point& p : {q1, q3, p1, p2, mid}) {
    box = Rect{std::min(box.left, p.x), std::min(box.top, p.y), std::max(box.right, p.x), std::max(box.bottom, p.y)};
  }
  PodArray<Point> moved;
  if (!moved.CopyFrom(v)) return DabResult::kNothing;
  const Rect& w = s.pushRect;
  for (size_t k = 1; k <= length; ++k) {
    Point p = c.At(t1 + static_cast<double>(k) * step);
    if (s.pushStartedOutside) {
      p.x = std::clamp(p.x, box.left, box.right);
      p.y = std::clamp(p.y, box.top, box.bottom);
      p.x = std::clamp(p.x, w.left + 1, std::max(w.left + 1, w.right - 1));
      p.y = std::clamp(p.y, w.top + 1, std::max(w.top + 1, w.bottom - 1));
    }
    p.x = std::clamp(p.x, 1, imageWidth - 2);
    p.y = std::clamp(p.y, 1, imageHeight - 2);
    moved[(start + k - 1) % n] = p;
  }
  Next next;
  PodArray<Point> drawn;
  if (!Replay(moved, imageWidth, imageHeight, &next) || !drawn.CopyFrom(next.outline)) return DabResult::kNothing;
  s.selectionReshaped = !(next.rect == s.pushBaseRect);
  s.moveBaseRows.Swap(next.rows);
  s.pushRect = s.pushBaseRect = next.rect;
  s.outlineBackup.Swap(next.outline);
  s.outline.Swap(drawn);
  return DabResult::kReshaped;
}

bool RederiveSelection(Selection& s, const dib::View& image, const Metrics& m) {
  if (!s.outlineStroke) return false;
  s.outlineStroke = false;
  Next n;
  const Rect c = s.completedRect;
  bool ok = n.rows.CopyFrom(s.moveBaseRows) && n.outline.CopyFrom(s.outlineBackup);
  n.rect = ok ? ComputeSelectionRect(n.rows) : Rect{};
  ok = ok && !n.rect.Empty() && s.selectionSource.exists() && s.selectionMaskSource.exists();
  // The picture comes from the unadjusted source, so the kept adjustments apply once.
  if (ok && s.pushStartedOutside) {
    // Area removed: what is left of the old picture, over the image under the old rectangle.
    n.rect = Rect{std::max(n.rect.left, c.left), std::max(n.rect.top, c.top), std::min(n.rect.right, c.right),
                  std::min(n.rect.bottom, c.bottom)};
    Image under;
    ok = !n.rect.Empty() && CropImage(image, c, &under) &&
         dib::PasteMasked(under.view(), s.selectionSource.view(), s.selectionMaskSource.view(), 0, 0) &&
         n.source.Create(n.rect.Width(), n.rect.Height(), 0);
    if (ok) {
      for (int32_t y = 0; y < n.rect.Height(); ++y) {
        std::memcpy(n.source.view().Row(y), under.view().Pixel24(n.rect.left - c.left, n.rect.top - c.top + y),
                    static_cast<size_t>(n.rect.Width()) * 3);
      }
    }
  } else if (ok) {
    // Area added: the image under the new rectangle with the old picture over it.
    ok = CropImage(image, n.rect, &n.source) &&
         dib::PasteMasked(n.source.view(), s.selectionSource.view(), s.selectionMaskSource.view(), c.left - n.rect.left,
                          c.top - n.rect.top);
  }
  ok = ok && Trim(n.source, n.rect, n.rows, &n.mask);
  const bool reshaped = !(n.rect == c);
  if (ok && Commit(s, n, kAllBases, m)) {
    s.selectionReshaped = reshaped;
    s.rotationAngle = 0;
    s.strokeOutline.Clear();
    s.strokeRows.Clear();
    return true;
  }
  // The outline as it was before the stroke, with its handles.
  s.outlineBackup.Swap(s.strokeOutline);
  s.moveBaseRows.Swap(s.strokeRows);
  s.outline.CopyFrom(s.outlineBackup);
  s.strokeOutline.Clear();
  s.strokeRows.Clear();
  s.pushRect = s.pushBaseRect = s.selectionRect;
  ShowRects(s, m);
  return false;
}

}  // namespace sel
