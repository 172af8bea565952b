#include "retouch/imaging/brush_ops.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace brush {

// ---- Geometry of a stroke -------------------------------------------------------------------

int32_t BrushScale(int32_t tool, int32_t option) { return tool == TOOL_SPRAY && option == 1 ? 2 : 1; }

Rect DabRect(int32_t x, int32_t y, int32_t width, int32_t height, int32_t scale) {
  const int32_t left = x - (width / 2) * scale;
  const int32_t top = y - (height / 2) * scale;
  return {left, top, left + width * scale, top + height * scale};
}

int32_t SprayPeriod(int32_t width, int32_t height) { return (width + height) * 2 + 55; }

void StartBounds(StrokeBounds* bounds, int32_t x, int32_t y) { *bounds = {x, x, y, y}; }

void ExtendBounds(StrokeBounds* bounds, int32_t x, int32_t y) {
  bounds->minX = std::min(bounds->minX, x);
  bounds->maxX = std::max(bounds->maxX, x);
  bounds->minY = std::min(bounds->minY, y);
  bounds->maxY = std::max(bounds->maxY, y);
}

Rect StrokeRecordRect(const StrokeBounds& b, int32_t width, int32_t height, int32_t scale) {
  const int32_t hw = (width / 2) * scale;
  const int32_t hh = (height / 2) * scale;
  return {b.minX - hw - 1, b.minY - hh - 1, b.maxX + hw + 1, b.maxY + hh + 2};
}

Rect StampRecordRect(const StrokeBounds& b, int32_t width, int32_t height) {
  // The dab spans x - width/2 .. x - width/2 + width: one column more than the half on the right
  // when the width is odd. The bottom already has a spare row.
  return {b.minX - width / 2, b.minY - height / 2, b.maxX + width / 2 + (width & 1),
          b.maxY + height / 2 + 1};
}

Rect ClampToImage(Rect r, int32_t width, int32_t height) {
  r.left = std::max(r.left, 0);
  r.top = std::max(r.top, 0);
  r.right = std::min(r.right, width);
  r.bottom = std::min(r.bottom, height);
  return r;
}

// ---- Clipping and weights --------------------------------------------------------------------

bool ClipDab(int32_t imageWidth, int32_t imageHeight, int32_t maskWidth, int32_t maskHeight,
             int32_t left, int32_t top, DabClip* clip) {
  const int64_t right = static_cast<int64_t>(left) + maskWidth;
  const int64_t bottom = static_cast<int64_t>(top) + maskHeight;
  if (imageWidth <= 0 || imageHeight <= 0 || maskWidth <= 0 || maskHeight <= 0) return false;
  if (right <= 0 || bottom <= 0 || left >= imageWidth || top >= imageHeight) return false;
  // A mask wider than the image may overhang both edges at once: clip each side on its own.
  const int32_t x0 = std::max(left, 0);
  const int32_t y0 = std::max(top, 0);
  const int32_t x1 = static_cast<int32_t>(std::min<int64_t>(right, imageWidth));
  const int32_t y1 = static_cast<int32_t>(std::min<int64_t>(bottom, imageHeight));
  *clip = {x0, y0, x1 - x0, y1 - y0, x0 - left, y0 - top};
  return true;
}

int32_t SoftShape::Offset(int32_t index, int32_t size) {
  const int32_t half = size / 2;
  return index <= half - 1 ? index + 1 - half : index - half;
}

SoftShape::SoftShape(int32_t width, int32_t height) : width_(width), height_(height) {
  a_ = width / 2.0 - 1;
  const double b = height / 2.0 - 1;
  aa_ = a_ * a_;
  bb_ = b * b;
  l_ = aa_ * bb_;
}

double SoftShape::Distance(int32_t column, int32_t row) const {
  const double dx = Offset(column, width_);
  const double dy = Offset(row, height_);
  if (aa_ != 0.0 && bb_ != 0.0) return std::min(dx * dx * bb_ + dy * dy * aa_, l_) / l_;
  // A dab two pixels across has no room for a falloff along that axis (the offsets there are
  // all 0): fade along the other axis alone.
  if (aa_ == 0.0 && bb_ == 0.0) return 0.0;
  if (aa_ == 0.0) return std::min(dy * dy, bb_) / bb_;
  return std::min(dx * dx, aa_) / aa_;
}

// ---- Per-pixel work --------------------------------------------------------------------------
//
// Each row of a dab is split into runs of the pixels the tool changes (mask set and, for the
// paint brush, not yet treated as strongly in this stroke); each run is then worked byte by byte,
// eight bytes at a time where SSE2 is there. Values up to 25500 are divided by 100 as
// (x * 5243) >> 19, which is exact in that range.

namespace {

struct Rgb {
  uint8_t c[3];  // blue, green, red: the order of a stored pixel
};

Rgb Channels(uint32_t color) {
  return {{static_cast<uint8_t>(color >> 16), static_cast<uint8_t>(color >> 8),
           static_cast<uint8_t>(color)}};
}

bool IsView(const dib::View& v, int32_t bitsPerPixel) {
  return v.valid() && v.bitsPerPixel == bitsPerPixel &&
         v.stride >= dib::Stride(v.width, bitsPerPixel);
}

bool Matches(const dib::View& v, int32_t bitsPerPixel, const dib::View& image) {
  return IsView(v, bitsPerPixel) && v.width == image.width && v.height == image.height;
}

#if defined(__SSE2__)
inline __m128i Load16(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline __m128i Load8(const uint8_t* p) {
  return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
}
inline __m128i Load8x16(const uint16_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void Store8(uint8_t* p, __m128i v) {
  _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(v, v));
}
inline __m128i Div100(__m128i x) { return _mm_srli_epi16(_mm_mulhi_epu16(x, _mm_set1_epi16(5243)), 3); }
// 16 bits: pixel k of the 16 at p is set (mask byte not 0).
inline uint32_t Set16(const uint8_t* p) {
  return ~static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(Load16(p), _mm_setzero_si128()))) & 0xFFFFu;
}
// Sixteen bytes at a time over n >= 16 bytes, blend(at) giving the bytes from `at`. The last
// sixteen are blended from the bytes as they were and stored last, over what they share with the
// whole vectors before them.
template <class Blend>
void BlendVectors(uint8_t* p, int32_t n, Blend&& blend) {
  const int32_t last = n - 16;
  const __m128i tail = blend(last);
  int32_t b = 0;
  for (; b + 16 <= n; b += 16) _mm_storeu_si128(reinterpret_cast<__m128i*>(p + b), blend(b));
  if (b < n) _mm_storeu_si128(reinterpret_cast<__m128i*>(p + last), tail);
}
#endif

