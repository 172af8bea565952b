#include "controls/core/bubble_text.h"

namespace {

bool IsCutControl(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return u >= 1 && u <= 31 && u != '\n';
}

}  // namespace

bool WantsBubble(std::string_view windowText) {
  return windowText.size() >= 4 && windowText.substr(0, 3) == "BB:";
}

std::string ExtractBubbleText(std::string_view windowText) {
  std::string s;
  s.reserve(windowText.size());
  for (char c : windowText) {
    if (c != '"') s += c;
  }
  const size_t bb = s.find("BB:");
  s = bb == std::string::npos ? std::string() : s.substr(bb + 3);

  const size_t bmp = s.find("BMP:");
  if (bmp != std::string::npos) s.resize(bmp);

  const size_t caret = s.find('^');
  if (caret != std::string::npos && caret + 1 < s.size()) s.erase(0, caret + 1);

  for (size_t i = 0; i + 1 < s.size(); ++i) {
    if (s[i] == '^' || IsCutControl(s[i])) {
      size_t start = i + 1;
      while (start < s.size() && IsCutControl(s[start])) ++start;
      s.erase(0, start);
      break;
    }
  }

  const size_t cut = s.find_first_of("#@^");
  if (cut != std::string::npos) s.resize(cut);
  return s;
}
