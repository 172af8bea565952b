// The canvas's mouse input by tool, in device (client) coordinates as the messages carry them:
// the tools turn presses, drags and releases into edits.
#pragma once

#include <windows.h>

#include "retouch/frame/retouch_state.h"

void OnButtonDown(RetouchState& s, HWND canvas, int x, int y);
void OnMouseMove(RetouchState& s, HWND canvas, WPARAM flags, int x, int y);
void OnButtonUp(RetouchState& s, HWND canvas, int x, int y);
// Another window took the mouse capture: a stroke in progress ends as if the button came up.
void OnCaptureLost(RetouchState& s, HWND canvas);
