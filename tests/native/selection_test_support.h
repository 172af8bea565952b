// Patches, masks and selection files in memory for the selection tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "retouch/imaging/dib_view.h"
#include "retouch/imaging/selection_file.h"

namespace seltest {

// A 24-bit picture: bottom-up rows padded to 4 bytes, like the blocks.
struct Image {
  Image(int32_t width, int32_t height) {
    const int32_t stride = static_cast<int32_t>(dib::Stride(width, 24));
    data.assign(static_cast<size_t>(stride) * static_cast<size_t>(height), 0);
    view = {data.data(), width, height, 24, stride};
  }
  Image(const Image& other) : data(other.data), view(other.view) { view.bits = data.data(); }
  Image& operator=(const Image&) = delete;

  // 0xBBGGRR, as COLORREF.
  uint32_t At(int32_t x, int32_t y) const {
    const uint8_t* p = view.Pixel24(x, y);
    return p[2] | (p[1] << 8) | (static_cast<uint32_t>(p[0]) << 16);
  }
  void Set(int32_t x, int32_t y, uint32_t color) {
    uint8_t* p = view.Pixel24(x, y);
    p[0] = static_cast<uint8_t>(color >> 16);
    p[1] = static_cast<uint8_t>(color >> 8);
    p[2] = static_cast<uint8_t>(color);
  }
  bool SamePixels(const Image& o) const {
    if (view.width != o.view.width || view.height != o.view.height) return false;
    for (int32_t y = 0; y < view.height; ++y) {
      if (std::memcmp(view.Row(y), o.view.Row(y), static_cast<size_t>(view.width) * 3) != 0) return false;
    }
    return true;
  }

  std::vector<uint8_t> data;
  dib::View view;
};

// A distinct colour for every pixel of a small patch.
inline uint32_t PatternAt(int32_t x, int32_t y) {
  return static_cast<uint32_t>((x * 37 + 3) & 0xFF) | static_cast<uint32_t>((y * 53 + 7) & 0xFF) << 8 |
         static_cast<uint32_t>((x * 11 + y * 5 + 1) & 0xFF) << 16;
}

inline Image Patch(int32_t w, int32_t h) {
  Image image(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) image.Set(x, y, PatternAt(x, y));
  return image;
}

// Black (inside) on an ellipse-like blob, white around it, with a few stray inside pixels.
inline Image Mask(int32_t w, int32_t h) {
  Image mask(w, h);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      const int64_t dx = 2 * x + 1 - w, dy = 2 * y + 1 - h;
      const bool inside = dx * dx * h * h + dy * dy * w * w <= int64_t{w} * w * h * h || (x * 7 + y * 3) % 11 == 0;
      mask.Set(x, y, inside ? 0 : 0xFFFFFF);
    }
  }
  return mask;
}

inline bool AppendTo(void* context, const uint8_t* data, size_t size) {
  auto* out = static_cast<std::vector<uint8_t>*>(context);
  out->insert(out->end(), data, data + size);
  return true;
}

inline std::vector<uint8_t> FileOf(const Image& image, const Image& mask, int32_t xPpm = 3779, int32_t yPpm = 3779) {
  std::vector<uint8_t> file;
  selfile::WriteSelection(image.view, mask.view, xPpm, yPpm, {AppendTo, &file});
  return file;
}

// The same file in big-endian ("MM") order: every directory field of the three directories and
// their values turned round; pixel bytes stay as they are.
inline std::vector<uint8_t> BigEndianTwin(std::vector<uint8_t> f) {
  auto swap16 = [&](size_t at) { std::swap(f[at], f[at + 1]); };
  auto swap32 = [&](size_t at) {
    std::swap(f[at], f[at + 3]);
    std::swap(f[at + 1], f[at + 2]);
  };
  auto le32 = [&](size_t at) {
    return static_cast<size_t>(f[at] | f[at + 1] << 8 | f[at + 2] << 16 | static_cast<uint32_t>(f[at + 3]) << 24);
  };
  f[0] = f[1] = 'M';
  swap16(2);
  size_t dir = le32(4);
  swap32(4);
  while (dir != 0) {
    const size_t count = f[dir] | f[dir + 1] << 8;
    swap16(dir);
    for (size_t i = 0; i < count; ++i) {
      const size_t e = dir + 2 + 12 * i;
      const unsigned type = f[e + 2] | f[e + 3] << 8, n = f[e + 4] | f[e + 5] << 8;
      const size_t value = le32(e + 8);
      swap16(e);
      swap16(e + 2);
      swap32(e + 4);
      if (type == 3 && n == 1) {
        swap16(e + 8);
      } else {
        swap32(e + 8);
        if (type == 3) {
          for (size_t k = 0; k < n; ++k) swap16(value + 2 * k);
        } else if (type == 5) {
          swap32(value);
          swap32(value + 4);
        }
      }
    }
    const size_t next = le32(dir + 2 + 12 * count);
    swap32(dir + 2 + 12 * count);
    dir = next;
  }
  return f;
}

}  // namespace seltest
