// The brush cursor is a bitmap drawn with transparency on the frame's device context over the
// canvas; the screen under it is kept in a save-under bitmap and put back when it moves or hides.
#include "retouch/frame/brush_cursor.h"

#include <algorithm>

#include "retouch/frame/brush_preview.h"
#include "retouch/frame/editor_globals.h"
#include "retouch/imaging/brushes.h"
#include "winkit/bitmaps.h"
#include "winkit/gdi_guard.h"

namespace {

// The cursor follows the canvas's mapping mode on the frame's device context; devices that
// copy with a transparent colour themselves may do so.
constexpr unsigned kCursorBlit = winkit::kTransparentByDevice | winkit::kTransparentFollowMapMode;

SIZE BitmapSize(HBITMAP bitmap) {
  SIZE size{0, 0};
  if (!winkit::BitmapSize(bitmap, nullptr, &size)) return SIZE{0, 0};
  return size;
}

void DrawTransparentBitmap(HDC dc, HBITMAP bitmap, int x, int y, COLORREF transparent) {
  winkit::DrawTransparentBitmap(dc, bitmap, x, y, transparent, kCursorBlit);
}

// A compatible bitmap holding the rectangle's area of `dc`, at most the screen's size.
HBITMAP CopyScreenArea(HDC dc, const RECT* rect) {
  const int w = std::min<int>(rect->right - rect->left, GetSystemMetrics(SM_CXSCREEN));
  const int h = std::min<int>(rect->bottom - rect->top, GetSystemMetrics(SM_CYSCREEN));
  if (w <= 0 || h <= 0) return nullptr;
  HBITMAP bitmap = CreateCompatibleBitmap(dc, w, h);
  if (!bitmap) return nullptr;
  gdi::MemoryDC mem(dc);
  gdi::Select sel(mem.get(), bitmap);
  BitBlt(mem.get(), 0, 0, w, h, dc, rect->left, rect->top, SRCCOPY);
  return bitmap;
}

HWND CursorHost(HWND canvas) { return GetParent(canvas); }

// Pointer position in the frame's client coordinates.
POINT PointerInFrame(HWND frame) {
  POINT p{};
  GetCursorPos(&p);
  ScreenToClient(frame, &p);
  return p;
}

void DeleteBitmap(HBITMAP* bitmap) {
  if (*bitmap) DeleteObject(*bitmap);
  *bitmap = nullptr;
}

// Copies the frame's screen area under the cursor's new place into the save-under bitmap.
void SaveUnderAtPointer(RetouchState& s, HWND canvas) {
  const SIZE size = BitmapSize(s.brushCursorImage);
  if (size.cx <= 0 || size.cy <= 0) return;
  HWND frame = CursorHost(canvas);
  const POINT p = PointerInFrame(frame);
  s.brushCursorX = p.x - size.cx / 2;
  s.brushCursorY = p.y - size.cy / 2;
  gdi::WindowDC dc(frame);
  if (!dc.get()) return;
  if (!s.brushCursorSaveUnder) s.brushCursorSaveUnder = CreateCompatibleBitmap(dc.get(), size.cx, size.cy);
  if (!s.brushCursorSaveUnder) return;
  gdi::MemoryDC mem(dc.get());
  gdi::Select sel(mem.get(), s.brushCursorSaveUnder);
  BitBlt(mem.get(), 0, 0, size.cx, size.cy, dc.get(), s.brushCursorX, s.brushCursorY, SRCCOPY);
}

void DrawCursorAtSavedPlace(RetouchState& s, HWND canvas) {
  gdi::WindowDC dc(CursorHost(canvas));
  if (dc.get())
    DrawTransparentBitmap(dc.get(), s.brushCursorImage, s.brushCursorX, s.brushCursorY, s.cursorBackColor);
}

void RestoreSaveUnder(RetouchState& s, HWND canvas) {
  if (!s.brushCursorSaveUnder) return;
  gdi::WindowDC dc(CursorHost(canvas));
  if (dc.get()) winkit::DrawBitmapAt(dc.get(), s.brushCursorSaveUnder, s.brushCursorX, s.brushCursorY);
}

// Builds brushCursorImage at the brush's size on screen (the canvas zoom applies).
void BuildCursorImage(RetouchState& s, HWND canvas) {
  gdi::WindowDC cdc(canvas);
  if (!cdc.get()) return;
  POINT size{s.brushWidth, s.brushHeight};
  LPtoDP(cdc.get(), &size, 1);
  // A tiny image on a large canvas would ask for a huge bitmap: never larger than the screen.
  const int w = std::clamp<int>(size.x, 1, std::max(1, GetSystemMetrics(SM_CXSCREEN)));
  const int h = std::clamp<int>(size.y, 1, std::max(1, GetSystemMetrics(SM_CYSCREEN)));
  s.brushCursorImage = CreateCompatibleBitmap(cdc.get(), w, h);
  if (!s.brushCursorImage) return;
  gdi::MemoryDC mem(cdc.get());
  gdi::Select sel(mem.get(), s.brushCursorImage);
  RECT r{0, 0, w, h};
  if (s.currentTool == TOOL_STAMP && s.cloneSample) {
    DibDraw(mem.get(), s.cloneSample, &r, SRCCOPY);
  } else {
    DrawBrushPreview(s, mem.get(), &r, w, h, FALSE);
  }
}

}  // namespace

