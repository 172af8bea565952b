// Scan-line crossing lists of a lasso region: for every image row the sorted x positions at which
// the outline crosses it; a row with crossings x1 < x2 < x3 < x4 ... is inside on [x1, x2),
// [x3, x4) and so on (even-odd rule).
//
// A lasso toggles one crossing per row change of its outline, and two toggles at one place cancel.
// Since only the parity of the toggles at each (row, x) matters, the toggles are appended to a log
// (constant time a point) and settled once, when the region is first needed: a counting sort by
// row, a sort within each row, and pairs of equal positions dropped. The settled lists are one
// block of positions with one start index per row. Portable: no windows.h.
#pragma once

#include <cstdint>

#include "retouch/imaging/pod_array.h"

namespace sel {

struct Point {
  int32_t x, y;
};
inline bool operator==(Point a, Point b) { return a.x == b.x && a.y == b.y; }

// Left, top, right, bottom; right and bottom exclusive.
struct Rect {
  int32_t left, top, right, bottom;
  bool Empty() const { return right <= left || bottom <= top; }
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
};
inline bool operator==(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Positions above this are never stored (the list heads' 32766 ends every walk of a list).
constexpr int32_t kMaxCrossingX = 32765;

struct Toggle {
  int32_t row, x;
};

// Pending toggles of one region.
class ToggleLog {
 public:
  // A step from (x1, y1) to (x2, y2) with y1 != y2 toggles (max(y1, y2), max(x1, x2)).
  bool Step(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    return Push(y1 > y2 ? y1 : y2, x1 > x2 ? x1 : x2);
  }
  bool Push(int32_t row, int32_t x) { return toggles_.Push(Toggle{row, x}); }
  bool Reserve(size_t n) { return toggles_.Reserve(n); }
  void Clear() { toggles_.Clear(); }
  size_t size() const { return toggles_.size(); }
  const Toggle* data() const { return toggles_.data(); }

 private:
  PodArray<Toggle> toggles_;
};

class Crossings {
 public:
  bool exists() const { return rowCount_ > 0; }
  int32_t rowCount() const { return rowCount_; }
  // The sorted crossings of row r; none for rows outside 0 .. rowCount - 1.
  const int32_t* Row(int32_t r, int32_t* count) const {
    if (r < 0 || r >= rowCount_) {
      *count = 0;
      return nullptr;
    }
    *count = start_[static_cast<size_t>(r) + 1] - start_[static_cast<size_t>(r)];
    return *count ? xs_.data() + start_[static_cast<size_t>(r)] : nullptr;
  }
  size_t total() const { return xs_.size(); }

  // Settles `log` into lists of `rowCount` rows. Toggles of rows outside 0 .. rowCount - 1 or
  // with |x| > kMaxCrossingX are never stored. False (and this unchanged) when memory fails or
  // rowCount is not positive.
  bool Build(int32_t rowCount, const ToggleLog& log) { return Build(rowCount, log.data(), log.size()); }
  bool Build(int32_t rowCount, const Toggle* toggles, size_t n);
  bool CopyFrom(const Crossings& o);
  void Clear() {
    start_.Clear();
    xs_.Clear();
    rowCount_ = 0;
  }
  void Swap(Crossings& o) noexcept {
    start_.Swap(o.start_);
    xs_.Swap(o.xs_);
    const int32_t c = rowCount_;
    rowCount_ = o.rowCount_;
    o.rowCount_ = c;
  }

  // Inside test of the outline brush: x lies strictly between the two crossings of a pair.
  bool StrictlyInside(int32_t x, int32_t row) const;

 private:
  PodArray<int32_t> start_;  // rowCount + 1 indexes into xs_
  PodArray<int32_t> xs_;
  int32_t rowCount_ = 0;
};

// (minX - 1, minRow - 1, maxX + 1, maxRow + 1) over the rows with crossings, or the empty
// rectangle when the crossings span less than two columns or two rows.
Rect ComputeSelectionRect(const Crossings& rows);

// Re-maps every crossing of `from` through `map(row, x, &newRow, &newX)` (false drops it) into
// `to` of `rowCount` rows, with the toggling rule (a position reached twice cancels).
template <class Map>
bool Remap(const Crossings& from, int32_t rowCount, Crossings* to, Map&& map) {
  ToggleLog log;
  for (int32_t r = 0; r < from.rowCount(); ++r) {
    int32_t n = 0;
    const int32_t* xs = from.Row(r, &n);
    for (int32_t i = 0; i < n; ++i) {
      int32_t nr = 0, nx = 0;
      if (map(r, xs[i], &nr, &nx) && !log.Push(nr, nx)) return false;
    }
  }
  return to->Build(rowCount, log);
}

}  // namespace sel
