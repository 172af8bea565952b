// The portable bitmap model: block views, crop, paste, masked paste, flip, mirror, resampling
// tables, pixel reads and the stamp blend.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "retouch/imaging/dib_ops.h"

namespace {

// A packed DIB in plain memory, as a global block would hold it.
class Image {
 public:
  Image(int w, int h, int bpp = 24, size_t tableBytes = 0)
      : block_(dib::kHeaderSize + tableBytes + static_cast<size_t>(dib::Stride(w, bpp)) * static_cast<size_t>(h)) {
    dib::Header hd = {};
    hd.size = dib::kHeaderSize;
    hd.width = w;
    hd.height = h;
    hd.planes = 1;
    hd.bitCount = static_cast<uint16_t>(bpp);
    std::memcpy(block_.data(), &hd, sizeof hd);
    EXPECT_TRUE(dib::ViewOfBlock(block_.data(), block_.size(), &view_));
  }
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;

  const dib::View& view() const { return view_; }
  int width() const { return view_.width; }
  int height() const { return view_.height; }
  std::vector<uint8_t>& block() { return block_; }

  // A distinct colour for every pixel of a small picture.
  static uint32_t PatternAt(int x, int y, int salt = 0) {
    return static_cast<uint32_t>((x * 37 + salt) & 0xFF) | static_cast<uint32_t>((y * 53 + 7) & 0xFF) << 8 |
           static_cast<uint32_t>((x * 11 + y * 5 + salt * 3 + 1) & 0xFF) << 16;
  }
  Image& Pattern(int salt = 0) {
    for (int y = 0; y < height(); ++y)
      for (int x = 0; x < width(); ++x) Set(x, y, PatternAt(x, y, salt));
    return *this;
  }
  void Set(int x, int y, uint32_t c) {
    uint8_t* p = view_.Pixel24(x, y);
    p[0] = static_cast<uint8_t>(c >> 16);
    p[1] = static_cast<uint8_t>(c >> 8);
    p[2] = static_cast<uint8_t>(c);
  }
  uint32_t At(int x, int y) const {
    uint32_t c = 0;
    EXPECT_TRUE(dib::GetPixel(view_, x, y, &c)) << x << "," << y;
    return c;
  }
  std::vector<uint8_t> Pixels() const { return {view_.bits, view_.bits + static_cast<size_t>(view_.stride) * view_.height}; }

