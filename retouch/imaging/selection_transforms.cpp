// Move, resize, rotate, mirror and stamp of the floating selection, and the trackers' geometry.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "retouch/imaging/dib_ops.h"
#include "retouch/imaging/selection.h"
#include "retouch/imaging/selection_internal.h"

namespace sel {

using namespace detail;

namespace {

constexpr int64_t kShiftLimit = 1 << 20;

bool Floating(const Selection& s) {
  return s.floatActive && s.selectionSource.exists() && s.selectionMask.exists() && s.selectionImage.exists();
}

int32_t AtLeastOne(int64_t v) { return v <= 0 ? 1 : static_cast<int32_t>(std::min<int64_t>(v, INT32_MAX)); }

void Extremes(const PodArray<Point>& points, int32_t* minX, int32_t* minY, int32_t* maxX, int32_t* maxY) {
  *minX = *minY = INT32_MAX;
  *maxX = *maxY = INT32_MIN;
  for (const Point& p : points) {
    *minX = std::min(*minX, p.x);
    *maxX = std::max(*maxX, p.x);
    *minY = std::min(*minY, p.y);
    *maxY = std::max(*maxY, p.y);
  }
}

// A fresh copy of `from` turned over: left to right, or top to bottom for the rows below the
// first. The first row of a selection is always outside its outline, so the picture turns over
// with the crossings of rows top + 1 .. bottom - 1.
bool Turned(const Image& from, bool topBottom, Image* out) {
  const dib::View& v = from.view();
  Image t;
  if (!t.Create(v.width, v.height, -1)) return false;
  const dib::View& d = t.view();
  const size_t bytes = static_cast<size_t>(v.width) * 3;
  for (int32_t y = 0; y < v.height; ++y) {
    if (topBottom) {
      std::memcpy(d.Row(y), v.Row(y == 0 ? 0 : v.height - y), bytes);
      continue;
    }
    // Pixels move as 4-byte words whose 4th byte the next pixel overwrites; the row's last
    // pixel (read first) and its last written one go as 3 bytes, so no word leaves the row.
    const uint8_t* p = v.Row(y) + bytes - 3;
    uint8_t* q = d.Row(y);
    std::memcpy(q, p, 3);
    for (int32_t x = 1; x < v.width - 1; ++x) {
      p -= 3;
      q += 3;
      uint32_t w;
      std::memcpy(&w, p, 4);
      std::memcpy(q, &w, 4);
    }
    if (v.width > 1) std::memcpy(q + 3, p - 3, 3);
  }
  out->Swap(t);
  return true;
}

}  // namespace

bool MoveSelection(Selection& s, int32_t dx, int32_t dy, const Metrics& m) {
  if (!Floating(s) || !s.moveBaseRows.exists()) return false;
  dx = static_cast<int32_t>(std::clamp<int64_t>(dx, -kShiftLimit, kShiftLimit));
  dy = static_cast<int32_t>(std::clamp<int64_t>(dy, -kShiftLimit, kShiftLimit));
  if (dx == 0 && dy == 0) return true;
  Next n;
  const Rect& r = s.selectionRect;
  n.rect = Rect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
  if (!n.outline.CopyFrom(s.outline)) return false;
  n.source.CopyFrom(s.selectionSource);
  n.mask.CopyFrom(s.selectionMask);
  for (Point& p : n.outline) p = Point{AtLeastOne(int64_t{p.x} + dx), AtLeastOne(int64_t{p.y} + dy)};
  const bool ok = Remap(s.moveBaseRows, s.moveBaseRows.rowCount(), &n.rows, [&](int32_t row, int32_t x, int32_t* nr, int32_t* nx) {
    *nr = row + dy;
    *nx = AtLeastOne(int64_t{x} + dx);
    return true;
  });
  if (!ok || !Commit(s, n, kAllBases, m)) return false;
  s.rotationAngle = 0;
  return true;
}

// ---- Resize ----------------------------------------------------------------------------------

namespace {

// Destination row o of the resampled picture from base row B: each inside span of o takes the
// span of B that lies where it does (the k-th of as many, else the nearest at the rectangles'
// scale), stretched over it.
void ResampleRow(const Base& base, const Rect& to, int32_t o, int32_t B, const Crossings& rows, const dib::View& out,
                 const dib::View& outMask) {
  int32_t nd = 0, ns = 0;
  const int32_t* d = rows.Row(o, &nd);
  const int32_t* src = base.rows.Row(B, &ns);
  const int32_t destPairs = nd / 2, sourcePairs = ns / 2;
  if (sourcePairs == 0 || destPairs == 0) return;
  const Rect& S = base.rect;
  const dib::View& bi = base.image.view();
  const dib::View& bm = base.mask.view();
  const int32_t row = B - S.top;
  if (row < 0 || row >= bi.height || row >= bm.height) return;
  const uint8_t* imageRow = bi.Row(row);
  const uint8_t* maskRow = bm.Row(row);
  uint8_t* outRow = out.Row(o - to.top);
  uint8_t* outMaskRow = outMask.Row(o - to.top);
  const double scale = static_cast<double>(S.Width()) / to.Width();
  for (int32_t k = 0; k < destPairs; ++k) {
    const int32_t G = d[2 * k], H = d[2 * k + 1];
    int32_t pick = k;
    if (destPairs != sourcePairs) {
      const double mid = S.left + ((G + H) / 2.0 - to.left) * scale;
      double best = 0;
      for (int32_t j = 0; j < sourcePairs; ++j) {
        const double u = src[2 * j], v = src[2 * j + 1];
        const double gap = mid < u ? u - mid : (mid >= v ? mid - v + 1 : 0);
        if (j == 0 || gap < best) {
          best = gap;
          pick = j;
        }
      }
    }
    const int64_t U = src[2 * pick], V = src[2 * pick + 1];
    const int64_t width = H - G;
    // Source column U + (x - G) (V - U - 1) / (H - G - 1), stepped without a division a pixel.
    const int64_t num = width == 1 ? 0 : V - U - 1;
    const int64_t den = width == 1 ? 1 : width - 1;
    const int64_t whole = num / den, part = num % den;
    int64_t col = U, rest = 0;
    for (int64_t x = G; x < H; ++x) {
      if (x >= to.left && x < to.right) {
        const int64_t c = col - S.left;
        if (c >= 0 && c < bi.width && c < bm.width) {
          std::memcpy(outRow + (x - to.left) * 3, imageRow + c * 3, 3);
          std::memcpy(outMaskRow + (x - to.left) * 3, maskRow + c * 3, 3);
        }
      }
      col += whole;
      rest += part;
      if (rest >= den) {
        ++col;
        rest -= den;
      }
    }
  }
}

}  // namespace

bool ResizeSelection(Selection& s, const Rect& N, const Metrics& m) {
  const Base& base = s.sizeBase;
  const Rect& S = base.rect;
  if (!Floating(s) || !base.image.exists() || !base.rows.exists() || S.Empty() || N.Empty()) return false;
  if (N.Width() > Image::kMaxSide || N.Height() > Image::kMaxSide || std::abs(int64_t{N.left}) > kShiftLimit ||
      std::abs(int64_t{N.top}) > kShiftLimit)
    return false;
  Next n;
  n.rect = N;
  if (N == S) {
    // Back to the base's own size: the base itself, not a resampling of the last result.
    if (!n.outline.CopyFrom(base.points) || !n.rows.CopyFrom(base.rows)) return false;
    n.source.CopyFrom(base.image);
    n.mask.CopyFrom(base.mask);
  } else {
    if (!n.outline.CopyFrom(base.points)) return false;
    int32_t minX, minY, maxX, maxY;
    Extremes(base.points, &minX, &minY, &maxX, &maxY);
    // Each axis spreads by the change of the rectangle; an outline without spread on an axis
    // only moves along it.
    auto scaled = [](int64_t v, int64_t lo, int64_t spread, int64_t shift, int64_t grow) -> int32_t {
      if (spread == 0) return static_cast<int32_t>(v + shift);
      return static_cast<int32_t>(lo + shift + (v - lo) * (grow + spread) / spread);
    };
    for (Point& p : n.outline) {
      p.x = scaled(p.x, minX, int64_t{maxX} - minX, int64_t{N.left} - S.left, int64_t{N.Width()} - S.Width());
      p.y = scaled(p.y, minY, int64_t{maxY} - minY, int64_t{N.top} - S.top, int64_t{N.Height()} - S.Height());
    }
    ToggleLog log;
    for (int32_t i = N.top + 1; i <= N.bottom - 1; ++i) {
      const int32_t from = static_cast<int32_t>(S.top + int64_t{S.Height()} * (i - N.top - 1) / N.Height() + 1);
      int32_t c = 0;
      const int32_t* xs = base.rows.Row(from, &c);
      for (int32_t j = 0; j < c; ++j) {
        const int64_t x = int64_t{N.Width()} * (xs[j] - S.left) / S.Width() + N.left;
        if (!log.Push(i, AtLeastOne(x))) return false;
      }
    }
    if (!n.rows.Build(base.rows.rowCount(), log) || !n.source.Create(N.Width(), N.Height(), 0) ||
        !n.mask.Create(N.Width(), N.Height(), 255))
      return false;
    for (int32_t o = N.top + 1; o <= N.bottom - 1; ++o) {
      const int32_t B = static_cast<int32_t>(S.top + 1 + int64_t{o - N.top - 1} * S.Height() / N.Height());
      ResampleRow(base, N, o, B, n.rows, n.source.view(), n.mask.view());
    }
  }
  if (!Commit(s, n, kRotationBase, m)) return false;
  s.rotationAngle = 0;
  return true;
}

// ---- Rotate ----------------------------------------------------------------------------------

namespace {

// The base pixel that inside pixel (x, i) of the turned selection shows: the nearest one inside
// the base's outline.
struct Sampler {
  const Base& base;
  double c, sn;
  int32_t N0, K0;
  PodArray<int32_t> rowOf;  // for each base row: the nearest row with crossings, or -1

