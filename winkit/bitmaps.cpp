// One transparent blit for both libraries: the control library's exported one and the editor's
// brush cursor differ only in the flags they pass.
#include "winkit/bitmaps.h"

#include "winkit/gdi_guard.h"

namespace winkit {

namespace {

// Printer-driver values the headers keep behind NOGDI-style guards: devices that can copy with
// a transparent background colour report C1_TRANSPARENT among their CAPS1 capabilities.
constexpr int kCaps1 = 94;
constexpr int kC1Transparent = 0x0001;
constexpr int kNewTransparent = 3;

}  // namespace

bool BitmapSize(HBITMAP bitmap, HDC holder, SIZE* size) {
  BITMAP bm;
  if (!bitmap || !size || !GetObjectA(bitmap, sizeof bm, &bm)) return false;
  POINT p = {bm.bmWidth, bm.bmHeight};
  if (holder) DPtoLP(holder, &p, 1);
  size->cx = p.x;
  size->cy = p.y;
  return true;
}

void UseDefaultPalette(HDC target, HDC work[], int count) {
  if (GetDeviceCaps(target, SIZEPALETTE) != 256) return;
  HPALETTE palette = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
  SelectPalette(target, palette, FALSE);
  for (int i = 0; i < count; ++i) {
    SelectPalette(work[i], palette, FALSE);
    RealizePalette(work[i]);
  }
}

int DrawBitmapAt(HDC dc, HBITMAP bitmap, int x, int y) {
  if (!dc || !bitmap) return 0;
  gdi::MemoryDC source(dc);
  if (!source) return 0;
  gdi::Select selected(source.get(), bitmap);
  SIZE size;
  if (!BitmapSize(bitmap, source.get(), &size) || size.cx <= 0 || size.cy <= 0) return 0;
  return BitBlt(dc, x, y, size.cx, size.cy, source.get(), 0, 0, SRCCOPY);
}

int DrawTransparentBitmap(HDC dc, HBITMAP bitmap, int x, int y, COLORREF key, unsigned flags) {
  SIZE pixels;
  if (!dc || !BitmapSize(bitmap, nullptr, &pixels) || pixels.cx <= 0 || pixels.cy <= 0) return 0;
  gdi::MemoryDC source(dc);
  if (!source) return 0;
  gdi::Select held(source.get(), bitmap);
  const int mapMode = (flags & kTransparentFollowMapMode) ? GetMapMode(dc) : MM_TEXT;
  SetMapMode(source.get(), mapMode);
  SIZE size{};
  if (!BitmapSize(bitmap, source.get(), &size)) return 0;
  const int w = size.cx, h = size.cy;

  if ((flags & kTransparentByDevice) && (GetDeviceCaps(dc, kCaps1) & kC1Transparent)) {
    const int oldMode = SetBkMode(dc, kNewTransparent);
    const COLORREF oldBk = SetBkColor(dc, key);
    BitBlt(dc, x, y, w, h, source.get(), 0, 0, SRCCOPY);
    SetBkColor(dc, oldBk);
    SetBkMode(dc, oldMode);
    return 1;
  }

  gdi::Owned<HBITMAP> mask(CreateBitmap(pixels.cx, pixels.cy, 1, 1, nullptr));
  gdi::Owned<HBITMAP> inverse(CreateBitmap(pixels.cx, pixels.cy, 1, 1, nullptr));
  gdi::Owned<HBITMAP> saved(CreateCompatibleBitmap(dc, pixels.cx, pixels.cy));
  gdi::Owned<HBITMAP> composite(CreateCompatibleBitmap(dc, pixels.cx, pixels.cy));
  if (!mask || !inverse || !saved || !composite) return 0;
  gdi::MemoryDC maskDC(dc), inverseDC(dc), savedDC(dc), compositeDC(dc);
  if (!maskDC || !inverseDC || !savedDC || !compositeDC) return 0;
  gdi::Select s1(maskDC.get(), mask.get()), s2(inverseDC.get(), inverse.get()), s3(savedDC.get(), saved.get()),
      s4(compositeDC.get(), composite.get());
  HDC work[] = {source.get(), maskDC.get(), inverseDC.get(), savedDC.get(), compositeDC.get()};
  for (HDC m : work) SetMapMode(m, mapMode);
  if (flags & kTransparentDefaultPalette) UseDefaultPalette(dc, work, 5);

  BitBlt(savedDC.get(), 0, 0, w, h, source.get(), 0, 0, SRCCOPY);
  BitBlt(compositeDC.get(), 0, 0, w, h, dc, x, y, SRCCOPY);
  // Mask: 1 where the bitmap has the transparent colour.
  const COLORREF oldBk = SetBkColor(source.get(), key);
  BitBlt(maskDC.get(), 0, 0, w, h, source.get(), 0, 0, SRCCOPY);
  SetBkColor(source.get(), oldBk);
  BitBlt(inverseDC.get(), 0, 0, w, h, maskDC.get(), 0, 0, NOTSRCCOPY);
  // Monochrome sources paint 0 in the text colour and 1 in the background colour.
  SetTextColor(compositeDC.get(), RGB(0, 0, 0));
  SetBkColor(compositeDC.get(), RGB(255, 255, 255));
  const COLORREF oldSourceText = SetTextColor(source.get(), RGB(0, 0, 0));
  const COLORREF oldSourceBk = SetBkColor(source.get(), RGB(255, 255, 255));
  BitBlt(compositeDC.get(), 0, 0, w, h, maskDC.get(), 0, 0, SRCAND);
  BitBlt(source.get(), 0, 0, w, h, inverseDC.get(), 0, 0, SRCAND);
  BitBlt(compositeDC.get(), 0, 0, w, h, source.get(), 0, 0, SRCPAINT);
  BitBlt(source.get(), 0, 0, w, h, savedDC.get(), 0, 0, SRCCOPY);
  SetTextColor(source.get(), oldSourceText);
  SetBkColor(source.get(), oldSourceBk);
  BitBlt(dc, x, y, w, h, compositeDC.get(), 0, 0, SRCCOPY);
  return 1;
}

}  // namespace winkit
