// BMP files turned into packed DIBs, from bytes in memory. Portable: no windows.h.
//
// Every size, offset and count in a file header is checked against the file's length before it
// is used, so a damaged or crafted file gives no bitmap instead of a read past its end or an
// allocation out of proportion to the file. What is accepted, and how it comes out:
//  - "BM" files with a 40-byte or later (52, 56, 108, 124 byte) info header; 12-byte core headers
//    are refused;
//  - 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed, and 16 or 32 bits with bit-field masks;
//  - 8 and 4 bits run-length encoded, decoded into plain rows (pixels the runs leave out are
//    colour 0; runs past the right edge are cut), as long as the rows are not out of proportion
//    to the encoded data;
//  - top-down files (negative height) are stored bottom-up like all the others; embedded JPEG
//    or PNG data is refused.
// The packed result has a 40-byte header, the three masks for bit-field files, a full colour
// table (2, 16 or 256 entries, missing ones black) for 8 bits or fewer, and every row, each
// padded to 4 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bmp {

// Largest packed bitmap the reader builds.
constexpr uint64_t kMaxPackedBytes = uint64_t{256} << 20;
// Run-length files may decode to at most this many times their encoded size, plus 1 MiB.
constexpr uint64_t kMaxRunLengthRatio = 256;

struct PackedLayout {
  int32_t width = 0;
  int32_t height = 0;        // positive: rows are stored bottom-up
  uint16_t bitCount = 0;
  uint32_t compression = 0;  // of the packed bitmap: 0 plain rows, 3 bit fields
  uint32_t tableBytes = 0;   // masks and colour table behind the 40-byte header
  uint32_t rowBytes = 0;
  uint32_t imageBytes = 0;   // rowBytes * height
  uint32_t blockBytes = 0;   // 40 + tableBytes + imageBytes
  // Where the parts come from in the file.
  size_t masksAt = 0;        // bit-field masks (12 bytes), when compression is 3
  size_t colorsAt = 0;       // colour table
  uint32_t colorsInFile = 0; // entries copied from the file
  size_t rowsAt = 0;         // first stored row (or the run-length data) in the file
  uint32_t runLengthBytes = 0;  // encoded bytes when the file is run-length encoded, else 0
  bool topDown = false;
};

// Checks a whole file and describes the packed bitmap it gives. False: no bitmap.
bool PlanPackedDib(const uint8_t* file, size_t size, PackedLayout* out);

// Writes the packed bitmap planned by PlanPackedDib into `block` (layout.blockBytes bytes).
void WritePackedDib(const uint8_t* file, const PackedLayout& layout, uint8_t* block);

// A packed bitmap about to be drawn: where its rows start and what they hold. Accepts the
// loader's output and any bottom-up packed DIB with plain rows or bit fields whose rows lie
// inside the `size` bytes of the block; a colour count of 0 means the full table.
struct PackedInfo {
  int32_t width = 0;
  int32_t height = 0;
  uint16_t bitCount = 0;
  uint32_t bitsOffset = 0;
};
bool CheckPackedDib(const uint8_t* block, size_t size, PackedInfo* out);

// Both steps into a vector; empty on failure.
std::vector<uint8_t> ReadPackedDib(const uint8_t* file, size_t size);

}  // namespace bmp
