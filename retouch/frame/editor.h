// Module-wide values of the editor library and its two exports.
#pragma once

#include <windows.h>

#include "retouch/frame/retouch_state.h"

extern HINSTANCE g_libraryInstance;  // this library's own module
extern HINSTANCE g_cursorModule;     // tool and handle cursors
extern HINSTANCE g_resourceModule;   // dialog templates and dialog-creation exports; 0 = none
extern RetouchState* g_state;        // locked record while the editor is open, else null
extern int g_editorResult;           // returned by RetouchEditor_Open

extern "C" {
HINSTANCE WINAPI RetouchEditor_SetModules(HINSTANCE cursorModule, HINSTANCE resourceModule);
int WINAPI RetouchEditor_Open(HWND parentWindow, DibHandle image, RECT* frameRect, POINT* toolWindowPos);
}

// Reads a frame property set with an integer atom.
HANDLE GetFrameProp(HWND window, WORD atom);
void SetFrameProp(HWND window, WORD atom, HANDLE value);

// The frame dialog procedure and the pointer tracking of the modal loop.
INT_PTR CALLBACK FrameDialogProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam);

// Called when the frame is destroyed: ends the editor's modal loop.
void EditorFrameDestroyed();
