// Dotted lines, gradients, rounded frames and clips, the parent-background request and
// bitmaps with a transparent colour.
#include "controls/widgets/drawing.h"

#include <algorithm>
#include <initializer_list>

#include "controls/widgets/draw_math.h"
#include "winkit/bitmaps.h"
#include "winkit/gdi_guard.h"

namespace {

// Made on the first dotted line; the library deletes it when it detaches.
HBRUSH g_dotBrush = nullptr;

HBRUSH DotBrush() {
  HBRUSH& brush = g_dotBrush;
  if (!brush) {
    WORD rows[16];
    for (int i = 0; i < 16; ++i) rows[i] = (i % 2 == 0) ? 0xAAAA : 0x5555;
    gdi::Owned<HBITMAP> pattern(CreateBitmap(16, 16, 1, 1, rows));
    if (pattern) brush = CreatePatternBrush(pattern.get());
  }
  return brush;
}

void RoundFramePass(HDC dc, const RECT& r, int d, COLORREF colour, const RECT& exclude, bool cornersOnly) {
  gdi::Owned<HPEN> pen(CreatePen(PS_SOLID, 1, colour));
  if (!pen) return;
  gdi::SavedDC state(dc);
  ExcludeClipRect(dc, exclude.left, exclude.top, exclude.right, exclude.bottom);
  if (cornersOnly) {
    ExcludeClipRect(dc, r.left + d, r.top, r.right - d, r.bottom);
    ExcludeClipRect(dc, r.left, r.top + d, r.right, r.bottom - d);
  }
  SelectObject(dc, pen.get());
  SelectObject(dc, GetStockObject(NULL_BRUSH));
  RoundRect(dc, r.left, r.top, r.right, r.bottom, d, d);
}  // RestoreDC deselects the pen before it is deleted

void RoundFrame(HDC dc, const RECT* rect, int d, COLORREF bottomRight, COLORREF topLeft, bool cornersOnly) {
  if (!dc || !rect) return;
  const RECT& r = *rect;
  const int a = draw::RoundSplit(d);
  RoundFramePass(dc, r, d, topLeft, {r.left + d - a, r.top + d - a, r.right, r.bottom}, cornersOnly);
  RoundFramePass(dc, r, d, bottomRight, {r.left, r.top, r.right - a, r.bottom - a}, cornersOnly);
}

}  // namespace

void DeleteDotLineBrush() {
  if (g_dotBrush) DeleteObject(g_dotBrush);
  g_dotBrush = nullptr;
}

extern "C" int WINAPI draw_dotHVLine(HDC dc, int x, int y, int length, COLORREF colour, int vertical) {
  HBRUSH brush = DotBrush();
  if (!dc || !brush) return 0;
  UnrealizeObject(brush);  // the pattern follows the device context's brush origin
  gdi::Select selected(dc, brush);
  SetBkMode(dc, TRANSPARENT);
  const COLORREF oldText = SetTextColor(dc, colour);
  const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
  const BOOL done = vertical ? PatBlt(dc, x, y, 1, length, PATCOPY) : PatBlt(dc, x, y, length, 1, PATCOPY);
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBk);
  return done;
}

extern "C" int WINAPI draw_dotHLine(HDC dc, int x, int y, int length, COLORREF colour) {
  return draw_dotHVLine(dc, x, y, length, colour, 0);
}

extern "C" int WINAPI draw_dotVLine(HDC dc, int x, int y, int length, COLORREF colour) {
  return draw_dotHVLine(dc, x, y, length, colour, 1);
}

