// The style editor's dialog procedure. Its controls and models are not built yet: the dialog
// opens on its target dialog (the initialisation parameter), is the open library dialog while
// it runs, and closes with OK or Cancel.
#include "controls/core/style_editor.h"

#include "controls/core/style_record.h"

INT_PTR CALLBACK StyleEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      SetOpenLibraryDialog(dialog);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
    case WM_DESTROY:
      if (GetOpenLibraryDialog() == dialog) SetOpenLibraryDialog(nullptr);
      return FALSE;
    default:
      return FALSE;
  }
}
