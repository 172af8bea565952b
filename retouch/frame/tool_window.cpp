// The tool window's dialog procedure. The options of the current tool live in the state record
// (brushWidth ... brushStrength); switching tools stores them into the old tool's entry and loads
// the new tool's. The table is read from the settings file when the window opens and written
// when it closes.
//
// Not here: the text tool's font dialog, the image adjustment dialog and the selection library
// window are their own parts (editor_hooks.h); this window only calls them.
#include "retouch/frame/tool_window.h"

#include <commdlg.h>

#include "retouch/canvas/strokes.h"
#include "retouch/frame/brush_cursor.h"
#include "retouch/frame/brush_preview.h"
#include "retouch/frame/cursor_ids.h"
#include "retouch/frame/dialogs.h"
#include "retouch/frame/editor_globals.h"
#include "retouch/frame/editor_hooks.h"
#include "retouch/frame/editor_settings.h"
#include "retouch/frame/tamsel_imports.h"
#include "retouch/frame/tool_bars.h"
#include "retouch/frame/window_utils.h"
#include "winkit/gdi_guard.h"

namespace {

// The preview frame is an etched static: the brush is drawn inside its edge.
constexpr int kPreviewEdge = 2;

ToolSettings* FindEntry(RetouchState& s, int tool) {
  for (ToolSettings& t : s.toolSettings)
    if (t.tool == tool) return &t;
  return nullptr;
}

int CursorOfTool(int tool) {
  switch (tool) {
    case TOOL_OUTLINE: return CURSOR_OUTLINE;
    case TOOL_LASSO: return CURSOR_LASSO;
    case TOOL_PAINT: return CURSOR_PAINT;
    case TOOL_RESTORE: return CURSOR_RESTORE;
    case TOOL_SPRAY: return CURSOR_SPRAY;
    case TOOL_STAMP: return CURSOR_STAMP;
    case TOOL_SMOOTH: return CURSOR_SMOOTH;
    case TOOL_CLONE: return CURSOR_CLONE;
    case TOOL_TEXT: return CURSOR_TEXT;
    case TOOL_PICKER: return CURSOR_PICKER;
    default: return 0;
  }
}

// The canvas's class cursor, replaced while the pointer is hidden.
void SetCanvasCursor(const RetouchState& s, int tool) {
  const int id = CursorOfTool(tool);
  if (!s.canvasWindow || !id || !g_cursorModule) return;
  HCURSOR cursor = LoadCursorA(g_cursorModule, MAKEINTRESOURCEA(id));
  if (!cursor) return;
  ShowCursor(FALSE);
  SetClassLongPtrA(s.canvasWindow, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor));
  ShowCursor(TRUE);
}

// The tool buttons are check boxes of their own; only the current tool's is checked.
void CheckToolButton(HWND window, int tool) {
  for (int id = TOOL_ADJUST; id <= TOOL_PICKER; ++id)
    CheckDlgButton(window, id, id == tool ? BST_CHECKED : BST_UNCHECKED);
}

void HideBrushCursorWhenShown(const RetouchState& s) {
  if (s.brushCursorShown > 0) HideBrushCursor(s.canvasWindow);
}

// Area of the brush preview in the dialog's client coordinates.
RECT PreviewRect(HWND window) {
  RECT r{};
  HWND frame = GetDlgItem(window, IDC_PREVIEW);
  if (!frame) return r;
  GetClientRect(frame, &r);
  MapWindowPoints(frame, window, reinterpret_cast<POINT*>(&r), 2);
  InflateRect(&r, -kPreviewEdge, -kPreviewEdge);
  return r;
}

void SetBar(HWND window, int id, int position) {
  SetScrollPos(GetDlgItem(window, id), SB_CTL, position, TRUE);
}

// ---- Scroll bars ------------------------------------------------------------------------------

