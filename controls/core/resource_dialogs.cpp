#include "controls/core/resource_dialogs.h"

#include "controls/core/library.h"
#include "controls/widgets/host_settings.h"

namespace {

using DialogBoxFn = INT_PTR(WINAPI*)(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM);
using CreateDialogFn = HWND(WINAPI*)(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM);

template <class Fn>
Fn Export(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(tamsel::resourceModule, name)));
}

}  // namespace

INT_PTR KvDialogBoxParam(int templateId, HWND owner, DLGPROC proc, LPARAM param) {
  const LPCSTR name = MAKEINTRESOURCEA(templateId);
  if (!tamsel::resourceModule) return DialogBoxParamA(tamsel::libraryInstance, name, owner, proc, param);
  const auto run = Export<DialogBoxFn>("KVDialogBoxParam");
  return run ? run(tamsel::libraryInstance, name, owner, proc, param) : 0;
}

HWND KvCreateDialogParam(int templateId, HWND parent, DLGPROC proc, LPARAM param) {
  const LPCSTR name = MAKEINTRESOURCEA(templateId);
  if (!tamsel::resourceModule) return CreateDialogParamA(tamsel::libraryInstance, name, parent, proc, param);
  const auto create = Export<CreateDialogFn>("KVCreateDialogParam");
  return create ? create(tamsel::libraryInstance, name, parent, proc, param) : nullptr;
}
