#include "retouch/imaging/dib_ops.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace dib {
namespace {

// Positions come from 32-bit rectangles and sizes; anything far outside is refused so that no
// sum below can overflow.
constexpr int64_t kPositionLimit = int64_t{1} << 40;

bool Sane(int64_t v) { return v > -kPositionLimit && v < kPositionLimit; }

// A run of `length` cells placed at `position` over a target of `size` cells: where the overlap
// starts in the target and in the run, and how long it is (count <= 0: no overlap).
struct Span {
  int64_t target = 0;
  int64_t run = 0;
  int64_t count = 0;
};

Span Overlap(int64_t position, int64_t length, int64_t size) {
  const int64_t start = std::max<int64_t>(position, 0);
  const int64_t end = std::min<int64_t>(position + length, size);
  return {start, start - position, end - start};
}

inline uint8_t* At(const View& v, int64_t x, int64_t y) {
  return v.Pixel24(static_cast<int32_t>(x), static_cast<int32_t>(y));
}

}  // namespace

bool CropSize(const View& image, const Rect& r, int32_t* width, int32_t* height) {
  if (!Is24(image) || !Sane(r.left) || !Sane(r.top) || !Sane(r.right) || !Sane(r.bottom)) return false;
  const int64_t w = std::min<int64_t>(r.right - r.left, image.width);
  const int64_t h = std::min<int64_t>(r.bottom - r.top, image.height);
  if (w <= 0 || h <= 0) return false;
  if (width) *width = static_cast<int32_t>(w);
  if (height) *height = static_cast<int32_t>(h);
  return true;
}

bool CropInto(const View& image, const Rect& r, const View& crop) {
  int32_t w = 0, h = 0;
  if (!CropSize(image, r, &w, &h) || !Is24(crop) || crop.width != w || crop.height != h) return false;
  const Span cols = Overlap(r.left, w, image.width);
  const Span rows = Overlap(r.top, h, image.height);
  if (cols.count <= 0 || rows.count <= 0) return true;  // wholly outside: stays as it is
  const size_t bytes = static_cast<size_t>(cols.count) * 3;
  for (int64_t i = 0; i < rows.count; ++i) {
    std::memcpy(At(crop, cols.run, rows.run + i), At(image, cols.target, rows.target + i), bytes);
  }
  return true;
}

bool FillOutsideMask(const View& crop, const View& mask, uint32_t fill) {
  if (!Is24(crop) || !mask.valid() || mask.bitsPerPixel != 8) return false;
  const uint8_t b = static_cast<uint8_t>(fill >> 16), g = static_cast<uint8_t>(fill >> 8),
                r = static_cast<uint8_t>(fill);
  const int32_t inMask = std::min(crop.width, mask.width);
  for (int32_t y = 0; y < crop.height; ++y) {
    uint8_t* p = crop.Row(y);
    const uint8_t* m = y < mask.height ? mask.Row(y) : nullptr;
    for (int32_t x = 0; x < crop.width; ++x, p += 3) {
      if (m != nullptr && x < inMask && m[x] != 0) continue;
      p[0] = b;
      p[1] = g;
      p[2] = r;
    }
  }
  return true;
}

bool Paste(const View& destination, const View& patch, int64_t left, int64_t top) {
  if (!Is24(destination) || !Is24(patch) || !Sane(left) || !Sane(top)) return false;
  const Span cols = Overlap(left, patch.width, destination.width);
  const Span rows = Overlap(top, patch.height, destination.height);
  if (cols.count <= 0 || rows.count <= 0) return true;
  const size_t bytes = static_cast<size_t>(cols.count) * 3;
  for (int64_t i = 0; i < rows.count; ++i) {
    std::memcpy(At(destination, cols.target, rows.target + i), At(patch, cols.run, rows.run + i), bytes);
  }
  return true;
}

