// The arithmetic of the control size registry: where a registered control goes when its dialog
// changes size, and the font and item heights that go with it. Portable (no windows.h).
// Everything is computed from the registered values, never from the previous layout, so any
// number of resizes back to the registered size gives the registered layout exactly.
#pragma once

#include <string_view>

namespace sizes {

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const Rect&) const = default;
};

// value * newSize / oldSize, signed and truncated towards zero, in 64 bits and bounded to int:
// a control registered left of or above the client area stays just as near it. 0 when oldSize is 0.
int Scale(int value, int newSize, int oldSize);

// to - from, bounded to int.
int Span(int from, int to);

// The registered rectangle for a dialog of newW x newH that was oldW x oldH at registration.
Rect ScaleRect(const Rect& registered, int newW, int newH, int oldW, int oldH);

// Font height and width for the new dialog size: the height follows the dialog's height with the
// factor 0.9 (truncated), the width its width; either stays registered when its old size is 0.
int ScaledFontHeight(int registeredHeight, int newH, int oldH);
int ScaledFontWidth(int registeredWidth, int newW, int oldW);

// The font the registry asks for. Above 16 pixels in magnitude it is a TrueType-only,
// proof-quality font of no set width, 3 pixels nearer to zero.
struct FontSize {
  int width = 0;
  int height = 0;
  bool trueTypeOnly = false;
  bool operator==(const FontSize&) const = default;
};
FontSize FontFor(int width, int height);

// The languages (language codes of the locale information) whose fonts keep their face name;
// every other language gets "arial".
bool KeepsFaceName(int languageCode);

// Class tests on a window class name, upper-cased as compared.
bool IsComboClass(std::string_view className);
bool IsListClass(std::string_view className);
// A static text whose style is left-aligned (none of the two lowest bits set) keeps its font.
bool IsPlainLeftStatic(std::string_view className, unsigned long style);

// An item height registered (item height minus 4) scaled for the dialog height; within what
// combo and list boxes accept (1 to 255).
int ScaledItemHeight(int registeredItemHeight, int newH, int oldH);

}  // namespace sizes
