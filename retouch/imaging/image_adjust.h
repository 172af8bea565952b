// The whole-image adjustment of the adjustment dialog and the arithmetic of its reduced preview.
// Portable: no windows.h. The dialog (Win32) sizes itself and its preview with these and calls
// AdjustImage on the preview and, when accepted, on the image.
#pragma once

#include <cstdint>

#include "retouch/imaging/dib_view.h"

namespace dib {

// Contrast a and brightness b -100 .. 100, saturation c 0 .. 100, hue shift d -127 .. 127, as the
// dialog's bars (values outside are clamped). Adjusts the 24-bit `source` into `destination` (24-bit,
// same width and height) or, when destination is null, into the source itself. Rows are written
// through the destination's view, so its header size and colour table never shift them; the
// padding bytes at the row ends are left as they are. False (nothing written) for any other form.
bool AdjustImage(const View& source, const View* destination, int32_t a, int32_t b, int32_t c, int32_t d);

// Size of the preview in a client area: the client height and the image's aspect ratio, or the
// client width when that is narrower. Both at least 1; false for non-positive sizes.
bool PreviewSize(int32_t imageWidth, int32_t imageHeight, int32_t clientWidth, int32_t clientHeight,
                 int32_t* width, int32_t* height);

// Samples the 24-bit `source` into the 24-bit `preview` nearest-neighbour: preview column j takes
// source column min(source width * j / preview width, source width - 1), rows likewise from the top.
bool SamplePreview(const View& source, const View& preview);

// Width of the dialog: the right edge of the rightmost bar (dialog coordinates) plus a preview
// area of the dialog's height at the image's aspect ratio. 64-bit arithmetic, clamped to 32 bits.
int32_t AdjustDialogWidth(int32_t barsRight, int32_t dialogHeight, int32_t imageWidth, int32_t imageHeight);

}  // namespace dib
