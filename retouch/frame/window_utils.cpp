#include "retouch/frame/window_utils.h"

#include "winkit/gdi_guard.h"

void InvalidateLogicalRect(HWND window, const RECT* rect) {
  if (!rect) return;
  gdi::WindowDC dc(window);
  POINT pts[2] = {{rect->left, rect->top}, {rect->right, rect->bottom}};
  if (dc.get()) LPtoDP(dc.get(), pts, 2);
  RECT r{pts[0].x, pts[0].y, pts[1].x, pts[1].y};
  InvalidateRect(window, &r, FALSE);
}

namespace {
// The enumeration hands each property to the callback, which may remove that one property.
BOOL CALLBACK RemoveOneProp(HWND window, LPSTR name, HANDLE, ULONG_PTR) {
  RemovePropA(window, name);
  return TRUE;
}
}  // namespace

void RemoveAllProps(HWND window) { EnumPropsExA(window, RemoveOneProp, 0); }
