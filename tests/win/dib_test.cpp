// The DibHandle layer over movable global blocks, and the GDI drawing of bitmaps, checked by
// drawing into DIB sections and memory contexts and reading the pixels back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "retouch/imaging/dib.h"
#include "test_images.h"
#include "wintest.h"

namespace {

using wintest::OwnedDib;

COLORREF PatternAt(int x, int y) { return RGB((x * 37 + 5) & 0xFF, (y * 53 + 7) & 0xFF, (x * 11 + y * 5 + 1) & 0xFF); }

DibHandle Patterned(int w, int h) { return wintest::MakeImage(w, h, PatternAt); }

COLORREF PixelOf(DibHandle d, int x, int y) {
  COLORREF c = 0xFFFFFFFF;
  EXPECT_EQ(DibGetPixel(d, x, y, &c), 1) << x << "," << y;
  return c;
}

UINT LockCount(HGLOBAL h) { return GlobalFlags(h) & GMEM_LOCKCOUNT; }

TEST(DibBlock, CreateWritesTheHeaderAndSizesTheBlock) {
  OwnedDib image(DibCreate(5, 3, 24));
  ASSERT_NE(image.h, nullptr);
  EXPECT_GE(GlobalSize(image.h), 40u + 16u * 3u);
  EXPECT_EQ(LockCount(image.h), 0u);
  {
    DibLock lock(image.h);
    ASSERT_TRUE(lock.ok());
    const BITMAPINFOHEADER* h = lock.header();
    EXPECT_EQ(h->biSize, 40u);
    EXPECT_EQ(h->biWidth, 5);
    EXPECT_EQ(h->biHeight, 3);
    EXPECT_EQ(h->biPlanes, 1);
    EXPECT_EQ(h->biBitCount, 24);
    EXPECT_EQ(h->biCompression, 0u);
    EXPECT_EQ(h->biSizeImage, 0u);
    EXPECT_EQ(h->biClrUsed, 0u);
    EXPECT_EQ(lock.view().stride, 16);
    EXPECT_EQ(lock.view().bits, reinterpret_cast<BYTE*>(lock.header()) + 40);
    EXPECT_EQ(LockCount(image.h), 1u);
  }
  EXPECT_EQ(LockCount(image.h), 0u);

  int w = 0, h = 0, bpp = 0;
  EXPECT_EQ(DibGetInfo(image.h, &w, &h, &bpp), 1);
  EXPECT_EQ(w, 5);
  EXPECT_EQ(h, 3);
  EXPECT_EQ(bpp, 24);
  EXPECT_EQ(DibGetInfo(image.h, nullptr, nullptr, nullptr), 1);
  EXPECT_EQ(DibGetInfo(nullptr, &w, &h, &bpp), 0);
  EXPECT_EQ(DibHeaderSize(image.h), 40);
  EXPECT_EQ(DibHeight(image.h), 3);
  EXPECT_EQ(DibHeaderSize(nullptr), 0);
  EXPECT_EQ(DibHeight(nullptr), 0);

  // A mask: 8 bits, no colour table, rows right behind the header.
  OwnedDib mask(DibCreate(5, 3, 8));
  ASSERT_NE(mask.h, nullptr);
  EXPECT_GE(GlobalSize(mask.h), 40u + 8u * 3u);
  EXPECT_LT(GlobalSize(mask.h), 40u + 1024u);
  BYTE* bits = DibLockBits(mask.h);
  ASSERT_NE(bits, nullptr);
  EXPECT_EQ(LockCount(mask.h), 1u);
  EXPECT_EQ(bits, static_cast<BYTE*>(GlobalLock(mask.h)) + 40);
  GlobalUnlock(mask.h);
  DibUnlock(mask.h);
  EXPECT_EQ(LockCount(mask.h), 0u);
  DibUnlock(nullptr);
  EXPECT_EQ(DibLockBits(nullptr), nullptr);
}

TEST(DibBlock, AbsurdSizesGiveNoHandle) {
  EXPECT_EQ(DibCreate(-1, 5, 24), nullptr);
  EXPECT_EQ(DibCreate(5, -1, 24), nullptr);
  EXPECT_EQ(DibCreate(5, 5, 7), nullptr);
  EXPECT_EQ(DibCreate(5, 5, 0), nullptr);
  EXPECT_EQ(DibCreate(0x7FFFFFFF, 0x7FFFFFFF, 24), nullptr);
  EXPECT_EQ(DibCreate(0x40000000, 0x10, 32), nullptr);
  EXPECT_EQ(DibCreate(0x7FFFFFFF, 0x7FFFFFFF, 32), nullptr);
  // An empty image is a header alone, which no pixel operation accepts.
  OwnedDib empty(DibCreate(0, 4, 24));
  ASSERT_NE(empty.h, nullptr);
  EXPECT_EQ(DibHeight(empty.h), 4);
  EXPECT_EQ(DibLockBits(empty.h), nullptr);
  EXPECT_EQ(LockCount(empty.h), 0u);
  EXPECT_EQ(DibFlipVertical(empty.h), 0);
  const RECT r = {0, 0, 2, 2};
  EXPECT_EQ(DibCrop(empty.h, &r), nullptr);
}

TEST(DibBlock, ColourTableRules) {
  BITMAPINFOHEADER h = {};
  DibInitHeader(&h, 3, 2, 8);
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biPlanes, 1);
  EXPECT_EQ(DibColorCount(&h), 256);
  EXPECT_EQ(DibColorTableSize(&h), 1024);
  h.biClrUsed = 20;
  EXPECT_EQ(DibColorTableSize(&h), 80);
  DibInitHeader(&h, 3, 2, 24);
  h.biClrUsed = 0;
  EXPECT_EQ(DibColorCount(&h), 0);
  EXPECT_EQ(DibColorCount(nullptr), 0);
  DibInitHeader(nullptr, 1, 1, 24);
}

