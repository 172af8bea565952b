// The selection library window (template 6): the thumbnails of the saved selections in the
// folder "SELDIB\" beside this library, add, delete after a confirmation, close, and the drag of
// an entry out of the list. Resized in height only; the list fills the window below its buttons.
//
// Not here: the files, their numbering and the list items (imaging/selection_store.h).
#include "retouch/frame/library_window.h"

#include <string>

#include "retouch/frame/editor_globals.h"
#include "retouch/frame/editor_hooks.h"
#include "retouch/frame/editor_ini.h"
#include "retouch/frame/tool_window.h"
#include "retouch/frame/tamsel_imports.h"
#include "retouch/frame/window_utils.h"
#include "retouch/imaging/selection.h"
#include "retouch/imaging/selection_library.h"
#include "retouch/imaging/selection_store.h"

namespace {

enum : int {
  IDC_LIBRARY_ADD = 8,
  IDC_LIBRARY_DELETE = 9,
  IDC_LIBRARY_LIST = 10,
  IDS_CONFIRM_DELETE = 31166,
};

// The list box's own procedure while the library window subclasses it (one window at a time).
WNDPROC g_listProcedure = nullptr;

bool LibraryFolder(std::string* folder) { return ModuleFilePath(sellib::kFolderName, folder); }

// The entry's thumbnail stretched into its rectangle shrunk by 5 (where a drag picks it up).
void DrawEntry(const DRAWITEMSTRUCT* d) {
  if (d->CtlType != ODT_LISTBOX) return;
  const bool selected = (d->itemState & ODS_SELECTED) != 0;
  FillRect(d->hDC, &d->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  const auto* item = reinterpret_cast<const LibraryItem*>(d->itemData);
  if (d->itemID == static_cast<UINT>(-1) || !item || !item->thumbnail) return;
  RECT r = d->rcItem;
  InflateRect(&r, -5, -5);
  if (r.right > r.left && r.bottom > r.top) DibDraw(d->hDC, item->thumbnail, &r, SRCCOPY);
}

void OnInitDialog(HWND window) {
  HWND list = GetDlgItem(window, IDC_LIBRARY_LIST);
  RECT client{};
  GetClientRect(list, &client);
  SendMessageA(list, LB_SETITEMHEIGHT, 0, MAKELPARAM(client.right * 3 / 4, 0));
  FillLibraryList(list);
  g_listProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LibraryListProc)));
  SetFocus(list);
}

void OnClose(HWND window) {
  HWND tools = g_state ? g_state->toolWindow : nullptr;
  DestroyWindow(window);
  if (tools) CheckDlgButton(tools, IDC_LIBRARY, BST_UNCHECKED);
}

void OnAdd(HWND window) {
  if (!AddSelectionToLibrary()) return;
  HWND list = GetDlgItem(window, IDC_LIBRARY_LIST);
  const int index = InsertLibraryItem(list, NewLibraryItem(g_state->lastSavedSelection));
  if (index >= 0) SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void OnDelete(HWND window) {
  HWND list = GetDlgItem(window, IDC_LIBRARY_LIST);
  const LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
  if (index == LB_ERR) return;
  char text[256] = "";
  LoadStringA(g_resourceModule ? g_resourceModule : g_libraryInstance, IDS_CONFIRM_DELETE, text, sizeof text);
  if (MessageBoxA(window, text, "", MB_YESNO | MB_ICONERROR | MB_DEFBUTTON2) != IDYES) return;
  DeleteLibraryEntry(list, static_cast<int>(index));
}

// The list box keeps its top-left corner and fills the rest of the client area.
void OnSize(HWND window, int width, int height) {
  HWND list = GetDlgItem(window, IDC_LIBRARY_LIST);
  RECT r{};
  if (!list || !GetWindowRect(list, &r)) return;
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
  MoveWindow(list, r.left, r.top, width - r.left, height - r.top, TRUE);
}

// Minimum and maximum tracking width at the list box's right edge plus the frame: the window
// grows and shrinks in height only.
void OnGetMinMaxInfo(HWND window, MINMAXINFO* info) {
  HWND list = GetDlgItem(window, IDC_LIBRARY_LIST);
  RECT r{};
  if (!list || !info || !GetWindowRect(list, &r)) return;
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
  const LONG width = r.right + 2 * GetSystemMetrics(SM_CYFRAME);
  info->ptMinTrackSize.x = width;
  info->ptMaxTrackSize.x = width;
}

void OnDestroy(HWND window) {
  HWND list = GetDlgItem(window, IDC_LIBRARY_LIST);
  if (list && g_listProcedure) SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_listProcedure));
  EndDlgTexture(window);
  RemoveAllProps(window);
  if (g_state && g_state->libraryWindow == window) g_state->libraryWindow = nullptr;
}

