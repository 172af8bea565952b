#include "retouch/imaging/tone.h"

#include <algorithm>

namespace tone {

namespace {

int32_t Clamp(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : (v > hi ? hi : v); }

// One channel of HlsToRgb: the hue ramp between m1 and m2.
int32_t HueRamp(int32_t m1, int32_t m2, int32_t t) {
  if (t < 0) t += kHlsMax;
  else if (t > kHlsMax) t -= kHlsMax;
  if (t < 42) return m1 + ((m2 - m1) * t + 21) / 42;
  if (t < 126) return m2;
  if (t < 168) return m1 + ((m2 - m1) * (168 - t) + 21) / 42;
  return m1;
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
  r = Clamp(r, 0, kRgbMax);
  g = Clamp(g, 0, kRgbMax);
  b = Clamp(b, 0, kRgbMax);
  const int32_t max = std::max({r, g, b});
  const int32_t min = std::min({r, g, b});
  const int32_t m = max + min;
  *l = (m * kHlsMax + kRgbMax) / (2 * kRgbMax);
  if (max == min) {
    *s = 0;
    *h = kGreyHue;
    return;
  }
  const int32_t d = max - min;
  int32_t sat = *l <= kHlsMax / 2 ? (d * kHlsMax + m / 2) / m
                                  : (d * kHlsMax + (2 * kRgbMax - m) / 2) / (2 * kRgbMax - m);
  const int32_t rd = ((max - r) * (kHlsMax / 6) + d / 2) / d;
  const int32_t gd = ((max - g) * (kHlsMax / 6) + d / 2) / d;
  const int32_t bd = ((max - b) * (kHlsMax / 6) + d / 2) / d;
  int32_t hue;
  if (r == max) hue = bd - gd;
  else if (g == max) hue = kHlsMax / 3 + rd - bd;
  else hue = 2 * kHlsMax / 3 + gd - rd;
  if (hue < 0) hue += kHlsMax;
  if (hue > kHlsMax) hue -= kHlsMax;
  *h = hue;
  *s = Clamp(sat, 0, kHlsMax);
}

void HlsToRgb(int32_t h, int32_t l, int32_t s, int32_t* r, int32_t* g, int32_t* b) {
  if (h < 0 || h > kHlsMax) h = (h % kHlsMax + kHlsMax) % kHlsMax;
  l = Clamp(l, 0, kHlsMax);
  s = Clamp(s, 0, kHlsMax);
  if (s == 0) {
    *r = *g = *b = l * kRgbMax / kHlsMax;
    return;
  }
  const int32_t m2 = l <= kHlsMax / 2 ? (l * (kHlsMax + s) + kHlsMax / 2) / kHlsMax
                                      : l + s - (l * s + kHlsMax / 2) / kHlsMax;
  const int32_t m1 = 2 * l - m2;
  *r = (HueRamp(m1, m2, h + kHlsMax / 3) * kRgbMax + kHlsMax / 2) / kHlsMax;
  *g = (HueRamp(m1, m2, h) * kRgbMax + kHlsMax / 2) / kHlsMax;
  *b = (HueRamp(m1, m2, h - kHlsMax / 3) * kRgbMax + kHlsMax / 2) / kHlsMax;
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
  return a;
}

void AdjustPixel(const Adjustment& a, const uint8_t* source, uint8_t* destination) {
  const int32_t b0 = a.table[source[0]], g0 = a.table[source[1]], r0 = a.table[source[2]];
  if (!a.colour) {
    destination[0] = static_cast<uint8_t>(b0);
    destination[1] = static_cast<uint8_t>(g0);
    destination[2] = static_cast<uint8_t>(r0);
    return;
  }
  int32_t h, l, s;
  RgbToHls(r0, g0, b0, &h, &l, &s);
  s = std::min((a.saturationFactor * s) >> 7, kHlsMax);
  h += a.hueShift;
  if (h < 0) h += kHlsMax;
  else if (h > kHlsMax) h -= kHlsMax;
  int32_t r, g, b;
  HlsToRgb(h, l, s, &r, &g, &b);
  destination[0] = static_cast<uint8_t>(b);
  destination[1] = static_cast<uint8_t>(g);
  destination[2] = static_cast<uint8_t>(r);
}

void AdjustPixels(const Adjustment& a, const uint8_t* source, uint8_t* destination, size_t count) {
  for (size_t i = 0; i < count; ++i) AdjustPixel(a, source + 3 * i, destination + 3 * i);
}

}  // namespace tone
