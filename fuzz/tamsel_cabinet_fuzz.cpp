// Cabinet values: any text parses within its bounds, and what parses is written and read back
// unchanged (colours as their red, green and blue bytes).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "controls/widgets/cabinet_value.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  CabinetValue v;
  if (!ParseCabinetValue(text, &v)) return 0;
  char written[128];
  if (!FormatCabinetValue(v, written, sizeof written)) std::abort();
  CabinetValue back;
  if (!ParseCabinetValue(written, &back)) std::abort();
  if (back.number != v.number || back.first != (v.first & 0xFFFFFF) || back.second != (v.second & 0xFFFFFF)) {
    std::abort();
  }
  return 0;
}