// Calls run(i0, i1) for every maximal run of pixels of [0, n) that pass the test: `test16(i)`
// gives pixels i .. i + 15 as 16 bits (used with SSE2 only), `test1(i)` one pixel.
template <class Test16, class Test1, class Run>
void ForEachRun(int32_t n, Test16&& test16, Test1&& test1, Run&& run) {
  int32_t start = -1;
  for (int32_t base = 0; base < n; base += 64) {
    const int32_t count = std::min<int32_t>(64, n - base);
    uint64_t bits = 0;
    int32_t k = 0;
#if defined(__SSE2__)
    for (; k + 16 <= count; k += 16) bits |= static_cast<uint64_t>(test16(base + k)) << k;
#else
    (void)test16;
#endif
    for (; k < count; ++k) bits |= static_cast<uint64_t>(test1(base + k) ? 1 : 0) << k;
    const uint64_t valid = count == 64 ? ~uint64_t{0} : (uint64_t{1} << count) - 1;
    int32_t pos = 0;
    while (pos < count) {
      if (start < 0) {
        const uint64_t rest = bits >> pos;
        if (rest == 0) break;
        pos += std::countr_zero(rest);
        start = base + pos;
      }
      const uint64_t rest = (~bits & valid) >> pos;
      if (rest == 0) break;  // the run goes on in the next chunk
      pos += std::countr_zero(rest);
      run(start, base + pos);
      start = -1;
    }
  }
  if (start >= 0) run(start, n);
}

// Runs of pixels whose mask byte is set.
template <class Run>
void ForEachMaskRun(const uint8_t* m, int32_t n, Run&& run) {
  ForEachRun(
      n,
      [&](int32_t i) {
#if defined(__SSE2__)
        return Set16(m + i);
#else
        return (void)i, 0u;
#endif
      },
      [&](int32_t i) { return m[i] != 0; }, run);
}

// The runs of set bytes of every row of a brush mask. A stroke dabs the same mask again and
// again, and finding the runs anew costs a mispredicted branch or two per row; comparing the
// mask with a copy costs far less.
class MaskRuns {
 public:
  // The runs of `mask`, found again when its place, size or bytes changed. The editor runs on
  // one thread.
  static const MaskRuns& Of(const dib::View& mask) {
    static MaskRuns cache;
    cache.Update(mask);
    return cache;
  }

  // run(i0, i1) for each run of set bytes among bytes x0 .. x0 + n - 1 of mask row r, counted
  // from x0.
  template <class Run>
  void ForEach(int32_t r, int32_t x0, int32_t n, Run&& run) const {
    if (!ok_) {
      ForEachMaskRun(mask_.Row(r) + x0, n, run);
      return;
    }
    for (int32_t k = first_[r]; k < first_[r + 1]; ++k) {
      const int32_t a = std::max(bounds_[2 * k], x0), b = std::min(bounds_[2 * k + 1], x0 + n);
      if (a < b) run(a - x0, b - x0);
    }
  }

 private:
  void Update(const dib::View& mask) {
    const size_t bytes = static_cast<size_t>(mask.height) * static_cast<size_t>(mask.stride);
    if (ok_ && mask.bits == mask_.bits && mask.width == mask_.width && mask.height == mask_.height &&
        mask.stride == mask_.stride && std::memcmp(copy_.get(), mask.bits, bytes) == 0) {
      return;
    }
    *this = MaskRuns{};
    mask_ = mask;
    int32_t count = 0;
    for (int32_t r = 0; r < mask.height; ++r) ForEachMaskRun(mask.Row(r), mask.width, [&](int32_t, int32_t) { ++count; });
    copy_.reset(new (std::nothrow) uint8_t[bytes]);
    first_.reset(new (std::nothrow) int32_t[static_cast<size_t>(mask.height) + 1]);
    bounds_.reset(new (std::nothrow) int32_t[2 * static_cast<size_t>(count) + 1]);
    if (!copy_ || !first_ || !bounds_) return;  // not ok_: the runs are found row by row
    std::memcpy(copy_.get(), mask.bits, bytes);
    int32_t k = 0;
    for (int32_t r = 0; r < mask.height; ++r) {
      first_[r] = k;
      ForEachMaskRun(mask.Row(r), mask.width, [&](int32_t i0, int32_t i1) {
        bounds_[2 * k] = i0;
        bounds_[2 * k + 1] = i1;
        ++k;
      });
    }
    first_[mask.height] = k;
    ok_ = true;
  }

  bool ok_ = false;
  dib::View mask_;
  std::unique_ptr<uint8_t[]> copy_;
  std::unique_ptr<int32_t[]> first_;   // per row: its first run; row r has runs first_[r] .. first_[r + 1] - 1
  std::unique_ptr<int32_t[]> bounds_;  // per run: first and one past the last byte
};

// A colour repeated over the bytes of pixels: entry b is the colour's channel b % 3, spread so
// that sixteen entries from any offset below 24 (wide) or 48 (bytes) can be read at once.
struct ColourBytes {
  explicit ColourBytes(const Rgb& rgb, uint32_t factor = 1) {
    // Made for every dab: whole pixels at a time.
    const uint16_t w[3] = {static_cast<uint16_t>(rgb.c[0] * factor), static_cast<uint16_t>(rgb.c[1] * factor),
                           static_cast<uint16_t>(rgb.c[2] * factor)};
    for (int b = 0; b < 48; b += 3) std::memcpy(wide + b, w, sizeof w);
    for (int b = 0; b < 63; b += 3) std::memcpy(bytes + b, rgb.c, 3);
    bytes[63] = rgb.c[0];
  }
  uint16_t wide[48];
  uint8_t bytes[64];  // 16 bytes can be read from any offset below 48
};

