// A plain model of the dab algorithms, pixel by pixel as the rules read, against which the fast
// kernels of brush_ops.cpp are compared on random images.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "retouch/imaging/brush_ops.h"

namespace brushref {

inline void ReferenceDab(const brush::DabSettings& st, int32_t left, int32_t top, const dib::View& image,
                         const dib::View& mask, const brush::DabBlocks& blocks) {
  brush::DabClip c;
  if (!brush::ClipDab(image.width, image.height, mask.width, mask.height, left, top, &c)) return;
  const int s = std::clamp(st.strength, 0, 100);
  const uint8_t color[3] = {static_cast<uint8_t>(st.color >> 16), static_cast<uint8_t>(st.color >> 8),
                            static_cast<uint8_t>(st.color)};
  const bool soft = st.option == 1;
  const brush::SoftShape shape(c.width, c.height);
  auto maskAt = [&](int32_t i, int32_t j) { return mask.Row(c.maskY + j)[c.maskX + i] != 0; };

  if (st.tool == TOOL_SMOOTH) {
    if (c.width < 3 || c.height < 3) return;
    std::vector<uint8_t> before(static_cast<size_t>(c.width) * 3 * c.height);
    for (int32_t j = 0; j < c.height; ++j)
      std::memcpy(&before[static_cast<size_t>(j) * c.width * 3], image.Pixel24(c.x, c.y + j), c.width * 3u);
    auto at = [&](int32_t i, int32_t j, int k) { return before[(static_cast<size_t>(j) * c.width + i) * 3 + k]; };
    for (int32_t j = 1; j <= c.height - 3; ++j)
      for (int32_t i = 1; i <= c.width - 2; ++i) {
        if (!maskAt(i - 1, j - 1)) continue;
        for (int k = 0; k < 3; ++k) {
          int sum = 0;
          const int kernel[3][3] = {{1, 2, 1}, {2, 4, 2}, {1, 2, 1}};
          for (int v = -1; v <= 1; ++v)
            for (int u = -1; u <= 1; ++u) sum += kernel[v + 1][u + 1] * at(i + u, j + v, k);
          const int value = (sum + 8) >> 4;
          image.Pixel24(c.x + i, c.y + j)[k] =
              static_cast<uint8_t>(s == 100 ? value : (at(i, j, k) * (100 - s) + value * s) / 100);
        }
      }
    return;
  }
  if (st.tool == TOOL_SPRAY && soft && shape.degenerate()) return;

  for (int32_t j = 0; j < c.height; ++j) {
    for (int32_t i = 0; i < c.width; ++i) {
      if (!maskAt(i, j)) continue;
      const int32_t x = c.x + i, y = c.y + j;
      uint8_t* p = image.Pixel24(x, y);
      switch (st.tool) {
        case TOOL_PAINT: {
          uint8_t& covered = blocks.coverage.Row(y)[x];
          if (!soft) {
            if (covered != 0) break;
            for (int k = 0; k < 3; ++k) p[k] = static_cast<uint8_t>(s == 100 ? color[k] : (p[k] * (100 - s) + color[k] * s) / 100);
            covered = 1;
          } else {
            const double t = shape.Distance(i, j);
            const int w = static_cast<int>(s * (1 - t * t * t));
            if (w < covered) break;
            const uint8_t* q = blocks.snapshot.Pixel24(x, y);
            for (int k = 0; k < 3; ++k) p[k] = static_cast<uint8_t>((q[k] * (100 - w) + color[k] * w) / 100);
            covered = static_cast<uint8_t>(w);
          }
          break;
        }
        case TOOL_RESTORE: {
          const uint8_t* r = blocks.backup.Pixel24(x, y);
          if (!soft) {
            for (int k = 0; k < 3; ++k) p[k] = static_cast<uint8_t>(s == 100 ? r[k] : (p[k] * (100 - s) + r[k] * s) / 100);
          } else {
            const double w = s * (1 - shape.Distance(i, j));
            for (int k = 0; k < 3; ++k) p[k] = static_cast<uint8_t>((p[k] * (100 - w) + r[k] * w) / 100);
          }
          break;
        }
        case TOOL_SPRAY:
          if (!soft) {
            for (int k = 0; k < 3; ++k) p[k] = static_cast<uint8_t>(s == 100 ? color[k] : (p[k] * (100 - s) + color[k] * s) / 100);
          } else {
            const double w = (1 - std::sqrt(shape.Distance(i, j))) * s;
            for (int k = 0; k < 3; ++k) p[k] = static_cast<uint8_t>((p[k] * (100 - w) + color[k] * w) / 100);
          }
          break;
        case TOOL_STAMP:
        case TOOL_CLONE: {
          const int32_t sx = c.maskX + i, sy = c.maskY + j;
          if (sx >= blocks.sample.width || sy >= blocks.sample.height) break;
          const uint8_t* r = blocks.sample.Pixel24(sx, sy);
          for (int k = 0; k < 3; ++k) p[k] = static_cast<uint8_t>(s == 100 ? r[k] : (p[k] * (100 - s) + r[k] * s) / 100);
          break;
        }
        default:
          break;
      }
    }
  }
}

}  // namespace brushref
