#include "controls/core/style_line.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "controls/widgets/colour_pair.h"
#include "controls/widgets/text_scan.h"

namespace style {
namespace {

using textscan::ReadInt;
constexpr size_t npos = std::string_view::npos;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Index after the comma that ends the field at `p`, stepping over a parenthesised group; npos
// when the text ends first.
size_t AfterField(std::string_view t, size_t p) {
  const size_t n = t.size();
  while (p < n && t[p] != ',') {
    if (t[p] == '(') {
      const size_t close = t.find(')', p);
      if (close == npos) return npos;
      p = close;
    }
    ++p;
  }
  return p < n ? p + 1 : npos;
}

// A required field must be followed by a comma and more text.
bool More(std::string_view t, size_t p) { return p != npos && p < t.size(); }

}  // namespace

LineResult ParseStyleLine(std::string_view v, LineValues* out) {
  LineResult r;
  size_t p = 0;
  while (p < v.size() && IsBlank(v[p])) ++p;
  if (p >= v.size()) return r;

  const size_t comma = v.find(',', p);
  r.hasName = true;
  r.name = v.substr(p, (comma == npos ? v.size() : comma) - p);
  p = comma == npos ? npos : comma + 1;
  if (!More(v, p)) return r;

  int32_t kind = ReadInt(v, p);
  out->placed = out->fitWidth = out->fitHeight = out->alignRight = out->alignBottom = 0;
  if (kind > 4) {  // the old packed form: placement flags in bits 7 to 10
    out->placed = 1;
    out->fitWidth = (kind >> 7) & 1;
    out->fitHeight = (kind >> 8) & 1;
    out->alignRight = (kind >> 9) & 1;
    out->alignBottom = (kind >> 10) & 1;
    kind = 4;
  }
  out->kind = kind;
  p = textscan::AfterComma(v, p);
  if (!More(v, p)) return r;

  ParseColourPair(v.substr(p), &out->firstColour, &out->secondColour);
  for (int i = 0; i < 2; ++i) {
    p = AfterField(v, p);
    if (!More(v, p)) return r;
  }
  ParseColourPair(v.substr(p), &out->thirdColour, &out->textColour);
  for (int i = 0; i < 2; ++i) {
    p = AfterField(v, p);
    if (!More(v, p)) return r;
  }

  int32_t* const flags[] = {&out->relief, &out->rounded, &out->transparent, &out->embossed};
  for (int32_t* flag : flags) {
    *flag = ReadInt(v, p);
    p = textscan::AfterComma(v, p);
    if (!More(v, p)) return r;
  }

  out->font.height = ReadInt(v, p);
  r.accepted = true;
  if ((p = textscan::AfterComma(v, p)) == npos) return r;
  out->font.weight = ReadInt(v, p);
  if ((p = textscan::AfterComma(v, p)) == npos) return r;
  out->font.italic = static_cast<uint8_t>(ReadInt(v, p));
  if ((p = textscan::AfterComma(v, p)) == npos) return r;
  out->font.pitchAndFamily = static_cast<uint8_t>(ReadInt(v, p));
  if ((p = textscan::AfterComma(v, p)) == npos) return r;

  const size_t faceEnd = std::min(v.find(',', p), v.size());
  const size_t faceLength = std::min(faceEnd - p, sizeof out->font.faceName - 1);
  std::memset(out->font.faceName, 0, sizeof out->font.faceName);
  std::memcpy(out->font.faceName, v.data() + p, faceLength);
  if (faceEnd >= v.size() || faceEnd + 1 >= v.size()) return r;

  out->hueShift = ReadInt(v, faceEnd + 1);
  r.hasHueShift = true;
  return r;
}

namespace {

bool SafeInLine(std::string_view text) {
  return text.find_first_of(",\r\n") == npos && text.find('\0') == npos;
}

}  // namespace

bool FormatStyleLine(std::string_view textureFile, const LineValues& v, char* out, size_t capacity) {
  if (capacity == 0) return false;
  out[0] = '\0';
  const std::string_view face(v.font.faceName, strnlen(v.font.faceName, sizeof v.font.faceName - 1));
  // A comma or line break inside a name would make the line read back differently.
  if (!SafeInLine(textureFile) || !SafeInLine(face)) return false;
  const int n = std::snprintf(
      out, capacity, "%.*s,%d,0x%X,0x%X,0x%X,0x%X,%d,%d,%d,%d,%d,%d,%d,%d,%.*s", static_cast<int>(textureFile.size()),
      textureFile.data(), static_cast<int>(v.kind), static_cast<unsigned>(v.firstColour),
      static_cast<unsigned>(v.secondColour), static_cast<unsigned>(v.thirdColour),
      static_cast<unsigned>(v.textColour), static_cast<int>(v.relief), static_cast<int>(v.rounded),
      static_cast<int>(v.transparent), static_cast<int>(v.embossed), static_cast<int>(v.font.height),
      static_cast<int>(v.font.weight), static_cast<int>(v.font.italic), static_cast<int>(v.font.pitchAndFamily),
      static_cast<int>(face.size()), face.data());
  if (n < 0 || static_cast<size_t>(n) >= capacity) {
    out[0] = '\0';
    return false;
  }
  return true;
}

void ParseCustomColours(std::string_view text, uint32_t fallback, uint32_t colours[kCustomColourCount]) {
  for (size_t i = 0; i < kCustomColourCount; ++i) colours[i] = fallback;
  for (size_t i = 0; i < kCustomColourCount; ++i) {
    const size_t at = i * 12;
    if (at + 11 > text.size()) break;
    const std::string_view group = text.substr(at, 11);
    const uint32_t r = static_cast<uint32_t>(ReadInt(group.substr(0, 3), 0)) & 0xFF;
    const uint32_t g = static_cast<uint32_t>(ReadInt(group.substr(4, 3), 0)) & 0xFF;
    const uint32_t b = static_cast<uint32_t>(ReadInt(group.substr(8, 3), 0)) & 0xFF;
    colours[i] = r | (g << 8) | (b << 16);
  }
  colours[kCustomColourCount - 1] = fallback;
}

void FormatCustomColours(const uint32_t colours[kCustomColourCount], char out[kCustomColoursTextSize]) {
  char* p = out;
  for (size_t i = 0; i < kCustomColourCount; ++i) {
    const uint32_t c = colours[i];
    std::snprintf(p, 13, "%3.3u,%3.3u,%3.3u|", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    p += 12;
  }
  *p = '\0';
}

uint32_t ContrastColour(uint32_t colour) {
  const uint32_t r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
  return (r + g + b <= 400 && r <= 192 && g <= 128) ? 0xFFFFFFu : 0u;
}

uint32_t LighterColour(uint32_t colour) {
  const uint32_t r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
  const uint32_t d = std::min<uint32_t>(255 - std::max({r, g, b}), 64);
  return (r + d) | ((g + d) << 8) | ((b + d) << 16);
}

uint32_t DarkerColour(uint32_t colour) {
  const uint32_t r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
  const uint32_t d = std::min<uint32_t>(std::min({r, g, b}), 64);
  return (r - d) | ((g - d) << 8) | ((b - d) << 16);
}

}  // namespace style
