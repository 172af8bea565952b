#include "controls/widgets/qword_text.h"

#include <cstring>

namespace qword {

int64_t ParseDecimal(const char* text) {
  uint64_t value = 0;
  if (!text) return 0;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
    const int32_t digit = static_cast<int32_t>(*p) - 48;
    value = value * 10u + static_cast<uint32_t>(digit);
  }
  return static_cast<int64_t>(value);
}

int64_t Remainder(int64_t a, int64_t b) {
  if (b == 0 || b == -1) return 0;
  return a % b;
}

void TrimBlanks(const char* text, char* out) {
  out[0] = '\0';
  if (!text) return;
  const size_t length = strnlen(text, kTrimCapacity);
  if (length == 0 || length >= kTrimCapacity) return;
  size_t begin = 0, end = length;
  while (begin < end && text[begin] == ' ') ++begin;
  while (end > begin && text[end - 1] == ' ') --end;
  std::memcpy(out, text + begin, end - begin);
  out[end - begin] = '\0';
}

}  // namespace qword