 private:
  std::vector<uint8_t> block_;
  dib::View view_;
};

dib::Rect R(int64_t l, int64_t t, int64_t r, int64_t b) { return {l, t, r, b}; }

TEST(DibView, AcceptsWellFormedBlocksAndFindsTheRows) {
  Image image(5, 3);
  EXPECT_EQ(image.view().stride, 16);
  EXPECT_EQ(image.view().bits, image.block().data() + 40);
  // The pixel at (x, y) from the top lies at 40 + (height - 1 - y) * stride + 3x.
  EXPECT_EQ(image.view().Pixel24(2, 0), image.block().data() + 40 + 2 * 16 + 6);

  Image mask(5, 3, 8);  // no colour table: rows right behind the header
  EXPECT_EQ(mask.view().stride, 8);
  EXPECT_EQ(mask.view().bits, mask.block().data() + 40);

  Image palette(5, 3, 8, 1024);  // 256-entry table present
  EXPECT_EQ(palette.view().bits, palette.block().data() + 40 + 1024);
}

TEST(DibView, RejectsHeadersThatDoNotFitTheBlock) {
  auto check = [](void (*edit)(dib::Header&), size_t sizeDelta) {
    Image image(6, 4);
    dib::Header h;
    std::memcpy(&h, image.block().data(), sizeof h);
    edit(h);
    std::memcpy(image.block().data(), &h, sizeof h);
    dib::View v;
    v.width = 99;
    const bool ok = dib::ViewOfBlock(image.block().data(), image.block().size() - sizeDelta, &v);
    if (!ok) EXPECT_FALSE(v.valid());
    return ok;
  };
  EXPECT_TRUE(check([](dib::Header&) {}, 0));
  EXPECT_FALSE(check([](dib::Header&) {}, 1));  // one byte short of the last row
  EXPECT_FALSE(check([](dib::Header& h) { h.height = 5; }, 0));
  EXPECT_FALSE(check([](dib::Header& h) { h.height = -4; }, 0));  // top-down
  EXPECT_FALSE(check([](dib::Header& h) { h.width = 0; }, 0));
  EXPECT_FALSE(check([](dib::Header& h) { h.bitCount = 1; }, 0));
  EXPECT_FALSE(check([](dib::Header& h) { h.bitCount = 12; }, 0));
  EXPECT_FALSE(check([](dib::Header& h) { h.compression = 1; }, 0));
  EXPECT_FALSE(check([](dib::Header& h) { h.size = 39; }, 0));
  EXPECT_FALSE(check([](dib::Header& h) { h.size = 0xFFFFFFF0u; }, 0));
  EXPECT_FALSE(check([](dib::Header& h) { h.width = 0x7FFFFFFF; h.height = 0x7FFFFFFF; }, 0));
  EXPECT_FALSE(check([](dib::Header& h) { h.width = 0x7FFFFFFF; h.bitCount = 32; }, 0));  // stride beyond 32 bits
  // A colour table that does not fit is taken as absent, never read past the block.
  EXPECT_TRUE(check([](dib::Header& h) { h.clrUsed = 0xFFFFFFFFu; }, 0));

  dib::View v;
  uint8_t small[39] = {};
  EXPECT_FALSE(dib::ViewOfBlock(small, sizeof small, &v));
  EXPECT_FALSE(dib::ViewOfBlock(nullptr, 100, &v));
}

TEST(DibView, ColorCountFollowsTheHeader) {
  dib::Header h = {};
  h.bitCount = 1;
  EXPECT_EQ(dib::ColorCount(h), 2u);
  h.bitCount = 4;
  EXPECT_EQ(dib::ColorCount(h), 16u);
  h.bitCount = 8;
  EXPECT_EQ(dib::ColorCount(h), 256u);
  h.bitCount = 24;
  EXPECT_EQ(dib::ColorCount(h), 0u);
  h.clrUsed = 12;
  EXPECT_EQ(dib::ColorCount(h), 12u);
}

TEST(DibPixel, ReadsColorrefInsideTheImageOnly) {
  Image image(4, 3);
  image.Set(1, 0, 0x00112233);  // red 0x33 lands in byte 2
  const uint8_t* p = image.view().Pixel24(1, 0);
  EXPECT_EQ(p[0], 0x11);
  EXPECT_EQ(p[2], 0x33);
  EXPECT_EQ(image.At(1, 0), 0x00112233u);
  uint32_t c = 7;
  EXPECT_FALSE(dib::GetPixel(image.view(), 4, 0, &c));
  EXPECT_FALSE(dib::GetPixel(image.view(), 0, -1, &c));
  EXPECT_FALSE(dib::GetPixel(image.view(), -1, 0, &c));
  EXPECT_FALSE(dib::GetPixel(image.view(), 0, 3, &c));
  EXPECT_EQ(c, 7u);
  Image mask(4, 3, 8);
  EXPECT_FALSE(dib::GetPixel(mask.view(), 0, 0, &c));
}

// The crop formulas as first written: copied size and both start points.
struct Placement {
  int64_t cw, ch, srcX, srcY, dstX, dstY;
};
Placement CropFormulas(const dib::Rect& r, int64_t w, int64_t h, int64_t W, int64_t H) {
  Placement p;
  p.cw = r.left < 0 ? r.left + w : (r.left + w > W ? W - r.left : w);
  p.ch = r.top < 0 ? r.top + h : (r.top + h > H ? H - r.top : h);
  p.srcX = std::max<int64_t>(r.left, 0);
  p.srcY = std::max<int64_t>(r.top, 0);
  p.dstX = r.left + w > W ? 0 : w - p.cw;
  p.dstY = r.top + h > H ? 0 : h - p.ch;
  return p;
}

TEST(DibCrop, PlacesTheCopiedPartWhereTheRectangleOverhangs) {
  Image image(6, 5);
  image.Pattern();
  int32_t w = 0, h = 0;
  // Overhanging left and top: copied part at the bottom-right, rest black.
  ASSERT_TRUE(dib::CropSize(image.view(), R(-2, -1, 2, 3), &w, &h));
  EXPECT_EQ(w, 4);
  EXPECT_EQ(h, 4);
  Image crop(w, h);
  ASSERT_TRUE(dib::CropInto(image.view(), R(-2, -1, 2, 3), crop.view()));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(crop.At(x, y), x >= 2 && y >= 1 ? Image::PatternAt(x - 2, y - 1) : 0u) << x << "," << y;

  // Overhanging right and bottom: copied part at the top-left.
  Image crop2(3, 3);
  ASSERT_TRUE(dib::CropInto(image.view(), R(4, 3, 7, 6), crop2.view()));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(crop2.At(x, y), x < 2 && y < 2 ? Image::PatternAt(x + 4, y + 3) : 0u) << x << "," << y;

  // Wider and higher than the image: the size is capped at the image's.
  ASSERT_TRUE(dib::CropSize(image.view(), R(-3, -3, 20, 20), &w, &h));
  EXPECT_EQ(w, 6);
  EXPECT_EQ(h, 5);

  // Wholly outside: black; empty rectangles give nothing.
  Image black(2, 2);
  ASSERT_TRUE(dib::CropInto(image.view(), R(6, 0, 8, 2), black.view()));
  EXPECT_EQ(black.At(0, 0), 0u);
  EXPECT_FALSE(dib::CropSize(image.view(), R(2, 2, 2, 4), &w, &h));
  EXPECT_FALSE(dib::CropSize(image.view(), R(2, 4, 4, 2), &w, &h));
  // The crop view must have the announced size.
  EXPECT_FALSE(dib::CropInto(image.view(), R(0, 0, 3, 3), black.view()));
  Image mask(6, 5, 8);
  EXPECT_FALSE(dib::CropSize(mask.view(), R(0, 0, 3, 3), &w, &h));
}

TEST(DibCrop, AgreesWithTheOriginalFormulasEverywhere) {
  Image image(7, 5);
  image.Pattern();
  const int W = image.width(), H = image.height();
  int cases = 0;
  for (int l = -9; l <= 9; ++l)
    for (int t = -7; t <= 7; ++t)
      for (int rw = 1; rw <= 10; ++rw)
        for (int rh : {1, 3, 5, 8}) {
          const dib::Rect r = R(l, t, l + rw, t + rh);
          int32_t w = 0, h = 0;
          ASSERT_TRUE(dib::CropSize(image.view(), r, &w, &h));
          Image crop(w, h);
          ASSERT_TRUE(dib::CropInto(image.view(), r, crop.view()));
          std::vector<uint32_t> expected(static_cast<size_t>(w * h), 0);
          const bool outside = r.left + w <= 0 || r.top + h <= 0 || r.left >= W || r.top >= H;
          if (!outside) {
            const Placement p = CropFormulas(r, w, h, W, H);
            ASSERT_LE(p.dstX + p.cw, w);  // the cap at the image size keeps these in bounds
            ASSERT_LE(p.srcX + p.cw, W);
            for (int64_t y = 0; y < p.ch; ++y)
              for (int64_t x = 0; x < p.cw; ++x)
                expected[static_cast<size_t>((p.dstY + y) * w + p.dstX + x)] =
                    Image::PatternAt(static_cast<int>(p.srcX + x), static_cast<int>(p.srcY + y));
          }
          for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) ASSERT_EQ(crop.At(x, y), expected[static_cast<size_t>(y * w + x)]);
          ++cases;
        }
  EXPECT_GT(cases, 5000);
}