namespace {

// Copies pixel by pixel where the mask pixel's red byte is 0, without branches.
inline void MaskedPixels(uint8_t* d, const uint8_t* p, const uint8_t* m, int64_t n) {
  for (int64_t j = 0; j < n; ++j, d += 3, p += 3, m += 3) {
    const bool in = m[2] == 0;
    const uint8_t b0 = in ? p[0] : d[0], b1 = in ? p[1] : d[1], b2 = in ? p[2] : d[2];
    d[0] = b0;
    d[1] = b1;
    d[2] = b2;
  }
}

// Masked copy of n pixels: sixteen at a time where SSE2 is there, each byte chosen by a vector
// mask. Then eight pixels (24 bytes, three words) are classified at once from the mask's red
// bytes: wholly inside is copied, wholly outside skipped, mixed done pixel by pixel.
void MaskedRow(uint8_t* d, const uint8_t* p, const uint8_t* m, int64_t n) {
  int64_t j = 0;
#if defined(__SSE2__)
  // Sixteen pixels (three vectors) at a time, while a pixel follows them: the mask is read up to
  // two bytes past them. Byte i of a pixel takes its pixel's red byte, 2 - i further on, so each
  // vector selects among the mask compared at offsets 0, 1 and 2 by the byte's place in its pixel.
  const __m128i zero = _mm_setzero_si128();
  const __m128i at0 = _mm_setr_epi8(-1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1);
  const __m128i at1 = _mm_setr_epi8(0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0);
  const __m128i at2 = _mm_setr_epi8(0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0);
  // Vector v starts at byte 16 v, whose place in its pixel is v: the patterns rotate.
  const __m128i place[3][3] = {{at0, at1, at2}, {at2, at0, at1}, {at1, at2, at0}};
  auto load = [](const uint8_t* a) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(a)); };
  for (; j + 17 <= n; j += 16, d += 48, p += 48, m += 48) {
    __m128i in[3];
    int inside = 0;
    for (int v = 0; v < 3; ++v) {
      const uint8_t* mv = m + 16 * v;
      in[v] = _mm_or_si128(
          _mm_or_si128(_mm_and_si128(_mm_cmpeq_epi8(load(mv + 2), zero), place[v][0]),
                       _mm_and_si128(_mm_cmpeq_epi8(load(mv + 1), zero), place[v][1])),
          _mm_and_si128(_mm_cmpeq_epi8(load(mv), zero), place[v][2]));
      inside |= _mm_movemask_epi8(in[v]);
    }
    if (inside == 0) continue;
    for (int v = 0; v < 3; ++v) {
      __m128i* dv = reinterpret_cast<__m128i*>(d + 16 * v);
      const __m128i from = load(p + 16 * v);
      _mm_storeu_si128(dv, _mm_or_si128(_mm_and_si128(in[v], from), _mm_andnot_si128(in[v], _mm_loadu_si128(dv))));
    }
  }
#endif
  if constexpr (std::endian::native == std::endian::little) {
    // Red bytes of eight pixels: offsets 2, 5 | 8, 11, 14 | 17, 20, 23.
    constexpr uint64_t kRed0 = 0x0000FF0000FF0000u, kRed1 = 0x00FF0000FF0000FFu, kRed2 = 0xFF0000FF0000FF00u;
    constexpr uint64_t kOnes = 0x0101010101010101u, kHigh = 0x8080808080808080u;
    auto hasZeroByte = [](uint64_t x) { return ((x - kOnes) & ~x & kHigh) != 0; };
    for (; j + 8 <= n; j += 8, d += 24, p += 24, m += 24) {
      uint64_t w[3];
      std::memcpy(w, m, 24);
      if (((w[0] & kRed0) | (w[1] & kRed1) | (w[2] & kRed2)) == 0) {
        std::memcpy(d, p, 24);
      } else if (hasZeroByte(w[0] | ~kRed0) || hasZeroByte(w[1] | ~kRed1) || hasZeroByte(w[2] | ~kRed2)) {
        MaskedPixels(d, p, m, 8);
      }
    }
  }
  MaskedPixels(d, p, m, n - j);
}

}  // namespace

bool PasteMasked(const View& destination, const View& patch, const View& mask, int64_t x, int64_t y) {
  if (!Is24(destination) || !Is24(patch) || !Is24(mask) || !Sane(x) || !Sane(y)) return false;
  if (mask.width < patch.width || mask.height < patch.height) return false;
  const Span cols = Overlap(x, patch.width, destination.width);
  const Span rows = Overlap(y, patch.height, destination.height);
  if (cols.count <= 0 || rows.count <= 0) return true;
  for (int64_t i = 0; i < rows.count; ++i) {
    MaskedRow(At(destination, cols.target, rows.target + i), At(patch, cols.run, rows.run + i),
              At(mask, cols.run, rows.run + i), cols.count);
  }
  return true;
}

bool FlipVertical(const View& image) {
  if (!image.valid() || image.width <= 1 || image.height <= 1) return false;
  if (image.bitsPerPixel != 8 && image.bitsPerPixel != 16 && image.bitsPerPixel != 24) return false;
  const size_t stride = static_cast<size_t>(image.stride);
  uint8_t buffer[4096];
  for (int32_t k = 0; k < image.height / 2; ++k) {
    uint8_t* a = image.bits + static_cast<size_t>(k) * stride;
    uint8_t* b = image.bits + static_cast<size_t>(image.height - 1 - k) * stride;
    for (size_t done = 0; done < stride; done += sizeof buffer) {
      const size_t n = std::min(sizeof buffer, stride - done);
      std::memcpy(buffer, a + done, n);
      std::memcpy(a + done, b + done, n);
      std::memcpy(b + done, buffer, n);
    }
  }
  return true;
}

bool Mirror(const View& image) {
  if (!Is24(image) || image.width <= 1 || image.height <= 1) return false;
  const size_t rowBytes = static_cast<size_t>(image.width) * 3;
  // One row buffer with a spare byte: pixels move as 4-byte words, the 4th byte overwritten by
  // the next pixel.
  std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[rowBytes + 1]);
  if (!buffer) return false;
  buffer[rowBytes] = 0;
  for (int32_t y = 0; y < image.height; ++y) {
    uint8_t* d = image.Row(y);
    std::memcpy(buffer.get(), d, rowBytes);
    const uint8_t* s = buffer.get() + rowBytes - 3;
    for (int32_t x = 1; x < image.width; ++x, d += 3, s -= 3) std::memcpy(d, s, 4);
    std::memcpy(d, s, 3);
  }
  return true;
}

