#include "controls/widgets/draw_math.h"

#include <algorithm>
#include <cstdlib>

namespace draw {

GradientMethod GradientMethodFor(int bitsPerPixel) {
  if (bitsPerPixel >= 24) return {true, false};
  if (bitsPerPixel > 8) return {false, false};
  return {true, true};
}

GradientBands::GradientBands(int length, uint32_t from, uint32_t to) : length_(length) {
  int smallest = length;
  for (int c = 0; c < 3; ++c) {
    start_[c] = static_cast<int>((from >> (8 * c)) & 0xFF);
    delta_[c] = static_cast<int>((to >> (8 * c)) & 0xFF) - start_[c];
    // Pixels per colour step of this channel; a flat channel asks for one band.
    const int steps = delta_[c] != 0 ? std::abs((length + 1) / delta_[c]) : length;
    smallest = std::min(smallest, steps);
  }
  width_ = std::max(smallest, 1);
  if (length > 0 && length / width_ > 255) width_ = length / 255;
}

uint32_t GradientBands::Colour(int band) const {
  uint32_t colour = 0;
  const int64_t along = 1 + int64_t{band} * width_;
  for (int c = 0; c < 3; ++c) {
    int64_t v = start_[c] + int64_t{delta_[c]} * along / length_;
    v = std::clamp<int64_t>(v, 0, 255);
    colour |= static_cast<uint32_t>(v) << (8 * c);
  }
  return colour;
}

TileSource TileSourceFor(int textureWidth, int textureHeight, int areaWidth, int areaHeight) {
  TileSource t;
  t.width = std::min(textureWidth, areaWidth);
  t.height = std::min(textureHeight, areaHeight);
  t.sourceY = textureHeight - t.height;
  return t;
}

bool PlacedDestination(int sw, int sh, int aw, int ah, bool fitWidth, bool fitHeight,
                       bool alignRight, bool alignBottom, Rect* out) {
  int w = sw, h = sh;
  if (fitWidth && fitHeight) {
    w = aw;
    h = ah;
  } else if (fitWidth) {
    if (sw == 0) return false;
    w = aw;
    h = static_cast<int>(int64_t{sh} * aw / sw);
  } else if (fitHeight) {
    if (sh == 0) return false;
    h = ah;
    w = static_cast<int>(int64_t{sw} * ah / sh);
  }
  const int x = alignRight ? aw - w : 0;
  const int y = alignBottom ? ah - h : 0;
  *out = {x, y, x + w, y + h};
  return true;
}

int Subtract(const Rect& a, const Rect& b, Rect out[4]) {
  if (a.empty()) return 0;
  const Rect i{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom)};
  if (i.empty()) {
    out[0] = a;
    return 1;
  }
  int n = 0;
  if (a.top < i.top) out[n++] = {a.left, a.top, a.right, i.top};
  if (i.bottom < a.bottom) out[n++] = {a.left, i.bottom, a.right, a.bottom};
  if (a.left < i.left) out[n++] = {a.left, i.top, i.left, i.bottom};
  if (i.right < a.right) out[n++] = {i.right, i.top, a.right, i.bottom};
  return n;
}

}  // namespace draw
