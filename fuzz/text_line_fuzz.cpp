// The text tool's line editing under arbitrary keys, characters, clicks, fonts and image widths:
// the text stays inside its 8192-byte buffer, zero-terminated, with the caret inside it, and a
// click never chooses an index outside the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "retouch/canvas/text_line.h"

namespace {

struct Input {
  const uint8_t* data;
  size_t size;
  uint8_t Byte() {
    if (size == 0) return 0;
    --size;
    return *data++;
  }
  int32_t Int16() { return static_cast<int16_t>(Byte() | (Byte() << 8)); }
};

// A font of a few pixels a character, not quite even (measuring stays cheap so that runs of
// thousands of characters fit in one input).
struct Font {
  uint8_t advance, extra;
  static int32_t Width(void* context, const char*, int32_t count) {
    const Font* f = static_cast<const Font*>(context);
    return count * (f->advance & 3) + (count % 3) * (f->extra & 1);
  }
};

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in{data, size};
  Font font{in.Byte(), in.Byte()};
  const text_line::Measure measure{&Font::Width, &font};
  std::vector<char> buffer(text_line::kBufferSize);  // exactly the block: a stray byte trips ASan
  text_line::Line line;
  line.buffer = buffer.data();
  line.left = in.Int16();
  line.imageWidth = in.Int16() * 4;
  const bool wide = in.Byte() & 1;
  if (wide) line.imageWidth = INT32_MAX;
  text_line::Clear(line);
  bool caretSet = false;  // the last operation put the caret anywhere, without the library
  while (in.size > 0) {
    const uint8_t op = in.Byte();
    if (op % 5 != 4 && op % 5 != 1) caretSet = false;
    switch (op % 5) {
      case 0:
        text_line::TypeChar(line, in.Byte(), measure);
        break;
      case 1: {  // a run of one character, to reach the end of the buffer
        const uint8_t c = in.Byte();
        const int32_t n = (in.Byte() | in.Byte() << 8) & 0x0FFF;
        for (int32_t i = 0; i < n; ++i) text_line::TypeChar(line, c, measure);
        if (n > 0) caretSet = false;
        break;
      }
      case 2:
        text_line::KeyDown(line, in.Byte() & 0x3F, measure);
        break;
      case 3: {
        const int32_t index = text_line::IndexAtX(line, in.Int16(), measure);
        Check(index >= 0 && index <= text_line::Length(line));
        line.caretIndex = index;
        break;
      }
      default:
        line.caretIndex = in.Int16();  // a caret the canvas got wrong is brought back inside
        caretSet = true;
        break;
    }
    const int32_t length = text_line::Length(line);
    Check(length >= 0 && length <= text_line::kMaxLength && buffer[static_cast<size_t>(length)] == 0);
    if (!caretSet) Check(line.caretIndex >= 0 && line.caretIndex <= length);
  }
  return 0;
}