// p[b] = (p[b] * keep + add[b % 3]) / 100 over n bytes of whole pixels; keep = 100 - s and add
// the colour times s. s = 100 writes the colour.
void BlendToColour(uint8_t* p, int32_t n, const ColourBytes& colour, const ColourBytes& add,
                   int32_t strength) {
  if (strength == 100) {
    for (int32_t b = 0; b < n; b += 48) std::memcpy(p + b, colour.bytes, static_cast<size_t>(std::min(48, n - b)));
    return;
  }
  const uint16_t keep = static_cast<uint16_t>(100 - strength);
  int32_t b = 0;
#if defined(__SSE2__)
  const __m128i k = _mm_set1_epi16(static_cast<int16_t>(keep));
  const __m128i zero = _mm_setzero_si128();
  // Sixteen bytes from b, whose colour channels start at add.wide + b % 24.
  auto blend = [&](int32_t at) {
    const __m128i x = Load16(p + at);
    const uint16_t* a = add.wide + at % 24;
    const __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(x, zero), k), Load8x16(a));
    const __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(x, zero), k), Load8x16(a + 8));
    return _mm_packus_epi16(Div100(lo), Div100(hi));
  };
  if (n >= 16) {
    BlendVectors(p, n, blend);
    return;
  }
  if (b + 8 <= n) {
    Store8(p + b, Div100(_mm_add_epi16(_mm_mullo_epi16(Load8(p + b), k), Load8x16(add.wide))));
    b += 8;
  }
#endif
  for (; b < n; ++b) p[b] = static_cast<uint8_t>((p[b] * keep + add.wide[b % 3]) / 100);
}

// p[b] = (p[b] * (100 - s) + r[b] * s) / 100 over n bytes; s = 100 copies.
void BlendToSource(uint8_t* p, const uint8_t* r, int32_t n, int32_t strength) {
  if (strength == 100) {
    std::memcpy(p, r, static_cast<size_t>(n));
    return;
  }
  const uint32_t keep = static_cast<uint32_t>(100 - strength), s = static_cast<uint32_t>(strength);
  int32_t b = 0;
#if defined(__SSE2__)
  const __m128i k = _mm_set1_epi16(static_cast<int16_t>(keep));
  const __m128i sv = _mm_set1_epi16(static_cast<int16_t>(s));
  const __m128i zero = _mm_setzero_si128();
  auto blend = [&](int32_t at) {
    const __m128i x = Load16(p + at), y = Load16(r + at);
    const __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(x, zero), k),
                                     _mm_mullo_epi16(_mm_unpacklo_epi8(y, zero), sv));
    const __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(x, zero), k),
                                     _mm_mullo_epi16(_mm_unpackhi_epi8(y, zero), sv));
    return _mm_packus_epi16(Div100(lo), Div100(hi));
  };
  if (n >= 16) {
    BlendVectors(p, n, blend);
    return;
  }
  if (b + 8 <= n) {
    Store8(p + b, Div100(_mm_add_epi16(_mm_mullo_epi16(Load8(p + b), k), _mm_mullo_epi16(Load8(r + b), sv))));
    b += 8;
  }
#endif
  for (; b < n; ++b) p[b] = static_cast<uint8_t>((p[b] * keep + r[b] * s) / 100);
}

// p[b] = (q[b] * (100 - w[b]) + colour[b % 3] * w[b]) / 100 over n bytes of whole pixels.
void BlendWeighted(uint8_t* p, const uint8_t* q, const uint8_t* w, int32_t n, const ColourBytes& colour) {
  int32_t b = 0;
#if defined(__SSE2__)
  const __m128i hundred = _mm_set1_epi16(100);
  int32_t phase = 0;
  for (; b + 8 <= n; b += 8) {
    const __m128i wv = Load8(w + b);
    const __m128i x = _mm_add_epi16(_mm_mullo_epi16(Load8(q + b), _mm_sub_epi16(hundred, wv)),
                                    _mm_mullo_epi16(Load8x16(colour.wide + phase), wv));
    Store8(p + b, Div100(x));
    phase = phase == 16 ? 0 : phase + 8;
  }
#endif
  for (; b < n; ++b) p[b] = static_cast<uint8_t>((q[b] * (100 - w[b]) + colour.wide[b % 3] * w[b]) / 100);
}

// ---- Soft blend with a floating weight (restore, spray) --------------------------------------
//
// A channel c moves towards o by trunc((c (100 - w) + o w) / 100), evaluated in doubles with a
// weight w of 0 to 100. The double sum lies within 1.1e-11 of 100 (c + d w / 100), d = o - c, so
// the result is floor(c + d w / 100) wherever that is not within about 1e-13 of an integer.
//
// The kernels find it in 16.16 fixed point: f = 65536 w / 100 rounded to an odd integer (0 for
// w = 0), |f - 65536 w / 100| <= 1, and X = 65536 c + d f, which lies within 255 of
// 65536 (c + d w / 100). Where the fraction X mod 65536 is more than kNear = 256 from 0, X >> 16
// is the result. The other channels are settled in doubles, except d = 0, the only way an odd f
// gives a zero fraction:
// - K = 100 - w rounded up or exact (K + w >= 100): c K + c w >= N = 100 c. Of the two rounded
//   products at most one lies in the binade of N (both would sum past N); if one does, it is a
//   multiple of ulp(N) = U and the other, at least N minus that multiple less U / 2, rounds to
//   no less than that (a multiple of U / 2 below the binade is a double); else each is off by at
//   most U / 4. Either way the sum is at least N - U / 2, which rounds to N (even mantissa), and
//   the result is c.
// - K rounded down: c may come out as c - 1. The spray knows its colour, so its cache holds that
//   outcome per channel; the restore settles such channels after the vector pass (whose result
//   there is c) with SameSoft.
constexpr int32_t kNear = 256;

