#include "retouch/imaging/history.h"

#include <algorithm>
#include <cstring>

namespace history {

bool ExchangeRect(const dib::View& image, const dib::View& patch, const brush::Rect& r) {
  auto is24 = [](const dib::View& v) {
    return v.valid() && v.bitsPerPixel == 24 && v.stride >= dib::Stride(v.width, 24);
  };
  if (!is24(image) || !is24(patch)) return false;
  if (r.left < 0 || r.top < 0 || r.right > image.width || r.bottom > image.height) return false;
  if (r.right - r.left != patch.width || r.bottom - r.top != patch.height) return false;
  const size_t rowBytes = static_cast<size_t>(patch.width) * 3;
  uint8_t chunk[1024];
  for (int32_t y = 0; y < patch.height; ++y) {
    uint8_t* a = image.Pixel24(r.left, r.top + y);
    uint8_t* b = patch.Row(y);
    for (size_t at = 0; at < rowBytes; at += sizeof chunk) {
      const size_t n = std::min(sizeof chunk, rowBytes - at);
      std::memcpy(chunk, a + at, n);
      std::memcpy(a + at, b + at, n);
      std::memcpy(b + at, chunk, n);
    }
  }
  return true;
}

}  // namespace history
