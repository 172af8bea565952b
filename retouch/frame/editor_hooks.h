// Behaviour of the selection, the text tool, the image adjustment and the selection library that
// the frame and the canvas call. The selection, with the drop of a library entry, is
// canvas/selection_tool.cpp.
#pragma once

#include <windows.h>

// Selection.
// The lasso tool's press, drag and release on the canvas: `x`, `y` in image coordinates, the
// drag also with the device point (the move, resize and rotation trackers work in device units).
void SelectionPress(HWND canvas, int x, int y);
void SelectionDrag(HWND canvas, int deviceX, int deviceY, int x, int y);
void SelectionRelease(HWND canvas, int deviceX, int deviceY, int x, int y);
// The canvas lost the mouse capture: a lasso being drawn is dropped, a tracker's drag ends
// without a change and its outline goes.
void SelectionCaptureLost(HWND canvas);
// The outline brush: its press (FALSE when the stroke stops there), one dab with the brush
// rectangle in image coordinates (1 when it was applied), and its release.
BOOL OutlinePress(HWND canvas, int x, int y);
int OutlineDab(HWND canvas, const RECT* brush);
void OutlineRelease(HWND canvas);
void DropSelection();             // removes the outline and the floating selection
void DrawSelection(HDC dc);       // outline, floating selection and handles on a canvas DC
BOOL ChooseSelectionCursor(HWND canvas);  // WM_SETCURSOR: TRUE when it set a cursor
void FreeSelectionBlocks();       // every block of the selection state, at the end of the editor

// Text tool.
void TextStart(HWND canvas, int x, int y);  // a press places the text box at image point (x, y)
void TextEnd(HWND canvas);
void TextPaint(HWND canvas, HDC dc);
void TextKeyDown(HWND canvas, int virtualKey);
void TextChar(HWND canvas, int character);
void ChooseTextFont(HWND owner);  // the font dialog of the text tool

// Image adjustment: the modal dialog of the tool window's button 114, placed beside that button
// (`buttonRect`, screen coordinates).
void RunAdjustDialog(HWND toolWindow, const RECT* buttonRect);

// Selection library: the procedure of its modeless window (template 6, library_window.cpp), and
// the drop of a dragged entry at a point of the frame's client area, which loads the file at
// `path` as the floating selection there.
INT_PTR CALLBACK LibraryWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void DropLibrarySelection(const char* path, POINT framePoint);
