// Selection files on disk: the thin file layer over the portable format (selection_file.h).
// Writes are checked to the last byte and the close; a file that could not be written whole is
// removed again, so a failed save never leaves a partial file behind.
#pragma once

#include <windows.h>

#include "retouch/imaging/dib.h"
#include "retouch/imaging/selection.h"

// Writes `image` with `mask` (24-bit, the same size, at most 65535 on each side) to `path`,
// created or truncated. 1 on success, 0 on failure.
int WriteSelectionFile(const char* path, DibHandle image, DibHandle mask);

// The same into a file that must not exist yet; `exists` tells a refusal for that reason apart.
int WriteNewSelectionFile(const char* path, DibHandle image, DibHandle mask, BOOL* exists);

// The same from 24-bit views (the floating selection's images) with the patch's resolution.
int WriteNewSelectionFile(const char* path, const dib::View& image, const dib::View& mask, int32_t xPelsPerMeter,
                          int32_t yPelsPerMeter, BOOL* exists);

// Loads the patch and its mask straight into two new images of the selection model. Refused
// before anything is allocated when the patch is wider than `maxWidth` or higher than
// `maxHeight`. 1 on success; 0 with both images untouched on failure.
int ReadSelectionFile(const char* path, int32_t maxWidth, int32_t maxHeight, sel::Image* image, sel::Image* mask);

// Loads the patch and its mask (white outside, black inside) as two new 24-bit blocks. 1 on
// success; 0 with nothing allocated on failure.
int ReadSelectionImages(const char* path, DibHandle* image, DibHandle* mask);

// The file's 40 x 30 thumbnail as a new 24-bit block, or none.
DibHandle ReadSelectionThumbnail(const char* path);
