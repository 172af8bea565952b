// Selection files: the layout written, reading back in both byte orders, the thumbnail, the
// resolution and what hostile files and failing writes come to.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <optional>

#include "tests/native/selection_test_support.h"

namespace {

using seltest::FileOf;
using seltest::Image;

uint32_t Le16(const std::vector<uint8_t>& f, size_t at) { return f[at] | f[at + 1] << 8; }
uint32_t Le32(const std::vector<uint8_t>& f, size_t at) { return Le16(f, at) | Le16(f, at + 2) << 16; }
void Put16(std::vector<uint8_t>& f, size_t at, uint32_t v) {
  f[at] = static_cast<uint8_t>(v);
  f[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(std::vector<uint8_t>& f, size_t at, uint32_t v) {
  Put16(f, at, v & 0xFFFF);
  Put16(f, at + 2, v >> 16);
}

// The value field of the entry with `tag` in the directory at `dir`.
size_t EntryAt(const std::vector<uint8_t>& f, size_t dir, uint32_t tag) {
  for (size_t i = 0; i < Le16(f, dir); ++i) {
    if (Le16(f, dir + 2 + 12 * i) == tag) return dir + 2 + 12 * i;
  }
  ADD_FAILURE() << "no tag " << tag;
  return 0;
}

struct Loaded {
  selfile::Layout layout;
  std::optional<Image> image, mask, thumbnail;
};

// Both readers over the bytes; nothing when the layout is refused.
std::optional<Loaded> Load(const std::vector<uint8_t>& file) {
  selfile::MemoryBytes bytes{file.data(), file.size()};
  const selfile::Source source = selfile::SourceOf(&bytes);
  Loaded l;
  if (!selfile::ReadLayout(source, &l.layout)) return std::nullopt;
  l.image.emplace(l.layout.width, l.layout.height);
  l.mask.emplace(l.layout.width, l.layout.height);
  if (!selfile::ReadImageAndMask(source, l.layout, l.image->view, l.mask->view)) return std::nullopt;
  Image thumb(40, 30);
  if (selfile::ReadThumbnail(source, l.layout, thumb.view)) l.thumbnail.emplace(thumb);
  return l;
}

TEST(SelectionFile, ReadsBackThePixelsAndTheMaskAtEverySize) {
  const int sizes[][2] = {{1, 1}, {5, 2}, {6, 3}, {7, 3}, {8, 2}, {9, 5}, {11, 2}, {16, 1}, {40, 30}, {100, 13}, {3, 70}};
  for (const auto& s : sizes) {
    SCOPED_TRACE(testing::Message() << s[0] << " x " << s[1]);
    const Image patch = seltest::Patch(s[0], s[1]);
    const Image mask = seltest::Mask(s[0], s[1]);
    const std::vector<uint8_t> file = FileOf(patch, mask);
    ASSERT_EQ(file.size(), selfile::FileSize(s[0], s[1]));
    for (const auto& bytes : {file, seltest::BigEndianTwin(file)}) {
      const auto loaded = Load(bytes);
      ASSERT_TRUE(loaded);
      EXPECT_TRUE(loaded->image->SamePixels(patch));
      EXPECT_TRUE(loaded->mask->SamePixels(mask));
      ASSERT_TRUE(loaded->thumbnail);
      EXPECT_EQ(loaded->layout.xPelsPerMeter, 3779);
    }
    const auto le = Load(file), be = Load(seltest::BigEndianTwin(file));
    EXPECT_TRUE(le->thumbnail->SamePixels(*be->thumbnail));
  }
}

TEST(SelectionFile, WritesTheFixedLayout) {
  const int w = 9, h = 5;
  const std::vector<uint8_t> f = FileOf(seltest::Patch(w, h), seltest::Mask(w, h), 3779, 2835);
  const size_t s1 = w * h * 3, s2 = h * 2, p2 = 192 + s1, p3 = p2 + 178 + s2;
  ASSERT_EQ(f.size(), p3 + 184 + 3600);
  EXPECT_EQ(std::string(f.begin(), f.begin() + 2), "II");
  EXPECT_EQ(Le16(f, 2), 42u);
  EXPECT_EQ(Le32(f, 4), 8u);
  struct Dir {
    size_t at, next, bits, strip, res;
    uint32_t subfile, width, height, photometric, samples, rows, bytes;
  };
  const Dir dirs[] = {{8, p2, 170, 192, 176, 0, w, h, 2, 3, h, s1},
                      {p2, p3, 0, p2 + 178, p2 + 162, 4, w, h, 4, 1, h, s2},
                      // Other readers split an image whose RowsPerStrip is below its height.
                      {p3, 0, p3 + 162, p3 + 184, p3 + 168, 1, 40, 30, 2, 3, 30, 3600}};
  const uint32_t tags[] = {254, 256, 257, 258, 259, 262, 273, 277, 278, 279, 282, 283, 296};
  for (const Dir& d : dirs) {
    SCOPED_TRACE(d.at);
    ASSERT_EQ(Le16(f, d.at), 13u);
    for (size_t i = 0; i < 13; ++i) EXPECT_EQ(Le16(f, d.at + 2 + 12 * i), tags[i]);
    EXPECT_EQ(Le32(f, d.at + 158), d.next);
    const uint32_t values[] = {d.subfile, d.width, d.height, 1, d.photometric, static_cast<uint32_t>(d.strip),
                               d.samples, d.rows, d.bytes, static_cast<uint32_t>(d.res), 2};
    const uint32_t valueTags[] = {254, 256, 257, 259, 262, 273, 277, 278, 279, 282, 296};
    for (size_t i = 0; i < 11; ++i) EXPECT_EQ(Le32(f, EntryAt(f, d.at, valueTags[i]) + 8), values[i]) << valueTags[i];
    EXPECT_EQ(Le32(f, EntryAt(f, d.at, 283) + 8), d.res + 8);
    if (d.bits) {
      EXPECT_EQ(Le32(f, EntryAt(f, d.at, 258) + 4), 3u);
      EXPECT_EQ(Le32(f, EntryAt(f, d.at, 258) + 8), d.bits);
      for (int k = 0; k < 3; ++k) EXPECT_EQ(Le16(f, d.bits + 2 * k), 8u);
    } else {
      EXPECT_EQ(Le32(f, EntryAt(f, d.at, 258) + 4), 1u);
      EXPECT_EQ(Le32(f, EntryAt(f, d.at, 258) + 8), 1u);
    }
    EXPECT_EQ(Le32(f, d.res), 96u);
    EXPECT_EQ(Le32(f, d.res + 4), 1u);
    EXPECT_EQ(Le32(f, d.res + 8), 72u);
    EXPECT_EQ(Le32(f, d.res + 12), 1u);
  }
  // Patch rows from the top as red, green, blue; mask bits 1 outside, leftmost pixel first.
  const Image patch = seltest::Patch(w, h), mask = seltest::Mask(w, h);
  EXPECT_EQ(f[192 + 3 * 4 + 0], patch.At(4, 0) & 0xFF);
  EXPECT_EQ(f[192 + 3 * 4 + 2], patch.At(4, 0) >> 16);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const bool outside = mask.At(x, y) != 0;
      EXPECT_EQ((f[p2 + 178 + 2 * y + x / 8] >> (7 - x % 8) & 1) != 0, outside) << x << "," << y;
    }
    EXPECT_EQ(f[p2 + 178 + 2 * y + 1] & 0x7F, 0) << "unused bits";
  }
}

// Grey bands where the fitted patch does not reach; the patch where the mask is black.
TEST(SelectionFile, ThumbnailFitsThePatchBetweenGreyBands) {
  struct Case {
    int w, h;
    int firstRow, lastRow, firstCol, lastCol;  // the patch's part of the thumbnail
  } cases[] = {
      {80, 20, 10, 19, 0, 39},   // wide: fh = 10, bands above and below
      {20, 80, 0, 29, 16, 23},   // tall: fw = 7, margins 16, bands left and right
      {40, 30, 0, 29, 0, 39},    // the thumbnail's own shape: no bands
      {400, 1, 15, 14, 0, 39},   // flatter than a row: all grey
      {1, 400, 0, 29, 20, 19},   // narrower than a column: all grey
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << " x " << c.h);
    Image patch(c.w, c.h), mask(c.w, c.h);
    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x) patch.Set(x, y, 0x102030);
    mask.Set(c.w - 1, c.h - 1, 0xFFFFFF);  // the bottom-right pixel is outside the selection
    const auto loaded = Load(FileOf(patch, mask));
    ASSERT_TRUE(loaded && loaded->thumbnail);
    const Image& t = *loaded->thumbnail;
    for (int i = 0; i < 30; ++i) {
      for (int j = 0; j < 40; ++j) {
        const bool inPatch = i >= c.firstRow && i <= c.lastRow && j >= c.firstCol && j <= c.lastCol;
        const bool lastPixel = i == c.lastRow && j == c.lastCol;
        EXPECT_EQ(t.At(j, i), inPatch && !lastPixel ? 0x102030u : 0xC0C0C0u) << j << "," << i;
      }
    }
  }
}

