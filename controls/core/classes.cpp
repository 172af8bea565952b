// Registration of the library's window classes.
#include "controls/core/classes.h"

#include <iterator>

#include "controls/core/library.h"
#include "controls/core/window_data.h"

namespace tamsel {
namespace {

struct ClassSpec {
  const char* name;
  WNDPROC proc;
  UINT style;
  const char* cursor;
  int extraBytes;
};

// In registration order.
const ClassSpec kClasses[] = {
    {"BOUTON", ButtonWndProc, CS_GLOBALCLASS | CS_DBLCLKS, IDC_ARROW, wdata::button::kSize},
    {"SAISIE", SaisieWndProc, CS_GLOBALCLASS | CS_DBLCLKS, IDC_IBEAM, wdata::saisie::kSize},
    {"STATIQUE", StatiqueWndProc, CS_GLOBALCLASS, IDC_ARROW, wdata::statique::kSize},
    {"KVCOMBO", KvComboWndProc, CS_GLOBALCLASS, IDC_ARROW, wdata::combo::kSize},
    {"KvPopupCmb", KvPopupCmbWndProc, CS_SAVEBITS, IDC_ARROW, wdata::popup::kSize},
    {"KVTABPAGE", TabPageWndProc, CS_GLOBALCLASS, IDC_ARROW, wdata::tabpage::kSize},
};

bool RegisterOne(HINSTANCE module, const ClassSpec& spec) {
  WNDCLASSA wc = {};
  wc.style = spec.style;
  wc.lpfnWndProc = spec.proc;
  wc.cbWndExtra = spec.extraBytes;
  wc.hInstance = module;
  wc.hCursor = LoadCursorA(nullptr, spec.cursor);
  wc.lpszClassName = spec.name;
  return RegisterClassA(&wc) != 0;
}

void RegisterEditSuperclass(HINSTANCE module) {
  WNDCLASSA wc = {};
  if (!GetClassInfoA(nullptr, "EDIT", &wc)) return;
  editClassProc = wc.lpfnWndProc;
  wc.style |= CS_GLOBALCLASS;
  wc.cbClsExtra += sizeof(LONG_PTR);
  wc.lpfnWndProc = KcEditWndProc;
  wc.hInstance = module;
  wc.lpszClassName = "KC_EDIT";
  RegisterClassA(&wc);
}

}  // namespace

bool RegisterControlClasses(HINSTANCE module) {
  for (size_t i = 0; i < std::size(kClasses); ++i) {
    if (!RegisterOne(module, kClasses[i])) {
      // A refused library must not leave classes whose procedures go away with it.
      while (i-- > 0) UnregisterClassA(kClasses[i].name, module);
      return false;
    }
  }
  RegisterEditSuperclass(module);
  return true;
}

void UnregisterControlClasses(HINSTANCE module) {
  for (const ClassSpec& spec : kClasses) UnregisterClassA(spec.name, module);
  UnregisterClassA("KC_EDIT", module);
}

}  // namespace tamsel