// The paste formulas as first written; `overruns` when they would copy outside either image.
Placement PasteFormulas(int64_t left, int64_t top, int64_t pw, int64_t ph, int64_t W, int64_t H, bool* overruns) {
  Placement p;
  p.cw = left < 0 ? left + pw : (left + pw > W ? W - left : pw);
  p.ch = top < 0 ? top + ph : (top + ph > H ? H - top : ph);
  p.srcX = left + pw > W ? 0 : pw - p.cw;
  p.srcY = top + ph > H ? 0 : ph - p.ch;
  p.dstX = std::max<int64_t>(left, 0);
  p.dstY = std::max<int64_t>(top, 0);
  *overruns = p.dstX + p.cw > W || p.dstY + p.ch > H || p.srcX + p.cw > pw || p.srcY + p.ch > ph;
  return p;
}

TEST(DibPaste, AgreesWithTheOriginalFormulasAndClipsWhereTheyOverrun) {
  const int W = 6, H = 5;
  int compared = 0, clipped = 0;
  for (int pw = 1; pw <= 9; ++pw)
    for (int ph : {1, 2, 5, 7})
      for (int l = -10; l <= 7; ++l)
        for (int t = -8; t <= 6; ++t) {
          Image patch(pw, ph);
          patch.Pattern(1);
          Image dest(W, H);
          dest.Pattern(2);
          ASSERT_TRUE(dib::Paste(dest.view(), patch.view(), l, t));
          // What a clipped copy leaves: patch pixel (x - l, y - t) wherever it covers.
          for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
              const bool covered = x - l >= 0 && x - l < pw && y - t >= 0 && y - t < ph;
              ASSERT_EQ(dest.At(x, y), covered ? Image::PatternAt(x - l, y - t, 1) : Image::PatternAt(x, y, 2));
            }
          if (l + pw <= 0 || t + ph <= 0 || l >= W || t >= H) continue;
          bool overruns = false;
          const Placement p = PasteFormulas(l, t, pw, ph, W, H, &overruns);
          const bool overhangsBoth = (l < 0 && l + pw > W) || (t < 0 && t + ph > H);
          ASSERT_EQ(overruns, overhangsBoth) << pw << "x" << ph << " at " << l << "," << t;
          if (overruns) {
            ++clipped;
            continue;
          }
          // In bounds, the formulas describe exactly the clipped copy.
          for (int64_t y = 0; y < p.ch; ++y)
            for (int64_t x = 0; x < p.cw; ++x)
              ASSERT_EQ(dest.At(static_cast<int>(p.dstX + x), static_cast<int>(p.dstY + y)),
                        Image::PatternAt(static_cast<int>(p.srcX + x), static_cast<int>(p.srcY + y), 1));
          ++compared;
        }
  EXPECT_GT(compared, 1000);
  EXPECT_GT(clipped, 100);
}

