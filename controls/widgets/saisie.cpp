// Input field "SAISIE": the single-line edit control of the suite's dialogs. The editing rules
// live in field_rules; this window turns messages into their operations, keeps the state in
// the window's extra bytes and text, and carries out the effects (notifications, clipboard,
// caret, painting).
// Not here: undo (EM_CANUNDO answers 0), multi-line text. Double and right clicks open or close
// the mini keyboard (mini_keyboard.*).
#include "controls/widgets/saisie.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "controls/core/classes.h"
#include "controls/core/locale_info.h"
#include "controls/core/style_line.h"
#include "controls/core/style_record.h"
#include "controls/core/window_data.h"
#include "controls/widgets/drawing.h"
#include "controls/widgets/field_rules.h"
#include "controls/widgets/mini_keyboard.h"
#include "winkit/gdi_guard.h"

namespace tamsel {

bool HasClass(HWND window, const char* name) {
  char cls[32] = {};
  return window && IsWindow(window) && GetClassNameA(window, cls, sizeof cls) > 0 && lstrcmpiA(cls, name) == 0;
}

bool IsSaisie(HWND window) { return HasClass(window, "SAISIE"); }

}  // namespace tamsel

namespace {

namespace wd = wdata::saisie;
using field::Effect;
using field::Operation;
using Kind = field::Operation::Kind;

constexpr COLORREF kDefaultFocusColour = 0xC0FFFF;
constexpr WORD kModified = 1, kInsert = 2;

// The text being edited, one per thread.
thread_local char scratch[field::kScratchBytes];

const field::Locale& UserLocale() {
  static const field::Locale locale = [] {
    field::Locale l;
    char buf[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDATE, buf, sizeof buf) > 1) l.dateSeparator = buf[0];
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buf, sizeof buf) > 1) l.decimalSeparator = buf[0];
    // English of the United States (ENU) and of Canada (ENC) write the month first.
    l.monthFirst = LocaleInfo().variantCode == 5 || LocaleInfo().variantCode == 1;
    for (int c = 1; c < 256; ++c) {
      char one[2] = {static_cast<char>(c), 0};
      CharUpperBuffA(one, 1);
      l.upper[c] = static_cast<unsigned char>(one[0]);
    }
    return l;
  }();
  return locale;
}

std::string MaskOf(HWND w) {
  const HGLOBAL block = wd::Mask::Get(w);
  if (!block) return {};
  const char* p = static_cast<const char*>(GlobalLock(block));
  if (!p) return {};
  const size_t n = strnlen(p, std::min<size_t>(GlobalSize(block), field::kMaxMask + 1));
  std::string mask(p, n <= field::kMaxMask ? n : 0);
  GlobalUnlock(block);
  return mask;
}

field::State Load(HWND w) {
  field::State s;
  const int n = GetWindowTextA(w, scratch, sizeof scratch);
  s.text.assign(scratch, n > 0 ? static_cast<size_t>(n) : 0);
  s.mask = MaskOf(w);
  s.style = static_cast<uint32_t>(GetWindowLongA(w, GWL_STYLE)) & 0xFFFF;
  s.limit = wd::Limit::Get(w);
  s.caret = wd::Caret::Get(w);
  s.noDateCheck = wd::NoDateCheck::Get(w) != 0;
  const WORD state = wd::State::Get(w);
  s.modified = state & kModified;
  s.insertMode = state & kInsert;
  s.mouseSelecting = wd::MouseSelecting::Get(w) != 0;
  s.framed = wd::Framed::Get(w) != 0;
  s.anchor = wd::SelectionAnchor::Get(w);
  s.end = wd::SelectionEnd::Get(w);
  s.focused = GetFocus() == w;
  const uint16_t len = static_cast<uint16_t>(s.text.size());
  s.caret = std::min(s.caret, len);
  s.anchor = std::min(s.anchor, len);
  s.end = std::min(s.end, len);
  return s;
}

void Save(HWND w, const field::State& s) {
  wd::Limit::Set(w, s.limit);
  wd::Caret::Set(w, s.caret);
  wd::NoDateCheck::Set(w, s.noDateCheck ? 1 : 0);
  wd::State::Set(w, static_cast<WORD>((s.modified ? kModified : 0) | (s.insertMode ? kInsert : 0)));
  wd::MouseSelecting::Set(w, s.mouseSelecting ? 1 : 0);
  wd::Framed::Set(w, s.framed ? 1 : 0);
  wd::SelectionAnchor::Set(w, s.anchor);
  wd::SelectionEnd::Set(w, s.end);
}

