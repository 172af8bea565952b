// 24-bit test images in movable global blocks, made and read through the bitmap model.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "retouch/imaging/dib.h"

namespace wintest {

// A block freed at the end of the scope.
struct OwnedDib {
  HGLOBAL h;
  explicit OwnedDib(HGLOBAL d) : h(d) {}
  ~OwnedDib() {
    if (h) GlobalFree(h);
  }
  OwnedDib(const OwnedDib&) = delete;
  OwnedDib& operator=(const OwnedDib&) = delete;
};

inline void SetImagePixel(HGLOBAL dib, int x, int y, COLORREF c) {
  DibLock lock(dib);
  uint8_t* p = lock.view().Pixel24(x, y);
  p[0] = GetBValue(c);
  p[1] = GetGValue(c);
  p[2] = GetRValue(c);
}

inline COLORREF ImagePixel(HGLOBAL dib, int x, int y) {
  DibLock lock(dib);
  const uint8_t* p = lock.view().Pixel24(x, y);
  return RGB(p[2], p[1], p[0]);
}

// A 24-bit image whose pixels come from `color(x, y)` (y from the top).
inline HGLOBAL MakeImage(int width, int height, const std::function<COLORREF(int, int)>& color) {
  HGLOBAL dib = DibCreate(width, height, 24);
  DibLock lock(dib);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = lock.view().Pixel24(x, y);
      const COLORREF c = color(x, y);
      p[0] = GetBValue(c);
      p[1] = GetGValue(c);
      p[2] = GetRValue(c);
    }
  return dib;
}

}  // namespace wintest
