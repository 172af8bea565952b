#include "winkit/packed_dib_layout.h"

#include <limits>

namespace winkit {

namespace {

constexpr uint32_t kHeaderBytes = 40;
constexpr uint32_t kPlainRows = 0;
constexpr uint32_t kBitFields = 3;
constexpr uint32_t kMaskBytes = 12;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}
int32_t I32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }

}  // namespace

bool DescribePackedDib(const uint8_t* block, size_t size, unsigned accept, PackedDibLayout* out) {
  if (block == nullptr || out == nullptr || size < kHeaderBytes) return false;
  const uint32_t headerBytes = U32(block);
  if (headerBytes < kHeaderBytes || headerBytes > size) return false;
  PackedDibLayout d;
  d.width = I32(block + 4);
  d.height = I32(block + 8);
  d.bitCount = U16(block + 14);
  d.compression = U32(block + 16);
  const uint32_t colorsUsed = U32(block + 32);
  if (d.width <= 0 || d.height <= 0) return false;
  switch (d.bitCount) {
    case 8: case 16: case 24: case 32: break;
    case 1: case 4:
      if (accept & kPackedLowDepths) break;
      return false;
    default: return false;
  }
  uint64_t offset = headerBytes;
  if (d.compression == kBitFields) {
    if (!(accept & kPackedBitFields) || (d.bitCount != 16 && d.bitCount != 32)) return false;
    if (headerBytes == kHeaderBytes) offset += kMaskBytes;
  } else if (d.compression != kPlainRows) {
    return false;
  }
  if (offset > size) return false;
  const uint64_t entries = colorsUsed != 0 ? colorsUsed : (d.bitCount <= 8 ? uint64_t{1} << d.bitCount : 0);
  const uint64_t tableBytes = entries * 4;
  const uint64_t rowBytes = (uint64_t{d.bitCount} * static_cast<uint64_t>(d.width) + 31) / 32 * 4;
  if (rowBytes > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) return false;

  if (accept & kPackedTableWhenRoom) {
    const uint64_t room = size - offset;
    if (static_cast<uint64_t>(d.height) > room / rowBytes) return false;
    const uint64_t pixelBytes = rowBytes * static_cast<uint64_t>(d.height);
    if (tableBytes != 0 && tableBytes <= room - pixelBytes) offset += tableBytes;
  } else {
    offset += tableBytes;
    if (offset > size || rowBytes > size) return false;
    if (static_cast<uint64_t>(d.height) > (size - offset) / rowBytes) return false;
  }
  d.rowBytes = static_cast<int32_t>(rowBytes);
  d.bitsOffset = offset;
  *out = d;
  return true;
}

}  // namespace winkit
