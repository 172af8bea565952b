// Drawing helpers painted into DIB sections: gradients, dotted lines, rounded frames and clips,
// transparent bitmaps, tiled and placed textures, and BMP files written by ImageMagick.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "bmp_files.h"
#include "controls/widgets/dib_file.h"
#include "controls/widgets/drawing.h"
#include "winkit/bitmaps.h"
#include "wintest.h"

namespace {

using wintest::Canvas32;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kKey = RGB(0xC0, 0xC0, 0xC0);

TEST(Gradient, HundredPixelsBlackToRed) {
  Canvas32 c(110, 20, kBlue);
  RECT r = {0, 0, 100, 10};
  fill_rect_Hgradient(c.dc(), &r, kBlack, RGB(255, 0, 0));
  EXPECT_EQ(c.Pixel(0, 5), RGB(2, 0, 0));
  EXPECT_EQ(c.Pixel(1, 5), RGB(5, 0, 0));
  EXPECT_EQ(c.Pixel(99, 9), RGB(255, 0, 0));
  EXPECT_EQ(c.Pixel(100, 5), kBlue);  // nothing past the rectangle
  EXPECT_EQ(c.Pixel(50, 10), kBlue);

  Canvas32 v(20, 110, kBlue);
  fill_rect_Vgradient(v.dc(), &r, kBlack, RGB(255, 0, 0));  // 10 high: a vertical gradient
  EXPECT_EQ(v.Pixel(5, 0), RGB(25, 0, 0));
  EXPECT_EQ(v.Pixel(5, 9), RGB(255, 0, 0));
  RECT tall = {0, 0, 10, 100};
  fill_rect_Vgradient(v.dc(), &tall, kBlack, RGB(255, 0, 0));
  EXPECT_EQ(v.Pixel(3, 0), RGB(2, 0, 0));
  EXPECT_EQ(v.Pixel(3, 99), RGB(255, 0, 0));
  EXPECT_EQ(v.Pixel(3, 100), kBlue);
}

TEST(Gradient, LastWideBandStopsAtTheFarEdgeAndColoursAreRestored) {
  Canvas32 c(1010, 4, kBlue);
  SetBkColor(c.dc(), RGB(9, 8, 7));
  RECT r = {0, 0, 1000, 4};  // bands of 3 pixels, the last reaching 2 past the edge
  fill_rect_Hgradient(c.dc(), &r, kWhite, kBlack);
  EXPECT_EQ(c.Pixel(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(c.Pixel(999, 0), RGB(0, 0, 0));
  EXPECT_EQ(c.Pixel(1000, 0), kBlue);
  EXPECT_EQ(c.Pixel(1001, 3), kBlue);
  EXPECT_EQ(GetBkColor(c.dc()), RGB(9, 8, 7));
}

TEST(Gradient, EmptyRectanglesDrawNothing) {
  Canvas32 c(10, 10, kBlue);
  RECT flat = {5, 0, 5, 10};
  RECT inverted = {8, 8, 2, 2};
  fill_rect_Hgradient(c.dc(), &flat, kRed, kGreen);
  fill_rect_Vgradient(c.dc(), &inverted, kRed, kGreen);
  fill_rect_Hgradient(c.dc(), nullptr, kRed, kGreen);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) ASSERT_EQ(c.Pixel(x, y), kBlue);
}

// A memory DC of an 8-bit DIB section: reports 8 bits where the platform tells the bitmap's
// depth; Wine and Windows give the display's depth for memory DCs, so the case is skipped there
// and the rule is covered by the portable tests.
TEST(Gradient, PaletteDisplaysEndInButtonGrey) {
  struct {
    BITMAPINFOHEADER h;
    RGBQUAD colours[256];
  } bi = {};
  bi.h.biSize = sizeof bi.h;
  bi.h.biWidth = 100;
  bi.h.biHeight = 4;
  bi.h.biPlanes = 1;
  bi.h.biBitCount = 8;
  for (int i = 0; i < 256; ++i) bi.colours[i] = {static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
  HDC dc = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  HBITMAP b = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, b);
  const int depth = GetDeviceCaps(dc, BITSPIXEL);
  uint8_t end = 0;
  if (depth <= 8) {
    RECT r = {0, 0, 100, 4};
    fill_rect_Hgradient(dc, &r, kBlack, RGB(255, 0, 0));
    GdiFlush();
    end = static_cast<uint8_t*>(bits)[99];
  }
  SelectObject(dc, old);
  DeleteObject(b);
  DeleteDC(dc);
  if (depth > 8) GTEST_SKIP() << "memory DCs report the display depth (" << depth << " bits)";
  EXPECT_EQ(end, 0xC0);  // the grey palette's 0xC0C0C0
}

TEST(DottedLine, AlternatesColourAndWhiteInsideItsLength) {
  Canvas32 c(20, 20, kBlack);
  const int oldMode = SetBkMode(c.dc(), OPAQUE);
  SetTextColor(c.dc(), RGB(1, 1, 1));
  draw_dotHLine(c.dc(), 2, 1, 10, kRed);
  EXPECT_EQ(GetTextColor(c.dc()), RGB(1, 1, 1));
  EXPECT_EQ(GetBkMode(c.dc()), TRANSPARENT);  // left as the line set it
  (void)oldMode;
  EXPECT_EQ(c.Pixel(1, 1), kBlack);
  EXPECT_EQ(c.Pixel(12, 1), kBlack);
  EXPECT_EQ(c.Pixel(2, 0), kBlack);
  for (int x = 2; x < 12; ++x) {
    const COLORREF p = c.Pixel(x, 1);
    EXPECT_TRUE(p == kRed || p == kWhite) << x;
    EXPECT_NE(p, c.Pixel(x + 1 < 12 ? x + 1 : x - 1, 1)) << x;
  }
  draw_dotVLine(c.dc(), 15, 3, 6, kGreen);
  for (int y = 3; y < 9; ++y) {
    const COLORREF p = c.Pixel(15, y);
    EXPECT_TRUE(p == kGreen || p == kWhite) << y;
    EXPECT_NE(p, c.Pixel(15, y + 1 < 9 ? y + 1 : y - 1)) << y;
  }
  EXPECT_EQ(c.Pixel(15, 9), kBlack);
  EXPECT_EQ(c.Pixel(16, 5), kBlack);

  draw_dotHVLine(c.dc(), 5, 15, 0, kRed, 0);
  EXPECT_EQ(c.Pixel(5, 15), kBlack);
  draw_dotHVLine(c.dc(), 5, 17, 1, kRed, 0);
  EXPECT_TRUE(c.Pixel(5, 17) == kRed || c.Pixel(5, 17) == kWhite);
  EXPECT_EQ(c.Pixel(6, 17), kBlack);
}

TEST(RoundFrame, EdgesTakeTheirColoursAndCornersOnlyLeaveTheEdgesAlone) {
  Canvas32 c(40, 30, kBlack);
  RECT r = {5, 5, 35, 25};
  DrawRoundFrame3D(c.dc(), &r, 10, kRed, kGreen);
  EXPECT_EQ(c.Pixel(20, 5), kGreen);   // top
  EXPECT_EQ(c.Pixel(5, 15), kGreen);   // left
  EXPECT_EQ(c.Pixel(20, 24), kRed);    // bottom
  EXPECT_EQ(c.Pixel(34, 15), kRed);    // right
  EXPECT_EQ(c.Pixel(20, 15), kBlack);  // null brush: inside untouched
  EXPECT_EQ(c.Pixel(5, 5), kBlack);    // outside the rounded corner

  Canvas32 k(40, 40, kBlack);
  RECT tall = {5, 5, 35, 35};  // the edges between the corners are 10 pixels long
  DrawRoundCorners3D(k.dc(), &tall, 10, kRed, kGreen);
  EXPECT_EQ(k.Pixel(20, 5), kBlack);
  EXPECT_EQ(k.Pixel(5, 20), kBlack);
  EXPECT_EQ(k.Pixel(20, 34), kBlack);
  EXPECT_EQ(k.Pixel(34, 20), kBlack);
  int green = 0, red = 0;
  for (int y = 5; y < 10; ++y)
    for (int x = 5; x < 10; ++x) green += k.Pixel(x, y) == kGreen;
  for (int y = 30; y < 35; ++y)
    for (int x = 30; x < 35; ++x) red += k.Pixel(x, y) == kRed;
  EXPECT_GT(green, 0);
  EXPECT_GT(red, 0);
}

// A bitmap compatible with the screen, filled from `pixel`.
HBITMAP MakeBitmap(int w, int h, const drawtest::PixelFn& pixel) {
  HDC screen = GetDC(nullptr);
  HBITMAP b = CreateCompatibleBitmap(screen, w, h);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, b);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) SetPixel(dc, x, y, pixel(x, y));
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return b;
}