namespace {

// How the bands of one gradient are filled, chosen once from the device's depth: without
// creating brushes on true-colour and palette devices, with one solid brush per band between.
class BandFiller {
 public:
  BandFiller(HDC dc, int bitsPerPixel) : dc_(dc), method_(draw::GradientMethodFor(bitsPerPixel)) {
    if (!method_.opaqueText) return;
    if (bitsPerPixel >= 24) {
      // The device context's own brush: a colour change costs no brush.
      oldBrush_ = SelectObject(dc, GetStockObject(DC_BRUSH));
      if (oldBrush_) oldBrushColour_ = GetDCBrushColor(dc);
    }
    if (!oldBrush_) oldBk_ = GetBkColor(dc);
  }
  ~BandFiller() {
    if (oldBrush_) {
      SetDCBrushColor(dc_, oldBrushColour_);
      SelectObject(dc_, oldBrush_);
    } else if (method_.opaqueText) {
      SetBkColor(dc_, oldBk_);
    }
  }
  BandFiller(const BandFiller&) = delete;
  BandFiller& operator=(const BandFiller&) = delete;
  bool forceEndColour() const { return method_.forceEndColour; }

  void Fill(const RECT& band, COLORREF colour) {
    if (oldBrush_) {
      SetDCBrushColor(dc_, colour);
      PatBlt(dc_, band.left, band.top, band.right - band.left, band.bottom - band.top, PATCOPY);
    } else if (method_.opaqueText) {
      SetBkColor(dc_, colour);
      ExtTextOutA(dc_, 0, 0, ETO_OPAQUE, &band, nullptr, 0, nullptr);
    } else {
      gdi::Owned<HBRUSH> brush(CreateSolidBrush(colour));
      if (brush) FillRect(dc_, &band, brush.get());
    }
  }

 private:
  HDC dc_;
  draw::GradientMethod method_;
  HGDIOBJ oldBrush_ = nullptr;
  COLORREF oldBrushColour_ = 0;
  COLORREF oldBk_ = 0;
};

// Left-to-right bands of a tall rectangle: a column fill per band costs far more than a row of
// the same area, so the bands are written once into a one-row bitmap that fills the visible
// part as a pattern brush aligned with the rectangle. Only for devices without a palette and
// with one logical unit per pixel.
bool FillByPattern(HDC dc, const RECT& rect, const RECT& visible, const draw::GradientBands& bands) {
  const int length = bands.length();
  const SIZE_T bytes = sizeof(BITMAPINFOHEADER) + static_cast<SIZE_T>(length) * 4;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
  if (!block) return false;
  auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(block));
  if (!header) {
    GlobalFree(block);
    return false;
  }
  header->biSize = sizeof(BITMAPINFOHEADER);
  header->biWidth = length;
  header->biHeight = 1;
  header->biPlanes = 1;
  header->biBitCount = 32;
  header->biCompression = BI_RGB;
  auto* row = reinterpret_cast<DWORD*>(header + 1);
  for (int k = 0; k < bands.count(); ++k) {
    const COLORREF c = bands.Colour(k);
    const DWORD pixel = static_cast<DWORD>(GetRValue(c)) << 16 | static_cast<DWORD>(GetGValue(c)) << 8 | GetBValue(c);
    const int end = std::min((k + 1) * bands.width(), length);
    for (int x = k * bands.width(); x < end; ++x) row[x] = pixel;
  }
  gdi::Owned<HBRUSH> brush(CreateDIBPatternBrushPt(header, DIB_RGB_COLORS));
  GlobalUnlock(block);
  GlobalFree(block);
  if (!brush) return false;
  // The pattern starts at the rectangle's left edge, in device coordinates.
  POINT origin = {rect.left, rect.top};
  LPtoDP(dc, &origin, 1);
  POINT oldOrigin;
  SetBrushOrgEx(dc, origin.x, origin.y, &oldOrigin);
  {
    gdi::Select selected(dc, brush.get());
    PatBlt(dc, visible.left, visible.top, visible.right - visible.left, visible.bottom - visible.top, PATCOPY);
  }
  SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
  return true;
}

}  // namespace

