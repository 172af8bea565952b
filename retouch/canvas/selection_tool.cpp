// The lasso tool (116) and the outline brush (115) on the canvas: the lasso drawn with the mouse,
// the floating selection with its frame of handles and buttons, the trackers that move, resize
// and turn it, and its painting. The geometry, the images and the transforms are the portable
// selection model's (retouch/imaging/selection.h); this file converts the mouse, repaints what
// changed and keeps the state record's mirror of the model up to date.
//
// Also the drop of a selection dragged out of the library window onto the canvas.
//
// Not here: the trackers' outline drawing (frame/frame_edge), the library window and its files.
#include <windows.h>

#include <algorithm>
#include <new>

#include "retouch/canvas/canvas_window.h"
#include "retouch/frame/cursor_ids.h"
#include "retouch/frame/editor_globals.h"
#include "retouch/frame/editor_hooks.h"
#include "retouch/frame/frame_edge.h"
#include "retouch/imaging/dib.h"
#include "retouch/imaging/selection.h"
#include "retouch/imaging/selection_io.h"
#include "winkit/gdi_guard.h"

static_assert(sizeof(POINT) == sizeof(sel::Point), "outline points are POINT pairs");

namespace {

sel::Selection* Model() {
  RetouchState* s = g_state;
  if (!s) return nullptr;
  if (!s->selection) s->selection = new (std::nothrow) sel::Selection;
  return s->selection;
}

sel::Rect Union(const sel::Rect& a, const sel::Rect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return sel::Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

RECT ToRect(const sel::Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// The frame metrics, the handle band converted to image units on the canvas.
sel::Metrics MetricsOf(HWND canvas) {
  const int fx = GetSystemMetrics(SM_CXFRAME), fy = GetSystemMetrics(SM_CYFRAME);
  POINT band[2] = {{0, 0}, {2 * fx, 2 * fy}};
  gdi::WindowDC dc(canvas);
  if (dc.get()) DPtoLP(dc.get(), band, 2);
  return sel::Metrics{fx, fy, std::max<LONG>(1, band[1].x - band[0].x), std::max<LONG>(1, band[1].y - band[0].y)};
}

// The canvas's client area in image coordinates.
sel::Rect ClientInImage(HWND canvas) {
  RECT rc{};
  GetClientRect(canvas, &rc);
  POINT p[2] = {{rc.left, rc.top}, {rc.right, rc.bottom}};
  gdi::WindowDC dc(canvas);
  if (dc.get()) DPtoLP(dc.get(), p, 2);
  return sel::Rect{p[0].x, p[0].y, p[1].x, p[1].y};
}

int ImageHeight(HWND canvas) {
  int w = 0, h = 0, bits = 0;
  return DibGetInfo(CanvasImage(canvas), &w, &h, &bits) ? h : 0;
}

// Invalidates an image rectangle grown by one device pixel, without erasing.
void InvalidateImageRect(HWND canvas, const sel::Rect& r) {
  if (r.Empty()) return;
  POINT p[2] = {{r.left, r.top}, {r.right, r.bottom}};
  {
    gdi::WindowDC dc(canvas);
    if (dc.get()) LPtoDP(dc.get(), p, 2);
  }
  RECT d{p[0].x - 1, p[0].y - 1, p[1].x + 1, p[1].y + 1};
  InvalidateRect(canvas, &d, FALSE);
}

void Repaint(HWND canvas, const sel::Rect& a, const sel::Rect& b) {
  InvalidateImageRect(canvas, a);
  InvalidateImageRect(canvas, b);
  UpdateWindow(canvas);
}

// The state record's copy of what the model holds.
void Mirror() {
  RetouchState* s = g_state;
  const sel::Selection* m = s ? s->selection : nullptr;
  if (!m) return;
  s->rowCount = m->rowCount;
  s->outlineCount = static_cast<int32_t>(m->outline.size());
  s->lassoFirst = POINT{m->lassoFirst.x, m->lassoFirst.y};
  s->lassoLast = POINT{m->lassoLast.x, m->lassoLast.y};
  s->selectionRect = ToRect(m->selectionRect);
  s->handleZone = ToRect(m->handleZone);
  s->shownSelectionRect = ToRect(m->shownSelectionRect);
  s->shownHandleZone = ToRect(m->shownHandleZone);
  for (int i = 0; i < kHandleRectCount; ++i) s->handleRects[i] = ToRect(m->handleRects[i]);
  s->completedRect = ToRect(m->completedRect);
  s->floatActive = m->floatActive ? 1 : 0;
  s->rotationAngle = m->rotationAngle;
  s->rotBaseRect = ToRect(m->rotBase.rect);
  s->rotBaseCount = static_cast<int32_t>(m->rotBase.points.size());
  s->sizeBaseRect = ToRect(m->sizeBase.rect);
  s->sizeBaseCount = static_cast<int32_t>(m->sizeBase.points.size());
  s->toneOffset = m->adjust.toneOffset;
  s->toneSlope = m->adjust.toneSlope;
  s->saturationValue = m->adjust.saturationValue;
  s->hueShift = m->adjust.hueShift;
  s->whitenPasses = m->adjust.whitenPasses;
  s->pushRect = ToRect(m->pushRect);
  s->pushBaseRect = ToRect(m->pushBaseRect);
  s->pushStartedOutside = m->pushStartedOutside ? 1 : 0;
  s->selectionReshaped = m->selectionReshaped ? 1 : 0;
}

// A rectangle of image coordinates on the canvas in the frame's client coordinates.
RECT ImageToFrame(HWND canvas, const sel::Rect& r) {
  POINT p[2] = {{r.left, r.top}, {r.right, r.bottom}};
  {
    gdi::WindowDC dc(canvas);
    if (dc.get()) LPtoDP(dc.get(), p, 2);
  }
  MapWindowPoints(canvas, GetParent(canvas), p, 2);
  return RECT{p[0].x, p[0].y, p[1].x, p[1].y};
}

sel::Rect FrameToImage(HWND canvas, const RECT& r) {
  POINT p[2] = {{r.left, r.top}, {r.right, r.bottom}};
  MapWindowPoints(GetParent(canvas), canvas, p, 2);
  gdi::WindowDC dc(canvas);
  if (dc.get()) DPtoLP(dc.get(), p, 2);
  return sel::Rect{p[0].x, p[0].y, p[1].x, p[1].y};
}

POINT DeviceToFrame(HWND canvas, int x, int y) {
  POINT p{x, y};
  MapWindowPoints(canvas, GetParent(canvas), &p, 1);
  return p;
}

// The rectangle the drag began with, in frame coordinates: a release that gives it back (a click
// without motion) changes nothing, however the view rounds.
RECT g_pressedRect{};

// ---- Drawing ---------------------------------------------------------------------------------

void DrawOutline(HDC dc, const POINT* points, int count) {
  if (count < 2) return;
  gdi::Owned<HPEN> pen(CreatePen(PS_DOT, 0, RGB(255, 255, 255)));
  gdi::Select use(dc, pen.get());
  const COLORREF oldBk = SetBkColor(dc, RGB(0, 0, 0));
  const int oldMode = SetBkMode(dc, OPAQUE);
  Polyline(dc, points, count);
  SetBkMode(dc, oldMode);
  SetBkColor(dc, oldBk);
}

void DrawDib(HDC dc, const uint8_t* block, int x, int y, int w, int h, int srcX, int srcY, DWORD rop) {
  const auto* info = reinterpret_cast<const BITMAPINFO*>(block);
  const int height = info->bmiHeader.biHeight;
  // Rows are bottom-up: the source's y counts from the bottom.
  StretchDIBits(dc, x, y, w, h, srcX, height - srcY - h, w, h, block + info->bmiHeader.biSize, info, DIB_RGB_COLORS,
                rop);
}

// The picture under `over`, the mask cleared into it and the selection painted over it, in one
// blit.
void ComposeSelection(HWND canvas, HDC dc, const sel::Selection& m, const sel::Rect& over) {
  const int w = over.Width(), h = over.Height();
  if (w <= 0 || h <= 0 || !m.selectionImage.exists() || !m.selectionMask.exists()) return;
  DibLock image(CanvasImage(canvas));
  if (!image.ok()) return;
  gdi::MemoryDC memory(dc);
  gdi::Owned<HBITMAP> bitmap(CreateCompatibleBitmap(dc, w, h));
  if (!memory.get() || !bitmap.get()) return;
  gdi::Select use(memory.get(), bitmap.get());
  const int oldMode = SetStretchBltMode(memory.get(), COLORONCOLOR);
  PatBlt(memory.get(), 0, 0, w, h, BLACKNESS);
  StretchDIBits(memory.get(), 0, 0, w, h, over.left, image.view().height - over.bottom, w, h, image.view().bits,
                reinterpret_cast<const BITMAPINFO*>(image.header()), DIB_RGB_COLORS, SRCCOPY);
  const int ox = m.selectionRect.left - over.left, oy = m.selectionRect.top - over.top;
  const int sw = m.selectionImage.width(), sh = m.selectionImage.height();
  DrawDib(memory.get(), m.selectionMask.block(), ox, oy, sw, sh, 0, 0, SRCAND);
  DrawDib(memory.get(), m.selectionImage.block(), ox, oy, sw, sh, 0, 0, SRCPAINT);
  const int old = SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, over.left, over.top, w, h, memory.get(), 0, 0, w, h, SRCCOPY);
  SetStretchBltMode(dc, old);
  SetStretchBltMode(memory.get(), oldMode);
}

const RECT& HandleRect(const sel::Selection& m, int code, RECT* out) {
  for (int i = 0; i < sel::kHandleCount; ++i)
    if (sel::kHandleCodes[i] == code) *out = ToRect(m.handleRects[i]);
  return *out;
}

void DrawHandles(HDC dc, const sel::Selection& m) {
  const RECT frame = ToRect(m.shownSelectionRect);
  {
    const int oldRop = SetROP2(dc, R2_NOT);
    gdi::Owned<HPEN> pen(CreatePen(PS_INSIDEFRAME, 2, RGB(0, 0, 0)));
    gdi::Select usePen(dc, pen.get());
    gdi::Select useBrush(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, frame.left, frame.top, frame.right, frame.bottom);
    SetROP2(dc, oldRop);
  }
  RECT r{};
  DrawButtonFaceRect(dc, &HandleRect(m, sel::kHitDrop, &r));
  // A cross of five cells of a three by three grid.
  InflateRect(&r, -5, -1);
  const int cw = (r.right - r.left) / 3, ch = (r.bottom - r.top) / 3;
  for (int cell : {0, 2, 4, 6, 8}) {
    PatBlt(dc, r.left + (cell % 3) * cw, r.top + (cell / 3) * ch, cw, ch, BLACKNESS);
  }
  {
    gdi::Select white(dc, GetStockObject(WHITE_BRUSH));
    for (int code : {13, 14, 16, 17}) {
      HandleRect(m, code, &r);
      PatBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, PATCOPY);
    }
  }
  for (int code : {3, 7, 6, 9, 8, 101, 102, 103, 104, 105, 106, 107, 108, 110}) DrawButtonFaceRect(dc, &HandleRect(m, code, &r));
}

void DrawModel(HWND canvas, HDC dc, const sel::Selection& m) {
  if (m.outline.empty()) return;
  if (!m.selectionRect.Empty()) {
    // While the outline brush pushes outward, over its working rectangle.
    const bool pushed = m.outlineStroke && !m.pushStartedOutside;
    ComposeSelection(canvas, dc, m, pushed ? Union(m.pushRect, m.selectionRect) : m.selectionRect);
  }
  DrawOutline(dc, reinterpret_cast<const POINT*>(m.outline.data()), static_cast<int>(m.outline.size()));
  if (!m.shownSelectionRect.Empty()) DrawHandles(dc, m);
}

// Cursor resources of the handles and buttons, by hit code.
int HandleCursorId(int code) {
  switch (code) {
    case sel::kHitMove: return CURSOR_MOVE;
    case sel::kHitStamp: return CURSOR_STAMP;
    case sel::kHitMirrorLeftRight: return CURSOR_MIRROR_LEFT_RIGHT;
    case sel::kHitMirrorTopBottom: return CURSOR_MIRROR_TOP_BOTTOM;
    case sel::kHitToneOffsetUp: return CURSOR_TONE_UP;
    case sel::kHitToneOffsetDown: return CURSOR_TONE_DOWN;
    case sel::kHitRotate: return CURSOR_ROTATE;
    case sel::kHitHueDown: return CURSOR_HUE_DOWN;
    case sel::kHitHueUp: return CURSOR_HUE_UP;
    case sel::kHitSaturationDown: return CURSOR_SATURATION_DOWN;
    case sel::kHitSaturationUp: return CURSOR_SATURATION_UP;
    case sel::kHitToneSlopeDown: return CURSOR_SLOPE_DOWN;
    case sel::kHitToneSlopeUp: return CURSOR_SLOPE_UP;
    case sel::kHitWhitenUp: return CURSOR_WHITEN_MORE;
    case sel::kHitDrop: return CURSOR_DROP_SELECTION;
    case sel::kHitWhitenDown: return CURSOR_WHITEN_LESS;
    default: return 0;
  }
}

void Stamp(HWND canvas, const sel::Selection& m) {
  DibLock image(CanvasImage(canvas));
  if (image.ok()) sel::StampSelection(m, image.view());
}

// Minimum sizes of a resize, as the canvas passes them to the tracker.
int MinResizeWidth() { return 6 * GetSystemMetrics(SM_CXFRAME) + 9; }
int MinResizeHeight() { return 4 * GetSystemMetrics(SM_CYFRAME) + 3; }

}  // namespace