// Red with a key-coloured square in the top-left quarter.
COLORREF Sprite(int x, int y) { return x < 2 && y < 2 ? kKey : kRed; }

TEST(TransparentBitmap, KeyPixelsShowTheTargetAndNoObjectLeaks) {
  HBITMAP b = MakeBitmap(4, 4, Sprite);
  Canvas32 c(10, 10, kBlue);
  EXPECT_EQ(KvDrawTransparentBitmap(c.dc(), nullptr, 0, 0, kKey), 0);
  const DWORD objects = wintest::GdiObjects();
  EXPECT_NE(KvDrawTransparentBitmap(c.dc(), b, 3, 2, kKey), 0);
  EXPECT_EQ(wintest::GdiObjects(), objects);
  EXPECT_EQ(c.Pixel(3, 2), kBlue);
  EXPECT_EQ(c.Pixel(4, 3), kBlue);
  EXPECT_EQ(c.Pixel(5, 2), kRed);
  EXPECT_EQ(c.Pixel(6, 5), kRed);
  EXPECT_EQ(c.Pixel(7, 5), kBlue);
  // The source bitmap is given back unchanged.
  Canvas32 copy(4, 4, kBlack);
  winkit::DrawBitmapAt(copy.dc(), b, 0, 0);
  EXPECT_EQ(copy.Pixel(0, 0), kKey);
  EXPECT_EQ(copy.Pixel(3, 3), kRed);
  DeleteObject(b);
}

