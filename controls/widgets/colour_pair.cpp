#include "controls/widgets/colour_pair.h"

#include "controls/widgets/text_scan.h"

namespace {

using textscan::IsDigit;
constexpr size_t npos = std::string_view::npos;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool StartsRgb(std::string_view t, size_t p) { return t.substr(p, 4) == "RGB("; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads the colour at `p` into *out; an empty text or an "R" not starting "RGB(" leaves it.
void ReadColour(std::string_view t, size_t p, uint32_t* out) {
  const size_t n = t.size();
  if (p >= n || t[p] == ',') return;
  if (t[p] == '0' && p + 1 < n && (t[p + 1] == 'x' || t[p + 1] == 'X')) {
    uint64_t v = 0;
    for (size_t q = p + 2; q < n && HexDigit(t[q]) >= 0; ++q) {
      v = v * 16 + static_cast<uint64_t>(HexDigit(t[q]));
      if (v > UINT32_MAX) v = UINT32_MAX + uint64_t{1};
    }
    *out = v > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(v);
    return;
  }
  if (t[p] == 'R') {
    if (!StartsRgb(t, p)) return;
    uint32_t c[3] = {0, 0, 0};
    size_t q = p + 4;
    for (int i = 0; i < 3; ++i) {
      size_t end = q;
      c[i] = static_cast<uint32_t>(textscan::ReadInt(t, q, &end)) & 0xFF;
      q = end;
      while (q < n && IsBlank(t[q])) ++q;
      if (q >= n || t[q] != ',') break;
      ++q;
    }
    *out = c[0] | (c[1] << 8) | (c[2] << 16);
    return;
  }
  *out = static_cast<uint32_t>(textscan::ReadInt(t, p));
}

// Index after the comma that ends the colour at `p` (for "RGB(" the one after its ')').
size_t AfterColour(std::string_view t, size_t p) {
  if (StartsRgb(t, p)) {
    const size_t close = t.find(')', p);
    if (close == npos) return npos;
    p = close;
  }
  return textscan::AfterComma(t, p);
}

}  // namespace

bool ParseColourPair(std::string_view text, uint32_t* first, uint32_t* second) {
  const size_t n = text.size();
  size_t p = 0;
  while (p < n && text[p] != ',' && text[p] != '0' && text[p] != 'R') ++p;
  if (p < n && text[p] == ',') ++p;
  while (p < n && IsBlank(text[p])) ++p;
  ReadColour(text, p, first);
  p = AfterColour(text, p);
  if (p == npos) return true;
  while (p < n && IsBlank(text[p])) ++p;
  ReadColour(text, p, second);
  return true;
}
