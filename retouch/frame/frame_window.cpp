#include "retouch/frame/frame_window.h"

#include <algorithm>

#include "retouch/canvas/canvas_window.h"
#include "retouch/frame/brush_cursor.h"
#include "retouch/frame/dialogs.h"
#include "retouch/frame/editor.h"
#include "retouch/frame/editor_globals.h"
#include "retouch/frame/frame_edge.h"
#include "retouch/frame/frame_geometry.h"
#include "retouch/frame/tool_window.h"

namespace {

constexpr WORD kFrameProps[] = {PROP_VIEW_WIDTH, PROP_VIEW_HEIGHT, PROP_IMAGE, PROP_CANVAS, PROP_COMMAND_TARGET};

HWND Canvas(HWND frame) { return static_cast<HWND>(GetFrameProp(frame, PROP_CANVAS)); }

void FitCanvas(HWND frame) {
  HWND canvas = Canvas(frame);
  if (!canvas) return;
  RECT rc{};
  GetClientRect(frame, &rc);
  SetWindowPos(canvas, nullptr, 0, 0, rc.right, rc.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
}

frame::AspectContext Aspect(HWND frame) {
  RECT wr{}, cr{};
  GetWindowRect(frame, &wr);
  GetClientRect(frame, &cr);
  frame::AspectContext c{};
  c.aspectWidth = static_cast<int32_t>(reinterpret_cast<INT_PTR>(GetFrameProp(frame, PROP_VIEW_WIDTH)));
  c.aspectHeight = static_cast<int32_t>(reinterpret_cast<INT_PTR>(GetFrameProp(frame, PROP_VIEW_HEIGHT)));
  c.windowWidth = wr.right - wr.left;
  c.windowHeight = wr.bottom - wr.top;
  c.ncWidth = c.windowWidth - cr.right;
  c.ncHeight = c.windowHeight - cr.bottom;
  return c;
}

bool SizingFromTopOrBottom(const RetouchState* s) { return s && s->sizingFromEdgeTopOrBottom == 1; }

// Places the frame, attaches the image and the canvas, opens the tool window and backs the
// image up. Stops early (leaving frameWindow unset) when the image cannot be read.
void InitFrame(RetouchState* s, HWND frame, const OpenRequest* request) {
  SetFrameProp(frame, PROP_COMMAND_TARGET, nullptr);
  if (!s || !request) return;
  int imageWidth = 0, imageHeight = 0;
  {
    DibLock lock(request->image);
    // Only a readable 24-bit image can be edited.
    if (!request->image || !lock.ok() || lock.view().bitsPerPixel != 24) return;
    imageWidth = lock.view().width;
    imageHeight = lock.view().height;
  }
  s->frameWindow = frame;
  SetFrameProp(frame, PROP_CANVAS, GetDlgItem(frame, IDC_CANVAS));
  SetFrameProp(frame, PROP_IMAGE, nullptr);

  const int fx = GetSystemMetrics(SM_CXFRAME);
  const int fy = GetSystemMetrics(SM_CYFRAME);
  const int caption = GetSystemMetrics(SM_CYCAPTION);
  const RECT fr = request->frameRect ? *request->frameRect : RECT{0, 0, 0, 0};
  const frame::Size client =
      frame::OpeningClientSize(fr.right - fr.left, fr.bottom - fr.top, fx, fy, caption, imageWidth, imageHeight);
  SetFrameProp(frame, PROP_IMAGE, request->image);
  SetFrameProp(frame, PROP_VIEW_WIDTH, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(client.width)));
  SetFrameProp(frame, PROP_VIEW_HEIGHT, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(client.height)));

  const frame::Size outer = frame::OpeningWindowSize(client, fx, fy, caption);
  SetWindowPos(frame, nullptr, fr.left, fr.top, outer.width, outer.height, SWP_NOZORDER | SWP_NOACTIVATE);
  FitCanvas(frame);
  // The canvas maps the image onto its client area, and sizes the brush cursor by that mapping;
  // it may not have been resized just now.
  if (HWND canvas = Canvas(frame)) {
    UpdateCanvasMapping(canvas);
    RebuildBrushCursor(canvas, FALSE);
  }

