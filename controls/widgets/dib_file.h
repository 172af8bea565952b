// Texture bitmaps read from BMP files into packed DIBs in movable global memory.
#pragma once

#include <windows.h>

// Reads the BMP file `path` into a packed DIB (header, colour table, rows). When the file cannot
// be opened as named, the file of the same name in the "bmp" folder beside the library is tried.
// Returns null for a missing file or one that is not a sound BMP; the caller frees the block.
HGLOBAL LoadDibFromFile(const char* path);
