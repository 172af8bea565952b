// The whole-image adjustment over packed-DIB blocks, and the preview's arithmetic.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "retouch/imaging/image_adjust.h"
#include "retouch/imaging/tone.h"

namespace {

// A packed DIB block with a header of `headerSize` bytes and `tableEntries` colour-table entries;
// every byte behind the header starts as a pattern, so rows, padding and table are all distinct.
std::vector<uint8_t> Block(int w, int h, int bpp = 24, uint32_t headerSize = 40, uint32_t tableEntries = 0) {
  std::vector<uint8_t> block(headerSize + 4 * tableEntries + static_cast<size_t>(dib::Stride(w, bpp)) * h);
  dib::Header hd = {};
  hd.size = headerSize;
  hd.width = w;
  hd.height = h;
  hd.planes = 1;
  hd.bitCount = static_cast<uint16_t>(bpp);
  hd.clrUsed = tableEntries;
  std::memcpy(block.data(), &hd, sizeof hd);
  for (size_t i = sizeof hd; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i * 97 + 13);
  return block;
}

dib::View ViewOf(std::vector<uint8_t>& block) {
  dib::View v;
  EXPECT_TRUE(dib::ViewOfBlock(block.data(), block.size(), &v));
  return v;
}

struct Setting {
  int a, b, c, d;
};
const Setting kSettings[] = {{0, 0, 50, 0}, {-40, 25, 50, 0}, {10, -10, 15, 70}, {0, 0, 100, -126}};

// Each pixel as the kernel gives it, every byte outside the pixels unchanged.
TEST(AdjustImage, WritesEveryPixelThroughTheViewAndNothingElse) {
  struct Form {
    int w, h;
    uint32_t headerSize, table;
  };
  const Form forms[] = {{1, 1, 40, 0}, {5, 3, 40, 0}, {6, 2, 40, 0}, {7, 4, 124, 0}, {3, 3, 40, 3}, {2, 5, 108, 16}};
  for (const Form& f : forms)
    for (const Setting& s : kSettings) {
      std::vector<uint8_t> block = Block(f.w, f.h, 24, f.headerSize, f.table);
      const std::vector<uint8_t> before = block;
      const dib::View v = ViewOf(block);
      ASSERT_TRUE(dib::AdjustImage(v, nullptr, s.a, s.b, s.c, s.d));
      const tone::Adjustment adj = tone::MakeAdjustment(tone::kImageScale, s.a, s.b, s.c, s.d);
      const size_t first = static_cast<size_t>(v.bits - block.data());
      for (size_t i = 0; i < block.size(); ++i) {
        const size_t row = (i - first) / static_cast<size_t>(v.stride), col = (i - first) % static_cast<size_t>(v.stride);
        if (i >= first && col < static_cast<size_t>(3 * f.w)) {
          if (col % 3 != 0) continue;
          uint8_t expected[3];
          tone::AdjustPixel(adj, before.data() + first + row * static_cast<size_t>(v.stride) + col, expected);
          ASSERT_EQ(0, std::memcmp(block.data() + i, expected, 3)) << f.w << 'x' << f.h << " byte " << i;
        } else {
          ASSERT_EQ(block[i], before[i]) << f.w << 'x' << f.h << " header, table or padding byte " << i;
        }
      }
    }
}

TEST(AdjustImage, InPlaceAndIntoADestinationGiveTheSameBytes) {
  for (const Setting& s : kSettings) {
    std::vector<uint8_t> source = Block(9, 7), inPlace = source;
    std::vector<uint8_t> destination = Block(9, 7, 24, 124);  // its rows lie elsewhere in its block
    const std::vector<uint8_t> original = source;
    ASSERT_TRUE(dib::AdjustImage(ViewOf(inPlace), nullptr, s.a, s.b, s.c, s.d));
    const dib::View to = ViewOf(destination);
    ASSERT_TRUE(dib::AdjustImage(ViewOf(source), &to, s.a, s.b, s.c, s.d));
    EXPECT_EQ(source, original);  // the source is left alone
    const dib::View a = ViewOf(inPlace);
    for (int y = 0; y < 7; ++y) EXPECT_EQ(0, std::memcmp(a.Row(y), to.Row(y), 27)) << y;
  }
}

TEST(AdjustImage, StartValuesRaiseOnly191To254) {
  std::vector<uint8_t> block = Block(256, 1);
  const dib::View v = ViewOf(block);
  for (int x = 0; x < 256; ++x) std::memset(v.Pixel24(x, 0), x, 3);
  v.Pixel24(7, 0)[2] = 200;  // one coloured pixel among the greys
  ASSERT_TRUE(dib::AdjustImage(v, nullptr, 0, 0, 50, 0));
  for (int x = 0; x < 256; ++x) EXPECT_EQ(v.Pixel24(x, 0)[0], x >= 191 && x <= 254 ? x + 1 : x) << x;
  EXPECT_EQ(v.Pixel24(7, 0)[2], 201);
}

TEST(AdjustImage, RefusesOtherFormsAndLeavesThemAlone) {
  std::vector<uint8_t> image = Block(4, 4), mask = Block(4, 4, 8), wider = Block(5, 4), shorter = Block(4, 3),
                       wide32 = Block(4, 4, 32);
  const std::vector<uint8_t> before = image;
  const dib::View m = ViewOf(mask), w = ViewOf(wider), s = ViewOf(shorter), q = ViewOf(wide32);
  const dib::View none;
  EXPECT_FALSE(dib::AdjustImage(m, nullptr, 0, 0, 20, 20));
  EXPECT_FALSE(dib::AdjustImage(none, nullptr, 0, 0, 20, 20));
  EXPECT_FALSE(dib::AdjustImage(ViewOf(image), &m, 0, 0, 20, 20));
  EXPECT_FALSE(dib::AdjustImage(ViewOf(image), &w, 0, 0, 20, 20));
  EXPECT_FALSE(dib::AdjustImage(ViewOf(image), &s, 0, 0, 20, 20));
  EXPECT_FALSE(dib::AdjustImage(ViewOf(image), &q, 0, 0, 20, 20));
  EXPECT_FALSE(dib::AdjustImage(ViewOf(image), &none, 0, 0, 20, 20));
  EXPECT_EQ(image, before);
}

TEST(AdjustPreview, SizeFollowsTheImageInsideTheClientArea) {
  struct Case {
    int iw, ih, cw, ch, pw, ph;
  };
  const Case cases[] = {
      {400, 300, 500, 150, 200, 150},  // the height decides
      {400, 100, 200, 150, 200, 50},   // too wide: the width decides
      {1, 5000, 300, 100, 1, 100},     // never 0 wide
      {5000, 1, 300, 100, 300, 1},
  };
  for (const Case& c : cases) {
    int w = 0, h = 0;
    ASSERT_TRUE(dib::PreviewSize(c.iw, c.ih, c.cw, c.ch, &w, &h));
    EXPECT_EQ(w, c.pw) << c.iw << 'x' << c.ih;
    EXPECT_EQ(h, c.ph) << c.iw << 'x' << c.ih;
  }
  int w, h;
  EXPECT_FALSE(dib::PreviewSize(0, 10, 10, 10, &w, &h));
  EXPECT_FALSE(dib::PreviewSize(10, 10, 10, -1, &w, &h));
  EXPECT_EQ(dib::AdjustDialogWidth(120, 300, 400, 300), 520);
  EXPECT_EQ(dib::AdjustDialogWidth(120, 300, 0, 300), 120);
  EXPECT_EQ(dib::AdjustDialogWidth(120, 2000000000, 2000000000, 1), INT32_MAX);
}

TEST(AdjustPreview, SamplesTheNearestPixelFromTheTop) {
  std::vector<uint8_t> image = Block(5, 3), preview = Block(2, 2);
  const dib::View from = ViewOf(image), to = ViewOf(preview);
  ASSERT_TRUE(dib::SamplePreview(from, to));
  // Column j takes 5 * j / 2: 0 and 2; row i takes 3 * i / 2: 0 and 1.
  const int cols[] = {0, 2}, rows[] = {0, 1};
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 2; ++j) EXPECT_EQ(0, std::memcmp(to.Pixel24(j, i), from.Pixel24(cols[j], rows[i]), 3));
  std::vector<uint8_t> mask = Block(2, 2, 8);
  EXPECT_FALSE(dib::SamplePreview(from, ViewOf(mask)));
}

}  // namespace
