#include "controls/core/ini_file.h"

#include <cstring>

#include "controls/core/library.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace ini {

DWORD ReadString(const char* file, const char* section, const char* key, const char* fallback, char* buffer,
                 DWORD capacity) {
  if (!buffer || capacity == 0) return 0;
  buffer[0] = '\0';
  const DWORD n = GetPrivateProfileStringA(section, key, fallback ? fallback : "", buffer, capacity, file);
  buffer[capacity - 1] = '\0';
  return n < capacity ? n : capacity - 1;
}

int ReadInt(const char* file, const char* section, const char* key, int fallback) {
  return static_cast<int>(GetPrivateProfileIntA(section, key, fallback, file));
}

bool WriteString(const char* file, const char* section, const char* key, const char* value) {
  return WritePrivateProfileStringA(section, key, value, file) != 0;
}

bool BesideLibrary(const char* fileName, char* out, DWORD capacity) {
  if (!out || capacity == 0) return false;
  out[0] = '\0';
  HMODULE module = tamsel::libraryInstance ? tamsel::libraryInstance : reinterpret_cast<HMODULE>(&__ImageBase);
  char path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return false;
  char* slash = std::strrchr(path, '\\');
  const size_t folder = slash ? static_cast<size_t>(slash - path) + 1 : 0;
  const size_t name = std::strlen(fileName);
  if (folder + name + 1 > capacity) return false;
  std::memcpy(out, path, folder);
  std::memcpy(out + folder, fileName, name + 1);
  return true;
}

}  // namespace ini
