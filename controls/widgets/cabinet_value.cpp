#include "controls/widgets/cabinet_value.h"

#include <cstdio>

#include "controls/widgets/colour_pair.h"
#include "controls/widgets/text_scan.h"

bool ParseCabinetValue(std::string_view text, CabinetValue* out) {
  const size_t n = text.size();
  if (n == 0 || text[0] != '#') return false;
  size_t p = 1;
  while (p < n && static_cast<unsigned char>(text[p]) >= 1 && static_cast<unsigned char>(text[p]) <= 32) ++p;
  size_t end = p;
  out->number = textscan::ReadInt(text, p, &end);
  p = end;
  if (p < n && text[p] == ',') ++p;
  out->first = 0;
  out->second = 0;
  ParseColourPair(text.substr(p), &out->first, &out->second);
  return true;
}

bool FormatCabinetValue(const CabinetValue& v, char* out, size_t capacity) {
  if (capacity == 0) return false;
  const int n = std::snprintf(out, capacity, "#%d,RGB(%u,%u,%u),RGB(%u,%u,%u)", static_cast<int>(v.number),
                              v.first & 0xFF, (v.first >> 8) & 0xFF, (v.first >> 16) & 0xFF,
                              v.second & 0xFF, (v.second >> 8) & 0xFF, (v.second >> 16) & 0xFF);
  if (n < 0 || static_cast<size_t>(n) >= capacity) {
    out[0] = '\0';
    return false;
  }
  return true;
}