int fill_rect_gradient(HDC dc, const RECT* rect, COLORREF from, COLORREF to, int vertical) {
  if (!dc || !rect) return 0;
  const int length = vertical ? rect->bottom - rect->top : rect->right - rect->left;
  if (length <= 0) return 0;
  const int bits = GetDeviceCaps(dc, BITSPIXEL);
  if (draw::GradientMethodFor(bits).forceEndColour) to = draw::kPaletteGradientEnd;
  const draw::GradientBands bands(length, from, to);

  RECT clip;
  const int clipKind = GetClipBox(dc, &clip);
  if (clipKind == NULLREGION) return 1;
  RECT visible = *rect;
  if (clipKind != ERROR && !IntersectRect(&visible, rect, &clip)) return 1;
  if (!vertical && visible.bottom - visible.top > 1 && bits > 8 && GetMapMode(dc) == MM_TEXT &&
      FillByPattern(dc, *rect, visible, bands)) {
    return 1;
  }

  BandFiller filler(dc, bits);
  const int count = bands.count();
  for (int k = 0; k < count; ++k) {
    // The last band is cut at the far edge: nothing outside the rectangle is painted.
    const int nearEdge = k * bands.width();
    const int farEdge = std::min(nearEdge + bands.width(), length);
    RECT band = *rect;
    if (vertical) {
      band.top = rect->top + nearEdge;
      band.bottom = rect->top + farEdge;
    } else {
      band.left = rect->left + nearEdge;
      band.right = rect->left + farEdge;
    }
    RECT shown;
    if (clipKind != ERROR && !IntersectRect(&shown, &band, &clip)) continue;
    filler.Fill(band, bands.Colour(k));
  }
  return 1;
}

extern "C" int WINAPI fill_rect_Hgradient(HDC dc, const RECT* rect, COLORREF from, COLORREF to) {
  return fill_rect_gradient(dc, rect, from, to, 0);
}

extern "C" int WINAPI fill_rect_Vgradient(HDC dc, const RECT* rect, COLORREF from, COLORREF to) {
  return fill_rect_gradient(dc, rect, from, to, 1);
}

