// The canvas's input handlers. Editing by tool is not wired in yet: the pointer moves the brush
// cursor, the spray timer reapplies the stroke, keys go to the text tool.
#include "retouch/canvas/canvas_input.h"

#include "retouch/canvas/canvas_window.h"
#include "retouch/frame/brush_cursor.h"
#include "retouch/frame/editor.h"
#include "retouch/frame/editor_hooks.h"

void OnButtonDown(HWND, int, int) {}

void OnMouseMove(HWND canvas, WPARAM, int, int) {
  RetouchState* s = g_state;
  if (!s || !s->pointerInCanvas) return;
  if (s->brushCursorShown > 0 && s->brushCursorEnabled) MoveBrushCursor(canvas);
}

void OnButtonUp(HWND, int, int) {}

void OnCanvasTimer(HWND canvas, UINT_PTR timerId) {
  RetouchState* s = g_state;
  if (!s || timerId != kSprayTimerId) return;
  const Segment& seg = s->lastSegment;
  ApplyStroke(canvas, seg.currentX, seg.currentY, seg.previousX, seg.previousY);
}

void OnCanvasKeyDown(HWND canvas, int virtualKey) { TextKeyDown(canvas, virtualKey); }

void OnCanvasChar(HWND canvas, int character) { TextChar(canvas, character); }