void SelectionPress(HWND canvas, int x, int y) {
  RetouchState* s = g_state;
  sel::Selection* m = Model();
  if (!s || !m) return;
  const sel::Metrics metrics = MetricsOf(canvas);
  const int code = sel::HitTestSelection(*m, x, y, metrics);
  s->activeHandle = 0;
  if (code == sel::kHitNone) {
    if (!m->floatActive) {
      const sel::Rect before = sel::DrawnArea(*m);
      sel::StartLasso(*m, x, y, ClientInImage(canvas), ImageHeight(canvas), sel::Clamp::kCanvas);
      Repaint(canvas, before, sel::Rect{});
    }
    Mirror();
    return;
  }
  HWND frame = GetParent(canvas);
  RECT rect = ImageToFrame(canvas, m->selectionRect);
  const sel::Rect at{x, y, x, y};
  const RECT pressed = ImageToFrame(canvas, at);
  s->canvasModeFlag = 0;
  s->activeHandle = code;
  const sel::Rect before = sel::DrawnArea(*m);
  switch (code) {
    case sel::kHitMove:
      s->canvasModeFlag = 1;
      g_pressedRect = rect;
      MoveTracker(frame, WM_LBUTTONDOWN, pressed.left, pressed.top, &rect);
      break;
    case sel::kHitLeft: case sel::kHitRight: case sel::kHitTop: case sel::kHitTopLeft:
    case sel::kHitTopRight: case sel::kHitBottom: case sel::kHitBottomLeft: case sel::kHitBottomRight:
      s->canvasModeFlag = 1;
      g_pressedRect = rect;
      ResizeTracker(frame, WM_LBUTTONDOWN, pressed.left, pressed.top, &rect, code, MinResizeWidth(), MinResizeHeight());
      break;
    case sel::kHitRotate:
      RotationTracker(frame, WM_LBUTTONDOWN, pressed.left, pressed.top, &rect);
      break;
    case sel::kHitDrop:
      DropSelection();
      return;
    case sel::kHitStamp:
      Stamp(canvas, *m);
      Repaint(canvas, before, sel::Rect{});
      break;
    case sel::kHitMirrorLeftRight:
    case sel::kHitMirrorTopBottom:
      sel::MirrorSelection(*m, code == sel::kHitMirrorTopBottom, metrics);
      Repaint(canvas, before, sel::DrawnArea(*m));
      break;
    default:
      if (sel::AdjustSelection(*m, code)) Repaint(canvas, before, sel::Rect{});
      break;
  }
  Mirror();
}

