// Dialog backgrounds: face colour, gradient or texture from the dialog's style record; tiled
// and placed texture bitmaps.
#include <cstring>

#include "controls/core/style_record.h"
#include "controls/widgets/draw_math.h"
#include "controls/widgets/drawing.h"
#include "controls/widgets/gdi_guard.h"
#include "controls/widgets/packed_dib.h"

PackedDibLock::PackedDibLock(HGLOBAL dib) {
  if (IsNoDib(dib)) return;
  const SIZE_T size = GlobalSize(dib);
  block_ = static_cast<BYTE*>(GlobalLock(dib));
  if (!block_) return;
  dib_ = dib;
  if (!bmp::CheckPackedDib(block_, size, &packed_)) return;
  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(block_);
  if (header->biBitCount == 8 && header->biClrUsed == 0) header->biClrUsed = 256;
  bits_ = block_ + packed_.bitsOffset;
}

PackedDibLock::~PackedDibLock() {
  if (dib_) GlobalUnlock(dib_);
}

namespace {

// Nothing visible to draw into.
bool ClipIsEmpty(HDC dc, RECT* clip) { return GetClipBox(dc, clip) == NULLREGION; }

bool PlacedRect(const PackedDibLock& dib, const RECT& area, int fitWidth, int fitHeight, int alignRight,
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

void FillFace(HDC dc, const RECT& r) { FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE)); }

bool IsTabPage(HWND window) {
  char cls[32];
  if (!GetClassNameA(window, cls, sizeof cls)) return false;
  CharUpperA(cls);
  return std::strncmp(cls, "KVTABPAG", 8) == 0;
}

}  // namespace

int DrawDibTiled(HDC dc, HGLOBAL dib, const RECT* rect) {
  RECT clip;
  if (!dc || !rect || IsNoDib(dib) || ClipIsEmpty(dc, &clip)) return 0;
  PackedDibLock lock(dib);
  if (!lock.ok()) return 0;
  const draw::TileSource tile =
      draw::TileSourceFor(lock.width(), lock.height(), rect->right - rect->left, rect->bottom - rect->top);
  if (tile.width <= 0 || tile.height <= 0) return 0;
  for (int y = rect->top; y < rect->bottom; y += tile.height) {
    for (int x = rect->left; x < rect->right; x += tile.width) {
      const RECT at = {x, y, x + tile.width, y + tile.height};
      RECT visible;
      if (!IntersectRect(&visible, &at, &clip)) continue;
      StretchDIBits(dc, x, y, tile.width, tile.height, 0, tile.sourceY, tile.width, tile.height, lock.bits(),
                    lock.info(), DIB_RGB_COLORS, SRCCOPY);
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
  if (!PlacedRect(lock, *rect, fitWidth, fitHeight, alignRight, alignBottom, &source, &to)) return 0;
  if (source.width <= 0 || source.height <= 0) return 0;
  StretchDIBits(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, 0, source.sourceY, source.width,
                source.height, lock.bits(), lock.info(), DIB_RGB_COLORS, SRCCOPY);
  return 1;
}

int PaintDlgBackground(HWND window, HDC dc) {
  RECT client;
  if (!dc || !GetClientRect(window, &client)) return 0;
  const int kind = GetStyleKind(window, kStyleBackground);
  const COLORREF first = GetStyleFirstColour(window, kStyleBackground);
  const COLORREF second = GetStyleSecondColour(window, kStyleBackground);
  if (kind == kKindVerticalGradient || kind == kKindHorizontalGradient) {
    fill_rect_gradient(dc, &client, first, second, kind == kKindVerticalGradient);
    return 1;
  }
  if (kind != kKindTexture) {
    FillFace(dc, client);
    return 1;
  }
  HGLOBAL texture = GetBackgroundTextureLoaded(window);
  if (IsNoDib(texture)) {
    FillFace(dc, client);
    return 0;
  }
  const StylePlacement place = GetBackgroundPlacement(window);
  if (!place.placed) return DrawDibTiled(dc, texture, &client);
  {
    PackedDibLock lock(texture);
    if (!lock.ok()) {
      FillFace(dc, client);
      return 0;
    }
    draw::TileSource source;
    RECT to;
    if (!PlacedRect(lock, client, place.fitWidth, place.fitHeight, place.alignRight, place.alignBottom, &source,
                    &to)) {
      return 0;
    }
    // Around the picture, the gradient of the two colours.
    gdi::SavedState state(dc);
    ExcludeClipRect(dc, to.left, to.top, to.right, to.bottom);
    fill_rect_gradient(dc, &client, first, second, 0);
  }
  return DrawDibPlaced(dc, texture, &client, place.fitWidth, place.fitHeight, place.alignRight,
                       place.alignBottom);
}

extern "C" int WINAPI FillDlgWithTexture(HWND dialog, HDC dc, int number) {
  bool request = dc && IsParentBackgroundRequest(dc);
  HANDLE numberValue = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(number));
  // A tab page asked for its background paints it as a dialog of its own.
  if (request && IsTabPage(dialog)) {
    SetPropA(dialog, PROP_DLG_TEXTURE, numberValue);
    request = false;
  }
  if (!GetPropA(dialog, PROP_DLG_STYLE) && number != 0 && !request) {
    SetPropA(dialog, PROP_DLG_TEXTURE, numberValue);
    LoadDialogStyle(dialog, number);
  }
  return PaintDlgBackground(dialog, dc);
}

extern "C" int WINAPI EndDlgTexture(HWND dialog) {
  ReleaseDialogStyle(dialog);
  return static_cast<int>(reinterpret_cast<INT_PTR>(RemovePropA(dialog, PROP_DLG_TEXTURE)));
}
