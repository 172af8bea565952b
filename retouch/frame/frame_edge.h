// The editor frame's own window edge: a grey border with black, grey and white lines and the
// sizing notches, painted over the system's; and the outline feedback drawn on the frame over the
// canvas while the floating selection is moved, resized or turned (the trackers), in frame client
// coordinates.
#pragma once

#include <windows.h>

void PaintFrameEdge(HWND frame);

// Draws min(nx, ny) focus rectangles, each one pixel inside the previous: drawing the same frame
// twice removes it.
void DrawFocusFrame(HDC dc, const RECT* rect, int nx, int ny);
// A button face: filled with COLOR_BTNFACE, highlight edges left and top, shadow right and bottom.
void DrawButtonFaceRect(HDC dc, const RECT* rect);

// The trackers take WM_LBUTTONDOWN, WM_MOUSEMOVE and WM_LBUTTONUP with the pointer. The move and
// resize trackers give the final rectangle back in `rect` at the release; the rotation tracker
// leaves `rotationResult` (degrees) in the state record.
void MoveTracker(HWND frame, UINT message, int x, int y, RECT* rect);
// `code` is the handle's hit code (10 to 17); the sides it moves keep minWidth + 6 and
// minHeight + 6 from the opposite ones.
void ResizeTracker(HWND frame, UINT message, int x, int y, RECT* rect, int code, int minWidth, int minHeight);
void RotationTracker(HWND frame, UINT message, int x, int y, RECT* rect);
// Takes away whatever a tracker has drawn and ends its drag (the mouse capture was lost).
void CancelTrackers(HWND frame);
