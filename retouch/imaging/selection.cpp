// The lasso, the cut of the floating selection, its bases, the handle frame and the hit tests.
#include "retouch/imaging/selection.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "retouch/imaging/brush_ops.h"
#include "retouch/imaging/dib_ops.h"
#include "retouch/imaging/selection_internal.h"

namespace sel {

// ---- Image -----------------------------------------------------------------------------------

namespace {

// A few freed blocks, the largest last.
constexpr int kCached = 3;
void* g_cache[kCached] = {};

}  // namespace

Image::Block* Image::TakeCached(size_t size) {
  for (void*& slot : g_cache) {
    Block* b = static_cast<Block*>(slot);
    // Not much larger than needed: a small image never holds on to a large block.
    if (b != nullptr && b->capacity >= size && b->capacity - size <= size / 2) {
      slot = nullptr;
      return b;
    }
  }
  return nullptr;
}

void Image::Cache(Block* b) {
  for (void*& slot : g_cache) {
    if (slot == nullptr) {
      slot = b;
      return;
    }
  }
  // Full: the smallest goes.
  int smallest = 0;
  for (int i = 1; i < kCached; ++i)
    if (static_cast<Block*>(g_cache[i])->capacity < static_cast<Block*>(g_cache[smallest])->capacity) smallest = i;
  if (static_cast<Block*>(g_cache[smallest])->capacity > b->capacity) {
    std::free(b);
    return;
  }
  std::free(g_cache[smallest]);
  g_cache[smallest] = b;
}

void Image::ReleaseCache() {
  for (void*& slot : g_cache) {
    std::free(slot);
    slot = nullptr;
  }
}

bool Image::Create(int32_t width, int32_t height, int fill) {
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return false;
  const size_t stride = static_cast<size_t>(dib::Stride(width, 24));
  const size_t size = dib::kHeaderSize + stride * static_cast<size_t>(height);
  if (size > (size_t{1} << (sizeof(size_t) >= 8 ? 34 : 30))) return false;
  Block* b = TakeCached(size);
  if (b == nullptr) {
    b = static_cast<Block*>(std::malloc(sizeof(Block) + size));
    if (b == nullptr) return false;
    b->capacity = size;
  }
  b->refs = 1;
  b->size = size;
  dib::Header h = {};
  h.size = dib::kHeaderSize;
  h.width = width;
  h.height = height;
  h.planes = 1;
  h.bitCount = 24;
  std::memcpy(b->bytes(), &h, sizeof h);
  uint8_t* rows = b->bytes() + dib::kHeaderSize;
  if (fill >= 0) std::memset(rows, fill, size - dib::kHeaderSize);
  // The bytes that pad the rows are always 0.
  if (const size_t pad = stride - static_cast<size_t>(width) * 3; pad != 0 && fill != 0) {
    for (int32_t y = 0; y < height; ++y) std::memset(rows + stride * static_cast<size_t>(y + 1) - pad, 0, pad);
  }
  dib::View v;
  dib::ViewOfBlock(b->bytes(), size, &v);
  Clear();
  block_ = b;
  view_ = v;
  return true;
}

void Image::CopyFrom(const Image& o) {
  if (this == &o || block_ == o.block_) return;
  Clear();
  block_ = o.block_;
  view_ = o.view_;
  if (block_) ++block_->refs;
}

bool Image::Duplicate(const Image& o) {
  if (!o.exists()) {
    Clear();
    return true;
  }
  Image copy;
  if (!copy.Create(o.width(), o.height(), -1)) return false;
  std::memcpy(copy.block_->bytes(), o.block_->bytes(), o.block_->size);
  Swap(copy);
  return true;
}

void Image::Clear() {
  if (block_ && --block_->refs == 0) Cache(block_);
  block_ = nullptr;
  view_ = dib::View{};
}

void Image::Swap(Image& o) noexcept {
  std::swap(block_, o.block_);
  std::swap(view_, o.view_);
}

void Base::Clear() {
  rect = Rect{};
  points.Clear();
  rows.Clear();
  image.Clear();
  mask.Clear();
}

// ---- Helpers shared with the transforms ---------------------------------------------------------

namespace detail {

bool MakeBase(const Rect& rect, const PodArray<Point>& points, const Crossings& rows, const Image& image,
              const Image& mask, Base* out) {
  Base b;
  b.rect = rect;
  if (!b.points.CopyFrom(points) || !b.rows.CopyFrom(rows)) return false;
  b.image.CopyFrom(image);
  b.mask.CopyFrom(mask);
  SwapBase(b, *out);
  return true;
}

void SwapBase(Base& a, Base& b) {
  std::swap(a.rect, b.rect);
  a.points.Swap(b.points);
  a.rows.Swap(b.rows);
  a.image.Swap(b.image);
  a.mask.Swap(b.mask);
}

bool Commit(Selection& s, Next& n, Bases which, const Metrics& m) {
  Base rot, size;
  Crossings move;
  PodArray<Point> backup;
  Image maskSource, shown;
  if ((which & kRotationBase) && !MakeBase(n.rect, n.outline, n.rows, n.source, n.mask, &rot)) return false;
  if ((which & kSizeBase) && !MakeBase(n.rect, n.outline, n.rows, n.source, n.mask, &size)) return false;
  if (!move.CopyFrom(n.rows) || !backup.CopyFrom(n.outline) || !AdjustedImage(n.source, n.mask, s.adjust, &shown))
    return false;
  maskSource.CopyFrom(n.mask);
  if (which & kRotationBase) SwapBase(rot, s.rotBase);
  if (which & kSizeBase) SwapBase(size, s.sizeBase);
  s.moveBaseRows.Swap(move);
  s.outlineBackup.Swap(backup);
  s.outline.Swap(n.outline);
  s.selectionSource.Swap(n.source);
  s.selectionMask.Swap(n.mask);
  s.selectionMaskSource.Swap(maskSource);
  s.selectionImage.Swap(shown);
  s.rows.Clear();
  s.selectionRect = s.completedRect = n.rect;
  s.floatActive = true;
  ShowRects(s, m);
  return true;
}

void ShowRects(Selection& s, const Metrics& m) {
  s.handleZone = s.selectionRect.Empty() ? Rect{} : HandleZoneOf(s.selectionRect, m);
  if (!s.selectionRect.Empty() && !s.handleZone.Empty()) {
    s.shownSelectionRect = s.selectionRect;
    s.shownHandleZone = s.handleZone;
  } else {
    s.shownSelectionRect = s.shownHandleZone = Rect{};
  }
  LayoutHandles(s.shownHandleZone, m.bandX, m.bandY, s.handleRects);
}

Rect Union(const Rect& a, const Rect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

Rect Grow(const Rect& r, int32_t dx, int32_t dy) {
  if (r.Empty()) return r;
  return Rect{r.left - dx, r.top - dy, r.right + dx, r.bottom + dy};
}

Rect BoundsOf(const PodArray<Point>& points) {
  if (points.empty()) return Rect{};
  Rect r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (const Point& p : points) {
    r.left = std::min(r.left, p.x);
    r.top = std::min(r.top, p.y);
    r.right = std::max(r.right, p.x);
    r.bottom = std::max(r.bottom, p.y);
  }
  // Inclusive extremes to an exclusive rectangle.
  ++r.right;
  ++r.bottom;
  return r;
}

}  // namespace detail

using namespace detail;

// ---- Lasso -----------------------------------------------------------------------------------

namespace {

// No canvas reaches this far; the walks between points stay bounded whatever is passed in.
constexpr int32_t kCoordinateLimit = 1 << 20;

int32_t Bound(int32_t v) { return std::clamp(v, -kCoordinateLimit, kCoordinateLimit); }

Point ClampPoint(int32_t x, int32_t y, const Rect& client, Clamp clamp, bool start) {
  x = Bound(x);
  y = Bound(y);
  const int32_t l = Bound(client.left), t = Bound(client.top), r = Bound(client.right), b = Bound(client.bottom);
  if (clamp == Clamp::kCanvas) {
    if (x <= l) x = l + 1;
    if (x >= r - 1) x = r - 2;
    if (y <= t) y = t + 1;
    if (y >= b - 1) y = b - 2;
    if (start) return Point{x, y};
  } else if (!start) {
    x = std::clamp(x, l + 1, std::max(l + 1, r - 1));
    y = std::clamp(y, t + 1, std::max(t + 1, b - 1));
  } else {
    // A replayed outline starts where it was stored, but never outside the canvas.
    x = std::min(x, std::max(l + 1, r - 1));
    y = std::min(y, std::max(t + 1, b - 1));
  }
  return Point{std::max(x, 1), std::max(y, 1)};
}

// Walks from lassoLast to p, appending each new pixel and toggling each row change.
int32_t WalkTo(Selection& s, Point p) {
  const Point from = s.lassoLast;
  if (p == from) return -1;
  const int64_t steps = std::max<int64_t>(std::abs(int64_t{p.x} - from.x), std::abs(int64_t{p.y} - from.y));
  // Room for the whole walk first: a failure then changes nothing.
  if (!s.outline.Reserve(s.outline.size() + static_cast<size_t>(steps)) ||
      !s.toggles.Reserve(s.toggles.size() + static_cast<size_t>(steps)))
    return -1;
  const int32_t first = static_cast<int32_t>(s.outline.size());
  Point prev = from;
  brush::WalkLine(from.x, from.y, p.x, p.y, [&](int32_t x, int32_t y) {
    if (x == prev.x && y == prev.y) return;
    s.outline.Push(Point{x, y});
    if (y != prev.y) s.toggles.Step(prev.x, prev.y, x, y);
    prev = Point{x, y};
  });
  s.lassoLast = p;
  return first;
}

}  // namespace

bool StartLasso(Selection& s, int32_t x, int32_t y, const Rect& client, int32_t rowCount, Clamp clamp) {
  DropSelection(s);
  if (rowCount <= 0) return false;
  const Point p = ClampPoint(x, y, client, clamp, true);
  if (!s.outline.Push(p)) return false;
  s.drawing = true;
  s.rowCount = rowCount;
  s.selectionRect = Rect{p.x, p.y, p.x, p.y};
  s.lassoFirst = s.lassoLast = p;
  return true;
}

int32_t ExtendLasso(Selection& s, int32_t x, int32_t y, const Rect& client, Clamp clamp) {
  if (!s.drawing) return -1;
  return WalkTo(s, ClampPoint(x, y, client, clamp, false));
}

namespace detail {

bool CloseOutline(Selection& s, int32_t x, int32_t y, const Rect& client, Clamp clamp, Crossings* rows) {
  if (!s.drawing) return false;
  const Point p = ClampPoint(x, y, client, clamp, false);
  // Last point to the release, then the release back to the first: both segments cross rows.
  WalkTo(s, p);
  if (s.lassoLast == p) WalkTo(s, s.lassoFirst);
  if (!(s.lassoLast == s.lassoFirst)) return false;
  return rows->Build(s.rowCount, s.toggles);
}

}  // namespace detail

bool CloseLasso(Selection& s, int32_t x, int32_t y, const Rect& client, const dib::View& image, const Metrics& m) {
  Next n;
  n.rect = CloseOutline(s, x, y, client, Clamp::kCanvas, &n.rows) ? ComputeSelectionRect(n.rows) : Rect{};
  // The source is cut before the bases are taken from it.
  if (n.rect.Empty() || !CutSelection(image, n.rect, n.rows, &n.source, &n.mask) || !n.outline.CopyFrom(s.outline)) {
    DropSelection(s);
    return false;
  }
  const Adjustments kept = s.adjust;
  s.adjust = Adjustments{};
  if (!Commit(s, n, kAllBases, m)) {
    s.adjust = kept;
    DropSelection(s);
    return false;
  }
  s.drawing = false;
  s.toggles.Clear();
  s.rotationAngle = 0;
  return true;
}

Rect DrawnArea(const Selection& s) {
  Rect r = Union(s.shownHandleZone, s.handleZone);
  r = Union(r, s.selectionRect);
  if (s.outlineStroke) r = Union(r, s.pushRect);
  r = Union(r, BoundsOf(s.outline));
  return Grow(r, 1, 1);
}

void DropSelection(Selection& s) { s = Selection{}; }

// ---- Cut -------------------------------------------------------------------------------------

bool CutSelection(const dib::View& image, const Rect& rect, const Crossings& rows, Image* out, Image* mask) {
  if (!dib::Is24(image) || rect.Empty() || !rows.exists()) return false;
  Image picture, shape;
  if (!picture.Create(rect.Width(), rect.Height(), -1) || !shape.Create(rect.Width(), rect.Height(), -1)) return false;
  // Columns inside both the rectangle and the image.
  const int32_t lo = std::max(rect.left, 0);
  const int32_t hi = std::min(rect.right, image.width);
  // Every byte written once: gaps black in the picture and white in the mask, spans copied.
  for (int32_t i = rect.top; i < rect.bottom; ++i) {
    int32_t n = 0;
    const int32_t* xs = rows.Row(i, &n);
    uint8_t* p = picture.view().Row(i - rect.top);
    uint8_t* k = shape.view().Row(i - rect.top);
    const bool onImage = i >= 0 && i < image.height;
    int32_t from = rect.left;
    auto gap = [&](int32_t to) {
      if (to <= from) return;
      const size_t at = static_cast<size_t>(from - rect.left) * 3, bytes = static_cast<size_t>(to - from) * 3;
      std::memset(p + at, 0, bytes);
      std::memset(k + at, 255, bytes);
      from = to;
    };
    for (int32_t j = 0; j + 1 < n; j += 2) {
      const int32_t a = std::clamp(xs[j], from, rect.right), b = std::clamp(xs[j + 1], from, rect.right);
      if (a >= b) continue;
      gap(a);
      const size_t at = static_cast<size_t>(a - rect.left) * 3;
      std::memset(k + at, 0, static_cast<size_t>(b - a) * 3);
      const int32_t ca = onImage ? std::max(a, lo) : b, cb = onImage ? std::min(b, hi) : b;
      if (ca < cb) {
        std::memset(p + at, 0, static_cast<size_t>(ca - a) * 3);
        std::memcpy(p + static_cast<size_t>(ca - rect.left) * 3, image.Pixel24(ca, i), static_cast<size_t>(cb - ca) * 3);
        std::memset(p + static_cast<size_t>(cb - rect.left) * 3, 0, static_cast<size_t>(b - cb) * 3);
      } else {
        std::memset(p + at, 0, static_cast<size_t>(b - a) * 3);
      }
      from = b;
    }
    gap(rect.right);
  }
  out->Swap(picture);
  mask->Swap(shape);
  return true;
}

// ---- Handles ---------------------------------------------------------------------------------

const int32_t kHandleCodes[kHandleCount] = {13, 109, 3, 6, 7, 14, 9, 8, 103, 102, 16, 104, 105, 110, 108, 17, 101, 106, 107};

Rect HandleZoneOf(const Rect& r, const Metrics& m) { return Grow(r, 2 * m.frameX + 1, 2 * m.frameY + 1); }

void LayoutHandles(const Rect& z, int32_t X, int32_t Y, Rect out[kHandleCount]) {
  if (z.Empty()) {
    for (int i = 0; i < kHandleCount; ++i) out[i] = Rect{};
    return;
  }
  const int32_t L = z.left, T = z.top, R = z.right, B = z.bottom;
  const Rect rects[kHandleCount] = {
      {L, T, L + X, T + Y},                                  // 13
      {L + X + 2, T, L + 3 * X + 2, T + Y},                  // 109
      {L + 3 * X + 4, T, L + 5 * X + 4, T + Y},              // 3
      {R - 5 * X - 3, T, R - 3 * X - 3, T + Y},              // 6
      {R - 3 * X - 2, T, R - X - 2, T + Y},                  // 7
      {R - X - 1, T, R - 1, T + Y},                          // 14
      {L, T + Y + 1, L + X, T + 3 * Y + 1},                  // 9
      {L, T + 3 * Y + 2, L + X, T + 5 * Y + 2},              // 8
      {L, B - 5 * Y - 2, L + X, B - 3 * Y - 2},              // 103
      {L, B - 3 * Y - 1, L + X, B - Y - 1},                  // 102
      {L, B - Y, L + X, B},                                  // 16
      {L + X + 1, B - Y - 1, L + 3 * X + 1, B - 1},          // 104
      {L + 3 * X + 2, B - Y - 1, L + 5 * X + 2, B - 1},      // 105
      {R - 5 * X - 2, B - Y - 1, R - 3 * X - 2, B - 1},      // 110
      {R - 3 * X - 2, B - Y - 1, R - X - 2, B - 1},          // 108
      {R - X - 1, B - Y, R - 1, B},                          // 17
      {R - X - 1, T + Y + 1, R - 1, T + 3 * Y + 1},          // 101
      {R - X - 1, B - 5 * Y - 3, R - 1, B - 3 * Y - 3},      // 106
      {R - X - 1, B - 3 * Y - 2, R - 1, B - Y - 2},          // 107
  };
  for (int i = 0; i < kHandleCount; ++i) out[i] = rects[i];
}

namespace {

bool Contains(const Rect& r, int32_t x, int32_t y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

}  // namespace

int32_t HitTestSelection(const Selection& s, int32_t x, int32_t y, const Metrics& m) {
  if (s.shownSelectionRect.Empty() || s.shownHandleZone.Empty() || !Contains(s.shownHandleZone, x, y)) return kHitNone;
  static constexpr int32_t kOrder[] = {3, 7, 6, 9, 8, 13, 14, 17, 16, 109, 101, 102, 103, 104, 105, 106, 107, 108, 110};
  for (int32_t code : kOrder) {
    for (int i = 0; i < kHandleCount; ++i) {
      if (kHandleCodes[i] == code && Contains(s.handleRects[i], x, y)) return code;
    }
  }
  const Rect& r = s.shownSelectionRect;
  if (x <= r.left + m.bandX) return kHitLeft;
  if (x >= r.right - m.bandX) return kHitRight;
  if (y <= r.top + m.bandY) return kHitTop;
  if (y < r.bottom - m.bandY) return kHitMove;
  return kHitBottom;
}

int32_t MaskTest(const Selection& s, int32_t x, int32_t y) {
  const Rect& r = s.selectionRect;
  if (int64_t{x} < int64_t{r.left} + 2 || int64_t{x} > int64_t{r.right} - 2 || int64_t{y} < int64_t{r.top} + 2 ||
      int64_t{y} > int64_t{r.bottom} - 2)
    return 0;
  const dib::View& v = s.selectionMask.view();
  if (!s.selectionMask.exists()) return -1;
  const int64_t col = int64_t{x} - r.left, row = int64_t{y} - r.top;
  if (col < 0 || row < 0 || col >= v.width || row >= v.height) return -1;
  const uint8_t* p = v.Pixel24(static_cast<int32_t>(col), static_cast<int32_t>(row));
  if (p[0] == 255 && p[1] == 255 && p[2] == 255) return 0;
  if (p[0] == 0 && p[1] == 0 && p[2] == 0) return 1;
  return -1;
}

}  // namespace sel
