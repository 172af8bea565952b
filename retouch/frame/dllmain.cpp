// Brelio.dll: the library's own instance is what its dialogs and its canvas class belong to.
#include <windows.h>

#include "retouch/frame/editor_globals.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_libraryInstance = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}
