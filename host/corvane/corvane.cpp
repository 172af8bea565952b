// Stand-in of Corvane's CLog: records its construction so that tests can see it.
#include "host/corvane/corvane.h"

#include <cstring>

namespace {
int liveLogs = 0;
HINSTANCE lastModule = nullptr;
char lastName[16] = {};
int lastManufacturer = -1;
}  // namespace

CLog::CLog(HINSTANCE module, const char* name, e_Manufacturer manufacturer)
    : module_(module), name_{}, manufacturer_(manufacturer) {
  if (name) std::strncpy(name_, name, sizeof name_ - 1);
  ++liveLogs;
  lastModule = module_;
  std::memcpy(lastName, name_, sizeof lastName);
  lastManufacturer = manufacturer_;
}

CLog::~CLog() { --liveLogs; }

extern "C" int WINAPI CorvaneLiveLogs() { return liveLogs; }

extern "C" int WINAPI CorvaneLastLog(HINSTANCE* module, char* name, int capacity, int* manufacturer) {
  if (module) *module = lastModule;
  if (name && capacity > 0) {
    std::strncpy(name, lastName, static_cast<size_t>(capacity) - 1);
    name[capacity - 1] = '\0';
  }
  if (manufacturer) *manufacturer = lastManufacturer;
  return lastManufacturer >= 0;
}