TEST(DibBlock, DuplicateAndCopyInto) {
  OwnedDib image(Patterned(4, 3));
  OwnedDib copy(DibDuplicate(image.h, TRUE));
  ASSERT_NE(copy.h, nullptr);
  EXPECT_EQ(GlobalSize(copy.h), GlobalSize(image.h));
  EXPECT_EQ(PixelOf(copy.h, 3, 2), PatternAt(3, 2));
  OwnedDib blank(DibDuplicate(image.h, FALSE));
  ASSERT_NE(blank.h, nullptr);
  EXPECT_EQ(GlobalSize(blank.h), GlobalSize(image.h));
  EXPECT_EQ(DibHeaderSize(blank.h), 0);  // zero-filled, header included
  EXPECT_EQ(DibDuplicate(nullptr, TRUE), nullptr);

  EXPECT_EQ(DibCopyInto(blank.h, image.h), 1);
  EXPECT_EQ(PixelOf(blank.h, 1, 1), PatternAt(1, 1));
  OwnedDib smaller(DibCreate(4, 2, 24));
  EXPECT_EQ(DibCopyInto(smaller.h, image.h), 0);
  EXPECT_EQ(DibHeight(smaller.h), 2);
  EXPECT_EQ(DibCopyInto(nullptr, image.h), 1);
  EXPECT_EQ(DibCopyInto(blank.h, nullptr), 0);
  OwnedDib larger(DibCreate(8, 8, 24));
  EXPECT_EQ(DibCopyInto(larger.h, image.h), 1);
  EXPECT_EQ(DibHeight(larger.h), 3);
}

