// The host's resource module: the editor's dialog templates, strings and cursors, and the three
// dialog-creation functions the libraries call by name. Templates found here are created from
// their resource with the caller's instance, so that window classes the caller registered for
// itself (the editor's canvas) are found; any other template is left to the system function.
#include <windows.h>

namespace {

HINSTANCE g_self = nullptr;

LPCDLGTEMPLATEA FindTemplate(LPCSTR name) {
  HRSRC info = FindResourceA(g_self, name, MAKEINTRESOURCEA(5) /* RT_DIALOG */);
  if (!info) return nullptr;
  HGLOBAL data = LoadResource(g_self, info);
  return data ? static_cast<LPCDLGTEMPLATEA>(LockResource(data)) : nullptr;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_self = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

extern "C" {

HWND WINAPI KVCreateDialog(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC procedure) {
  if (LPCDLGTEMPLATEA t = FindTemplate(name)) return CreateDialogIndirectParamA(instance, t, parent, procedure, 0);
  return CreateDialogParamA(instance, name, parent, procedure, 0);
}

HWND WINAPI KVCreateDialogParam(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC procedure,
                                                      LPARAM parameter) {
  if (LPCDLGTEMPLATEA t = FindTemplate(name))
    return CreateDialogIndirectParamA(instance, t, parent, procedure, parameter);
  return CreateDialogParamA(instance, name, parent, procedure, parameter);
}

INT_PTR WINAPI KVDialogBoxParam(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC procedure,
                                                      LPARAM parameter) {
  if (LPCDLGTEMPLATEA t = FindTemplate(name)) return DialogBoxIndirectParamA(instance, t, owner, procedure, parameter);
  return DialogBoxParamA(instance, name, owner, procedure, parameter);
}

}  // extern "C"