void SelectionDrag(HWND canvas, int deviceX, int deviceY, int x, int y) {
  RetouchState* s = g_state;
  sel::Selection* m = s ? s->selection : nullptr;
  if (!m) return;
  const POINT f = DeviceToFrame(canvas, deviceX, deviceY);
  if (s->rotating) {
    RotationTracker(GetParent(canvas), WM_MOUSEMOVE, f.x, f.y, &s->dragRect);
  } else if (s->canvasModeFlag) {
    if (s->activeHandle == sel::kHitMove) {
      MoveTracker(GetParent(canvas), WM_MOUSEMOVE, f.x, f.y, &s->dragRect);
    } else {
      ResizeTracker(GetParent(canvas), WM_MOUSEMOVE, f.x, f.y, &s->dragRect, s->activeHandle, MinResizeWidth(),
                    MinResizeHeight());
    }
  } else if (s->activeHandle == 0) {
    // Only the new segment is drawn; a repaint draws the whole outline.
    const int first = sel::ExtendLasso(*m, x, y, ClientInImage(canvas), sel::Clamp::kCanvas);
    if (first > 0) {
      gdi::WindowDC dc(canvas);
      if (dc.get())
        DrawOutline(dc.get(), reinterpret_cast<const POINT*>(m->outline.data()) + first - 1,
                    static_cast<int>(m->outline.size()) - first + 1);
    }
    Mirror();
  }
}

