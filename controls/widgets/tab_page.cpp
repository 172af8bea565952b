// "KVTABPAGE": the tab page, a child dialog under its tab button. The page draws its raised
// frame, open under the current tab; while pages exist their dialog is subclassed so that Tab and
// Shift+Tab run from the dialog's controls into the visible page and back. The modal loop of a
// tabbed dialog handles the page's Alt+letter mnemonics.
// Not done here: showing the selected tab's page and hiding the others (the host does it).
#include "controls/widgets/tab_page.h"

#include <algorithm>
#include <string_view>

#include "controls/core/classes.h"
#include "controls/widgets/tab_logic.h"
#include "winkit/gdi_guard.h"

namespace {

// The button's private click message.
constexpr UINT kButtonClick = WM_USER + 5;
// Marks the quit request of KvTabEndDialog apart from anyone else's.
constexpr LPARAM kEndRequest = 0x4B565442;

tamsel::MessageSource messageSource = GetMessageA;

// ---- Properties ----------------------------------------------------------------------------

// The atom of "FNPTRKV", held for the library's life so that its value never changes.
unsigned ProcPropAtom() {
  static const ATOM atom = GlobalAddAtomA(kTabDialogProcProp);
  return atom;
}

WNDPROC PreviousProc(HWND dialog) {
  return reinterpret_cast<WNDPROC>(reinterpret_cast<LONG_PTR>(GetPropA(dialog, kTabDialogProcProp)));
}
bool SetPreviousProc(HWND dialog, WNDPROC proc) {
  return SetPropA(dialog, kTabDialogProcProp, reinterpret_cast<HANDLE>(reinterpret_cast<LONG_PTR>(proc))) != FALSE;
}

bool SetTabButton(HWND page, HWND button) {
  return SetPropA(page, MAKEINTATOM(kTabPageButtonAtom), button) != FALSE;
}
bool SetTabPage(HWND dialog, int tabId, HWND page) { return SetPropA(dialog, MAKEINTATOM(tabId), page) != FALSE; }

// ---- Windows as navigation sees them -------------------------------------------------------

bool HasClass(HWND w, const char* name) {
  char cls[16];
  return w && GetClassNameA(w, cls, sizeof cls) && lstrcmpiA(cls, name) == 0;
}
bool IsTabPage(HWND w) { return HasClass(w, "KVTABPAGE"); }
bool Usable(HWND w) { return IsWindowVisible(w) && IsWindowEnabled(w); }

// The focus inside a combo box counts as the combo box.
HWND AsControl(HWND w) {
  HWND parent = w ? GetParent(w) : nullptr;
  return HasClass(parent, "KVCOMBO") ? parent : w;
}

// The first enabled and visible page among the dialog's children.
HWND VisiblePage(HWND dialog) {
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (IsTabPage(c) && Usable(c)) return c;
  }
  return nullptr;
}

tabs::Ctl AsCtl(HWND w) { return reinterpret_cast<tabs::Ctl>(w); }

tabs::Stops TabStops(HWND parent) {
  tabs::Stops s;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!Usable(c) || !(GetWindowLongA(c, GWL_STYLE) & WS_TABSTOP)) continue;
    if (!s.first) s.first = AsCtl(c);
    s.last = AsCtl(c);
  }
  return s;
}