TEST(TransparentBitmap, StretchedKeepsTheBackgroundBehindItsRectangle) {
  HBITMAP b = MakeBitmap(4, 4, Sprite);
  Canvas32 c(40, 20, kBlack);
  RECT all = {0, 0, 40, 20};
  fill_rect_Hgradient(c.dc(), &all, kBlack, RGB(0, 0, 200));
  const COLORREF behind = c.Pixel(21, 6), behindToo = c.Pixel(23, 8);
  RECT r = {20, 5, 28, 13};  // twice the bitmap's size
  const DWORD objects = wintest::GdiObjects();
  EXPECT_NE(DrawTransparentBitmapStretched(c.dc(), b, &r, kKey), 0);
  EXPECT_EQ(wintest::GdiObjects(), objects);
  EXPECT_EQ(c.Pixel(21, 6), behind);
  EXPECT_EQ(c.Pixel(23, 8), behindToo);
  EXPECT_EQ(c.Pixel(24, 6), kRed);
  EXPECT_EQ(c.Pixel(27, 12), kRed);
  EXPECT_EQ(DrawTransparentBitmapStretched(c.dc(), nullptr, &r, kKey), 0);
  DeleteObject(b);
}

TEST(DrawBitmapAt, CopiesOneToOneAndRefusesEmptyBitmaps) {
  HBITMAP b = MakeBitmap(3, 2, [](int x, int y) { return RGB(x * 50, y * 90, 7); });
  Canvas32 c(10, 10, kBlack);
  EXPECT_NE(winkit::DrawBitmapAt(c.dc(), b, 4, 5), 0);
  EXPECT_EQ(c.Pixel(4, 5), RGB(0, 0, 7));
  EXPECT_EQ(c.Pixel(6, 6), RGB(100, 90, 7));
  EXPECT_EQ(c.Pixel(7, 6), kBlack);
  EXPECT_EQ(winkit::DrawBitmapAt(c.dc(), nullptr, 0, 0), 0);
  DeleteObject(b);
}

// A loaded texture file, freed at the end of the scope.
class Texture {
 public:
  explicit Texture(const std::string& path) : dib_(LoadDibFromFile(path.c_str())) {}
  ~Texture() {
    if (dib_) GlobalFree(dib_);
  }
  HGLOBAL get() const { return dib_; }
  int bits() const {
    auto* h = static_cast<BITMAPINFOHEADER*>(GlobalLock(dib_));
    const int b = h ? h->biBitCount : 0;
    GlobalUnlock(dib_);
    return b;
  }
 private:
  HGLOBAL dib_;
};

