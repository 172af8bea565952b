// The arithmetic behind the drawing helpers: gradient bands, texture tiles and placement, the
// strips a drag uncovers. Portable (no windows.h); colours are 0x00BBGGRR values, rectangles
// are left/top inclusive and right/bottom exclusive.
#pragma once

#include <cstdint>

namespace draw {

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool empty() const { return right <= left || bottom <= top; }
  bool operator==(const Rect&) const = default;
};

// How a display of `bitsPerPixel` fills gradient bands.
struct GradientMethod {
  bool opaqueText;      // each band with one opaque text call (no brush), else a solid brush
  bool forceEndColour;  // palette displays end every gradient in the button grey
};
GradientMethod GradientMethodFor(int bitsPerPixel);
constexpr uint32_t kPaletteGradientEnd = 0xC0C0C0;

// Bands of a gradient `length` pixels long from `from` to `to`: band k starts k * width pixels
// from the near edge and is painted in Colour(k). Bands are never narrower than length / 255
// when the colour steps would ask for more than 255 of them.
class GradientBands {
 public:
  GradientBands(int length, uint32_t from, uint32_t to);
  int length() const { return length_; }
  int width() const { return width_; }
  int count() const { return length_ <= 0 ? 0 : (length_ + width_ - 1) / width_; }
  uint32_t Colour(int band) const;
 private:
  int length_;
  int width_ = 1;
  int start_[3];
  int delta_[3];
};

// Size of the tiles of a w x h texture in `area`, and the first source row counted from the
// stored (bottom) row: a texture taller than the area shows its top part.
struct TileSource {
  int width = 0, height = 0;
  int sourceY = 0;
};
TileSource TileSourceFor(int textureWidth, int textureHeight, int areaWidth, int areaHeight);

// Where a placed texture of source size (sw, sh) lands in an area of (aw, ah), relative to the
// area's top-left corner. False when a fit needs a zero source side.
bool PlacedDestination(int sw, int sh, int aw, int ah, bool fitWidth, bool fitHeight,
                       bool alignRight, bool alignBottom, Rect* out);

// Up to four rectangles that cover `a` minus `b`.
int Subtract(const Rect& a, const Rect& b, Rect out[4]);

// Diagonal inset of a rounded frame's 45-degree split point: about d / (2 * sqrt 2), rounded.
constexpr int RoundSplit(int diameter) { return (diameter * 707 + 500) / 2000; }

}  // namespace draw
