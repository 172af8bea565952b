// The arithmetic and text rules behind the small exported utilities: decimal texts read into
// 64-bit values with wrap-around, the truncating remainder, and the blank trimmer. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qword {

// value = value * 10 + (c - '0') for every character, each digit value taken as a signed 32-bit
// number added as an unsigned 32-bit quantity; all of it modulo 2^64. Only "0".."9" mean
// anything, but no text overflows.
int64_t ParseDecimal(const char* text);

// a % b with the sign of the dividend; 0 when b is 0 (and when a is the most negative value
// and b is -1, whose true remainder is 0 but whose division traps).
int64_t Remainder(int64_t a, int64_t b);

// The trimmer's buffer size; texts of this length or more give the empty text.
constexpr size_t kTrimCapacity = 1024;

// Copies `text` without its leading and trailing spaces (the space character only) into `out`
// (kTrimCapacity bytes, NUL-terminated); an empty text or one of kTrimCapacity characters or
// more gives the empty text.
void TrimBlanks(const char* text, char* out);

}  // namespace qword
