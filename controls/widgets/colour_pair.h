// The colour text of the settings files: "0x00BBGGRR", "RGB(r,g,b)" or a decimal COLORREF.
// Portable.
#pragma once

#include <cstdint>
#include <string_view>

// Reads up to two colours from `text`. A colour whose text is empty, or an "R" that does not
// begin "RGB(", leaves its output unchanged. Never reads past the end of `text`; always true.
bool ParseColourPair(std::string_view text, uint32_t* first, uint32_t* second);
