// The value of key "CabClr" in a cabinet file: "#number,RGB(r,g,b),RGB(r,g,b)". Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

struct CabinetValue {
  int32_t number = 0;
  uint32_t first = 0;   // COLORREF
  uint32_t second = 0;  // COLORREF
};

// False when the value is empty or does not start with '#'. Colours missing from the text stay
// black.
bool ParseCabinetValue(std::string_view text, CabinetValue* out);

// False, with `out` set to "", when the text does not fit in `capacity` bytes.
bool FormatCabinetValue(const CabinetValue& value, char* out, size_t capacity);