// Replaces the mask block; false when memory fails (the old block is gone all the same).
bool StoreMask(HWND w, const std::string& mask) {
  if (const HGLOBAL old = wd::Mask::Set(w, nullptr)) GlobalFree(old);
  if (mask.empty()) return true;
  const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, mask.size() + 1);
  if (!block) return false;
  if (char* p = static_cast<char*>(GlobalLock(block))) {
    std::memcpy(p, mask.c_str(), mask.size() + 1);
    GlobalUnlock(block);
  }
  wd::Mask::Set(w, block);
  return true;
}

HFONT FieldFont(HWND w) {
  if (const HFONT styleFont = GetStyleFont(w, kStyleInputs)) return styleFont;
  return wd::Font::Get(w);
}

void Notify(HWND w, WORD code) {
  if (const HWND parent = GetParent(w))
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(w), code), reinterpret_cast<LPARAM>(w));
}

// The dialog: the parent, or the parent's parent inside a combo box.
HWND DialogOf(HWND w) {
  HWND parent = GetParent(w);
  if (tamsel::HasClass(parent, "KVCOMBO") || tamsel::HasClass(parent, "COMBOBOX")) parent = GetParent(parent);
  return parent;
}

void PutOnClipboard(HWND w, const std::string& text) {
  if (!OpenClipboard(w)) return;
  EmptyClipboard();
  if (const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
    char* p = static_cast<char*>(GlobalLock(block));
    if (p) {
      std::memcpy(p, text.c_str(), text.size() + 1);
      GlobalUnlock(block);
    }
    if (!p || !SetClipboardData(CF_TEXT, block)) GlobalFree(block);
  }
  CloseClipboard();
}

// CF_TEXT read within its block, terminated or not; empty when there is none.
std::string ClipboardText(HWND w) {
  std::string text;
  if (!OpenClipboard(w)) return text;
  if (const HANDLE block = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(block))) {
      const size_t size = std::min<size_t>(GlobalSize(block), field::kMaxText);
      const void* zero = std::memchr(p, 0, size);
      text.assign(p, zero ? static_cast<size_t>(static_cast<const char*>(zero) - p) : size);
      GlobalUnlock(block);
    }
  }
  CloseClipboard();
  return text;
}

// Widths measured on the shown text: a password's caret tells nothing of its characters.
struct Metrics {
  int lineHeight = 0;
  int before = 0;   // width of the text before the caret
  int under = 0;    // width of the character under it
};

int TextWidth(HDC dc, const std::string& t, size_t n) {
  SIZE size = {};
  if (n == 0) return 0;
  GetTextExtentPoint32A(dc, t.c_str(), static_cast<int>(std::min(n, t.size())), &size);
  return size.cx;
}

Metrics Measure(HWND w, const std::string& shown, size_t caret) {
  Metrics m;
  gdi::WindowDC dc(w);
  if (!dc) return m;
  gdi::Select font(dc.get(), FieldFont(w));
  TEXTMETRICA tm = {};
  GetTextMetricsA(dc.get(), &tm);
  m.lineHeight = tm.tmHeight + tm.tmExternalLeading;
  m.before = TextWidth(dc.get(), shown, caret);
  m.under = caret < shown.size() ? TextWidth(dc.get(), shown.substr(caret, 1), 1) : tm.tmAveCharWidth;
  return m;
}

// The character position for a client x: the first whose text width + 2 reaches it.
unsigned PositionAt(HWND w, int x) {
  const std::string shown = field::DisplayText(Load(w));
  gdi::WindowDC dc(w);
  if (!dc) return 0;
  gdi::Select font(dc.get(), FieldFont(w));
  size_t i = 0;
  while (i < shown.size() && TextWidth(dc.get(), shown, i) + 2 < x) ++i;
  return static_cast<unsigned>(i);
}

void CreateFieldCaret(HWND w) {
  const field::State s = Load(w);
  const Metrics m = Measure(w, field::DisplayText(s), s.caret);
  CreateCaret(w, nullptr, 2, std::max(m.lineHeight, 1));
  ShowCaret(w);
}

// Insert mode: 2 pixels wide; overwrite: the character under the caret minus 2.
void PlaceCaret(HWND w) {
  if (GetFocus() != w) return;
  const field::State s = Load(w);
  const Metrics m = Measure(w, field::DisplayText(s), s.caret);
  const int width = s.insertMode ? 2 : std::max(m.under - 2, 2);
  RECT rc;
  GetClientRect(w, &rc);
  HideCaret(w);
  DestroyCaret();
  CreateCaret(w, nullptr, width, std::max(m.lineHeight, 1));
  SetCaretPos(m.before + 2, (rc.bottom - m.lineHeight) / 2);
  ShowCaret(w);
}

