// The texts of the library's buttons and static controls: bitmap and icon names after "BMP:"
// and "ICO:", the caption shown, the "BB:" bubble marker. Portable; every name is copied into a
// bounded buffer and every number is checked before it becomes a resource identifier.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ctltext {

// A resource named in a text: an integer identifier (1..65535) or a name, or nothing.
struct ResourceRef {
  static constexpr size_t kNameCapacity = 64;
  uint16_t id = 0;
  char name[kNameCapacity] = {};
  bool none() const { return id == 0 && name[0] == '\0'; }
};

// One name at the start of `text`: '#' and a decimal number (ending at the first non-digit;
// 0 or a number above 65535 is none), or a name running to the first character of `stops` or
// the end. Empty, blank-started, '|'-started and overlong names are none.
ResourceRef ParseResourceName(std::string_view text, std::string_view stops);

// Bitmap slots of a button, in the order their names follow "BMP:".
enum ButtonSlot : int { kSlotNormal = 0, kSlotDisabled = 1, kSlotChecked = 2, kSlotHover = 3 };
constexpr int kButtonSlots = 4;

struct ButtonText {
  std::string text;  // the window text without quotes, cut before "BMP:"
  ResourceRef bitmaps[kButtonSlots];
};
// A button's window text at creation: quotes removed, up to four bitmap names separated by '|'
// after "BMP:".
ButtonText ParseButtonText(std::string_view windowText);

// What a button shows of its text: a text starting with "BB:" loses its quotes and shows what
// follows "BB:" up to the first '^'; any other text shows whole.
std::string ButtonCaption(std::string_view text);
// A tab button's caption: its text cut at the last '@', then the button rule.
std::string TabCaption(std::string_view text);

struct StaticText {
  std::string text;  // what the control shows
  ResourceRef bitmap;
  ResourceRef icon;
};
// A static control's window text at creation: quotes removed; the first name after "BMP:"
// (names separated by '|') with the text cut before "BMP:"; or an icon name after "ICO:", the
// text being what follows a '^' after the name, else the text before "ICO:". A shown text that
// begins with "BB:" loses those three characters.
StaticText ParseStaticText(std::string_view windowText);
// The shown text of a static for a text set later (no pictures are loaded then).
std::string StaticCaption(std::string_view text);

}  // namespace ctltext
