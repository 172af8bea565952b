// Tool and font values of the editor's settings file, as a user or another program may leave them.
#include <cstdint>
#include <cstring>
#include <string_view>

#include "retouch/frame/settings_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  settings::ToolValues v;
  for (auto layout : {settings::ToolLayout::kCurrent, settings::ToolLayout::kOlder}) {
    if (settings::ParseToolValue(text, layout, &v)) {
      if (v.width < 1 || v.width > 48 || v.height < 1 || v.height > 48) __builtin_trap();
      if (v.shape < 0 || v.shape > 1 || v.option < 0 || v.option > 1 || v.strength < 1 || v.strength > 100)
        __builtin_trap();
      if (static_cast<uint32_t>(v.color) > 0x00FFFFFFu) __builtin_trap();
      // What is written reads back the same.
      settings::ToolValues again;
      settings::ParseToolValue(settings::FormatToolValue(v), settings::ToolLayout::kCurrent, &again);
      if (std::memcmp(&again, &v, sizeof v) != 0) __builtin_trap();
    }
  }
  settings::FontValues f;
  if (settings::ParseFontValue(text, &f)) {
    if (std::memchr(f.faceName, 0, sizeof f.faceName) == nullptr) __builtin_trap();
    settings::FontValues again;
    settings::ParseFontValue(settings::FormatFontValue(f), &again);
    if (again.height != f.height || again.weight != f.weight || std::strcmp(again.faceName, f.faceName) != 0)
      __builtin_trap();
  }
  return 0;
}