TEST(SelectionFile, ResolutionSurvivesSaveAfterSave) {
  // 96 dpi is 3779 pixels per metre, and so back.
  EXPECT_EQ(selfile::DpiOfPelsPerMeter(3779), 96u);
  EXPECT_EQ(selfile::PelsPerMeterOf(96, 1, 2), 3779);
  for (int32_t ppm : {3779, 2835, 11811, 39, 100000}) {
    int32_t now = ppm;
    const uint32_t dpi = selfile::DpiOfPelsPerMeter(ppm);
    for (int round = 0; round < 3; ++round) {
      const auto loaded = Load(FileOf(seltest::Patch(3, 2), seltest::Mask(3, 2), now, now));
      ASSERT_TRUE(loaded);
      now = loaded->layout.xPelsPerMeter;
      EXPECT_EQ(selfile::DpiOfPelsPerMeter(now), dpi) << ppm << " round " << round;
    }
  }
  // Zero numerator or denominator, another unit, or beyond a header's range: no resolution.
  EXPECT_EQ(selfile::PelsPerMeterOf(38, 1, 3), 3800);
  for (const auto& r : {std::array<uint32_t, 3>{96, 0, 2}, {0, 1, 2}, {96, 1, 1}, {0xFFFFFFFF, 1, 2}, {0xFFFFFFFF, 1, 3}})
    EXPECT_EQ(selfile::PelsPerMeterOf(r[0], r[1], r[2]), 0) << r[0] << "/" << r[1] << " unit " << r[2];
  EXPECT_EQ(selfile::DpiOfPelsPerMeter(0), 0u);
  EXPECT_EQ(selfile::DpiOfPelsPerMeter(-3779), 0u);
}

