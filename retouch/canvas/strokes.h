// The canvas's side of the brushes and the retouch history: strokes and undo steps of the open
// editor, with the canvas and the brush cursor brought up to date with what they changed.
#pragma once

#include <windows.h>

// One pointer event of a stroke (Segment: current point cx, cy; previous point px, py) for the
// current tool; 1 when a brush handled it, 0 for other tools.
int ApplyStroke(HWND canvas, int cx, int cy, int px, int py);

// Undo (back) or redo one stroke of the open editor; 1 when the image changed.
int HistoryStep(BOOL back);
