#include "controls/widgets/size_math.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace sizes {

namespace {

int Bounded(double v) {
  if (!(v > INT_MIN)) return INT_MIN;  // also NaN
  if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
  return static_cast<int>(v);
}

int Bounded(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

bool StartsWithUpper(std::string_view name, std::string_view prefix) {
  if (name.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char c = name[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != prefix[i]) return false;
  }
  return true;
}

}  // namespace

int Scale(int value, int newSize, int oldSize) {
  if (oldSize == 0) return 0;
  return Bounded(int64_t{value} * newSize / oldSize);
}

int Span(int from, int to) { return Bounded(int64_t{to} - from); }

Rect ScaleRect(const Rect& r, int newW, int newH, int oldW, int oldH) {
  return {Scale(r.left, newW, oldW), Scale(r.top, newH, oldH), Scale(r.right, newW, oldW),
          Scale(r.bottom, newH, oldH)};
}

int ScaledFontHeight(int registeredHeight, int newH, int oldH) {
  if (oldH == 0) return registeredHeight;
  return Bounded(newH * 0.9 * registeredHeight / oldH);
}

int ScaledFontWidth(int registeredWidth, int newW, int oldW) {
  if (oldW == 0) return registeredWidth;
  return Scale(registeredWidth, newW, oldW);
}

FontSize FontFor(int width, int height) {
  if (height >= -16 && height <= 16) return {width, height, false};
  return {0, height > 0 ? height - 3 : height + 3, true};
}

bool KeepsFaceName(int languageCode) {
  // Polish, Russian and Ukrainian, Slovak, Thai.
  return languageCode == 14 || languageCode == 17 || languageCode == 18 || languageCode == 20;
}

bool IsComboClass(std::string_view className) {
  return StartsWithUpper(className, "COMB") || StartsWithUpper(className, "KVCO");
}

bool IsListClass(std::string_view className) { return StartsWithUpper(className, "LIST"); }

bool IsPlainLeftStatic(std::string_view className, unsigned long style) {
  return StartsWithUpper(className, "STATIC") && (style & 3) == 0;
}

int ScaledItemHeight(int registeredItemHeight, int newH, int oldH) {
  return std::clamp(Scale(registeredItemHeight, newH, oldH), 1, 255);
}

}  // namespace sizes
