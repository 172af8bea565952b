// Small exported utilities: 64-bit values from decimal texts, their remainder, and a blank
// trimmer whose result lives in a buffer of the calling thread.
#pragma once

#include <windows.h>

#include <cstdint>

extern "C" {
// *out = the text's decimal value modulo 2^64; returns out (null when out is null).
int64_t* WINAPI asc_to_qw(int64_t* out, const char* text);
// *out = *a % *b (0 when *b is 0); returns the low 32 bits of the stored result.
int WINAPI qw_mod(const int64_t* a, const int64_t* b, int64_t* out);
// The text without leading and trailing spaces, in this thread's buffer (overwritten by the
// thread's next call); texts of 1024 characters or more give the empty text.
char* WINAPI strtrim(const char* text);
}

namespace tamsel {
// Frees the calling thread's trimmer buffer (a thread that ends).
void FreeThreadTrimBuffer();
// Frees the calling thread's buffer and the thread slot (the library unloads).
void ReleaseTrimBuffers();
// Trimmer buffers currently allocated, all threads together.
long LiveTrimBuffers();
}  // namespace tamsel
