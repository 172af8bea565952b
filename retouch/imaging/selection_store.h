// The selection library on disk: a folder (the editor's is "SELDIB\" beside the library), its
// list file "seldib.lst" and the numbered selection files, and the items of the library window's
// list box (owner-drawn, no strings: each entry's data is a LibraryItem).
#pragma once

#include <windows.h>

#include <string>

#include "retouch/imaging/dib.h"

// One entry of the list: the full path in a 256-byte buffer and the file's thumbnail.
struct LibraryItem {
  char* path;
  DibHandle thumbnail;
};

// Saves `image` with `mask` as the next numbered file of `folder` (path with its trailing
// backslash; made when missing) and records it in the list file; the file's path goes to
// `savedPath` (a buffer of 256 bytes). 1 on success, 0 on failure (nothing written then).
int SaveToLibrary(const std::string& folder, DibHandle image, DibHandle mask, char* savedPath);
// The same from 24-bit views (the floating selection's images) with the patch's resolution.
int SaveToLibrary(const std::string& folder, const dib::View& image, const dib::View& mask, int32_t xPelsPerMeter,
                  int32_t yPelsPerMeter, char* savedPath);

// Adds an item for every file of `folder` whose thumbnail loads, in file-name order; 1 when the
// folder exists, else 0.
int FillListFromFolder(HWND list, const std::string& folder);

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
