// Combo box "KVCOMBO" and its drop-down "KvPopupCmb": the combo draws the selection (or holds
// an input field "Saisie" when editable) and the drop button; the popup holds a system list box.
// While closed the popup is a hidden child of the combo; open, it is a topmost child of the
// desktop, its list has the focus, and the list and the dialog's top-level window are
// subclassed so that any press elsewhere closes it.
// Not here: CB_SETEDITSEL and the extended UI (answered 0), CB_SHOWDROPDOWN (does nothing).
#include <windows.h>

#include <algorithm>
#include <string>

#include "controls/core/classes.h"
#include "controls/core/library.h"
#include "controls/core/style_line.h"
#include "controls/core/style_record.h"
#include "controls/core/window_data.h"
#include "controls/widgets/combo.h"
#include "controls/widgets/drawing.h"
#include "winkit/gdi_guard.h"
#include "controls/widgets/saisie.h"

namespace {

namespace wc = wdata::combo;
namespace wp = wdata::popup;

constexpr int kEditId = 27001, kPopupId = 27002, kListId = 27003;
constexpr int kDropArrowBitmap = 2045;
constexpr DWORD kOwnerDraw = CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE;

// The one open list of the thread, and what its subclassing replaced.
struct OpenList {
  HWND combo = nullptr;
  HWND list = nullptr;
  HWND top = nullptr;
  WNDPROC listProc = nullptr;
  WNDPROC topProc = nullptr;
} open;
// The combo whose list is shown.
HWND openCombo = nullptr;

DWORD StyleOf(HWND w) { return static_cast<DWORD>(GetWindowLongA(w, GWL_STYLE)); }
HWND EditOf(HWND combo) { return wc::Edit::Get(combo); }
HWND ListOf(HWND combo) { return wc::ListBox::Get(combo); }
HWND PopupOf(HWND combo) { return wc::Popup::Get(combo); }
HWND FocusTarget(HWND combo) { return EditOf(combo) ? EditOf(combo) : combo; }
bool IsOpen(HWND combo) { return PopupOf(combo) && IsWindowVisible(PopupOf(combo)); }

void Notify(HWND combo, WORD code, bool post = false) {
  const HWND parent = GetParent(combo);
  if (!parent) return;
  const WPARAM wparam = MAKEWPARAM(GetDlgCtrlID(combo), code);
  if (post) PostMessageA(parent, WM_COMMAND, wparam, reinterpret_cast<LPARAM>(combo));
  else SendMessageA(parent, WM_COMMAND, wparam, reinterpret_cast<LPARAM>(combo));
}

void NextControl(HWND combo, bool previous) {
  if (const HWND dialog = GetParent(combo)) PostMessageA(dialog, WM_NEXTDLGCTL, previous ? 1 : 0, 0);
}

int ItemHeight(HWND combo) {
  RECT r = {0, 0, 0, 12};
  if (MapDialogRect(GetParent(combo), &r) && r.bottom > 0) return r.bottom;
  // Outside a dialog: the font's line with a little room.
  gdi::WindowDC dc(combo);
  gdi::Select font(dc.get(), wc::Font::Get(combo));
  TEXTMETRICA tm = {};
  GetTextMetricsA(dc.get(), &tm);
  return std::max<int>(tm.tmHeight + 6, 8);
}

// ---- opening and closing ----

LRESULT CALLBACK OpenListProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK OpenTopProc(HWND, UINT, WPARAM, LPARAM);

void Subclass(HWND combo) {
  if (open.combo) return;
  open.combo = combo;
  open.list = ListOf(combo);
  open.top = GetAncestor(combo, GA_ROOT);
  open.listProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(open.list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OpenListProc)));
  if (open.top && open.top != combo)
    open.topProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(open.top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OpenTopProc)));
}

void Unsubclass() {
  if (!open.combo) return;
  if (open.list && IsWindow(open.list) && open.listProc)
    SetWindowLongPtrA(open.list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(open.listProc));
  if (open.top && IsWindow(open.top) && open.topProc)
    SetWindowLongPtrA(open.top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(open.topProc));
  open = OpenList();
}

// The list is no longer open: subclassing and the library-wide flag go.
void ForgetOpen(HWND combo) {
  if (open.combo == combo) Unsubclass();
  if (openCombo == combo) {
    openCombo = nullptr;
    tamsel::comboListOpen = 0;
  }
}

