// The text form of one style entry in "kvfonds.ini":
//   texture,kind,first,second,third,text,relief,rounded,transparent,embossed,height,weight,
//   italic,pitch,face[,hue shift]
// Portable: the Win32 side copies an entry's values in, parses, and copies them back out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace style {

// Font description of an element; copied as one block.
struct FontDesc {
  int32_t height;
  int32_t weight;
  uint8_t italic;
  uint8_t pitchAndFamily;
  char faceName[32];
};

// The values of an entry that its line carries, besides the texture file name.
struct LineValues {
  int32_t kind;
  int32_t placed;
  int32_t fitWidth;
  int32_t fitHeight;
  int32_t alignRight;
  int32_t alignBottom;
  uint32_t firstColour;
  uint32_t secondColour;
  uint32_t thirdColour;
  uint32_t textColour;
  int32_t relief;
  int32_t rounded;
  int32_t transparent;
  int32_t embossed;
  FontDesc font;
  int32_t hueShift;
};

struct LineResult {
  bool accepted = false;
  bool hasName = false;        // the texture file name was read (it may be empty)
  std::string_view name;       // points into the parsed value
  bool hasHueShift = false;    // the optional last field was present (stored in hueShift)
};

// Reads `value` into `values` field by field: a line rejected part way keeps what was read
// before the failure. Accepted once the font height has been read.
LineResult ParseStyleLine(std::string_view value, LineValues* values);

// Writes the line with the texture file (empty for none). The placement flags and the hue shift
// are not written. False, with `out` set to "", when it does not fit in `capacity` bytes.
bool FormatStyleLine(std::string_view textureFile, const LineValues& values, char* out, size_t capacity);

// Custom colours of the colour chooser: 16 groups "rrr,ggg,bbb|".
constexpr size_t kCustomColourCount = 16;
constexpr size_t kCustomColoursTextSize = kCustomColourCount * 12 + 1;
// Fills all 16 with `fallback`, takes each complete 12-character group as red, green, blue, and
// puts `fallback` into the 16th.
void ParseCustomColours(std::string_view text, uint32_t fallback, uint32_t colours[kCustomColourCount]);
void FormatCustomColours(const uint32_t colours[kCustomColourCount], char out[kCustomColoursTextSize]);

// Colour variants for drawing (COLORREF values, 0x00BBGGRR).
uint32_t ContrastColour(uint32_t colour);  // white on dark colours, black on light ones
uint32_t LighterColour(uint32_t colour);
uint32_t DarkerColour(uint32_t colour);

}  // namespace style
