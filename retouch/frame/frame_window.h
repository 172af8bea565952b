// The editor frame: a modeless dialog (template 1800) holding the canvas, sized in the
// proportions it was opened with, painting its own edge.
#pragma once

#include <windows.h>

INT_PTR CALLBACK FrameDialogProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam);
