// The selection library as the editor uses it: its folder "SELDIB\" beside this library, the
// saves of the floating selection and the list of the library window. The window's procedure is
// LibraryWindowProc, the drop of a dragged entry DropLibrarySelection (editor_hooks.h).
#pragma once

#include <windows.h>

// Saves the floating selection's picture with its mask as the next numbered file of the library
// and keeps its path in `lastSavedSelection`. 1 on success, 0 on failure.
int AddSelectionToLibrary();

// Fills the list box with an item per loadable file of the library, in file-name order; 1 when
// the folder exists, else 0 (no folder is made).
int FillLibraryList(HWND list);

// The subclass procedure of the window's list box: a press on an entry drags its thumbnail.
LRESULT CALLBACK LibraryListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam);