// Through the dialog manager of the dialog or page that holds the control, so that default
// buttons and edit selections follow as for any focus move.
void GiveFocus(HWND control) {
  if (!IsWindow(control)) return;
  HWND holder = GetParent(control);
  if (holder) DefDlgProcA(holder, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
  if (IsWindow(control) && GetFocus() != control) SetFocus(control);
}

// WM_NEXTDLGCTL of the dialog or of its page: true when the move crossed between them.
bool Navigate(HWND dialog, WPARAM wp, LPARAM lp) {
  HWND page = VisiblePage(dialog);
  if (!page) return false;
  tabs::Move move;
  move.handleForm = LOWORD(lp) != 0;
  move.previous = !move.handleForm && wp != 0;
  if (move.handleForm) move.named = AsCtl(AsControl(reinterpret_cast<HWND>(wp)));
  const tabs::Ctl target = tabs::CrossingTarget(AsCtl(AsControl(GetFocus())), TabStops(dialog), TabStops(page), move);
  if (!target) return false;
  GiveFocus(reinterpret_cast<HWND>(target));
  return true;
}

// ---- The subclassed dialog -----------------------------------------------------------------

LRESULT CALLBACK TabDialogProc(HWND dialog, UINT m, WPARAM wp, LPARAM lp);

bool SubclassedByUs(HWND dialog) {
  return GetWindowLongPtrA(dialog, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(TabDialogProc);
}

void Subclass(HWND dialog) {
  if (!IsWindow(dialog) || GetPropA(dialog, kTabDialogProcProp) || SubclassedByUs(dialog)) return;
  auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(dialog, GWLP_WNDPROC));
  if (!current || !SetPreviousProc(dialog, current)) return;
  SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TabDialogProc));
}

// Only while the procedure is still ours: a subclass installed over it keeps calling us, and we
// keep forwarding to the stored one.
void Unsubclass(HWND dialog) {
  WNDPROC previous = PreviousProc(dialog);
  if (!previous || !SubclassedByUs(dialog)) return;
  SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  RemovePropA(dialog, kTabDialogProcProp);
}

LRESULT CALLBACK TabDialogProc(HWND dialog, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_NEXTDLGCTL && Navigate(dialog, wp, lp)) return DefWindowProcA(dialog, m, wp, lp);
  WNDPROC previous = PreviousProc(dialog);
  if (!previous || previous == TabDialogProc) return DefDlgProcA(dialog, m, wp, lp);
  return CallWindowProcA(previous, dialog, m, wp, lp);
}

// ---- The page ------------------------------------------------------------------------------

void FillLine(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
  if (right <= left || bottom <= top) return;
  const RECT r = {left, top, right, bottom};
  SetBkColor(dc, colour);
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

// A top line from `left` to `right` that leaves the tab button's columns open.
void TopLine(HDC dc, int left, int right, int y, int gapLeft, int gapRight, COLORREF colour) {
  if (gapRight <= gapLeft) {
    FillLine(dc, left, y, right, y + 1, colour);
    return;
  }
  FillLine(dc, left, y, std::min(right, gapLeft), y + 1, colour);
  FillLine(dc, std::max(left, gapRight), y, right, y + 1, colour);
}

void PaintFrame(HWND page) {
  RECT r;
  if (!GetClientRect(page, &r)) return;
  gdi::WindowDC window(page);
  HDC dc = window.get();
  if (!dc) return;
  gdi::SavedDC saved(dc);
  RECT gap = {};
  HWND button = tamsel::TabButtonOf(page);
  if (button && GetWindowRect(button, &gap)) MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&gap), 2);
  const int w = r.right, h = r.bottom;
  const COLORREF face = GetSysColor(COLOR_BTNFACE) == 0xC0C0C0 ? 0xE0E0E0 : GetSysColor(COLOR_BTNFACE);
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
  FillLine(dc, 0, h - 1, w, h, RGB(0, 0, 0));
  FillLine(dc, w - 1, 0, w, h, RGB(0, 0, 0));
  TopLine(dc, 0, w - 1, 0, gap.left, gap.right, light);
  FillLine(dc, 0, 0, 1, h - 1, light);
  FillLine(dc, 1, h - 2, w - 1, h - 1, shadow);
  FillLine(dc, w - 2, 1, w - 1, h - 1, shadow);
  TopLine(dc, 1, w - 2, 1, gap.left, gap.right, face);
  FillLine(dc, 1, 1, 2, h - 2, face);
}