inline uint8_t ExactSoft(int32_t c, int32_t o, double w, double keep) {
  return static_cast<uint8_t>((c * keep + o * w) / 100);
}

// ExactSoft(c, c, w, 100 - w): the quotient of a sum below 100 c truncates to c - 1 (100 c is
// at least 64 units of c's last place above the sum), else to c; no division.
inline uint8_t SameSoft(int32_t c, double w) {
  const double x = c;
  return static_cast<uint8_t>(c - (x * (100 - w) + x * w < x * 100 ? 1 : 0));
}

// The fixed-point factor of weight w (f above).
inline uint16_t SoftFactor(double w) {
  if (w <= 0) return 0;
  const int32_t half = static_cast<int32_t>(w * 655.36 / 2);  // floor: w * 655.36 is at most 65536
  return static_cast<uint16_t>(std::min(2 * half + 1, 65535));
}

// The aux constant of a byte of weight w: for the restore 0xFFFF where a channel equal to its
// target must be settled, else 0; for the spray towards colour channel `to`, how much a channel
// already at the colour drops (0 or 1).
inline uint16_t SoftAux(double w, bool spray, int32_t to) {
  const double keep = 100 - w;
  if (spray) return static_cast<uint16_t>(to - ExactSoft(to, to, w, keep));
  return 100 - keep <= w ? 0 : 0xFFFF;
}

// What one byte needs besides the fixed point.
enum class Settle { kNone, kExact, kSame };

// One byte, as the vector lanes below do it.
template <bool kColour>
inline Settle SoftByte(int32_t c, int32_t o, uint16_t factor, uint16_t aux, uint8_t* out) {
  const int32_t x = c * 65536 + (o - c) * factor;  // 0 or more: d >= -c and f < 65536
  const uint32_t lo = static_cast<uint32_t>(x) & 0xFFFF;
  *out = static_cast<uint8_t>(x >> 16);
  if (lo == 0) {
    if (kColour) *out = static_cast<uint8_t>((x >> 16) - aux);
    return !kColour && aux != 0 ? Settle::kSame : Settle::kNone;
  }
  return ((lo + kNear) & 0xFFFF) <= 2 * kNear ? Settle::kExact : Settle::kNone;
}

#if defined(__SSE2__)
// Sixteen bytes c (x) towards o (y): the fixed-point results; in *exact bit k for every byte k
// that must be settled in doubles, in *same (restore) for every byte at its target that must be.
template <bool kColour>
inline __m128i SoftBlend16(__m128i x, __m128i y, const uint16_t* factor, const uint16_t* aux, uint32_t* exact,
                           uint32_t* same) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i bias = _mm_set1_epi16(static_cast<int16_t>(0x8000 + kNear));
  // Fractions of -kNear .. kNear, biased by 0x8000 + kNear, are the signed values below this.
  const __m128i limit = _mm_set1_epi16(static_cast<int16_t>(-32768 + 2 * kNear + 1));
  __m128i out[2], again[2], settle[2];
  for (int h = 0; h < 2; ++h) {
    const __m128i c = h == 0 ? _mm_unpacklo_epi8(x, zero) : _mm_unpackhi_epi8(x, zero);
    const __m128i o = h == 0 ? _mm_unpacklo_epi8(y, zero) : _mm_unpackhi_epi8(y, zero);
    const __m128i f = Load8x16(factor + 8 * h);
    const __m128i d = _mm_sub_epi16(o, c);
    const __m128i lo = _mm_mullo_epi16(d, f);
    // The signed high half takes f >= 32768 as f - 65536: add d back there.
    const __m128i hi = _mm_add_epi16(_mm_mulhi_epi16(d, f), _mm_and_si128(d, _mm_srai_epi16(f, 15)));
    const __m128i near = _mm_cmpgt_epi16(limit, _mm_add_epi16(lo, bias));
    const __m128i at = _mm_cmpeq_epi16(lo, zero);
    again[h] = _mm_andnot_si128(at, near);
    if constexpr (kColour) {
      out[h] = _mm_sub_epi16(_mm_add_epi16(c, hi), _mm_and_si128(at, Load8x16(aux + 8 * h)));
    } else {
      out[h] = _mm_add_epi16(c, hi);
      settle[h] = _mm_and_si128(at, Load8x16(aux + 8 * h));
    }
  }
  *exact = static_cast<uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(again[0], again[1])));
  if constexpr (!kColour) *same = static_cast<uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(settle[0], settle[1])));
  return _mm_packus_epi16(out[0], out[1]);
}
#endif

