// "BOUTON": the suite's owner-drawn button. One painter per look (push button, push-like
// button, check box or radio, tab button), chosen from the type and style bits in one place;
// WM_PAINT and WM_PRINTCLIENT share them. State changes go through the button's own messages.
// Not done here: BS_OWNERDRAW, BM_SETIMAGE, the three-state check box, BCN_* notifications.
#include "controls/widgets/button.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "controls/core/classes.h"
#include "controls/core/hover.h"
#include "controls/core/library.h"
#include "controls/core/style_line.h"
#include "controls/core/style_record.h"
#include "controls/core/window_data.h"
#include "controls/core/window_tests.h"
#include "controls/widgets/button_logic.h"
#include "controls/widgets/control_paint.h"
#include "controls/widgets/control_text.h"
#include "controls/widgets/drawing.h"
#include "winkit/gdi_guard.h"
#include "controls/widgets/host_settings.h"

namespace {

namespace wb = wdata::button;
using ctlpaint::IsBitmap;

// State bits.
constexpr int kSpaceDown = 0x04;
constexpr int kSpaceBits = 0x04 | 0x08 | 0x10;
constexpr int kDefault = 0x20;
constexpr int kChecked = 0x40;
constexpr int kTracking = 0x80;
constexpr int kHot = 0x100;

// Style bits.
constexpr LONG kBoxRight = 0x20;
constexpr LONG kTransparentLook = 0x40;
constexpr LONG kKeyedBitmaps = 0x80;
constexpr LONG kPushLike = 0x1000;
constexpr LONG kTabStyle = 0x2000;
constexpr LONG kPlacementBits = 0xF00;

constexpr int kRoundCorner = 13;
constexpr int kBoxMinSide = 20;
constexpr COLORREF kGreyBC = 0xC0C0C0;

enum class Form { Push, PushLike, Tab, Box };

int TypeOf(LONG style) { return style & 0xF; }
bool IsRadioType(int type) { return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON; }

Form FormOf(LONG style) {
  const int type = TypeOf(style);
  if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) return Form::Push;
  if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || IsRadioType(type)) {
    if (style & kPushLike) return Form::PushLike;
    if (type == BS_AUTORADIOBUTTON && (style & kTabStyle)) return Form::Tab;
    return Form::Box;
  }
  return Form::Push;
}

LONG StyleOf(HWND w) { return GetWindowLongA(w, GWL_STYLE); }
bool IsTabButton(HWND w) { return FormOf(StyleOf(w)) == Form::Tab; }
bool IsAutoRadioButton(HWND w) { return IsKvButton(w) && TypeOf(StyleOf(w)) == BS_AUTORADIOBUTTON; }

// ---- The shared face brush -----------------------------------------------------------------

WORD liveButtons = 0;
HBRUSH faceBrush = nullptr;

HBRUSH CreateFaceBrush() {
  HDC screen = GetDC(nullptr);
  const int bits = screen ? GetDeviceCaps(screen, BITSPIXEL) : 24;
  if (screen) ReleaseDC(nullptr, screen);
  if (bits > 8) return CreateSolidBrush(0xD5DFE1);
  HBITMAP pattern = tamsel::applicationInstance ? LoadBitmapA(tamsel::applicationInstance, MAKEINTRESOURCEA(2048)) : nullptr;
  if (!pattern) return nullptr;
  HBRUSH brush = CreatePatternBrush(pattern);  // the brush keeps its own copy
  DeleteObject(pattern);
  return brush;
}

HBRUSH FaceBrush() { return faceBrush ? faceBrush : GetSysColorBrush(COLOR_BTNFACE); }

void FillFace(HDC dc, const RECT& r) {
  POINT old;
  SetBrushOrgEx(dc, 0, 0, &old);
  FillRect(dc, &r, FaceBrush());
  SetBrushOrgEx(dc, old.x, old.y, nullptr);
}

// ---- Window data -----------------------------------------------------------------------------

HBITMAP Slot(HWND w, int kind) {
  switch (kind) {
    case kButtonBitmapDisabled: return wb::DisabledBitmap::Get(w);
    case kButtonBitmapChecked: return wb::CheckedBitmap::Get(w);
    case kButtonBitmapHover: return wb::HoverBitmap::Get(w);
    default: return wb::NormalBitmap::Get(w);
  }
}
HBITMAP SetSlot(HWND w, int kind, HBITMAP b) {
  switch (kind) {
    case kButtonBitmapDisabled: return wb::DisabledBitmap::Set(w, b);
    case kButtonBitmapChecked: return wb::CheckedBitmap::Set(w, b);
    case kButtonBitmapHover: return wb::HoverBitmap::Set(w, b);
    default: return wb::NormalBitmap::Set(w, b);
  }
}
// A slot's bitmap when it is one.
HBITMAP UsableSlot(HWND w, int kind) {
  HBITMAP b = Slot(w, kind);
  return IsBitmap(b) ? b : nullptr;
}
bool HeldInAnotherSlot(HWND w, int kind, HBITMAP b) {
  for (int k = 0; k < ctltext::kButtonSlots; ++k) {
    if (k != kind && Slot(w, k) == b) return true;
  }
  return false;
}

int State(HWND w) { return wb::State::Get(w); }
void SetStateBits(HWND w, int set, int clear) { wb::State::Set(w, (State(w) & ~clear) | set); }
bool Checked(HWND w) { return (State(w) & kChecked) != 0; }
bool Pushed(int state) { return (state & kSpaceDown) || ((state & kTracking) && (state & kHot)); }

HWND focusReturn = nullptr;

void Redraw(HWND w) { RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }

void Notify(HWND w) {
  SendMessageA(GetParent(w), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(w), BN_CLICKED), reinterpret_cast<LPARAM>(w));
}

bool CursorOver(HWND w) {
  POINT p;
  RECT r;
  return GetCursorPos(&p) && GetWindowRect(w, &r) && PtInRect(&r, p);
}

// ---- Tab buttons ---------------------------------------------------------------------------

// A checked tab stands 2 pixels higher and wider at both sides.
void RaiseTab(HWND w, bool raise) {
  RECT r;
  GetWindowRect(w, &r);
  MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
  const int d = raise ? 2 : -2;
  SetWindowPos(w, nullptr, r.left - d, r.top - d, r.right - r.left + 2 * d, r.bottom - r.top + d,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// At creation a tab button sits flush right of the tab button to its left.
void AlignTab(HWND w, const CREATESTRUCTA& cs) {
  HWND parent = cs.hwndParent;
  if (!parent) return;
  const int reach = LOWORD(GetDialogBaseUnits()) / 2;
  for (int dx = 1; dx <= reach; ++dx) {
    POINT p = {cs.x - dx, cs.y + cs.cy / 2};
    HWND left = ChildWindowFromPointEx(parent, p, CWP_SKIPINVISIBLE);
    if (!left || left == parent || left == w || !IsKvButton(left) || !IsTabButton(left)) continue;
    RECT r;
    GetWindowRect(left, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(w, nullptr, r.right, r.top, cs.cx - (r.right - cs.x), r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
}

HWND TabPage(HWND w) {
  HWND parent = GetParent(w);
  const int id = GetDlgCtrlID(w);
  if (!parent || id <= 0 || id > 0xFFFF) return nullptr;
  HWND page = static_cast<HWND>(GetPropA(parent, MAKEINTATOM(id)));
  return IsWindow(page) ? page : nullptr;
}

// ---- Check state and groups ----------------------------------------------------------------

LRESULT OnSetCheck(HWND w, WPARAM check) {
  const bool now = check != 0;
  const LONG style = StyleOf(w);
  // Only the checked member of an auto-radio group keeps the tab stop, whatever it had before.
  if (TypeOf(style) == BS_AUTORADIOBUTTON) SetWindowLongA(w, GWL_STYLE, now ? style | WS_TABSTOP : style & ~WS_TABSTOP);
  if (now == Checked(w)) return 0;
  SetStateBits(w, now ? kChecked : 0, now ? 0 : kChecked);
  if (FormOf(style) == Form::Tab) RaiseTab(w, now);
  Redraw(w);
  return 0;
}

bool StartsGroup(HWND h) { return (GetWindowLongA(h, GWL_STYLE) & WS_GROUP) != 0; }

// The member after `h` in its group, hidden and disabled ones included, wrapping at the group's
// end (the next WS_GROUP sibling or the last sibling) to its first member.
HWND NextGroupMember(HWND h) {
  HWND next = GetWindow(h, GW_HWNDNEXT);
  if (next && !StartsGroup(next)) return next;
  HWND first = h;
  while (!StartsGroup(first)) {
    HWND previous = GetWindow(first, GW_HWNDPREV);
    if (!previous) break;
    first = previous;
  }
  return first;
}

// Unchecks every other auto radio of the group and checks `w`. The walk takes hidden and
// disabled members too, so that one button stays checked, and ends wherever it starts.
void SelectInGroup(HWND w, WPARAM check = 1) {
  btn::WalkGroup(w, NextGroupMember,
                 [w](HWND h) {
                   if (h != w && IsAutoRadioButton(h)) SendMessageA(h, BM_SETCHECK, BST_UNCHECKED, 0);
                 });
  SendMessageA(w, BM_SETCHECK, check, 0);
}

// What a click (mouse, space bar, program) does to the check state.
void ClickCheck(HWND w) {
  const int type = TypeOf(StyleOf(w));
  if (type == BS_AUTOCHECKBOX) SendMessageA(w, BM_SETCHECK, Checked(w) ? BST_UNCHECKED : BST_CHECKED, 0);
  if (type == BS_AUTORADIOBUTTON && !Checked(w)) SelectInGroup(w);
}

// ---- Focus moves ---------------------------------------------------------------------------

HWND NavigationParent(HWND w) {
  HWND parent = GetParent(w);
  char name[40] = {};
  GetClassNameA(parent, name, sizeof name);
  CharUpperA(name);
  if (std::strncmp(name, "KVCO", 4) == 0 || std::strncmp(name, "COMB", 4) == 0) return GetParent(parent);
  return parent;
}

void MoveFocus(HWND w, bool previous) { PostMessageA(NavigationParent(w), WM_NEXTDLGCTL, previous ? 1 : 0, 0); }

void MoveInGroup(HWND w, bool previous) {
  HWND target = GetNextDlgGroupItem(GetParent(w), w, previous);
  if (!target || target == w) return;
  if (!IsAutoRadioButton(target)) {
    SetFocus(target);
    return;
  }
  SelectInGroup(target);
  SetFocus(target);
  Notify(target);
}

// ---- Painting ------------------------------------------------------------------------------

struct Look {
  HWND w;
  HDC dc;
  RECT client;
  LONG style;
  int state;
  bool enabled;
  bool pushed;
  bool checked;
};

Look LookOf(HWND w, HDC dc) {
  Look l = {w, dc, {}, StyleOf(w), State(w), IsWindowEnabled(w) != FALSE, false, false};
  GetClientRect(w, &l.client);
  l.pushed = Pushed(l.state);
  l.checked = (l.state & kChecked) != 0;
  return l;
}

COLORREF Highlight() { return GetSysColor(COLOR_BTNHIGHLIGHT); }
COLORREF Shadow() { return GetSysColor(COLOR_BTNSHADOW); }

void Relief(HDC dc, const RECT& r, bool rounded, bool sunken) {
  const COLORREF light = sunken ? Shadow() : Highlight();
  const COLORREF dark = sunken ? Highlight() : Shadow();
  if (rounded) {
    DrawRoundFrame3D(dc, &r, kRoundCorner, dark, light);
  } else {
    ctlpaint::Frame3D(dc, r, light, dark);
  }
}

std::string Caption(HWND w, bool tab) {
  char text[1025];
  ctlpaint::WindowText(w, text, sizeof text);
  return tab ? ctltext::TabCaption(text) : ctltext::ButtonCaption(text);
}

// The caption's rectangle of a push button, measured with the font selected in `dc`.
RECT PushTextRect(const Look& l, const std::string& caption, HBITMAP measureBitmap) {
  const SIZE client = {l.client.right, l.client.bottom};
  RECT m = {0, 0, btn::MeasureWidth(client.cx, ctlpaint::BitmapSize(measureBitmap).cx), 0};
  DrawTextA(l.dc, caption.c_str(), -1, &m, DT_CALCRECT | DT_WORDBREAK);
  const draw::Rect r = btn::PushTextRect({client.cx, client.cy}, static_cast<unsigned>(l.style), {m.right - m.left, m.bottom - m.top});
  return RECT{r.left, r.top, r.right, r.bottom};
}

UINT HorizontalFlags(LONG style) {
  return (style & btn::kPlaceCentre) ? DT_CENTER : (style & btn::kPlaceRight) ? DT_LEFT : DT_RIGHT;
}

void DrawCaption(HDC dc, const std::string& caption, RECT r, UINT flags, COLORREF colour) {
  SetTextColor(dc, colour);
  DrawTextA(dc, caption.c_str(), -1, &r, flags);
}
RECT Offset(RECT r, int d) {
  OffsetRect(&r, d, d);
  return r;
}

HFONT FontFor(HWND w, StyleElement element) {
  HFONT f = GetStyleFont(w, element);
  return f ? f : wb::Font::Get(w);
}

void PaintFace(const Look& l, bool transparent) {
  const int kind = GetStyleKind(l.w, kStyleButtons);
  if (transparent) {
    PaintParentBackground(l.w, l.dc);
  } else if (kind == kKindVerticalGradient || kind == kKindHorizontalGradient) {
    fill_rect_gradient(l.dc, &l.client, GetStyleFirstColour(l.w, kStyleButtons), GetStyleSecondColour(l.w, kStyleButtons),
                       kind == kKindVerticalGradient);
  } else if (kind == kKindTexture) {
    HGLOBAL texture = GetStyleTexture(l.w, kStyleButtons);
    if (IsNoHandle(texture) || !DrawDibTiled(l.dc, texture, &l.client)) FillFace(l.dc, l.client);
  } else if (GetSysColor(COLOR_BTNFACE) == kGreyBC) {
    FillFace(l.dc, l.client);
  } else {
    FillRect(l.dc, &l.client, GetSysColorBrush(COLOR_BTNFACE));
  }
}

// The bitmap a push button shows: a press without a checked (or a hover) bitmap keeps the
// normal one.
HBITMAP PushBitmap(const Look& l) {
  HBITMAP normal = UsableSlot(l.w, kButtonBitmapNormal);
  if (!l.enabled) return UsableSlot(l.w, kButtonBitmapDisabled);
  if (l.pushed) {
    if (HBITMAP checked = UsableSlot(l.w, kButtonBitmapChecked)) return checked;
  }
  if ((l.state & kHot) && CursorOver(l.w)) {
    if (HBITMAP hover = UsableSlot(l.w, kButtonBitmapHover)) return hover;
  }
  return normal;
}

void PaintPush(const Look& l) {
  HDC dc = l.dc;
  const bool rounded = GetStyleRounded(l.w, kStyleButtons) != 0;
  if (rounded) ClipToRoundRect(l.w, dc, kRoundCorner);
  PaintFace(l, GetStyleTransparent(l.w, kStyleButtons) != 0);

  gdi::Select font(dc, FontFor(l.w, kStyleButtons));
  HBITMAP bitmap = PushBitmap(l);
  const bool hasChecked = UsableSlot(l.w, kButtonBitmapChecked) != nullptr;
  const bool shifted = l.pushed && !hasChecked;
  const bool withCaption = (l.style & kPushLike) || !bitmap;
  std::string caption;
  RECT text = {};
  if (withCaption) {
    caption = Caption(l.w, false);
    text = PushTextRect(l, caption, UsableSlot(l.w, l.enabled ? kButtonBitmapNormal : kButtonBitmapDisabled));
  }
  if (bitmap) {
    const SIZE size = ctlpaint::BitmapSize(bitmap);
    const draw::Rect t = {text.left, text.top, text.right, text.bottom};
    const btn::Point p = btn::PushBitmapPos({l.client.right, l.client.bottom}, static_cast<unsigned>(l.style),
                                            {size.cx, size.cy}, withCaption ? &t : nullptr, shifted);
    ctlpaint::DrawBitmap(dc, bitmap, p.x, p.y, (l.style & kKeyedBitmaps) != 0);
  }
  if (withCaption) {
    SetBkMode(dc, TRANSPARENT);
    UINT flags = HorizontalFlags(l.style) | DT_WORDBREAK;
    if (l.style & btn::kPlaceTop) flags |= DT_TOP;
    if (l.style & btn::kPlaceMiddle) flags |= DT_VCENTER;
    const RECT r = l.pushed ? Offset(text, 1) : text;
    const COLORREF colour = GetStyleTextColour(l.w, kStyleButtons);
    if (GetStyleEmbossed(l.w, kStyleButtons)) {
      DrawCaption(dc, caption, Offset(r, 1), flags, l.enabled ? style::ContrastColour(colour) : GetSysColor(COLOR_BTNFACE));
    }
    DrawCaption(dc, caption, r, flags, l.enabled ? colour : Shadow());
  }
  if (GetStyleRelief(l.w, kStyleButtons) || wb::HoverFlag::Get(l.w) == 1) Relief(dc, l.client, rounded, l.pushed);
}

void PaintPushLike(const Look& l) {
  HDC dc = l.dc;
  const bool look = l.checked || l.pushed;
  HBITMAP normal = UsableSlot(l.w, kButtonBitmapNormal);
  HBITMAP hover = UsableSlot(l.w, kButtonBitmapHover);
  HBITMAP bitmap = nullptr;
  bool hoverShown = false;
  if (!l.enabled) {
    bitmap = UsableSlot(l.w, kButtonBitmapDisabled);
  } else if (l.checked) {
    bitmap = UsableSlot(l.w, kButtonBitmapChecked);
  } else if (hover && CursorOver(l.w)) {
    bitmap = hover;
    hoverShown = true;
  }
  if (!bitmap) bitmap = normal;

  const int kind = GetStyleKind(l.w, kStyleButtons);
  const bool parentFace = GetStyleTransparent(l.w, kStyleButtons) || (l.style & kKeyedBitmaps);
  if (parentFace) {
    PaintParentBackground(l.w, dc);
  } else if (kind == kKindVerticalGradient || kind == kKindHorizontalGradient) {
    fill_rect_gradient(dc, &l.client, GetStyleFirstColour(l.w, kStyleButtons), GetStyleSecondColour(l.w, kStyleButtons),
                       kind == kKindVerticalGradient);
  } else {
    FillFace(dc, l.client);
  }
  if (bitmap) {
    const SIZE size = ctlpaint::BitmapSize(bitmap);
    int x = (l.client.right - size.cx) / 2, y = (l.client.bottom - size.cy) / 2;
    if (look && !UsableSlot(l.w, kButtonBitmapChecked) && wb::BorderFlag::Get(l.w)) ++x, ++y;
    ctlpaint::DrawBitmap(dc, bitmap, x, y, (l.style & kKeyedBitmaps) != 0);
  } else {
    FrameRect(dc, &l.client, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  }
  if (GetStyleRelief(l.w, kStyleButtons) || wb::HoverFlag::Get(l.w) == 1 || (l.checked && !hoverShown)) {
    Relief(dc, l.client, GetStyleRounded(l.w, kStyleButtons) != 0, look);
  }
}

// The indicator box of a check box or radio, and the text area beside it.
void BoxLayout(const Look& l, RECT* box, RECT* text) {
  const int side = std::max(GetSystemMetrics(SM_CXHSCROLL), kBoxMinSide);
  const int top = (l.client.bottom - side) / 2;
  if (l.style & kBoxRight) {
    *box = {l.client.right - side, top, l.client.right, top + side};
    *text = {0, 0, l.client.right - side, l.client.bottom};
  } else {
    *box = {0, top, side, top + side};
    *text = {side, 0, l.client.right, l.client.bottom};
  }
}

void PaintCheckMark(HDC dc, const RECT& box, bool rounded, bool enabled) {
  const int side = std::max(12, static_cast<int>(box.right - box.left) - 8);
  const int x0 = (box.left + box.right - side) / 2, y0 = (box.top + box.bottom - side) / 2;
  if (rounded) {
    // Six parallel strokes of a tick, dark to light.
    const COLORREF dark = enabled ? RGB(0, 0, 0) : Shadow();
    const COLORREF pens[6] = {dark, dark, Shadow(), Shadow(), GetSysColor(COLOR_BTNFACE), RGB(255, 255, 255)};
    for (int i = 0; i < 6; ++i) {
      const int d = i - 3;
      ctlpaint::Line(dc, x0 + 1, y0 + side / 2 + d, x0 + side / 3, y0 + side - 3 + d, pens[i]);
      ctlpaint::Line(dc, x0 + side / 3, y0 + side - 3 + d, x0 + side, y0 + 1 + d, pens[i]);
    }
  } else {
    ctlpaint::Line(dc, x0 + 1, y0 + 1, x0 + side, y0 + side, RGB(255, 255, 255));
    ctlpaint::Line(dc, x0 + 1, y0 + side - 1, x0 + side, y0, RGB(255, 255, 255));
    ctlpaint::Line(dc, x0, y0, x0 + side - 1, y0 + side - 1, RGB(0, 0, 0));
    ctlpaint::Line(dc, x0, y0 + side - 2, x0 + side - 1, y0 - 1, RGB(0, 0, 0));
  }
}

void PaintIndicator(const Look& l, const RECT& box, bool rounded) {
  HDC dc = l.dc;
  HBITMAP bitmap = UsableSlot(l.w, l.checked ? kButtonBitmapChecked : kButtonBitmapNormal);
  if (bitmap) {
    const SIZE size = ctlpaint::BitmapSize(bitmap);
    ctlpaint::DrawBitmap(dc, bitmap, (box.left + box.right - size.cx) / 2, (box.top + box.bottom - size.cy) / 2, true);
    return;
  }
  {
    gdi::SavedDC saved(dc);
    gdi::Owned<HRGN> clip(rounded ? CreateRoundRectRgn(box.left, box.top, box.right + 1, box.bottom + 1, 20, 20)
                                  : CreateRectRgnIndirect(&box));
    POINT origin;
    GetWindowOrgEx(dc, &origin);
    OffsetRgn(clip.get(), -origin.x, -origin.y);
    ExtSelectClipRgn(dc, clip.get(), RGN_AND);
    const int bits = GetDeviceCaps(dc, BITSPIXEL);
    if (GetStyleKind(l.w, kStyleButtons) == kKindTexture || (l.style & kKeyedBitmaps)) {
      HGLOBAL texture = GetStyleTexture(l.w, kStyleButtons);
      if (GetStyleTransparent(l.w, kStyleButtons) || IsNoHandle(texture)) {
        PaintParentBackground(l.w, dc);
      } else {
        DrawDibTiled(dc, texture, &box);
      }
    } else if (bits <= 8) {
      FillFace(dc, box);
    } else {
      COLORREF from = l.enabled ? 0xF3FDFF : 0xDFE9EB, to = l.enabled ? 0xB7C1C3 : 0xCBD5D7;
      if (l.checked && !rounded) std::swap(from, to);
      fill_rect_gradient(dc, &box, from, to, 0);
    }
  }
  if (rounded) {
    const COLORREF outerLight = l.enabled ? 0xFFFFFF : 0xF0F0F0, outerDark = l.enabled ? 0x646464 : 0xB4B4B4;
    DrawRoundFrame3D(dc, &box, 16, outerDark, outerLight);
    const RECT inner = {box.left + 1, box.top + 1, box.right - 1, box.bottom - 1};
    COLORREF innerTopLeft, innerBottomRight;
    if (!l.enabled) {
      innerTopLeft = 0xB4B4B4;
      innerBottomRight = l.checked ? 0xB4B4B4 : 0xF0F0F0;
    } else if (l.checked) {
      innerTopLeft = 0xC0C0C0;
      innerBottomRight = 0x808080;
    } else {
      innerTopLeft = 0x646464;
      innerBottomRight = 0xFFFFFF;
    }
    DrawRoundFrame3D(dc, &inner, kRoundCorner, innerBottomRight, innerTopLeft);
  } else {
    ctlpaint::Frame3D(dc, box, Shadow(), Highlight());
  }
  if (l.checked) PaintCheckMark(dc, box, rounded, l.enabled);
}

void PaintBox(const Look& l) {
  HDC dc = l.dc;
  RECT box, textArea;
  BoxLayout(l, &box, &textArea);
  const bool rounded = GetStyleRounded(l.w, kStyleButtons) && l.client.right >= 16 && l.client.bottom >= 16;
  const bool transparentLook = (l.style & kTransparentLook) != 0;
  if (transparentLook) {
    PaintParentBackground(l.w, dc);
  } else {
    FillRect(dc, &l.client, GetSysColorBrush(COLOR_BTNFACE));
    if (l.enabled) {
      FrameRect(dc, &textArea, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
      const RECT inner = {textArea.left + 1, textArea.top + 1, textArea.right - 1, textArea.bottom - 1};
      ctlpaint::Frame3D(dc, inner, Highlight(), Shadow());
    }
  }
  {
    gdi::Select font(dc, FontFor(l.w, kStyleBackground));
    const std::string caption = Caption(l.w, false);
    RECT r = textArea;
    InflateRect(&r, -3, -3);
    UINT flags = HorizontalFlags(l.style) | DT_WORDBREAK;
    flags |= (l.style & btn::kPlaceTop) ? DT_TOP : (l.style & btn::kPlaceMiddle) ? (DT_VCENTER | DT_SINGLELINE) : (DT_BOTTOM | DT_SINGLELINE);
    SetBkMode(dc, TRANSPARENT);
    const COLORREF colour = GetStyleTextColour(l.w, kStyleBackground);
    if (transparentLook && l.pushed) DrawCaption(dc, caption, Offset(r, 1), flags, style::ContrastColour(colour));
    DrawCaption(dc, caption, r, flags, l.enabled ? colour : Shadow());
  }
  PaintIndicator(l, box, rounded);
}

void PaintTab(const Look& l) {
  HDC dc = l.dc;
  HWND page = TabPage(l.w);
  if (page && GetStyleKind(page, kStyleButtons) == 0) {
    // Has the page load its style record, with nothing drawn.
    gdi::SavedDC saved(dc);
    IntersectClipRect(dc, 0, 0, 0, 0);
    SendMessageA(page, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  }
  if (!l.checked) {
    // Leave the neighbours' raised edges alone.
    HWND parent = GetParent(l.w);
    RECT me;
    GetWindowRect(l.w, &me);
    const int probeY = me.bottom - HIWORD(GetDialogBaseUnits());
    for (int x : {static_cast<int>(me.left) - 1, static_cast<int>(me.right)}) {
      POINT p = {x, probeY};
      ScreenToClient(parent, &p);
      HWND n = ChildWindowFromPointEx(parent, p, CWP_SKIPINVISIBLE);
      if (!n || n == parent || n == l.w || !IsKvButton(n)) continue;
      RECT nr;
      GetWindowRect(n, &nr);
      OffsetRect(&nr, -me.left, -me.top);
      ExcludeClipRect(dc, nr.left, nr.top, nr.right, nr.bottom);
    }
  }
  // The current tab of a page shows the page's background, the others the parent's.
  if (page && GetPropA(page, MAKEINTATOM(1)) == l.w) {
    RECT pr, me;
    GetWindowRect(page, &pr);
    GetWindowRect(l.w, &me);
    // Painters fill the page's client rectangle only, and the tab stands above it: the tab
    // takes the page's top rows, in the page's columns.
    POINT old;
    OffsetWindowOrgEx(dc, me.left - pr.left, 0, &old);
    const COLORREF oldText = SetTextColor(dc, kParentBackgroundMarker);
    SendMessageA(page, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SetTextColor(dc, oldText);
    SetWindowOrgEx(dc, old.x, old.y, nullptr);
  } else {
    PaintParentBackground(l.w, dc);
  }
  const RECT& c = l.client;
  const bool border = wb::BorderFlag::Get(l.w) != 0;
  const COLORREF inner = GetSysColor(COLOR_BTNFACE) == kGreyBC ? 0xE0E0E0 : GetSysColor(COLOR_BTNFACE);
  const COLORREF leftTop = border ? RGB(0, 0, 0) : Highlight();
  ctlpaint::Line(dc, 0, c.bottom - 1, 0, 1, leftTop);
  ctlpaint::Line(dc, 1, 0, c.right - 1, 0, leftTop);
  ctlpaint::Line(dc, 1, c.bottom - 1, 1, 1, inner);
  ctlpaint::Line(dc, 2, 1, c.right - 2, 1, inner);
  ctlpaint::Line(dc, c.right - 1, 1, c.right - 1, c.bottom, RGB(0, 0, 0));
  ctlpaint::Line(dc, c.right - 2, 1, c.right - 2, c.bottom, Shadow());
  if (!l.checked) {
    ctlpaint::Line(dc, c.left - 3, c.bottom - 2, c.right + 3, c.bottom - 2, Shadow());
    ctlpaint::Line(dc, c.left - 3, c.bottom - 1, c.right + 3, c.bottom - 1, Highlight());
  }
  if (l.state & 0x200) {
    ctlpaint::Line(dc, 2, 10, 10, 2, Highlight());
    ctlpaint::Line(dc, 3, 10, 10, 3, Shadow());
  }
  gdi::Select font(dc, FontFor(l.w, kStyleButtons));
  const std::string caption = Caption(l.w, true);
  RECT r = {c.left + 4, c.top + 2, c.right - 4, c.bottom};
  UINT flags = HorizontalFlags(l.style) | DT_WORDBREAK;
  flags |= (l.style & btn::kPlaceTop) ? DT_TOP : (l.style & btn::kPlaceMiddle) ? (DT_VCENTER | DT_SINGLELINE) : (DT_BOTTOM | DT_SINGLELINE);
  SetBkMode(dc, TRANSPARENT);
  const COLORREF colour = l.enabled ? GetStyleTextColour(l.w, kStyleButtons) : 0x808080;
  if (l.checked) {
    const COLORREF glow = colour == GetSysColor(COLOR_BTNTEXT) || style::ContrastColour(colour) == 0xFFFFFF ? 0x00FF00 : 0x004000;
    DrawCaption(dc, caption, Offset(r, 1), flags, glow);
  }
  DrawCaption(dc, caption, r, flags, colour);
  if (GetFocus() == l.w) DrawFocusRect(dc, &r);
}

void Paint(HWND w, HDC dc) {
  gdi::SavedDC saved(dc);
  const Look l = LookOf(w, dc);
  switch (FormOf(l.style)) {
    case Form::Push: PaintPush(l); break;
    case Form::PushLike: PaintPushLike(l); break;
    case Form::Tab: PaintTab(l); break;
    case Form::Box: PaintBox(l); break;
  }
}

// The focus rectangle's place for the blink.
bool FocusRect(HWND w, HDC dc, RECT* out) {
  const Look l = LookOf(w, dc);
  switch (FormOf(l.style)) {
    case Form::Tab: return false;
    case Form::PushLike:
      *out = l.client;
      InflateRect(out, -1, -1);
      return true;
    case Form::Box: {
      RECT box;
      BoxLayout(l, &box, out);
      return true;
    }
    case Form::Push: {
      HBITMAP bitmap = PushBitmap(l);
      if (!(l.style & kPushLike) && bitmap) {
        *out = l.client;
        InflateRect(out, -4, -4);
        return true;
      }
      gdi::Select font(dc, FontFor(w, kStyleButtons));
      const std::string caption = Caption(w, false);
      if (caption.empty()) {
        *out = l.client;
        InflateRect(out, -4, -4);
      } else {
        *out = PushTextRect(l, caption, UsableSlot(w, l.enabled ? kButtonBitmapNormal : kButtonBitmapDisabled));
      }
      return true;
    }
  }
  return false;
}

// ---- Messages ------------------------------------------------------------------------------

UINT_PTR BlinkTimer(HWND w) {
  const int id = GetDlgCtrlID(w);
  return id > 0 ? static_cast<UINT_PTR>(id) : 1;
}

void OnBlink(HWND w) {
  if (CursorOver(w)) return;
  gdi::WindowDC dc(w);
  RECT r;
  if (dc && FocusRect(w, dc.get(), &r)) DrawFocusRect(dc.get(), &r);
}

LRESULT OnNcCreate(HWND w, WPARAM wp, LPARAM lp) {
  const LONG style = StyleOf(w);
  wb::BorderFlag::Set(w, (style & WS_BORDER) ? 1 : 0);
  if (style & WS_BORDER) SetWindowLongA(w, GWL_STYLE, style & ~WS_BORDER);
  const LRESULT r = DefWindowProcA(w, WM_NCCREATE, wp, lp);
  if (r && FormOf(style) == Form::Tab) AlignTab(w, *reinterpret_cast<const CREATESTRUCTA*>(lp));
  return r;
}

void LoadDefaultRadioBitmap(HWND w, int kind, int id) {
  if (UsableSlot(w, kind) || !tamsel::applicationInstance) return;
  SetSlot(w, kind, LoadBitmapA(tamsel::applicationInstance, MAKEINTRESOURCEA(id)));
}

LRESULT OnCreate(HWND w) {
  if (liveButtons++ == 0 && !faceBrush) faceBrush = CreateFaceBrush();
  SetStateBits(w, 0, kChecked | kTracking | kHot);
  for (int k = 0; k < ctltext::kButtonSlots; ++k) SetSlot(w, k, nullptr);
  wb::Font::Set(w, GetStyleFont(w, kStyleButtons));

  char text[1025];
  ctlpaint::WindowText(w, text, sizeof text);
  const ctltext::ButtonText parsed = ctltext::ParseButtonText(text);
  HINSTANCE own = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(w, GWLP_HINSTANCE));
  for (int k = 0; k < ctltext::kButtonSlots; ++k) SetSlot(w, k, ctlpaint::LoadNamedBitmap(parsed.bitmaps[k], own));
  if (parsed.text != text) DefWindowProcA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(parsed.text.c_str()));

  LONG style = StyleOf(w);
  const Form form = FormOf(style);
  if (IsRadioType(TypeOf(style)) && form == Form::Box) {
    LoadDefaultRadioBitmap(w, kButtonBitmapNormal, 2046);
    LoadDefaultRadioBitmap(w, kButtonBitmapChecked, 2047);
    if (!(style & kPushLike)) SetWindowLongA(w, GWL_STYLE, style | kKeyedBitmaps);
  }
  if (TypeOf(style) == BS_DEFPUSHBUTTON) SetStateBits(w, kDefault, 0);
  return 0;
}

void OnDestroy(HWND w) {
  KillTimer(w, BlinkTimer(w));
  for (int k = 0; k < ctltext::kButtonSlots; ++k) {
    HBITMAP b = SetSlot(w, k, nullptr);
    // One handle set into two slots is deleted once: the last slot holding it does it.
    if (b && !HeldInAnotherSlot(w, k, b)) DeleteObject(b);
  }
  if (liveButtons > 0 && --liveButtons == 0 && faceBrush) {
    DeleteObject(faceBrush);
    faceBrush = nullptr;
  }
  if (IsTabButton(w)) {
    HWND parent = GetParent(w);
    HWND page = TabPage(w);
    const int id = GetDlgCtrlID(w);
    if (parent && id > 0 && id <= 0xFFFF) RemovePropA(parent, MAKEINTATOM(id));
    if (page && GetPropA(page, MAKEINTATOM(1)) == w) RemovePropA(page, MAKEINTATOM(1));
  }
  if (focusReturn && !IsWindow(focusReturn)) focusReturn = nullptr;
}

LRESULT OnGetDlgCode(HWND w) {
  const int type = TypeOf(StyleOf(w));
  if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
    return (State(w) & kDefault) ? DLGC_DEFPUSHBUTTON | DLGC_BUTTON : DLGC_UNDEFPUSHBUTTON | DLGC_BUTTON;
  }
  if (IsRadioType(type)) return DLGC_BUTTON | DLGC_RADIOBUTTON | DLGC_WANTALLKEYS | DLGC_WANTTAB;
  return DLGC_WANTTAB | DLGC_BUTTON;
}

bool InsideClient(HWND w, LPARAM lp) {
  RECT r;
  GetClientRect(w, &r);
  const POINT p = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
  return PtInRect(&r, p) != FALSE;
}

void OnButtonDown(HWND w) {
  SetStateBits(w, kHot | kTracking, 0);
  SetFocus(w);
  SetCapture(w);
  Redraw(w);
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

void OnMouseMove(HWND w, LPARAM lp) {
  const int state = State(w);
  if (!(state & kTracking)) return;
  const int hot = InsideClient(w, lp) ? kHot : 0;
  if ((state & kHot) == hot) return;
  SetStateBits(w, hot, kHot);
  Redraw(w);
}

void OnButtonUp(HWND w, LPARAM lp) {
  const int state = State(w);
  SetStateBits(w, 0, kHot);
  if (!(state & kTracking)) return;
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  SetStateBits(w, 0, kSpaceBits | kTracking);
  ReleaseCapture();
  if (InsideClient(w, lp)) {
    ClickCheck(w);
    Redraw(w);
    Notify(w);
    return;
  }
  Redraw(w);
  HWND back = focusReturn;
  focusReturn = nullptr;
  if (back && IsWindow(back)) SetFocus(back);
}

bool OnKeyDown(HWND w, WPARAM key) {
  const LONG style = StyleOf(w);
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  switch (key) {
    case VK_TAB:
      MoveFocus(w, shift);
      return true;
    case VK_SPACE:
      if (!(State(w) & (0x04 | 0x08))) {
        SetStateBits(w, kSpaceDown, 0);
        Redraw(w);
      }
      return true;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: {
      const bool previous = key == VK_LEFT || key == VK_UP;
      if (FormOf(style) == Form::Tab) {
        if (key == VK_UP || key == VK_DOWN) MoveFocus(w, previous);
      } else if (TypeOf(style) == BS_AUTORADIOBUTTON) {
        MoveInGroup(w, previous);
      } else {
        MoveFocus(w, previous);
      }
      return true;
    }
    default:
      PostMessageA(GetParent(w), WM_KEYDOWN, key, 0);
      return true;
  }
}

void OnSpaceUp(HWND w) {
  if (!(State(w) & kSpaceDown)) return;
  SetStateBits(w, 0, kSpaceBits);
  ClickCheck(w);
  Redraw(w);
  Notify(w);
}

void OnPrivateClick(HWND w, WPARAM wp) {
  const int type = TypeOf(StyleOf(w));
  if (type == BS_AUTORADIOBUTTON && !Checked(w)) {
    SelectInGroup(w, wp);
  } else if (type == BS_AUTOCHECKBOX) {
    SendMessageA(w, BM_SETCHECK, Checked(w) ? BST_UNCHECKED : BST_CHECKED, 0);
  }
  Notify(w);
}

void OnHover(HWND w, bool enter) {
  const bool hasHover = UsableSlot(w, kButtonBitmapHover) != nullptr;
  if (GetStyleRelief(w, kStyleButtons) && !hasHover) return;
  wb::HoverFlag::Set(w, enter ? 1 : 0);
  if (hasHover) SetStateBits(w, enter ? kHot : 0, enter ? 0 : kHot);
  Redraw(w);
}

}  // namespace

namespace tamsel {
int LiveButtonCount() { return liveButtons; }
bool ButtonFaceBrushExists() { return faceBrush != nullptr; }
HBRUSH ButtonFaceBrush() { return FaceBrush(); }
}  // namespace tamsel

int WINAPI SetButtonBitmap(HWND button, HBITMAP bitmap, int kind) {
  if (!IsKvButton(button)) return 0;
  kind = static_cast<int>(static_cast<WORD>(kind));
  if (kind < kButtonBitmapDisabled || kind > kButtonBitmapHover) kind = kButtonBitmapNormal;
  if (bitmap && GetObjectType(bitmap) == 0) bitmap = nullptr;
  HBITMAP old = SetSlot(button, kind, bitmap);
  if (old && old != bitmap && !HeldInAnotherSlot(button, kind, old)) DeleteObject(old);
  return 1;
}

LRESULT CALLBACK ButtonWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  const bool enabled = IsWindowEnabled(w) != FALSE;
  switch (m) {
    case WM_NCCREATE: return OnNcCreate(w, wp, lp);
    case WM_CREATE: return OnCreate(w);
    case WM_DESTROY: OnDestroy(w); return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      if (HDC dc = BeginPaint(w, &ps)) Paint(w, dc);
      EndPaint(w, &ps);
      return 0;
    }
    case WM_PRINTCLIENT: Paint(w, reinterpret_cast<HDC>(wp)); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_GETDLGCODE: return OnGetDlgCode(w);
    case BM_GETCHECK: return Checked(w) ? BST_CHECKED : BST_UNCHECKED;
    case BM_SETCHECK: return OnSetCheck(w, wp);
    case BM_GETSTATE: return Checked(w) ? 1 : 0;
    case BM_SETSTATE: {
      const int bit = wp ? kSpaceDown : 0;
      if ((State(w) & kSpaceDown) != bit) {
        SetStateBits(w, bit, kSpaceDown);
        Redraw(w);
      }
      return 0;
    }
    case BM_SETSTYLE: {
      const int bit = wp == BS_DEFPUSHBUTTON ? kDefault : 0;
      const bool changed = (State(w) & kDefault) != bit;
      SetStateBits(w, bit, kDefault);
      if (changed && lp) Redraw(w);
      return 0;
    }
    // The dialog manager's mnemonic: a click as the mouse would make it.
    case BM_CLICK:
      if (!enabled) return 0;
      SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, 0);
      SendMessageA(w, WM_LBUTTONUP, 0, 0);
      return 0;
    case WM_SETFONT:
      wb::Font::Set(w, reinterpret_cast<HFONT>(wp));
      if (lp) Redraw(w);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(wb::Font::Get(w));
    case WM_SETFOCUS:
      focusReturn = reinterpret_cast<HWND>(wp);
      Redraw(w);
      SetTimer(w, BlinkTimer(w), GetCaretBlinkTime(), nullptr);
      return 0;
    case WM_KILLFOCUS:
      KillTimer(w, BlinkTimer(w));
      SetStateBits(w, 0, kSpaceBits | kHot);
      Redraw(w);
      return 0;
    case WM_TIMER:
      if (wp == BlinkTimer(w)) OnBlink(w);
      return 0;
    case WM_ENABLE:
    case WM_SETTEXT: {
      const LRESULT r = DefWindowProcA(w, m, wp, lp);
      Redraw(w);
      return r;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (enabled) OnButtonDown(w);
      return 0;
    case WM_MOUSEMOVE: OnMouseMove(w, lp); return 0;
    case WM_LBUTTONUP: OnButtonUp(w, lp); return 0;
    case WM_CAPTURECHANGED:
      // Capture taken away mid-press (a menu, a modal window): no click comes.
      if (reinterpret_cast<HWND>(lp) != w && (State(w) & kTracking)) {
        SetStateBits(w, 0, kTracking | kHot);
        Redraw(w);
      }
      return 0;
    case WM_RBUTTONDOWN: {
      POINT p = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
      HWND parent = GetParent(w);
      MapWindowPoints(w, parent, &p, 1);
      SendMessageA(parent, WM_PARENTNOTIFY, WM_RBUTTONDOWN, MAKELPARAM(p.x, p.y));
      return 0;
    }
    case WM_KEYDOWN:
      if (enabled) OnKeyDown(w, wp);
      return 0;
    case WM_KEYUP:
      if (enabled && wp == VK_SPACE) OnSpaceUp(w);
      return 0;
    case WM_SYSKEYDOWN: return enabled ? DefWindowProcA(w, m, wp, lp) : 0;
    // From the program: they work on disabled buttons too, as BM_SETCHECK does.
    case BTM_CLICK:
    case BTM_CLICK2:
      OnPrivateClick(w, wp);
      return 0;
    case KCM_MOUSEENTER:
    case KCM_MOUSELEAVE: OnHover(w, m == KCM_MOUSEENTER); return 0;
    default: return DefWindowProcA(w, m, wp, lp);
  }
}