TEST(DibPaste, PastingACropBackRestoresTheImage) {
  Image image(9, 7);
  image.Pattern();
  const std::vector<uint8_t> before = image.Pixels();
  for (const dib::Rect& r : {R(-3, -2, 4, 3), R(5, 4, 12, 10), R(2, 1, 6, 6), R(-1, -1, 10, 8)}) {
    int32_t w = 0, h = 0;
    ASSERT_TRUE(dib::CropSize(image.view(), r, &w, &h));
    Image crop(w, h);
    ASSERT_TRUE(dib::CropInto(image.view(), r, crop.view()));
    ASSERT_TRUE(dib::Paste(image.view(), crop.view(), r.left, r.top));
    EXPECT_EQ(image.Pixels(), before);
  }
  // A patch overhanging the left edge puts its right part at column 0.
  Image patch(4, 1);
  patch.Pattern(3);
  ASSERT_TRUE(dib::Paste(image.view(), patch.view(), -3, 2));
  EXPECT_EQ(image.At(0, 2), Image::PatternAt(3, 0, 3));
  EXPECT_EQ(image.At(1, 2), Image::PatternAt(1, 2));
  // Wholly outside: success, nothing copied.
  EXPECT_TRUE(dib::Paste(image.view(), patch.view(), 9, 0));
  EXPECT_TRUE(dib::Paste(image.view(), patch.view(), -4, 0));
  Image mask(4, 1, 8);
  EXPECT_FALSE(dib::Paste(image.view(), mask.view(), 0, 0));
}

