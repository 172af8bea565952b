// "STATIQUE": labels, pictures from "BMP:" and "ICO:" texts, 3D lines, frames and group boxes,
// drawn over the parent's background. One painter per form; WM_PAINT and WM_PRINTCLIENT share
// them. It never keeps the focus: the focus passes on to the next control that takes it.
// Not done here: SS_NOTIFY notifications, STM_SETIMAGE, owner-drawn statics.
#include "controls/widgets/static.h"

#include <string>
#include <utility>

#include "controls/core/classes.h"
#include "controls/core/style_line.h"
#include "controls/core/style_record.h"
#include "controls/core/window_data.h"
#include "controls/widgets/control_paint.h"
#include "controls/widgets/control_text.h"
#include "controls/widgets/drawing.h"
#include "winkit/bitmaps.h"
#include "winkit/gdi_guard.h"

namespace {

namespace ws = wdata::statique;

// Style bits.
constexpr LONG kCentre = 0x001;
constexpr LONG kRight = 0x002;
constexpr LONG kMiddle = 0x004;
constexpr LONG kBottom = 0x008;
constexpr LONG kRaised = 0x010;
constexpr LONG kSunken = 0x020;
constexpr LONG kText = 0x040;
constexpr LONG kVertical = 0x080;
constexpr LONG kGroup = 0x100;
constexpr LONG kEmbossed = 0x200;
constexpr LONG kKeyed = 0x400;
constexpr LONG kStretched = 0x800;

// Posted to itself when the focus arrives: passes it on unless it has moved already.
constexpr UINT kPassFocus = WM_USER + 0x100;
constexpr int kMaxTabWalk = 64;

enum class Form { Line, Text, Group };

LONG StyleOf(HWND w) { return GetWindowLongA(w, GWL_STYLE); }
Form FormOf(LONG style) {
  if (style & kGroup) return Form::Group;
  return (style & kText) ? Form::Text : Form::Line;
}

bool IsStatique(HWND w) {
  char name[16] = {};
  return w && GetClassNameA(w, name, sizeof name) && lstrcmpiA(name, "STATIQUE") == 0;
}

HWND DialogOf(HWND w) {
  HWND parent = GetParent(w);
  return IsStatique(parent) ? GetParent(parent) : parent;
}

std::string ShownText(HWND w) {
  char text[1025];
  ctlpaint::WindowText(w, text, sizeof text);
  return ctltext::StaticCaption(text);
}

COLORREF TextColour(HWND w) {
  const COLORREF stored = ws::TextColour::Get(w);
  return stored == GetSysColor(COLOR_WINDOWTEXT) ? GetStyleTextColour(w, kStyleBackground) : stored;
}

HFONT FontOf(HWND w) {
  HFONT f = ws::Font::Get(w);
  return f ? f : GetStyleFont(w, kStyleBackground);
}

UINT TextFlags(LONG style) {
  UINT flags = DT_WORDBREAK | DT_EXPANDTABS;
  flags |= (style & kCentre) ? DT_CENTER : (style & kRight) ? DT_RIGHT : DT_LEFT;
  if (style & kMiddle) {
    flags |= DT_VCENTER | DT_SINGLELINE;
  } else if (style & kBottom) {
    flags |= DT_BOTTOM | DT_SINGLELINE;
  }
  return flags;
}

void DrawLabel(HWND w, HDC dc, const std::string& text, RECT r, UINT flags, LONG style) {
  SetBkMode(dc, TRANSPARENT);
  const COLORREF colour = TextColour(w);
  auto draw = [&](const RECT& at, COLORREF c) {
    RECT copy = at;
    SetTextColor(dc, c);
    DrawTextA(dc, text.c_str(), -1, &copy, flags);
  };
  if (!IsWindowEnabled(w)) {
    draw(r, ws::ShadowColour::Get(w));
    return;
  }
  if (style & kEmbossed) {
    const COLORREF emboss = ws::EmbossColour::Get(w);
    RECT shifted = r;
    OffsetRect(&shifted, 1, 1);
    draw(shifted, emboss == 0xFFFFFF ? style::ContrastColour(colour) : emboss);
  }
  draw(r, colour);
}

void PaintBackground(HWND w, HDC dc, const RECT& client) {
  const COLORREF bk = ws::BkColour::Get(w);
  if (bk == GetSysColor(COLOR_BTNFACE)) {
    PaintParentBackground(w, dc);
  } else {
    ctlpaint::FillSolid(dc, client, bk);
  }
}

void PaintLine(HWND w, HDC dc, const RECT& c, LONG style) {
  COLORREF first = ws::HighlightColour::Get(w), second = ws::ShadowColour::Get(w);
  if (style & kSunken) std::swap(first, second);
  if (style & kVertical) {
    ctlpaint::FillSolid(dc, RECT{0, 0, 1, c.bottom}, first);
    ctlpaint::FillSolid(dc, RECT{1, 0, 2, c.bottom}, second);
  } else {
    ctlpaint::FillSolid(dc, RECT{0, 0, c.right, 1}, first);
    ctlpaint::FillSolid(dc, RECT{0, 1, c.right, 2}, second);
  }
}

// Where the picture goes inside the client area inset by 2, and what is left for the text.
void PlacePicture(const RECT& c, LONG style, SIZE size, RECT* picture, RECT* text) {
  const RECT in = {c.left + 2, c.top + 2, c.right - 2, c.bottom - 2};
  int x = in.left, y = in.top;
  if (style & kCentre) x = (in.left + in.right - size.cx) / 2;
  else if (style & kRight) x = in.right - size.cx;
  if (style & kMiddle) y = (in.top + in.bottom - size.cy) / 2;
  else if (style & kBottom) y = in.bottom - size.cy;
  *picture = {x, y, x + size.cx, y + size.cy};
  *text = c;
  if (style & kCentre) text->top = picture->bottom + 2;
  else if (style & kRight) text->right = picture->left - 2;
  else text->left = picture->right + 2;
}

// Draws the picture, if any, and returns the rectangle left for the text.
RECT PaintPicture(HWND w, HDC dc, const RECT& c, LONG style) {
  HBITMAP bitmap = ws::Bitmap::Get(w);
  HICON icon = ws::Icon::Get(w);
  const bool hasBitmap = ctlpaint::IsBitmap(bitmap);
  if (!hasBitmap && !icon) return c;
  const SIZE size = hasBitmap ? ctlpaint::BitmapSize(bitmap) : SIZE{GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
  RECT picture, text;
  PlacePicture(c, style, size, &picture, &text);
  if (!hasBitmap) {
    DrawIcon(dc, picture.left, picture.top, icon);
    return text;
  }
  if (style & kKeyed) {
    const COLORREF key = ctlpaint::TopLeftColour(bitmap);
    if (style & kStretched) {
      DrawTransparentBitmapStretched(dc, bitmap, &c, key);
      return c;
    }
    KvDrawTransparentBitmap(dc, bitmap, picture.left, picture.top, key);
    return text;
  }
  if (style & kStretched) {
    gdi::MemoryDC memory(dc);
    if (memory) {
      gdi::Select selected(memory.get(), bitmap);
      const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
      StretchBlt(dc, 0, 0, c.right, c.bottom, memory.get(), 0, 0, size.cx, size.cy, SRCCOPY);
      SetStretchBltMode(dc, oldMode);
    }
    return c;
  }
  winkit::DrawBitmapAt(dc, bitmap, picture.left, picture.top);
  return text;
}

void PaintText(HWND w, HDC dc, const RECT& c, LONG style) {
  RECT text = c;
  if (style & (kRaised | kSunken)) {
    const COLORREF light = ws::HighlightColour::Get(w), dark = ws::ShadowColour::Get(w);
    const bool sunken = (style & kSunken) != 0;
    const COLORREF topLeft = sunken ? dark : light, bottomRight = sunken ? light : dark;
    if (GetStyleRounded(w, kStyleBackground)) {
      DrawRoundFrame3D(dc, &c, 12, bottomRight, topLeft);
    } else {
      ctlpaint::Frame3D(dc, c, topLeft, bottomRight);
    }
    InflateRect(&text, -3, -2);
  }
  text = PaintPicture(w, dc, text, style);
  gdi::Select font(dc, FontOf(w));
  DrawLabel(w, dc, ShownText(w), text, TextFlags(style), style);
}

void PaintGroup(HWND w, HDC dc, const RECT& c, LONG style) {
  gdi::Select font(dc, FontOf(w));
  TEXTMETRICA tm = {};
  GetTextMetricsA(dc, &tm);
  const int line = tm.tmHeight + tm.tmExternalLeading;
  const std::string caption = ShownText(w);
  SIZE extent = {0, 0};
  if (!caption.empty()) GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);

  RECT frame = c;
  RECT band = c;  // the caption's line
  bool gap = true;
  if (style & kMiddle) {
    gap = false;
    band.top = (c.bottom - line) / 2;
    band.bottom = band.top + line;
  } else if (style & kBottom) {
    frame.bottom = c.bottom - line / 2;
    band.top = c.bottom - line;
  } else {
    frame.top = line / 2;
    band.bottom = line;
  }
  // A caption set later leaves none of the old one behind.
  {
    gdi::SavedDC saved(dc);
    IntersectClipRect(dc, band.left, band.top, band.right, band.bottom);
    PaintParentBackground(w, dc);
  }

  int captionX = frame.left + 10, gapLeft = frame.left + 6, gapRight = frame.left + 16 + extent.cx;
  if (style & kCentre) {
    captionX = (frame.left + frame.right - extent.cx) / 2;
    gapLeft = captionX - 10;
    gapRight = captionX + extent.cx + 10;
  } else if (style & kRight) {
    captionX = frame.right - 10 - extent.cx;
    gapLeft = frame.right - 16 - extent.cx;
    gapRight = frame.right - 6;
  }

  const COLORREF light = ws::HighlightColour::Get(w), dark = ws::ShadowColour::Get(w);
  {
    gdi::SavedDC saved(dc);
    if (gap && !caption.empty()) {
      const int lineY = (style & kBottom) ? frame.bottom - 2 : frame.top;
      ExcludeClipRect(dc, gapLeft, lineY, gapRight, lineY + 2);
    }
    const RECT inner = {frame.left + 1, frame.top + 1, frame.right - 1, frame.bottom - 1};
    if (GetStyleRounded(w, kStyleBackground)) {
      constexpr int kCut = 8;
      // Straight edges between the cut corners, then the rounded corners.
      for (const RECT& r : {frame, inner}) {
        const bool outer = r.left == frame.left;
        const COLORREF tl = outer ? dark : light, br = outer ? light : dark;
        ctlpaint::FillSolid(dc, RECT{r.left + kCut, r.top, r.right - kCut, r.top + 1}, tl);
        ctlpaint::FillSolid(dc, RECT{r.left, r.top + kCut, r.left + 1, r.bottom - kCut}, tl);
        ctlpaint::FillSolid(dc, RECT{r.left + kCut, r.bottom - 1, r.right - kCut, r.bottom}, br);
        ctlpaint::FillSolid(dc, RECT{r.right - 1, r.top + kCut, r.right, r.bottom - kCut}, br);
      }
      DrawRoundCorners3D(dc, &frame, 2 * kCut, light, dark);
      DrawRoundCorners3D(dc, &inner, 2 * kCut, dark, light);
    } else {
      ctlpaint::Frame3D(dc, frame, dark, light);
      ctlpaint::Frame3D(dc, inner, light, dark);
    }
  }
  if (caption.empty()) return;
  RECT text = {captionX, band.top, captionX + extent.cx + 1, band.bottom};
  DrawLabel(w, dc, caption, text, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS, style);
}

void Paint(HWND w, HDC dc) {
  gdi::SavedDC saved(dc);
  const LONG style = StyleOf(w);
  RECT c;
  GetClientRect(w, &c);
  const Form form = FormOf(style);
  if (form != Form::Group) PaintBackground(w, dc, c);
  switch (form) {
    case Form::Line: PaintLine(w, dc, c, style); break;
    case Form::Text: PaintText(w, dc, c, style); break;
    case Form::Group: PaintGroup(w, dc, c, style); break;
  }
}

// ---- Messages ------------------------------------------------------------------------------

LRESULT OnCreate(HWND w, const CREATESTRUCTA& cs) {
  ws::BkColour::Set(w, GetSysColor(COLOR_BTNFACE));
  ws::HighlightColour::Set(w, GetSysColor(COLOR_BTNHIGHLIGHT));
  ws::ShadowColour::Set(w, GetSysColor(COLOR_BTNSHADOW));
  ws::TextColour::Set(w, GetStyleTextColour(w, kStyleBackground));
  ws::EmbossColour::Set(w, GetSysColor(COLOR_WINDOW));

  char text[1025];
  ctlpaint::WindowText(w, text, sizeof text);
  const ctltext::StaticText parsed = ctltext::ParseStaticText(text);
  HINSTANCE own = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(w, GWLP_HINSTANCE));
  ws::Bitmap::Set(w, ctlpaint::LoadNamedBitmap(parsed.bitmap, own));
  ws::Icon::Set(w, ctlpaint::LoadNamedIcon(parsed.icon, own));
  if (parsed.text != text) DefWindowProcA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(parsed.text.c_str()));

  const LONG style = cs.style;
  if (style & kGroup) {
    SetWindowLongA(w, GWL_EXSTYLE, GetWindowLongA(w, GWL_EXSTYLE) | WS_EX_TRANSPARENT);
  } else if (!(style & kText)) {
    const bool vertical = (style & kVertical) != 0;
    SetWindowPos(w, nullptr, 0, 0, vertical ? 2 : cs.cx, vertical ? cs.cy : 2, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return 0;
}

void OnDestroy(HWND w) {
  if (HBITMAP b = ws::Bitmap::Set(w, nullptr)) DeleteObject(b);
  ws::Icon::Set(w, nullptr);  // shared icons from LoadIcon are not destroyed
}

// The next control in the direction that takes the focus: statics are passed over, and when
// there is none the focus stays (two statics alone would otherwise pass it back and forth).
void PassFocus(HWND w, bool previous) {
  if (GetFocus() != w) return;
  HWND dialog = DialogOf(w);
  HWND h = w;
  for (int i = 0; i < kMaxTabWalk; ++i) {
    h = GetNextDlgTabItem(dialog, h, previous);
    if (!h || h == w) return;
    if (!IsStatique(h)) {
      SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(h), TRUE);
      return;
    }
  }
}