void SelectionRelease(HWND canvas, int, int, int x, int y) {
  RetouchState* s = g_state;
  sel::Selection* m = s ? s->selection : nullptr;
  if (!m) return;
  const sel::Metrics metrics = MetricsOf(canvas);
  const sel::Rect before = sel::DrawnArea(*m);
  HWND frame = GetParent(canvas);
  if (s->rotating) {
    RECT r = s->dragRect;
    POINT p{x, y};
    {
      gdi::WindowDC dc(canvas);
      if (dc.get()) LPtoDP(dc.get(), &p, 1);
    }
    MapWindowPoints(canvas, frame, &p, 1);
    RotationTracker(frame, WM_LBUTTONUP, p.x, p.y, &r);
    int w = 0, h = 0, bits = 0;
    if (s->rotationResult != 0 && DibGetInfo(CanvasImage(canvas), &w, &h, &bits))
      sel::RotateSelection(*m, s->rotationResult, w, h, metrics);
    s->activeHandle = 0;
  } else if (s->canvasModeFlag) {
    RECT r = s->dragRect;
    POINT p{x, y};
    {
      gdi::WindowDC dc(canvas);
      if (dc.get()) LPtoDP(dc.get(), &p, 1);
    }
    MapWindowPoints(canvas, frame, &p, 1);
    if (s->activeHandle == sel::kHitMove) {
      MoveTracker(frame, WM_LBUTTONUP, p.x, p.y, &r);
    } else {
      ResizeTracker(frame, WM_LBUTTONUP, p.x, p.y, &r, s->activeHandle, MinResizeWidth(), MinResizeHeight());
    }
    // A release where the drag began changes nothing, however the view rounds the rectangle.
    if (!EqualRect(&r, &g_pressedRect)) {
      const sel::Rect n = FrameToImage(canvas, r);
      if (s->activeHandle == sel::kHitMove) {
        sel::MoveSelection(*m, n.left - m->selectionRect.left, n.top - m->selectionRect.top, metrics);
      } else {
        sel::ResizeSelection(*m, n, metrics);
      }
    }
    s->activeHandle = 0;
    s->canvasModeFlag = 0;
  } else if (s->activeHandle != 0) {
    s->activeHandle = 0;
  } else if (m->drawing) {
    DibLock image(CanvasImage(canvas));
    sel::CloseLasso(*m, x, y, ClientInImage(canvas), image.ok() ? image.view() : dib::View{}, metrics);
  }
  Repaint(canvas, before, sel::DrawnArea(*m));
  Mirror();
}