  s->toolWindow = EditorCreateDialog(TEMPLATE_TOOL_WINDOW, frame, ToolWindowProc);
  if (!s->toolWindow) return;
  const POINT at = request->toolWindowPos ? *request->toolWindowPos : POINT{0, 0};
  SetWindowPos(s->toolWindow, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  s->backupImage = DibDuplicate(request->image, TRUE);
}

// First half of the teardown, while the frame still exists.
void DestroyFrame(RetouchState* s, HWND frame) {
  if (s) {
    if (s->backupImage) GlobalFree(s->backupImage);
    s->backupImage = nullptr;
    if (s->toolWindow && IsWindow(s->toolWindow)) DestroyWindow(s->toolWindow);
    s->toolWindow = nullptr;
  }
  for (WORD atom : kFrameProps) RemovePropA(frame, MAKEINTATOM(atom));
  if (s) {
    s->canvasWindow = nullptr;
    if (s->libraryWindow && IsWindow(s->libraryWindow)) DestroyWindow(s->libraryWindow);
    s->libraryWindow = nullptr;
  }
}

void OnSizing(const RetouchState* s, HWND frame, RECT* r) {
  int32_t l = r->left, t = r->top, rr = r->right, b = r->bottom;
  frame::KeepAspectWhileSizing(Aspect(frame), SizingFromTopOrBottom(s), &l, &t, &rr, &b);
  *r = RECT{l, t, rr, b};
}

void OnPosChanging(const RetouchState* s, HWND frame, WINDOWPOS* pos) {
  if (pos->flags & SWP_NOSIZE) return;  // cx and cy carry nothing then
  int32_t cx = pos->cx, cy = pos->cy;
  frame::KeepAspectOnPosChange(Aspect(frame), SizingFromTopOrBottom(s), GetSystemMetrics(SM_CXSCREEN),
                               GetSystemMetrics(SM_CYSCREEN), &cx, &cy);
  pos->cx = std::max(0, cx);
  pos->cy = std::max(0, cy);
}

void OnEraseBackground(HWND frame, HDC dc) {
  RECT clip{};
  GetClipBox(dc, &clip);
  if (GetFrameProp(frame, PROP_IMAGE)) {
    InflateRect(&clip, 1, 1);
    if (HWND canvas = Canvas(frame)) InvalidateRect(canvas, &clip, FALSE);
  } else {
    FillRect(dc, &clip, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
}

BOOL SetResult(HWND dialog, LONG_PTR result) {
  SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace

INT_PTR CALLBACK FrameDialogProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
  RetouchState* s = g_state;
  switch (message) {
    case WM_INITDIALOG:
      InitFrame(s, frame, reinterpret_cast<const OpenRequest*>(lParam));
      return TRUE;
    case WM_COMMAND: {
      HWND target = static_cast<HWND>(GetFrameProp(frame, PROP_COMMAND_TARGET));
      if (LOWORD(wParam) == IDCANCEL) {
        PostMessageA(target, WM_CLOSE, 0, 0);
        EndDialog(frame, 0);
        // A modeless frame only hides on EndDialog; with no command target nobody would close
        // it and the editor's loop would wait for ever.
        if (!target) PostMessageA(frame, WM_CLOSE, 0, 0);
      } else {
        PostMessageA(target, WM_COMMAND, wParam, lParam);
      }
      return TRUE;
    }
    case WM_SIZE:
      if (HWND canvas = Canvas(frame)) {
        FitCanvas(frame);
        InvalidateRect(canvas, nullptr, TRUE);
      }
      return FALSE;
    case WM_PAINT:
      PaintFrameEdge(frame);
      return FALSE;
    case WM_NCPAINT:
      PaintFrameEdge(frame);
      return TRUE;
    case WM_CLOSE:
      DestroyWindow(frame);
      return TRUE;
    case WM_DESTROY:
      DestroyFrame(s, frame);
      EditorFrameDestroyed();
      return TRUE;
    case WM_ERASEBKGND:
      OnEraseBackground(frame, reinterpret_cast<HDC>(wParam));
      return SetResult(frame, 1);
    case WM_WINDOWPOSCHANGING:
      OnPosChanging(s, frame, reinterpret_cast<WINDOWPOS*>(lParam));
      return FALSE;
    case WM_NCLBUTTONDOWN:
      if (s) s->sizingFromEdgeTopOrBottom = (wParam >= HTTOP && wParam <= HTBOTTOMRIGHT) ? 1 : 0;
      return FALSE;
    case WM_SIZING:
      OnSizing(s, frame, reinterpret_cast<RECT*>(lParam));
      return TRUE;
    case WM_QUERYNEWPALETTE:
    case WM_PALETTECHANGED:
      if (s && s->canvasWindow) {
        SendMessageA(s->canvasWindow, message, wParam, lParam);
        return SetResult(frame, 1);
      }
      return FALSE;
    default:
      return FALSE;
  }
}