void RebuildBrushCursor(HWND canvas, BOOL freeSample) {
  RetouchState* s = g_state;
  if (!s) return;
  if (freeSample && s->cloneSample) {
    GlobalFree(s->cloneSample);
    s->cloneSample = nullptr;
  }
  BuildBrushMask(*s, s->brushWidth, s->brushHeight);
  const bool shown = s->brushCursorShown > 0;
  if (shown) RestoreSaveUnder(*s, canvas);
  DeleteBitmap(&s->brushCursorSaveUnder);
  DeleteBitmap(&s->brushCursorImage);
  BuildCursorImage(*s, canvas);
  if (shown && s->brushCursorEnabled) {
    SaveUnderAtPointer(*s, canvas);
    if (s->pointerInCanvas) DrawCursorAtSavedPlace(*s, canvas);
  }
}

void ShowBrushCursor(HWND canvas) {
  RetouchState* s = g_state;
  if (!s) return;
  if (s->brushCursorShown <= 0) s->brushCursorShown += 1;
  if (s->brushCursorShown > 0 && s->brushCursorEnabled) {
    // Showing a cursor that is already drawn: put its background back first, or the new
    // save-under would hold the cursor itself and leave a ghost when it hides.
    if (s->brushCursorSaveUnder) RestoreSaveUnder(*s, canvas);
    SaveUnderAtPointer(*s, canvas);
    if (s->pointerInCanvas) DrawCursorAtSavedPlace(*s, canvas);
  }
}

void HideBrushCursor(HWND canvas) {
  RetouchState* s = g_state;
  if (!s) return;
  s->brushCursorShown -= 1;
  RestoreSaveUnder(*s, canvas);
  DeleteBitmap(&s->brushCursorSaveUnder);
}

void MoveBrushCursor(HWND canvas) {
  RetouchState* s = g_state;
  if (!s || s->brushCursorShown <= 0 || !s->brushCursorEnabled) return;
  const SIZE size = BitmapSize(s->brushCursorImage);
  if (size.cx <= 0 || size.cy <= 0) return;
  HWND frame = CursorHost(canvas);
  if (!s->brushCursorSaveUnder) {
    SaveUnderAtPointer(*s, canvas);
    DrawCursorAtSavedPlace(*s, canvas);
    return;
  }
  const POINT p = PointerInFrame(frame);
  const RECT n{p.x - size.cx / 2, p.y - size.cy / 2, p.x - size.cx / 2 + size.cx, p.y - size.cy / 2 + size.cy};
  const RECT o{s->brushCursorX, s->brushCursorY, s->brushCursorX + size.cx, s->brushCursorY + size.cy};
  if (EqualRect(&n, &o)) return;
  RECT both{};
  if (!IntersectRect(&both, &n, &o)) {
    RestoreSaveUnder(*s, canvas);
    SaveUnderAtPointer(*s, canvas);
    DrawCursorAtSavedPlace(*s, canvas);
    return;
  }
  // Overlapping places: compose the move off screen and copy the union back in one operation.
  RECT u{};
  UnionRect(&u, &n, &o);
  gdi::WindowDC dc(frame);
  if (!dc.get()) return;
  gdi::Owned<HBITMAP> work(CopyScreenArea(dc.get(), &u));
  if (!work.get()) return;
  gdi::MemoryDC workDc(dc.get());
  gdi::MemoryDC saveDc(dc.get());
  gdi::Select workSel(workDc.get(), work.get());
  gdi::Select saveSel(saveDc.get(), s->brushCursorSaveUnder);
  BitBlt(workDc.get(), o.left - u.left, o.top - u.top, size.cx, size.cy, saveDc.get(), 0, 0, SRCCOPY);
  BitBlt(saveDc.get(), 0, 0, size.cx, size.cy, workDc.get(), n.left - u.left, n.top - u.top, SRCCOPY);
  DrawTransparentBitmap(workDc.get(), s->brushCursorImage, n.left - u.left, n.top - u.top, s->cursorBackColor);
  s->brushCursorX = n.left;
  s->brushCursorY = n.top;
  BitBlt(dc.get(), u.left, u.top, u.right - u.left, u.bottom - u.top, workDc.get(), 0, 0, SRCCOPY);
}

void ResetBrushCursor() {
  RetouchState* s = g_state;
  if (!s) return;
  DeleteBitmap(&s->brushCursorSaveUnder);
  DeleteBitmap(&s->brushCursorImage);
  s->brushCursorShown = 0;
  s->brushCursorEnabled = 0;
}
