#include "controls/widgets/control_paint.h"

#include "controls/core/library.h"
#include "controls/widgets/drawing.h"
#include "winkit/bitmaps.h"
#include "winkit/gdi_guard.h"

namespace ctlpaint {

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP b = {};
  if (!IsBitmap(bitmap) || !GetObjectA(bitmap, sizeof b, &b)) return SIZE{0, 0};
  return SIZE{b.bmWidth, b.bmHeight};
}

COLORREF TopLeftColour(HBITMAP bitmap) {
  gdi::MemoryDC memory(nullptr);
  if (!memory) return CLR_INVALID;
  gdi::Select selected(memory.get(), bitmap);
  return GetPixel(memory.get(), 0, 0);
}

void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y, bool keyed) {
  if (!IsBitmap(bitmap)) return;
  if (keyed) {
    KvDrawTransparentBitmap(dc, bitmap, x, y, TopLeftColour(bitmap));
  } else {
    winkit::DrawBitmapAt(dc, bitmap, x, y);
  }
}

void FillSolid(HDC dc, const RECT& r, COLORREF colour) {
  const COLORREF old = SetBkColor(dc, colour);
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
  SetBkColor(dc, old);
}

void Line(HDC dc, int x0, int y0, int x1, int y1, COLORREF colour) {
  gdi::Owned<HPEN> pen(CreatePen(PS_SOLID, 1, colour));
  gdi::Select selected(dc, pen.get());
  POINT old;
  MoveToEx(dc, x0, y0, &old);
  LineTo(dc, x1, y1);
  MoveToEx(dc, old.x, old.y, nullptr);
}

void Frame3D(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
  if (r.right - r.left < 1 || r.bottom - r.top < 1) return;
  FillSolid(dc, RECT{r.left, r.top, r.right, r.top + 1}, topLeft);
  FillSolid(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, topLeft);
  FillSolid(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
  FillSolid(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

namespace {
LPCSTR ResourceName(const ctltext::ResourceRef& ref) {
  return ref.id ? MAKEINTRESOURCEA(ref.id) : ref.name;
}
}  // namespace

HBITMAP LoadNamedBitmap(const ctltext::ResourceRef& ref, HINSTANCE own) {
  if (ref.none()) return nullptr;
  HBITMAP b = tamsel::hostModule ? LoadBitmapA(tamsel::hostModule, ResourceName(ref)) : nullptr;
  if (!b && own && own != tamsel::hostModule) b = LoadBitmapA(own, ResourceName(ref));
  return b;
}

HICON LoadNamedIcon(const ctltext::ResourceRef& ref, HINSTANCE own) {
  if (ref.none()) return nullptr;
  HICON i = tamsel::hostModule ? LoadIconA(tamsel::hostModule, ResourceName(ref)) : nullptr;
  if (!i && own && own != tamsel::hostModule) i = LoadIconA(own, ResourceName(ref));
  return i;
}

int WindowText(HWND window, char* out, int capacity) {
  if (capacity <= 0) return 0;
  int n = GetWindowTextA(window, out, capacity);
  n = n < 0 ? 0 : n >= capacity ? capacity - 1 : n;
  out[n] = '\0';
  return n;
}

}  // namespace ctlpaint
