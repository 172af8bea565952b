// The editor frame's own window edge: a grey border with black, grey and white lines and the
// sizing notches, painted over the system's.
#pragma once

#include <windows.h>

void PaintFrameEdge(HWND frame);
