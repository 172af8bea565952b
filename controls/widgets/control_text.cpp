#include "controls/widgets/control_text.h"

#include <algorithm>
#include <cstring>

namespace ctltext {
namespace {

constexpr std::string_view kBitmapTag = "BMP:";
constexpr std::string_view kIconTag = "ICO:";
constexpr std::string_view kBubbleTag = "BB:";

std::string WithoutQuotes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c != '"') out.push_back(c);
  }
  return out;
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

}  // namespace

ResourceRef ParseResourceName(std::string_view text, std::string_view stops) {
  ResourceRef ref;
  if (text.empty() || text[0] == ' ' || text[0] == '|') return ref;
  if (text[0] == '#') {
    uint32_t value = 0;
    for (size_t i = 1; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
      value = value * 10 + static_cast<uint32_t>(text[i] - '0');
      // Past 16 bits the number would be taken for a pointer to a name.
      if (value > 0xFFFF) return ref;
    }
    ref.id = static_cast<uint16_t>(value);
    return ref;
  }
  const size_t end = std::min(text.find_first_of(stops), text.size());
  if (end == 0 || end >= ResourceRef::kNameCapacity) return ref;
  std::memcpy(ref.name, text.data(), end);
  ref.name[end] = '\0';
  return ref;
}

ButtonText ParseButtonText(std::string_view windowText) {
  ButtonText out;
  out.text = WithoutQuotes(windowText);
  const size_t tag = out.text.find(kBitmapTag);
  if (tag == std::string::npos) return out;
  std::string_view names = std::string_view(out.text).substr(tag + kBitmapTag.size());
  for (int slot = 0; slot < kButtonSlots; ++slot) {
    out.bitmaps[slot] = ParseResourceName(names, "|");
    const size_t bar = names.find('|');
    if (bar == std::string_view::npos) break;
    names.remove_prefix(bar + 1);
  }
  out.text.resize(tag);
  return out;
}

std::string ButtonCaption(std::string_view text) {
  if (!StartsWith(text, kBubbleTag)) return std::string(text);
  std::string caption = WithoutQuotes(text.substr(kBubbleTag.size()));
  const size_t hat = caption.find('^');
  if (hat != std::string::npos) caption.resize(hat);
  return caption;
}

std::string TabCaption(std::string_view text) {
  const size_t at = text.rfind('@');
  return ButtonCaption(at == std::string_view::npos ? text : text.substr(0, at));
}

std::string StaticCaption(std::string_view text) {
  if (StartsWith(text, kBubbleTag)) text.remove_prefix(kBubbleTag.size());
  return std::string(text);
}

StaticText ParseStaticText(std::string_view windowText) {
  StaticText out;
  std::string text = WithoutQuotes(windowText);
  const size_t bitmapTag = text.find(kBitmapTag);
  if (bitmapTag != std::string::npos) {
    out.bitmap = ParseResourceName(std::string_view(text).substr(bitmapTag + kBitmapTag.size()), "|");
    text.resize(bitmapTag);
  } else if (const size_t iconTag = text.find(kIconTag); iconTag != std::string::npos) {
    const std::string_view rest = std::string_view(text).substr(iconTag + kIconTag.size());
    out.icon = ParseResourceName(rest, "^");
    const size_t hat = rest.find('^');
    text = hat == std::string_view::npos ? text.substr(0, iconTag) : std::string(rest.substr(hat + 1));
  }
  out.text = StaticCaption(text);
  return out;
}

}  // namespace ctltext
