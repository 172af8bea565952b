// Small in-memory images and dab settings for the brush tests: bottom-up rows padded to 4 bytes, like the blocks.
#pragma once

#include <cstdint>
#include <vector>

#include "retouch/imaging/brush_ops.h"
#include "retouch/imaging/dib_view.h"

namespace brushtest {

struct Image {
  Image(int32_t width, int32_t height, int32_t bitsPerPixel = 24) {
    const int32_t stride = static_cast<int32_t>(dib::Stride(width, bitsPerPixel));
    data.assign(static_cast<size_t>(stride) * static_cast<size_t>(height), 0);
    view = {data.data(), width, height, bitsPerPixel, stride};
  }
  Image(const Image& other) : data(other.data), view(other.view) { view.bits = data.data(); }
  Image& operator=(const Image&) = delete;

  // Blue, green, red of pixel (x, y) as 0xBBGGRR (a COLORREF).
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
  void Fill(uint32_t color) {
    for (int32_t y = 0; y < view.height; ++y)
      for (int32_t x = 0; x < view.width; ++x) Set(x, y, color);
  }
  uint8_t Byte(int32_t x, int32_t y) const { return view.Row(y)[x]; }
  void SetByte(int32_t x, int32_t y, uint8_t v) { view.Row(y)[x] = v; }
  void FillBytes(uint8_t v) {
    for (int32_t y = 0; y < view.height; ++y)
      for (int32_t x = 0; x < view.width; ++x) SetByte(x, y, v);
  }
  bool operator==(const Image& o) const { return data == o.data; }

  std::vector<uint8_t> data;
  dib::View view;
};

inline uint32_t Grey(uint32_t v) { return v | (v << 8) | (v << 16); }

inline brush::DabSettings Settings(int32_t tool, int32_t option, int32_t strength, uint32_t color = 0) {
  brush::DabSettings s;
  s.tool = tool;
  s.option = option;
  s.strength = strength;
  s.color = color;
  return s;
}

}  // namespace brushtest