LRESULT ListDefault(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  return g_listProcedure ? CallWindowProcA(g_listProcedure, list, message, wParam, lParam)
                         : DefWindowProcA(list, message, wParam, lParam);
}

// Drags the caret entry's thumbnail from the press at `press` (list client coordinates) and
// returns where the button went up in the frame's client coordinates; false when there was no
// drag or it ended outside the frame's client area.
bool DragEntry(HWND list, POINT press, const LibraryItem** dragged, POINT* drop) {
  const LRESULT index = SendMessageA(list, LB_GETCARETINDEX, 0, 0);
  RECT r{};
  if (index == LB_ERR || SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)) == LB_ERR) {
    return false;
  }
  InflateRect(&r, -5, -5);
  const LRESULT data = SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
  const auto* item = reinterpret_cast<const LibraryItem*>(data);
  if (data == LB_ERR || !item) return false;
  int w = r.right - r.left, h = r.bottom - r.top;
  if (item->thumbnail) DibGetInfo(item->thumbnail, &w, &h, nullptr);
  if (w <= 0 || h <= 0 || !PtInRect(&r, press)) return false;
  POINT start{r.left, r.top};
  ClientToScreen(list, &start);
  const int done = item->thumbnail ? KvDragTransparentDib(item->thumbnail, &start, press.x - r.left, press.y - r.top,
                                                          kDragTransparentColor)
                                   : 0;
  ListDefault(list, WM_LBUTTONUP, 0, MAKELPARAM(press.x, press.y));
  HWND frame = g_state ? g_state->frameWindow : nullptr;
  if (!done || !frame) return false;
  RECT client{};
  GetClientRect(frame, &client);
  GetCursorPos(drop);
  ScreenToClient(frame, drop);
  *dragged = item;
  return PtInRect(&client, *drop) != FALSE;
}

}  // namespace

int AddSelectionToLibrary() {
  RetouchState* s = g_state;
  const sel::Selection* m = s ? s->selection : nullptr;
  std::string folder;
  if (!m || !m->floatActive || !m->selectionImage.exists() || !m->selectionMask.exists() || !LibraryFolder(&folder))
    return 0;
  // The selection was cut from the picture: it keeps the picture's resolution.
  DibLock picture(FrameImage(*s));
  const LONG x = picture.ok() ? picture.header()->biXPelsPerMeter : 0;
  const LONG y = picture.ok() ? picture.header()->biYPelsPerMeter : 0;
  return SaveToLibrary(folder, m->selectionImage.view(), m->selectionMask.view(), x, y, s->lastSavedSelection);
}

int FillLibraryList(HWND list) {
  std::string folder;
  return LibraryFolder(&folder) ? FillListFromFolder(list, folder) : 0;
}

LRESULT CALLBACK LibraryListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_LBUTTONDOWN || SendMessageA(list, LB_GETCOUNT, 0, 0) <= 0) {
    return ListDefault(list, message, wParam, lParam);
  }
  // The list box takes the press and a release, which makes the entry under the pointer the
  // caret entry; the drag then runs from it.
  ListDefault(list, WM_LBUTTONDOWN, wParam, lParam);
  ListDefault(list, WM_LBUTTONUP, wParam, lParam);
  const LibraryItem* item = nullptr;
  POINT drop{};
  if (DragEntry(list, POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}, &item, &drop)) {
    DropLibrarySelection(item->path, drop);
  }
  return 0;
}

INT_PTR CALLBACK LibraryWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(window);
      return FALSE;  // the focus is set
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDCANCEL: OnClose(window); return TRUE;
        case IDC_LIBRARY_ADD: OnAdd(window); return TRUE;
        case IDC_LIBRARY_DELETE: OnDelete(window); return TRUE;
        default: return FALSE;
      }
    case WM_DRAWITEM:
      DrawEntry(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_DELETEITEM:
      DeleteLibraryItem(reinterpret_cast<const DELETEITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_SIZE:
      OnSize(window, LOWORD(lParam), HIWORD(lParam));
      return TRUE;
    case WM_GETMINMAXINFO:
      OnGetMinMaxInfo(window, reinterpret_cast<MINMAXINFO*>(lParam));
      return TRUE;
    case WM_ERASEBKGND:
      FillDlgWithTexture(window, reinterpret_cast<HDC>(wParam), kEditorDialogTexture);
      return TRUE;
    case WM_CTLCOLORDLG:
      return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_DESTROY:
      OnDestroy(window);
      return FALSE;
    default:
      return FALSE;
  }
}
