#include "controls/widgets/bmp_format.h"

#include <cstring>

#include "winkit/packed_dib_layout.h"

namespace bmp {
namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kCoreHeaderBytes = 12;
constexpr uint32_t kPlainRows = 0;
constexpr uint32_t kRunLength8 = 1;
constexpr uint32_t kRunLength4 = 2;
constexpr uint32_t kBitFields = 3;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
int32_t I32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }

void Put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// True when [at, at + bytes) lies inside a file of `size` bytes.
bool Inside(uint64_t at, uint64_t bytes, size_t size) { return at <= size && bytes <= size - at; }

}  // namespace

bool PlanPackedDib(const uint8_t* file, size_t size, PackedLayout* out) {
  if (file == nullptr || out == nullptr) return false;
  if (!Inside(0, kFileHeaderBytes + kInfoHeaderBytes, size)) return false;
  if (file[0] != 'B' || file[1] != 'M') return false;
  const uint32_t offBits = U32(file + 10);
  const uint8_t* info = file + kFileHeaderBytes;
  const uint32_t headerBytes = U32(info);
  if (headerBytes == kCoreHeaderBytes || headerBytes < kInfoHeaderBytes) return false;
  if (!Inside(kFileHeaderBytes, headerBytes, size)) return false;

  PackedLayout l;
  const int32_t width = I32(info + 4);
  const int32_t height = I32(info + 8);
  l.bitCount = U16(info + 14);
  l.compression = U32(info + 16);
  const uint32_t colorsUsed = U32(info + 32) & 0xFFFF;
  // INT32_MIN has no positive counterpart.
  if (width <= 0 || height == 0 || height == INT32_MIN) return false;
  l.width = width;
  l.topDown = height < 0;
  l.height = l.topDown ? -height : height;

  switch (l.bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
  }
  const uint32_t fileCompression = l.compression;
  const bool runLength = fileCompression == kRunLength8 || fileCompression == kRunLength4;
  if (fileCompression == kBitFields) {
    if (l.bitCount != 16 && l.bitCount != 32) return false;
  } else if (runLength) {
    // Run-length rows are bottom-up by definition.
    if (l.bitCount != (fileCompression == kRunLength8 ? 8 : 4) || l.topDown) return false;
    l.compression = kPlainRows;
  } else if (fileCompression != kPlainRows) {
    return false;
  }

  // The masks follow a 40-byte header and are part of every later header.
  uint64_t next = kFileHeaderBytes + uint64_t{headerBytes};
  uint32_t maskBytes = 0;
  if (l.compression == kBitFields) {
    maskBytes = 12;
    if (headerBytes >= kInfoHeaderBytes + 12) {
      l.masksAt = kFileHeaderBytes + kInfoHeaderBytes;
    } else {
      l.masksAt = static_cast<size_t>(next);
      next += 12;
    }
    if (!Inside(l.masksAt, 12, size)) return false;
  }

  // Colour table as stored: biClrUsed entries, or all 2^bits of them when it is 0. Only the
  // entries that pixels can index are kept, so the stored table is never longer than 256.
  uint32_t tableEntries = 0;
  uint32_t storedEntries = colorsUsed;
  if (l.bitCount <= 8) {
    tableEntries = 1u << l.bitCount;
    if (storedEntries == 0) storedEntries = tableEntries;
    l.colorsInFile = storedEntries < tableEntries ? storedEntries : tableEntries;
  }
  l.colorsAt = static_cast<size_t>(next);
  if (!Inside(next, uint64_t{l.colorsInFile} * 4, size)) return false;
  next += uint64_t{storedEntries} * 4;

  // Rows start at the file header's offset, or right behind the colour table when it is 0.
  const uint64_t rowsAt = offBits != 0 ? uint64_t{offBits} : next;
  if (rowsAt > size) return false;
  // Plain rows must all be in the file; encoded rows may not decode to far more than the file.
  uint64_t rowLimit = size;
  if (runLength) {
    const uint32_t stated = U32(info + 20);
    const uint64_t encoded = stated != 0 ? stated : size - rowsAt;
    if (encoded == 0 || !Inside(rowsAt, encoded, size)) return false;
    l.runLengthBytes = static_cast<uint32_t>(encoded);
    rowLimit = encoded * kMaxRunLengthRatio + (uint64_t{1} << 20);
  }
  const uint64_t rowBytes = (uint64_t{l.bitCount} * static_cast<uint64_t>(l.width) + 31) / 32 * 4;
  if (rowBytes == 0 || rowBytes > rowLimit) return false;
  if (static_cast<uint64_t>(l.height) > rowLimit / rowBytes) return false;
  const uint64_t imageBytes = rowBytes * static_cast<uint64_t>(l.height);
  l.tableBytes = maskBytes + tableEntries * 4;
  const uint64_t blockBytes = kInfoHeaderBytes + uint64_t{l.tableBytes} + imageBytes;
  if (blockBytes > kMaxPackedBytes) return false;
  if (!runLength && !Inside(rowsAt, imageBytes, size)) return false;

  l.rowBytes = static_cast<uint32_t>(rowBytes);
  l.imageBytes = static_cast<uint32_t>(imageBytes);
  l.blockBytes = static_cast<uint32_t>(blockBytes);
  l.rowsAt = static_cast<size_t>(rowsAt);
  *out = l;
  return true;
}

