#include "controls/core/locale_info.h"

#include <windows.h>

#include "controls/core/locale_codes.h"

CWindowsLocaleInfo::CWindowsLocaleInfo() : variantCode(0), languageCode(0) {
  char name[16] = {};
  char country[16] = {};
  const int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME, name, sizeof name);
  if (n <= 0) return;
  const int c = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SISO3166CTRYNAME, country, sizeof country);
  const LocaleCodes codes = LocaleCodesFor(std::string_view(name, static_cast<size_t>(n - 1)),
                                           c > 0 ? std::string_view(country, static_cast<size_t>(c - 1))
                                                 : std::string_view());
  variantCode = codes.variant;
  languageCode = codes.language;
}

CWindowsLocaleInfo::~CWindowsLocaleInfo() = default;

namespace {
CWindowsLocaleInfo localeInfo;
}

const CWindowsLocaleInfo& LocaleInfo() { return localeInfo; }
