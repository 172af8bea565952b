// Host settings and cabinet colours. Each cabinet has a file "CABINET<n>.INI" in the common data
// folder with the value "#number,RGB(..),RGB(..)" under [CabClr] CabClr; the last cabinet read
// or written is cached.
#include "controls/widgets/host_settings.h"

#include <shlwapi.h>

#include <cstdio>
#include <cstring>

#include "controls/core/ini_file.h"
#include "controls/widgets/cabinet_value.h"

namespace tamsel {

HINSTANCE applicationInstance = nullptr;
HINSTANCE resourceModule = nullptr;

namespace {

char commonDataPath[MAX_PATH] = {};

struct CabinetCache {
  int cabinet = -1;
  int number = 1;
  COLORREF first = 0x565757;
  COLORREF second = 0x565757;
} cache;

// Room for the longest folder and the widest cabinet number.
constexpr size_t kCabinetFileSize = MAX_PATH + 32;

void CabinetFile(int cabinet, char (&out)[kCabinetFileSize]) {
  std::snprintf(out, sizeof out, "%sCABINET%1d.INI", commonDataPath, cabinet);
}

}  // namespace

const char* CommonDataPath() { return commonDataPath; }

}  // namespace tamsel

using namespace tamsel;

extern "C" HINSTANCE WINAPI CtrlSetLanguageDllInstance(HINSTANCE application, HINSTANCE resources) {
  applicationInstance = application;
  resourceModule = resources;
  return application;
}

extern "C" int WINAPI SetCommonDataPath(const char* folder) {
  if (!folder) folder = "";
  const size_t length = std::strlen(folder);
  // The folder and its backslash must fit; a longer one leaves the path as it was.
  if (length + 2 > sizeof commonDataPath) return 1;
  std::memcpy(commonDataPath, folder, length + 1);
  PathAddBackslashA(commonDataPath);
  return 1;
}

extern "C" COLORREF WINAPI SetDefaultClrCab(COLORREF first, COLORREF second) {
  cache.first = first;
  cache.second = second;
  return first;
}

extern "C" int WINAPI ReadCabColorFromIni(int cabinet, int* number, COLORREF* first, COLORREF* second) {
  if (cabinet != cache.cabinet) {
    char file[kCabinetFileSize];
    CabinetFile(cabinet, file);
    char text[128];
    CabinetValue value;
    if (ini::ReadString(file, "CabClr", "CabClr", "", text, sizeof text) > 0 && ParseCabinetValue(text, &value)) {
      cache.cabinet = cabinet;
      cache.number = value.number;
      cache.first = value.first;
      cache.second = value.second;
    }
  }
  if (number) *number = cache.number;
  if (first) *first = cache.first;
  if (second) *second = cache.second;
  return 1;
}

extern "C" int WINAPI WriteCabColorToIni(int cabinet, int number, COLORREF first, COLORREF second) {
  char file[kCabinetFileSize];
  CabinetFile(cabinet, file);
  char text[128];
  if (FormatCabinetValue(CabinetValue{number, first, second}, text, sizeof text)) {
    ini::WriteString(file, "CabClr", "CabClr", text);
  }
  cache.cabinet = cabinet;
  cache.number = number;
  cache.first = first;
  cache.second = second;
  return 1;
}