// Stores the state, then carries out the effects in their order.
void Carry(HWND w, const field::State& s, const field::Result& r) {
  Save(w, s);
  for (const Effect e : r.effects) {
    switch (e) {
      case Effect::Beep: MessageBeep(0); break;
      case Effect::StoreText: DefWindowProcA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(s.text.c_str())); break;
      case Effect::Update: Notify(w, EN_UPDATE); break;
      case Effect::Change: Notify(w, EN_CHANGE); break;
      case Effect::NextControl: PostMessageA(DialogOf(w), WM_NEXTDLGCTL, 0, 0); break;
      case Effect::PreviousControl: PostMessageA(DialogOf(w), WM_NEXTDLGCTL, 1, 0); break;
      case Effect::Clipboard: PutOnClipboard(w, r.clipboard); break;
      case Effect::Repaint: InvalidateRect(w, nullptr, FALSE); break;
      case Effect::PlaceCaret: PlaceCaret(w); break;
      case Effect::CaretCreate: CreateFieldCaret(w); break;
      case Effect::CaretDestroy: DestroyCaret(); break;
      case Effect::NotifySetFocus: Notify(w, EN_SETFOCUS); break;
      case Effect::NotifyKillFocus: Notify(w, EN_KILLFOCUS); break;
    }
  }
}

field::Result Run(HWND w, Operation op) {
  field::State s = Load(w);
  std::string clip;
  if (field::IsPasteKey(op)) {
    clip = ClipboardText(w);
    op.text = clip;
  }
  const field::Result r = field::Apply(s, op, UserLocale());
  Carry(w, s, r);
  return r;
}

bool Held(int vk) { return GetKeyState(vk) < 0; }

field::Key KeyOf(WPARAM vk) {
  switch (vk) {
    case VK_BACK: return field::Key::Back;
    case VK_DELETE: return field::Key::Delete;
    case VK_END: return field::Key::End;
    case VK_HOME: return field::Key::Home;
    case VK_LEFT: return field::Key::Left;
    case VK_RIGHT: return field::Key::Right;
    case VK_UP: return field::Key::Up;
    case VK_DOWN: return field::Key::Down;
    case VK_INSERT: return field::Key::Insert;
    default: return field::Key::Other;
  }
}

LRESULT OnCreate(HWND w, const CREATESTRUCTA* cs) {
  // An ordinal or missing name is no text; any text is bounded by the scratch buffer.
  const char* name = cs->lpszName && !IS_INTRESOURCE(cs->lpszName) ? cs->lpszName : "";
  const field::State s = field::Create(std::string_view(name, strnlen(name, field::kMaxText)),
                                       static_cast<uint32_t>(cs->style) & 0xFFFF);
  wd::Mask::Set(w, nullptr);
  StoreMask(w, s.mask);
  Save(w, s);
  DefWindowProcA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(s.text.c_str()));
  wd::Font::Set(w, reinterpret_cast<HFONT>(SendMessageA(GetParent(w), WM_GETFONT, 0, 0)));
  wd::FocusColour::Set(w, kDefaultFocusColour);
  wd::BkColour::Set(w, GetSysColor(COLOR_WINDOW));
  wd::TextColour::Set(w, GetSysColor(COLOR_WINDOWTEXT));
  return 0;
}

// ---- painting ----

struct Palette {
  COLORREF background, text, highlight, shadow;
};

Palette ColoursOf(HWND w, bool focused) {
  Palette p;
  const COLORREF focus = wd::FocusColour::Get(w);
  p.background = focused ? focus : wd::BkColour::Get(w);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  p.highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  p.shadow = GetSysColor(COLOR_BTNSHADOW);
  gdi::WindowDC screen(nullptr);
  const int bits = screen ? GetDeviceCaps(screen.get(), BITSPIXEL) * GetDeviceCaps(screen.get(), PLANES) : 8;
  if (face == 0xC0C0C0 && p.background == 0xFFFFFF && bits > 8) {
    p.highlight = 0xF3FDFF;
    p.shadow = 0x959FA1;
  }
  p.text = wd::TextColour::Get(w);
  if (p.text == GetSysColor(COLOR_WINDOWTEXT)) p.text = GetStyleTextColour(w, kStyleInputs);
  if (focused && focus == kDefaultFocusColour) p.text = 0;
  return p;
}