// The n bytes of a run of whole pixels: p towards `target` (the restore's backup bytes), or
// towards the colour pattern `target` (64 bytes, ColourBytes::bytes) for the spray. factor and
// aux hold the constants of each byte; exact(b, c, o) settles byte b in doubles and same(b, c)
// a restore byte at its target.
template <bool kColour, class Exact, class Same>
void SoftRun(uint8_t* p, const uint8_t* target, int32_t n, const uint16_t* factor, const uint16_t* aux,
             Exact&& exact, Same&& same) {
  auto to = [&](int32_t b) { return kColour ? target + b % 48 : target + b; };
#if defined(__SSE2__)
  if (n >= 16) {
    auto settle = [&](int32_t b, uint32_t bits, __m128i x) {
      alignas(16) uint8_t before[16];
      _mm_store_si128(reinterpret_cast<__m128i*>(before), x);
      const uint8_t* o = to(b);
      for (; bits != 0; bits &= bits - 1) {
        const int32_t k = std::countr_zero(bits);
        p[b + k] = exact(b + k, before[k], o[k]);
      }
    };
    // Bytes at their target, settled in one pass per 64 bytes: the vector result there is the
    // byte itself.
    uint64_t pending = 0;
    int32_t pendingFrom = 0;
    auto flush = [&] {
      for (; pending != 0; pending &= pending - 1) {
        const int32_t b = pendingFrom + std::countr_zero(pending);
        p[b] = same(b, p[b]);
      }
    };
    // The last sixteen bytes, from the bytes as they were: they may lie over the last whole
    // vector, whose results they then keep.
    const int32_t last = n - 16;
    const __m128i xLast = Load16(p + last);
    uint32_t exactLast, sameLast = 0;
    const __m128i rLast = SoftBlend16<kColour>(xLast, Load16(to(last)), factor + last, aux + last, &exactLast, &sameLast);
    int32_t b = 0;
    for (; b + 16 <= n; b += 16) {
      const __m128i x = Load16(p + b);
      uint32_t bits, sameBits = 0;
      _mm_storeu_si128(reinterpret_cast<__m128i*>(p + b),
                       SoftBlend16<kColour>(x, Load16(to(b)), factor + b, aux + b, &bits, &sameBits));
      if (bits != 0) settle(b, bits, x);
      if constexpr (!kColour) {
        pending |= static_cast<uint64_t>(sameBits) << (b - pendingFrom);
        if (b + 16 - pendingFrom == 64) {
          flush();
          pendingFrom = b + 16;
        }
      }
    }
    if (b < n) {
      // Keep the bytes below b as they are now.
      const int32_t kept = b - last;
      const __m128i keep = _mm_cmplt_epi8(_mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15),
                                          _mm_set1_epi8(static_cast<char>(kept)));
      const __m128i now = Load16(p + last);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(p + last),
                       _mm_or_si128(_mm_and_si128(keep, now), _mm_andnot_si128(keep, rLast)));
      const uint32_t fresh = ~((1u << kept) - 1);
      if ((exactLast & fresh) != 0) settle(last, exactLast & fresh, xLast);
      if constexpr (!kColour) {
        flush();
        pendingFrom = last;
        pending = sameLast & fresh;
      }
    }
    if constexpr (!kColour) flush();
    return;
  }
#endif
  for (int32_t b = 0; b < n; ++b) {
    const int32_t c = p[b], o = *to(b);
    switch (SoftByte<kColour>(c, o, factor[b], aux[b], &p[b])) {
      case Settle::kExact:
        p[b] = exact(b, c, o);
        break;
      case Settle::kSame:
        p[b] = same(b, c);
        break;
      case Settle::kNone:
        break;
    }
  }
}

// Everything a per-pixel routine needs for one row of the dab.
struct Row {
  uint8_t* pixel;       // first image pixel of the row
  const uint8_t* mask;  // mask byte of that pixel
  int32_t y;            // image row
};

template <class Fn>
void ForEachRow(const dib::View& image, const dib::View& mask, const DabClip& clip, Fn&& fn) {
  for (int32_t j = 0; j < clip.height; ++j) {
    Row row{image.Pixel24(clip.x, clip.y + j), mask.Row(clip.maskY + j) + clip.maskX, clip.y + j};
    fn(row, j);
  }
}

// ---- Soft weights, kept while the dab keeps its clipped size and strength -------------------

enum WeightKind { kPaintWeights, kRestoreWeights, kSprayWeights, kWeightKinds };

struct SoftWeights {
  int32_t width = 0, height = 0, strength = -1;
  uint32_t color = 0;                  // spray: the colour the constants were made for
  std::unique_ptr<uint8_t[]> pixels;   // paint: w of each pixel, 0..100
  std::unique_ptr<uint8_t[]> bytes;    // paint: w of each byte (three per pixel)
  // Restore, spray: pixels with the same centre offsets share one weight; `shared` gives it for
  // each byte, `weight` its w. factor and aux: the fixed-point constants of each byte.
  std::unique_ptr<uint32_t[]> shared;
  std::unique_ptr<uint16_t[]> factor, aux;
  std::unique_ptr<double[]> weight;
};

// The weights of a soft dab of cw x ch pixels at strength s (and, for the spray, colour): built on
// first use and kept until a dab of another size, strength or colour comes (a stroke clips the
// same way until it meets an edge). Null when the memory cannot be had. The editor runs on one
// thread.
SoftWeights* WeightsFor(WeightKind kind, int32_t cw, int32_t ch, int32_t s, uint32_t color = 0) {
  static SoftWeights cache[kWeightKinds];
  SoftWeights& e = cache[kind];
  if (e.width == cw && e.height == ch && e.strength == s && e.color == color) return &e;
  e = SoftWeights{};
  const size_t n = static_cast<size_t>(cw) * static_cast<size_t>(ch);
  const SoftShape shape(cw, ch);
  if (kind == kPaintWeights) {
    e.pixels.reset(new (std::nothrow) uint8_t[n]);
    e.bytes.reset(new (std::nothrow) uint8_t[3 * n]);
    if (!e.pixels || !e.bytes) return e = SoftWeights{}, nullptr;
    for (int32_t j = 0; j < ch; ++j)
      for (int32_t i = 0; i < cw; ++i) {
        const double t = shape.Distance(i, j);
        const size_t at = static_cast<size_t>(j) * cw + i;
        e.pixels[at] = static_cast<uint8_t>(static_cast<int32_t>(s * (1.0 - t * t * t)));
        std::memset(&e.bytes[3 * at], e.pixels[at], 3);
      }
  } else {
    const bool spray = kind == kSprayWeights;
    const int32_t across = ch / 2 + 1;
    const size_t ids = static_cast<size_t>(cw / 2 + 1) * static_cast<size_t>(across);
    e.shared.reset(new (std::nothrow) uint32_t[3 * n]);
    e.factor.reset(new (std::nothrow) uint16_t[3 * n]);
    e.aux.reset(new (std::nothrow) uint16_t[3 * n]);
    e.weight.reset(new (std::nothrow) double[ids]);
    // The constants of each weight: factor, then aux of the three channels.
    std::unique_ptr<uint16_t[]> made(new (std::nothrow) uint16_t[4 * ids]);
    if (!e.shared || !e.factor || !e.aux || !e.weight || !made) return e = SoftWeights{}, nullptr;
    std::fill(e.weight.get(), e.weight.get() + ids, -1.0);  // not yet made
    const Rgb rgb = Channels(color);
    for (int32_t j = 0; j < ch; ++j) {
      const int32_t dy = std::abs(SoftShape::Offset(j, ch));
      for (int32_t i = 0; i < cw; ++i) {
        const size_t id = static_cast<size_t>(std::abs(SoftShape::Offset(i, cw))) * across + dy;
        uint16_t* k = &made[4 * id];
        if (e.weight[id] < 0) {
          const double t = shape.Distance(i, j);
          const double w = spray ? (1 - std::sqrt(t)) * s : s * (1 - t);
          e.weight[id] = w;
          k[0] = SoftFactor(w);
          for (int32_t c = 0; c < 3; ++c) k[1 + c] = SoftAux(w, spray, rgb.c[c]);
        }
        const size_t at = 3 * (static_cast<size_t>(j) * cw + i);
        for (size_t c = 0; c < 3; ++c) {
          e.shared[at + c] = static_cast<uint32_t>(id);
          e.factor[at + c] = k[0];
          e.aux[at + c] = k[1 + c];
        }
      }
    }
  }
  e.width = cw;
  e.height = ch;
  e.strength = s;
  e.color = color;
  return &e;
}

