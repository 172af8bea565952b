// Strokes and undo steps of the open editor: the imaging layer changes the pixels and reports the
// rectangles it touched; this layer invalidates them on the canvas and rebuilds the brush cursor
// when the stamp takes a new sample.
#include "retouch/canvas/strokes.h"

#include "retouch/frame/brush_cursor.h"
#include "retouch/frame/editor_globals.h"
#include "retouch/frame/editor_hooks.h"
#include "retouch/frame/window_utils.h"
#include "retouch/imaging/brushes.h"
#include "retouch/imaging/retouch_history.h"

int ApplyStroke(HWND canvas, int cx, int cy, int px, int py) {
  RetouchState* state = g_state;
  if (!state) return 0;
  RetouchState& s = *state;
  const int tool = s.currentTool;
  if (!IsBrushTool(tool)) return 0;
  const DibHandle image = FrameImage(s);
  if (UsesSample(tool) && !s.cloneSample) {
    // The first application samples what lies under the brush; the stamp paints nothing then.
    TakeCloneSample(s, image, cx, cy);
    RebuildBrushCursor(canvas, FALSE);
    if (tool == TOOL_STAMP) return 1;
  }
  BuildBrushMask(s, s.brushWidth, s.brushHeight);
  if (tool == TOOL_OUTLINE) {
    const RECT r = BrushRectAt(s, tool, px, py);
    ExtendStrokeBounds(s, px, py);
    OutlineDab(canvas, &r);
    InvalidateLogicalRect(canvas, &r);
  } else {
    ApplyStrokeDabs(s, image, cx, cy, px, py, [canvas](const RECT& r) { InvalidateLogicalRect(canvas, &r); });
  }
  UpdateWindow(canvas);
  return 1;
}

int HistoryStep(BOOL back) {
  RetouchState* s = g_state;
  if (!s) return 0;
  RECT changed{};
  const int result = HistoryStep(*s, FrameImage(*s), back, &changed);
  if (result && s->canvasWindow) InvalidateLogicalRect(s->canvasWindow, &changed);
  return result;
}