TEST(DibPasteMasked, CopiesOnlyWhereTheMaskIsBlackAndClips) {
  Image patch(5, 4);
  patch.Pattern(1);
  Image mask(5, 4);  // black = take the patch; red byte decides
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) mask.Set(x, y, (x + y) % 3 == 0 ? 0x00FFFF00u : ((x + y) % 3 == 1 ? 0u : 0xFFFFFFu));
  for (int l = -6; l <= 8; ++l)
    for (int t = -5; t <= 6; ++t) {
      Image dest(7, 6);
      dest.Pattern(2);
      ASSERT_TRUE(dib::PasteMasked(dest.view(), patch.view(), mask.view(), l, t));
      for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 7; ++x) {
          const int px = x - l, py = y - t;
          const bool take = px >= 0 && px < 5 && py >= 0 && py < 4 && (px + py) % 3 != 2;  // red byte 0 in both of the first two
          ASSERT_EQ(dest.At(x, y), take ? Image::PatternAt(px, py, 1) : Image::PatternAt(x, y, 2));
        }
    }
  // A patch wider and higher than the destination, overhanging all edges.
  Image big(12, 10);
  big.Pattern(4);
  Image black(12, 10);
  Image dest(3, 2);
  ASSERT_TRUE(dib::PasteMasked(dest.view(), big.view(), black.view(), -4, -5));
  EXPECT_EQ(dest.At(0, 0), Image::PatternAt(4, 5, 4));
  EXPECT_EQ(dest.At(2, 1), Image::PatternAt(6, 6, 4));

  Image smallMask(4, 4);
  EXPECT_FALSE(dib::PasteMasked(dest.view(), patch.view(), smallMask.view(), 0, 0));
  Image byteMask(5, 4, 8);
  EXPECT_FALSE(dib::PasteMasked(dest.view(), patch.view(), byteMask.view(), 0, 0));
}

TEST(DibPasteMasked, AnyMaskPatternMatchesAPixelByPixelCopy) {
  // Rows long enough for the groups of eight and sixteen pixels, with scattered pixels and with long runs of
  // inside and outside.
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  for (int w : {4, 5, 7, 8, 13, 16, 17, 33, 49, 70, 200}) {
    Image patch(w, 3), mask(w, 3);
    patch.Pattern(5);
    std::vector<bool> inside(static_cast<size_t>(w * 3));
    bool run = true;
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < w; ++x) {
        if ((next() >> 16) % 12 == 0) run = !run;
        const bool in = w >= 70 ? run : (next() >> 16) % 3 != 0;
        inside[static_cast<size_t>(y * w + x)] = in;
        mask.Set(x, y, in ? (next() >> 8 & 0xFFFF00u) : (next() >> 8 | 1u));  // only red decides
      }
    for (int l : {-3, 0, 1}) {
      Image dest(w + 2, 4);
      dest.Pattern(6);
      ASSERT_TRUE(dib::PasteMasked(dest.view(), patch.view(), mask.view(), l, 1));
      for (int y = 0; y < 4; ++y)
        for (int x = 0; x < w + 2; ++x) {
          const int px = x - l, py = y - 1;
          const bool take = px >= 0 && px < w && py >= 0 && py < 3 && inside[static_cast<size_t>(py * w + px)];
          ASSERT_EQ(dest.At(x, y), take ? Image::PatternAt(px, py, 5) : Image::PatternAt(x, y, 6))
              << w << " at " << l << ": " << x << "," << y;
        }
    }
  }
}

