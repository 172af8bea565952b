// The brush drawn as it will paint: the tool window's preview (flag 1) and the brush cursor's
// image (flag 0). Sets cursorBackColor, the transparent colour of the cursor image.
#pragma once

#include <windows.h>

#include "retouch/frame/retouch_state.h"

void DrawBrushPreview(RetouchState& s, HDC dc, const RECT* rect, int width, int height, BOOL preview);
