// The image adjustment dialog (template 7), opened by the tool window's button 114: contrast,
// brightness, saturation and hue on four vertical bars, a reduced preview at the right, and OK,
// which adjusts the image and makes the result the backup that cancel and the restore brush go
// back to. The arithmetic is the imaging layer's (image_adjust.h).
#include <windows.h>

#include <algorithm>

#include "retouch/frame/dialogs.h"
#include "retouch/frame/editor_globals.h"
#include "retouch/frame/editor_hooks.h"
#include "retouch/frame/tamsel_imports.h"
#include "retouch/imaging/dib.h"
#include "retouch/imaging/dib_adjust.h"
#include "retouch/imaging/image_adjust.h"

namespace {

struct Bar {
  int id;
  int lowest, highest, start;
  int reset;  // the button that puts it back to its start
};
// Contrast, brightness, saturation, hue, in the order AdjustImage takes them.
constexpr Bar kBars[] = {{101, -100, 100, 0, 150}, {102, -100, 100, 0, 152}, {103, 0, 100, 50, 154}, {104, -127, 127, 0, 156}};
constexpr int kPage = 10;

const Bar* BarOf(int id) {
  for (const Bar& b : kBars)
    if (b.id == id) return &b;
  return nullptr;
}

const Bar* BarOfReset(int id) {
  for (const Bar& b : kBars)
    if (b.reset == id) return &b;
  return nullptr;
}

struct Values {
  int a, b, c, d;
};

Values ReadBars(HWND dialog) {
  int v[4];
  for (int i = 0; i < 4; ++i) v[i] = GetScrollPos(GetDlgItem(dialog, kBars[i].id), SB_CTL);
  return {v[0], v[1], v[2], v[3]};
}

// The preview's place: at the right of the client area, as high as the preview.
RECT PreviewRect(HWND dialog, DibHandle preview) {
  RECT client{}, r{};
  GetClientRect(dialog, &client);
  int w = 0, h = 0, bits = 0;
  if (!DibGetInfo(preview, &w, &h, &bits)) return r;
  return RECT{client.right - w, 0, client.right, h};
}

// Beside the button, as high as the template, wide enough for the bars and a preview area in the
// image's proportions; kept on the screen.
void PlaceDialog(HWND dialog, const RECT* button, DibHandle image) {
  RECT window{};
  GetWindowRect(dialog, &window);
  const int height = window.bottom - window.top;
  int width = window.right - window.left;
  int iw = 0, ih = 0, bits = 0;
  if (image && DibGetInfo(image, &iw, &ih, &bits)) {
    RECT bar{};
    HWND rightmost = GetDlgItem(dialog, kBars[3].id);
    GetClientRect(rightmost, &bar);
    MapWindowPoints(rightmost, dialog, reinterpret_cast<POINT*>(&bar), 2);
    width = dib::AdjustDialogWidth(bar.right, height, iw, ih);
  }
  int left = button ? button->right : window.left, top = button ? button->top : window.top;
  left = std::min(left, GetSystemMetrics(SM_CXSCREEN) - width);
  top = std::min(top, GetSystemMetrics(SM_CYSCREEN) - height);
  SetWindowPos(dialog, nullptr, std::max(left, 0), std::max(top, 0), width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The reduced copy of a 24-bit image that fills the client height (or width), and the preview
// shown, a copy of it to begin with.
void BuildPreview(RetouchState& s, HWND dialog, DibHandle image) {
  int iw = 0, ih = 0, bits = 0;
  if (!image || !DibGetInfo(image, &iw, &ih, &bits) || bits != 24) return;
  RECT client{};
  GetClientRect(dialog, &client);
  int pw = 0, ph = 0;
  if (!dib::PreviewSize(iw, ih, client.right, client.bottom, &pw, &ph)) return;
  DibHandle source = DibCreate(pw, ph, 24);
  if (!source) return;
  {
    DibLock from(image), to(source);
    if (!from.ok() || !to.ok() || !dib::SamplePreview(from.view(), to.view())) {
      GlobalFree(source);
      return;
    }
  }
  s.adjustPreviewSource = source;
  s.adjustPreview = DibDuplicate(source, TRUE);
}

void FreePreviews(RetouchState& s) {
  if (s.adjustPreview) GlobalFree(s.adjustPreview);
  if (s.adjustPreviewSource) GlobalFree(s.adjustPreviewSource);
  s.adjustPreview = nullptr;
  s.adjustPreviewSource = nullptr;
}

void OnInit(RetouchState& s, HWND dialog, const RECT* button) {
  FreePreviews(s);
  DibHandle image = FrameImage(s);
  PlaceDialog(dialog, button, image);
  for (const Bar& b : kBars) {
    HWND bar = GetDlgItem(dialog, b.id);
    SetScrollRange(bar, SB_CTL, b.lowest, b.highest, FALSE);
    SetScrollPos(bar, SB_CTL, b.start, TRUE);
  }
  BuildPreview(s, dialog, image);
}

void UpdatePreview(RetouchState& s, HWND dialog) {
  if (!s.adjustPreview || !s.adjustPreviewSource) return;
  const Values v = ReadBars(dialog);
  AdjustImage(s.adjustPreviewSource, s.adjustPreview, v.a, v.b, v.c, v.d);
  const RECT r = PreviewRect(dialog, s.adjustPreview);
  InvalidateRect(dialog, &r, FALSE);
}

void OnScroll(RetouchState& s, HWND dialog, HWND barWindow, int code, int thumb) {
  const Bar* b = BarOf(GetDlgCtrlID(barWindow));
  if (!b) return;
  int pos = GetScrollPos(barWindow, SB_CTL);
  switch (code) {
    case SB_LINEUP: pos -= 1; break;
    case SB_LINEDOWN: pos += 1; break;
    case SB_PAGEUP: pos -= kPage; break;
    case SB_PAGEDOWN: pos += kPage; break;
    case SB_TOP: pos = b->lowest; break;
    case SB_BOTTOM: pos = b->highest; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      pos = thumb;
      break;
    default: break;
  }
  pos = std::clamp(pos, b->lowest, b->highest);
  if (pos != GetScrollPos(barWindow, SB_CTL)) SetScrollPos(barWindow, SB_CTL, pos, TRUE);
  const Values v = ReadBars(dialog);
  if (code == SB_ENDSCROLL || (v.c == 50 && v.d == 0)) UpdatePreview(s, dialog);
}

void OnAccept(RetouchState& s, HWND dialog) {
  if (DibHandle image = FrameImage(s)) {
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    const Values v = ReadBars(dialog);
    AdjustImage(image, nullptr, v.a, v.b, v.c, v.d);
    if (s.canvasWindow) InvalidateRect(s.canvasWindow, nullptr, TRUE);
    DibCopyInto(s.backupImage, image);
    SetCursor(previous);
  }
  EndDialog(dialog, 1);
}

void OnPaint(RetouchState& s, HWND dialog) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(dialog, &ps);
  if (dc && s.adjustPreview) {
    const RECT r = PreviewRect(dialog, s.adjustPreview);
    DibDraw(dc, s.adjustPreview, &r, SRCCOPY);
  }
  EndPaint(dialog, &ps);
}

BOOL CALLBACK RemoveProperty(HWND window, LPSTR name, HANDLE, ULONG_PTR) {
  RemovePropA(window, name);
  return TRUE;
}

INT_PTR CALLBACK AdjustDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  RetouchState* state = g_state;
  if (!state) return FALSE;
  RetouchState& s = *state;
  switch (message) {
    case WM_INITDIALOG:
      OnInit(s, dialog, reinterpret_cast<const RECT*>(lParam));
      return TRUE;
    case WM_VSCROLL:
      // The thumb's 16 bits taken with their sign: the bars reach below 0.
      OnScroll(s, dialog, reinterpret_cast<HWND>(lParam), LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
      return TRUE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (const Bar* b = BarOfReset(id)) {
        HWND bar = GetDlgItem(dialog, b->id);
        SetScrollPos(bar, SB_CTL, b->start, TRUE);
        PostMessageA(dialog, WM_VSCROLL, SB_ENDSCROLL, reinterpret_cast<LPARAM>(bar));
      } else if (id == IDOK) {
        OnAccept(s, dialog);
      } else if (id == IDCANCEL) {
        EndDialog(dialog, 0);
      }
      return TRUE;
    }
    case WM_PAINT:
      OnPaint(s, dialog);
      return TRUE;
    case WM_ERASEBKGND:
      FillDlgWithTexture(dialog, reinterpret_cast<HDC>(wParam), kEditorDialogTexture);
      return TRUE;
    case WM_NCHITTEST:
      // Dragged by any point of its face.
      SetWindowLongPtrA(dialog, DWLP_MSGRESULT, HTCAPTION);
      return TRUE;
    case WM_NCLBUTTONUP:
      SetCursor(LoadCursorA(nullptr, IDC_ARROW));
      return FALSE;
    case WM_DESTROY:
      FreePreviews(s);
      EndDlgTexture(dialog);
      EnumPropsExA(dialog, RemoveProperty, 0);
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

void RunAdjustDialog(HWND toolWindow, const RECT* buttonRect) {
  if (!g_state) return;
  EditorDialogBoxParam(TEMPLATE_ADJUSTMENT, toolWindow, AdjustDialogProc, reinterpret_cast<LPARAM>(buttonRect));
}