// Under the field (or the combo), on the screen: not left of or above the parent or the
// screen's origin, not past the right edge, and ending 4 pixels above the bottom at the lowest.
void PlacePopup(HWND combo) {
  const HWND popup = PopupOf(combo);
  if (!popup || !IsOpen(combo)) return;
  RECT c, under, parent = {0, 0, 0, 0}, p;
  GetWindowRect(combo, &c);
  GetWindowRect(EditOf(combo) ? EditOf(combo) : combo, &under);
  if (GetParent(combo)) GetWindowRect(GetParent(combo), &parent);
  GetWindowRect(popup, &p);
  const int w = p.right - p.left, h = p.bottom - p.top;
  int x = std::max({c.left, parent.left, 0L});
  int y = std::max({under.bottom, parent.top, 0L});
  const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
  if (x + w > screenW) x = std::max(screenW - w, 0);
  if (y + h > screenH - 4) y = std::max(screenH - 4 - h, 0);
  SetWindowPos(popup, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void OpenPopup(HWND combo) {
  const HWND popup = PopupOf(combo);
  if (!popup || IsOpen(combo)) return;
  // A child of the desktop that can take the focus: a popup owned by the dialog.
  const LONG style = GetWindowLongA(popup, GWL_STYLE);
  SetWindowLongA(popup, GWL_STYLE, (style & ~WS_CHILD) | WS_POPUP);
  SetParent(popup, nullptr);
  SetWindowLongPtrA(popup, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(GetAncestor(combo, GA_ROOT)));
  SetWindowPos(popup, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(popup, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  PlacePopup(combo);
  openCombo = combo;
  tamsel::comboListOpen = 1;
  Notify(combo, CBN_DROPDOWN, true);
}

void ClosePopup(HWND combo) {
  const HWND popup = PopupOf(combo);
  if (!popup || !IsOpen(combo)) return;
  ForgetOpen(combo);
  SetWindowPos(popup, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  SetWindowLongPtrA(popup, GWLP_HWNDPARENT, 0);
  const LONG style = GetWindowLongA(popup, GWL_STYLE);
  SetWindowLongA(popup, GWL_STYLE, (style & ~WS_POPUP) | WS_CHILD);
  SetParent(popup, combo);
  SetWindowPos(popup, nullptr, 0, wc::ListHeight::Get(combo) + 1, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Notify(combo, CBN_CLOSEUP, true);
  InvalidateRect(combo, nullptr, FALSE);
}

// ---- list and field ----

bool HasStrings(HWND combo) { return StyleOf(combo) & CBS_HASSTRINGS; }

std::string ItemText(HWND list, LRESULT item) {
  const LRESULT len = SendMessageA(list, LB_GETTEXTLEN, item, 0);
  if (len < 0 || len > 0xFFFF) return {};
  std::string text(static_cast<size_t>(len) + 1, '\0');
  const LRESULT got = SendMessageA(list, LB_GETTEXT, item, reinterpret_cast<LPARAM>(text.data()));
  text.resize(got > 0 ? std::min<size_t>(static_cast<size_t>(got), static_cast<size_t>(len)) : 0);
  return text;
}

// The item that starts with the field's text becomes the selection; a miss keeps the current
// one, or item 0.
void MatchField(HWND combo) {
  const HWND edit = EditOf(combo), list = ListOf(combo);
  if (!edit || !list || !HasStrings(combo) || (StyleOf(combo) & kOwnerDraw)) return;
  static thread_local char text[8192];
  GetWindowTextA(edit, text, sizeof text);
  LRESULT item = SendMessageA(list, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
  if (item == LB_ERR) item = SendMessageA(list, LB_GETCURSEL, 0, 0);
  if (item == LB_ERR) item = 0;
  SendMessageA(list, LB_SETCURSEL, item, 0);
  PostMessageA(list, LB_SETCARETINDEX, item, 0);
}

void SelectionChanged(HWND combo) {
  const HWND list = ListOf(combo);
  if (HasStrings(combo)) {
    const LRESULT item = SendMessageA(list, LB_GETCURSEL, 0, 0);
    const std::string text = item == LB_ERR ? std::string() : ItemText(list, item);
    if (const HWND edit = EditOf(combo)) SetWindowTextA(edit, text.c_str());
    else DefWindowProcA(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  InvalidateRect(combo, nullptr, FALSE);
  Notify(combo, CBN_SELCHANGE);
}

bool FocusInside(HWND combo, HWND focus) {
  return focus && (focus == ListOf(combo) || focus == PopupOf(combo));
}

// ---- subclassing while open ----

LRESULT CALLBACK OpenTopProc(HWND w, UINT msg, WPARAM wparam, LPARAM lparam) {
  const HWND combo = open.combo;
  const WNDPROC old = open.topProc;
  if (combo) {
    switch (msg) {
      case WM_LBUTTONDOWN:
      case WM_NCLBUTTONDOWN:
        PostMessageA(combo, WM_SETFOCUS, 0, 0);
        return 0;  // swallowed
      case WM_SYSKEYDOWN:
      case WM_SYSCOMMAND:
      case WM_MOVE:
        PostMessageA(combo, WM_SETFOCUS, 0, 0);
        break;
      case WM_PARENTNOTIFY:
        if (LOWORD(wparam) == WM_LBUTTONDOWN || LOWORD(wparam) == WM_RBUTTONDOWN) PostMessageA(combo, WM_SETFOCUS, 0, 0);
        break;
      default:
        break;
    }
  }
  return old ? CallWindowProcA(old, w, msg, wparam, lparam) : DefWindowProcA(w, msg, wparam, lparam);
}

LRESULT CALLBACK OpenListProc(HWND w, UINT msg, WPARAM wparam, LPARAM lparam) {
  const HWND combo = open.combo;
  const WNDPROC old = open.listProc;
  auto forward = [&] { return old ? CallWindowProcA(old, w, msg, wparam, lparam) : DefWindowProcA(w, msg, wparam, lparam); };
  if (!combo) return forward();
  switch (msg) {
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS;
    case WM_KEYDOWN: {
      if (GetKeyState(VK_MENU) < 0 || GetKeyState(VK_CONTROL) < 0) break;
      const bool shift = GetKeyState(VK_SHIFT) < 0;
      switch (wparam) {
        case VK_RETURN:
          SelectionChanged(combo);
          [[fallthrough]];
        case VK_TAB:
          SetFocus(FocusTarget(combo));
          NextControl(combo, shift);
          return 0;
        case VK_LEFT:
        case VK_RIGHT:
          SetFocus(FocusTarget(combo));
          NextControl(combo, wparam == VK_LEFT);
          return 0;
        case VK_ESCAPE:
          SetFocus(FocusTarget(combo));
          return 0;
        default:
          break;
      }
      break;
    }
    case WM_LBUTTONUP: {
      const LRESULT r = forward();
      POINT pt = {static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
      RECT rc;
      GetClientRect(w, &rc);
      if (PtInRect(&rc, pt) && open.combo) SetFocus(FocusTarget(combo));
      return r;
    }
    case WM_NCPAINT: {
      const LRESULT r = forward();
      HDC dc = GetWindowDC(w);
      RECT rc;
      GetWindowRect(w, &rc);
      OffsetRect(&rc, -rc.left, -rc.top);
      FrameRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
      ReleaseDC(w, dc);
      return r;
    }
    default:
      break;
  }
  return forward();
}

// ---- popup ----

HBRUSH SharedListBrush() {
  if (!tamsel::comboCachedObject) tamsel::comboCachedObject = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
  return static_cast<HBRUSH>(tamsel::comboCachedObject);
}

// Owner-draw messages of the list go to the combo's parent as if the combo sent them.
LRESULT ForwardOwnerDraw(HWND combo, UINT msg, LPARAM lparam) {
  const HWND parent = GetParent(combo);
  const UINT id = static_cast<UINT>(GetDlgCtrlID(combo));
  if (!parent) return 0;
  switch (msg) {
    case WM_DRAWITEM: {
      DRAWITEMSTRUCT d = *reinterpret_cast<DRAWITEMSTRUCT*>(lparam);
      d.CtlType = ODT_COMBOBOX;
      d.CtlID = id;
      d.hwndItem = combo;
      return SendMessageA(parent, msg, id, reinterpret_cast<LPARAM>(&d));
    }
    case WM_MEASUREITEM: {
      auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
      MEASUREITEMSTRUCT copy = *m;
      copy.CtlType = ODT_COMBOBOX;
      copy.CtlID = id;
      const LRESULT r = SendMessageA(parent, msg, id, reinterpret_cast<LPARAM>(&copy));
      m->itemWidth = copy.itemWidth;
      m->itemHeight = copy.itemHeight;
      return r;
    }
    case WM_COMPAREITEM: {
      COMPAREITEMSTRUCT c = *reinterpret_cast<COMPAREITEMSTRUCT*>(lparam);
      c.CtlType = ODT_COMBOBOX;
      c.CtlID = id;
      c.hwndItem = combo;
      return SendMessageA(parent, msg, id, reinterpret_cast<LPARAM>(&c));
    }
    default: {
      DELETEITEMSTRUCT d = *reinterpret_cast<DELETEITEMSTRUCT*>(lparam);
      d.CtlType = ODT_COMBOBOX;
      d.CtlID = id;
      d.hwndItem = combo;
      return SendMessageA(parent, msg, id, reinterpret_cast<LPARAM>(&d));
    }
  }
}

void PaintPopup(HWND w) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(w, &ps);
  if (!dc) return;
  RECT rc;
  GetClientRect(w, &rc);
  const COLORREF lines[3] = {GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNHIGHLIGHT)};
  for (int i = 0; i < 3; ++i) {
    gdi::Owned<HBRUSH> b(CreateSolidBrush(lines[i]));
    FrameRect(dc, &rc, b.get());
    InflateRect(&rc, -1, -1);
    if (rc.right <= rc.left || rc.bottom <= rc.top) break;
  }
  EndPaint(w, &ps);
}

}  // namespace

LRESULT CALLBACK KvPopupCmbWndProc(HWND w, UINT msg, WPARAM wparam, LPARAM lparam) {
  const HWND combo = wp::Combo::Get(w);
  switch (msg) {
    case WM_DESTROY:
      // Open, the popup is owned by the dialog and may go before the combo does.
      if (combo) {
        ForgetOpen(combo);
        if (wc::Popup::Get(combo) == w) {
          wc::Popup::Set(combo, nullptr);
          wc::ListBox::Set(combo, nullptr);
        }
      }
      return 0;
    case WM_SETFOCUS:
      if (combo && ListOf(combo)) SetFocus(ListOf(combo));
      return 0;
    case WM_SIZE:
      if (combo && ListOf(combo))
        MoveWindow(ListOf(combo), 1, 1, std::max(LOWORD(lparam) - 2, 0), std::max(HIWORD(lparam) - 4, 0), TRUE);
      return 0;
    case WM_NCHITTEST: {
      RECT rc;
      GetWindowRect(w, &rc);
      const int y = static_cast<short>(HIWORD(lparam));
      return y >= rc.bottom - GetSystemMetrics(SM_CYFRAME) ? HTBOTTOM : HTCLIENT;
    }
    case WM_GETMINMAXINFO:
      reinterpret_cast<MINMAXINFO*>(lparam)->ptMinTrackSize.y = GetSystemMetrics(SM_CYVTHUMB);
      return 0;
    case WM_PAINT:
      PaintPopup(w);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM:
      return combo ? ForwardOwnerDraw(combo, msg, lparam) : 0;
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
      return combo && GetParent(combo) ? SendMessageA(GetParent(combo), msg, wparam, reinterpret_cast<LPARAM>(combo)) : -1;
    case WM_CTLCOLORLISTBOX: {
      const LRESULT brush = combo && GetParent(combo) ? SendMessageA(GetParent(combo), msg, wparam, lparam) : 0;
      return brush ? brush : reinterpret_cast<LRESULT>(SharedListBrush());
    }
    case WM_COMMAND:
      if (combo && LOWORD(wparam) == kListId) {
        switch (HIWORD(wparam)) {
          case LBN_SELCHANGE:
            SelectionChanged(combo);
            break;
          case LBN_SETFOCUS:
            MatchField(combo);
            Subclass(combo);
            break;
          case LBN_KILLFOCUS: {
            ClosePopup(combo);
            const HWND focus = GetFocus();
            if (focus != combo && focus != EditOf(combo)) Notify(combo, CBN_KILLFOCUS);
            break;
          }
          default:
            break;
        }
      }
      return 0;
    default:
      return DefWindowProcA(w, msg, wparam, lparam);
  }
}

namespace {

// ---- combo: creation, sizes ----

LRESULT OnComboCreate(HWND w, const CREATESTRUCTA* cs) {
  const DWORD style = cs->style;
  const HWND parent = GetParent(w);
  HFONT font = parent ? reinterpret_cast<HFONT>(SendMessageA(parent, WM_GETFONT, 0, 0)) : nullptr;
  if (!font) font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  wc::Font::Set(w, font);
  wc::One::Set(w, 1);
  const int h = ItemHeight(w);
  const int listHeight = std::max(cs->cy - h - 2, h);
  const int listWidth = std::max(cs->cx - 2, 1);
  wc::CreationListHeight::Set(w, listHeight);
  SetWindowPos(w, nullptr, 0, 0, cs->cx, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  wc::ListHeight::Set(w, h);
  wc::ListWidth::Set(w, listWidth);

  if ((style & 3) != CBS_DROPDOWNLIST) {
    const DWORD fieldStyle = WS_CHILD | WS_VISIBLE | ((style & CBS_AUTOHSCROLL) ? 0x008 : 0);
    const HWND edit = CreateWindowExA(0, "Saisie", "", fieldStyle, 0, 0,
                                      std::max(cs->cx - GetSystemMetrics(SM_CXVSCROLL) - 2, 1), h, w,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), tamsel::libraryInstance, nullptr);
    if (!edit) return -1;
    wc::Edit::Set(w, edit);
    SetSaisieFocusColor(edit, GetSysColor(COLOR_WINDOW));
    SetSaisieBkColor(edit, GetSysColor(COLOR_BTNFACE));
    SetSaisieTxtColor(edit, GetSysColor(COLOR_WINDOWTEXT));
    // The creation text goes into the field as a set text: it sets no limit there.
    if (cs->lpszName && !IS_INTRESOURCE(cs->lpszName) && *cs->lpszName) SetWindowTextA(edit, cs->lpszName);
  }

  const HWND popup = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOPARENTNOTIFY, "KvPopupCmb", "", WS_CHILD, 0, h + 1,
                                     listWidth + 2, listHeight + 4, w,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPopupId)), tamsel::libraryInstance, nullptr);
  if (!popup) return -1;
  wc::Popup::Set(w, popup);
  wp::Combo::Set(popup, w);
  wp::Edit::Set(popup, wc::Edit::Get(w));

  DWORD listStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_BORDER | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
  if (style & CBS_SORT) listStyle |= LBS_SORT;
  if (style & CBS_HASSTRINGS) listStyle |= LBS_HASSTRINGS;
  if (style & CBS_OWNERDRAWFIXED) listStyle |= LBS_OWNERDRAWFIXED;
  if (style & CBS_OWNERDRAWVARIABLE) listStyle |= LBS_OWNERDRAWVARIABLE;
  int width = listWidth;
  if (style & CBS_DISABLENOSCROLL) {
    listStyle |= LBS_DISABLENOSCROLL | LBS_WANTKEYBOARDINPUT;
    width += GetSystemMetrics(SM_CXVSCROLL);
  }
  const HWND list = CreateWindowExA(0, "ListBox", "", listStyle, 1, 1, width, listHeight, popup,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), tamsel::libraryInstance, nullptr);
  if (!list) return -1;
  wc::ListBox::Set(w, list);
  SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  SendMessageA(list, LB_SETITEMHEIGHT, 0, h);
  SetWindowPos(popup, nullptr, 0, 0, width + 2, listHeight + 4, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return 0;
}

void OnComboDestroy(HWND w) {
  // A list open at this moment goes with the combo: its subclassing, the flag and the popup.
  ForgetOpen(w);
  if (const HWND popup = PopupOf(w)) {
    wc::Popup::Set(w, nullptr);
    DestroyWindow(popup);
  }
  wc::ListBox::Set(w, nullptr);
}

// Sizes follow the combo's height in the ratio to the reference height: the field's, or the
// combo's last one (never 0).
void OnComboSize(HWND w, int width, int height) {
  const HWND popup = PopupOf(w), list = ListOf(w), edit = EditOf(w);
  if (!popup || !list) return;
  RECT er = {0, 0, 0, 0};
  if (edit) GetWindowRect(edit, &er);
  int reference = edit ? er.bottom - er.top : wc::ListHeight::Get(w);
  if (reference <= 0) reference = height > 0 ? height : 1;
  RECT pr;
  GetWindowRect(popup, &pr);
  const int pw = MulDiv(pr.right - pr.left, height, reference), ph = MulDiv(pr.bottom - pr.top, height, reference);
  if (StyleOf(w) & kOwnerDraw) {
    const LRESULT item = SendMessageA(list, LB_GETITEMHEIGHT, 0, 0);
    if (item > 0) SendMessageA(list, LB_SETITEMHEIGHT, 0, std::clamp(MulDiv(static_cast<int>(item), height, reference), 1, 255));
  }
  if (edit) MoveWindow(edit, 0, 0, std::max(width - GetSystemMetrics(SM_CXVSCROLL) - 2, 1), height, TRUE);
  wc::ListWidth::Set(w, width);
  wc::ListHeight::Set(w, height);
  const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  if (IsOpen(w)) {
    SetWindowPos(popup, nullptr, 0, 0, std::max(pw, 3), std::max(ph, 5), flags | SWP_NOMOVE);
    PlacePopup(w);
  } else {
    SetWindowPos(popup, nullptr, 0, height + 1, std::max(pw, 3), std::max(ph, 5), flags);
  }
  SetWindowPos(list, nullptr, 1, 1, 0, 0, flags | SWP_NOSIZE);
}

// ---- combo: painting ----

void FillComboFace(HWND w, HDC dc, const RECT& rc) {
  const int kind = GetStyleKind(w, kStyleInputs);
  if (GetStyleTransparent(w, kStyleInputs)) {
    PaintParentBackground(w, dc);
  } else if (kind == kKindTexture && !IsNoHandle(GetStyleTexture(w, kStyleInputs))) {
    DrawDibTiled(dc, GetStyleTexture(w, kStyleInputs), &rc);
  } else if (kind == kKindVerticalGradient || kind == kKindHorizontalGradient) {
    fill_rect_gradient(dc, &rc, GetStyleFirstColour(w, kStyleInputs), GetStyleSecondColour(w, kStyleInputs),
                       kind == kKindVerticalGradient);
  } else {
    HBRUSH brush = GetParent(w) ? reinterpret_cast<HBRUSH>(SendMessageA(GetParent(w), WM_CTLCOLORLISTBOX,
                                                                        reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(w)))
                                : nullptr;
    FillRect(dc, &rc, brush ? brush : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
}

void DrawFieldPart(HWND w, HDC dc, const RECT& field) {
  const bool focused = GetFocus() == w;
  const bool rounded = GetStyleRounded(w, kStyleInputs);
  const HWND list = ListOf(w);
  const LRESULT item = list ? SendMessageA(list, LB_GETCURSEL, 0, 0) : LB_ERR;
  if (StyleOf(w) & kOwnerDraw) {
    gdi::SavedDC saved(dc);
    if (rounded) ClipToRoundRect(w, dc, 13);
    else IntersectClipRect(dc, field.left, field.top, field.right, field.bottom);
    DRAWITEMSTRUCT d = {};
    d.CtlType = ODT_COMBOBOX;
    d.CtlID = static_cast<UINT>(GetDlgCtrlID(w));
    d.itemID = item == LB_ERR ? static_cast<UINT>(-1) : static_cast<UINT>(item);
    d.itemAction = ODA_DRAWENTIRE;
    d.itemState = (focused ? ODS_FOCUS : 0) | (IsWindowEnabled(w) ? 0 : ODS_DISABLED);
    d.hwndItem = w;
    d.hDC = dc;
    d.rcItem = field;
    d.itemData = item == LB_ERR ? 0 : static_cast<ULONG_PTR>(SendMessageA(list, LB_GETITEMDATA, item, 0));
    if (GetParent(w)) {
      SendMessageA(GetParent(w), WM_DRAWITEM, d.CtlID, reinterpret_cast<LPARAM>(&d));
      if (focused) {
        d.itemAction = ODA_FOCUS;
        SendMessageA(GetParent(w), WM_DRAWITEM, d.CtlID, reinterpret_cast<LPARAM>(&d));
      }
    }
  } else {
    const std::string text = item == LB_ERR ? std::string() : ItemText(list, item);
    RECT tr = field;
    InflateRect(&tr, -(rounded ? 6 : 3), 0);
    if (focused) {
      RECT hi = field;
      InflateRect(&hi, -2, -2);
      FillRect(dc, &hi, GetSysColorBrush(COLOR_HIGHLIGHT));
      SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
      if (!rounded) DrawFocusRect(dc, &hi);
    } else {
      SetTextColor(dc, GetStyleTextColour(w, kStyleInputs));
    }
    SetBkMode(dc, TRANSPARENT);
    gdi::Select font(dc, wc::Font::Get(w));
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  // The field's sunken frame in the dialog background's variants.
  const COLORREF light = GetStyleFirstColour(w, kStyleBackground), dark = GetStyleSecondColour(w, kStyleBackground);
  const COLORREF hiColour = light ? style::LighterColour(light) : GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF shColour = dark ? style::DarkerColour(dark) : GetSysColor(COLOR_BTNSHADOW);
  if (rounded) {
    DrawRoundFrame3D(dc, &field, 12, hiColour, shColour);
  } else {
    gdi::Owned<HPEN> sh(CreatePen(PS_SOLID, 1, shColour)), hp(CreatePen(PS_SOLID, 1, hiColour));
    {
      gdi::Select pen(dc, sh.get());
      MoveToEx(dc, field.left, field.bottom - 1, nullptr);
      LineTo(dc, field.left, field.top);
      LineTo(dc, field.right, field.top);
    }
    gdi::Select pen(dc, hp.get());
    MoveToEx(dc, field.left, field.bottom - 1, nullptr);
    LineTo(dc, field.right, field.bottom - 1);
  }
}

bool Pushed(HWND w, const RECT& button) {
  if (!wc::MouseDown::Get(w)) return false;
  POINT pt;
  GetCursorPos(&pt);
  ScreenToClient(w, &pt);
  return PtInRect(&button, pt) != 0;
}

void DrawDropButton(HWND w, HDC dc, const RECT& b) {
  const bool enabled = IsWindowEnabled(w);
  const bool pushed = Pushed(w, b);
  gdi::WindowDC screen(nullptr);
  const int bits = screen ? GetDeviceCaps(screen.get(), BITSPIXEL) * GetDeviceCaps(screen.get(), PLANES) : 8;
  if (GetStyleKind(w, kStyleButtons) == kKindTexture && !IsNoHandle(GetStyleTexture(w, kStyleButtons))) {
    DrawDibTiled(dc, GetStyleTexture(w, kStyleButtons), &b);
  } else if (bits <= 8) {
    FillRect(dc, &b, GetSysColorBrush(COLOR_BTNFACE));
  } else {
    fill_rect_gradient(dc, &b, enabled ? 0xF3FDFF : 0xDFE9EB, enabled ? 0xB7C1C3 : 0xCBD5D7, 0);
  }
  if (enabled) {
    if (const HBITMAP arrow = LoadBitmapA(tamsel::hostModule, MAKEINTRESOURCEA(kDropArrowBitmap))) {
      BITMAP bm = {};
      GetObjectA(arrow, sizeof bm, &bm);
      COLORREF key = 0;
      {
        gdi::MemoryDC mem(dc);
        gdi::Select sel(mem.get(), arrow);
        key = GetPixel(mem.get(), 0, 0);
      }
      const int x = b.left + (b.right - b.left - bm.bmWidth) / 2 + (pushed ? 1 : 0);
      const int y = b.top + (b.bottom - b.top - bm.bmHeight) / 2 + 1 + (pushed ? 1 : 0);
      KvDrawTransparentBitmap(dc, arrow, x, y, key);
      DeleteObject(arrow);
    }
  }
  const COLORREF grey = 0x808080, white = 0xFFFFFF;
  const COLORREF topLeft = pushed ? grey : white, bottomRight = pushed ? white : grey;
  if (GetStyleRounded(w, kStyleButtons)) {
    DrawRoundFrame3D(dc, &b, 13, bottomRight, topLeft);
    RECT inner = b;
    InflateRect(&inner, -1, -1);
    DrawRoundFrame3D(dc, &inner, 11, bottomRight, topLeft);
  } else {
    RECT outer = b;
    if (enabled) FrameRect(dc, &outer, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    RECT inner = b;
    InflateRect(&inner, -1, -1);
    gdi::Owned<HPEN> tl(CreatePen(PS_SOLID, 1, topLeft)), br(CreatePen(PS_SOLID, 1, bottomRight));
    {
      gdi::Select pen(dc, tl.get());
      MoveToEx(dc, inner.left, inner.bottom - 1, nullptr);
      LineTo(dc, inner.left, inner.top);
      LineTo(dc, inner.right - 1, inner.top);
    }
    gdi::Select pen(dc, br.get());
    LineTo(dc, inner.right - 1, inner.bottom - 1);
    LineTo(dc, inner.left - 1, inner.bottom - 1);
  }
}

void PaintCombo(HWND w, HDC dc) {
  RECT rc;
  GetClientRect(w, &rc);
  const int buttonWidth = GetSystemMetrics(SM_CXVSCROLL) + 2;
  RECT field = rc, button = rc;
  field.right = std::max(rc.left, rc.right - buttonWidth);
  button.left = field.right;
  {
    gdi::SavedDC saved(dc);
    if (GetStyleRounded(w, kStyleInputs) || GetStyleRounded(w, kStyleButtons)) {
      PaintParentBackground(w, dc);
      if (GetStyleRounded(w, kStyleInputs)) ClipToRoundRect(w, dc, 12);
    }
    FillComboFace(w, dc, field);
  }
  if (!EditOf(w)) DrawFieldPart(w, dc, field);
  DrawDropButton(w, dc, button);
}

void ToggleByMouse(HWND w) {
  if (IsOpen(w)) {
    SetFocus(FocusTarget(w));
    ClosePopup(w);
  } else {
    OpenPopup(w);
    SetFocus(ListOf(w));
  }
}

LRESULT ToList(HWND w, UINT lbMsg, WPARAM wparam, LPARAM lparam) {
  const HWND list = ListOf(w);
  return list ? SendMessageA(list, lbMsg, wparam, lparam) : CB_ERR;
}

}  // namespace

LRESULT CALLBACK KvComboWndProc(HWND w, UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTA*>(lparam);
      DWORD style = cs->style & ~(WS_VSCROLL | WS_HSCROLL);
      if ((style & 3) != CBS_DROPDOWNLIST) style = (style & ~3u) | CBS_DROPDOWN;
      cs->style = static_cast<LONG>(style);
      SetWindowLongA(w, GWL_STYLE, static_cast<LONG>(style));
      return DefWindowProcA(w, msg, wparam, lparam);
    }
    case WM_CREATE:
      return OnComboCreate(w, reinterpret_cast<const CREATESTRUCTA*>(lparam));
    case WM_DESTROY:
      OnComboDestroy(w);
      return 0;
    case WM_SIZE:
      OnComboSize(w, LOWORD(lparam), HIWORD(lparam));
      return 0;
    case WM_MOVE:
      PlacePopup(w);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      if (HDC dc = BeginPaint(w, &ps)) {
        PaintCombo(w, dc);
        EndPaint(w, &ps);
      }
      return 0;
    }
    case WM_PRINTCLIENT:
      PaintCombo(w, reinterpret_cast<HDC>(wparam));
      return 0;
    case WM_ENABLE:
      InvalidateRect(w, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN:
      wc::MouseDown::Set(w, 1);
      ToggleByMouse(w);
      SetCapture(w);
      InvalidateRect(w, nullptr, FALSE);
      return 0;
    case WM_LBUTTONUP:
      wc::MouseDown::Set(w, 0);
      if (GetCapture() == w) ReleaseCapture();
      InvalidateRect(w, nullptr, FALSE);
      return 0;
    case WM_SYSKEYDOWN:
      if (wparam == VK_DOWN) {
        if (IsOpen(w)) {
          SetFocus(FocusTarget(w));
        } else {
          OpenPopup(w);
          SetFocus(ListOf(w));
        }
        return 0;
      }
      return DefWindowProcA(w, msg, wparam, lparam);
    case WM_KEYDOWN:
      if (EditOf(w) || !IsWindowEnabled(w)) return 0;
      switch (wparam) {
        case VK_TAB: NextControl(w, GetKeyState(VK_SHIFT) < 0); break;
        case VK_RETURN: case VK_RIGHT: case VK_DOWN: NextControl(w, false); break;
        case VK_LEFT: case VK_UP: NextControl(w, true); break;
        default: break;
      }
      return 0;
    case WM_SETFOCUS:
      // Posted by the subclassing while open: the focus comes back and the list closes.
      if (IsOpen(w) && FocusInside(w, GetFocus())) {
        SetFocus(FocusTarget(w));
        return 0;
      }
      if (EditOf(w)) {
        if (GetFocus() == w) SetFocus(EditOf(w));
        return 0;
      }
      if (GetFocus() == w && !FocusInside(w, reinterpret_cast<HWND>(wparam))) {
        Notify(w, CBN_SETFOCUS);
        InvalidateRect(w, nullptr, FALSE);
      }
      return 0;
    case WM_KILLFOCUS:
      if (FocusInside(w, reinterpret_cast<HWND>(wparam))) return 0;
      ClosePopup(w);
      if (!EditOf(w)) {
        Notify(w, CBN_KILLFOCUS);
        InvalidateRect(w, nullptr, FALSE);
      }
      return 0;
    case WM_COMMAND:
      if (LOWORD(wparam) == kEditId && reinterpret_cast<HWND>(lparam) == EditOf(w)) {
        switch (HIWORD(wparam)) {
          case EN_CHANGE:
            MatchField(w);
            Notify(w, CBN_EDITCHANGE);
            break;
          // The focus going to the list or coming from it stays inside the combo.
          case EN_SETFOCUS:
            if (!IsOpen(w) && !FocusInside(w, GetFocus())) Notify(w, CBN_SETFOCUS);
            break;
          case EN_KILLFOCUS:
            if (!IsOpen(w) && !FocusInside(w, GetFocus())) Notify(w, CBN_KILLFOCUS);
            break;
          default:
            break;
        }
      }
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
    case WM_SETTEXT:
      if (EditOf(w)) return SetWindowTextA(EditOf(w), reinterpret_cast<const char*>(lparam));
      DefWindowProcA(w, msg, wparam, lparam);
      InvalidateRect(w, nullptr, FALSE);
      return TRUE;
    case WM_GETTEXT:
      if (EditOf(w)) return GetWindowTextA(EditOf(w), reinterpret_cast<char*>(lparam), static_cast<int>(wparam));
      return DefWindowProcA(w, msg, wparam, lparam);
    case WM_GETTEXTLENGTH:
      if (EditOf(w)) return GetWindowTextLengthA(EditOf(w));
      return DefWindowProcA(w, msg, wparam, lparam);
    case WM_SETFONT:
      wc::Font::Set(w, reinterpret_cast<HFONT>(wparam));
      if (EditOf(w)) SendMessageA(EditOf(w), WM_SETFONT, wparam, lparam);
      if (ListOf(w)) SendMessageA(ListOf(w), WM_SETFONT, wparam, lparam);
      if (lparam) InvalidateRect(w, nullptr, FALSE);
      return 0;
    case WM_GETFONT:
      if (EditOf(w)) return SendMessageA(EditOf(w), WM_GETFONT, 0, 0);
      return reinterpret_cast<LRESULT>(wc::Font::Get(w));

    case CB_ADDSTRING: return ToList(w, LB_ADDSTRING, wparam, lparam);
    case CB_INSERTSTRING: return ToList(w, LB_INSERTSTRING, wparam, lparam);
    case CB_DELETESTRING: return ToList(w, LB_DELETESTRING, wparam, lparam);
    case CB_DIR: return ToList(w, LB_DIR, wparam, lparam);
    case CB_GETCOUNT: return ToList(w, LB_GETCOUNT, wparam, lparam);
    case CB_GETCURSEL: return ToList(w, LB_GETCURSEL, 0, 0);
    case CB_GETLBTEXT: return ToList(w, LB_GETTEXT, wparam, lparam);
    case CB_GETLBTEXTLEN: return ToList(w, LB_GETTEXTLEN, wparam, lparam);
    case CB_FINDSTRING: return ToList(w, LB_FINDSTRING, wparam, lparam);
    case CB_FINDSTRINGEXACT: return ToList(w, LB_FINDSTRINGEXACT, wparam, lparam);
    case CB_GETITEMDATA: return ToList(w, LB_GETITEMDATA, wparam, lparam);
    case CB_SETITEMDATA: return ToList(w, LB_SETITEMDATA, wparam, lparam);
    case CB_SETITEMHEIGHT:
      if (static_cast<int>(wparam) >= 0) return ToList(w, LB_SETITEMHEIGHT, wparam, lparam);
      SetWindowPos(w, nullptr, 0, 0, [&] { RECT r; GetWindowRect(w, &r); return static_cast<int>(r.right - r.left); }(),
                   static_cast<int>(lparam), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    case CB_GETITEMHEIGHT:
      if (static_cast<int>(wparam) >= 0) return ToList(w, LB_GETITEMHEIGHT, wparam, lparam);
      {
        RECT r;
        GetClientRect(w, &r);
        return r.bottom;
      }
    case CB_RESETCONTENT: {
      const LRESULT r = ToList(w, LB_RESETCONTENT, 0, 0);
      SendMessageA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
      InvalidateRect(w, nullptr, FALSE);
      return r;
    }
    case CB_SELECTSTRING: {
      const LRESULT r = ToList(w, LB_SELECTSTRING, wparam, lparam);
      InvalidateRect(w, nullptr, FALSE);
      return r;
    }
    case CB_SETCURSEL: {
      const LRESULT r = ToList(w, LB_SETCURSEL, wparam, lparam);
      SendMessageA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
      if (PopupOf(w))
        PostMessageA(PopupOf(w), WM_COMMAND, MAKEWPARAM(kListId, LBN_SELCHANGE), reinterpret_cast<LPARAM>(ListOf(w)));
      InvalidateRect(w, nullptr, FALSE);
      return r;
    }
    case CB_GETDROPPEDSTATE:
      return IsOpen(w) ? TRUE : FALSE;
    case CB_GETDROPPEDCONTROLRECT:
      if (!lparam || !ListOf(w)) return CB_ERR;
      GetWindowRect(ListOf(w), reinterpret_cast<RECT*>(lparam));
      return TRUE;
    case CB_LIMITTEXT:
      if (EditOf(w)) SendMessageA(EditOf(w), EM_LIMITTEXT, wparam, 0);
      return TRUE;
    case CB_GETEDITSEL:
    case CB_SETEDITSEL:
    case CB_SHOWDROPDOWN:
    case CB_SETEXTENDEDUI:
    case CB_GETEXTENDEDUI:
      return 0;
    default:
      return DefWindowProcA(w, msg, wparam, lparam);
  }
}

extern "C" {

COLORREF WINAPI SetKvComboFocusColor(HWND combo, COLORREF colour) {
  if (!tamsel::HasClass(combo, "KVCOMBO") || !EditOf(combo)) return 0;
  return SetSaisieFocusColor(EditOf(combo), colour);
}

COLORREF WINAPI SetKvComboBkColor(HWND combo, COLORREF colour) {
  if (!tamsel::HasClass(combo, "KVCOMBO") || !EditOf(combo)) return 0;
  return SetSaisieBkColor(EditOf(combo), colour);
}

BOOL WINAPI SetKvComboLBSize(HWND combo, int width, int height) {
  if (!tamsel::HasClass(combo, "KVCOMBO") || !PopupOf(combo) || !ListOf(combo)) return FALSE;
  if (width < 0) width = wc::ListWidth::Get(combo);
  if (height < 0) height = wc::CreationListHeight::Get(combo);
  // Sizes beyond any screen are bounded.
  width = std::min(width, 0x7FFF);
  height = std::min(height, 0x7FFF);
  wc::ListWidth::Set(combo, width);
  wc::CreationListHeight::Set(combo, height);
  SetWindowPos(PopupOf(combo), nullptr, 0, 0, width + 2, height + 4, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return SetWindowPos(ListOf(combo), nullptr, 1, 1, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // extern "C"
