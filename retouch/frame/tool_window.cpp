// The tool window as far as the editor needs it so far: accept and cancel end the editor, the
// brush tools become current with their cursor, and the window moves when dragged anywhere.
// Brush options, the settings file, the other tools, undo and the selection library are not
// handled here yet.
#include "retouch/frame/tool_window.h"

#include "retouch/frame/brush_cursor.h"
#include "retouch/frame/editor.h"
#include "retouch/frame/editor_hooks.h"

namespace {

constexpr int kAcceptCommand = 8;

int CursorOfTool(int tool) {
  switch (tool) {
    case TOOL_OUTLINE: return 3036;
    case TOOL_LASSO: return 3021;
    case TOOL_PAINT: return 3015;
    case TOOL_RESTORE: return 3018;
    case TOOL_SPRAY: return 3019;
    case TOOL_STAMP: return 3017;
    case TOOL_SMOOTH: return 3016;
    case TOOL_CLONE: return 3020;
    case TOOL_TEXT: return 3026;
    case TOOL_PICKER: return 3014;
    default: return 0;
  }
}

// The canvas's class cursor, replaced while the pointer is hidden.
void SetCanvasCursor(int tool) {
  RetouchState* s = g_state;
  const int id = CursorOfTool(tool);
  if (!s->canvasWindow || !id || !g_cursorModule) return;
  HCURSOR cursor = LoadCursorA(g_cursorModule, MAKEINTRESOURCEA(id));
  if (!cursor) return;
  ShowCursor(FALSE);
  SetClassLongPtrA(s->canvasWindow, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor));
  ShowCursor(TRUE);
}

void CheckToolButton(HWND window, int tool) {
  for (int id = TOOL_ADJUST; id <= TOOL_PICKER; ++id)
    CheckDlgButton(window, id, id == tool ? BST_CHECKED : BST_UNCHECKED);
}

void OnToolCommand(HWND window, int id) {
  RetouchState* s = g_state;
  switch (id) {
    case IDCANCEL:
      DibCopyInto(static_cast<DibHandle>(GetFrameProp(s->frameWindow, PROP_IMAGE)), s->backupImage);
      [[fallthrough]];
    case kAcceptCommand:
      PostMessageA(s->frameWindow, WM_CLOSE, 0, 0);
      g_editorResult = id == IDCANCEL ? 0 : 1;
      return;
    case TOOL_OUTLINE:
    case TOOL_PAINT:
    case TOOL_RESTORE:
    case TOOL_SPRAY:
    case TOOL_STAMP:
    case TOOL_SMOOTH:
    case TOOL_CLONE:
      if (s->currentTool != id && s->brushCursorShown < 0) s->brushCursorShown = 0;
      s->currentTool = id;
      RebuildBrushCursor(s->canvasWindow, TRUE);
      SetCanvasCursor(id);
      CheckToolButton(window, id);
      return;
    case TOOL_LASSO:
    case TOOL_TEXT:
    case TOOL_PICKER:
      s->currentTool = id;
      SetCanvasCursor(id);
      if (s->brushCursorShown > 0) HideBrushCursor(s->canvasWindow);
      CheckToolButton(window, id);
      return;
    default:
      return;
  }
}

}  // namespace

INT_PTR CALLBACK ToolWindowProc(HWND window, UINT message, WPARAM wParam, [[maybe_unused]] LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (g_state && HIWORD(wParam) == BN_CLICKED) OnToolCommand(window, LOWORD(wParam));
      return FALSE;
    case WM_NCHITTEST:
      SetWindowLongPtrA(window, DWLP_MSGRESULT, HTCAPTION);
      return TRUE;
    case WM_NCLBUTTONUP:
      SetCursor(LoadCursorA(nullptr, IDC_ARROW));
      return FALSE;
    case WM_DESTROY:
      RemoveAllProps(window);
      return TRUE;
    default:
      return FALSE;
  }
}
