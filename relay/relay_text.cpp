#include "relay/relay_text.h"

#include <cstring>

namespace relay {

static bool IsBlankOrControl(unsigned char c) { return c >= 1 && c <= 32; }

const char* CommandOfLine(const char* line, LeadBytePredicate isLeadByte) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(line);
  bool quoted = false;
  while (*p != 0) {
    if (*p == '"') {
      quoted = !quoted;
    } else if (!quoted && IsBlankOrControl(*p)) {
      break;
    } else if (isLeadByte != nullptr && isLeadByte(*p) && p[1] != 0) {
      ++p;  // the trail byte belongs to the same character
    }
    ++p;
  }
  while (IsBlankOrControl(*p)) ++p;
  return reinterpret_cast<const char*>(p);
}

bool CopyCommand(const char* command, char* buffer, size_t size) {
  if (size == 0) return false;
  const size_t n = std::strlen(command);
  if (n >= size) {
    buffer[0] = '\0';
    return false;
  }
  std::memcpy(buffer, command, n + 1);
  return true;
}

bool BuildLaunchLine(const char* quotedPath, const char* text, char* out, size_t size) {
  if (size == 0) return false;
  const size_t a = std::strlen(quotedPath);
  const size_t b = std::strlen(text);
  if (a + 1 + b >= size) {
    out[0] = '\0';
    return false;
  }
  std::memcpy(out, quotedPath, a);
  out[a] = ' ';
  std::memcpy(out + a + 1, text, b + 1);
  return true;
}

}  // namespace relay