  bool Prepare() {
    const Rect& r = base.rect;
    if (!rowOf.Resize(static_cast<size_t>(r.Height()))) return false;
    for (int32_t O = r.top; O < r.bottom; ++O) {
      int32_t found = -1;
      auto has = [&](int32_t row) {
        int32_t n = 0;
        base.rows.Row(row, &n);
        return n >= 2;
      };
      if (has(O)) {
        found = O;
      } else {
        for (int32_t d = 1; found < 0; ++d) {
          const bool down = O + d < r.bottom, up = O - d > r.top;
          if (!down && !up) break;
          if (down && has(O + d)) found = O + d;
          else if (up && has(O - d)) found = O - d;
        }
      }
      rowOf[static_cast<size_t>(O - r.top)] = found;
    }
    return true;
  }

  const uint8_t* Source(int32_t x, int32_t i) const {
    const Rect& r = base.rect;
    int32_t O = static_cast<int32_t>(K0 - ((K0 - i) * c - (x - N0) * sn));
    int32_t P = static_cast<int32_t>(N0 + ((K0 - i) * sn + (x - N0) * c));
    if (O <= r.top) O = r.top + 1;
    if (O >= r.bottom) O = r.bottom - 1;
    if (P <= r.left) P = r.left + 1;
    if (P >= r.right) P = r.right - 1;
    if (O < r.top || O >= r.bottom) return nullptr;
    const int32_t row = rowOf[static_cast<size_t>(O - r.top)];
    if (row < 0) return nullptr;
    int32_t n = 0;
    const int32_t* xs = base.rows.Row(row, &n);
    int32_t best = -1;
    int64_t bestGap = 0;
    for (int32_t j = 0; j + 1 < n; j += 2) {
      const int32_t s0 = xs[j], e1 = xs[j + 1] - 1;
      if (P >= s0 && P <= e1) {
        best = P;
        break;
      }
      const int64_t gap = P < s0 ? int64_t{s0} - P : int64_t{P} - e1;
      if (best < 0 || gap < bestGap) {
        bestGap = gap;
        best = P < s0 ? s0 : e1;
      }
    }
    if (best < 0) return nullptr;
    const dib::View& v = base.image.view();
    const int32_t col = best - r.left, at = row - r.top;
    if (col < 0 || col >= v.width || at < 0 || at >= v.height) return nullptr;
    return v.Pixel24(col, at);
  }
};

}  // namespace

namespace detail {

bool Replay(const PodArray<Point>& points, int32_t width, int32_t height, Next* n) {
  if (points.empty()) return false;
  Selection t;
  const Rect client{0, 0, width, height};
  if (!StartLasso(t, points[0].x, points[0].y, client, height, Clamp::kReplay)) return false;
  for (size_t i = 1; i < points.size(); ++i) ExtendLasso(t, points[i].x, points[i].y, client, Clamp::kReplay);
  if (!CloseOutline(t, points.back().x, points.back().y, client, Clamp::kReplay, &n->rows)) return false;
  n->outline.Swap(t.outline);
  n->rect = ComputeSelectionRect(n->rows);
  return !n->rect.Empty();
}

}  // namespace detail

bool RotateSelection(Selection& s, int32_t delta, int32_t imageWidth, int32_t imageHeight, const Metrics& m) {
  const Base& base = s.rotBase;
  if (!Floating(s) || !base.image.exists() || !base.rows.exists() || base.rect.Empty() || imageWidth <= 0 ||
      imageHeight <= 0)
    return false;
  delta %= 360;
  if (delta == 0) return true;
  int32_t angle = s.rotationAngle + delta;
  if (angle > 360) angle -= 360;
  if (angle < -360) angle += 360;
  Next n;
  if (angle % 360 == 0) {
    n.rect = base.rect;
    if (!n.outline.CopyFrom(base.points) || !n.rows.CopyFrom(base.rows)) return false;
    n.source.CopyFrom(base.image);
    n.mask.CopyFrom(base.mask);
  } else {
    const double theta = angle * std::numbers::pi / 180.0;
    const double c = std::cos(theta), sn = std::sin(theta);
    const Rect& b = base.rect;
    const int32_t cx = (b.left + b.right) / 2, cy = (b.top + b.bottom) / 2;
    PodArray<Point> turned;
    if (!turned.CopyFrom(base.points)) return false;
    // Kept off the image border by the frame's width.
    const int32_t bx = 2 * m.frameX, by = 2 * m.frameY;
    for (Point& p : turned) {
      int32_t x = static_cast<int32_t>(cx + (p.x - cx) * c - (cy - p.y) * sn);
      int32_t y = static_cast<int32_t>(cy - ((p.x - cx) * sn + (cy - p.y) * c));
      if (x <= bx) x = bx + 1;
      if (x >= imageWidth - bx - 1) x = imageWidth - bx - 1;
      if (y <= by) y = by + 1;
      if (y >= imageHeight - by - 1) y = imageHeight - by - 1;
      p = Point{x, y};
    }
    if (!Replay(turned, imageWidth, imageHeight, &n)) return false;
    if (!n.source.Create(n.rect.Width(), n.rect.Height(), 0) || !n.mask.Create(n.rect.Width(), n.rect.Height(), 255))
      return false;
    // The mask from the new crossings; every inside pixel from the nearest base pixel inside.
    const dib::View& mv = n.mask.view();
    for (int32_t i = n.rect.top; i < n.rect.bottom; ++i) {
      int32_t k = 0;
      const int32_t* xs = n.rows.Row(i, &k);
      uint8_t* mr = mv.Row(i - n.rect.top);
      for (int32_t j = 0; j + 1 < k; j += 2) {
        const int32_t a = std::max(xs[j], n.rect.left), e = std::min(xs[j + 1], n.rect.right);
        if (a < e) std::memset(mr + static_cast<size_t>(a - n.rect.left) * 3, 0, static_cast<size_t>(e - a) * 3);
      }
    }
    Sampler sampler{base, c, sn, (b.left + b.right) / 2, (b.top + b.bottom) / 2, {}};
    if (!sampler.Prepare()) return false;
    const dib::View& sv = n.source.view();
    for (int32_t i = n.rect.top; i < n.rect.bottom; ++i) {
      int32_t k = 0;
      const int32_t* xs = n.rows.Row(i, &k);
      uint8_t* row = sv.Row(i - n.rect.top);
      for (int32_t j = 0; j + 1 < k; j += 2) {
        const int32_t a = std::max(xs[j], n.rect.left), e = std::min(xs[j + 1], n.rect.right);
        for (int32_t x = a; x < e; ++x) {
          if (const uint8_t* p = sampler.Source(x, i)) std::memcpy(row + static_cast<size_t>(x - n.rect.left) * 3, p, 3);
        }
      }
    }
  }
  if (!Commit(s, n, kSizeBase, m)) return false;
  s.rotationAngle = angle;
  return true;
}

// ---- Mirror and stamp ------------------------------------------------------------------------

bool MirrorSelection(Selection& s, bool topBottom, const Metrics& m) {
  if (!Floating(s) || !s.selectionMaskSource.exists() || !s.moveBaseRows.exists()) return false;
  Next n;
  n.rect = s.selectionRect;
  if (!n.outline.CopyFrom(s.outline) || !Turned(s.selectionSource, topBottom, &n.source) ||
      !Turned(s.selectionMask, topBottom, &n.mask))
    return false;
  int32_t minX, minY, maxX, maxY;
  Extremes(n.outline, &minX, &minY, &maxX, &maxY);
  const Rect& c = s.completedRect;
  bool ok;
  if (topBottom) {
    for (Point& p : n.outline) p.y = minY + maxY - p.y;
    ok = Remap(s.moveBaseRows, s.moveBaseRows.rowCount(), &n.rows, [&](int32_t row, int32_t x, int32_t* nr, int32_t* nx) {
      *nr = c.top + c.bottom - row;
      *nx = x;
      return true;
    });
  } else {
    for (Point& p : n.outline) p.x = minX + maxX - p.x;
    ok = Remap(s.moveBaseRows, s.moveBaseRows.rowCount(), &n.rows, [&](int32_t row, int32_t x, int32_t* nr, int32_t* nx) {
      *nr = row;
      *nx = std::min(c.left + c.right - x, c.right - 1);
      return true;
    });
  }
  if (!ok || !Commit(s, n, kAllBases, m)) return false;
  s.rotationAngle = 0;
  return true;
}

bool StampSelection(const Selection& s, const dib::View& image) {
  if (!Floating(s)) return false;
  return dib::PasteMasked(image, s.selectionImage.view(), s.selectionMask.view(), s.selectionRect.left, s.selectionRect.top);
}

// ---- Trackers --------------------------------------------------------------------------------

double PointAngle(int32_t cx, int32_t cy, int32_t px, int32_t py) {
  if (px == cx) return py < cy ? std::numbers::pi / 2 : -std::numbers::pi / 2;
  double a = std::atan(static_cast<double>(int64_t{cy} - py) / static_cast<double>(int64_t{px} - cx));
  if (px < cx) a += std::numbers::pi;
  return a;
}

int32_t RotationDegrees(double start, int32_t cx, int32_t cy, int32_t px, int32_t py) {
  return static_cast<int32_t>((PointAngle(cx, cy, px, py) - start) * 180.0 / std::numbers::pi);
}

Point TurnPoint(int32_t cx, int32_t cy, int32_t px, int32_t py, double theta) {
  const double c = std::cos(theta), sn = std::sin(theta);
  const double dx = static_cast<double>(int64_t{px} - cx), dy = static_cast<double>(int64_t{cy} - py);
  return Point{cx + static_cast<int32_t>(dx * c - dy * sn), cy - static_cast<int32_t>(dy * c + dx * sn)};
}

Rect TrackMove(const Rect& r, int32_t px, int32_t py, int32_t grabX, int32_t grabY, const Rect& client, int32_t frameX,
               int32_t frameY) {
  const int32_t w = r.Width(), h = r.Height();
  Rect t{px - grabX, py - grabY, px - grabX + w, py - grabY + h};
  const int32_t minLeft = client.left + 2 * frameX + 1, minTop = client.top + 2 * frameY + 1;
  const int32_t maxRight = client.right - 2 * frameY - 1, maxBottom = client.bottom - 2 * frameY - 1;
  if (t.right > maxRight) t = Rect{maxRight - w, t.top, maxRight, t.bottom};
  if (t.bottom > maxBottom) t = Rect{t.left, maxBottom - h, t.right, maxBottom};
  if (t.left < minLeft) t = Rect{minLeft, t.top, minLeft + w, t.bottom};
  if (t.top < minTop) t = Rect{t.left, minTop, t.right, minTop + h};
  return t;
}

namespace {

bool MovesLeft(int32_t code) { return code == kHitLeft || code == kHitTopLeft || code == kHitBottomLeft; }
bool MovesRight(int32_t code) { return code == kHitRight || code == kHitTopRight || code == kHitBottomRight; }
bool MovesTop(int32_t code) { return code == kHitTop || code == kHitTopLeft || code == kHitTopRight; }
bool MovesBottom(int32_t code) { return code == kHitBottom || code == kHitBottomLeft || code == kHitBottomRight; }

}  // namespace

void ResizeGrab(const Rect& r, int32_t code, int32_t px, int32_t py, int32_t* grabX, int32_t* grabY) {
  *grabX = px - (MovesRight(code) ? r.right : r.left);
  *grabY = py - (MovesBottom(code) ? r.bottom : r.top);
}

Rect TrackResize(const Rect& r, int32_t code, int32_t px, int32_t py, int32_t grabX, int32_t grabY, int32_t minWidth,
                 int32_t minHeight, const Rect& client, int32_t frameX, int32_t frameY) {
  Rect t = r;
  const int32_t w0 = minWidth + 6, h0 = minHeight + 6;
  if (MovesLeft(code)) t.left = std::min(px - grabX, t.right - w0);
  if (MovesRight(code)) t.right = std::max(px - grabX, t.left + w0);
  if (MovesTop(code)) t.top = std::min(py - grabY, t.bottom - h0);
  if (MovesBottom(code)) t.bottom = std::max(py - grabY, t.top + h0);
  if (t.left - 2 * frameY - 1 < client.left) t.left = client.left + 2 * frameX + 1;
  if (t.top - 2 * frameY - 1 < client.top) t.top = client.top + 2 * frameY + 1;
  if (client.right < t.right + 2 * frameY + 1) t.right = client.right - 2 * frameY - 1;
  if (client.bottom < t.bottom + 2 * frameY + 1) t.bottom = client.bottom - 2 * frameY - 1;
  return t;
}

}  // namespace sel
