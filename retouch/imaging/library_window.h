// The selection library on disk: the folder "SELDIB\" beside this library, its list file
// "seldib.lst" and the numbered selection files, and the items of the library window's list box
// (owner-drawn, no strings: each entry's data is a LibraryItem).
#pragma once

#include <windows.h>

#include <string>

#include "retouch/imaging/dib.h"

// One entry of the list: the full path in a 256-byte buffer and the file's thumbnail.
struct LibraryItem {
  char* path;
  DibHandle thumbnail;
};

// The folder path with its trailing backslash; false when the module path is too long for it.
bool LibraryFolder(std::string* folder);

// Saves `selectionImage` with `selectionMask` as the next numbered file and records it in the
// list file and in `lastSavedSelection`. 1 on success, 0 on failure (nothing written then).
int AddSelectionToLibrary();

// Adds an item for every file of the folder whose thumbnail loads, in file-name order; 1 when
// the folder exists, else 0.
int FillLibraryList(HWND list);

// An item for the file at `path` (which must fit the item's buffer), or none when its thumbnail
// does not load.
LibraryItem* NewLibraryItem(const char* path);
void FreeLibraryItem(LibraryItem* item);
// Inserts the item where its file name belongs; the index, or -1 (the item is then freed).
int InsertLibraryItem(HWND list, LibraryItem* item);
// WM_DELETEITEM of the list box: frees the entry's item.
void DeleteLibraryItem(const DELETEITEMSTRUCT* item);
// Deletes the file of entry `index` and, once it is gone, the entry. 1 when both went.
int DeleteLibraryEntry(HWND list, int index);
