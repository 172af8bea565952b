// The editor library's two exports and the end of the editor's modal loop. The module-wide values
// live in editor_globals.h, the frame's dialog procedure in frame_window.h.
#pragma once

#include <windows.h>

#include "retouch/frame/retouch_state.h"

extern "C" {
HINSTANCE WINAPI RetouchEditor_SetModules(HINSTANCE cursorModule, HINSTANCE resourceModule);
int WINAPI RetouchEditor_Open(HWND parentWindow, DibHandle image, RECT* frameRect, POINT* toolWindowPos);
}

// Called when the frame is destroyed: ends the editor's modal loop.
void EditorFrameDestroyed();