TEST(DibPixels, CropAndPasteThroughHandles) {
  OwnedDib image(Patterned(8, 6));
  const RECT r = {-2, -1, 3, 4};
  OwnedDib crop(DibCrop(image.h, &r));
  ASSERT_NE(crop.h, nullptr);
  int w = 0, h = 0, bpp = 0;
  DibGetInfo(crop.h, &w, &h, &bpp);
  EXPECT_EQ(w, 5);
  EXPECT_EQ(h, 5);
  EXPECT_EQ(bpp, 24);
  EXPECT_EQ(PixelOf(crop.h, 0, 0), 0u);
  EXPECT_EQ(PixelOf(crop.h, 2, 1), PatternAt(0, 0));
  EXPECT_EQ(PixelOf(crop.h, 4, 4), PatternAt(2, 3));

  OwnedDib target(DibCreate(8, 6, 24));
  EXPECT_EQ(DibPaste(target.h, crop.h, &r), 1);
  EXPECT_EQ(PixelOf(target.h, 0, 0), PatternAt(0, 0));
  EXPECT_EQ(PixelOf(target.h, 2, 3), PatternAt(2, 3));
  EXPECT_EQ(PixelOf(target.h, 3, 0), 0u);
  EXPECT_EQ(DibPaste(target.h, nullptr, &r), 0);
  EXPECT_EQ(DibPaste(nullptr, crop.h, &r), 0);
  EXPECT_EQ(DibPaste(target.h, crop.h, nullptr), 0);
  EXPECT_EQ(DibCrop(nullptr, &r), nullptr);
  EXPECT_EQ(DibCrop(image.h, nullptr), nullptr);
  OwnedDib mask(DibCreate(8, 6, 8));
  EXPECT_EQ(DibCrop(mask.h, &r), nullptr);
  EXPECT_EQ(DibPaste(mask.h, crop.h, &r), 0);

  // Pasting an image onto itself shifts it without smearing.
  const RECT shift = {1, 1, 0, 0};
  EXPECT_EQ(DibPaste(image.h, image.h, &shift), 1);
  EXPECT_EQ(PixelOf(image.h, 7, 5), PatternAt(6, 4));
  EXPECT_EQ(PixelOf(image.h, 1, 1), PatternAt(0, 0));
  EXPECT_EQ(PixelOf(image.h, 0, 3), PatternAt(0, 3));
  EXPECT_EQ(LockCount(image.h), 0u);
}

