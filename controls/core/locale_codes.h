// Codes that the input fields and fonts derive from the user's locale. Portable.
#pragma once

#include <string_view>

struct LocaleCodes {
  int variant = 0;
  int language = 0;
};

// From the abbreviated language name (e.g. "FRA") and the two-letter country name. A name that
// is not three letters long gives zeros.
LocaleCodes LocaleCodesFor(std::string_view abbreviatedLanguage, std::string_view country);
