#include "retouch/imaging/dib_view.h"

#include <cstring>
#include <limits>

namespace dib {

uint32_t ColorCount(const Header& h) {
  if (h.clrUsed != 0) return h.clrUsed;
  switch (h.bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
  }
}

bool ViewOfBlock(void* block, size_t size, View* out) {
  if (out == nullptr) return false;
  *out = View{};
  if (block == nullptr || size < static_cast<size_t>(kHeaderSize)) return false;
  Header h;
  std::memcpy(&h, block, sizeof h);
  if (h.size < static_cast<uint32_t>(kHeaderSize) || h.size > size) return false;
  // Bottom-up BI_RGB rows of whole bytes only: what the editor creates and draws.
  if (h.width <= 0 || h.height <= 0 || h.compression != 0) return false;
  if (h.bitCount != 8 && h.bitCount != 16 && h.bitCount != 24 && h.bitCount != 32) return false;
  const int64_t stride = Stride(h.width, h.bitCount);
  if (stride <= 0 || stride > std::numeric_limits<int32_t>::max()) return false;

  const uint64_t room = size - h.size;  // bytes behind the header
  const uint64_t rows = static_cast<uint64_t>(stride);
  if (static_cast<uint64_t>(h.height) > room / rows) return false;
  const uint64_t pixelBytes = rows * static_cast<uint64_t>(h.height);
  const uint64_t tableBytes = uint64_t{4} * ColorCount(h);

  // The colour table sits between header and rows when the block has room for it. A block sized
  // for its rows alone (a mask: 8 bits, no table) has the rows right behind the header.
  uint64_t offset = h.size;
  if (tableBytes != 0 && tableBytes <= room - pixelBytes) offset += tableBytes;

  out->bits = static_cast<uint8_t*>(block) + offset;
  out->width = h.width;
  out->height = h.height;
  out->bitsPerPixel = h.bitCount;
  out->stride = static_cast<int32_t>(stride);
  return true;
}

}  // namespace dib
