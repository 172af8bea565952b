// The demo host's pictures: BMP files in and out, and the made-up radiograph.
#include <gtest/gtest.h>

#include <cstring>

#include "host/demo/demo_image.h"

namespace {

int32_t Field(const demo::PackedDib& dib, size_t at) {
  int32_t v = 0;
  std::memcpy(&v, dib.data() + at, 4);
  return v;
}

// A BMP file of `bits` per pixel, `height` negative for top-down rows; pixel (x, y) from the top
// has blue x, green y, red 7.
std::vector<uint8_t> MakeBmp(int width, int height, int bits) {
  const int rows = height < 0 ? -height : height;
  const int stride = ((width * bits + 31) / 32) * 4;
  const int palette = bits == 8 ? 256 * 4 : 0;
  std::vector<uint8_t> f(14 + 40 + palette + static_cast<size_t>(stride) * rows, 0);
  auto put32 = [&](size_t at, uint32_t v) { std::memcpy(f.data() + at, &v, 4); };
  f[0] = 'B';
  f[1] = 'M';
  put32(2, static_cast<uint32_t>(f.size()));
  put32(10, 14 + 40 + palette);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  f[26] = 1;
  f[28] = static_cast<uint8_t>(bits);
  for (int i = 0; bits == 8 && i < 256; ++i) {
    f[54 + i * 4] = static_cast<uint8_t>(i);
    f[54 + i * 4 + 1] = static_cast<uint8_t>(255 - i);
    f[54 + i * 4 + 2] = 7;
  }
  for (int y = 0; y < rows; ++y) {
    const int stored = height < 0 ? y : rows - 1 - y;
    uint8_t* row = f.data() + 14 + 40 + palette + static_cast<size_t>(stored) * stride;
    for (int x = 0; x < width; ++x) {
      if (bits == 8) {
        row[x] = static_cast<uint8_t>(x + y);
      } else {
        uint8_t* p = row + x * (bits / 8);
        p[0] = static_cast<uint8_t>(x);
        p[1] = static_cast<uint8_t>(y);
        p[2] = 7;
      }
    }
  }
  return f;
}

const uint8_t* Pixel(const demo::PackedDib& dib, int x, int y) {
  const int w = Field(dib, 4), h = Field(dib, 8);
  const size_t stride = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3};
  return dib.data() + 40 + static_cast<size_t>(h - 1 - y) * stride + x * 3;
}

TEST(DemoBmp, ReadsTwentyFourThirtyTwoAndEightBitFilesInEitherRowOrder) {
  for (int bits : {24, 32, 8}) {
    for (int height : {5, -5}) {
      demo::PackedDib dib;
      std::string error;
      const std::vector<uint8_t> file = MakeBmp(7, height, bits);
      ASSERT_TRUE(demo::PackedDibFromBmp(file.data(), file.size(), &dib, &error)) << bits << " " << error;
      EXPECT_EQ(Field(dib, 4), 7);
      EXPECT_EQ(Field(dib, 8), 5);
      const uint8_t* p = Pixel(dib, 3, 1);  // top row is 0
      if (bits == 8) {
        EXPECT_EQ(p[0], 4);
        EXPECT_EQ(p[1], 251);
      } else {
        EXPECT_EQ(p[0], 3);
        EXPECT_EQ(p[1], 1);
      }
      EXPECT_EQ(p[2], 7);
    }
  }
}

TEST(DemoBmp, WrittenFilesReadBack) {
  const demo::PackedDib picture = demo::SampleRadiograph(61, 23);
  const std::vector<uint8_t> file = demo::BmpFromPackedDib(picture);
  demo::PackedDib back;
  std::string error;
  ASSERT_TRUE(demo::PackedDibFromBmp(file.data(), file.size(), &back, &error)) << error;
  EXPECT_EQ(back, picture);
}

TEST(DemoBmp, RefusesDamagedOrUnsupportedFiles) {
  const std::vector<uint8_t> good = MakeBmp(9, 4, 24);
  demo::PackedDib dib;
  std::string error;
  auto refused = [&](std::vector<uint8_t> f) { return !demo::PackedDibFromBmp(f.data(), f.size(), &dib, &error); };
  EXPECT_TRUE(refused(std::vector<uint8_t>(good.begin(), good.end() - 1))) << "truncated pixels";
  EXPECT_TRUE(refused(std::vector<uint8_t>(good.begin(), good.begin() + 20))) << "truncated header";
  auto with = [&](size_t at, uint32_t v) {
    std::vector<uint8_t> f = good;
    std::memcpy(f.data() + at, &v, 4);
    return f;
  };
  EXPECT_TRUE(refused(with(10, 0xFFFFFFF0u))) << "pixel offset past the end";
  EXPECT_TRUE(refused(with(18, 0))) << "zero width";
  EXPECT_TRUE(refused(with(18, 0x7FFFFFFF))) << "absurd width";
  EXPECT_TRUE(refused(with(22, 0x80000000u))) << "most negative height";
  EXPECT_TRUE(refused(with(30, 1))) << "run-length compression";
  EXPECT_TRUE(refused(with(14, 0x7FFFFFFF))) << "header size past the end";
  std::vector<uint8_t> f = good;
  f[28] = 16;
  EXPECT_TRUE(refused(f)) << "16 bits";
  f = MakeBmp(9, 4, 8);
  std::memcpy(f.data() + 46, "\x00\x02\x00\x00", 4);  // 512 palette entries
  EXPECT_TRUE(refused(f));
}

TEST(DemoRadiograph, GreyPictureWithBrightTeethOnADarkGround) {
  const demo::PackedDib dib = demo::SampleRadiograph(400, 200);
  EXPECT_EQ(Field(dib, 4), 400);
  EXPECT_EQ(Field(dib, 8), 200);
  const uint8_t* corner = Pixel(dib, 2, 2);
  EXPECT_EQ(corner[0], corner[1]);
  EXPECT_EQ(corner[1], corner[2]);
  EXPECT_LT(corner[0], 80);
  int bright = 0;
  for (int x = 0; x < 400; ++x) bright += Pixel(dib, x, 80)[0] > 150;
  EXPECT_GT(bright, 40) << "crowns along the upper arch";
}

}  // namespace
