// The "KC_EDIT" superclass of the system edit control: until the mini keyboard opens from it, it
// behaves exactly as "EDIT".
#include "controls/core/classes.h"
#include "controls/core/library.h"

// The superclass of "EDIT": the system edit procedure.
LRESULT CALLBACK KcEditWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  return CallWindowProcA(tamsel::editClassProc, w, m, wp, lp);
}
