#include "retouch/imaging/history.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace history {

bool ExchangeRect(const dib::View& image, const dib::View& patch, const brush::Rect& r) {
  auto is24 = [](const dib::View& v) {
    return v.valid() && v.bitsPerPixel == 24 && v.stride >= dib::Stride(v.width, 24);
  };
  if (!is24(image) || !is24(patch)) return false;
  if (r.left < 0 || r.top < 0 || r.right > image.width || r.bottom > image.height) return false;
  if (r.right - r.left != patch.width || r.bottom - r.top != patch.height) return false;
  const size_t rowBytes = static_cast<size_t>(patch.width) * 3;
  for (int32_t y = 0; y < patch.height; ++y) {
    uint8_t* a = image.Pixel24(r.left, r.top + y);
    uint8_t* b = patch.Row(y);
    size_t at = 0;
#if defined(__SSE2__)
    for (; at + 16 <= rowBytes; at += 16) {
      const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + at));
      const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + at));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(a + at), vb);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(b + at), va);
    }
#endif
    for (; at < rowBytes; ++at) std::swap(a[at], b[at]);
  }
  return true;
}

}  // namespace history
