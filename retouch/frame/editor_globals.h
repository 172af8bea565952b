// The editor library's module-wide values: its own instance, the modules the host handed over,
// the state record of the open editor and the properties that hang the image and the canvas on
// the frame. Window procedures read g_state once and hand the record down.
#pragma once

#include <windows.h>

#include "retouch/frame/retouch_state.h"

extern HINSTANCE g_libraryInstance;  // this library's own module
extern HINSTANCE g_cursorModule;     // tool and handle cursors
extern HINSTANCE g_resourceModule;   // dialog templates and dialog-creation exports; 0 = none
extern RetouchState* g_state;        // locked record while the editor is open, else null
extern int g_editorResult;           // returned by RetouchEditor_Open

// Reads a frame property set with an integer atom.
HANDLE GetFrameProp(HWND window, WORD atom);
void SetFrameProp(HWND window, WORD atom, HANDLE value);

// The caller's image hanging on the editor's frame, or none before the frame holds it.
inline DibHandle FrameImage(const RetouchState& s) {
  return s.frameWindow ? static_cast<DibHandle>(GetFrameProp(s.frameWindow, PROP_IMAGE)) : nullptr;
}