void FillFace(HWND w, HDC dc, const RECT& rc, const Palette& p, bool plain) {
  const int kind = GetStyleKind(w, kStyleInputs);
  if (!plain && GetStyleTransparent(w, kStyleInputs)) {
    PaintParentBackground(w, dc);
  } else if (!plain && kind == kKindTexture && !IsNoHandle(GetStyleTexture(w, kStyleInputs))) {
    DrawDibTiled(dc, GetStyleTexture(w, kStyleInputs), &rc);
  } else if (!plain && (kind == kKindVerticalGradient || kind == kKindHorizontalGradient)) {
    fill_rect_gradient(dc, &rc, GetStyleFirstColour(w, kStyleInputs), GetStyleSecondColour(w, kStyleInputs),
                       kind == kKindVerticalGradient);
  } else {
    gdi::Owned<HBRUSH> brush(CreateSolidBrush(p.background));
    FillRect(dc, &rc, brush.get());
  }
}

void Paint(HWND w, HDC dc) {
  const field::State s = Load(w);
  const bool focused = s.focused;
  const Palette p = ColoursOf(w, focused);
  RECT rc;
  GetClientRect(w, &rc);
  gdi::SavedDC saved(dc);
  const bool rounded = s.framed && GetStyleRounded(w, kStyleInputs);
  if (rounded) ClipToRoundRect(w, dc, 12);
  FillFace(w, dc, rc, p, focused || !s.framed);

  gdi::Select font(dc, FieldFont(w));
  SetBkMode(dc, TRANSPARENT);
  const std::string shown = field::DisplayText(s);
  RECT textRect = {rc.left + 3, rc.top, rc.right - 3, rc.bottom};
  UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
  if (!focused && (s.style & (field::kNumeric | field::kDateTime))) flags |= DT_RIGHT;
  if (GetStyleEmbossed(w, kStyleInputs)) {
    RECT shade = textRect;
    OffsetRect(&shade, 1, 1);
    SetTextColor(dc, style::ContrastColour(p.text));
    DrawTextA(dc, shown.c_str(), static_cast<int>(shown.size()), &shade, flags);
  }
  SetTextColor(dc, p.text);
  DrawTextA(dc, shown.c_str(), static_cast<int>(shown.size()), &textRect, flags);

  const size_t a = field::SelStart(s), b = field::SelEnd(s);
  if (focused && a < b) {
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    const int h = tm.tmHeight + tm.tmExternalLeading;
    const int top = (rc.bottom - h) / 2;
    PatBlt(dc, textRect.left + TextWidth(dc, shown, a), top, TextWidth(dc, shown, b) - TextWidth(dc, shown, a), h,
           DSTINVERT);
  }

  if (s.framed) {
    if (rounded) {
      DrawRoundFrame3D(dc, &rc, 12, p.highlight, p.shadow);
    } else {
      gdi::Owned<HPEN> dark(CreatePen(PS_SOLID, 1, p.shadow));
      gdi::Owned<HPEN> light(CreatePen(PS_SOLID, 1, p.highlight));
      {
        gdi::Select pen(dc, dark.get());
        MoveToEx(dc, rc.left, rc.bottom - 1, nullptr);
        LineTo(dc, rc.left, rc.top);
        LineTo(dc, rc.right - 1, rc.top);
      }
      gdi::Select pen(dc, light.get());
      MoveToEx(dc, rc.right - 1, rc.top, nullptr);
      LineTo(dc, rc.right - 1, rc.bottom - 1);
      LineTo(dc, rc.left - 1, rc.bottom - 1);
    }
  }
}

COLORREF SetColour(HWND w, COLORREF colour, COLORREF (*set)(HWND, COLORREF)) {
  if (!tamsel::IsSaisie(w)) return 0;
  const COLORREF old = set(w, colour);
  InvalidateRect(w, nullptr, FALSE);
  return old;
}

}  // namespace

