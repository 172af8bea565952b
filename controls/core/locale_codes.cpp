#include "controls/core/locale_codes.h"

#include <cctype>

namespace {

struct Code {
  const char* name;
  int code;
};

constexpr Code kVariants[] = {{"DEU", 6}, {"ENC", 1}, {"ENG", 4}, {"ENJ", 8},
                              {"ENU", 5}, {"FRA", 7}, {"FRC", 2}};

constexpr Code kLanguages[] = {{"BG", 1},  {"CS", 4},  {"CW", 5},  {"NL", 5},  {"DE", 8},
                               {"EN", 6},  {"ES", 19}, {"FR", 7},  {"HU", 9},  {"IT", 10},
                               {"JP", 11}, {"KO", 12}, {"LT", 13}, {"PL", 14}, {"PT", 15},
                               {"RO", 16}, {"RU", 17}, {"UK", 17}, {"SK", 18}, {"TH", 20},
                               {"TR", 21}};

}  // namespace

LocaleCodes LocaleCodesFor(std::string_view abbreviatedLanguage, std::string_view country) {
  LocaleCodes codes;
  if (abbreviatedLanguage.size() != 3) return codes;
  char name[4] = {};
  for (int i = 0; i < 3; ++i) {
    const unsigned char c = static_cast<unsigned char>(abbreviatedLanguage[i]);
    if (!std::isalpha(c)) return codes;
    name[i] = static_cast<char>(std::toupper(c));
  }
  const std::string_view upper(name, 3);
  for (const Code& v : kVariants) {
    if (upper == v.name) codes.variant = v.code;
  }
  if (upper == "ZZZ" && country == "CW") {
    codes.variant = 3;
    name[0] = 'C';
    name[1] = 'W';
  }
  const std::string_view two(name, 2);
  codes.language = 6;
  if (two == "CH") {
    codes.language = name[2] == 'T' ? 3 : 2;
    return codes;
  }
  for (const Code& l : kLanguages) {
    if (two == l.name) codes.language = l.code;
  }
  return codes;
}
