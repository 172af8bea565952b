// The one layout check of packed DIBs, with what the editor's views accept (whole-byte plain rows,
// a colour table only where there is room) and what the control library draws (low depths, bit
// fields, the table the header calls for).
#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "winkit/packed_dib_layout.h"

namespace {

constexpr unsigned kEditor = winkit::kPackedTableWhenRoom;
constexpr unsigned kControls = winkit::kPackedLowDepths | winkit::kPackedBitFields;

struct Case {
  const char* name;
  uint32_t headerBytes;
  int32_t width, height;
  uint16_t bits;
  uint32_t compression, colorsUsed;
  size_t blockBytes;
  long editorOffset;    // -1: refused
  long controlsOffset;  // -1: refused
};

std::vector<uint8_t> Block(const Case& c) {
  std::vector<uint8_t> b(c.blockBytes < 40 ? 40 : c.blockBytes);
  auto put = [&](size_t at, const void* v, size_t n) { std::memcpy(b.data() + at, v, n); };
  put(0, &c.headerBytes, 4);
  put(4, &c.width, 4);
  put(8, &c.height, 4);
  put(14, &c.bits, 2);
  put(16, &c.compression, 4);
  put(32, &c.colorsUsed, 4);
  b.resize(c.blockBytes);
  return b;
}

const Case kCases[] = {
    {"rgb 3x2", 40, 3, 2, 24, 0, 0, 64, 40, 40},
    {"rgb a byte short", 40, 3, 2, 24, 0, 0, 63, -1, -1},
    {"mask without table", 40, 5, 3, 8, 0, 0, 64, 40, -1},
    {"8 bits with full table", 40, 5, 3, 8, 0, 0, 40 + 1024 + 24, 1064, 1064},
    {"rgb with a table it has no room for", 40, 3, 2, 24, 0, 2, 64, 40, -1},
    {"4 bits", 40, 4, 4, 4, 0, 0, 40 + 64 + 16, -1, 104},
    {"1 bit", 40, 9, 2, 1, 0, 0, 40 + 8 + 8, -1, 48},
    {"bit fields 16", 40, 2, 2, 16, 3, 0, 40 + 12 + 8, -1, 52},
    {"bit fields 16, longer header", 56, 2, 2, 16, 3, 0, 56 + 8, -1, 56},
    {"bit fields 24", 40, 2, 2, 24, 3, 0, 100, -1, -1},
    {"run-length 8", 40, 2, 2, 8, 1, 0, 2000, -1, -1},
    {"negative height", 40, 3, -2, 24, 0, 0, 64, -1, -1},
    {"zero width", 40, 0, 2, 24, 0, 0, 64, -1, -1},
    {"header longer than the block", 80, 3, 2, 24, 0, 0, 64, -1, -1},
    {"header shorter than 40", 12, 3, 2, 24, 0, 0, 64, -1, -1},
    {"12 bits", 40, 3, 2, 12, 0, 0, 64, -1, -1},
    {"row past 2 GiB", 40, 0x7FFFFFFF, 1, 32, 0, 0, 64, -1, -1},
    {"rows past the block", 40, 1000, 1000000, 24, 0, 0, 4096, -1, -1},
};

TEST(PackedDibLayout, AcceptsWhatEachCallerDrawsAndNothingBeyondTheBlock) {
  for (const Case& c : kCases) {
    const std::vector<uint8_t> b = Block(c);
    for (const auto& [accept, expected] : {std::pair{kEditor, c.editorOffset}, std::pair{kControls, c.controlsOffset}}) {
      winkit::PackedDibLayout d;
      const bool ok = winkit::DescribePackedDib(b.data(), b.size(), accept, &d);
      EXPECT_EQ(ok, expected >= 0) << c.name << " accept " << accept;
      if (!ok || expected < 0) continue;
      EXPECT_EQ(d.bitsOffset, static_cast<uint64_t>(expected)) << c.name;
      EXPECT_EQ(d.width, c.width) << c.name;
      EXPECT_EQ(d.height, c.height) << c.name;
      EXPECT_LE(d.bitsOffset + uint64_t{static_cast<uint32_t>(d.rowBytes)} * static_cast<uint64_t>(d.height), b.size())
          << c.name;
    }
  }
  winkit::PackedDibLayout d;
  EXPECT_FALSE(winkit::DescribePackedDib(nullptr, 100, kControls, &d));
  EXPECT_FALSE(winkit::DescribePackedDib(Block(kCases[0]).data(), 39, kEditor, &d));
}

}  // namespace
