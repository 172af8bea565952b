// Sets Wine's per-program display settings for the test programs named on the command line,
// before they start: their windows are neither managed nor decorated by an X window manager (the
// test display has none, and hiding a managed window waits for one). A program cannot do this
// for itself once a library it imports has started the display driver, as the control library
// does when the editor is linked in.
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  int failures = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string path = std::string("Software\\Wine\\AppDefaults\\") + argv[i] + "\\X11 Driver";
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
      ++failures;
      continue;
    }
    for (const char* name : {"Decorated", "Managed"})
      if (RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2) != ERROR_SUCCESS) ++failures;
    RegCloseKey(key);
  }
  std::printf("%d programs set up, %d failures\n", argc - 1, failures);
  return failures == 0 ? 0 : 1;
}
