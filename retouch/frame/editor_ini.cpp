#include "retouch/frame/editor_ini.h"

#include <vector>

#include "retouch/frame/editor_globals.h"

bool ModuleFilePath(const char* fileName, std::string* path) {
  char module[MAX_PATH];
  const DWORD n = GetModuleFileNameA(g_libraryInstance, module, MAX_PATH);
  // A path cut at MAX_PATH names another place: nothing is read or written then.
  if (n == 0 || n >= MAX_PATH) return false;
  std::string folder(module, n);
  const size_t slash = folder.find_last_of('\\');
  folder.erase(slash == std::string::npos ? 0 : slash + 1);
  folder += fileName;
  if (folder.size() >= MAX_PATH) return false;
  *path = std::move(folder);
  return true;
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string IniRead(const std::string& path, const char* section, const char* key, size_t maxChars) {
  std::vector<char> buffer(maxChars + 1, '\0');
  const DWORD n = GetPrivateProfileStringA(section, key, "", buffer.data(), static_cast<DWORD>(buffer.size()),
                                           path.c_str());
  return std::string(buffer.data(), n < buffer.size() ? n : maxChars);
}

bool IniWrite(const std::string& path, const char* section, const char* key, const std::string& value) {
  return WritePrivateProfileStringA(section, key, value.c_str(), path.c_str()) != FALSE;
}