// One damaged or crafted variant of a good file per row; every one is refused whole.
TEST(SelectionFile, RefusesFilesOutsideTheLayout) {
  const int w = 9, h = 5;
  const std::vector<uint8_t> good = FileOf(seltest::Patch(w, h), seltest::Mask(w, h));
  const size_t p2 = 192 + w * h * 3;
  using Edit = std::function<void(std::vector<uint8_t>&)>;
  auto setValue = [](uint32_t tag, uint32_t v) {
    return Edit([=](std::vector<uint8_t>& f) { Put32(f, EntryAt(f, 8, tag) + 8, v); });
  };
  auto retag = [](uint32_t tag) {  // the tag is gone (renamed to one the reader ignores)
    return Edit([=](std::vector<uint8_t>& f) { Put16(f, EntryAt(f, 8, tag), 0x8000 + tag); });
  };
  const struct {
    const char* what;
    Edit edit;
  } cases[] = {
      {"byte order", [](auto& f) { f[0] = f[1] = 'X'; }},
      {"no width", retag(256)},
      {"no height", retag(257)},
      {"no bits", retag(258)},
      {"no strip offset", retag(273)},
      {"no strip count", retag(279)},
      {"no samples", retag(277)},
      {"width 0", setValue(256, 0)},
      {"height 0", setValue(257, 0)},
      {"width 65536 as LONG", [](auto& f) { Put16(f, EntryAt(f, 8, 256) + 2, 4); Put32(f, EntryAt(f, 8, 256) + 8, 65536); }},
      {"width and height at most, count wrapped to 32 bits",
       [](auto& f) {
         Put32(f, EntryAt(f, 8, 256) + 8, 65535);
         Put32(f, EntryAt(f, 8, 257) + 8, 65535);
         Put32(f, EntryAt(f, 8, 279) + 8, static_cast<uint32_t>(uint64_t{3} * 65535 * 65535));
       }},
      {"compressed", setValue(259, 5)},
      {"palette", setValue(262, 3)},
      {"16 bits per sample", [](auto& f) { Put16(f, 170, 16); }},
      {"two bits values", [](auto& f) { Put32(f, EntryAt(f, 8, 258) + 4, 2); }},
      {"one sample", setValue(277, 1)},
      {"strip count one short", setValue(279, w * h * 3 - 1)},
      {"strip past the end", setValue(273, 0xFFFFFF00)},
      {"subfile type", setValue(254, 1)},
      {"unknown type", [](auto& f) { Put16(f, EntryAt(f, 8, 296) + 2, 11); }},
      {"rational as SHORT", [](auto& f) { Put16(f, EntryAt(f, 8, 282) + 2, 3); }},
      {"value past the end", setValue(282, 0xFFFFFFF8)},
      {"value count past the end", [](auto& f) { Put32(f, EntryAt(f, 8, 282) + 4, 0x20000000); }},
      {"first directory past the end", [](auto& f) { Put32(f, 4, 0xFFFFFFF0); }},
      {"entry count past the end", [](auto& f) { Put16(f, 8, 0xFFFF); }},
      {"no entries", [](auto& f) { Put16(f, 8, 0); }},
      {"next directory elsewhere", [=](auto& f) { Put32(f, 166, p2 + 2); }},
      {"next directory back at the first", [](auto& f) { Put32(f, 166, 8); }},
      {"mask directory damaged", [=](auto& f) { Put16(f, p2, 12); }},
      {"cut in the mask", [=](auto& f) { f.resize(p2 + 178 + 3); }},
      {"cut in the directory", [](auto& f) { f.resize(100); }},
      {"empty", [](auto& f) { f.clear(); }},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> f = good;
    c.edit(f);
    EXPECT_FALSE(Load(f)) << c.what;
  }
  // A zero denominator reads as no resolution; the file is fine otherwise.
  std::vector<uint8_t> f = good;
  Put32(f, 180, 0);
  const auto loaded = Load(f);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->layout.xPelsPerMeter, 0);
  EXPECT_EQ(loaded->layout.yPelsPerMeter, 3779);
  // A thumbnail that is not where the layout puts it: the patch loads, the thumbnail does not.
  for (size_t cut : {good.size() - 1, good.size() - 3600}) {
    f.assign(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
    const auto noThumb = Load(f);
    ASSERT_TRUE(noThumb);
    EXPECT_FALSE(noThumb->thumbnail);
  }
}

