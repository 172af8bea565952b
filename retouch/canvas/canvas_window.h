// The canvas: the child window of the editor frame (class "KVRETOUCH", control 12345) that shows
// the image stretched over its whole client area and receives the editing input.
#pragma once

#include <windows.h>

constexpr const char* kCanvasClassName = "KVRETOUCH";
constexpr UINT_PTR kSprayTimerId = 1;

// Registers the canvas class for this library's instance.
BOOL RegisterCanvasClass();
LRESULT CALLBACK CanvasWindowProc(HWND canvas, UINT message, WPARAM wParam, LPARAM lParam);

// Sets the canvas's own device context to map image coordinates (one unit per image pixel) onto
// its client area.
void UpdateCanvasMapping(HWND canvas);

// The image hanging on the canvas's parent, or none.
HGLOBAL CanvasImage(HWND canvas);