TEST(TextureFile, LoadsWrittenFilesAndRefusesBrokenOnes) {
  wintest::TempDir dir("tex");
  const std::string good = dir.path() + "good.bmp";
  ASSERT_TRUE(drawtest::WriteFileBytes(good, drawtest::Bmp24(5, 3, drawtest::TexturePixel)));
  Texture t(good);
  ASSERT_NE(t.get(), nullptr);
  EXPECT_EQ(t.bits(), 24);
  EXPECT_EQ(GlobalFlags(t.get()) & GMEM_LOCKCOUNT, 0u);

  std::vector<uint8_t> bytes = drawtest::Bmp24(5, 3, drawtest::TexturePixel);
  bytes.resize(bytes.size() - 1);
  ASSERT_TRUE(drawtest::WriteFileBytes(dir.path() + "short.bmp", bytes));
  EXPECT_EQ(LoadDibFromFile((dir.path() + "short.bmp").c_str()), nullptr);
  bytes = drawtest::Bmp24(5, 3, drawtest::TexturePixel);
  bytes[22] = 0x00;
  bytes[23] = 0x00;
  bytes[24] = 0x00;
  bytes[25] = 0x40;  // height of a billion rows
  ASSERT_TRUE(drawtest::WriteFileBytes(dir.path() + "tall.bmp", bytes));
  EXPECT_EQ(LoadDibFromFile((dir.path() + "tall.bmp").c_str()), nullptr);
  EXPECT_EQ(LoadDibFromFile((dir.path() + "missing.bmp").c_str()), nullptr);
  EXPECT_EQ(LoadDibFromFile(""), nullptr);
  EXPECT_EQ(LoadDibFromFile(nullptr), nullptr);
  EXPECT_EQ(LoadDibFromFile(dir.path().c_str()), nullptr);  // a folder
}

TEST(Textures, TiledTextureLargerThanTheAreaShowsItsTopLeftPart) {
  wintest::TempDir dir("tile");
  ASSERT_TRUE(drawtest::WriteFileBytes(dir.path() + "big.bmp", drawtest::Bmp24(300, 200, drawtest::TexturePixel)));
  ASSERT_TRUE(drawtest::WriteFileBytes(dir.path() + "small.bmp", drawtest::Bmp24(16, 8, drawtest::TexturePixel)));
  Texture big(dir.path() + "big.bmp"), small(dir.path() + "small.bmp");
  ASSERT_NE(big.get(), nullptr);
  ASSERT_NE(small.get(), nullptr);

  Canvas32 c(120, 80, kBlack);
  RECT r = {0, 0, 120, 80};
  EXPECT_EQ(DrawDibTiled(c.dc(), big.get(), &r), 1);
  for (int y = 0; y < 80; y += 7)
    for (int x = 0; x < 120; x += 9) ASSERT_EQ(c.Pixel(x, y), drawtest::TexturePixel(x, y)) << x << "," << y;
  EXPECT_EQ(c.Pixel(119, 79), drawtest::TexturePixel(119, 79));

  Canvas32 t(120, 80, kBlack);
  EXPECT_EQ(DrawDibTiled(t.dc(), small.get(), &r), 1);
  for (int y = 0; y < 80; y += 3)
    for (int x = 0; x < 120; x += 5) ASSERT_EQ(t.Pixel(x, y), drawtest::TexturePixel(x % 16, y % 8)) << x << "," << y;

  EXPECT_EQ(DrawDibTiled(t.dc(), nullptr, &r), 0);
  EXPECT_EQ(DrawDibTiled(t.dc(), reinterpret_cast<HGLOBAL>(static_cast<UINT_PTR>(0xFFFF)), &r), 0);
  // An empty clip box draws nothing.
  HRGN none = CreateRectRgn(0, 0, 0, 0);
  SelectClipRgn(t.dc(), none);
  EXPECT_EQ(DrawDibTiled(t.dc(), small.get(), &r), 0);
  SelectClipRgn(t.dc(), nullptr);
  DeleteObject(none);
}

