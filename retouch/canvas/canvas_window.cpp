#include "retouch/canvas/canvas_window.h"

#include <algorithm>

#include "retouch/canvas/canvas_input.h"
#include "retouch/canvas/mouse_tools.h"
#include "retouch/frame/brush_cursor.h"
#include "retouch/frame/editor_globals.h"
#include "retouch/frame/editor_hooks.h"
#include "retouch/imaging/retouch_history.h"
#include "winkit/gdi_guard.h"

namespace {

// The ten tool entries, in table order.
constexpr int32_t kToolOrder[kToolSettingsCount] = {TOOL_LASSO,  TOOL_PAINT,  TOOL_SMOOTH, TOOL_SPRAY,
                                                    TOOL_STAMP,  TOOL_CLONE,  TOOL_RESTORE, TOOL_ADJUST,
                                                    TOOL_TEXT,   TOOL_OUTLINE};

void SetDefaults(RetouchState* s) {
  s->brushOption = 0;
  s->brushWidth = 16;
  s->brushHeight = 16;
  s->brushShape = BRUSH_ELLIPSE;
  s->brushColor = kDefaultBrushColor;
  s->brushCursorShown = -1;
  s->brushCursorEnabled = 1;
  s->brushStrength = 100;
  for (int i = 0; i < kToolSettingsCount; ++i) {
    ToolSettings& t = s->toolSettings[i];
    t.tool = kToolOrder[i];
    t.shape = s->brushShape;
    t.option = s->brushOption;
    t.width = s->brushWidth;
    t.height = s->brushHeight;
    t.color = s->brushColor;
    t.strength = s->brushStrength;
    t.showBrushCursor = 1;
    t.linkSizes = 1;
    t.widthEnabled = 1;
    t.heightEnabled = 1;
    t.reserved = 0;
    if (t.tool == TOOL_LASSO || t.tool == TOOL_ADJUST || t.tool == TOOL_TEXT) t.showBrushCursor = 0;
    if (t.tool == TOOL_TEXT) {
      t.linkSizes = 0;
      t.widthEnabled = 0;
    }
  }
  LOGFONTA& f = s->logFont;
  f = LOGFONTA{};
  f.lfHeight = 20;
  f.lfWidth = 0;
  f.lfWeight = FW_BOLD;
  f.lfQuality = PROOF_QUALITY;
  f.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  lstrcpynA(f.lfFaceName, "Arial", LF_FACESIZE);
}

void OnCreate(RetouchState& s, HWND canvas) {
  SetDefaults(&s);
  s.canvasWindow = canvas;
  RebuildBrushCursor(canvas, FALSE);
  ResetHistory(s);
}

void OnPaint(HWND canvas) {
  HideBrushCursor(canvas);
  {
    gdi::PaintDC dc(canvas);
    HWND parent = GetParent(canvas);
    HGLOBAL image = CanvasImage(canvas);
    // With the canvas's own mapping the update rectangle comes in image coordinates.
    if (dc && IsWindow(parent) && !IsRectEmpty(&dc.area()) && image) {
      int width = 0, height = 0, bits = 0;
      RECT r = dc.area();
      if (DibGetInfo(image, &width, &height, &bits)) {
        // One more pixel on each side: the rectangle's edges were rounded from device pixels.
        InflateRect(&r, 1, 1);
        const RECT whole{0, 0, width, height};
        IntersectRect(&r, &r, &whole);
      }
      if (!IsRectEmpty(&r)) DibDrawRegion(parent, dc.get(), image, &r);
      DrawSelection(dc.get());
      TextPaint(canvas, dc.get());
    }
  }
  ShowBrushCursor(canvas);
}

LRESULT OnEraseBackground(HWND canvas, WPARAM wParam, LPARAM lParam) {
  if (CanvasImage(canvas)) return 0;
  HideBrushCursor(canvas);
  const LRESULT result = DefWindowProcA(canvas, WM_ERASEBKGND, wParam, lParam);
  ShowBrushCursor(canvas);
  return result;
}

}  // namespace

HGLOBAL CanvasImage(HWND canvas) { return static_cast<HGLOBAL>(GetFrameProp(GetParent(canvas), PROP_IMAGE)); }

void UpdateCanvasMapping(HWND canvas) {
  RECT rc{};
  GetClientRect(canvas, &rc);
  int width = rc.right, height = rc.bottom, bits = 0;
  if (HGLOBAL image = CanvasImage(canvas)) {
    int w = 0, h = 0;
    if (DibGetInfo(image, &w, &h, &bits) && w > 0 && h > 0) {
      width = w;
      height = h;
    }
  }
  gdi::WindowDC dc(canvas);
  if (!dc) return;
  SetMapMode(dc.get(), MM_ANISOTROPIC);
  SetWindowOrgEx(dc.get(), 0, 0, nullptr);
  SetWindowExtEx(dc.get(), std::max(1, width), std::max(1, height), nullptr);
  SetViewportOrgEx(dc.get(), 0, 0, nullptr);
  SetViewportExtEx(dc.get(), std::max<LONG>(1, rc.right), std::max<LONG>(1, rc.bottom), nullptr);
}

BOOL RegisterCanvasClass() {
  WNDCLASSA wc{};
  wc.style = CS_OWNDC | CS_BYTEALIGNCLIENT;
  wc.lpfnWndProc = CanvasWindowProc;
  wc.hInstance = g_libraryInstance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = kCanvasClassName;
  return RegisterClassA(&wc) != 0;
}

LRESULT CALLBACK CanvasWindowProc(HWND canvas, UINT message, WPARAM wParam, LPARAM lParam) {
  // Outside an editor run the canvas has no state to work on.
  RetouchState* state = g_state;
  if (!state) return DefWindowProcA(canvas, message, wParam, lParam);
  RetouchState& s = *state;
  const int x = static_cast<short>(LOWORD(lParam));
  const int y = static_cast<short>(HIWORD(lParam));
  switch (message) {
    case WM_CREATE:
      OnCreate(s, canvas);
      return 0;
    case WM_DESTROY:
      DropSelection();
      TextEnd(canvas);
      ResetBrushCursor();
      break;
    case WM_SIZE:
      UpdateCanvasMapping(canvas);
      RebuildBrushCursor(canvas, FALSE);
      break;
    case WM_PAINT:
      OnPaint(canvas);
      return 0;
    case WM_ERASEBKGND:
      return OnEraseBackground(canvas, wParam, lParam);
    case WM_SETCURSOR:
      if (ChooseSelectionCursor(canvas)) return 0;
      break;
    case WM_KEYDOWN:
      OnCanvasKeyDown(canvas, static_cast<int>(wParam));
      return 0;
    case WM_CHAR:
      OnCanvasChar(canvas, static_cast<int>(wParam));
      return 0;
    case WM_TIMER:
      OnCanvasTimer(s, canvas, wParam);
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(s, canvas, wParam, x, y);
      return 0;
    case WM_LBUTTONDOWN:
      OnButtonDown(s, canvas, x, y);
      return 0;
    case WM_LBUTTONUP:
      OnButtonUp(s, canvas, x, y);
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != canvas) OnCaptureLost(s, canvas);
      return 0;
    case WM_CANVAS_POINTER_ENTERED:
      ShowBrushCursor(canvas);
      return 0;
    case WM_CANVAS_POINTER_LEFT:
      HideBrushCursor(canvas);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(canvas, message, wParam, lParam);
}