void OnPageDestroy(HWND page) {
  HWND dialog = GetParent(page);
  Unsubclass(dialog);
  HWND button = tamsel::TabButtonOf(page);
  RemovePropA(page, MAKEINTATOM(kTabPageButtonAtom));
  if (!dialog || !button) return;
  const int id = GetDlgCtrlID(button);
  if (tabs::UsableTabId(id, ProcPropAtom()) && tamsel::TabPageOf(dialog, id) == page) RemovePropA(dialog, MAKEINTATOM(id));
}

// A page made from a popup template becomes a hidden child of the dialog before it is placed.
void MakeHiddenChild(HWND page, HWND dialog) {
  const LONG style = GetWindowLongA(page, GWL_STYLE);
  if (style & WS_VISIBLE) ShowWindow(page, SW_HIDE);
  constexpr LONG kCleared = WS_POPUP | WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_BORDER | WS_DLGFRAME | WS_SYSMENU |
                            WS_GROUP | WS_TABSTOP;
  SetWindowLongA(page, GWL_STYLE, (style & ~kCleared) | WS_CHILD | WS_CLIPCHILDREN);
  const LONG ex = GetWindowLongA(page, GWL_EXSTYLE);
  SetWindowLongA(page, GWL_EXSTYLE, ex & ~(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_APPWINDOW));
  if (!(style & WS_CHILD) || GetParent(page) != dialog) SetParent(page, dialog);
}

// ---- Mnemonics and the modal loop ------------------------------------------------------------

unsigned char Upper(unsigned char c) {
  return static_cast<unsigned char>(reinterpret_cast<UINT_PTR>(CharUpperA(reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(c)))));
}

bool CarriesMnemonic(HWND w, unsigned char typed) {
  char text[257] = {};
  const int n = GetWindowTextA(w, text, sizeof text);
  return n > 0 && tabs::CarriesMnemonic(std::string_view(text, static_cast<size_t>(n)), typed, Upper);
}

// The page's descendants in order; a combo box's children stand for the combo box.
HWND FindMnemonic(HWND parent, unsigned char typed) {
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    HWND control = AsControl(c);
    if (Usable(control) && CarriesMnemonic(c, typed)) return control;
    if (HWND inner = FindMnemonic(c, typed)) return inner;
  }
  return nullptr;
}

bool HandleMnemonic(HWND dialog, const MSG& msg) {
  if (msg.message != WM_SYSCHAR || GetActiveWindow() != dialog) return false;
  if (msg.wParam < 32 || msg.wParam > 255 || !IsCharAlphaNumericA(static_cast<CHAR>(msg.wParam))) return false;
  HWND page = VisiblePage(dialog);
  HWND hit = page ? FindMnemonic(page, static_cast<unsigned char>(msg.wParam)) : nullptr;
  if (!hit) return false;
  GiveFocus(hit);
  const LRESULT code = IsWindow(hit) ? SendMessageA(hit, WM_GETDLGCODE, 0, 0) : 0;
  if ((code & DLGC_BUTTON) && IsWindow(hit)) SendMessageA(hit, kButtonClick, 0, 0);
  if ((code & DLGC_RADIOBUTTON) && IsWindow(hit)) SendMessageA(hit, BM_SETCHECK, BST_CHECKED, 0);
  return true;
}

// Why the loop ended.
struct LoopEnd {
  INT_PTR result = 0;
  bool foreignQuit = false;
  WPARAM quitCode = 0;
};

