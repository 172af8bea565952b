// The BMP reader: sound files of each layout come out as packed bitmaps with the right rows and
// table; damaged or crafted headers give no bitmap.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "controls/widgets/bmp_format.h"

namespace {

void Put(std::vector<uint8_t>& b, size_t at, uint32_t v, int bytes = 4) {
  for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
uint32_t Get(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

struct FileSpec {
  int width = 3, height = 2, bits = 24;
  uint32_t headerBytes = 40, compression = 0, colorsUsed = 0;
  bool masks = false;  // 12 mask bytes behind a 40-byte header
};

// A BMP file whose pixel bytes count up from 1, row by row as stored.
std::vector<uint8_t> MakeFile(const FileSpec& s) {
  const uint32_t row = (s.bits * s.width + 31) / 32 * 4;
  const int rows = s.height < 0 ? -s.height : s.height;
  const uint32_t entries = s.bits <= 8 ? (s.colorsUsed ? s.colorsUsed : 1u << s.bits) : s.colorsUsed;
  const uint32_t offBits = 14 + s.headerBytes + (s.masks ? 12 : 0) + entries * 4;
  std::vector<uint8_t> f(offBits + row * rows);
  f[0] = 'B';
  f[1] = 'M';
  Put(f, 2, static_cast<uint32_t>(f.size()));
  Put(f, 10, offBits);
  Put(f, 14, s.headerBytes);
  Put(f, 18, static_cast<uint32_t>(s.width));
  Put(f, 22, static_cast<uint32_t>(s.height));
  Put(f, 26, 1, 2);
  Put(f, 28, static_cast<uint32_t>(s.bits), 2);
  Put(f, 30, s.compression);
  Put(f, 46, s.colorsUsed);
  if (s.compression == 3) {
    const size_t at = s.masks ? 54 : 14 + 40;
    const uint32_t red = s.bits == 16 ? 0x7C00 : 0xFF0000;
    Put(f, at, red);
    Put(f, at + 4, s.bits == 16 ? 0x03E0 : 0x00FF00);
    Put(f, at + 8, s.bits == 16 ? 0x001F : 0x0000FF);
  }
  for (uint32_t i = 0; i < entries; ++i) Put(f, 14 + s.headerBytes + (s.masks ? 12 : 0) + 4 * i, 0x010000 * i + 7);
  for (size_t i = offBits; i < f.size(); ++i) f[i] = static_cast<uint8_t>(i - offBits + 1);
  return f;
}

std::vector<uint8_t> Read(const std::vector<uint8_t>& f) { return bmp::ReadPackedDib(f.data(), f.size()); }

TEST(BmpReader, SoundFilesOfEachLayoutComeOutPacked) {
  struct Case {
    const char* name;
    FileSpec spec;
    uint32_t tableBytes;
  };
  const Case cases[] = {
      {"24-bit", {3, 2, 24}, 0},
      {"32-bit", {2, 2, 32}, 0},
      {"16-bit", {5, 3, 16}, 0},
      {"8-bit full table", {5, 3, 8}, 1024},
      {"8-bit short table", {5, 3, 8, 40, 0, 2}, 1024},
      {"4-bit", {7, 2, 4}, 64},
      {"1-bit", {33, 3, 1}, 8},
      {"v5 header 24-bit", {3, 2, 24, 124}, 0},
      {"bit fields behind header", {3, 2, 16, 40, 3, 0, true}, 12},
      {"bit fields inside v5 header", {3, 2, 32, 124, 3}, 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<uint8_t> file = MakeFile(c.spec);
    const std::vector<uint8_t> dib = Read(file);
    const uint32_t row = (c.spec.bits * c.spec.width + 31) / 32 * 4;
    ASSERT_EQ(dib.size(), 40 + c.tableBytes + row * c.spec.height);
    EXPECT_EQ(Get(dib, 0), 40u);
    EXPECT_EQ(Get(dib, 4), static_cast<uint32_t>(c.spec.width));
    EXPECT_EQ(Get(dib, 8), static_cast<uint32_t>(c.spec.height));
    EXPECT_EQ(dib[14], c.spec.bits);
    EXPECT_EQ(Get(dib, 16), c.spec.compression);
    EXPECT_EQ(Get(dib, 20), row * c.spec.height);
    EXPECT_EQ(Get(dib, 32), c.spec.bits <= 8 ? 1u << c.spec.bits : 0u);
    // Rows are the file's rows, byte for byte.
    const size_t rows = 40 + c.tableBytes;
    const size_t fileRows = Get(file, 10);
    EXPECT_EQ(0, std::memcmp(dib.data() + rows, file.data() + fileRows, row * c.spec.height));
    if (c.spec.compression == 3) {
      const size_t masks = c.spec.masks ? 54 : 14 + 40;
      EXPECT_EQ(0, std::memcmp(dib.data() + 40, file.data() + masks, 12));
    }
  }
}

TEST(BmpReader, ShortColourTableIsPaddedWithBlack) {
  const std::vector<uint8_t> dib = Read(MakeFile({5, 3, 8, 40, 0, 2}));
  ASSERT_FALSE(dib.empty());
  EXPECT_EQ(Get(dib, 40), 7u);
  EXPECT_EQ(Get(dib, 44), 0x010007u);
  EXPECT_EQ(Get(dib, 48), 0u);
  EXPECT_EQ(Get(dib, 40 + 1020), 0u);
}

TEST(BmpReader, TopDownRowsAreStoredBottomUp) {
  const std::vector<uint8_t> file = MakeFile({2, -3, 24});  // rows of 8 bytes: 1..8, 9..16, 17..24
  const std::vector<uint8_t> dib = Read(file);
  ASSERT_EQ(dib.size(), 40u + 24);
  EXPECT_EQ(Get(dib, 8), 3u);
  EXPECT_EQ(dib[40], 17);
  EXPECT_EQ(dib[48], 9);
  EXPECT_EQ(dib[56], 1);
}

TEST(BmpReader, RowsStartBehindTheTableWhenTheOffsetIsZero) {
  std::vector<uint8_t> file = MakeFile({4, 2, 8});
  Put(file, 10, 0);
  const std::vector<uint8_t> dib = Read(file);
  ASSERT_EQ(dib.size(), 40u + 1024 + 8);
  EXPECT_EQ(dib[40 + 1024], 1);
}

TEST(BmpReader, ImageSizeFieldIsNotTrusted) {
  std::vector<uint8_t> file = MakeFile({3, 2, 24});
  Put(file, 34, 4);  // far too small for the rows
  EXPECT_EQ(Get(Read(file), 20), 24u);
  Put(file, 34, 0xFFFFFFF0u);
  EXPECT_EQ(Read(file).size(), 40u + 24);
}

TEST(BmpReader, DamagedHeadersGiveNoBitmap) {
  using Edit = std::function<void(std::vector<uint8_t>&)>;
  struct Case {
    const char* name;
    FileSpec spec;
    Edit edit;
  };
  const Case cases[] = {
      {"not BM", {}, [](auto& f) { f[1] = 'A'; }},
      {"core header", {}, [](auto& f) { Put(f, 14, 12); }},
      {"header shorter than 40", {}, [](auto& f) { Put(f, 14, 39); }},
      {"header past the end", {}, [](auto& f) { Put(f, 14, 0x7FFFFFF0); }},
      {"zero width", {}, [](auto& f) { Put(f, 18, 0); }},
      {"negative width", {}, [](auto& f) { Put(f, 18, 0xFFFFFFFDu); }},
      {"zero height", {}, [](auto& f) { Put(f, 22, 0); }},
      {"most negative height", {}, [](auto& f) { Put(f, 22, 0x80000000u); }},
      {"2 bits", {}, [](auto& f) { Put(f, 28, 2, 2); }},
      {"0 bits", {}, [](auto& f) { Put(f, 28, 0, 2); }},
      {"64 bits", {}, [](auto& f) { Put(f, 28, 64, 2); }},
      {"run-length at 24 bits", {}, [](auto& f) { Put(f, 30, 1); }},
      {"4-bit run-length at 8 bits", {4, 2, 8}, [](auto& f) { Put(f, 30, 2); }},
      {"top-down run-length", {4, 2, 8}, [](auto& f) {
         Put(f, 30, 1);
         Put(f, 22, static_cast<uint32_t>(-2));
       }},
      {"jpeg", {}, [](auto& f) { Put(f, 30, 4); }},
      {"bit fields at 24 bits", {}, [](auto& f) { Put(f, 30, 3); }},
      {"rows cut short", {}, [](auto& f) { f.pop_back(); }},
      {"offset past the end", {}, [](auto& f) { Put(f, 10, static_cast<uint32_t>(f.size())); }},
      {"offset far past the end", {}, [](auto& f) { Put(f, 10, 0xFFFFFFFFu); }},
      {"huge width", {}, [](auto& f) { Put(f, 18, 0x7FFFFFFF); }},
      {"width x height overflows 32 bits", {2, 2, 32}, [](auto& f) {
         Put(f, 18, 0x40000000);
         Put(f, 22, 0x40000000);
       }},
      {"colour table past the end", {2, 2, 8, 40, 0, 4}, [](auto& f) { Put(f, 46, 0xFFFF); }},
      {"only the file header", {}, [](auto& f) { f.resize(14); }},
      {"empty", {}, [](auto& f) { f.clear(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> file = MakeFile(c.spec);
    ASSERT_FALSE(Read(file).empty());
    c.edit(file);
    EXPECT_TRUE(Read(file).empty());
  }
}

TEST(BmpReader, OversizedBitmapsAreRefusedBeforeAnyAllocation) {
  // A header that asks for more than the cap is refused even when the file could hold it.
  bmp::PackedLayout layout;
  std::vector<uint8_t> file = MakeFile({1, 1, 32});
  Put(file, 18, 0x10000);
  Put(file, 22, 0x10000);  // 16 GiB of rows: the file is far too short
  EXPECT_FALSE(bmp::PlanPackedDib(file.data(), file.size(), &layout));
  EXPECT_FALSE(bmp::PlanPackedDib(nullptr, 100, &layout));
}

// A run-length file of w x h pixels at `bits` (8 or 4) with the given encoded data.
std::vector<uint8_t> RunLengthFile(int w, int h, int bits, const std::vector<uint8_t>& data, uint32_t stated = 0) {
  FileSpec spec{w, h, bits};
  std::vector<uint8_t> f = MakeFile(spec);
  const uint32_t offBits = Get(f, 10);
  f.resize(offBits);
  f.insert(f.end(), data.begin(), data.end());
  Put(f, 30, bits == 8 ? 1 : 2);
  Put(f, 34, stated);
  return f;
}

// Stored rows of a decoded packed bitmap (bottom row first).
std::vector<uint8_t> Rows(const std::vector<uint8_t>& dib, uint32_t table) {
  return std::vector<uint8_t>(dib.begin() + 40 + table, dib.end());
}

TEST(BmpReader, RunLengthFilesAreDecodedIntoPlainRows) {
  // 8 bits, 6 x 3: a run, a literal group, end of line; a delta; end of bitmap.
  const std::vector<uint8_t> rle8 = {3, 7, 0, 3, 1, 2, 9, 0, 0, 0,  // row 0: 7 7 7 1 2 9
                                     2, 5, 0, 2, 1, 1,              // row 1: 5 5, then (3, 2)
                                     1, 4, 0, 1};                   // row 2: x=3 gets 4
  const std::vector<uint8_t> dib = Read(RunLengthFile(6, 3, 8, rle8));
  ASSERT_EQ(dib.size(), 40u + 1024 + 8 * 3);
  EXPECT_EQ(Get(dib, 16), 0u);  // plain rows now
  const std::vector<uint8_t> want = {7, 7, 7, 1, 2, 9, 0, 0, 5, 5, 0, 0, 0, 0, 0, 0,
                                     0, 0, 0, 4, 0, 0, 0, 0};
  EXPECT_EQ(Rows(dib, 1024), want);

  // 4 bits, 5 x 2: a run of alternating nibbles, a literal group of 3, past the right edge.
  const std::vector<uint8_t> rle4 = {5, 0x12, 0, 0,                  // row 0: 1 2 1 2 1
                                     0, 3, 0xAB, 0xC0, 9, 0x33, 0, 1};  // row 1: A B C 3 3 (cut)
  const std::vector<uint8_t> dib4 = Read(RunLengthFile(5, 2, 4, rle4));
  ASSERT_EQ(dib4.size(), 40u + 64 + 4 * 2);
  const std::vector<uint8_t> want4 = {0x12, 0x12, 0x10, 0, 0xAB, 0xC3, 0x30, 0};
  EXPECT_EQ(Rows(dib4, 64), want4);
}

TEST(BmpReader, DamagedRunLengthDataEndsTheDecodingInsideTheData) {
  // Cut in the middle of a literal group, of a delta, of a pair: what came before stays.
  for (const std::vector<uint8_t>& data : {std::vector<uint8_t>{2, 6, 0, 5, 1, 2},
                                           std::vector<uint8_t>{2, 6, 0, 2, 1},
                                           std::vector<uint8_t>{2, 6, 0}}) {
    const std::vector<uint8_t> dib = Read(RunLengthFile(4, 2, 8, data));
    ASSERT_EQ(dib.size(), 40u + 1024 + 8);
    EXPECT_EQ(dib[40 + 1024], 6);
    EXPECT_EQ(dib[40 + 1024 + 1], 6);
    EXPECT_EQ(dib[40 + 1024 + 2], 0);
  }
  // A delta far past the top ends it too.
  EXPECT_FALSE(Read(RunLengthFile(4, 2, 8, {0, 2, 255, 255, 3, 1})).empty());
  // The size field may not reach past the file.
  EXPECT_TRUE(Read(RunLengthFile(4, 2, 8, {2, 6, 0, 1}, 100)).empty());
  EXPECT_FALSE(Read(RunLengthFile(4, 2, 8, {2, 6, 0, 1}, 4)).empty());
}

TEST(BmpReader, RunLengthFilesMayNotDecodeFarBeyondTheirSize) {
  // A few bytes announcing 20000 x 20000 pixels (400 MB): refused without allocating.
  EXPECT_TRUE(Read(RunLengthFile(20000, 20000, 8, {0, 1})).empty());
  // 1 MiB of rows from a few bytes is still allowed.
  EXPECT_EQ(Read(RunLengthFile(1024, 1000, 8, {0, 1})).size(), 40u + 1024 + 1024 * 1000);
}

}  // namespace
