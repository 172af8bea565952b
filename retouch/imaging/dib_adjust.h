// The whole-image adjustment on DibHandles: the dialog's preview and the accepted adjustment.
#pragma once

#include "retouch/imaging/dib.h"

// Adjusts the 24-bit `source` with the dialog's values (contrast a, brightness b, saturation c,
// hue d) into `destination` (24-bit, same size) or, when that is zero or the source itself, in
// place. 1, or 0 with nothing written.
int AdjustImage(DibHandle source, DibHandle destination, int a, int b, int c, int d);
