// Tamsel.dll: the load registers the classes and reads the global style; the unload undoes it.
#include <windows.h>

#include "controls/core/library.h"
#include "controls/widgets/utilities.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      return tamsel::LibraryAttach(module);
    case DLL_PROCESS_DETACH:
      tamsel::LibraryDetach();
      return TRUE;
    case DLL_THREAD_DETACH:
      // The trimmer's buffer belongs to the thread that ends.
      tamsel::FreeThreadTrimBuffer();
      return TRUE;
    default:
      return TRUE;
  }
}
