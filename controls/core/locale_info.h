// The locale information the library builds once at load, read by the input fields and fonts.
#pragma once

class CWindowsLocaleInfo {
 public:
  CWindowsLocaleInfo();
  virtual ~CWindowsLocaleInfo();
  CWindowsLocaleInfo(const CWindowsLocaleInfo&) = delete;
  CWindowsLocaleInfo& operator=(const CWindowsLocaleInfo&) = delete;

  int variantCode;
  int languageCode;
};

// The library's instance.
const CWindowsLocaleInfo& LocaleInfo();
