// Input for the style editor's shortcut, injected as the user's would come (the mouse hook sees
// it), and the editor found by the target it keeps.
#pragma once

#include <windows.h>

#include "host/demo/input_injection.h"

using demo::SendKey;
using demo::SendMouse;

inline BOOL CALLBACK TakeStyleEditor(HWND w, LPARAM out) {
  if (!GetPropA(w, MAKEINTATOM(0xBEBE))) return TRUE;
  *reinterpret_cast<HWND*>(out) = w;
  return FALSE;
}

// The style editor of this thread (it names itself after its target), or null.
inline HWND FindStyleEditor() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), TakeStyleEditor, reinterpret_cast<LPARAM>(&found));
  return found;
}
