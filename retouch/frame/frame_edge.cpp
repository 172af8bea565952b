// The frame's edge is painted on the whole window's device context after the system has drawn
// the caption (WM_NCACTIVATE); the bands and lines come from frame_geometry. The trackers draw on
// the frame's client device context, which the canvas does not clip, and invert what is under
// them, so drawing again erases.
#include "retouch/frame/frame_edge.h"

#include <algorithm>
#include <iterator>

#include "retouch/frame/brush_cursor.h"
#include "retouch/frame/editor_globals.h"
#include "retouch/frame/frame_geometry.h"
#include "retouch/imaging/selection.h"
#include "winkit/gdi_guard.h"

void PaintFrameEdge(HWND frame) {
  SendMessageA(frame, WM_NCACTIVATE, GetActiveWindow() == frame ? 1 : 0, 0);
  RECT wr{};
  GetWindowRect(frame, &wr);
  const frame::EdgeGeometry g =
      frame::FrameEdge(wr.right - wr.left, wr.bottom - wr.top, GetSystemMetrics(SM_CXFRAME),
                       GetSystemMetrics(SM_CYFRAME), GetSystemMetrics(SM_CYCAPTION));
  gdi::WholeWindowDC dc(frame);
  if (!dc) return;
  gdi::Owned<HBRUSH> face(CreateSolidBrush(frame::kEdgeFace));
  for (const frame::Band& b : g.bands) {
    RECT r{b.left, b.top, b.right, b.bottom};
    if (face) FillRect(dc.get(), &r, face.get());
  }
  gdi::Owned<HPEN> black(CreatePen(PS_SOLID, 1, frame::kEdgeBlack));
  gdi::Owned<HPEN> grey(CreatePen(PS_SOLID, 1, frame::kEdgeGrey));
  gdi::Owned<HPEN> white(CreatePen(PS_SOLID, 1, frame::kEdgeWhite));
  // Declared after the pens: the DC's own pen is back before they are deleted.
  gdi::Select restore(dc.get(), GetStockObject(BLACK_PEN));
  for (const frame::Stroke& st : g.strokes) {
    HPEN pen = st.color == frame::kEdgeBlack ? black.get() : st.color == frame::kEdgeGrey ? grey.get() : white.get();
    if (!pen) continue;
    SelectObject(dc.get(), pen);
    MoveToEx(dc.get(), st.x0, st.y0, nullptr);
    LineTo(dc.get(), st.x1, st.y1);
  }
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

// What the trackers have drawn, so that a lost capture can take it away.
bool g_frameShown = false;
bool g_turnShown = false;
bool g_referenceShown = false;
POINT g_turned[5];
POINT g_reference[5];

sel::Rect FromRect(const RECT& r) { return sel::Rect{r.left, r.top, r.right, r.bottom}; }
RECT ToRect(const sel::Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

HWND CanvasOf(HWND frame) { return g_state ? g_state->canvasWindow : GetDlgItem(frame, IDC_CANVAS); }

void ToggleFrame(HWND frame) {
  gdi::WindowDC dc(frame);
  if (dc.get()) DrawFocusFrame(dc.get(), &g_state->dragRect, 3, 3);
  g_frameShown = !g_frameShown;
}

// A closed outline of four corners in a dotted pen that inverts what is under it.
void InvertOutline(HWND frame, const POINT* points) {
  gdi::WindowDC dc(frame);
  if (!dc.get()) return;
  const int oldRop = SetROP2(dc.get(), R2_NOT);
  const int oldMode = SetBkMode(dc.get(), OPAQUE);
  const COLORREF oldBk = SetBkColor(dc.get(), RGB(0, 0, 0));
  gdi::Owned<HPEN> pen(CreatePen(PS_DOT, 0, RGB(0, 0, 0)));
  gdi::Select use(dc.get(), pen.get());
  Polyline(dc.get(), points, 5);
  SetBkColor(dc.get(), oldBk);
  SetBkMode(dc.get(), oldMode);
  SetROP2(dc.get(), oldRop);
}

void ToggleTurn(HWND frame) {
  InvertOutline(frame, g_turned);
  g_turnShown = !g_turnShown;
}

void EraseTurn(HWND frame) {
  if (g_turnShown) ToggleTurn(frame);
  if (g_referenceShown) InvertOutline(frame, g_reference);
  g_referenceShown = false;
}

void Corners(const RECT& r, POINT* out) {
  const POINT c[5] = {{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}, {r.left, r.top}};
  std::copy(std::begin(c), std::end(c), out);
}

RECT ClientOf(HWND frame) {
  RECT c{};
  GetClientRect(frame, &c);
  return c;
}

void EndDrag(HWND frame) {
  if (GetCapture()) ReleaseCapture();
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  if (HWND canvas = CanvasOf(frame)) ShowBrushCursor(canvas);
}

}  // namespace

void MoveTracker(HWND frame, UINT message, int x, int y, RECT* rect) {
  RetouchState* s = g_state;
  if (!s || !rect) return;
  const int fx = GetSystemMetrics(SM_CXFRAME), fy = GetSystemMetrics(SM_CYFRAME);
  switch (message) {
    case WM_LBUTTONDOWN:
      if (HWND canvas = CanvasOf(frame)) HideBrushCursor(canvas);
      s->dragRect = *rect;
      s->dragGrabX = x - rect->left;
      s->dragGrabY = y - rect->top;
      ToggleFrame(frame);
      break;
    case WM_MOUSEMOVE:
      if (g_frameShown) ToggleFrame(frame);
      s->dragRect = ToRect(sel::TrackMove(FromRect(s->dragRect), x, y, s->dragGrabX, s->dragGrabY, FromRect(ClientOf(frame)), fx, fy));
      ToggleFrame(frame);
      break;
    case WM_LBUTTONUP:
      if (g_frameShown) ToggleFrame(frame);
      *rect = s->dragRect;
      EndDrag(frame);
      break;
    default:
      break;
  }
}

void ResizeTracker(HWND frame, UINT message, int x, int y, RECT* rect, int code, int minWidth, int minHeight) {
  RetouchState* s = g_state;
  if (!s || !rect) return;
  const int fx = GetSystemMetrics(SM_CXFRAME), fy = GetSystemMetrics(SM_CYFRAME);
  switch (message) {
    case WM_LBUTTONDOWN: {
      if (HWND canvas = CanvasOf(frame)) HideBrushCursor(canvas);
      s->dragRect = *rect;
      int gx = 0, gy = 0;
      sel::ResizeGrab(FromRect(*rect), code, x, y, &gx, &gy);
      s->dragGrabX = gx;
      s->dragGrabY = gy;
      ToggleFrame(frame);
      break;
    }
    case WM_MOUSEMOVE:
      if (g_frameShown) ToggleFrame(frame);
      s->dragRect = ToRect(sel::TrackResize(FromRect(s->dragRect), code, x, y, s->dragGrabX, s->dragGrabY, minWidth, minHeight,
                                            FromRect(ClientOf(frame)), fx, fy));
      ToggleFrame(frame);
      break;
    case WM_LBUTTONUP:
      if (g_frameShown) ToggleFrame(frame);
      *rect = s->dragRect;
      EndDrag(frame);
      break;
    default:
      break;
  }
}

void RotationTracker(HWND frame, UINT message, int x, int y, RECT* rect) {
  RetouchState* s = g_state;
  if (!s || !rect) return;
  const POINT c = s->rotationCentre;
  switch (message) {
    case WM_LBUTTONDOWN:
      s->rotating = 1;
      s->dragRect = *rect;
      s->rotationCentre = POINT{(rect->left + rect->right) / 2, (rect->top + rect->bottom) / 2};
      s->rotationStart = sel::PointAngle(s->rotationCentre.x, s->rotationCentre.y, x, y);
      Corners(*rect, g_reference);
      break;
    case WM_MOUSEMOVE: {
      if (!s->rotating) break;
      // The unturned rectangle stays as the reference from the first movement on.
      if (!g_referenceShown) {
        InvertOutline(frame, g_reference);
        g_referenceShown = true;
      }
      if (g_turnShown) ToggleTurn(frame);
      const double theta = sel::PointAngle(c.x, c.y, x, y) - s->rotationStart;
      POINT corners[5];
      Corners(s->dragRect, corners);
      for (int i = 0; i < 4; ++i) {
        const sel::Point p = sel::TurnPoint(c.x, c.y, corners[i].x, corners[i].y, theta);
        g_turned[i] = POINT{p.x, p.y};
      }
      g_turned[4] = g_turned[0];
      ToggleTurn(frame);
      break;
    }
    case WM_LBUTTONUP:
      EraseTurn(frame);
      s->rotationResult = s->rotating ? sel::RotationDegrees(s->rotationStart, c.x, c.y, x, y) : 0;
      s->rotating = 0;
      break;
    default:
      break;
  }
}

void CancelTrackers(HWND frame) {
  if (!g_state) return;
  if (g_frameShown) ToggleFrame(frame);
  EraseTurn(frame);
  g_state->rotating = 0;
  g_state->rotationResult = 0;
}