// ---- The tools -------------------------------------------------------------------------------

void PaintHard(const dib::View& image, const dib::View& mask, const DabClip& clip, const Rgb& rgb,
               int32_t s, const dib::View& coverage) {
  const ColourBytes colour(rgb), add(rgb, static_cast<uint32_t>(s));
  ForEachRow(image, mask, clip, [&](const Row& row, int32_t) {
    uint8_t* covered = coverage.Row(row.y) + clip.x;
    ForEachRun(
        clip.width,
        [&](int32_t i) {
#if defined(__SSE2__)
          const __m128i zero = _mm_setzero_si128();
          const __m128i open = _mm_andnot_si128(_mm_cmpeq_epi8(Load16(row.mask + i), zero),
                                                _mm_cmpeq_epi8(Load16(covered + i), zero));
          return static_cast<uint32_t>(_mm_movemask_epi8(open));
#else
          return (void)i, 0u;
#endif
        },
        [&](int32_t i) { return row.mask[i] != 0 && covered[i] == 0; },
        [&](int32_t i0, int32_t i1) {
          BlendToColour(row.pixel + 3 * i0, 3 * (i1 - i0), colour, add, s);
          // Runs are mostly a pixel or two (the new edge of a moving brush): no library call.
          for (int32_t i = i0; i < i1; ++i) covered[i] = 1;
        });
  });
}

bool PaintSoft(const dib::View& image, const dib::View& mask, const DabClip& clip, const Rgb& rgb,
               int32_t s, const dib::View& coverage, const dib::View& snapshot) {
  const SoftWeights* weights = WeightsFor(kPaintWeights, clip.width, clip.height, s);
  if (weights == nullptr) return false;
  const ColourBytes colour(rgb);
  ForEachRow(image, mask, clip, [&](const Row& row, int32_t j) {
    uint8_t* covered = coverage.Row(row.y) + clip.x;
    const uint8_t* before = snapshot.Pixel24(clip.x, row.y);
    const uint8_t* w = weights->pixels.get() + static_cast<size_t>(j) * clip.width;
    const uint8_t* wb = weights->bytes.get() + static_cast<size_t>(j) * clip.width * 3;
    ForEachRun(
        clip.width,
        [&](int32_t i) {
#if defined(__SSE2__)
          const __m128i wv = Load16(w + i);
          const __m128i reached = _mm_cmpeq_epi8(_mm_max_epu8(wv, Load16(covered + i)), wv);
          const __m128i open = _mm_andnot_si128(_mm_cmpeq_epi8(Load16(row.mask + i), _mm_setzero_si128()), reached);
          return static_cast<uint32_t>(_mm_movemask_epi8(open));
#else
          return (void)i, 0u;
#endif
        },
        [&](int32_t i) { return row.mask[i] != 0 && w[i] >= covered[i]; },
        [&](int32_t i0, int32_t i1) {
          BlendWeighted(row.pixel + 3 * i0, before + 3 * i0, wb + 3 * i0, 3 * (i1 - i0), colour);
          std::memcpy(covered + i0, w + i0, static_cast<size_t>(i1 - i0));
        });
  });
  return true;
}

// Soft restore (towards the backup) or spray (towards `color`) with a floating weight per pixel.
template <bool kColour>
bool BlendSoft(const dib::View& image, const dib::View& mask, const DabClip& clip, int32_t s,
               const dib::View& backup, uint32_t color) {
  SoftWeights* weights =
      kColour ? WeightsFor(kSprayWeights, clip.width, clip.height, s, color) : WeightsFor(kRestoreWeights, clip.width, clip.height, s);
  if (weights == nullptr) return false;
  const ColourBytes colour(Channels(color));
  // Plain pointers: the byte stores of the kernels could alias anything behind a reference.
  const uint16_t* const factor = weights->factor.get();
  const uint16_t* const aux = weights->aux.get();
  const uint32_t* const shared = weights->shared.get();
  const double* const weight = weights->weight.get();
  const MaskRuns& runs = MaskRuns::Of(mask);
  ForEachRow(image, mask, clip, [&](const Row& row, int32_t j) {
    const size_t first = static_cast<size_t>(j) * clip.width;
    const uint8_t* to = kColour ? colour.bytes : backup.Pixel24(clip.x, row.y);
    runs.ForEach(clip.maskY + j, clip.maskX, clip.width, [&](int32_t i0, int32_t i1) {
      const size_t at = first + i0;
      const uint32_t* ids = shared + 3 * at;
      SoftRun<kColour>(
          row.pixel + 3 * i0, kColour ? to : to + 3 * i0, 3 * (i1 - i0), factor + 3 * at, aux + 3 * at,
          [weight, ids](int32_t b, int32_t c, int32_t o) {
            const double w = weight[ids[b]];
            return ExactSoft(c, o, w, 100 - w);
          },
          [weight, ids](int32_t b, int32_t c) { return SameSoft(c, weight[ids[b]]); });
    });
  });
  return true;
}