TEST(DibCropMasked, FillsWhatTheMaskLeavesOut) {
  Image crop(4, 3);
  crop.Pattern();
  Image mask(3, 2, 8);  // smaller than the crop: the rest counts as outside
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) mask.view().Row(y)[x] = static_cast<uint8_t>((x + y) % 2);
  ASSERT_TRUE(dib::FillOutsideMask(crop.view(), mask.view(), 0x00C0B0A0));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) {
      const bool inside = y < 2 && x < 3 && (x + y) % 2 == 1;
      EXPECT_EQ(crop.At(x, y), inside ? Image::PatternAt(x, y) : 0x00C0B0A0u) << x << "," << y;
    }
  Image wrong(4, 3);
  EXPECT_FALSE(dib::FillOutsideMask(crop.view(), wrong.view(), 0));
}

TEST(DibFlipMirror, FlipTwiceRestoresAndRefusesThinImages) {
  for (int h : {2, 3, 6, 7}) {
    Image image(5, h);
    image.Pattern();
    const std::vector<uint8_t> before = image.Pixels();
    ASSERT_TRUE(dib::FlipVertical(image.view()));
    for (int y = 0; y < h; ++y) EXPECT_EQ(image.At(4, y), Image::PatternAt(4, h - 1 - y));
    ASSERT_TRUE(dib::FlipVertical(image.view()));
    EXPECT_EQ(image.Pixels(), before);
  }
  Image wide(2000, 3);  // rows longer than the swap buffer
  wide.Pattern();
  ASSERT_TRUE(dib::FlipVertical(wide.view()));
  EXPECT_EQ(wide.At(1999, 0), Image::PatternAt(1999, 2));
  EXPECT_EQ(wide.At(1500, 1), Image::PatternAt(1500, 1));

  Image mask(3, 2, 8);
  mask.view().Row(0)[1] = 9;
  ASSERT_TRUE(dib::FlipVertical(mask.view()));
  EXPECT_EQ(mask.view().Row(1)[1], 9);
  Image deep(3, 2, 32);
  EXPECT_FALSE(dib::FlipVertical(deep.view()));

  for (auto [w, h] : {std::pair{1, 1}, {1, 5}, {5, 1}}) {
    Image thin(w, h);
    thin.Pattern();
    const std::vector<uint8_t> before = thin.Pixels();
    EXPECT_FALSE(dib::FlipVertical(thin.view()));
    EXPECT_FALSE(dib::Mirror(thin.view()));
    EXPECT_EQ(thin.Pixels(), before);
  }
}

TEST(DibFlipMirror, MirrorReversesEveryRow) {
  for (int w : {2, 3, 8, 9}) {
    Image image(w, 3);
    image.Pattern();
    const std::vector<uint8_t> before = image.Pixels();
    ASSERT_TRUE(dib::Mirror(image.view()));
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < w; ++x) ASSERT_EQ(image.At(x, y), Image::PatternAt(w - 1 - x, y));
    ASSERT_TRUE(dib::Mirror(image.view()));
    EXPECT_EQ(image.Pixels(), before);
  }
  Image mask(4, 4, 8);
  EXPECT_FALSE(dib::Mirror(mask.view()));
}

