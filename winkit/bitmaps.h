// Bitmap helpers of both libraries: a bitmap's size, the opaque 1:1 copy and the copy that leaves
// out one transparent colour.
#pragma once

#include <windows.h>

namespace winkit {

// Size of a bitmap, in the logical units of `holder` (a DC holding it) or in pixels when null.
// False for a null or unreadable bitmap.
bool BitmapSize(HBITMAP bitmap, HDC holder, SIZE* size);

// On palette displays (256 entries) the target draws with the default palette, and the work
// contexts select and realise it as well.
void UseDefaultPalette(HDC target, HDC work[], int count);

// Opaque 1:1 copy of the whole bitmap to (x, y); 0, drawing nothing, for an empty bitmap.
int DrawBitmapAt(HDC dc, HBITMAP bitmap, int x, int y);

// How DrawTransparentBitmap works on a target.
enum TransparentFlags : unsigned {
  kTransparentMasksOnly = 0,
  // Devices that copy with a transparent background colour themselves (C1_TRANSPARENT among
  // their CAPS1 capabilities) do so.
  kTransparentByDevice = 1,
  // The work contexts take the target's mapping mode; the size is in its logical units.
  kTransparentFollowMapMode = 2,
  // See UseDefaultPalette.
  kTransparentDefaultPalette = 4,
};

// The bitmap at (x, y) with the pixels of colour `key` left out, through a mask and its inverse
// over a copy of the target's area; the bitmap is restored afterwards. 0 when nothing could be
// drawn (no bitmap, an empty one, or no work objects).
int DrawTransparentBitmap(HDC dc, HBITMAP bitmap, int x, int y, COLORREF key, unsigned flags);

}  // namespace winkit