void PaintParentBackground(HWND control, HDC dc) {
  HWND parent = GetParent(control);
  char cls[16];
  if (parent && GetClassNameA(parent, cls, sizeof cls) && lstrcmpiA(cls, "STATIQUE") == 0) {
    parent = GetParent(parent);
  }
  if (!parent || !dc) return;
  POINT origin;
  GetWindowOrgEx(dc, &origin);
  POINT inParent = origin;
  MapWindowPoints(control, parent, &inParent, 1);
  SetWindowOrgEx(dc, inParent.x, inParent.y, nullptr);
  const COLORREF oldText = SetTextColor(dc, kParentBackgroundMarker);
  SendMessageA(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  SetWindowOrgEx(dc, origin.x, origin.y, nullptr);
  SetTextColor(dc, oldText);
}

void ClipToRoundRect(HWND control, HDC dc, int diameter) {
  RECT r;
  if (!dc || !GetClientRect(control, &r)) return;
  RECT box;
  if (GetClipBox(dc, &box) == ERROR) return;
  gdi::Owned<HRGN> round(CreateRoundRectRgn(r.left, r.top, r.right + 1, r.bottom + 1, diameter, diameter));
  gdi::Owned<HRGN> clip(CreateRectRgnIndirect(&box));
  gdi::Owned<HRGN> part(CreateRectRgn(0, 0, 0, 0));
  if (!round || !clip || !part) return;
  // The corners outside the round shape show the parent.
  CombineRgn(part.get(), clip.get(), round.get(), RGN_DIFF);
  SelectClipRgn(dc, part.get());
  PaintParentBackground(control, dc);
  CombineRgn(part.get(), round.get(), clip.get(), RGN_AND);
  SelectClipRgn(dc, part.get());
}

void DrawRoundFrame3D(HDC dc, const RECT* rect, int diameter, COLORREF bottomRight, COLORREF topLeft) {
  RoundFrame(dc, rect, diameter, bottomRight, topLeft, false);
}

void DrawRoundCorners3D(HDC dc, const RECT* rect, int diameter, COLORREF bottomRight, COLORREF topLeft) {
  RoundFrame(dc, rect, diameter, bottomRight, topLeft, true);
}

extern "C" int WINAPI KvDrawTransparentBitmap(HDC dc, HBITMAP bitmap, int x, int y, COLORREF key) {
  return winkit::DrawTransparentBitmap(dc, bitmap, x, y, key, winkit::kTransparentDefaultPalette);
}

// The mask is stretched together with the picture, so the transparent pixels show the
// target's own background behind `rect`.
int DrawTransparentBitmapStretched(HDC dc, HBITMAP bitmap, const RECT* rect, COLORREF key) {
  if (!bitmap || !dc || !rect) return 0;
  const int rw = rect->right - rect->left, rh = rect->bottom - rect->top;
  if (rw <= 0 || rh <= 0) return 0;
  gdi::MemoryDC sourceDC(dc), maskDC(dc), pictureDC(dc), compositeDC(dc);
  if (!sourceDC || !maskDC || !pictureDC || !compositeDC) return 0;
  gdi::Select s1(sourceDC.get(), bitmap);
  SIZE size;
  if (!winkit::BitmapSize(bitmap, sourceDC.get(), &size) || size.cx <= 0 || size.cy <= 0) return 0;
  gdi::Owned<HBITMAP> mask(CreateBitmap(size.cx, size.cy, 1, 1, nullptr));
  gdi::Owned<HBITMAP> picture(CreateCompatibleBitmap(dc, size.cx, size.cy));
  gdi::Owned<HBITMAP> composite(CreateCompatibleBitmap(dc, rw, rh));
  if (!mask || !picture || !composite) return 0;
  gdi::Select s2(maskDC.get(), mask.get()), s3(pictureDC.get(), picture.get()),
      s4(compositeDC.get(), composite.get());
  HDC work[] = {sourceDC.get(), maskDC.get(), pictureDC.get(), compositeDC.get()};
  winkit::UseDefaultPalette(dc, work, 4);

  // Mask: 1 where the source has the key colour.
  const COLORREF oldBk = SetBkColor(sourceDC.get(), key);
  BitBlt(maskDC.get(), 0, 0, size.cx, size.cy, sourceDC.get(), 0, 0, SRCCOPY);
  SetBkColor(sourceDC.get(), oldBk);
  // Monochrome sources paint 0 in the text colour and 1 in the background colour.
  for (HDC colourDC : {pictureDC.get(), compositeDC.get()}) {
    SetTextColor(colourDC, RGB(0, 0, 0));
    SetBkColor(colourDC, RGB(255, 255, 255));
  }
  // Picture: the source with its key pixels black (destination AND NOT mask).
  BitBlt(pictureDC.get(), 0, 0, size.cx, size.cy, sourceDC.get(), 0, 0, SRCCOPY);
  BitBlt(pictureDC.get(), 0, 0, size.cx, size.cy, maskDC.get(), 0, 0, 0x00220326);
  // Composite: the target's background, cleared where the picture shows, then the picture.
  SetStretchBltMode(compositeDC.get(), COLORONCOLOR);
  BitBlt(compositeDC.get(), 0, 0, rw, rh, dc, rect->left, rect->top, SRCCOPY);
  StretchBlt(compositeDC.get(), 0, 0, rw, rh, maskDC.get(), 0, 0, size.cx, size.cy, SRCAND);
  StretchBlt(compositeDC.get(), 0, 0, rw, rh, pictureDC.get(), 0, 0, size.cx, size.cy, SRCPAINT);
  return BitBlt(dc, rect->left, rect->top, rw, rh, compositeDC.get(), 0, 0, SRCCOPY);
}
