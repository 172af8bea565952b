// Style entry lines and custom colours: any value parses within its bounds; an accepted line
// that can be written reads back to the same values and texture name.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "controls/core/style_line.h"

namespace {

style::LineValues Start() {
  style::LineValues v = {};
  v.kind = 77;
  v.placed = v.fitWidth = 1;
  v.firstColour = 0x123456;
  v.font.height = -11;
  std::strcpy(v.font.faceName, "Arial");
  v.hueShift = 9;
  return v;
}

bool SameFace(const style::LineValues& a, const style::LineValues& b) {
  return std::strncmp(a.font.faceName, b.font.faceName, sizeof a.font.faceName - 1) == 0;
}

void CheckRoundTrip(const std::string& text) {
  style::LineValues v = Start();
  const style::LineResult r = style::ParseStyleLine(text, &v);
  if (r.accepted && (!r.hasName || v.kind > 4)) std::abort();
  if (v.font.faceName[sizeof v.font.faceName - 1] != '\0') std::abort();
  if (!r.accepted) return;
  const std::string name(r.name);
  char line[2048];
  if (!style::FormatStyleLine(name, v, line, sizeof line)) return;
  style::LineValues back = v;
  const style::LineResult again = style::ParseStyleLine(line, &back);
  if (!again.accepted || again.name != name || again.hasHueShift) std::abort();
  if (back.kind != v.kind || back.firstColour != v.firstColour || back.secondColour != v.secondColour ||
      back.thirdColour != v.thirdColour || back.textColour != v.textColour || back.relief != v.relief ||
      back.rounded != v.rounded || back.transparent != v.transparent || back.embossed != v.embossed ||
      back.font.height != v.font.height || back.font.weight != v.font.weight || back.font.italic != v.font.italic ||
      back.font.pitchAndFamily != v.font.pitchAndFamily || !SameFace(back, v) || back.hueShift != v.hueShift) {
    std::abort();
  }
}

void CheckCustomColours(const std::string& text) {
  uint32_t colours[style::kCustomColourCount];
  style::ParseCustomColours(text, 0x00ABCDEF, colours);
  if (colours[style::kCustomColourCount - 1] != 0x00ABCDEF) std::abort();
  char written[style::kCustomColoursTextSize];
  style::FormatCustomColours(colours, written);
  if (std::strlen(written) != style::kCustomColoursTextSize - 1) std::abort();
  uint32_t back[style::kCustomColourCount];
  style::ParseCustomColours(written, 0x00ABCDEF, back);
  for (size_t i = 0; i < style::kCustomColourCount; ++i) {
    if (back[i] != (colours[i] & 0xFFFFFF)) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  CheckRoundTrip(text);
  CheckCustomColours(text);
  return 0;
}
