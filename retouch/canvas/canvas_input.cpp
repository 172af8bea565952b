// The canvas's timer and keyboard input: the spray timer reapplies the stroke, keys go to the text
// tool. The mouse buttons and movements are the tools' (mouse_tools.cpp).
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
