// Small bounded scanners shared by the settings-text parsers. Portable. Positions are indexes
// into the text; nothing reads at or past text.size().
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace textscan {

inline bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Decimal integer as atol reads it (leading white space, optional sign, digits), saturated to
// the 32-bit range. `end`, when given, receives the index after the digits (or `p` when there
// is no number).
int32_t ReadInt(std::string_view text, size_t p, size_t* end = nullptr);

// Index just after the next comma at or after `p`, or npos.
size_t AfterComma(std::string_view text, size_t p);

}  // namespace textscan