void StepBar(HWND bar, int code, int thumb, const tools::BarRange& range) {
  int32_t to = 0;
  if (tools::ScrollTarget(code, GetScrollPos(bar, SB_CTL), thumb, range, &to)) SetScrollPos(bar, SB_CTL, to, TRUE);
}

void OnScroll(RetouchState& s, HWND window, HWND bar, int code, int thumb) {
  const int id = GetDlgCtrlID(bar);
  if (id == IDC_WIDTH_BAR || id == IDC_HEIGHT_BAR) {
    StepBar(bar, code, thumb, tools::kSizeBar);
    if (IsDlgButtonChecked(window, IDC_LINK) == BST_CHECKED)
      StepBar(GetDlgItem(window, id == IDC_WIDTH_BAR ? IDC_HEIGHT_BAR : IDC_WIDTH_BAR), code, thumb, tools::kSizeBar);
    s.brushWidth = GetScrollPos(GetDlgItem(window, IDC_WIDTH_BAR), SB_CTL);
    s.brushHeight = GetScrollPos(GetDlgItem(window, IDC_HEIGHT_BAR), SB_CTL);
    InvalidateBrushPreview();
    if (code == tools::kEndScroll) {
      TextEnd(s.canvasWindow);
      RebuildBrushCursor(s.canvasWindow, TRUE);  // frees the sample, rebuilds the mask
    }
  } else if (id == IDC_STRENGTH_BAR) {
    StepBar(bar, code, thumb, tools::kStrengthBar);
    if (code == tools::kEndScroll) s.brushStrength = tools::StrengthFromBar(GetScrollPos(bar, SB_CTL));
  } else {
    return;
  }
  StoreToolSettings(s.currentTool);
}

// ---- Commands ---------------------------------------------------------------------------------

// A brush tool becomes current.
void MakeBrushCurrent(RetouchState& s, HWND window, int tool) {
  s.currentTool = tool;
  RebuildBrushCursor(s.canvasWindow, TRUE);
  SetCanvasCursor(s, tool);
  CheckToolButton(window, tool);
}

// The outline brush reshapes with a disc only: a rectangle kept for it (a hand-edited file) is
// dropped when it becomes current.
void ForceEllipse(RetouchState& s, HWND window) {
  s.brushShape = BRUSH_ELLIPSE;
  if (ToolSettings* t = FindEntry(s, TOOL_OUTLINE)) t->shape = BRUSH_ELLIPSE;
  CheckRadioButton(window, IDC_ELLIPSE, IDC_RECTANGLE, IDC_ELLIPSE);
}

void RunAdjustment(RetouchState& s, HWND window) {
  HWND canvas = s.canvasWindow;
  DropSelection();
  HideBrushCursor(canvas);
  HWND library = s.libraryWindow && IsWindow(s.libraryWindow) ? s.libraryWindow : nullptr;
  EnableWindow(s.frameWindow, FALSE);
  if (library) EnableWindow(library, FALSE);
  RECT button{};
  GetWindowRect(GetDlgItem(window, TOOL_ADJUST), &button);
  RunAdjustDialog(window, &button);
  EnableWindow(s.frameWindow, TRUE);
  if (library) EnableWindow(library, TRUE);
  CheckDlgButton(window, TOOL_ADJUST, BST_UNCHECKED);
  if (HasToolButton(s.currentTool)) CheckToolButton(window, s.currentTool);
  ShowBrushCursor(canvas);
}

void OnTextButton(RetouchState& s, HWND window) {
  HWND canvas = s.canvasWindow;
  if (s.currentTool == TOOL_TEXT) {
    HideBrushCursor(canvas);
    ChooseTextFont(window);
    // The font's height is the brush height from now on: the bar shows it.
    SetBar(window, IDC_HEIGHT_BAR, s.brushHeight);
    InvalidateBrushPreview();
    ShowBrushCursor(canvas);
    return;
  }
  DropSelection();
  s.currentTool = TOOL_TEXT;
  RebuildBrushCursor(canvas, TRUE);
  InvalidateBrushPreview();
  SetCanvasCursor(s, TOOL_TEXT);
  HideBrushCursorWhenShown(s);
  CheckToolButton(window, TOOL_TEXT);
}

