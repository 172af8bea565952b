// The text a tooltip bubble shows for a window text "BB:caption^hint...". Portable.
#pragma once

#include <string>
#include <string_view>

// True when `windowText` asks for a bubble: at least 4 characters starting with "BB:".
bool WantsBubble(std::string_view windowText);

// The bubble text: double quotes removed, what follows "BB:", cut at "BMP:", the part after
// the first '^' (or after the first control character other than newline), cut at the first
// '#', '@' or '^'.
std::string ExtractBubbleText(std::string_view windowText);
