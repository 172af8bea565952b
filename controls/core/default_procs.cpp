// Window procedures of the controls whose behaviour is not built yet: each hands every message
// to its default procedure, so that templates naming the classes already create windows.
#include "controls/core/classes.h"
#include "controls/core/library.h"

LRESULT CALLBACK ButtonWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }
LRESULT CALLBACK StatiqueWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }
// A dialog class: the dialog manager's procedure.
LRESULT CALLBACK TabPageWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefDlgProcA(w, m, wp, lp); }
// The superclass of "EDIT": the system edit procedure.
LRESULT CALLBACK KcEditWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  return CallWindowProcA(tamsel::editClassProc, w, m, wp, lp);
}
