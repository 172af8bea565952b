// The brush cursor is a bitmap drawn with transparency on the frame's device context over the
// canvas; the screen under it is kept in a save-under bitmap and put back when it moves or hides.
#include "retouch/frame/brush_cursor.h"

#include <algorithm>

#include "retouch/frame/editor_globals.h"
#include "retouch/frame/editor_hooks.h"
#include "retouch/frame/frame_geometry.h"
#include "retouch/imaging/brushes.h"
#include "controls/widgets/gdi_guard.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
// Printer-driver values the headers keep behind NOGDI-style guards: devices that can copy with
// a transparent background colour report C1_TRANSPARENT among their CAPS1 capabilities.
constexpr int kCaps1 = 94;
constexpr int kC1Transparent = 0x0001;
constexpr int kNewTransparent = 3;
constexpr COLORREF kCursorGrey = 0x00C0C0C0;

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP bm{};
  if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm)) return SIZE{0, 0};
  return SIZE{bm.bmWidth, bm.bmHeight};
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
void SaveUnderAtPointer(HWND canvas) {
  RetouchState* s = g_state;
  const SIZE size = BitmapSize(s->brushCursorImage);
  if (size.cx <= 0 || size.cy <= 0) return;
  HWND frame = CursorHost(canvas);
  const POINT p = PointerInFrame(frame);
  s->brushCursorX = p.x - size.cx / 2;
  s->brushCursorY = p.y - size.cy / 2;
  gdi::WindowDC dc(frame);
  if (!dc.get()) return;
  if (!s->brushCursorSaveUnder) s->brushCursorSaveUnder = CreateCompatibleBitmap(dc.get(), size.cx, size.cy);
  if (!s->brushCursorSaveUnder) return;
  gdi::MemoryDC mem(dc.get());
  gdi::Select sel(mem.get(), s->brushCursorSaveUnder);
  BitBlt(mem.get(), 0, 0, size.cx, size.cy, dc.get(), s->brushCursorX, s->brushCursorY, SRCCOPY);
}

void DrawCursorAtSavedPlace(HWND canvas) {
  RetouchState* s = g_state;
  gdi::WindowDC dc(CursorHost(canvas));
  if (dc.get())
    DrawTransparentBitmap(dc.get(), s->brushCursorImage, s->brushCursorX, s->brushCursorY, s->cursorBackColor);
}

void RestoreSaveUnder(HWND canvas) {
  RetouchState* s = g_state;
  if (!s->brushCursorSaveUnder) return;
  gdi::WindowDC dc(CursorHost(canvas));
  if (dc.get()) BlitBitmap(dc.get(), s->brushCursorSaveUnder, s->brushCursorX, s->brushCursorY);
}

