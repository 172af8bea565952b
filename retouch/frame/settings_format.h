// Values of the editor's settings file ("KVRTCH.INI", older "KVRTOUCH.INI"), section "Cursors":
// one "T<tool>" value per tool and one "Font" value. Fields sit at fixed character positions,
// four characters each ("%3.3d,"), so the reader can take each at its place.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace settings {

// The stored options of one tool (a ToolSettings entry without its tool code).
struct ToolValues {
  int32_t shape = 0;
  int32_t option = 0;
  int32_t width = 16;
  int32_t height = 16;
  int32_t linkSizes = 1;
  int32_t widthEnabled = 1;
  int32_t heightEnabled = 1;
  int32_t showBrushCursor = 1;
  int32_t reserved = 0;
  int32_t strength = 100;
  int32_t color = 0x00C0C0FF;  // COLORREF, written as a signed decimal
};

// The text tool's font as far as the file keeps it.
struct FontValues {
  int32_t height = 20;
  int32_t weight = 700;
  uint8_t quality = 2;
  uint8_t pitchAndFamily = 0x22;
  uint8_t italic = 0;
  uint8_t underline = 0;
  uint8_t strikeOut = 0;
  uint8_t charSet = 0;
  char faceName[32] = "Arial";
};

// Layouts of the tool value: the current file has an option field after the shape; the older
// file has none.
enum class ToolLayout { kCurrent, kOlder };

std::string FormatToolValue(const ToolValues& v);
// Reads the fields of a non-empty value into `v`. Fields beyond the end of the value keep their
// values; every field is then brought into the range the editor works with.
bool ParseToolValue(std::string_view text, ToolLayout layout, ToolValues* v);

std::string FormatFontValue(const FontValues& f);
bool ParseFontValue(std::string_view text, FontValues* f);

// The editor's ranges, applied to everything read from a file. The colour keeps its red, green
// and blue bytes only: a hand-edited high byte would make it a palette index for GDI.
void ClampToolValues(ToolValues* v);

// The tool code in a key ("T%d") of the older file: one less than the tool's own, except for the
// image adjustment (114), which keeps its code. The outline brush (115) would collide with it
// and has no key there: 0.
int32_t OlderKeyCode(int32_t tool);

}  // namespace settings
