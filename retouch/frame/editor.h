// The editor library's two exports, the frame's dialog procedure and the end of its modal loop.
// The module-wide values live in editor_globals.h.
#pragma once

#include <windows.h>

#include "retouch/frame/retouch_state.h"

extern "C" {
HINSTANCE WINAPI RetouchEditor_SetModules(HINSTANCE cursorModule, HINSTANCE resourceModule);
int WINAPI RetouchEditor_Open(HWND parentWindow, DibHandle image, RECT* frameRect, POINT* toolWindowPos);
}

// The frame dialog procedure and the pointer tracking of the modal loop.
INT_PTR CALLBACK FrameDialogProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam);

// Called when the frame is destroyed: ends the editor's modal loop.
void EditorFrameDestroyed();
