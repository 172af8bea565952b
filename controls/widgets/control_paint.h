// Painting pieces shared by the button and the static control: bitmap facts, bitmaps drawn with
// their top-left colour left out, one-pixel 3D frames and lines, and the resources named in
// control texts.
#pragma once

#include <windows.h>

#include "controls/widgets/control_text.h"

namespace ctlpaint {

inline bool IsBitmap(HGDIOBJ h) { return h && GetObjectType(h) == OBJ_BITMAP; }
SIZE BitmapSize(HBITMAP bitmap);
// The colour of the bitmap's top-left pixel.
COLORREF TopLeftColour(HBITMAP bitmap);
// At (x, y) 1:1, without the pixels of its top-left colour when `keyed`.
void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y, bool keyed);

// A one-pixel frame: top and left in `topLeft`, bottom and right in `bottomRight`.
void Frame3D(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight);
// A one-pixel line from (x0, y0) to (x1, y1), end excluded.
void Line(HDC dc, int x0, int y0, int x1, int y1, COLORREF colour);
void FillSolid(HDC dc, const RECT& r, COLORREF colour);

// A bitmap or icon named in a control's text, looked up in the process's main module first and
// then in `own` (the module that created the control). Null when neither has it.
HBITMAP LoadNamedBitmap(const ctltext::ResourceRef& ref, HINSTANCE own);
HICON LoadNamedIcon(const ctltext::ResourceRef& ref, HINSTANCE own);

// A window's text, at most `capacity` - 1 characters.
int WindowText(HWND window, char* out, int capacity);

}  // namespace ctlpaint