bool GetPixel(const View& image, int64_t x, int64_t y, uint32_t* color) {
  if (!Is24(image) || color == nullptr) return false;
  if (x < 0 || x >= image.width || y < 0 || y >= image.height) return false;
  const uint8_t* p = At(image, x, y);
  *color = uint32_t{p[2]} | uint32_t{p[1]} << 8 | uint32_t{p[0]} << 16;
  return true;
}

void BuildIndexTable(int32_t n, int32_t m, int32_t* table) {
  if (n <= 0 || m <= 0 || table == nullptr) return;
  // 64-bit error term: the steps reach twice the larger size.
  table[0] = 0;
  int32_t filled = 1;
  if (n < m) {
    const int64_t a = n - 1, b = m - 1;
    int64_t err = 2 * a - b;
    int32_t s = 0;
    for (int64_t i = 0; i < b; ++i) {
      ++s;
      if (err >= 0) {
        err += 2 * (a - b);
        if (filled < n) table[filled++] = s;
      } else {
        err += 2 * a;
      }
    }
  } else {
    const int64_t a = m - 1, b = n - 1;
    int64_t err = 2 * a - b;
    int32_t s = 0;
    for (int64_t i = 0; i < b; ++i) {
      if (err >= 0) {
        err += 2 * (a - b);
        ++s;
      } else {
        err += 2 * a;
      }
      table[filled++] = s;
    }
  }
  // Bresenham yields exactly n entries; keep the table whole whatever happens.
  for (; filled < n; ++filled) table[filled] = table[filled - 1];
}

bool Resample(const View& source, const View& destination) {
  if (!Is24(source) || !Is24(destination)) return false;
  const int32_t dw = destination.width, dh = destination.height;
  if (dw > kMaxResizeDimension || dh > kMaxResizeDimension) return false;
  std::unique_ptr<int32_t[]> tables(new (std::nothrow) int32_t[static_cast<size_t>(dw) + static_cast<size_t>(dh)]);
  std::unique_ptr<size_t[]> offsets(new (std::nothrow) size_t[static_cast<size_t>(dw)]);
  if (!tables || !offsets) return false;
  int32_t* const cols = tables.get();
  int32_t* const rows = cols + dw;
  BuildIndexTable(dw, source.width, cols);
  BuildIndexTable(dh, source.height, rows);
  for (int32_t j = 0; j < dw; ++j) offsets[j] = static_cast<size_t>(cols[j]) * 3;

  // Pixels moved as 4 bytes (the 4th is overwritten by the next pixel): all but the last, as long
  // as the 4th byte read stays inside the source row.
  int32_t wide = 0;
  while (wide < dw - 1 && offsets[wide] + 4 <= static_cast<size_t>(source.stride)) ++wide;
  const size_t rowBytes = static_cast<size_t>(dw) * 3;
  const size_t* const off = offsets.get();
  for (int32_t i = 0; i < dh; ++i) {  // storage order: bottom row first
    uint8_t* d = destination.bits + static_cast<size_t>(i) * static_cast<size_t>(destination.stride);
    if (i > 0 && rows[i] == rows[i - 1]) {  // repeated source row: copy the row just made
      std::memcpy(d, d - destination.stride, rowBytes);
      continue;
    }
    const uint8_t* s = source.bits + static_cast<size_t>(rows[i]) * static_cast<size_t>(source.stride);
    int32_t j = 0;
    for (; j < wide; ++j) std::memcpy(d + static_cast<size_t>(j) * 3, s + off[j], 4);
    for (; j < dw; ++j) std::memcpy(d + static_cast<size_t>(j) * 3, s + off[j], 3);
  }
  return true;
}

bool StampBitmap(const View& image, const View& bitmap, int64_t top, uint32_t color, int32_t strength) {
  if (!Is24(image) || !Is24(bitmap) || !Sane(top)) return false;
  const int32_t keep = 100 - std::clamp(strength, 0, 100);
  const int32_t give = 100 - keep;
  const int32_t channel[3] = {static_cast<int32_t>((color >> 16) & 0xFF),
                              static_cast<int32_t>((color >> 8) & 0xFF), static_cast<int32_t>(color & 0xFF)};
  const Span rows = Overlap(top, bitmap.height, image.height);
  const int32_t count = std::min(bitmap.width, image.width);
  for (int64_t i = 0; i < rows.count; ++i) {
    uint8_t* p = At(image, 0, rows.target + i);
    const uint8_t* q = At(bitmap, 0, rows.run + i);
    for (int32_t j = 0; j < count; ++j, p += 3, q += 3) {
      if ((q[0] | q[1] | q[2]) == 0) continue;
      for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>((p[c] * keep + channel[c] * give) / 100);
    }
  }
  return true;
}

}  // namespace dib