void SelectionCaptureLost(HWND canvas) {
  RetouchState* s = g_state;
  sel::Selection* m = s ? s->selection : nullptr;
  if (!m) return;
  // The tracker's outline goes and no drag stays half done; a lasso being drawn is dropped.
  CancelTrackers(GetParent(canvas));
  s->activeHandle = 0;
  s->canvasModeFlag = 0;
  if (m->drawing) DropSelection();
  Mirror();
}

BOOL OutlinePress(HWND canvas, int x, int y) {
  sel::Selection* m = g_state ? g_state->selection : nullptr;
  if (!m) return FALSE;
  const sel::Rect before = sel::DrawnArea(*m);
  const bool accepted = sel::BeginOutlineStroke(*m, x, y);
  // The handles go while the outline is pushed.
  if (accepted) Repaint(canvas, before, sel::Rect{});
  Mirror();
  return accepted ? TRUE : FALSE;
}

int OutlineDab(HWND canvas, const RECT* brush) {
  sel::Selection* m = g_state ? g_state->selection : nullptr;
  int w = 0, h = 0, bits = 0;
  if (!m || !brush || !m->outlineStroke || !DibGetInfo(CanvasImage(canvas), &w, &h, &bits)) return 0;
  // The disc of the dab's part on the image.
  const RECT c{std::max<LONG>(brush->left, 0), std::max<LONG>(brush->top, 0), std::min<LONG>(brush->right, w),
               std::min<LONG>(brush->bottom, h)};
  if (c.right <= c.left || c.bottom <= c.top) return 0;
  const sel::Rect before = sel::DrawnArea(*m);
  switch (sel::OutlineDab(*m, (c.left + c.right) / 2, (c.top + c.bottom) / 2, (c.right - c.left) / 2, w, h)) {
    case sel::DabResult::kDrop:
      DropSelection();
      return 1;
    case sel::DabResult::kReshaped:
      Repaint(canvas, before, sel::DrawnArea(*m));
      break;
    case sel::DabResult::kNothing:
      break;
  }
  Mirror();
  return 1;
}