TEST(SelectionFile, WriterRefusesBadInputAndStopsAtTheFirstFailedWrite) {
  const Image patch = seltest::Patch(50, 40), other = seltest::Mask(50, 41);
  std::vector<uint8_t> out;
  EXPECT_FALSE(selfile::WriteSelection(patch.view, other.view, 0, 0, {seltest::AppendTo, &out}));
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(selfile::FileSize(65536, 1), 0u);
  EXPECT_EQ(selfile::FileSize(65535, 65535), 0u);  // offsets beyond 32 bits
  EXPECT_NE(selfile::FileSize(65535, 1), 0u);

  // Patch of several pieces of the writer: fail the first, a middle and the last write.
  const Image big = seltest::Patch(600, 600), bigMask = seltest::Mask(600, 600);
  struct Counting {
    int calls = 0, failAt = 0;
  };
  for (int failAt : {1, 3, 0}) {
    Counting all;
    selfile::WriteSelection(big.view, bigMask.view, 0, 0, {[](void* c, const uint8_t*, size_t) {
                                                             ++static_cast<Counting*>(c)->calls;
                                                             return true;
                                                           },
                                                           &all});
    Counting counting{0, failAt ? failAt : all.calls};
    EXPECT_FALSE(selfile::WriteSelection(big.view, bigMask.view, 0, 0,
                                         {[](void* c, const uint8_t*, size_t) {
                                            auto* k = static_cast<Counting*>(c);
                                            return ++k->calls != k->failAt;
                                          },
                                          &counting}));
    EXPECT_EQ(counting.calls, counting.failAt) << "no write after the failed one";
  }
}

}  // namespace
