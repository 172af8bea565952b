// The software brush cursor: a bitmap of the brush drawn with transparency on the frame's device
// context over the canvas, the screen under it kept in a save-under bitmap.
#pragma once

#include <windows.h>

void RebuildBrushCursor(HWND canvas, BOOL freeSample);
void ShowBrushCursor(HWND canvas);
void HideBrushCursor(HWND canvas);
void MoveBrushCursor(HWND canvas);
void ResetBrushCursor();
