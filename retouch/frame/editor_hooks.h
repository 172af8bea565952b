// Behaviour of the brushes, the selection and the text tool that the frame and the canvas call.
// Until each of those lands, editor_hooks_pending.cpp holds a do-nothing version of it; a part
// that lands removes its entries from that file.
#pragma once

#include <windows.h>

// Brushes and history.
void BuildBrushMask(int width, int height);  // rebuilds brushMask for the current tool
void ResetHistory();                         // frees every history patch and the array
int ApplyStroke(HWND canvas, int cx, int cy, int px, int py);

// Selection.
void DropSelection();             // removes the outline and the floating selection
void DrawSelection(HDC dc);       // outline, floating selection and handles on a canvas DC
BOOL ChooseSelectionCursor(HWND canvas);  // WM_SETCURSOR: TRUE when it set a cursor
void FreeSelectionBlocks();       // every block of the selection state, at the end of the editor

// Text tool.
void TextEnd(HWND canvas);
void TextPaint(HWND canvas, HDC dc);
void TextKeyDown(HWND canvas, int virtualKey);
void TextChar(HWND canvas, int character);
