// "kvfonds.ini" beside the library: section "Global" for the global record, "D<number>" per
// dialog, "Aspect Global" for the four flags, and the colour chooser's custom colours.
#include <cstdio>
#include <cstring>
#include <string_view>

#include "controls/core/ini_file.h"
#include "controls/core/style_record.h"
#include "controls/widgets/dib_file.h"

namespace {

constexpr const char* kFlagsSection = "Aspect Global";
// Values are read with up to 1023 characters.
constexpr DWORD kLineSize = 1024;
// A written line: the texture name and fifteen numbers.
constexpr size_t kWrittenLineSize = 2048;

bool StyleFile(char (&path)[MAX_PATH]) { return ini::BesideLibrary("kvfonds.ini", path, MAX_PATH); }

style::LineValues ValuesOf(const StyleEntry& e) {
  style::LineValues v = {};
  v.kind = e.kind;
  v.placed = e.placed;
  v.fitWidth = e.fitWidth;
  v.fitHeight = e.fitHeight;
  v.alignRight = e.alignRight;
  v.alignBottom = e.alignBottom;
  v.firstColour = e.firstColour;
  v.secondColour = e.secondColour;
  v.thirdColour = e.thirdColour;
  v.textColour = e.textColour;
  v.relief = e.relief;
  v.rounded = e.rounded;
  v.transparent = e.transparent;
  v.embossed = e.embossed;
  v.font = e.fontDesc;
  v.hueShift = e.hueShift;
  return v;
}

void StoreValues(const style::LineValues& v, StyleEntry* e) {
  e->kind = v.kind;
  e->placed = v.placed;
  e->fitWidth = v.fitWidth;
  e->fitHeight = v.fitHeight;
  e->alignRight = v.alignRight;
  e->alignBottom = v.alignBottom;
  e->firstColour = v.firstColour;
  e->secondColour = v.secondColour;
  e->thirdColour = v.thirdColour;
  e->textColour = v.textColour;
  e->relief = v.relief;
  e->rounded = v.rounded;
  e->transparent = v.transparent;
  e->embossed = v.embossed;
  e->fontDesc = v.font;
}

}  // namespace

void DialogSection(int dialogNumber, char* out, size_t capacity) {
  if (capacity) std::snprintf(out, capacity, "D%d", dialogNumber);
}

bool ReadStyleEntry(const char* section, StyleEntry* entry) {
  char path[MAX_PATH];
  if (!StyleFile(path)) return false;
  char value[kLineSize];
  const DWORD n = ini::ReadString(path, section, entry->key, "", value, kLineSize);
  if (n == 0) return false;
  style::LineValues v = ValuesOf(*entry);
  const style::LineResult r = style::ParseStyleLine(std::string_view(value, n), &v);
  if (r.hasName) {
    // The old texture goes; the new name is kept even when empty and loaded at once.
    if (!IsNoHandle(entry->texture)) GlobalFree(entry->texture);
    entry->texture = nullptr;
    FreeStyleText(entry->textureFile);
    entry->textureFile = NewStyleText(r.name);
    if (entry->textureFile && !r.name.empty()) entry->texture = LoadDibFromFile(entry->textureFile);
  }
  StoreValues(v, entry);
  if (r.hasHueShift) {
    if (!IsNoHandle(entry->texture)) {
      ApplyHueShift(entry->texture, v.hueShift);
      entry->hueShift = 0;
    } else {
      entry->hueShift = v.hueShift;
    }
  }
  return r.accepted;
}

bool WriteStyleEntry(const char* section, const StyleEntry& entry) {
  char path[MAX_PATH];
  if (!StyleFile(path)) return false;
  char line[kWrittenLineSize];
  const std::string_view texture = entry.textureFile ? std::string_view(entry.textureFile) : std::string_view();
  if (!style::FormatStyleLine(texture, ValuesOf(entry), line, sizeof line)) return false;
  return ini::WriteString(path, section, entry.key, line);
}

void ReadGlobalFlags() {
  char path[MAX_PATH];
  if (!StyleFile(path)) return;
  for (int i = 0; i < kStyleElementCount; ++i) {
    SetGlobalFlag(static_cast<StyleElement>(i), ini::ReadInt(path, kFlagsSection, kStyleElementKeys[i].flag, 1));
  }
}

void WriteGlobalFlags() {
  char path[MAX_PATH];
  if (!StyleFile(path)) return;
  for (int i = 0; i < kStyleElementCount; ++i) {
    ini::WriteString(path, kFlagsSection, kStyleElementKeys[i].flag, GetGlobalFlag(static_cast<StyleElement>(i)) ? "1" : "0");
  }
}

void LoadGlobalStyle() {
  for (int i = 0; i < kStyleElementCount; ++i) {
    StyleEntry* e = &GlobalStyle().entries[i];
    std::memset(e->key, 0, sizeof e->key);
    std::strncpy(e->key, kStyleElementKeys[i].global, sizeof e->key - 1);
    ReadStyleEntry(kGlobalSection, e);
  }
}

void ReadCustomColours(COLORREF colours[16], COLORREF fallback) {
  char path[MAX_PATH];
  char text[256] = {};
  DWORD n = 0;
  if (StyleFile(path)) n = ini::ReadString(path, "Fonds", "CustColor", "", text, sizeof text);
  uint32_t parsed[style::kCustomColourCount];
  style::ParseCustomColours(std::string_view(text, n), fallback, parsed);
  for (size_t i = 0; i < style::kCustomColourCount; ++i) colours[i] = parsed[i];
}

void WriteCustomColours(const COLORREF colours[16]) {
  char path[MAX_PATH];
  if (!StyleFile(path)) return;
  uint32_t values[style::kCustomColourCount];
  for (size_t i = 0; i < style::kCustomColourCount; ++i) values[i] = colours[i];
  char text[style::kCustomColoursTextSize];
  style::FormatCustomColours(values, text);
  ini::WriteString(path, "Fonds", "CustColor", text);
}
