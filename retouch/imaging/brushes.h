// The retouching brushes and the retouch history over the editor's state record: the brush mask
// drawn through GDI, the dabs of one pointer event, the colour picker, and undo and redo of
// strokes. The pixel work is brush_ops and history (portable); this layer locks the blocks.
// BuildBrushMask, ApplyStroke and ResetHistory are declared with the editor's hooks.
#pragma once

#include <windows.h>

#include "retouch/imaging/dib.h"

// A new MaskDib of width x height holding the brush shape (1 inside, 0 outside), drawn through a
// memory device context: 1 x 1 is one pixel, a brush narrower or lower than 3 the whole
// rectangle, otherwise an ellipse (shape 0) or a rectangle (shape 1). Row r of the block holds
// row r of the drawing. None when a size is not positive or memory runs out.
DibHandle DrawBrushMask(int width, int height, int shape);

// One dab of `tool` with the brush rectangle `brush` (image coordinates): 0 when the image, the
// mask or a block the tool needs is missing or the image is not 24-bit, else 1.
int Dab(int tool, const RECT* brush);

// Makes `*copy` a copy of `image`, reusing the previous copy's block when it has the image's size
// (the same pixels as a new duplicate, without asking the system for the memory again). False,
// with `*copy` freed and zero, when the copy cannot be made.
bool RefreshCopy(DibHandle* copy, DibHandle image);

// The paint brush's press: clears the stroke coverage and, for the soft brush, takes the stroke
// snapshot (both the size of the image; made when missing or of another size). When either
// cannot be had the coverage is dropped, so that the stroke paints nothing.
void BeginPaintStroke();

// Records the image content of `rect` (clamped to the image) as it was at the press, from the
// stroke's copy. 1 when an entry was added.
int RecordHistory(const RECT* rect);

// Undo (back) or redo one stroke; 1 when the image changed.
int HistoryStep(BOOL back);

// The colour picker at image point (x, y): the pixel's colour becomes the brush colour; outside
// the image the colour stays.
void PickColor(int x, int y);