void OnKeyDown(HWND w, WPARAM key) {
  bool previous;
  switch (key) {
    case VK_TAB: previous = GetKeyState(VK_SHIFT) < 0; break;
    case VK_LEFT:
    case VK_UP: previous = true; break;
    case VK_RIGHT:
    case VK_DOWN: previous = false; break;
    default: return;
  }
  PostMessageA(DialogOf(w), WM_NEXTDLGCTL, previous ? 1 : 0, 0);
}

bool SetColour(HWND w, COLORREF colour, bool text) {
  if (!IsStatique(w)) return false;
  if (text) {
    ws::TextColour::Set(w, colour);
  } else {
    ws::BkColour::Set(w, colour);
  }
  return true;
}

// Builds the record of the list's dialog when it has a number but no record yet.
HWND ListDialog(HWND list) {
  HWND w = list;
  char name[16] = {};
  if (GetClassNameA(w, name, sizeof name) && lstrcmpiA(name, "LISTBOX") == 0) w = GetParent(w);
  if (GetStyleKind(list, kStyleLists) == 0 && w && GetPropA(w, PROP_DLG_TEXTURE) && !GetPropA(w, PROP_DLG_STYLE)) {
    LoadDialogStyle(w, static_cast<int>(reinterpret_cast<INT_PTR>(GetPropA(w, PROP_DLG_TEXTURE))));
  }
  return w;
}

}  // namespace