void OnPickerButton(RetouchState& s, HWND window) {
  HWND canvas = s.canvasWindow;
  if (s.currentTool == TOOL_PICKER) {
    HideBrushCursor(canvas);
    s.brushColor = ChooseBrushColor(window);
    StoreToolSettings(s.currentTool);
    RebuildBrushCursor(canvas, TRUE);
    InvalidateBrushPreview();
    while (s.brushCursorShown >= 0) HideBrushCursor(canvas);
    return;
  }
  s.currentTool = TOOL_PICKER;
  SetCanvasCursor(s, TOOL_PICKER);
  HideBrushCursorWhenShown(s);
  CheckToolButton(window, TOOL_PICKER);
}

// Check box 154: the selection library window opens (or comes to the top) while it is checked.
void OnLibraryBox(RetouchState& s, HWND window) {
  if (IsDlgButtonChecked(window, IDC_LIBRARY) == BST_CHECKED) {
    if (s.libraryWindow && IsWindow(s.libraryWindow)) {
      BringWindowToTop(s.libraryWindow);
      return;
    }
    s.libraryWindow = EditorCreateDialog(TEMPLATE_LIBRARY, s.frameWindow, LibraryWindowProc);
    // No window (the host's module lacks it): the box does not claim one is open.
    if (!s.libraryWindow) CheckDlgButton(window, IDC_LIBRARY, BST_UNCHECKED);
    return;
  }
  if (s.libraryWindow && IsWindow(s.libraryWindow)) DestroyWindow(s.libraryWindow);
  s.libraryWindow = nullptr;
}

void OnShapeButton(RetouchState& s, HWND window, int id) {
  if (s.currentTool == TOOL_OUTLINE) {
    CheckRadioButton(window, IDC_ELLIPSE, IDC_RECTANGLE, IDC_ELLIPSE);
  } else {
    s.brushShape = id == IDC_RECTANGLE ? BRUSH_RECTANGLE : BRUSH_ELLIPSE;
  }
  StoreToolSettings(s.currentTool);
  RebuildBrushCursor(s.canvasWindow, TRUE);  // frees the sample, rebuilds the mask
  InvalidateBrushPreview();
}

void EndEditor(RetouchState& s, int id) {
  if (id == IDCANCEL) DibCopyInto(FrameImage(s), s.backupImage);
  PostMessageA(s.frameWindow, WM_CLOSE, 0, 0);
  g_editorResult = id == IDCANCEL ? 0 : 1;
}

