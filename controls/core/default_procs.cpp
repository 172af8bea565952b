// The "KC_EDIT" superclass of the system edit control: the system edit control with the mini
// keyboard of double clicks (and right clicks while the left button is down).
#include "controls/core/classes.h"
#include "controls/core/library.h"
#include "controls/widgets/mini_keyboard.h"

LRESULT CALLBACK KcEditWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_LBUTTONDBLCLK:
      tamsel::MiniKeyboardClick(w);
      break;
    case WM_RBUTTONDOWN:
      if (!(wp & MK_LBUTTON)) break;
      tamsel::MiniKeyboardClick(w);
      return 0;
    case WM_KILLFOCUS:
      tamsel::MiniKeyboardFocusLost(w, reinterpret_cast<HWND>(wp));
      break;
    case WM_DESTROY:
      tamsel::MiniKeyboardTargetGone(w);
      break;
    default:
      break;
  }
  return CallWindowProcA(tamsel::editClassProc, w, m, wp, lp);
}
