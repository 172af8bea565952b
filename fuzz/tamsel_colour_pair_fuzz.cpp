// Colour pairs: any text reads within its bounds; a colour left unread keeps its value.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "controls/widgets/colour_pair.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  uint32_t first = 0x5A5A5A5A, second = 0xA5A5A5A5;
  if (!ParseColourPair(text, &first, &second)) std::abort();
  if (text.find_first_of("0R,") == std::string::npos && first != 0x5A5A5A5A) std::abort();
  return 0;
}
