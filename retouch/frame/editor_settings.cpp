#include "retouch/frame/editor_settings.h"

#include <cstring>
#include <string>

#include "retouch/frame/editor_globals.h"
#include "retouch/frame/editor_ini.h"
#include "retouch/frame/settings_format.h"

namespace {

constexpr char kCurrentFile[] = "KVRTCH.INI";
constexpr char kOlderFile[] = "KVRTOUCH.INI";
constexpr char kSection[] = "Cursors";
constexpr char kFontKey[] = "Font";
constexpr size_t kValueChars = 128;

std::string ToolKey(int32_t code) { return "T" + std::to_string(code); }

settings::ToolValues ValuesOf(const ToolSettings& t) {
  settings::ToolValues v;
  v.shape = t.shape;
  v.option = t.option;
  v.width = t.width;
  v.height = t.height;
  v.linkSizes = t.linkSizes;
  v.widthEnabled = t.widthEnabled;
  v.heightEnabled = t.heightEnabled;
  v.showBrushCursor = t.showBrushCursor;
  v.reserved = t.reserved;
  v.strength = t.strength;
  v.color = static_cast<int32_t>(t.color);
  return v;
}

void Assign(ToolSettings* t, const settings::ToolValues& v) {
  t->shape = v.shape;
  t->option = v.option;
  t->width = v.width;
  t->height = v.height;
  t->linkSizes = v.linkSizes;
  t->widthEnabled = v.widthEnabled;
  t->heightEnabled = v.heightEnabled;
  t->showBrushCursor = v.showBrushCursor;
  t->reserved = v.reserved;
  t->strength = v.strength;
  t->color = static_cast<COLORREF>(v.color);
}

settings::FontValues FontOf(const LOGFONTA& f) {
  settings::FontValues v;
  v.height = f.lfHeight;
  v.weight = f.lfWeight;
  v.quality = f.lfQuality;
  v.pitchAndFamily = f.lfPitchAndFamily;
  v.italic = f.lfItalic;
  v.underline = f.lfUnderline;
  v.strikeOut = f.lfStrikeOut;
  v.charSet = f.lfCharSet;
  static_assert(sizeof v.faceName == sizeof f.lfFaceName, "face names of the same size");
  std::memcpy(v.faceName, f.lfFaceName, sizeof v.faceName);
  v.faceName[sizeof v.faceName - 1] = '\0';
  return v;
}

void AssignFont(LOGFONTA* f, const settings::FontValues& v) {
  f->lfHeight = v.height;
  f->lfWeight = v.weight;
  f->lfQuality = v.quality;
  f->lfPitchAndFamily = v.pitchAndFamily;
  f->lfItalic = v.italic;
  f->lfUnderline = v.underline;
  f->lfStrikeOut = v.strikeOut;
  f->lfCharSet = v.charSet;
  std::memcpy(f->lfFaceName, v.faceName, sizeof f->lfFaceName);
}

}  // namespace

void LoadEditorSettings() {
  RetouchState* s = g_state;
  std::string path;
  if (!s || !ModuleFilePath(kCurrentFile, &path)) return;
  const bool older = !FileExists(path);
  if (older && !ModuleFilePath(kOlderFile, &path)) return;
  const settings::ToolLayout layout = older ? settings::ToolLayout::kOlder : settings::ToolLayout::kCurrent;
  for (ToolSettings& t : s->toolSettings) {
    const int32_t code = older ? settings::OlderKeyCode(t.tool) : t.tool;
    if (code <= 0) continue;
    settings::ToolValues v = ValuesOf(t);
    if (settings::ParseToolValue(IniRead(path, kSection, ToolKey(code).c_str(), kValueChars), layout, &v))
      Assign(&t, v);
  }
  settings::FontValues font = FontOf(s->logFont);
  if (settings::ParseFontValue(IniRead(path, kSection, kFontKey, kValueChars), &font)) AssignFont(&s->logFont, font);
}

void SaveEditorSettings() {
  const RetouchState* s = g_state;
  std::string path;
  if (!s || !ModuleFilePath(kCurrentFile, &path)) return;
  for (const ToolSettings& t : s->toolSettings)
    IniWrite(path, kSection, ToolKey(t.tool).c_str(), settings::FormatToolValue(ValuesOf(t)));
  IniWrite(path, kSection, kFontKey, settings::FormatFontValue(FontOf(s->logFont)));
}
