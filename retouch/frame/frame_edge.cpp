// The frame's edge is painted on the whole window's device context after the system has drawn
// the caption (WM_NCACTIVATE); the bands and lines come from frame_geometry.
#include "retouch/frame/frame_edge.h"

#include "retouch/frame/frame_geometry.h"
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