LRESULT CALLBACK SaisieWndProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  Operation op;
  switch (msg) {
    case WM_CREATE:
      return OnCreate(w, reinterpret_cast<const CREATESTRUCTA*>(lp));
    case WM_DESTROY:
      tamsel::MiniKeyboardTargetGone(w);
      StoreMask(w, {});
      return 0;
    case WM_SETFOCUS:
      op.kind = Kind::FocusGained;
      Run(w, op);
      return 0;
    case WM_KILLFOCUS:
      op.kind = Kind::FocusLost;
      Run(w, op);
      tamsel::MiniKeyboardFocusLost(w, reinterpret_cast<HWND>(wp));
      return 0;
    case WM_SETTEXT: {
      const char* text = lp ? reinterpret_cast<const char*>(lp) : "";
      op.kind = Kind::SetText;
      op.text = std::string_view(text, strnlen(text, field::kMaxText));
      Run(w, op);
      return TRUE;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      if (HDC dc = BeginPaint(w, &ps)) {
        Paint(w, dc);
        EndPaint(w, &ps);
      }
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(w, reinterpret_cast<HDC>(wp));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SETFONT:
      if (wp && GetObjectType(reinterpret_cast<HGDIOBJ>(wp)) != 0) {
        wd::Font::Set(w, reinterpret_cast<HFONT>(wp));
        if (lp) InvalidateRect(w, nullptr, FALSE);
      }
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(FieldFont(w));
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
    case EM_GETSEL: {
      DWORD a = wd::SelectionAnchor::Get(w), e = wd::SelectionEnd::Get(w);
      if (a == 0 && e == 0) a = e = wd::Caret::Get(w);
      if (wp) *reinterpret_cast<DWORD*>(wp) = a;
      if (lp) *reinterpret_cast<DWORD*>(lp) = e;
      return MAKELRESULT(a, e);
    }
    case EM_GETMODIFY:
      return wd::State::Get(w) & kModified;
    case EM_SETMODIFY: {
      const WORD state = wd::State::Get(w);
      wd::State::Set(w, static_cast<WORD>(wp ? state | kModified : state & ~kModified));
      return 0;
    }
    case EM_LIMITTEXT:
      op.kind = Kind::Limit;
      op.number = static_cast<unsigned>(std::min<WPARAM>(wp, 0xFFFFFFFFu));
      Run(w, op);
      return 0;
    case EM_CANUNDO:
      return 0;
    case WM_KEYDOWN:
      op.kind = Kind::Key;
      op.key = KeyOf(wp);
      op.shift = Held(VK_SHIFT);
      op.ctrl = Held(VK_CONTROL);
      Run(w, op);
      return 0;
    case WM_CHAR:
      op.ch = static_cast<unsigned char>(wp);
      op.shift = Held(VK_SHIFT);
      Run(w, op);
      return 0;
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
      return SendMessageA(GetParent(w), msg, wp, lp);
    case WM_LBUTTONDOWN: {
      const bool hadFocus = GetFocus() == w;
      if (!hadFocus) SetFocus(w);
      SetCapture(w);
      op.kind = Kind::MousePress;
      op.hadFocus = hadFocus;
      op.number = PositionAt(w, static_cast<short>(LOWORD(lp)));
      Run(w, op);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (GetCapture() != w || !wd::MouseSelecting::Get(w)) return 0;
      op.kind = Kind::MouseMove;
      op.number = PositionAt(w, static_cast<short>(LOWORD(lp)));
      Run(w, op);
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      op.kind = Kind::MouseRelease;
      Run(w, op);
      if (GetCapture() == w) ReleaseCapture();
      return 0;
    case WM_LBUTTONDBLCLK:
      op.kind = Kind::DoubleClick;
      Run(w, op);
      tamsel::MiniKeyboardClick(w);
      return 0;
    case WM_RBUTTONDOWN:
      op.kind = Kind::RightPress;
      Run(w, op);
      tamsel::MiniKeyboardClick(w);
      return 0;
    case WM_CAPTURECHANGED:
      wd::MouseSelecting::Set(w, 0);
      return 0;
    default:
      return DefWindowProcA(w, msg, wp, lp);
  }
}

extern "C" {

COLORREF WINAPI SetSaisieFocusColor(HWND field, COLORREF colour) {
  return SetColour(field, colour, wd::FocusColour::Set);
}

COLORREF WINAPI SetSaisieBkColor(HWND field, COLORREF colour) { return SetColour(field, colour, wd::BkColour::Set); }

COLORREF WINAPI SetSaisieTxtColor(HWND field, COLORREF colour) {
  return SetColour(field, colour, wd::TextColour::Set);
}

int WINAPI SetSaisieStringMask(HWND w, const char* mask) {
  if (!tamsel::IsSaisie(w)) return 0;
  const std::string_view m = mask ? std::string_view(mask, strnlen(mask, field::kMaxMask + 1)) : std::string_view();
  field::State s = Load(w);
  Operation op;
  op.kind = Kind::SetMask;
  op.text = m;
  field::Result r = field::Apply(s, op, UserLocale());
  if (!(s.style & field::kStringMask) || (s.style & field::kDateTime)) return 0;
  if (!StoreMask(w, s.mask)) {
    // No memory for the copy: the field goes on without a mask.
    s = Load(w);
    op.text = {};
    r = field::Apply(s, op, UserLocale());
  }
  Carry(w, s, r);
  return static_cast<int>(r.value);
}

}  // extern "C"