void SprayHard(const dib::View& image, const dib::View& mask, const DabClip& clip, const Rgb& rgb, int32_t s) {
  const ColourBytes colour(rgb), add(rgb, static_cast<uint32_t>(s));
  const MaskRuns& runs = MaskRuns::Of(mask);
  ForEachRow(image, mask, clip, [&](const Row& row, int32_t j) {
    runs.ForEach(clip.maskY + j, clip.maskX, clip.width, [&](int32_t i0, int32_t i1) {
      BlendToColour(row.pixel + 3 * i0, 3 * (i1 - i0), colour, add, s);
    });
  });
}

// Hard blend towards a source row given by `source(row, j)` and as many columns as it has.
template <class Source>
void CopyHard(const dib::View& image, const dib::View& mask, const DabClip& clip, int32_t s,
              Source&& source, int32_t columns) {
  const int32_t width = std::min(clip.width, columns);
  if (width <= 0) return;
  const MaskRuns& runs = MaskRuns::Of(mask);
  ForEachRow(image, mask, clip, [&](const Row& row, int32_t j) {
    const uint8_t* from = source(row, j);
    if (from == nullptr) return;
    runs.ForEach(clip.maskY + j, clip.maskX, width, [&](int32_t i0, int32_t i1) {
      BlendToSource(row.pixel + 3 * i0, from + 3 * i0, 3 * (i1 - i0), s);
    });
  });
}

// Horizontal 1 2 1 sums of the bytes of one row: h[b] = x[b - 3] + 2 x[b] + x[b + 3] for the
// inner bytes 3 .. n - 4.
void HorizontalSums(const uint8_t* x, int32_t n, uint16_t* h) {
  int32_t b = 3;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; b + 16 <= n - 3; b += 16) {
    const __m128i l = Load16(x + b - 3), c = Load16(x + b), r = Load16(x + b + 3);
    const __m128i lo = _mm_add_epi16(_mm_add_epi16(_mm_unpacklo_epi8(l, zero), _mm_unpacklo_epi8(r, zero)),
                                     _mm_slli_epi16(_mm_unpacklo_epi8(c, zero), 1));
    const __m128i hi = _mm_add_epi16(_mm_add_epi16(_mm_unpackhi_epi8(l, zero), _mm_unpackhi_epi8(r, zero)),
                                     _mm_slli_epi16(_mm_unpackhi_epi8(c, zero), 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(h + b), lo);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(h + b + 8), hi);
  }
  for (; b + 8 <= n - 3; b += 8) {
    const __m128i sum = _mm_add_epi16(_mm_add_epi16(Load8(x + b - 3), Load8(x + b + 3)),
                                      _mm_slli_epi16(Load8(x + b), 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(h + b), sum);
  }
#endif
  for (; b < n - 3; ++b) h[b] = static_cast<uint16_t>(x[b - 3] + 2 * x[b] + x[b + 3]);
}

// out[b] = (above[b] + 2 current[b] + below[b] + 8) >> 4, blended with the unfiltered byte at
// strength s, for the inner bytes.
void VerticalSums(const uint16_t* above, const uint16_t* current, const uint16_t* below,
                  const uint8_t* original, int32_t n, int32_t s, uint8_t* out) {
  const uint32_t keep = static_cast<uint32_t>(100 - s), su = static_cast<uint32_t>(s);
  int32_t b = 3;
#if defined(__SSE2__)
  const __m128i eight = _mm_set1_epi16(8);
  const __m128i k = _mm_set1_epi16(static_cast<int16_t>(keep));
  const __m128i sv = _mm_set1_epi16(static_cast<int16_t>(su));
  auto filtered = [&](int32_t at) {
    __m128i v = _mm_add_epi16(_mm_add_epi16(Load8x16(above + at), Load8x16(below + at)),
                              _mm_add_epi16(_mm_slli_epi16(Load8x16(current + at), 1), eight));
    v = _mm_srli_epi16(v, 4);
    if (s != 100) v = Div100(_mm_add_epi16(_mm_mullo_epi16(Load8(original + at), k), _mm_mullo_epi16(v, sv)));
    return v;
  };
  for (; b + 16 <= n - 3; b += 16) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + b), _mm_packus_epi16(filtered(b), filtered(b + 8)));
  }
  for (; b + 8 <= n - 3; b += 8) Store8(out + b, filtered(b));
#endif
  for (; b < n - 3; ++b) {
    const uint32_t v = (above[b] + 2u * current[b] + below[b] + 8) >> 4;
    out[b] = static_cast<uint8_t>(s == 100 ? v : (original[b] * keep + v * su) / 100);
  }
}

bool Smooth(const dib::View& image, const dib::View& mask, const DabClip& clip, int32_t s) {
  const int32_t cw = clip.width, ch = clip.height;
  if (cw < 3 || ch < 3) return true;
  const int32_t n = cw * 3;
  // Three rows of horizontal sums (above, current, below: all from the rows as they were before
  // the dab) and the filtered row.
  constexpr int32_t kStackBytes = 96 * 3;
  uint16_t stackSums[3 * kStackBytes];
  uint8_t stackOut[kStackBytes];
  std::unique_ptr<uint16_t[]> heapSums;
  std::unique_ptr<uint8_t[]> heapOut;
  uint16_t* sums = stackSums;
  uint8_t* out = stackOut;
  if (n > kStackBytes) {
    heapSums.reset(new (std::nothrow) uint16_t[3 * static_cast<size_t>(n)]);
    heapOut.reset(new (std::nothrow) uint8_t[static_cast<size_t>(n)]);
    if (!heapSums || !heapOut) return false;
    sums = heapSums.get();
    out = heapOut.get();
  }
  const MaskRuns& runs = MaskRuns::Of(mask);
  uint16_t* above = sums;
  uint16_t* current = sums + n;
  uint16_t* below = sums + 2 * n;
  HorizontalSums(image.Pixel24(clip.x, clip.y), n, above);
  HorizontalSums(image.Pixel24(clip.x, clip.y + 1), n, current);
  for (int32_t j = 1; j <= ch - 3; ++j) {
    uint8_t* row = image.Pixel24(clip.x, clip.y + j);
    HorizontalSums(image.Pixel24(clip.x, clip.y + j + 1), n, below);
    VerticalSums(above, current, below, row, n, s, out);
    // Pixel i is filtered where the mask byte one row up and one column left is set.
    runs.ForEach(clip.maskY + j - 1, clip.maskX, cw - 2, [&](int32_t i0, int32_t i1) {
      std::memcpy(row + 3 * (i0 + 1), out + 3 * (i0 + 1), 3 * static_cast<size_t>(i1 - i0));
    });
    uint16_t* spare = above;
    above = current;
    current = below;
    below = spare;
  }
  return true;
}

}  // namespace

