#include "retouch/imaging/tone.h"

#include <algorithm>

namespace tone {

namespace {

int32_t Clamp(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : (v > hi ? hi : v); }

// The conversions run once or twice per pixel over images of tens of megapixels: their
// divisions by a varying divisor are multiplications by a reciprocal, and the branches of the
// hue ramp are a table. Both give exactly the quotients and values of the plain formulas (the
// tests compare every input).

// floor(n / d) == (n * kReciprocal[d]) >> 32 for every n < 2^16 and 0 < d <= 510: the error of
// the rounded-up reciprocal adds less than 2^-16 to n / d, whose fraction is at most 1 - 1/510.
// kReciprocal[0] is 0, so a grey's zero spread gives 0 without a division by zero.
struct Reciprocals {
  uint64_t of[2 * kRgbMax + 1];
};
constexpr Reciprocals MakeReciprocals() {
  Reciprocals t{};
  for (uint32_t d = 1; d <= 2 * kRgbMax; ++d) t.of[d] = (uint64_t{1} << 32) / d + 1;
  return t;
}
constexpr Reciprocals kReciprocal = MakeReciprocals();

inline int32_t Divide(int32_t n, int32_t d) {
  return static_cast<int32_t>((static_cast<uint64_t>(n) * kReciprocal.of[d]) >> 32);
}

// The hue ramp's weight (0 .. 42) for t = -84 .. 336, index t + 84: the ramp between m1 and m2 is
// m1 + ((m2 - m1) * weight + 21) / 42, which is m2 for the full weight and m1 for none.
struct Ramp {
  uint8_t weight[kHlsMax + 2 * 84 + 1];
};
constexpr Ramp MakeRamp() {
  Ramp r{};
  for (int32_t i = 0; i < static_cast<int32_t>(sizeof r.weight); ++i) {
    int32_t t = i - 84;
    if (t < 0) t += kHlsMax;
    else if (t > kHlsMax) t -= kHlsMax;
    r.weight[i] = static_cast<uint8_t>(t < 42 ? t : t < 126 ? 42 : t < 168 ? 168 - t : 0);
  }
  return r;
}
constexpr Ramp kRamp = MakeRamp();

inline int32_t RampChannel(int32_t m1, int32_t span, int32_t t) {
  const int32_t v = m1 + (span * kRamp.weight[t + 84] + 21) / 42;
  return (v * kRgbMax + kHlsMax / 2) / kHlsMax;
}

// RgbToHls for r, g, b in 0 .. 255.
inline void ToHls(int32_t r, int32_t g, int32_t b, int32_t& h, int32_t& l, int32_t& s) {
  const int32_t max = std::max(r, std::max(g, b));
  const int32_t min = std::min(r, std::min(g, b));
  const int32_t m = max + min;
  const int32_t d = max - min;
  l = (m * kHlsMax + kRgbMax) / (2 * kRgbMax);
  // A grey has d = 0: its saturation comes out 0 and its hue is set below.
  const int32_t den = l <= kHlsMax / 2 ? m : 2 * kRgbMax - m;
  s = Divide(d * kHlsMax + den / 2, den);
  const int32_t rd = Divide((max - r) * 42 + d / 2, d);
  const int32_t gd = Divide((max - g) * 42 + d / 2, d);
  const int32_t bd = Divide((max - b) * 42 + d / 2, d);
  int32_t hr = bd - gd;
  hr += hr < 0 ? kHlsMax : 0;
  const int32_t hg = 84 + rd - bd;
  const int32_t hb = 168 + gd - rd;
  h = d == 0 ? kGreyHue : r == max ? hr : g == max ? hg : hb;
}

// HlsToRgb for h, l, s in 0 .. 252.
inline void ToRgb(int32_t h, int32_t l, int32_t s, int32_t& r, int32_t& g, int32_t& b) {
  if (s == 0) {
    r = g = b = l * kRgbMax / kHlsMax;
    return;
  }
  const int32_t m2 = l <= kHlsMax / 2 ? (l * (kHlsMax + s) + kHlsMax / 2) / kHlsMax
                                      : l + s - (l * s + kHlsMax / 2) / kHlsMax;
  const int32_t m1 = 2 * l - m2;
  r = RampChannel(m1, m2 - m1, h + 84);
  g = RampChannel(m1, m2 - m1, h);
  b = RampChannel(m1, m2 - m1, h - 84);
}

}  // namespace

void BuildToneTable(uint8_t table[256], int32_t p, int32_t q) {
  for (int32_t i = 0; i < 256; ++i) {
    // 64-bit: p and q come from callers, not only from the bars.
    const int64_t v = int64_t{i} * (int64_t{p} + 64) / 191 + int64_t{q} - p;
    table[i] = static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
  }
}

void RgbToHls(int32_t r, int32_t g, int32_t b, int32_t* h, int32_t* l, int32_t* s) {
  ToHls(Clamp(r, 0, kRgbMax), Clamp(g, 0, kRgbMax), Clamp(b, 0, kRgbMax), *h, *l, *s);
}

void HlsToRgb(int32_t h, int32_t l, int32_t s, int32_t* r, int32_t* g, int32_t* b) {
  if (h < 0 || h > kHlsMax) h = (h % kHlsMax + kHlsMax) % kHlsMax;
  ToRgb(h, Clamp(l, 0, kHlsMax), Clamp(s, 0, kHlsMax), *r, *g, *b);
}

Adjustment MakeAdjustment(int32_t scale, int32_t contrast, int32_t brightness, int32_t saturation, int32_t hue) {
  if (scale != kSelectionScale) scale = kImageScale;
  contrast = Clamp(contrast, -100, 100);
  brightness = Clamp(brightness, -100, 100);
  saturation = Clamp(saturation, 0, 100);
  hue = Clamp(hue, -127, 127);
  Adjustment a;
  BuildToneTable(a.table, (100 - contrast) * scale / 200, (100 - brightness) * scale / 200);
  a.saturationFactor = (100 - saturation) * scale / 100;
  a.hueShift = hue;
  a.colour = !(saturation == 50 && hue == 0);
  for (int32_t s = 0; s <= kHlsMax; ++s)
    a.saturation[s] = static_cast<uint8_t>(std::min((a.saturationFactor * s) >> 7, kHlsMax));
  for (int32_t h = 0; h <= kHlsMax; ++h) {
    int32_t t = h + hue;
    if (t < 0) t += kHlsMax;
    else if (t > kHlsMax) t -= kHlsMax;
    a.hueWeights[h] = uint32_t{kRamp.weight[t + 168]} | uint32_t{kRamp.weight[t + 84]} << 8 |
                      uint32_t{kRamp.weight[t]} << 16;
  }
  // A grey keeps saturation 0 whatever the factor: it only takes the table and the lightness levels.
  for (int32_t v = 0; v < 256; ++v) {
    int32_t h, l, s, r, g, b;
    ToHls(a.table[v], a.table[v], a.table[v], h, l, s);
    ToRgb(h, l, s, r, g, b);
    a.grey[v] = static_cast<uint8_t>(a.colour ? r : a.table[v]);
  }
  return a;
}

namespace {

// Tables of the colour path, all within the first-level cache together.
struct KernelTables {
  uint8_t lightness[2 * kRgbMax + 1];        // max + min -> l
  uint8_t rampStep[kHlsMax / 2 + 1][43];     // (2e * weight + 21) / 42, e = m2 - l
  uint8_t levels[2][kHlsMax + 1];            // HlsToRgb's last step: [0] grey, [1] coloured
  int16_t sectorBase[6];                     // hue = base + sign * the fraction of the sector
  int16_t sectorSign[6];                     // 0 for +, -1 for -
};
constexpr KernelTables MakeKernelTables() {
  KernelTables t{};
  for (int32_t m = 0; m <= 2 * kRgbMax; ++m) t.lightness[m] = static_cast<uint8_t>((m * kHlsMax + kRgbMax) / (2 * kRgbMax));
  for (int32_t e = 0; e <= kHlsMax / 2; ++e)
    for (int32_t w = 0; w <= 42; ++w) t.rampStep[e][w] = static_cast<uint8_t>((2 * e * w + 21) / 42);
  for (int32_t v = 0; v <= kHlsMax; ++v) {
    t.levels[0][v] = static_cast<uint8_t>(v * kRgbMax / kHlsMax);
    t.levels[1][v] = static_cast<uint8_t>((v * kRgbMax + kHlsMax / 2) / kHlsMax);
  }
  // Sectors by the maximum (red first, then green, then blue) and the minimum of the other two
  // (blue before green, blue before red, red before green): the channel that is neither gives the
  // fraction, the others give 0 and 42 in RgbToHls's differences.
  const int16_t base[6] = {42, 210, 42, 126, 126, 210};
  const int16_t sign[6] = {-1, 0, 0, -1, 0, -1};
  for (int i = 0; i < 6; ++i) {
    t.sectorBase[i] = base[i];
    t.sectorSign[i] = sign[i];
  }
  return t;
}
constexpr KernelTables kKernel = MakeKernelTables();

// The two quotients of RgbToHls that divide by a value of the pixel, by pairs of channel values:
// saturation by (max, min) and the hue's fraction of its sector by (max - min, max - mid). Made
// at the first adjustment (a constant table of this size would be 128 KiB in every build).
struct PairTables {
  uint8_t saturation[256][256];
  uint8_t fraction[256][256];
  uint8_t spread[kHlsMax + 1][kHlsMax + 1];  // HlsToRgb's m2 - l by (l, s)
};
const PairTables& Pairs() {
  static const PairTables* const tables = [] {
    static PairTables t;
    for (int32_t max = 0; max < 256; ++max)
      for (int32_t min = 0; min <= max; ++min) {
        const int32_t m = max + min, d = max - min;
        const int32_t den = kKernel.lightness[m] <= kHlsMax / 2 ? m : 2 * kRgbMax - m;
        t.saturation[max][min] = static_cast<uint8_t>(d == 0 ? 0 : (d * kHlsMax + den / 2) / den);
      }
    for (int32_t d = 1; d < 256; ++d)
      for (int32_t n = 0; n <= d; ++n) t.fraction[d][n] = static_cast<uint8_t>((n * 42 + d / 2) / d);
    for (int32_t l = 0; l <= kHlsMax; ++l)
      for (int32_t s = 0; s <= kHlsMax; ++s) {
        const int32_t k = (l * s + kHlsMax / 2) / kHlsMax;
        t.spread[l][s] = static_cast<uint8_t>(l <= kHlsMax / 2 ? k : s - k);
      }
    return &t;
  }();
  return *tables;
}

// Colour path of the kernel for the toned channels: RgbToHls, the adjusted saturation and hue,
// HlsToRgb, rearranged to one division per quantity and no branches on the pixel's values (they
// would be guessed wrong for every other pixel of a noisy picture). Same values as the plain
// formulas: m2 = l + e with e = (l * s + 126) / 252 when l <= 126, else s - that; m1 = l - e.
inline void AdjustToned(const Adjustment& a, const PairTables& pairs, int32_t r, int32_t g, int32_t b,
                        uint8_t* destination) {
  const int32_t max = std::max(r, std::max(g, b));
  const int32_t min = std::min(r, std::min(g, b));
  const int32_t m = max + min;
  const int32_t d = max - min;
  const int32_t l = kKernel.lightness[m];
  // A grey (d = 0) gets s = 0, hence the grey levels, whatever its hue comes out as.
  const int32_t s = a.saturation[pairs.saturation[max][min]];
  const int32_t rMax = -static_cast<int32_t>(r == max);
  const int32_t gMax = -static_cast<int32_t>(g == max) & ~rMax;
  const int32_t bMax = ~(rMax | gMax);
  const int32_t minCandidate = (b & ~bMax) | (r & bMax);
  const int32_t sector = (gMax & 2) | (bMax & 4) | static_cast<int32_t>(minCandidate != min);
  const int32_t mid = r + g + b - max - min;
  const int32_t fraction = pairs.fraction[d][max - mid];
  const int32_t sign = kKernel.sectorSign[sector];
  const int32_t h = kKernel.sectorBase[sector] + ((fraction ^ sign) - sign);
  const uint32_t w = a.hueWeights[h];
  const int32_t e = pairs.spread[l][s];
  const int32_t m1 = l - e;
  const uint8_t* step = kKernel.rampStep[e];
  const uint8_t* levels = kKernel.levels[s != 0];
  destination[0] = levels[m1 + step[w >> 16]];
  destination[1] = levels[m1 + step[w >> 8 & 0xFF]];
  destination[2] = levels[m1 + step[w & 0xFF]];
}

}  // namespace

void AdjustPixel(const Adjustment& a, const uint8_t* source, uint8_t* destination) {
  const uint8_t b = source[0], g = source[1], r = source[2];
  if (!a.colour) {
    destination[0] = a.table[b];
    destination[1] = a.table[g];
    destination[2] = a.table[r];
  } else if (b == g && g == r) {
    destination[0] = destination[1] = destination[2] = a.grey[b];
  } else {
    AdjustToned(a, Pairs(), a.table[r], a.table[g], a.table[b], destination);
  }
}

void AdjustPixels(const Adjustment& a, const uint8_t* source, uint8_t* destination, size_t count) {
  if (!a.colour) {
    for (size_t i = 0; i < 3 * count; ++i) destination[i] = a.table[source[i]];
    return;
  }
  const PairTables& pairs = Pairs();
  for (size_t i = 0; i < count; ++i, source += 3, destination += 3) {
    const uint8_t b = source[0], g = source[1], r = source[2];
    if (b == g && g == r) destination[0] = destination[1] = destination[2] = a.grey[b];
    else AdjustToned(a, pairs, a.table[r], a.table[g], a.table[b], destination);
  }
}

}  // namespace tone
