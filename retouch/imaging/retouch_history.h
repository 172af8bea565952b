// The retouch history over the editor's state record: one entry per finished stroke, undone and
// redone on the caller's image. The bookkeeping is history.h (portable); this layer owns the
// global blocks. The caller refreshes what an undo or redo changed.
#pragma once

#include <windows.h>

#include "retouch/frame/retouch_state.h"
#include "retouch/imaging/dib.h"

// Records the content of `rect` (clamped to `image`) as it was at the press, from strokeBefore.
// 1 when an entry was added.
int RecordHistory(RetouchState& s, DibHandle image, const RECT* rect);

// Undo (back) or redo one stroke on `image`; 1 when the image changed, with the rectangle that
// changed in `*changed` (image coordinates).
int HistoryStep(RetouchState& s, DibHandle image, BOOL back, RECT* changed);

// Frees every history patch and the array.
void ResetHistory(RetouchState& s);