// The table builder as first written, in 16-bit signed arithmetic.
std::vector<int16_t> Table16(int16_t n, int16_t m) {
  std::vector<int16_t> t(static_cast<size_t>(n), 0);
  size_t k = 1;
  int16_t a, b, err, s = 0;
  if (n < m) {
    a = static_cast<int16_t>(n - 1);
    b = static_cast<int16_t>(m - 1);
    err = static_cast<int16_t>(2 * a - b);
    for (int16_t i = 0; i < b; ++i) {
      s = static_cast<int16_t>(s + 1);
      if (err >= 0) {
        err = static_cast<int16_t>(err + 2 * (a - b));
        if (k < t.size()) t[k++] = s;
      } else {
        err = static_cast<int16_t>(err + 2 * a);
      }
    }
  } else {
    a = static_cast<int16_t>(m - 1);
    b = static_cast<int16_t>(n - 1);
    err = static_cast<int16_t>(2 * a - b);
    for (int16_t i = 0; i < b; ++i) {
      if (err >= 0) {
        err = static_cast<int16_t>(err + 2 * (a - b));
        s = static_cast<int16_t>(s + 1);
      } else {
        err = static_cast<int16_t>(err + 2 * a);
      }
      t[k++] = s;
    }
  }
  EXPECT_EQ(k, t.size()) << n << " from " << m;
  return t;
}

TEST(DibResize, IndexTablesMatchThe16BitOnesWhereTheyDoNotOverflow) {
  auto same = [](int n, int m) {
    std::vector<int32_t> t(static_cast<size_t>(n), -1);
    dib::BuildIndexTable(n, m, t.data());
    const std::vector<int16_t> old = Table16(static_cast<int16_t>(n), static_cast<int16_t>(m));
    for (int i = 0; i < n; ++i)
      if (t[static_cast<size_t>(i)] != old[static_cast<size_t>(i)]) return false;
    return true;
  };
  for (int n = 1; n <= 120; ++n)
    for (int m = 1; m <= 120; ++m) ASSERT_TRUE(same(n, m)) << n << " from " << m;
  for (auto [n, m] : {std::pair{8192, 4000}, {8192, 8191}, {4000, 8192}, {1, 16000}, {8192, 16383}, {2000, 4000}})
    EXPECT_TRUE(same(n, m)) << n << " from " << m;
}

TEST(DibResize, IndexTablesStayInRangeForLargeSources) {
  // Here 16-bit error terms would wrap; the tables must still cover the source in order.
  for (auto [n, m] : {std::pair{8192, 40000}, {3000, 100000}, {8192, 30000}, {50, 1000000}, {8192, 2}}) {
    std::vector<int32_t> t(static_cast<size_t>(n), -1);
    dib::BuildIndexTable(n, m, t.data());
    EXPECT_EQ(t[0], 0);
    for (size_t i = 1; i < t.size(); ++i) {
      ASSERT_GE(t[i], t[i - 1]);
      ASSERT_LT(t[i], m);
    }
    EXPECT_GE(t.back(), m - 1 - m / n - 1) << n << " from " << m;  // reaches the far end
  }
}

TEST(DibResize, NearestNeighbourInStorageOrder) {
  Image source(100, 100);
  source.Pattern();
  Image half(50, 50);
  ASSERT_TRUE(dib::Resample(source.view(), half.view()));
  // Every second pixel from the first column and the first stored (bottom) row.
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 50; ++x) ASSERT_EQ(half.At(x, y), Image::PatternAt(2 * x, 2 * y + 1));

  Image tiny(2, 2);
  tiny.Pattern();
  Image four(4, 4);
  ASSERT_TRUE(dib::Resample(tiny.view(), four.view()));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(four.At(x, y), Image::PatternAt(x / 2, y / 2));

  // 3 rows to 5: stored rows take 0, 1, 1, 2, 2 (bottom first).
  Image three(1, 3);
  three.Pattern();
  Image five(1, 5);
  ASSERT_TRUE(dib::Resample(three.view(), five.view()));
  const int storedFrom[5] = {0, 1, 1, 2, 2};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(five.At(0, 4 - i), Image::PatternAt(0, 2 - storedFrom[i]));

  Image tooWide(dib::kMaxResizeDimension + 1, 1);
  EXPECT_FALSE(dib::Resample(tiny.view(), tooWide.view()));
  Image mask(2, 2, 8);
  EXPECT_FALSE(dib::Resample(mask.view(), four.view()));
}