int WINAPI SetBKStatColor(HWND control, COLORREF colour) {
  return SetColour(control, colour, false) ? InvalidateRect(control, nullptr, TRUE) : 0;
}

int WINAPI SetTexteStatColor(HWND control, COLORREF colour) {
  return SetColour(control, colour, true) ? InvalidateRect(control, nullptr, TRUE) : 0;
}

COLORREF WINAPI GetTextColorItemListBox(HWND list, COLORREF* text, COLORREF* contrast) {
  ListDialog(list);
  const COLORREF colour = GetStyleTextColour(list, kStyleLists);
  if (text) *text = colour;
  if (contrast) *contrast = style::ContrastColour(colour);
  return colour;
}

COLORREF WINAPI GetBkColorListBox(HWND list, COLORREF* first, COLORREF* second) {
  ListDialog(list);
  const COLORREF colour = GetStyleFirstColour(list, kStyleLists);
  if (first) *first = colour;
  if (second) *second = GetStyleSecondColour(list, kStyleLists);
  return colour;
}

LRESULT CALLBACK StatiqueWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_CREATE: return OnCreate(w, *reinterpret_cast<const CREATESTRUCTA*>(lp));
    case WM_DESTROY: OnDestroy(w); return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      if (HDC dc = BeginPaint(w, &ps)) Paint(w, dc);
      EndPaint(w, &ps);
      return 1;
    }
    case WM_PRINTCLIENT: Paint(w, reinterpret_cast<HDC>(wp)); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETTEXT: {
      const LRESULT r = DefWindowProcA(w, m, wp, lp);
      InvalidateRect(w, nullptr, TRUE);
      UpdateWindow(w);
      return r;
    }
    case WM_SETFONT:
      ws::Font::Set(w, reinterpret_cast<HFONT>(wp));
      if (lp) InvalidateRect(w, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(ws::Font::Get(w));
    case WM_ENABLE: InvalidateRect(w, nullptr, TRUE); return 0;
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_GETDLGCODE: return DLGC_STATIC;
    case WM_SETFOCUS: PostMessageA(w, kPassFocus, GetKeyState(VK_SHIFT) < 0 ? 1 : 0, 0); return 0;
    case kPassFocus: PassFocus(w, wp != 0); return 0;
    case WM_KEYDOWN: OnKeyDown(w, wp); return 0;
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP: return SendMessageA(GetParent(w), m, wp, lp);
    default: return DefWindowProcA(w, m, wp, lp);
  }
}
