// The spray timer reapplies the last segment; keys go to the text tool.
#include "retouch/canvas/canvas_input.h"

#include "retouch/canvas/canvas_window.h"
#include "retouch/canvas/strokes.h"
#include "retouch/frame/editor_hooks.h"

void OnCanvasTimer(RetouchState& s, HWND canvas, UINT_PTR timerId) {
  if (timerId != kSprayTimerId) return;
  const Segment& seg = s.lastSegment;
  ApplyStroke(canvas, seg.currentX, seg.currentY, seg.previousX, seg.previousY);
}

void OnCanvasKeyDown(HWND canvas, int virtualKey) { TextKeyDown(canvas, virtualKey); }

void OnCanvasChar(HWND canvas, int character) { TextChar(canvas, character); }
