#include "controls/core/window_tests.h"

#include <cstring>

#include "controls/core/style_record.h"

namespace {

constexpr LONG kButtonTypeMask = 0xF;
constexpr LONG kAutoRadio = 9;
constexpr LONG kTabButtonStyle = 0x2000;

}  // namespace

bool IsKvButton(HWND window) {
  if (!IsWindow(window)) return false;
  char name[8] = {};
  GetClassNameA(window, name, sizeof name);
  return lstrcmpiA(name, "BOUTON") == 0;
}

bool IsStyledControl(HWND window) {
  if (!IsWindow(window)) return false;
  char name[40] = {};
  GetClassNameA(window, name, sizeof name);
  CharUpperA(name);
  static const char* const kClasses[] = {"BOUTON",   "STATIQUE", "SAISIE", "KVCOMBO",   "LISTBOX",
                                         "COMBOBOX", "STATIC",   "BUTTON", "SCROLLBAR", "EDIT"};
  for (const char* c : kClasses) {
    if (std::strcmp(name, c) == 0) return true;
  }
  return false;
}

HWND OwningDialog(HWND window) {
  if (!IsWindow(window)) return nullptr;
  if (!IsStyledControl(window)) return window;
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  HWND parent = GetParent(window);
  if (IsKvButton(window) && (style & kButtonTypeMask) == kAutoRadio && (style & kTabButtonStyle)) {
    HWND page = static_cast<HWND>(GetPropA(parent, MAKEINTATOM(GetDlgCtrlID(window))));
    if (IsWindow(page)) return page;
  }
  if (!parent) return nullptr;
  if ((GetWindowLongA(parent, GWL_STYLE) & WS_POPUP) || GetPropA(parent, PROP_DLG_TEXTURE)) return parent;
  return GetParent(parent);
}
