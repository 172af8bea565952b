// The retouching brushes over the editor's state record: the brush mask drawn through GDI, the
// dabs of one pointer event, the stamp's sample and the colour picker. The pixel work is brush_ops
// (portable); this layer locks the blocks. Nothing here refreshes a window: each function reports
// what it changed (the rectangles it painted, a new sample, a new colour) and the canvas and the
// tool window redraw.
#pragma once

#include <windows.h>

#include <type_traits>

#include "retouch/frame/retouch_state.h"
#include "retouch/imaging/dib.h"

// A new MaskDib of width x height holding the brush shape (1 inside, 0 outside), drawn through a
// memory device context: 1 x 1 is one pixel, a brush narrower or lower than 3 the whole
// rectangle, otherwise a rectangle (BRUSH_RECTANGLE) or an ellipse. Row r of the block holds
// row r of the drawing. None when a size is not positive or memory runs out.
DibHandle DrawBrushMask(int width, int height, int shape);

// Rebuilds brushMask for the current tool at width x height (times the tool's scale).
void BuildBrushMask(RetouchState& s, int width, int height);

// The brush rectangle of a dab of `tool` at image point (x, y).
RECT BrushRectAt(const RetouchState& s, int tool, int x, int y);

// Grows strokeBounds to take in image point (x, y).
void ExtendStrokeBounds(RetouchState& s, int x, int y);

// One dab of `tool` with the brush rectangle `brush` (image coordinates) on `image`: 0 when the
// image, the mask or a block the tool needs is missing or the image is not 24-bit, else 1. The
// outline brush has no dab here: it reshapes the selection.
int Dab(RetouchState& s, DibHandle image, int tool, const RECT* brush);

// The stamp's and the clone's sample: what lies under the brush centred on (x, y). True when
// cloneSample was taken anew (it stays empty when the brush lies off the image).
bool TakeCloneSample(RetouchState& s, DibHandle image, int x, int y);

// The dabs of one pointer event of the current tool (a brush other than the outline brush) from
// the current point (cx, cy) to the previous point (px, py): each dab extends strokeBounds, is
// applied, and its rectangle goes to `touched(context, rect)`. The mask must be built.
using TouchedRect = void (*)(void* context, const RECT& rect);
void ApplyStrokeDabs(RetouchState& s, DibHandle image, int cx, int cy, int px, int py, TouchedRect touched,
                     void* context);
template <class Touched>
void ApplyStrokeDabs(RetouchState& s, DibHandle image, int cx, int cy, int px, int py, Touched&& touched) {
  using T = std::remove_reference_t<Touched>;
  ApplyStrokeDabs(s, image, cx, cy, px, py, [](void* c, const RECT& r) { (*static_cast<T*>(c))(r); }, &touched);
}

// Makes `*copy` a copy of `image`, reusing the previous copy's block when it has the image's size
// (the same pixels as a new duplicate, without asking the system for the memory again). False,
// with `*copy` freed and zero, when the copy cannot be made.
bool RefreshCopy(DibHandle* copy, DibHandle image);

// The paint brush's press: clears the stroke coverage and, for the soft brush, takes the stroke
// snapshot (both the size of the image; made when missing or of another size). When either
// cannot be had the coverage is dropped, so that the stroke paints nothing.
void BeginPaintStroke(RetouchState& s, DibHandle image);

// The colour picker at image point (x, y): the pixel's colour becomes the brush colour; outside
// the image the colour stays. True when the brush colour changed.
bool PickColor(RetouchState& s, DibHandle image, int x, int y);
