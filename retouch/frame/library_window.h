// The selection library as the editor uses it: its folder "SELDIB\" beside this library, the
// saves of the floating selection, the list of the library window and the load of an entry. The
// window's procedure is LibraryWindowProc (editor_hooks.h).
#pragma once

#include <windows.h>

// Saves `selectionImage` with `selectionMask` as the next numbered file of the library and keeps
// its path in `lastSavedSelection`. 1 on success, 0 on failure.
int AddSelectionToLibrary();

// Fills the list box with an item per loadable file of the library, in file-name order; 1 when
// the folder exists, else 0 (no folder is made).
int FillLibraryList(HWND list);

// Loads the file as `selectionImage` and `selectionMask`, freeing the previous blocks; 0 with both
// as they were on failure.
int ReadSelectionFile(const char* path);

// The subclass procedure of the window's list box: a press on an entry drags its thumbnail.
LRESULT CALLBACK LibraryListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam);