int ApplyDab(const DabSettings& st, int32_t left, int32_t top, const dib::View& image,
             const dib::View& mask, const DabBlocks& blocks) {
  if (!IsView(image, 24) || !IsView(mask, 8)) return 0;
  const bool soft = st.option == 1;
  switch (st.tool) {
    case TOOL_PAINT:
      if (!Matches(blocks.coverage, 8, image)) return 0;
      if (soft && !Matches(blocks.snapshot, 24, image)) return 0;
      break;
    case TOOL_RESTORE:
      if (!Matches(blocks.backup, 24, image)) return 0;
      break;
    case TOOL_STAMP:
    case TOOL_CLONE:
      if (!IsView(blocks.sample, 24)) return 0;
      break;
    case TOOL_SPRAY:
    case TOOL_SMOOTH:
      break;
    default:
      return 0;
  }
  DabClip clip;
  if (!ClipDab(image.width, image.height, mask.width, mask.height, left, top, &clip)) return 1;
  const int32_t s = std::clamp(st.strength, 0, 100);
  const Rgb rgb = Channels(st.color);

  switch (st.tool) {
    case TOOL_PAINT:
      if (!soft) {
        PaintHard(image, mask, clip, rgb, s, blocks.coverage);
        return 1;
      }
      return PaintSoft(image, mask, clip, rgb, s, blocks.coverage, blocks.snapshot) ? 1 : 0;
    case TOOL_RESTORE:
      if (soft) {
        return BlendSoft<false>(image, mask, clip, s, blocks.backup, 0) ? 1 : 0;
      }
      // The backup pixels at the same image positions: what a crop of the brush rectangle from
      // the backup holds at the mask offsets.
      CopyHard(image, mask, clip, s,
               [&](const Row& row, int32_t) { return blocks.backup.Pixel24(clip.x, row.y); }, clip.width);
      return 1;
    case TOOL_SPRAY:
      if (!soft) {
        SprayHard(image, mask, clip, rgb, s);
        return 1;
      }
      if (SoftShape(clip.width, clip.height).degenerate()) return 1;
      return BlendSoft<true>(image, mask, clip, s, dib::View{}, st.color & 0xFFFFFF) ? 1 : 0;
    case TOOL_STAMP:
    case TOOL_CLONE: {
      // The sample lies over the brush like the mask: its pixel at the mask offsets.
      const dib::View& sample = blocks.sample;
      CopyHard(
          image, mask, clip, s,
          [&](const Row&, int32_t j) -> const uint8_t* {
            const int32_t r = clip.maskY + j;
            return r < sample.height ? sample.Pixel24(clip.maskX, r) : nullptr;
          },
          sample.width - clip.maskX);
      return 1;
    }
    case TOOL_SMOOTH:
      return Smooth(image, mask, clip, s) ? 1 : 0;
    default:
      return 0;
  }
}

// ---- Soft blend over plain bytes ---------------------------------------------------------------

namespace {

// Runs of lengths that take every path of SoftRun (whole vectors, an overlapping last vector,
// bytes one by one), with the constants of weight w.
template <bool kColour>
void SoftBlendBytes(uint8_t* p, const uint8_t* target, int32_t n, uint32_t color, double w) {
  constexpr int32_t kLengths[] = {48, 45, 9, 30};
  const Rgb rgb = Channels(color);
  uint16_t factor[48], aux[48];
  for (int32_t b = 0; b < 48; ++b) {
    factor[b] = SoftFactor(w);
    aux[b] = SoftAux(w, kColour, rgb.c[b % 3]);
  }
  const double keep = 100 - w;
  const ColourBytes colour(rgb);
  for (int32_t b = 0, k = 0; b < n; k = (k + 1) % 4) {
    const int32_t len = std::min(kLengths[k], n - b);
    auto exact = [&](int32_t, int32_t c, int32_t o) { return ExactSoft(c, o, w, keep); };
    SoftRun<kColour>(p + b, kColour ? colour.bytes : target + b, len, factor, aux, exact,
                     [&](int32_t, int32_t c) { return SameSoft(c, w); });
    b += len;
  }
}

}  // namespace

void SoftBlendTowards(uint8_t* p, const uint8_t* target, int32_t n, double w) {
  SoftBlendBytes<false>(p, target, n, 0, w);
}

void SoftBlendToColour(uint8_t* p, int32_t n, uint32_t color, double w) {
  SoftBlendBytes<true>(p, nullptr, n, color, w);
}

// ---- Brush mask ------------------------------------------------------------------------------

void MaskFromBits(const uint8_t* bits, int32_t sourceStride, uint8_t zero, uint8_t one,
                  const dib::View& mask) {
  if (bits == nullptr || !mask.valid()) return;
  for (int32_t r = 0; r < mask.height; ++r) {
    const uint8_t* src = bits + static_cast<size_t>(r) * static_cast<size_t>(sourceStride);
    uint8_t* dst = mask.bits + static_cast<size_t>(r) * static_cast<size_t>(mask.stride);
    for (int32_t c = 0; c < mask.width; ++c) {
      dst[c] = (src[c >> 3] >> (7 - (c & 7))) & 1 ? one : zero;
    }
  }
}

}  // namespace brush
