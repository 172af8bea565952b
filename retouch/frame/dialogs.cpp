#include "retouch/frame/dialogs.h"

#include "retouch/frame/editor_globals.h"

namespace {

using CreateDialogFn = HWND(WINAPI*)(HINSTANCE, LPCSTR, HWND, DLGPROC);
using CreateDialogParamFn = HWND(WINAPI*)(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM);
using DialogBoxParamFn = INT_PTR(WINAPI*)(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM);

template <class Fn>
Fn LookUp(const char* name) {
  FARPROC p = GetProcAddress(g_resourceModule, name);
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(p));
}

}  // namespace

HWND EditorCreateDialog(int templateId, HWND parent, DLGPROC procedure) {
  if (g_resourceModule) {
    auto fn = LookUp<CreateDialogFn>("KVCreateDialog");
    return fn ? fn(g_libraryInstance, MAKEINTRESOURCEA(templateId), parent, procedure) : nullptr;
  }
  return CreateDialogParamA(g_libraryInstance, MAKEINTRESOURCEA(templateId), parent, procedure, 0);
}

HWND EditorCreateDialogParam(int templateId, HWND parent, DLGPROC procedure, LPARAM parameter) {
  if (g_resourceModule) {
    auto fn = LookUp<CreateDialogParamFn>("KVCreateDialogParam");
    return fn ? fn(g_libraryInstance, MAKEINTRESOURCEA(templateId), parent, procedure, parameter) : nullptr;
  }
  return CreateDialogParamA(g_libraryInstance, MAKEINTRESOURCEA(templateId), parent, procedure, parameter);
}

INT_PTR EditorDialogBoxParam(int templateId, HWND owner, DLGPROC procedure, LPARAM parameter) {
  if (g_resourceModule) {
    auto fn = LookUp<DialogBoxParamFn>("KVDialogBoxParam");
    return fn ? fn(g_libraryInstance, MAKEINTRESOURCEA(templateId), owner, procedure, parameter) : 0;
  }
  return DialogBoxParamA(g_libraryInstance, MAKEINTRESOURCEA(templateId), owner, procedure, parameter);
}
