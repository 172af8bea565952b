// The canvas's mouse input by tool. A press on the canvas starts a stroke: the brushes apply
// themselves along every movement and record one undo entry when the button comes up (the stamp
// records at the press); the colour picker reads the pixel under the pointer; the lasso, the
// outline brush and the text tool get their own handlers. Positions arrive in device units and
// are converted with the canvas's own mapping.
#include "retouch/canvas/mouse_tools.h"

#include "retouch/canvas/canvas_window.h"
#include "retouch/canvas/strokes.h"
#include "retouch/frame/brush_cursor.h"
#include "retouch/frame/editor_globals.h"
#include "retouch/frame/editor_hooks.h"
#include "retouch/frame/tool_window.h"
#include "retouch/imaging/brush_ops.h"
#include "retouch/imaging/brushes.h"
#include "retouch/imaging/retouch_history.h"
#include "winkit/gdi_guard.h"

namespace {

// True from a press on the canvas to its release (while the canvas holds the capture): drags
// and releases that no press here began (the button went down elsewhere) neither paint nor
// record.
bool g_strokeActive = false;

POINT ToImage(HWND canvas, int x, int y) {
  POINT p{x, y};
  gdi::WindowDC dc(canvas);
  if (dc.get()) DPtoLP(dc.get(), &p, 1);
  return p;
}

POINT ToDevice(HWND canvas, POINT p) {
  gdi::WindowDC dc(canvas);
  if (dc.get()) LPtoDP(dc.get(), &p, 1);
  return p;
}

DibHandle CanvasDib(HWND canvas) { return static_cast<DibHandle>(CanvasImage(canvas)); }

void ApplyLastSegment(const RetouchState& s, HWND canvas) {
  const Segment& g = s.lastSegment;
  ApplyStroke(canvas, g.currentX, g.currentY, g.previousX, g.previousY);
}

RECT RectOf(const brush::Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// The release: at image point p, device point (dx, dy).
void EndStroke(RetouchState& s, HWND canvas, POINT p, int dx, int dy) {
  g_strokeActive = false;
  const int tool = s.currentTool;
  s.lastSegment = Segment{p.x, p.y, p.x, p.y};
  s.releasePoint = p;
  if (RecordsAtRelease(tool)) {
    const RECT r = RectOf(brush::StrokeRecordRect(s.strokeBounds, s.brushWidth, s.brushHeight, s.brushScale));
    RecordHistory(s, FrameImage(s), &r);
  }
  if (tool == TOOL_SPRAY) KillTimer(canvas, kSprayTimerId);
  if (tool == TOOL_PICKER) RebuildBrushCursor(canvas, TRUE);
  if (tool == TOOL_LASSO) SelectionRelease(canvas, dx, dy, p.x, p.y);
  if (tool == TOOL_OUTLINE) {
    OutlineRelease(canvas);
  } else {
    ShowBrushCursor(canvas);
  }
  if (GetCapture() == canvas) ReleaseCapture();
}

// The colour picker at image point p: a new colour shows in the tool window's preview.
void Pick(RetouchState& s, POINT p) {
  if (PickColor(s, FrameImage(s), p.x, p.y)) InvalidateBrushPreview();
}

}  // namespace

void OnButtonDown(RetouchState& s, HWND canvas, int x, int y) {
  const POINT p = ToImage(canvas, x, y);
  if (!s.pointerInCanvas) return;
  const int tool = s.currentTool;
  SetCapture(canvas);
  g_strokeActive = true;
  s.lastSegment = Segment{p.x, p.y, p.x, p.y};
  s.strokeBounds = StrokeBounds{p.x, p.x, p.y, p.y};
  // The undo patch of the stroke comes from this copy; only the brushes record one.
  if (IsPixelBrush(tool)) RefreshCopy(&s.strokeBefore, CanvasDib(canvas));
  if (tool != TOOL_OUTLINE) HideBrushCursor(canvas);
  switch (tool) {
    case TOOL_SPRAY:
      SetTimer(canvas, kSprayTimerId, static_cast<UINT>(brush::SprayPeriod(s.brushWidth, s.brushHeight)), nullptr);
      break;
    case TOOL_CLONE:
      // Every clone stroke samples again at its first application.
      if (s.cloneSample) GlobalFree(s.cloneSample);
      s.cloneSample = nullptr;
      break;
    case TOOL_PICKER:
      Pick(s, p);
      break;
    case TOOL_TEXT:
      TextStart(canvas, p.x, p.y);
      break;
    case TOOL_LASSO:
      SelectionPress(canvas, p.x, p.y);
      break;
    default:
      break;
  }
  s.pressPoint = p;
  s.releasePoint = p;
  if (tool == TOOL_STAMP && s.cloneSample) {
    const RECT r = RectOf(brush::StampRecordRect(s.strokeBounds, s.brushWidth, s.brushHeight));
    RecordHistory(s, FrameImage(s), &r);
  }
  if (tool == TOOL_OUTLINE && !OutlinePress(canvas, p.x, p.y)) return;
  if (tool == TOOL_LASSO || tool == TOOL_PICKER) return;
  if (tool == TOOL_PAINT) BeginPaintStroke(s, FrameImage(s));
  ApplyLastSegment(s, canvas);
}

void OnMouseMove(RetouchState& s, HWND canvas, WPARAM flags, int x, int y) {
  if (!s.pointerInCanvas) return;
  if (s.brushCursorShown > 0 && s.brushCursorEnabled) MoveBrushCursor(canvas);
  if (!(flags & MK_LBUTTON) || !g_strokeActive || GetCapture() != canvas) return;
  const POINT p = ToImage(canvas, x, y);
  Segment& g = s.lastSegment;
  g.previousX = g.currentX;
  g.previousY = g.currentY;
  g.currentX = p.x;
  g.currentY = p.y;
  switch (s.currentTool) {
    case TOOL_LASSO:
      SelectionDrag(canvas, x, y, p.x, p.y);
      return;
    case TOOL_PICKER:
      Pick(s, p);
      return;
    case TOOL_OUTLINE:
    case TOOL_STAMP:
      return;
    default:
      ApplyLastSegment(s, canvas);
      return;
  }
}

void OnButtonUp(RetouchState& s, HWND canvas, int x, int y) {
  if (!g_strokeActive) return;
  EndStroke(s, canvas, ToImage(canvas, x, y), x, y);
}

void OnCaptureLost(RetouchState& s, HWND canvas) {
  if (!g_strokeActive) return;
  if (s.currentTool == TOOL_LASSO) {
    // A lasso or a drag of the selection ends without a change; nothing of it stays drawn.
    g_strokeActive = false;
    SelectionCaptureLost(canvas);
    ShowBrushCursor(canvas);
    return;
  }
  // The brushes' (the outline brush's too) and the picker's strokes end as at a release.
  if (!(IsBrushTool(s.currentTool) || s.currentTool == TOOL_PICKER)) return;
  const POINT p{s.lastSegment.currentX, s.lastSegment.currentY};
  const POINT d = ToDevice(canvas, p);
  EndStroke(s, canvas, p, d.x, d.y);
}
