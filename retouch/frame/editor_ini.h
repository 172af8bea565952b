// The editor's files beside its own module, and the private-profile calls it reads and writes
// them with.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

// Full path of `fileName` in the folder of this library's module (its path up to and including
// the last backslash). False when the module path cannot be had or the result would not fit.
bool ModuleFilePath(const char* fileName, std::string* path);

// True when `path` names an existing file (not a folder).
bool FileExists(const std::string& path);

// The value of `key` in `section`, at most `maxChars` characters; empty when missing.
std::string IniRead(const std::string& path, const char* section, const char* key, size_t maxChars);

// Writes `key` = `value` into `section`; the file is created when missing.
bool IniWrite(const std::string& path, const char* section, const char* key, const std::string& value);
