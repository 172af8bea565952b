// Dragging a bitmap with the left mouse button: a modal loop that keeps the screen under the
// image in a save-under bitmap and copies only the strips a movement uncovers or newly covers.
// Messages other than mouse movements are removed and dropped while the button is down.
#include <algorithm>
#include <utility>

#include "controls/widgets/draw_math.h"
#include "controls/widgets/drawing.h"
#include "controls/widgets/packed_dib.h"
#include "winkit/bitmaps.h"
#include "winkit/gdi_guard.h"

namespace {

draw::Rect At(int x, int y, int w, int h) { return {x, y, x + w, y + h}; }

// Waits for input without spinning; the button state changes only through input messages.
bool NextMessage(MSG* msg) {
  if (PeekMessageA(msg, nullptr, 0, 0, PM_REMOVE)) return true;
  MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  return false;
}

int DragBitmap(HWND window, HBITMAP bitmap, POINT* position, int hotX, int hotY, bool transparent, COLORREF key) {
  BITMAP bm;
  if (!bitmap || !position || !GetObjectA(bitmap, sizeof bm, &bm)) return 0;
  const int w = bm.bmWidth, h = bm.bmHeight;
  if (w <= 0 || h <= 0) return 0;
  gdi::WindowDC dc(window);
  if (!dc.get()) return 0;
  // Two save-under bitmaps: a movement copies the overlap from one into the other.
  gdi::Owned<HBITMAP> underA(CreateCompatibleBitmap(dc.get(), w, h));
  gdi::Owned<HBITMAP> underB(CreateCompatibleBitmap(dc.get(), w, h));
  gdi::MemoryDC saveDC(dc.get()), nextDC(dc.get());
  if (!underA || !underB || !saveDC || !nextDC) return 0;
  gdi::Select s1(saveDC.get(), underA.get()), s2(nextDC.get(), underB.get());
  HDC save = saveDC.get(), next = nextDC.get();

  int x = position->x, y = position->y;
  BitBlt(save, 0, 0, w, h, dc.get(), x, y, SRCCOPY);
  winkit::DrawBitmapAt(dc.get(), bitmap, x, y);

  MSG msg;
  while (GetKeyState(VK_LBUTTON) < 0) {
    if (!NextMessage(&msg) || msg.message != WM_MOUSEMOVE) continue;
    POINT p = {static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
    if (msg.hwnd) ClientToScreen(msg.hwnd, &p);
    if (window) ScreenToClient(window, &p);
    const int nx = p.x - hotX, ny = p.y - hotY;
    if (nx == x && ny == y) continue;
    const draw::Rect was = At(x, y, w, h), now = At(nx, ny, w, h);
    draw::Rect strips[4];
    // Give back the screen the image no longer covers.
    int n = draw::Subtract(was, now, strips);
    for (int i = 0; i < n; ++i) {
      const draw::Rect& s = strips[i];
      BitBlt(dc.get(), s.left, s.top, s.width(), s.height(), save, s.left - x, s.top - y, SRCCOPY);
    }
    // The overlap keeps what was saved; the newly covered strips come from the screen.
    const draw::Rect overlap{std::max(x, nx), std::max(y, ny), std::min(was.right, now.right),
                             std::min(was.bottom, now.bottom)};
    if (!overlap.empty()) {
      BitBlt(next, overlap.left - nx, overlap.top - ny, overlap.width(), overlap.height(), save, overlap.left - x,
             overlap.top - y, SRCCOPY);
    }
    n = draw::Subtract(now, was, strips);
    for (int i = 0; i < n; ++i) {
      const draw::Rect& s = strips[i];
      BitBlt(next, s.left - nx, s.top - ny, s.width(), s.height(), dc.get(), s.left, s.top, SRCCOPY);
    }
    std::swap(save, next);
    x = nx;
    y = ny;
    if (transparent) {
      KvDrawTransparentBitmap(dc.get(), bitmap, x, y, key);
    } else {
      winkit::DrawBitmapAt(dc.get(), bitmap, x, y);
    }
  }
  BitBlt(dc.get(), x, y, w, h, save, 0, 0, SRCCOPY);
  position->x = x;
  position->y = y;
  return 1;
}

}  // namespace

extern "C" int WINAPI KvDragBitmapInWindow(HWND window, HBITMAP bitmap, POINT* position, int hotX, int hotY) {
  return DragBitmap(window, bitmap, position, hotX, hotY, false, 0);
}

extern "C" int WINAPI KvDragTransparentBitmapInWindow(HWND window, HBITMAP bitmap, POINT* position, int hotX,
                                                      int hotY, COLORREF key) {
  return DragBitmap(window, bitmap, position, hotX, hotY, true, key);
}

extern "C" int WINAPI KvDragTransparentDib(HGLOBAL dib, POINT* position, int hotX, int hotY, COLORREF key) {
  if (IsNoDib(dib) || !position) return 0;
  gdi::Owned<HBITMAP> bitmap;
  {
    PackedDibLock lock(dib);
    if (!lock.ok()) return 0;
    gdi::WindowDC screen(nullptr);
    gdi::MemoryDC memory(screen.get());
    if (!screen.get() || !memory) return 0;
    bitmap.reset(CreateCompatibleBitmap(screen.get(), lock.width(), lock.height()));
    if (!bitmap) return 0;
    gdi::Select selected(memory.get(), bitmap.get());
    SetStretchBltMode(memory.get(), COLORONCOLOR);
    StretchDIBits(memory.get(), 0, 0, lock.width(), lock.height(), 0, 0, lock.width(), lock.height(), lock.bits(),
                  lock.info(), DIB_RGB_COLORS, SRCCOPY);
  }
  return DragBitmap(nullptr, bitmap.get(), position, hotX, hotY, true, key);
}