TEST(Textures, PlacedTextureForEachFitFlag) {
  wintest::TempDir dir("place");
  // 10 x 20 texels of distinct colours.
  auto texel = [](int x, int y) { return RGB(x * 20 + 5, y * 10 + 5, 99); };
  ASSERT_TRUE(drawtest::WriteFileBytes(dir.path() + "t.bmp", drawtest::Bmp24(10, 20, texel)));
  Texture tex(dir.path() + "t.bmp");
  ASSERT_NE(tex.get(), nullptr);
  RECT area = {0, 0, 200, 100};
  struct Case {
    int fitW, fitH, right, bottom;
    RECT dest;
  };
  const Case cases[] = {
      {0, 0, 0, 0, {0, 0, 10, 20}},      {0, 0, 1, 0, {190, 0, 200, 20}},  {0, 0, 0, 1, {0, 80, 10, 100}},
      {0, 0, 1, 1, {190, 80, 200, 100}}, {0, 1, 0, 0, {0, 0, 50, 100}},    {0, 1, 1, 0, {150, 0, 200, 100}},
      {1, 1, 0, 0, {0, 0, 200, 100}},    {1, 0, 0, 0, {0, 0, 200, 400}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << k.fitW << k.fitH << k.right << k.bottom);
    Canvas32 c(200, 100, kBlack);
    EXPECT_EQ(DrawDibPlaced(c.dc(), tex.get(), &area, k.fitW, k.fitH, k.right, k.bottom), 1);
    const int dw = k.dest.right - k.dest.left, dh = k.dest.bottom - k.dest.top;
    // Middle of the first and the last texel of the destination.
    const int cx = k.dest.left + dw / 20, cy = k.dest.top + dh / 40;
    EXPECT_EQ(c.Pixel(cx, cy), texel(0, 0));
    const int lx = k.dest.left + dw * 19 / 20, ly = k.dest.top + dh * 79 / 80;
    if (ly < 100) {
      EXPECT_EQ(c.Pixel(lx, ly), texel(9, 19));
    }
    if (k.dest.left > 0) {
      EXPECT_EQ(c.Pixel(k.dest.left - 1, 50 < k.dest.bottom ? 50 : k.dest.top), kBlack);
    }
    if (k.dest.right < 200) {
      EXPECT_EQ(c.Pixel(k.dest.right, k.dest.top), kBlack);
    }
    if (k.dest.bottom < 100) {
      EXPECT_EQ(c.Pixel(k.dest.left, k.dest.bottom), kBlack);
    }
  }
}

// ImageMagick's BMP files of each depth (written before this program runs) tile to the pixels
// ImageMagick itself reads from them.
TEST(Textures, ImageMagickFilesOfEachDepthTileToTheirPixels) {
  struct Ref {
    const char* name;
    int bits;
  };
  const Ref refs[] = {{"d24", 24}, {"d8", 8}, {"d4", 4}, {"d1", 1}, {"d8rle", 8}};
  const std::string folder = wintest::ProgramDir() + "tamsel_bmp_refs\\";
  for (const Ref& ref : refs) {
    SCOPED_TRACE(ref.name);
    const std::string rgb = wintest::ReadFileText(folder + ref.name + ".rgb");
    ASSERT_EQ(rgb.size(), 23u * 17 * 3) << "reference pixels missing in " << folder;
    Texture tex(folder + ref.name + ".bmp");
    ASSERT_NE(tex.get(), nullptr);
    EXPECT_EQ(tex.bits(), ref.bits);
    Canvas32 c(50, 40, kBlack);
    RECT r = {0, 0, 50, 40};
    ASSERT_EQ(DrawDibTiled(c.dc(), tex.get(), &r), 1);
    int wrong = 0;
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 50; ++x) {
        const size_t at = (static_cast<size_t>(y % 17) * 23 + x % 23) * 3;
        const COLORREF want = RGB(static_cast<uint8_t>(rgb[at]), static_cast<uint8_t>(rgb[at + 1]),
                                  static_cast<uint8_t>(rgb[at + 2]));
        if (c.Pixel(x, y) != want && wrong++ < 3) ADD_FAILURE() << "pixel " << x << "," << y;
      }
    }
    EXPECT_EQ(wrong, 0);
  }
}

}  // namespace
