// The library's one way to read and write its INI files: the private-profile functions with
// bounded buffers.
#pragma once

#include <windows.h>

namespace ini {

// Reads the value into `buffer` (at most capacity - 1 characters, always terminated; a longer
// value is cut). Returns the length read.
DWORD ReadString(const char* file, const char* section, const char* key, const char* fallback, char* buffer,
                 DWORD capacity);
int ReadInt(const char* file, const char* section, const char* key, int fallback);
bool WriteString(const char* file, const char* section, const char* key, const char* value);

// The library's folder with `fileName` appended; false when it does not fit.
bool BesideLibrary(const char* fileName, char* out, DWORD capacity);

}  // namespace ini
