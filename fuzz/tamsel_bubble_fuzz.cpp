// Bubble texts: any window text gives a bubble text no longer than itself, without quotes,
// '#', '@' or '^'.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "controls/core/bubble_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const bool wanted = WantsBubble(text);
  const std::string bubble = ExtractBubbleText(text);
  if (bubble.size() > text.size()) std::abort();
  if (bubble.find_first_of("\"#@^") != std::string::npos) std::abort();
  if (wanted && text.find('"') == std::string::npos && text.find("BMP:") == std::string::npos &&
      text.find_first_of(std::string("#@^") + std::string(1, '\0'), 3) == std::string::npos) {
    // Without cut characters the hint is what follows "BB:" minus leading control characters.
    if (text.find_first_of("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0b\x0c\x0d\x0e\x0f", 3) == std::string::npos &&
        text.find_first_of("\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19\x1a\x1b\x1c\x1d\x1e\x1f", 3) == std::string::npos &&
        bubble != text.substr(3)) {
      std::abort();
    }
  }
  return 0;
}
