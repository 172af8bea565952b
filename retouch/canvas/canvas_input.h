// The canvas's timer and keyboard input: the spray timer reapplies the stroke, keys go to the
// text tool. (The mouse input is mouse_tools.h.)
#pragma once

#include <windows.h>

#include "retouch/frame/retouch_state.h"

void OnCanvasTimer(RetouchState& s, HWND canvas, UINT_PTR timerId);
void OnCanvasKeyDown(HWND canvas, int virtualKey);
void OnCanvasChar(HWND canvas, int character);
