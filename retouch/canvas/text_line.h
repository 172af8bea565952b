// The text tool's open line as a text: caret index, overwrite typing, insert, delete, backspace,
// the caret keys, the index under a click and the fit test, given the width the line's font gives
// a run of characters. Portable: no windows.h; the canvas measures with its font, renders, moves
// the caret and burns the line.
//
// The buffer is the tool's 8192-byte block: the text is at most 8191 characters and stays
// zero-terminated whatever the font and the image width say.
#pragma once

#include <cstdint>

namespace text_line {

constexpr int32_t kBufferSize = 8192;
constexpr int32_t kMaxLength = kBufferSize - 1;

// Virtual keys of the tool (the platform's values).
constexpr int32_t kKeyEnd = 0x23;
constexpr int32_t kKeyHome = 0x24;
constexpr int32_t kKeyLeft = 0x25;
constexpr int32_t kKeyUp = 0x26;
constexpr int32_t kKeyRight = 0x27;
constexpr int32_t kKeyDown = 0x28;
constexpr int32_t kKeyInsert = 0x2D;
constexpr int32_t kKeyDelete = 0x2E;

// Width in pixels of the first `count` bytes of `text` drawn with the line's font.
struct Measure {
  int32_t (*width)(void* context, const char* text, int32_t count) = nullptr;
  void* context = nullptr;
};

struct Line {
  char* buffer = nullptr;   // kBufferSize bytes
  int32_t caretIndex = 0;   // 0 .. text length
  int32_t left = 0;         // image x of the line's left end
  int32_t imageWidth = 0;
};

// What a key or character did: nothing, moved the caret, or changed the text (and the caret).
enum class Effect { kNone, kCaret, kText };

// Length of the text, never beyond kMaxLength (a buffer without its zero gets one there).
int32_t Length(Line& line);

// Empties the text and puts the caret at 0.
void Clear(Line& line);

// The fit test: the line may grow while left + the width of the text and its terminating zero
// (length + 1 bytes) is less than the image width, and the buffer has room for one more byte.
bool Fits(Line& line, const Measure& measure);

// WM_CHAR, the character taken as a signed byte: 32 .. 127 overwrite or extend at the caret when
// the line fits; 8 (Backspace) moves the caret back (not below 0) and removes the character there;
// anything else is ignored.
Effect TypeChar(Line& line, int32_t character, const Measure& measure);

// WM_KEYDOWN for End, Home, Left, Up, Right, Down, Insert and Delete; other keys: kNone.
Effect KeyDown(Line& line, int32_t key, const Measure& measure);

// x of the caret before character `index` (clamped to 0 .. length): left, plus the width of the
// first `index` characters.
int64_t CaretX(Line& line, int32_t index, const Measure& measure);

// The caret index a click at image x chooses: the index before the first whose caret x is at or
// right of the click (not below 0), or the text length when none is.
int32_t IndexAtX(Line& line, int64_t x, const Measure& measure);

// The brush height a font height chosen in the font dialog gives: its absolute value, clamped to
// the heights the tool window offers.
int32_t BrushHeightOfFont(int32_t fontHeight, int32_t lowest, int32_t highest);

}  // namespace text_line
