#include "retouch/imaging/crossings.h"

#include <algorithm>
#include <climits>

namespace sel {

bool Crossings::Build(int32_t rowCount, const Toggle* toggles, size_t n) {
  if (rowCount <= 0) return false;
  PodArray<int32_t> start, xs;
  const size_t rows = static_cast<size_t>(rowCount);
  if (!start.Resize(rows + 1)) return false;
  auto kept = [rowCount](const Toggle& t) { return t.row >= 0 && t.row < rowCount && t.x <= kMaxCrossingX && t.x >= -kMaxCrossingX; };
  // Counting sort by row: count, prefix sums, scatter.
  size_t total = 0;
  for (size_t i = 0; i < n; ++i) {
    if (!kept(toggles[i])) continue;
    ++start[static_cast<size_t>(toggles[i].row) + 1];
    ++total;
  }
  if (total > static_cast<size_t>(INT32_MAX)) return false;
  for (size_t r = 0; r < rows; ++r) start[r + 1] += start[r];
  if (!xs.Resize(total)) return false;
  {
    PodArray<int32_t> fill;
    if (!fill.Assign(start.data(), rows)) return false;
    for (size_t i = 0; i < n; ++i) {
      if (kept(toggles[i])) xs[static_cast<size_t>(fill[static_cast<size_t>(toggles[i].row)]++)] = toggles[i].x;
    }
  }
  // Within each row: sort, drop equal pairs, and close the gaps in place.
  int32_t out = 0;
  for (size_t r = 0; r < rows; ++r) {
    if (start[r] == start[r + 1]) {
      start[r] = out;
      continue;
    }
    int32_t* b = xs.data() + start[r];
    int32_t* e = xs.data() + start[r + 1];
    if (e - b > 24) {
      std::sort(b, e);
    } else {
      for (int32_t* p = b + 1; p < e; ++p) {
        const int32_t v = *p;
        int32_t* q = p;
        for (; q > b && q[-1] > v; --q) *q = q[-1];
        *q = v;
      }
    }
    start[r] = out;
    for (int32_t* p = b; p < e;) {
      int32_t* q = p + 1;
      while (q < e && *q == *p) ++q;
      if ((q - p) & 1) xs[static_cast<size_t>(out++)] = *p;
      p = q;
    }
  }
  start[rows] = out;
  xs.Truncate(static_cast<size_t>(out));
  start_.Swap(start);
  xs_.Swap(xs);
  rowCount_ = rowCount;
  return true;
}

bool Crossings::CopyFrom(const Crossings& o) {
  if (this == &o) return true;
  PodArray<int32_t> start, xs;
  if (!start.CopyFrom(o.start_) || !xs.CopyFrom(o.xs_)) return false;
  start_.Swap(start);
  xs_.Swap(xs);
  rowCount_ = o.rowCount_;
  return true;
}

bool Crossings::StrictlyInside(int32_t x, int32_t row) const {
  int32_t n = 0;
  const int32_t* xs = Row(row, &n);
  for (int32_t i = 0; i + 1 < n; i += 2) {
    if (x > xs[i] && x < xs[i + 1]) return true;
  }
  return false;
}

Rect ComputeSelectionRect(const Crossings& rows) {
  int32_t minX = INT32_MAX, maxX = INT32_MIN, minRow = INT32_MAX, maxRow = INT32_MIN;
  for (int32_t r = 0; r < rows.rowCount(); ++r) {
    int32_t n = 0;
    const int32_t* xs = rows.Row(r, &n);
    if (n == 0) continue;
    minX = std::min(minX, xs[0]);
    maxX = std::max(maxX, xs[n - 1]);
    minRow = std::min(minRow, r);
    maxRow = std::max(maxRow, r);
  }
  if (minX < maxX && minRow < maxRow) return Rect{minX - 1, minRow - 1, maxX + 1, maxRow + 1};
  return Rect{0, 0, 0, 0};
}

}  // namespace sel
