// A second, deliberately plain transcription of the editor's tone table and colour conversions,
// written from the formulas without sharing code or shortcuts with the library. The library's
// conversions and its adjustment kernel are compared with it.
#pragma once

#include <cstdint>

namespace tone_reference {

inline int ToneEntry(int i, int p, int q) {
  int v = i * (p + 64) / 191 + q - p;
  if (v < 0) v = 0;
  if (v > 255) v = 255;
  return v;
}

inline void RgbToHls(int r, int g, int b, int& h, int& l, int& s) {
  int max = r;
  if (g > max) max = g;
  if (b > max) max = b;
  int min = r;
  if (g < min) min = g;
  if (b < min) min = b;
  l = ((max + min) * 252 + 255) / 510;
  if (max == min) {
    s = 0;
    h = 168;
    return;
  }
  int d = max - min;
  int m = max + min;
  if (l <= 126) s = (d * 252 + m / 2) / m;
  else s = (d * 252 + (510 - m) / 2) / (510 - m);
  int rd = ((max - r) * 42 + d / 2) / d;
  int gd = ((max - g) * 42 + d / 2) / d;
  int bd = ((max - b) * 42 + d / 2) / d;
  if (r == max) h = bd - gd;
  else if (g == max) h = 84 + rd - bd;
  else h = 168 + gd - rd;
  if (h < 0) h = h + 252;
  if (h > 252) h = h - 252;
  if (s < 0) s = 0;
  if (s > 252) s = 252;
}

inline int Ramp(int x, int y, int t) {
  if (t < 0) t = t + 252;
  else if (t > 252) t = t - 252;
  if (t < 42) return x + ((y - x) * t + 21) / 42;
  if (t < 126) return y;
  if (t < 168) return x + ((y - x) * (168 - t) + 21) / 42;
  return x;
}

inline void HlsToRgb(int h, int l, int s, int& r, int& g, int& b) {
  if (s == 0) {
    r = g = b = l * 255 / 252;
    return;
  }
  int m2;
  if (l <= 126) m2 = (l * (252 + s) + 126) / 252;
  else m2 = l + s - (l * s + 126) / 252;
  int m1 = 2 * l - m2;
  r = (Ramp(m1, m2, h + 84) * 255 + 126) / 252;
  g = (Ramp(m1, m2, h) * 255 + 126) / 252;
  b = (Ramp(m1, m2, h - 84) * 255 + 126) / 252;
}

// One pixel of an adjustment with the given scale (256 for the whole image, 255 for the
// selection), red, green, blue in and out.
inline void Adjust(int scale, int a, int bright, int c, int d, int& r, int& g, int& b) {
  int p = (100 - a) * scale / 200;
  int q = (100 - bright) * scale / 200;
  r = ToneEntry(r, p, q);
  g = ToneEntry(g, p, q);
  b = ToneEntry(b, p, q);
  if (c == 50 && d == 0) return;
  int h, l, s;
  RgbToHls(r, g, b, h, l, s);
  s = (((100 - c) * scale) / 100 * s) >> 7;
  if (s > 252) s = 252;
  h = h + d;
  if (h < 0) h = h + 252;
  else if (h > 252) h = h - 252;
  HlsToRgb(h, l, s, r, g, b);
}

}  // namespace tone_reference
