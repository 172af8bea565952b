// Pixel work on packed-DIB views: crop, paste, masked paste, flip, mirror, nearest-neighbour
// resampling, pixel reads and the stamp blend. Portable: no windows.h. The DibHandle layer
// (dib.h) allocates and locks the blocks and calls these.
//
// Coordinates count rows from the top of the picture. Colours are COLORREF values 0x00BBGGRR;
// a 24-bit pixel stores blue, green, red. Views handed to one call must not share pixel memory
// unless stated.
#pragma once

#include <cstdint>

#include "retouch/imaging/dib_view.h"

namespace dib {

// Left, top, right, bottom; right and bottom exclusive. 64-bit so that right = left + width
// cannot overflow for any 32-bit position and size.
struct Rect {
  int64_t left = 0;
  int64_t top = 0;
  int64_t right = 0;
  int64_t bottom = 0;
};

// New dimensions above this are refused by the resampler.
constexpr int32_t kMaxResizeDimension = 8192;

inline bool Is24(const View& v) { return v.valid() && v.bitsPerPixel == 24; }

// Size of the crop of `r` from a 24-bit image: min(r width, image width) by min(r height, image
// height). False when the image is not 24-bit or either size is not positive.
bool CropSize(const View& image, const Rect& r, int32_t* width, int32_t* height);

// Copies the part of `r` that lies inside the image into `crop`, a zero-filled 24-bit view of
// the CropSize: the crop's column 0 is image column r.left (row likewise), so a rectangle that
// overhangs the left and top edges leaves the copied part at the crop's bottom-right. Pixels of
// the crop outside the image stay as they are.
bool CropInto(const View& image, const Rect& r, const View& crop);

// Sets every pixel of the 24-bit `crop` whose byte in the 8-bit `mask` is 0 to `fill`, both walked
// from their top-left; pixels beyond the mask count as outside.
bool FillOutsideMask(const View& crop, const View& mask, uint32_t fill);

// Copies the 24-bit `patch` into the 24-bit `destination` with its top-left at (left, top),
// clipped to the destination. True also when nothing overlaps.
bool Paste(const View& destination, const View& patch, int64_t left, int64_t top);

// Like Paste, but only the pixels whose `mask` pixel has a red byte of 0 (a 24-bit mask at least
// as large as the patch, walked from its top-left) replace the destination's.
bool PasteMasked(const View& destination, const View& patch, const View& mask, int64_t x, int64_t y);

// Turns the image upside down in place (8, 16 or 24 bits; width and height above 1).
bool FlipVertical(const View& image);

// Reverses every row of a 24-bit image in place (width and height above 1).
bool Mirror(const View& image);

// Reads pixel (x, y) of a 24-bit image as a COLORREF.
bool GetPixel(const View& image, int64_t x, int64_t y, uint32_t* color);

// Fills table[0..n) with the source index (0..m-1) that destination index i takes: Bresenham
// stepping, every destination index gets one entry. n and m at least 1.
void BuildIndexTable(int32_t n, int32_t m, int32_t* table);

// Nearest-neighbour resampling of a 24-bit `source` into the 24-bit `destination` of at most
// kMaxResizeDimension in both directions. Rows are mapped in storage order (bottom-up).
bool Resample(const View& source, const View& destination);

// Burns `bitmap` (24-bit, the text as non-black pixels) into the 24-bit image from row `top` down,
// starting at column 0: each non-black bitmap pixel takes `color` at `strength` percent (clamped
// to 0..100): channel = (old * (100 - strength) + colour * strength) / 100.
bool StampBitmap(const View& image, const View& bitmap, int64_t top, uint32_t color, int32_t strength);

}  // namespace dib
