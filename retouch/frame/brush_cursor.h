// The software brush cursor drawn over the canvas on the frame's device context, the frame's own
// edge, and small drawing and window utilities shared by the editor's windows.
#pragma once

#include <windows.h>

void RebuildBrushCursor(HWND canvas, BOOL freeSample);
void ShowBrushCursor(HWND canvas);
void HideBrushCursor(HWND canvas);
void MoveBrushCursor(HWND canvas);
void ResetBrushCursor();

void PaintFrameEdge(HWND frame);
void InvalidateLogicalRect(HWND window, const RECT* rect);
void DrawFocusFrame(HDC dc, const RECT* rect, int nx, int ny);
void DrawButtonFaceRect(HDC dc, const RECT* rect);
void RemoveAllProps(HWND window);
HBITMAP CopyScreenArea(HDC dc, const RECT* rect);
void BlitBitmap(HDC dc, HBITMAP bitmap, int x, int y);
void DrawTransparentBitmap(HDC dc, HBITMAP bitmap, int x, int y, COLORREF transparent);

// Draws the brush as it will paint: the tool window's preview (flag 1) and the cursor image (0).
void DrawBrushPreview(HDC dc, const RECT* rect, int width, int height, BOOL preview);
