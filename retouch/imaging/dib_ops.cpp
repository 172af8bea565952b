#include "retouch/imaging/dib_ops.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <new>

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

// Masked copy of n pixels: where the mask pixel's red byte is 0 the patch pixel replaces the
// destination's. Four pixels (12 bytes, three words) at a time: whole groups inside are copied,
// whole groups outside skipped, mixed ones merged through byte masks without branches.
void MaskedRow(uint8_t* d, const uint8_t* p, const uint8_t* m, int64_t n) {
  int64_t j = 0;
  if constexpr (std::endian::native == std::endian::little) {
    for (; j + 4 <= n; j += 4, d += 12, p += 12, m += 12) {
      const uint32_t f0 = m[2] == 0 ? 0xFFu : 0u, f1 = m[5] == 0 ? 0xFFu : 0u, f2 = m[8] == 0 ? 0xFFu : 0u,
                     f3 = m[11] == 0 ? 0xFFu : 0u;
      const uint32_t all = f0 & f1 & f2 & f3, any = f0 | f1 | f2 | f3;
      if (all) {
        std::memcpy(d, p, 12);
      } else if (any) {
        const uint32_t s[3] = {f0 * 0x00010101u | f1 << 24, f1 * 0x00000101u | f2 * 0x01010000u,
                               f2 | f3 * 0x01010100u};
        uint32_t dv[3], pv[3];
        std::memcpy(dv, d, 12);
        std::memcpy(pv, p, 12);
        for (int k = 0; k < 3; ++k) dv[k] = (dv[k] & ~s[k]) | (pv[k] & s[k]);
        std::memcpy(d, dv, 12);
      }
    }
  }
  for (; j < n; ++j, d += 3, p += 3, m += 3) {
    if (m[2] == 0) std::memcpy(d, p, 3);
  }
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
  for (int32_t y = 0; y < image.height; ++y) {
    uint8_t* a = image.Row(y);
    uint8_t* b = a + static_cast<size_t>(image.width - 1) * 3;
    for (; a < b; a += 3, b -= 3) {
      const uint8_t a0 = a[0], a1 = a[1], a2 = a[2];
      a[0] = b[0];
      a[1] = b[1];
      a[2] = b[2];
      b[0] = a0;
      b[1] = a1;
      b[2] = a2;
    }
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
