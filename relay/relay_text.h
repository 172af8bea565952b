// Text rules of the command relay, free of Win32 so they are tested natively.
#pragma once

#include <cstddef>

namespace relay {

// Command buffers: the launcher's holds 255 characters, the library's 271 (plus the NUL).
constexpr size_t kLauncherCommandSize = 256;
constexpr size_t kLibraryCommandSize = 272;
constexpr size_t kCommandLineSize = 1024;

using LeadBytePredicate = bool (*)(unsigned char);

// The command part of a process command line: skips the program name (which ends at the first
// character 1..32 outside double quotes; a DBCS lead byte takes its trail byte with it), then
// every character 1..32. Returns a pointer into `line` (at its NUL when there is no command).
const char* CommandOfLine(const char* line, LeadBytePredicate isLeadByte);

// Copies `command` into `buffer` of `size` bytes. A command that does not fit is refused:
// false, and the buffer holds an empty string. A relay never sends a cut command.
bool CopyCommand(const char* command, char* buffer, size_t size);

// `quotedPath` + " " + `text` into `out`; false (and an empty `out`) when it does not fit.
bool BuildLaunchLine(const char* quotedPath, const char* text, char* out, size_t size);

}  // namespace relay
