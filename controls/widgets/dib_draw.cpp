// Texture bitmaps drawn from packed DIBs: tiled over an area, or placed once.
#include "controls/widgets/draw_math.h"
#include "controls/widgets/drawing.h"
#include "controls/widgets/packed_dib.h"
#include "winkit/gdi_guard.h"

PackedDibLock::PackedDibLock(HGLOBAL dib) : lock_(IsNoDib(dib) ? nullptr : dib) {
  block_ = lock_.as<BYTE>();
  if (!block_) return;
  if (!bmp::CheckPackedDib(block_, lock_.size(), &packed_)) return;
  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(block_);
  if (header->biBitCount == 8 && header->biClrUsed == 0) header->biClrUsed = 256;
  bits_ = block_ + packed_.bitsOffset;
}

namespace {

// Nothing visible to draw into (or no usable device context).
bool ClipIsEmpty(HDC dc, RECT* clip) {
  const int kind = GetClipBox(dc, clip);
  return kind == NULLREGION || kind == ERROR;
}

}  // namespace

bool PlacedTextureRect(const PackedDibLock& dib, const RECT& area, int fitWidth, int fitHeight, int alignRight,
                       int alignBottom, draw::TileSource* source, RECT* out) {
  const int aw = area.right - area.left, ah = area.bottom - area.top;
  *source = draw::TileSourceFor(dib.width(), dib.height(), aw, ah);
  draw::Rect d;
  if (!draw::PlacedDestination(source->width, source->height, aw, ah, fitWidth != 0, fitHeight != 0,
                               alignRight != 0, alignBottom != 0, &d)) {
    return false;
  }
  *out = {area.left + d.left, area.top + d.top, area.left + d.right, area.top + d.bottom};
  return true;
}

int DrawDibTiled(HDC dc, HGLOBAL dib, const RECT* rect) {
  RECT clip;
  if (!dc || !rect || IsNoDib(dib) || ClipIsEmpty(dc, &clip)) return 0;
  PackedDibLock lock(dib);
  if (!lock.ok()) return 0;
  const draw::TileSource tile =
      draw::TileSourceFor(lock.width(), lock.height(), rect->right - rect->left, rect->bottom - rect->top);
  if (tile.width <= 0 || tile.height <= 0) return 0;
  // On devices without a palette the tile is converted once and then copied, which is much
  // cheaper than converting the bitmap's pixels for every tile.
  gdi::MemoryDC tileDC(dc);
  gdi::Owned<HBITMAP> converted;
  const bool manyTiles = tile.width < rect->right - rect->left || tile.height < rect->bottom - rect->top;
  if (manyTiles && tileDC && GetDeviceCaps(dc, BITSPIXEL) > 8 && GetMapMode(dc) == MM_TEXT) {
    converted.reset(CreateCompatibleBitmap(dc, tile.width, tile.height));
  }
  gdi::Select selected(tileDC.get(), converted.get());
  if (converted) {
    StretchDIBits(tileDC.get(), 0, 0, tile.width, tile.height, 0, tile.sourceY, tile.width, tile.height, lock.bits(),
                  lock.info(), DIB_RGB_COLORS, SRCCOPY);
  }
  for (int y = rect->top; y < rect->bottom; y += tile.height) {
    for (int x = rect->left; x < rect->right; x += tile.width) {
      const RECT at = {x, y, x + tile.width, y + tile.height};
      RECT visible;
      if (!IntersectRect(&visible, &at, &clip)) continue;
      if (converted) {
        BitBlt(dc, x, y, tile.width, tile.height, tileDC.get(), 0, 0, SRCCOPY);
      } else {
        StretchDIBits(dc, x, y, tile.width, tile.height, 0, tile.sourceY, tile.width, tile.height, lock.bits(),
                      lock.info(), DIB_RGB_COLORS, SRCCOPY);
      }
    }
  }
  return 1;
}

int DrawDibPlaced(HDC dc, HGLOBAL dib, const RECT* rect, int fitWidth, int fitHeight, int alignRight,
                  int alignBottom) {
  RECT clip;
  if (!dc || !rect || IsNoDib(dib) || ClipIsEmpty(dc, &clip)) return 0;
  PackedDibLock lock(dib);
  if (!lock.ok()) return 0;
  draw::TileSource source;
  RECT to;
  if (!PlacedTextureRect(lock, *rect, fitWidth, fitHeight, alignRight, alignBottom, &source, &to)) return 0;
  if (source.width <= 0 || source.height <= 0) return 0;
  StretchDIBits(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, 0, source.sourceY, source.width,
                source.height, lock.bits(), lock.info(), DIB_RGB_COLORS, SRCCOPY);
  return 1;
}