// Builds brushCursorImage at the brush's size on screen (the canvas zoom applies).
void BuildCursorImage(HWND canvas) {
  RetouchState* s = g_state;
  gdi::WindowDC cdc(canvas);
  if (!cdc.get()) return;
  POINT size{s->brushWidth, s->brushHeight};
  LPtoDP(cdc.get(), &size, 1);
  // A tiny image on a large canvas would ask for a huge bitmap: never larger than the screen.
  const int w = std::clamp<int>(size.x, 1, std::max(1, GetSystemMetrics(SM_CXSCREEN)));
  const int h = std::clamp<int>(size.y, 1, std::max(1, GetSystemMetrics(SM_CYSCREEN)));
  s->brushCursorImage = CreateCompatibleBitmap(cdc.get(), w, h);
  if (!s->brushCursorImage) return;
  gdi::MemoryDC mem(cdc.get());
  gdi::Select sel(mem.get(), s->brushCursorImage);
  RECT r{0, 0, w, h};
  if (s->currentTool == TOOL_STAMP && s->cloneSample) {
    DibDraw(mem.get(), s->cloneSample, &r, SRCCOPY);
  } else {
    DrawBrushPreview(mem.get(), &r, w, h, FALSE);
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
  if (shown) RestoreSaveUnder(canvas);
  DeleteBitmap(&s->brushCursorSaveUnder);
  DeleteBitmap(&s->brushCursorImage);
  BuildCursorImage(canvas);
  if (shown && s->brushCursorEnabled) {
    SaveUnderAtPointer(canvas);
    if (s->pointerInCanvas) DrawCursorAtSavedPlace(canvas);
  }
}

void ShowBrushCursor(HWND canvas) {
  RetouchState* s = g_state;
  if (!s) return;
  if (s->brushCursorShown <= 0) s->brushCursorShown += 1;
  if (s->brushCursorShown > 0 && s->brushCursorEnabled) {
    // Showing a cursor that is already drawn: put its background back first, or the new
    // save-under would hold the cursor itself and leave a ghost when it hides.
    if (s->brushCursorSaveUnder) RestoreSaveUnder(canvas);
    SaveUnderAtPointer(canvas);
    if (s->pointerInCanvas) DrawCursorAtSavedPlace(canvas);
  }
}

void HideBrushCursor(HWND canvas) {
  RetouchState* s = g_state;
  if (!s) return;
  s->brushCursorShown -= 1;
  RestoreSaveUnder(canvas);
  DeleteBitmap(&s->brushCursorSaveUnder);
}

void MoveBrushCursor(HWND canvas) {
  RetouchState* s = g_state;
  if (!s || s->brushCursorShown <= 0 || !s->brushCursorEnabled) return;
  const SIZE size = BitmapSize(s->brushCursorImage);
  if (size.cx <= 0 || size.cy <= 0) return;
  HWND frame = CursorHost(canvas);
  if (!s->brushCursorSaveUnder) {
    SaveUnderAtPointer(canvas);
    DrawCursorAtSavedPlace(canvas);
    return;
  }
  const POINT p = PointerInFrame(frame);
  const RECT n{p.x - size.cx / 2, p.y - size.cy / 2, p.x - size.cx / 2 + size.cx, p.y - size.cy / 2 + size.cy};
  const RECT o{s->brushCursorX, s->brushCursorY, s->brushCursorX + size.cx, s->brushCursorY + size.cy};
  if (EqualRect(&n, &o)) return;
  RECT both{};
  if (!IntersectRect(&both, &n, &o)) {
    RestoreSaveUnder(canvas);
    SaveUnderAtPointer(canvas);
    DrawCursorAtSavedPlace(canvas);
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

void PaintFrameEdge(HWND frame) {
  SendMessageA(frame, WM_NCACTIVATE, GetActiveWindow() == frame ? 1 : 0, 0);
  RECT wr{};
  GetWindowRect(frame, &wr);
  const frame::EdgeGeometry g =
      frame::FrameEdge(wr.right - wr.left, wr.bottom - wr.top, GetSystemMetrics(SM_CXFRAME),
                       GetSystemMetrics(SM_CYFRAME), GetSystemMetrics(SM_CYCAPTION));
  HDC dc = GetWindowDC(frame);
  if (!dc) return;
  {
    gdi::Owned<HBRUSH> face(CreateSolidBrush(frame::kEdgeFace));
    for (const frame::Band& b : g.bands) {
      RECT r{b.left, b.top, b.right, b.bottom};
      if (face.get()) FillRect(dc, &r, face.get());
    }
    gdi::Owned<HPEN> black(CreatePen(PS_SOLID, 1, frame::kEdgeBlack));
    gdi::Owned<HPEN> grey(CreatePen(PS_SOLID, 1, frame::kEdgeGrey));
    gdi::Owned<HPEN> white(CreatePen(PS_SOLID, 1, frame::kEdgeWhite));
    const HGDIOBJ old = SelectObject(dc, GetStockObject(BLACK_PEN));
    for (const frame::Stroke& st : g.strokes) {
      HPEN pen = st.color == frame::kEdgeBlack ? black.get() : st.color == frame::kEdgeGrey ? grey.get() : white.get();
      if (!pen) continue;
      SelectObject(dc, pen);
      MoveToEx(dc, st.x0, st.y0, nullptr);
      LineTo(dc, st.x1, st.y1);
    }
    SelectObject(dc, old);
  }
  ReleaseDC(frame, dc);
}

void InvalidateLogicalRect(HWND window, const RECT* rect) {
  if (!rect) return;
  gdi::WindowDC dc(window);
  POINT pts[2] = {{rect->left, rect->top}, {rect->right, rect->bottom}};
  if (dc.get()) LPtoDP(dc.get(), pts, 2);
  RECT r{pts[0].x, pts[0].y, pts[1].x, pts[1].y};
  InvalidateRect(window, &r, FALSE);
}

void DrawFocusFrame(HDC dc, const RECT* rect, int nx, int ny) {
  RECT r = *rect;
  for (int i = 0; i < std::min(nx, ny); ++i) {
    DrawFocusRect(dc, &r);
    InflateRect(&r, -1, -1);
  }
}

void DrawButtonFaceRect(HDC dc, const RECT* rect) {
  FillRect(dc, rect, GetSysColorBrush(COLOR_BTNFACE));
  const int oldRop = SetROP2(dc, R2_COPYPEN);
  gdi::Owned<HPEN> light(CreatePen(PS_INSIDEFRAME, 1, GetSysColor(COLOR_BTNHIGHLIGHT)));
  gdi::Owned<HPEN> dark(CreatePen(PS_INSIDEFRAME, 1, GetSysColor(COLOR_BTNSHADOW)));
  const HGDIOBJ old = SelectObject(dc, light.get() ? light.get() : GetStockObject(WHITE_PEN));
  MoveToEx(dc, rect->left, rect->bottom - 1, nullptr);
  LineTo(dc, rect->left, rect->top);
  LineTo(dc, rect->right - 1, rect->top);
  SelectObject(dc, dark.get() ? dark.get() : GetStockObject(BLACK_PEN));
  LineTo(dc, rect->right - 1, rect->bottom - 1);
  LineTo(dc, rect->left, rect->bottom - 1);
  SelectObject(dc, old);
  SetROP2(dc, oldRop);
}

namespace {
// The enumeration hands each property to the callback, which may remove that one property.
BOOL CALLBACK RemoveOneProp(HWND window, LPSTR name, HANDLE, ULONG_PTR) {
  RemovePropA(window, name);
  return TRUE;
}
}  // namespace

void RemoveAllProps(HWND window) { EnumPropsExA(window, RemoveOneProp, 0); }

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

void BlitBitmap(HDC dc, HBITMAP bitmap, int x, int y) {
  const SIZE size = BitmapSize(bitmap);
  if (size.cx <= 0 || size.cy <= 0) return;
  gdi::MemoryDC mem(dc);
  gdi::Select sel(mem.get(), bitmap);
  BitBlt(dc, x, y, size.cx, size.cy, mem.get(), 0, 0, SRCCOPY);
}

void DrawTransparentBitmap(HDC dc, HBITMAP bitmap, int x, int y, COLORREF transparent) {
  const SIZE bm = BitmapSize(bitmap);
  if (bm.cx <= 0 || bm.cy <= 0) return;
  gdi::MemoryDC src(dc);
  gdi::Select srcSel(src.get(), bitmap);
  SetMapMode(src.get(), GetMapMode(dc));
  POINT size{bm.cx, bm.cy};
  DPtoLP(src.get(), &size, 1);
  if (GetDeviceCaps(dc, kCaps1) & kC1Transparent) {
    const int oldMode = SetBkMode(dc, kNewTransparent);
    const COLORREF oldBk = SetBkColor(dc, transparent);
    BitBlt(dc, x, y, size.x, size.y, src.get(), 0, 0, SRCCOPY);
    SetBkColor(dc, oldBk);
    SetBkMode(dc, oldMode);
    return;
  }
  gdi::Owned<HBITMAP> mask(CreateBitmap(bm.cx, bm.cy, 1, 1, nullptr));
  gdi::Owned<HBITMAP> inverse(CreateBitmap(bm.cx, bm.cy, 1, 1, nullptr));
  gdi::Owned<HBITMAP> keep(CreateCompatibleBitmap(dc, bm.cx, bm.cy));
  gdi::Owned<HBITMAP> under(CreateCompatibleBitmap(dc, bm.cx, bm.cy));
  if (!mask.get() || !inverse.get() || !keep.get() || !under.get()) return;
  gdi::MemoryDC maskDc(dc), inverseDc(dc), keepDc(dc), underDc(dc);
  gdi::Select s1(maskDc.get(), mask.get());
  gdi::Select s2(inverseDc.get(), inverse.get());
  gdi::Select s3(keepDc.get(), keep.get());
  gdi::Select s4(underDc.get(), under.get());
  for (HDC m : {maskDc.get(), inverseDc.get(), keepDc.get(), underDc.get()}) SetMapMode(m, GetMapMode(dc));

  // Mask: 1 where the bitmap has the transparent colour.
  const COLORREF oldBk = SetBkColor(src.get(), transparent);
  BitBlt(maskDc.get(), 0, 0, size.x, size.y, src.get(), 0, 0, SRCCOPY);
  SetBkColor(src.get(), oldBk);
  BitBlt(inverseDc.get(), 0, 0, size.x, size.y, maskDc.get(), 0, 0, NOTSRCCOPY);
  BitBlt(keepDc.get(), 0, 0, size.x, size.y, src.get(), 0, 0, SRCCOPY);
  BitBlt(underDc.get(), 0, 0, size.x, size.y, dc, x, y, SRCCOPY);
  // Monochrome sources expand with the destination's colours: 1 = background, 0 = text.
  SetBkColor(underDc.get(), kWhite);
  SetTextColor(underDc.get(), RGB(0, 0, 0));
  SetBkColor(src.get(), kWhite);
  SetTextColor(src.get(), RGB(0, 0, 0));
  BitBlt(underDc.get(), 0, 0, size.x, size.y, maskDc.get(), 0, 0, SRCAND);
  BitBlt(src.get(), 0, 0, size.x, size.y, inverseDc.get(), 0, 0, SRCAND);
  BitBlt(underDc.get(), 0, 0, size.x, size.y, src.get(), 0, 0, SRCPAINT);
  BitBlt(dc, x, y, size.x, size.y, underDc.get(), 0, 0, SRCCOPY);
  BitBlt(src.get(), 0, 0, size.x, size.y, keepDc.get(), 0, 0, SRCCOPY);
}

void DrawBrushPreview(HDC dc, const RECT* rect, int width, int height, BOOL preview) {
  RetouchState* s = g_state;
  if (!s || !dc || !rect) return;
  const bool whiteBrush = s->brushColor == kWhite;
  s->cursorBackColor = whiteBrush ? kCursorGrey : kWhite;
  const bool whiteOnWhite = preview && whiteBrush;
  const bool outlineOnly = s->currentTool == TOOL_OUTLINE && s->brushShape == 0;

  // Made before the saved state: restoring it deselects them before they are deleted.
  gdi::Owned<HBRUSH> back(whiteOnWhite ? nullptr : CreateSolidBrush(s->cursorBackColor));
  gdi::Owned<HBRUSH> paint(CreateSolidBrush(s->brushColor));
  gdi::Owned<HPEN> outline(outlineOnly ? CreatePen(PS_SOLID, 1, whiteBrush ? 0x00FF0000 : s->brushColor) : nullptr);
  gdi::SavedDC saved(dc);
  if (!saved.ok()) return;
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowExtEx(dc, std::max(1, width), std::max(1, height), nullptr);
  SetViewportExtEx(dc, std::max(1, width), std::max(1, height), nullptr);
  SetWindowOrgEx(dc, 0, 0, nullptr);
  SetViewportOrgEx(dc, 0, 0, nullptr);
  // A brush larger than the area (the tool window's preview) stays inside it.
  IntersectClipRect(dc, rect->left, rect->top, rect->right, rect->bottom);

  const HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  if (whiteOnWhite || back.get()) FillRect(dc, rect, whiteOnWhite ? white : back.get());
  SelectObject(dc, GetStockObject(whiteOnWhite ? BLACK_PEN : NULL_PEN));
  SelectObject(dc, paint.get() ? static_cast<HGDIOBJ>(paint.get()) : GetStockObject(NULL_BRUSH));

  const int left = rect->left + (rect->right - rect->left - width) / 2;
  const int top = rect->top + (rect->bottom - rect->top - height) / 2;
  const RECT brush{left, top, left + width, top + height};
  if (width == 1 && height == 1 && s->brushShape != 2) {
    const int cx = (rect->left + rect->right) / 2;
    const int cy = (rect->top + rect->bottom) / 2;
    SelectObject(dc, GetStockObject(BLACK_PEN));
    MoveToEx(dc, cx, cy - 8, nullptr);
    LineTo(dc, cx, cy - 1);
    MoveToEx(dc, cx - 8, cy, nullptr);
    LineTo(dc, cx - 1, cy);
    MoveToEx(dc, cx + 2, cy, nullptr);
    LineTo(dc, cx + 8, cy);
    MoveToEx(dc, cx, cy + 2, nullptr);
    LineTo(dc, cx, cy + 8);
  } else if ((width > 2 && height > 2) || s->brushShape == 2) {
    if (s->brushShape == 0) {
      if (outlineOnly) {
        // The outline brush shows only its circle.
        if (outline.get()) SelectObject(dc, outline.get());
        SelectObject(dc, GetStockObject(NULL_BRUSH));
      }
      Ellipse(dc, brush.left, brush.top, brush.right, brush.bottom);
    } else {
      Rectangle(dc, brush.left, brush.top, brush.right, brush.bottom);
    }
  } else {
    if (whiteOnWhite) FillRect(dc, rect, white);
    if (paint.get()) FillRect(dc, &brush, paint.get());
  }
}