void OnCommand(RetouchState& s, HWND window, int id) {
  if (id != s.currentTool) {
    if (KeepsToolSettings(s.currentTool)) StoreToolSettings(s.currentTool);
    if (id != TOOL_ADJUST) {
      // The colour picked goes to the tool taken up next, with that tool's own options: taking
      // over the options of the tool before the picker would leave, say, a brush with the text
      // tool's thin rectangle and locked width bar.
      if (s.currentTool == TOOL_PICKER)
        if (ToolSettings* next = FindEntry(s, id)) next->color = s.brushColor;
      LoadToolSettings(window, id);
    }
    if (IsBrushTool(id) && s.brushCursorShown < 0) s.brushCursorShown = 0;
  }
  TextEnd(s.canvasWindow);
  switch (id) {
    case IDCANCEL:
    case IDC_ACCEPT:
      EndEditor(s, id);
      return;
    case TOOL_ADJUST:
      RunAdjustment(s, window);
      return;
    case TOOL_OUTLINE:
      ForceEllipse(s, window);
      MakeBrushCurrent(s, window, id);
      InvalidateBrushPreview();
      return;
    case TOOL_PAINT:
    case TOOL_RESTORE:
    case TOOL_SPRAY:
    case TOOL_STAMP:
    case TOOL_SMOOTH:
    case TOOL_CLONE:
      DropSelection();
      MakeBrushCurrent(s, window, id);
      return;
    case TOOL_LASSO:
      s.currentTool = TOOL_LASSO;
      SetCanvasCursor(s, TOOL_LASSO);
      HideBrushCursorWhenShown(s);
      CheckToolButton(window, TOOL_LASSO);
      return;
    case TOOL_TEXT:
      OnTextButton(s, window);
      return;
    case TOOL_PICKER:
      OnPickerButton(s, window);
      return;
    case IDC_LIBRARY:
      OnLibraryBox(s, window);
      return;
    case IDC_UNDO:
    case IDC_REDO:
      HistoryStep(id == IDC_UNDO ? TRUE : FALSE);
      return;
    case IDC_ELLIPSE:
    case IDC_RECTANGLE:
      OnShapeButton(s, window, id);
      return;
    case IDC_OPTION_FIRST:
    case IDC_OPTION_SECOND:
      s.brushOption = id - IDC_OPTION_FIRST;
      return;
    default:
      return;
  }
}

// ---- Window -----------------------------------------------------------------------------------

void OnInitDialog(RetouchState& s, HWND window) {
  LoadEditorSettings();
  SetScrollRange(GetDlgItem(window, IDC_HEIGHT_BAR), SB_CTL, tools::kSizeBar.min, tools::kSizeBar.max, FALSE);
  SetBar(window, IDC_HEIGHT_BAR, s.brushHeight);
  SetScrollRange(GetDlgItem(window, IDC_WIDTH_BAR), SB_CTL, tools::kSizeBar.min, tools::kSizeBar.max, FALSE);
  SetBar(window, IDC_WIDTH_BAR, s.brushWidth);
  SetScrollRange(GetDlgItem(window, IDC_STRENGTH_BAR), SB_CTL, tools::kStrengthBar.min, tools::kStrengthBar.max,
                 FALSE);
  SetBar(window, IDC_STRENGTH_BAR, tools::BarFromStrength(s.brushStrength));
  CheckDlgButton(window, IDC_LINK, BST_CHECKED);
  s.brushShape = BRUSH_ELLIPSE;
  CheckRadioButton(window, IDC_ELLIPSE, IDC_RECTANGLE, IDC_ELLIPSE);
  CheckRadioButton(window, IDC_OPTION_FIRST, IDC_OPTION_SECOND, IDC_OPTION_FIRST);
  s.floatActive = 0;
  s.rotationAngle = 0;
  s.rotating = 0;
}

void OnPaint(RetouchState* s, HWND window) {
  gdi::PaintDC dc(window);
  if (dc && s) {
    const RECT r = PreviewRect(window);
    if (!IsRectEmpty(&r)) DrawBrushPreview(*s, dc.get(), &r, s->brushWidth, s->brushHeight, TRUE);
  }
}

void OnDestroy(const RetouchState* s, HWND window) {
  if (s) {
    if (s->floatActive) DropSelection();
    StoreToolSettings(s->currentTool);
    SaveEditorSettings();
  }
  EndDlgTexture(window);
  RemoveAllProps(window);
}