// Until our quit request, anyone else's WM_QUIT, a failing GetMessage, or the dialog destroyed
// or hidden (EndDialog hides it).
LoopEnd RunLoop(HWND dialog) {
  LoopEnd end;
  MSG msg;
  while (IsWindow(dialog) && IsWindowVisible(dialog)) {
    const BOOL got = messageSource(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      if (msg.lParam == kEndRequest) {
        end.result = static_cast<INT_PTR>(msg.wParam);
      } else {
        end.foreignQuit = true;
        end.quitCode = msg.wParam;
      }
      break;
    }
    if (HandleMnemonic(dialog, msg)) continue;
    HWND active = GetActiveWindow();
    if (active && IsDialogMessageA(active, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return end;
}

}  // namespace

namespace tamsel {

HWND TabPageOf(HWND dialog, int tabId) {
  if (!dialog || tabId <= 0 || tabId > 0xFFFF) return nullptr;
  HWND page = static_cast<HWND>(GetPropA(dialog, MAKEINTATOM(tabId)));
  return IsWindow(page) ? page : nullptr;
}

HWND TabButtonOf(HWND page) {
  HWND button = page ? static_cast<HWND>(GetPropA(page, MAKEINTATOM(kTabPageButtonAtom))) : nullptr;
  return IsWindow(button) ? button : nullptr;
}

MessageSource SetTabLoopMessageSource(MessageSource source) {
  MessageSource old = messageSource;
  messageSource = source ? source : GetMessageA;
  return old;
}

}  // namespace tamsel

LRESULT CALLBACK TabPageWndProc(HWND page, UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_CREATE:
      // A popup page has its owner as parent here; KvCreateTabPage subclasses once it is a child.
      if (GetWindowLongA(page, GWL_STYLE) & WS_CHILD) Subclass(GetParent(page));
      break;
    case WM_DESTROY: OnPageDestroy(page); break;
    case WM_PAINT: {
      const LRESULT r = DefDlgProcA(page, m, wp, lp);
      PaintFrame(page);
      return r;
    }
    case WM_NEXTDLGCTL:
      if (Navigate(GetParent(page), wp, lp)) return 0;
      break;
  }
  return DefDlgProcA(page, m, wp, lp);
}

extern "C" {

HWND WINAPI KvCreateTabPage(HINSTANCE instance, HWND dialog, UINT templateId, DLGPROC proc, int tabId) {
  // Above 0xFFFF the identifier would be read as the address of a template name.
  if (!IsWindow(dialog) || templateId == 0 || templateId > 0xFFFF) return nullptr;
  if (!tabs::UsableTabId(tabId, ProcPropAtom())) return nullptr;
  HWND button = GetDlgItem(dialog, tabId);
  if (!button) return nullptr;
  HWND page = CreateDialogParamA(instance, MAKEINTRESOURCEA(templateId), dialog, proc, 0);
  if (!page) return nullptr;

  RECT size = {};
  GetWindowRect(page, &size);
  MakeHiddenChild(page, dialog);
  Subclass(dialog);
  RECT tab = {};
  GetWindowRect(button, &tab);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&tab), 2);
  SetWindowPos(page, nullptr, 1, tab.bottom - 2, size.right - size.left - 3, size.bottom - size.top - 3,
               SWP_NOACTIVATE | SWP_NOZORDER | SWP_FRAMECHANGED);
  if (!SetTabButton(page, button) || !SetTabPage(dialog, tabId, page)) {
    DestroyWindow(page);
    return nullptr;
  }
  return page;
}

INT_PTR WINAPI KvTabDialogBoxParam(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM param) {
  HWND dialog = CreateDialogParamA(instance, templateName, owner, proc, param);
  if (!dialog) return 0;
  HWND parent = GetParent(dialog);
  const bool parentWasEnabled = parent && IsWindowEnabled(parent);
  ShowWindow(dialog, SW_SHOW);
  if (IsWindow(dialog)) SetFocus(dialog);
  if (parent) EnableWindow(parent, FALSE);

  const LoopEnd end = RunLoop(dialog);

  if (IsWindow(parent)) {
    EnableWindow(parent, parentWasEnabled);
    if (parentWasEnabled) SetFocus(parent);
  }
  if (IsWindow(dialog)) DestroyWindow(dialog);
  // Someone else's quit request was meant for the loop that runs under ours.
  if (end.foreignQuit) PostQuitMessage(static_cast<int>(end.quitCode));
  return end.result;
}

BOOL WINAPI KvTabEndDialog(HWND window, int result) {
  return PostMessageA(window, WM_QUIT, static_cast<WPARAM>(static_cast<INT_PTR>(result)), kEndRequest);
}

}  // extern "C"