TEST(DibResize, EveryPixelComesFromItsTableEntry) {
  // Widths that are multiples of 4 leave no row padding: the last source pixel ends its row.
  for (auto [sw, sh, dw, dh] : {std::array{4, 3, 9, 2}, {8, 1, 3, 5}, {5, 4, 5, 4}, {12, 2, 12, 7}, {4, 4, 1, 1},
                                {7, 3, 16, 3}}) {
    Image source(sw, sh);
    source.Pattern(7);
    Image dest(dw, dh);
    ASSERT_TRUE(dib::Resample(source.view(), dest.view()));
    std::vector<int32_t> cols(static_cast<size_t>(dw)), rows(static_cast<size_t>(dh));
    dib::BuildIndexTable(dw, sw, cols.data());
    dib::BuildIndexTable(dh, sh, rows.data());
    for (int i = 0; i < dh; ++i)
      for (int j = 0; j < dw; ++j) {
        // storage row i is row dh - 1 - i from the top
        ASSERT_EQ(dest.At(j, dh - 1 - i), Image::PatternAt(cols[static_cast<size_t>(j)], sh - 1 - rows[static_cast<size_t>(i)], 7))
            << sw << "x" << sh << " to " << dw << "x" << dh;
      }
  }
}

TEST(DibStamp, BlendsNonBlackBitmapPixelsIntoTheRowsItCovers) {
  Image bitmap(6, 3);  // white text pixels on black
  for (int x = 0; x < 6; ++x) bitmap.Set(x, 1, 0xFFFFFF);
  bitmap.Set(2, 0, 0x000001);
  const uint32_t grey = 0x00646464;
  auto fresh = [&](Image& img) {
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) img.Set(x, y, grey);
  };
  Image image(4, 5);  // narrower than the bitmap: clipped at its right edge
  fresh(image);
  ASSERT_TRUE(dib::StampBitmap(image.view(), bitmap.view(), 3, 0x00C80000, 100));
  EXPECT_EQ(image.At(2, 3), 0x00C80000u);
  EXPECT_EQ(image.At(1, 3), grey);
  EXPECT_EQ(image.At(0, 4), 0x00C80000u);
  EXPECT_EQ(image.At(3, 4), 0x00C80000u);
  EXPECT_EQ(image.At(0, 2), grey);

  fresh(image);
  ASSERT_TRUE(dib::StampBitmap(image.view(), bitmap.view(), -1, 0x00C80000, 50));
  // red (100 * 50 + 0 * 50) / 100 = 50, blue (100 * 50 + 200 * 50) / 100 = 150
  EXPECT_EQ(image.At(1, 0), 0x00963232u);
  EXPECT_EQ(image.At(1, 1), grey);

  fresh(image);
  ASSERT_TRUE(dib::StampBitmap(image.view(), bitmap.view(), 2, 0x00FFFFFF, 33));
  EXPECT_EQ(image.At(0, 3), 0x00979797u);  // (100 * 67 + 255 * 33) / 100 = 151.15 -> 151
  fresh(image);
  ASSERT_TRUE(dib::StampBitmap(image.view(), bitmap.view(), 0, 0x00FFFFFF, 250));  // clamped to 100
  EXPECT_EQ(image.At(0, 1), 0x00FFFFFFu);
  fresh(image);
  ASSERT_TRUE(dib::StampBitmap(image.view(), bitmap.view(), 0, 0x00FFFFFF, -5));  // clamped to 0
  EXPECT_EQ(image.At(0, 1), grey);
  ASSERT_TRUE(dib::StampBitmap(image.view(), bitmap.view(), 5, 0x00FFFFFF, 100));  // below the image
  ASSERT_TRUE(dib::StampBitmap(image.view(), bitmap.view(), -3, 0x00FFFFFF, 100));  // above it
  for (int y = 0; y < 5; ++y) EXPECT_EQ(image.At(0, y), grey);
}

}  // namespace