namespace {

// Decodes run-length data into bottom-up rows of `image` (already zeroed). Every read is checked
// against the encoded length and every write against the row width and the row count.
void DecodeRunLength(const uint8_t* data, size_t bytes, const PackedLayout& l, uint8_t* image) {
  const bool four = l.bitCount == 4;
  int64_t x = 0, y = 0;
  auto put = [&](uint8_t index) {
    if (x < l.width && y < l.height) {
      uint8_t* row = image + static_cast<size_t>(y) * l.rowBytes;
      if (four) {
        uint8_t& b = row[x / 2];
        b = (x % 2 == 0) ? static_cast<uint8_t>((b & 0x0F) | (index << 4)) : static_cast<uint8_t>((b & 0xF0) | (index & 0x0F));
      } else {
        row[x] = index;
      }
    }
    ++x;
  };
  size_t i = 0;
  while (i + 2 <= bytes && y < l.height) {
    const uint8_t count = data[i], value = data[i + 1];
    i += 2;
    if (count != 0) {
      // A run: one index repeated, or for 4 bits the two nibbles in turn.
      for (int k = 0; k < count && x < l.width; ++k) put(four ? ((k % 2 == 0) ? value >> 4 : value & 0x0F) : value);
      if (x >= l.width) x = l.width;
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      return;
    } else if (value == 2) {  // move right and up
      if (i + 2 > bytes) return;
      x += data[i];
      y += data[i + 1];
      i += 2;
    } else {  // `value` literal pixels, padded to a 16-bit boundary
      const size_t literal = four ? (size_t{value} + 1) / 2 : value;
      if (i + literal > bytes) return;
      for (int k = 0; k < value; ++k) {
        put(four ? ((k % 2 == 0) ? data[i + k / 2] >> 4 : data[i + k / 2] & 0x0F) : data[i + k]);
      }
      i += literal + (literal & 1);
    }
  }
}

}  // namespace

void WritePackedDib(const uint8_t* file, const PackedLayout& l, uint8_t* block) {
  std::memset(block, 0, kInfoHeaderBytes + l.tableBytes);
  Put32(block, kInfoHeaderBytes);
  Put32(block + 4, static_cast<uint32_t>(l.width));
  Put32(block + 8, static_cast<uint32_t>(l.height));
  Put16(block + 12, 1);
  Put16(block + 14, l.bitCount);
  Put32(block + 16, l.compression);
  Put32(block + 20, l.imageBytes);
  // Resolution fields are copied as they are: nothing here reads them.
  std::memcpy(block + 24, file + kFileHeaderBytes + 24, 8);
  const uint32_t tableEntries = l.bitCount <= 8 ? 1u << l.bitCount : 0;
  Put32(block + 32, tableEntries);

  uint8_t* p = block + kInfoHeaderBytes;
  if (l.compression == kBitFields) {
    std::memcpy(p, file + l.masksAt, 12);
    p += 12;
  }
  if (l.colorsInFile != 0) std::memcpy(p, file + l.colorsAt, size_t{l.colorsInFile} * 4);
  p += tableEntries * 4;

  if (l.runLengthBytes != 0) {
    std::memset(p, 0, l.imageBytes);
    DecodeRunLength(file + l.rowsAt, l.runLengthBytes, l, p);
    return;
  }
  if (!l.topDown) {
    std::memcpy(p, file + l.rowsAt, l.imageBytes);
    return;
  }
  for (int32_t y = 0; y < l.height; ++y) {
    const size_t from = l.rowsAt + static_cast<size_t>(y) * l.rowBytes;
    const size_t to = static_cast<size_t>(l.height - 1 - y) * l.rowBytes;
    std::memcpy(p + to, file + from, l.rowBytes);
  }
}

bool CheckPackedDib(const uint8_t* block, size_t size, PackedInfo* out) {
  winkit::PackedDibLayout layout;
  if (out == nullptr ||
      !winkit::DescribePackedDib(block, size, winkit::kPackedLowDepths | winkit::kPackedBitFields, &layout))
    return false;
  PackedInfo info;
  info.width = layout.width;
  info.height = layout.height;
  info.bitCount = layout.bitCount;
  info.bitsOffset = static_cast<uint32_t>(layout.bitsOffset);
  *out = info;
  return true;
}

std::vector<uint8_t> ReadPackedDib(const uint8_t* file, size_t size) {
  PackedLayout layout;
  if (!PlanPackedDib(file, size, &layout)) return {};
  std::vector<uint8_t> block(layout.blockBytes);
  WritePackedDib(file, layout, block.data());
  return block;
}

}  // namespace bmp
