// A view of the pixel rows of a packed device-independent bitmap: the 40-byte header, an optional
// colour table, then the rows bottom-up, each padded to 4 bytes. Portable: no windows.h. Every
// pixel operation of the suite works on this view; the Win32 layer only locks global blocks.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dib {

constexpr int32_t kHeaderSize = 40;

// Bytes of one stored row: width * bytes-per-pixel rounded up to a multiple of 4 (bytes per pixel
// = bits / 8, integer division, as blocks are sized). 0 for non-positive or absurd widths.
constexpr int64_t Stride(int64_t width, int32_t bitsPerPixel) {
  if (width <= 0 || bitsPerPixel <= 0) return 0;
  const int64_t bpp = bitsPerPixel / 8;
  return (width * bpp + 3) & ~int64_t{3};
}

// The 40-byte header as stored (little-endian, no padding).
struct Header {
  uint32_t size;
  int32_t width;
  int32_t height;
  uint16_t planes;
  uint16_t bitCount;
  uint32_t compression;
  uint32_t sizeImage;
  int32_t xPelsPerMeter;
  int32_t yPelsPerMeter;
  uint32_t clrUsed;
  uint32_t clrImportant;
};
static_assert(sizeof(Header) == kHeaderSize, "packed DIB header is 40 bytes");

// Colour-table entries the header calls for: clrUsed when set, else 2, 16 or 256 for 1, 4 or
// 8 bits per pixel, else none.
uint32_t ColorCount(const Header& h);

struct View {
  uint8_t* bits = nullptr;  // first stored row = bottom row of the picture
  int32_t width = 0;
  int32_t height = 0;
  int32_t bitsPerPixel = 0;
  int32_t stride = 0;

  bool valid() const { return bits != nullptr && width > 0 && height > 0 && stride > 0; }
  // Row y counted from the top of the picture.
  uint8_t* Row(int32_t y) const { return bits + static_cast<size_t>(height - 1 - y) * static_cast<size_t>(stride); }
  uint8_t* Pixel24(int32_t x, int32_t y) const { return Row(y) + static_cast<size_t>(x) * 3; }
};

// A view of a block of `size` bytes that starts with the header. The rows start after biSize
// bytes and the colour table; a block with no room for the table its header calls for holds none
// (a MaskDib: 8 bits, rows right behind the header). Fails (returns false) when the header is not
// plausible (non-positive size, compressed, not 8, 16, 24 or 32 bits) or the block is too small
// for the rows it announces.
bool ViewOfBlock(void* block, size_t size, View* out);

}  // namespace dib
