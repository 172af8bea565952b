// Button and static control texts: any window text gives bounded names, identifiers that stay
// integer resources, and shown texts no longer than the window text, without quotes where the
// rules remove them.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "controls/widgets/control_text.h"
#include "controls/widgets/qword_text.h"

namespace {

void CheckRef(const ctltext::ResourceRef& r) {
  if (strnlen(r.name, sizeof r.name) >= sizeof r.name) std::abort();
  if (r.id != 0 && r.name[0] != '\0') std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const ctltext::ButtonText b = ctltext::ParseButtonText(text);
  if (b.text.size() > text.size() || b.text.find('"') != std::string::npos) std::abort();
  for (const auto& r : b.bitmaps) CheckRef(r);
  const ctltext::StaticText s = ctltext::ParseStaticText(text);
  if (s.text.size() > text.size() || s.text.find('"') != std::string::npos) std::abort();
  CheckRef(s.bitmap);
  CheckRef(s.icon);
  if (ctltext::ButtonCaption(text).size() > text.size() || ctltext::TabCaption(text).size() > text.size()) std::abort();

  const std::string zeroEnded = text.substr(0, text.find('\0'));
  char trimmed[qword::kTrimCapacity];
  qword::TrimBlanks(zeroEnded.c_str(), trimmed);
  if (std::strlen(trimmed) > zeroEnded.size()) std::abort();
  qword::ParseDecimal(zeroEnded.c_str());
  return 0;
}
