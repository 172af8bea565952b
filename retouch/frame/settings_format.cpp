#include "retouch/frame/settings_format.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

#include "retouch/imaging/tool_codes.h"

namespace settings {
namespace {

constexpr size_t kFieldWidth = 4;

// Decimal at `pos` the way the C library's atol reads it (leading blanks, a sign, digits up to
// the first non-digit, 0 without digits), saturating instead of overflowing. False when `pos`
// lies beyond the text.
bool ReadDecimal(std::string_view s, size_t pos, long long* out) {
  if (pos >= s.size()) return false;
  size_t i = pos;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  long long value = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
    value = std::min<long long>(value * 10 + (s[i] - '0'), 0xFFFFFFFFLL);
    ++i;
  }
  *out = negative ? -value : value;
  return true;
}

void Take(std::string_view s, size_t field, int32_t* member) {
  long long v;
  if (ReadDecimal(s, field * kFieldWidth, &v)) {
    *member = static_cast<int32_t>(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
  }
}

void TakeByte(std::string_view s, size_t field, uint8_t* member) {
  long long v;
  if (ReadDecimal(s, field * kFieldWidth, &v)) *member = static_cast<uint8_t>(v);
}

// A colour is a COLORREF: the decimal may stand for the unsigned value or its signed reading.
void TakeColor(std::string_view s, size_t pos, int32_t* member) {
  long long v;
  if (ReadDecimal(s, pos, &v) && v >= INT32_MIN && v <= 0xFFFFFFFFLL) {
    *member = static_cast<int32_t>(static_cast<uint32_t>(v));
  }
}

// "%3.3d," for 0..999. A negative value -1..-99 is written "-NN," (atol reads it back and it
// keeps the four characters); anything else is clamped into what four characters can hold.
void AppendField(std::string* out, long long v) {
  char buf[8];
  v = std::clamp<long long>(v, -99, 999);
  if (v < 0) {
    std::snprintf(buf, sizeof buf, "-%2.2d,", static_cast<int>(-v));
  } else {
    std::snprintf(buf, sizeof buf, "%3.3d,", static_cast<int>(v));
  }
  out->append(buf);
}

}  // namespace

void ClampToolValues(ToolValues* v) {
  v->shape = std::clamp<int32_t>(v->shape, BRUSH_ELLIPSE, BRUSH_RECTANGLE);
  v->option = std::clamp(v->option, 0, 1);
  v->width = std::clamp(v->width, 1, 48);
  v->height = std::clamp(v->height, 1, 48);
  v->linkSizes = v->linkSizes != 0 ? 1 : 0;
  v->widthEnabled = v->widthEnabled != 0 ? 1 : 0;
  v->heightEnabled = v->heightEnabled != 0 ? 1 : 0;
  v->showBrushCursor = v->showBrushCursor != 0 ? 1 : 0;
  v->reserved = std::clamp(v->reserved, -99, 999);  // what its four characters can hold
  v->strength = std::clamp(v->strength, 1, 100);
  v->color = static_cast<int32_t>(static_cast<uint32_t>(v->color) & 0x00FFFFFFu);
}

int32_t OlderKeyCode(int32_t tool) {
  if (tool == 114) return 114;
  if (tool == 115) return 0;
  return tool - 1;
}

std::string FormatToolValue(const ToolValues& v) {
  std::string out;
  for (int32_t field : {v.shape, v.option, v.width, v.height, v.linkSizes, v.widthEnabled,
                        v.heightEnabled, v.showBrushCursor, v.reserved, v.strength}) {
    AppendField(&out, field);
  }
  out += std::to_string(static_cast<long>(v.color));
  return out;
}

bool ParseToolValue(std::string_view text, ToolLayout layout, ToolValues* v) {
  if (text.empty()) return false;
  if (layout == ToolLayout::kCurrent) {
    Take(text, 0, &v->shape);
    Take(text, 1, &v->option);
    Take(text, 2, &v->width);
    Take(text, 3, &v->height);
    Take(text, 4, &v->linkSizes);
    Take(text, 5, &v->widthEnabled);
    Take(text, 6, &v->heightEnabled);
    Take(text, 7, &v->showBrushCursor);
    Take(text, 8, &v->reserved);
    Take(text, 9, &v->strength);
    TakeColor(text, 10 * kFieldWidth, &v->color);
  } else {
    Take(text, 0, &v->shape);
    Take(text, 1, &v->width);
    Take(text, 2, &v->height);
    Take(text, 3, &v->linkSizes);
    Take(text, 4, &v->widthEnabled);
    Take(text, 5, &v->heightEnabled);
    Take(text, 6, &v->showBrushCursor);
    Take(text, 7, &v->reserved);
    Take(text, 8, &v->strength);
    TakeColor(text, 9 * kFieldWidth, &v->color);
  }
  ClampToolValues(v);
  return true;
}

std::string FormatFontValue(const FontValues& f) {
  std::string out;
  for (long long field : {static_cast<long long>(f.height), static_cast<long long>(f.weight),
                          static_cast<long long>(f.quality), static_cast<long long>(f.pitchAndFamily),
                          static_cast<long long>(f.italic), static_cast<long long>(f.underline),
                          static_cast<long long>(f.strikeOut), static_cast<long long>(f.charSet),
                          static_cast<long long>(f.pitchAndFamily)}) {
    AppendField(&out, field);
  }
  out.append(f.faceName, strnlen(f.faceName, sizeof f.faceName - 1));
  return out;
}

bool ParseFontValue(std::string_view text, FontValues* f) {
  if (text.empty()) return false;
  Take(text, 0, &f->height);
  Take(text, 1, &f->weight);
  TakeByte(text, 2, &f->quality);
  TakeByte(text, 3, &f->pitchAndFamily);
  TakeByte(text, 4, &f->italic);
  TakeByte(text, 5, &f->underline);
  TakeByte(text, 6, &f->strikeOut);
  TakeByte(text, 7, &f->charSet);
  TakeByte(text, 8, &f->pitchAndFamily);
  f->height = std::clamp(f->height, -99, 999);
  f->weight = std::clamp(f->weight, 0, 999);
  constexpr size_t kFacePos = 9 * kFieldWidth;
  if (text.size() >= kFacePos) {
    const std::string_view face = text.substr(kFacePos, sizeof f->faceName - 1);
    std::memcpy(f->faceName, face.data(), face.size());
    f->faceName[face.size()] = '\0';
  }
  return true;
}

}  // namespace settings