void OutlineRelease(HWND canvas) {
  sel::Selection* m = g_state ? g_state->selection : nullptr;
  if (!m || !m->outlineStroke) return;  // only after an accepted press
  const sel::Rect before = sel::DrawnArea(*m);
  {
    DibLock image(CanvasImage(canvas));
    sel::RederiveSelection(*m, image.ok() ? image.view() : dib::View{}, MetricsOf(canvas));
  }
  Repaint(canvas, before, sel::DrawnArea(*m));
  Mirror();
}

void DropSelection() {
  RetouchState* s = g_state;
  sel::Selection* m = s ? s->selection : nullptr;
  if (!m) return;
  const sel::Rect before = sel::DrawnArea(*m);
  sel::DropSelection(*m);
  if (s->canvasWindow) Repaint(s->canvasWindow, before, sel::Rect{});
  Mirror();
}

void DropLibrarySelection(const char* path, POINT framePoint) {
  RetouchState* s = g_state;
  sel::Selection* m = Model();
  HWND canvas = s ? s->canvasWindow : nullptr;
  int w = 0, h = 0, bits = 0;
  if (!m || !canvas || !path || !DibGetInfo(CanvasImage(canvas), &w, &h, &bits)) return;
  POINT at = framePoint;
  MapWindowPoints(GetParent(canvas), canvas, &at, 1);
  {
    gdi::WindowDC dc(canvas);
    if (dc.get()) DPtoLP(dc.get(), &at, 1);
  }
  // Loaded and placed before the current selection goes: a file that cannot be loaded there
  // (not a selection file, or larger than the image with a pixel to spare) changes nothing.
  sel::Image image, mask;
  const sel::Rect before = sel::DrawnArea(*m);
  if (!ReadSelectionFile(path, w - 2, h - 2, &image, &mask) ||
      !sel::PlaceLoadedSelection(*m, image, mask, at.x, at.y, w, h, MetricsOf(canvas)))
    return;
  Repaint(canvas, before, sel::DrawnArea(*m));
  Mirror();
  // The lasso becomes the tool as if picked: its cursor and button, the brush cursor hidden.
  if (s->toolWindow) {
    SendMessageA(s->toolWindow, WM_COMMAND, MAKEWPARAM(TOOL_LASSO, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(s->toolWindow, TOOL_LASSO)));
  } else {
    s->currentTool = TOOL_LASSO;
  }
}

void DrawSelection(HDC dc) {
  const RetouchState* s = g_state;
  if (s && s->selection && s->canvasWindow) DrawModel(s->canvasWindow, dc, *s->selection);
}

BOOL ChooseSelectionCursor(HWND canvas) {
  const RetouchState* s = g_state;
  const sel::Selection* m = s ? s->selection : nullptr;
  if (!m || m->selectionRect.Empty() || s->currentTool == TOOL_OUTLINE) return FALSE;
  POINT p{};
  GetCursorPos(&p);
  ScreenToClient(canvas, &p);
  {
    gdi::WindowDC dc(canvas);
    if (dc.get()) DPtoLP(dc.get(), &p, 1);
  }
  const int code = sel::HitTestSelection(*m, p.x, p.y, MetricsOf(canvas));
  if (code == sel::kHitNone) return FALSE;
  HCURSOR cursor = nullptr;
  switch (code) {
    case sel::kHitLeft: case sel::kHitRight: cursor = LoadCursorA(nullptr, IDC_SIZEWE); break;
    case sel::kHitTop: case sel::kHitBottom: cursor = LoadCursorA(nullptr, IDC_SIZENS); break;
    case sel::kHitTopLeft: case sel::kHitBottomRight: cursor = LoadCursorA(nullptr, IDC_SIZENWSE); break;
    case sel::kHitTopRight: case sel::kHitBottomLeft: cursor = LoadCursorA(nullptr, IDC_SIZENESW); break;
    default: cursor = LoadCursorA(g_cursorModule, MAKEINTRESOURCEA(HandleCursorId(code))); break;
  }
  if (cursor) SetCursor(cursor);
  return TRUE;
}

void FreeSelectionBlocks() {
  RetouchState* s = g_state;
  if (s && s->selection) {
    delete s->selection;
    s->selection = nullptr;
  }
  sel::Image::ReleaseCache();
}
