// A plain model of the lasso region, independent of the crossing lists: the closed pixel path of
// the outline as a polygon through pixel centres, filled by the even-odd rule and sampled at the
// top-left corner of each pixel's lower half (x + 0.5, y - 0.5), where the path's row changes
// cross. A region that lies within one row is no selection. Used by the tests and the fuzz target.
#pragma once

#include <cstdint>
#include <vector>

#include "retouch/imaging/brush_ops.h"
#include "retouch/imaging/crossings.h"

namespace selmodel {

inline std::vector<bool> EvenOddFill(const std::vector<sel::Point>& vertices, int w, int h) {
  std::vector<sel::Point> path;
  auto walk = [&](sel::Point a, sel::Point b) {
    brush::WalkLine(a.x, a.y, b.x, b.y, [&](int32_t x, int32_t y) {
      if (path.empty() || path.back().x != x || path.back().y != y) path.push_back({x, y});
    });
  };
  for (size_t i = 0; i + 1 < vertices.size(); ++i) walk(vertices[i], vertices[i + 1]);
  walk(vertices.back(), vertices.front());
  // Twice the x where each edge between rows r - 1 and r meets y = r - 0.5.
  std::vector<std::vector<int64_t>> meets(static_cast<size_t>(h));
  for (size_t i = 0; i + 1 < path.size(); ++i) {
    const sel::Point a = path[i], b = path[i + 1];
    if (a.y == b.y) continue;
    const int r = a.y > b.y ? a.y : b.y;
    if (r >= 0 && r < h) meets[static_cast<size_t>(r)].push_back(int64_t{a.x} + b.x);
  }
  std::vector<bool> inside(static_cast<size_t>(w) * static_cast<size_t>(h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int n = 0;
      for (int64_t m : meets[static_cast<size_t>(y)]) n += m < 2 * x + 1;
      inside[static_cast<size_t>(y * w + x)] = n & 1;
    }
  // A region within one row is no selection.
  int rows = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (inside[static_cast<size_t>(y * w + x)]) {
        ++rows;
        break;
      }
  if (rows < 2) inside.assign(inside.size(), false);
  return inside;
}

}  // namespace selmodel
