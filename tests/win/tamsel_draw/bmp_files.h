// BMP files written by the tests themselves, and packed DIBs in global memory.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace drawtest {

using PixelFn = std::function<COLORREF(int x, int y)>;

// A bottom-up 24-bit BMP file of w x h pixels.
inline std::vector<uint8_t> Bmp24(int w, int h, const PixelFn& pixel) {
  const int row = (w * 3 + 3) & ~3;
  std::vector<uint8_t> f(54 + static_cast<size_t>(row) * h);
  auto put = [&](size_t at, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) f[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  f[0] = 'B';
  f[1] = 'M';
  put(2, static_cast<uint32_t>(f.size()), 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, static_cast<uint32_t>(w), 4);
  put(22, static_cast<uint32_t>(h), 4);
  put(26, 1, 2);
  put(28, 24, 2);
  for (int y = 0; y < h; ++y) {
    uint8_t* p = f.data() + 54 + static_cast<size_t>(h - 1 - y) * row;
    for (int x = 0; x < w; ++x) {
      const COLORREF c = pixel(x, y);
      p[3 * x] = GetBValue(c);
      p[3 * x + 1] = GetGValue(c);
      p[3 * x + 2] = GetRValue(c);
    }
  }
  return f;
}

inline bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
  return ok && written == bytes.size();
}

// Distinct colours for texture pixels.
inline COLORREF TexturePixel(int x, int y) {
  return RGB((x * 7) & 0xFF, (y * 11) & 0xFF, ((x + y) * 3 + 40) & 0xFF);
}

}  // namespace drawtest