TEST(DibPixels, MaskedCropAndPaste) {
  OwnedDib image(Patterned(6, 5));
  OwnedDib brush(DibCreate(3, 3, 8));
  {
    DibLock m(brush.h);
    ASSERT_TRUE(m.ok());
    m.view().Row(1)[1] = 1;  // centre only
    m.view().Row(0)[2] = 1;
  }
  OwnedDib sample(DibCropMasked(image.h, brush.h, 2, 1, 3, 3, RGB(192, 192, 192)));
  ASSERT_NE(sample.h, nullptr);
  EXPECT_EQ(PixelOf(sample.h, 1, 1), PatternAt(3, 2));
  EXPECT_EQ(PixelOf(sample.h, 2, 0), PatternAt(4, 1));
  EXPECT_EQ(PixelOf(sample.h, 0, 0), RGB(192, 192, 192));
  EXPECT_EQ(PixelOf(sample.h, 2, 2), RGB(192, 192, 192));
  EXPECT_EQ(DibCropMasked(image.h, nullptr, 0, 0, 2, 2, 0), nullptr);
  EXPECT_EQ(DibCropMasked(image.h, brush.h, 0, 0, 0, 2, 0), nullptr);
  {
    // Far outside, with x + width beyond 32 bits: a black sample capped at the image width.
    OwnedDib distant(DibCropMasked(image.h, brush.h, 0x7FFFFFF0, 0, 0x7FFFFFF0, 2, RGB(1, 1, 1)));
    ASSERT_NE(distant.h, nullptr);
    int w = 0;
    DibGetInfo(distant.h, &w, nullptr, nullptr);
    EXPECT_EQ(w, 6);
    EXPECT_EQ(PixelOf(distant.h, 1, 1), 0u);
    EXPECT_EQ(PixelOf(distant.h, 5, 1), RGB(1, 1, 1));
  }

  // The selection mask is a 24-bit picture: black inside.
  OwnedDib selection(DibCreate(2, 2, 24));
  OwnedDib inside(DibCreate(2, 2, 24));
  {
    DibLock s(selection.h), m(inside.h);
    memset(s.view().bits, 0xFF, static_cast<size_t>(s.view().stride) * 2);  // white patch
    memset(m.view().Pixel24(1, 0), 0xFF, 3);                                 // outside at (1, 0)
  }
  EXPECT_EQ(DibPasteMasked(image.h, selection.h, inside.h, 5, 4), 1);  // one pixel lands
  EXPECT_EQ(PixelOf(image.h, 5, 4), RGB(255, 255, 255));
  EXPECT_EQ(DibPasteMasked(image.h, selection.h, inside.h, 0, 0), 1);
  EXPECT_EQ(PixelOf(image.h, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(PixelOf(image.h, 1, 0), PatternAt(1, 0));
  EXPECT_EQ(PixelOf(image.h, 1, 1), RGB(255, 255, 255));
  EXPECT_EQ(DibPasteMasked(image.h, selection.h, nullptr, 0, 0), 0);
  EXPECT_EQ(DibPasteMasked(image.h, selection.h, brush.h, 0, 0), 0);  // 8-bit mask refused
}

TEST(DibPixels, FlipMirrorResizeAndPixelReads) {
  OwnedDib image(Patterned(5, 4));
  EXPECT_EQ(DibFlipVertical(image.h), 1);
  EXPECT_EQ(PixelOf(image.h, 4, 0), PatternAt(4, 3));
  EXPECT_EQ(DibMirror(image.h), 1);
  EXPECT_EQ(PixelOf(image.h, 0, 0), PatternAt(4, 3));
  OwnedDib line(Patterned(5, 1));
  EXPECT_EQ(DibFlipVertical(line.h), 0);
  EXPECT_EQ(DibMirror(line.h), 0);
  EXPECT_EQ(DibFlipVertical(nullptr), 0);
  COLORREF c = 0;
  EXPECT_EQ(DibGetPixel(image.h, 5, 0, &c), 0);
  EXPECT_EQ(DibGetPixel(image.h, 0, -1, &c), 0);
  EXPECT_EQ(DibGetPixel(image.h, 0, 0, nullptr), 0);

  OwnedDib twice(DibResize(image.h, 10, 8));
  ASSERT_NE(twice.h, nullptr);
  EXPECT_EQ(PixelOf(twice.h, 9, 7), PixelOf(image.h, 4, 3));
  EXPECT_EQ(PixelOf(twice.h, 2, 3), PixelOf(image.h, 1, 1));
  EXPECT_EQ(DibResize(image.h, 8193, 10), nullptr);
  EXPECT_EQ(DibResize(image.h, 10, 8193), nullptr);
  EXPECT_EQ(DibResize(image.h, 0, 10), nullptr);
  OwnedDib widest(DibResize(image.h, 8192, 2));
  EXPECT_NE(widest.h, nullptr);
  OwnedDib mask(DibCreate(4, 4, 8));
  OwnedDib maskResized(DibResize(mask.h, 7, 3));
  ASSERT_NE(maskResized.h, nullptr);
  int w = 0, h = 0, bpp = 0;
  DibGetInfo(maskResized.h, &w, &h, &bpp);
  EXPECT_EQ(w, 7);
  EXPECT_EQ(bpp, 8);
  OwnedDib deep(DibCreate(4, 4, 32));
  EXPECT_EQ(DibResize(deep.h, 2, 2), nullptr);
  EXPECT_EQ(LockCount(image.h), 0u);
}

TEST(DibGdi, DrawStretchesTheWholeImageAndRestoresTheStretchMode) {
  OwnedDib image(Patterned(2, 2));
  wintest::Canvas32 canvas(8, 8, RGB(1, 2, 3));
  SetStretchBltMode(canvas.dc(), HALFTONE);
  const RECT r = {1, 1, 5, 5};
  DibDraw(canvas.dc(), image.h, &r, SRCCOPY);
  EXPECT_EQ(GetStretchBltMode(canvas.dc()), HALFTONE);
  for (int y = 1; y < 5; ++y)
    for (int x = 1; x < 5; ++x) EXPECT_EQ(canvas.Pixel(x, y), PatternAt((x - 1) / 2, (y - 1) / 2)) << x << "," << y;
  EXPECT_EQ(canvas.Pixel(0, 0), RGB(1, 2, 3));
  EXPECT_EQ(canvas.Pixel(5, 5), RGB(1, 2, 3));

  // The raster operation is applied: a black image ANDed leaves black.
  OwnedDib black(DibCreate(1, 1, 24));
  const RECT all = {0, 0, 8, 8};
  DibDraw(canvas.dc(), black.h, &all, SRCAND);
  EXPECT_EQ(canvas.Pixel(6, 6), 0u);
  DibDraw(canvas.dc(), nullptr, &all, SRCCOPY);  // nothing happens

  // A mask has no colour table: it shows as grey levels, nothing is read past the block.
  OwnedDib mask(DibCreate(2, 1, 8));
  {
    DibLock m(mask.h);
    m.view().Row(0)[1] = 0x80;
  }
  DibDraw(canvas.dc(), mask.h, &all, SRCCOPY);
  EXPECT_EQ(canvas.Pixel(1, 1), 0u);
  EXPECT_EQ(canvas.Pixel(6, 6), RGB(0x80, 0x80, 0x80));
}

TEST(DibGdi, DrawRegionDrawsThePartAtItsDeviceRectangle) {
  OwnedDib image(Patterned(10, 10));
  wintest::Canvas32 canvas(40, 40, RGB(9, 9, 9));
  HDC dc = canvas.dc();
  // Four device pixels per image pixel, as the canvas maps its client area.
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowExtEx(dc, 10, 10, nullptr);
  SetViewportExtEx(dc, 40, 40, nullptr);
  const DWORD gdiBefore = wintest::GdiObjects();
  const RECT part = {2, 3, 6, 5};
  DibDrawRegion(nullptr, dc, image.h, &part);
  EXPECT_EQ(wintest::GdiObjects(), gdiBefore);
  EXPECT_EQ(GetMapMode(dc), MM_ANISOTROPIC);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) {
      const bool inside = x >= 8 && x < 24 && y >= 12 && y < 20;
      ASSERT_EQ(canvas.Pixel(x, y), inside ? PatternAt(x / 4, y / 4) : RGB(9, 9, 9)) << x << "," << y;
    }
  // A part hanging over the image's edge shows black beyond it.
  const RECT over = {8, 8, 12, 12};
  DibDrawRegion(nullptr, dc, image.h, &over);
  EXPECT_EQ(canvas.Pixel(35, 35), PatternAt(8, 8));
  EXPECT_EQ(canvas.Pixel(39, 39), PatternAt(9, 9));
}

// The part R drawn as through a crop: DibCrop takes R, DibDraw stretches the crop over a bitmap
// compatible with the screen of R's device size, and that bitmap is copied at R's device
// rectangle (in device units).
void DrawThroughCrop(HDC dc, DibHandle image, const RECT& r) {
  POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
  ASSERT_TRUE(LPtoDP(dc, corners, 2));
  const int width = corners[1].x - corners[0].x, height = corners[1].y - corners[0].y;
  if (width <= 0 || height <= 0) return;
  OwnedDib crop(DibCrop(image, &r));
  ASSERT_NE(crop.h, nullptr);
  HDC screen = GetDC(nullptr);
  HBITMAP offscreen = CreateCompatibleBitmap(screen, width, height);
  HDC memory = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(memory, offscreen);
  const RECT whole = {0, 0, width, height};
  DibDraw(memory, crop.h, &whole, SRCCOPY);
  const int saved = SaveDC(dc);
  SetStretchBltMode(dc, COLORONCOLOR);
  SetMapMode(dc, MM_TEXT);
  SetWindowOrgEx(dc, 0, 0, nullptr);
  SetViewportOrgEx(dc, 0, 0, nullptr);
  StretchBlt(dc, corners[0].x, corners[0].y, width, height, memory, 0, 0, width, height, SRCCOPY);
  RestoreDC(dc, saved);
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(offscreen);
}

// The canvas's mapping: the image's extent over `device` pixels.
void MapLikeTheCanvas(HDC dc, int imageWidth, int imageHeight, SIZE device) {
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowOrgEx(dc, 0, 0, nullptr);
  SetWindowExtEx(dc, imageWidth, imageHeight, nullptr);
  SetViewportOrgEx(dc, 0, 0, nullptr);
  SetViewportExtEx(dc, device.cx, device.cy, nullptr);
}

// The pixels of a canvas's DIB section, top row first.
const uint32_t* PixelsOf(const wintest::Canvas32& canvas) {
  GdiFlush();
  DIBSECTION section = {};
  if (!GetObjectA(GetCurrentObject(canvas.dc(), OBJ_BITMAP), sizeof section, &section)) return nullptr;
  return static_cast<const uint32_t*>(section.dsBm.bmBits);
}

// A part lying on the image is stretched from the image's own rows: the pixels on screen are
// those of the crop path, at every zoom, odd sizes and parts touching every edge; parts hanging
// over an edge still show black beyond it.
TEST(DibGdi, DrawRegionFromTheImageRowsShowsWhatTheCropShows) {
  struct Case {
    int width, height;
    std::vector<SIZE> zooms;
  };
  const Case cases[] = {
      {333, 257, {{333, 257}, {999, 771}, {83, 64}, {500, 200}, {331, 259}, {1000, 750}}},
      {97, 61, {{97, 61}, {291, 183}, {1001, 17}, {13, 700}, {96, 60}}},
      {1, 1, {{1, 1}, {7, 5}}},
      {1200, 900, {{300, 225}, {1000, 750}, {1199, 901}}},
  };
  uint32_t seed = 12345;
  auto next = [&](int n) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<int>((seed >> 8) % static_cast<uint32_t>(n));
  };
  for (const Case& c : cases) {
    OwnedDib image(Patterned(c.width, c.height));
    const int w = c.width, h = c.height;
    std::vector<RECT> parts = {{0, 0, w, h}, {0, 0, 1, 1}, {w - 1, h - 1, w, h}, {0, 0, w, 1}, {0, h - 1, w, h},
                               {0, 0, 1, h}, {w - 1, 0, w, h}};
    for (int n = 0; n < 12; ++n) {
      const int left = next(w), top = next(h);
      RECT r = {left, top, left + 1 + next(w - left), top + 1 + next(h - top)};
      // Every other one touches an edge.
      if (n % 4 == 1) r.left = 0;
      if (n % 4 == 2) r.bottom = h;
      if (n % 4 == 3) r.right = w;
      parts.push_back(r);
    }
    // Hanging over the edges: through the crop in both.
    parts.push_back({-3, -2, std::min(w, 10), std::min(h, 10)});
    parts.push_back({w - std::min(w, 5), h - std::min(h, 5), w + 7, h + 3});
    for (const SIZE& zoom : c.zooms) {
      wintest::Canvas32 direct(zoom.cx + 8, zoom.cy + 8, RGB(9, 8, 7));
      wintest::Canvas32 cropped(zoom.cx + 8, zoom.cy + 8, RGB(9, 8, 7));
      MapLikeTheCanvas(direct.dc(), w, h, zoom);
      MapLikeTheCanvas(cropped.dc(), w, h, zoom);
      const uint32_t* a = PixelsOf(direct);
      const uint32_t* b = PixelsOf(cropped);
      ASSERT_TRUE(a && b);
      const size_t count = static_cast<size_t>(direct.width()) * static_cast<size_t>(direct.height());
      for (const RECT& r : parts) {
        DibDrawRegion(nullptr, direct.dc(), image.h, &r);
        DrawThroughCrop(cropped.dc(), image.h, r);
        GdiFlush();
        const auto differ = std::mismatch(a, a + count, b);
        ASSERT_EQ(differ.first, a + count)
            << "image " << w << "x" << h << " zoom " << zoom.cx << "x" << zoom.cy << " part " << r.left << ","
            << r.top << "," << r.right << "," << r.bottom << " pixel " << (differ.first - a) % direct.width() << ","
            << (differ.first - a) / direct.width();
      }
      // Something was drawn: the last part's top-left device pixel shows the image.
      EXPECT_NE(direct.Pixel(0, 0), RGB(9, 8, 7));
    }
    EXPECT_EQ(LockCount(image.h), 0u);
  }
}

