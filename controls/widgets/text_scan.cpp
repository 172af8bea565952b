#include "controls/widgets/text_scan.h"

namespace textscan {

int32_t ReadInt(std::string_view text, size_t p, size_t* end) {
  const size_t n = text.size();
  const size_t start = p;
  while (p < n && IsSpace(text[p])) ++p;
  bool negative = false;
  if (p < n && (text[p] == '+' || text[p] == '-')) {
    negative = text[p] == '-';
    ++p;
  }
  if (p >= n || !IsDigit(text[p])) {
    if (end) *end = start;
    return 0;
  }
  int64_t value = 0;
  constexpr int64_t kLimit = int64_t{INT32_MAX} + 1;
  while (p < n && IsDigit(text[p])) {
    if (value < kLimit) value = value * 10 + (text[p] - '0');
    ++p;
  }
  if (end) *end = p;
  if (negative) return value >= kLimit ? INT32_MIN : static_cast<int32_t>(-value);
  return value > INT32_MAX ? INT32_MAX : static_cast<int32_t>(value);
}

size_t AfterComma(std::string_view text, size_t p) {
  if (p >= text.size()) return std::string_view::npos;
  const size_t comma = text.find(',', p);
  return comma == std::string_view::npos ? comma : comma + 1;
}

}  // namespace textscan