BOOL SetResult(HWND dialog, LONG_PTR result) {
  SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace

void StoreToolSettings(int tool) {
  RetouchState* s = g_state;
  ToolSettings* t = s ? FindEntry(*s, tool) : nullptr;
  if (!t) return;
  t->shape = s->brushShape;
  t->option = s->brushOption;
  t->width = s->brushWidth;
  t->height = s->brushHeight;
  t->color = s->brushColor;
  t->strength = s->brushStrength;
}

void LoadToolSettings(HWND window, int tool) {
  RetouchState* s = g_state;
  ToolSettings* t = s ? FindEntry(*s, tool) : nullptr;
  if (!t) return;
  const bool text = tool == TOOL_TEXT;
  if (text) {
    // The text tool draws a thin upright caret-like brush; its height is the font's.
    t->shape = BRUSH_RECTANGLE;
    t->width = 3;
    s->brushWidth = 3;
  }
  s->brushShape = t->shape;
  s->brushOption = t->option;
  s->brushWidth = t->width;
  s->brushHeight = t->height;
  s->brushColor = t->color;
  s->brushStrength = t->strength;
  EnableWindow(GetDlgItem(window, IDC_LINK), !text);
  CheckDlgButton(window, IDC_LINK, !text && t->linkSizes ? BST_CHECKED : BST_UNCHECKED);
  SetBar(window, IDC_HEIGHT_BAR, s->brushHeight);
  SetBar(window, IDC_WIDTH_BAR, s->brushWidth);
  SetBar(window, IDC_STRENGTH_BAR, tools::BarFromStrength(s->brushStrength));
  if (text) {
    t->widthEnabled = 0;
    t->linkSizes = 0;
  }
  EnableWindow(GetDlgItem(window, IDC_WIDTH_BAR), t->widthEnabled != 0);
  EnableWindow(GetDlgItem(window, IDC_HEIGHT_BAR), t->heightEnabled != 0);
  CheckRadioButton(window, IDC_ELLIPSE, IDC_RECTANGLE, IDC_ELLIPSE + (s->brushShape == BRUSH_RECTANGLE ? 1 : 0));
  CheckRadioButton(window, IDC_OPTION_FIRST, IDC_OPTION_SECOND, IDC_OPTION_FIRST + (s->brushOption == 1 ? 1 : 0));
  RebuildBrushCursor(s->canvasWindow, TRUE);
  InvalidateBrushPreview();
  if (t->showBrushCursor == 1) {
    ShowBrushCursor(s->canvasWindow);
  } else {
    // Below 0, so that the pointer entering the canvas does not show it: after brush tools picked
    // one after another away from the canvas the count stands at 1, and one step down is not enough.
    while (s->brushCursorShown >= 0) HideBrushCursor(s->canvasWindow);
  }
}

COLORREF ChooseBrushColor(HWND owner) {
  const COLORREF current = g_state->brushColor;
  COLORREF custom[16];
  for (COLORREF& c : custom) c = current;
  CHOOSECOLORA cc{};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = owner;
  cc.rgbResult = current;
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN;
  return ChooseColorA(&cc) ? cc.rgbResult & 0x00FFFFFF : current;
}

void InvalidateBrushPreview() {
  const RetouchState* s = g_state;
  if (!s || !s->toolWindow || !IsWindow(s->toolWindow)) return;
  const RECT r = PreviewRect(s->toolWindow);
  InvalidateRect(s->toolWindow, &r, FALSE);
}

INT_PTR CALLBACK ToolWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  RetouchState* s = g_state;
  switch (message) {
    case WM_INITDIALOG:
      if (s) OnInitDialog(*s, window);
      return TRUE;
    case WM_COMMAND:
      if (s && HIWORD(wParam) == BN_CLICKED) OnCommand(*s, window, LOWORD(wParam));
      return FALSE;
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (s && lParam) OnScroll(*s, window, reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_PAINT:
      OnPaint(s, window);
      return TRUE;
    case WM_ERASEBKGND:
      FillDlgWithTexture(window, reinterpret_cast<HDC>(wParam), kEditorDialogTexture);
      return SetResult(window, 1);
    case WM_NCHITTEST:
      // Dragged from anywhere outside its controls, the window moves.
      return SetResult(window, HTCAPTION);
    case WM_NCLBUTTONUP:
      SetCursor(LoadCursorA(nullptr, IDC_ARROW));
      return FALSE;
    case WM_DESTROY:
      OnDestroy(s, window);
      return TRUE;
    default:
      return FALSE;
  }
}
