// Library-wide values of Tamsel: one set per process that maps the library (the desktop-wide
// mouse hook maps it into other processes too, each with its own copy).
#pragma once

#include <windows.h>

namespace tamsel {

// The library's module once its classes are registered; null otherwise.
extern HINSTANCE libraryInstance;
// The process's main module: bitmaps named in control texts are looked up there first.
extern HMODULE hostModule;
// The system EDIT class's procedure, to which "KC_EDIT" forwards.
extern WNDPROC editClassProc;
// The combo box's cached GDI object, if any.
extern HGDIOBJ comboCachedObject;
// Set while a combo box's drop-down list is shown.
extern int comboListOpen;
// The input fields' modeless auxiliary dialog, while open.
extern HWND inputAuxDialog;

// Load and unload work: class registration, the global style, and its release.
BOOL LibraryAttach(HINSTANCE module);
void LibraryDetach();

}  // namespace tamsel
