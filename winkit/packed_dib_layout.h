// The one check of a packed DIB in memory (40-byte or longer header, optional masks and colour
// table, rows bottom-up padded to 4 bytes) before anything reads its rows: the editor's bitmap
// views and the control library's drawing both ask it, each with what it accepts. Portable: no
// windows.h.
#pragma once

#include <cstddef>
#include <cstdint>

namespace winkit {

enum PackedDibAccept : unsigned {
  kPackedPlain = 0,  // 8, 16, 24 or 32 bits, plain rows, the colour table the header calls for
  kPackedLowDepths = 1,  // also 1 and 4 bits per pixel
  kPackedBitFields = 2,  // also bit-field rows of 16 or 32 bits (masks behind a 40-byte header)
  // A colour table only where the block has room for it besides the rows: a mask block of the
  // editor's (8 bits) has its rows right behind the header.
  kPackedTableWhenRoom = 4,
};

struct PackedDibLayout {
  int32_t width = 0;
  int32_t height = 0;  // rows are stored bottom-up
  uint16_t bitCount = 0;
  uint32_t compression = 0;  // 0 plain rows, 3 bit fields
  int32_t rowBytes = 0;
  uint64_t bitsOffset = 0;  // of the first stored row from the block's start
};

// True, with the layout, when the `size` bytes at `block` hold a packed DIB of a kind `accept`
// allows whose rows lie wholly inside the block.
bool DescribePackedDib(const uint8_t* block, size_t size, unsigned accept, PackedDibLayout* out);

}  // namespace winkit
