#include "retouch/canvas/text_line.h"

#include <cstring>

namespace text_line {

namespace {

int64_t Width(const Measure& measure, const char* text, int32_t count) {
  if (count <= 0 || !measure.width) return 0;
  const int32_t w = measure.width(measure.context, text, count);
  return w > 0 ? w : 0;
}

}  // namespace

int32_t Length(Line& line) {
  if (!line.buffer) return 0;
  const void* end = std::memchr(line.buffer, 0, kBufferSize);
  if (!end) {
    line.buffer[kMaxLength] = 0;
    return kMaxLength;
  }
  return static_cast<int32_t>(static_cast<const char*>(end) - line.buffer);
}

void Clear(Line& line) {
  if (line.buffer) line.buffer[0] = 0;
  line.caretIndex = 0;
}

bool Fits(Line& line, const Measure& measure) {
  const int32_t length = Length(line);
  if (!line.buffer || length >= kMaxLength) return false;
  return int64_t{line.left} + Width(measure, line.buffer, length + 1) < line.imageWidth;
}

Effect TypeChar(Line& line, int32_t character, const Measure& measure) {
  if (!line.buffer) return Effect::kNone;
  const int8_t c = static_cast<int8_t>(static_cast<uint8_t>(character));
  const int32_t length = Length(line);
  int32_t& caret = line.caretIndex;
  if (caret < 0 || caret > length) caret = length;
  if (c >= 32) {
    if (!Fits(line, measure)) return Effect::kNone;
    line.buffer[caret] = c;
    if (caret == length) line.buffer[caret + 1] = 0;
    ++caret;
    return Effect::kText;
  }
  if (c == 8) {
    if (length == 0) return Effect::kCaret;
    if (caret > 0) --caret;
    std::memmove(line.buffer + caret, line.buffer + caret + 1, static_cast<size_t>(length - caret));
    return Effect::kText;
  }
  return Effect::kNone;
}

Effect KeyDown(Line& line, int32_t key, const Measure& measure) {
  if (!line.buffer) return Effect::kNone;
  const int32_t length = Length(line);
  int32_t& caret = line.caretIndex;
  if (caret < 0 || caret > length) caret = length;
  switch (key) {
    case kKeyEnd:
      caret = length;
      return Effect::kCaret;
    case kKeyHome:
      caret = 0;
      return Effect::kCaret;
    case kKeyLeft:
    case kKeyUp:
      if (caret > 0) --caret;
      return Effect::kCaret;
    case kKeyRight:
    case kKeyDown:
      if (caret < length) ++caret;
      return Effect::kCaret;
    case kKeyInsert:
      if (length == 0 || caret >= length || !Fits(line, measure)) return Effect::kCaret;
      std::memmove(line.buffer + caret + 1, line.buffer + caret, static_cast<size_t>(length - caret + 1));
      line.buffer[caret] = ' ';
      return Effect::kText;
    case kKeyDelete:
      if (length == 0 || caret >= length) return Effect::kCaret;
      std::memmove(line.buffer + caret, line.buffer + caret + 1, static_cast<size_t>(length - caret));
      return Effect::kText;
    default:
      return Effect::kNone;
  }
}

int64_t CaretX(Line& line, int32_t index, const Measure& measure) {
  const int32_t length = Length(line);
  if (index < 0) index = 0;
  if (index > length) index = length;
  return int64_t{line.left} + Width(measure, line.buffer, index);
}

int32_t IndexAtX(Line& line, int64_t x, const Measure& measure) {
  // The first index whose caret x reaches the click, by halving: a longer run of characters is
  // never narrower, and a line of thousands of characters would otherwise be measured thousands
  // of times.
  const int32_t length = Length(line);
  int32_t lo = 0, hi = length + 1;  // the answer lies in [lo, hi); length + 1: none reaches it
  while (lo < hi) {
    const int32_t mid = lo + (hi - lo) / 2;
    if (CaretX(line, mid, measure) >= x) hi = mid;
    else lo = mid + 1;
  }
  if (lo > length) return length;
  return lo > 0 ? lo - 1 : 0;
}

int32_t BrushHeightOfFont(int32_t fontHeight, int32_t lowest, int32_t highest) {
  const int64_t h = fontHeight < 0 ? -int64_t{fontHeight} : int64_t{fontHeight};
  return static_cast<int32_t>(h < lowest ? lowest : (h > highest ? highest : h));
}

}  // namespace text_line