// A monochrome bitmap with the given rows of set bits ('#').
HBITMAP Monochrome(const std::vector<const char*>& rows) {
  const int w = static_cast<int>(strlen(rows[0])), h = static_cast<int>(rows.size());
  const int stride = ((w + 15) / 16) * 2;
  std::vector<BYTE> bits(static_cast<size_t>(stride * h), 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (rows[static_cast<size_t>(y)][x] == '#') bits[static_cast<size_t>(y * stride + x / 8)] |= static_cast<BYTE>(0x80 >> (x % 8));
  return CreateBitmap(w, h, 1, 1, bits.data());
}

TEST(DibGdi, StampBitmapBurnsSetBitsInTheColour) {
  OwnedDib image(DibCreate(6, 4, 24));
  {
    DibLock lock(image.h);
    memset(lock.view().bits, 100, static_cast<size_t>(lock.view().stride) * 4);
  }
  HBITMAP text = Monochrome({"#.....", ".#...#"});
  ASSERT_NE(text, nullptr);
  const DWORD gdiBefore = wintest::GdiObjects();
  EXPECT_EQ(DibStampBitmap(image.h, text, 1, RGB(200, 0, 0), 100, FALSE), 1);
  EXPECT_EQ(PixelOf(image.h, 0, 1), RGB(100, 100, 100));
  EXPECT_EQ(DibStampBitmap(image.h, text, 1, RGB(200, 0, 0), 100, TRUE), 1);
  EXPECT_EQ(PixelOf(image.h, 0, 1), RGB(200, 0, 0));
  EXPECT_EQ(PixelOf(image.h, 1, 1), RGB(100, 100, 100));
  EXPECT_EQ(PixelOf(image.h, 1, 2), RGB(200, 0, 0));
  EXPECT_EQ(PixelOf(image.h, 5, 2), RGB(200, 0, 0));
  EXPECT_EQ(PixelOf(image.h, 0, 0), RGB(100, 100, 100));
  EXPECT_EQ(PixelOf(image.h, 0, 3), RGB(100, 100, 100));
  EXPECT_EQ(DibStampBitmap(image.h, text, 2, RGB(0, 0, 250), 40, TRUE), 1);
  EXPECT_EQ(PixelOf(image.h, 0, 2), RGB(60, 60, 160));  // (100 * 60 + 250 * 40) / 100 = 160
  EXPECT_EQ(DibStampBitmap(image.h, text, 3, RGB(0, 0, 0), 100, TRUE), 1);  // last row only
  EXPECT_EQ(PixelOf(image.h, 0, 3), 0u);
  EXPECT_EQ(wintest::GdiObjects(), gdiBefore);

  EXPECT_EQ(DibStampBitmap(nullptr, text, 0, 0, 100, TRUE), 0);
  EXPECT_EQ(DibStampBitmap(image.h, nullptr, 0, 0, 100, TRUE), 0);
  OwnedDib mask(DibCreate(6, 4, 8));
  EXPECT_EQ(DibStampBitmap(mask.h, text, 0, 0, 100, TRUE), 0);
  EXPECT_EQ(LockCount(image.h), 0u);
  DeleteObject(text);
}

}  // namespace
