// The text tool (123): one open line of text over the image, typed into with a caret, shown in
// the brush colour while it is edited and burned into the pixels by Enter or a click elsewhere.
// The editing rules are text_line.h's; this file measures, renders, moves the caret and burns.
//
// Deliberately not done: prefix processing of '&' (the text is drawn as typed), a caret one index
// off after a click, a line rendered before its buffer and place exist, heights from the font
// dialog beyond those of the tool window.
#include <windows.h>
#include <commdlg.h>

#include <algorithm>

#include "retouch/canvas/canvas_window.h"
#include "retouch/frame/editor_globals.h"
#include "retouch/frame/editor_hooks.h"
#include "retouch/imaging/dib.h"
#include "retouch/canvas/text_line.h"
#include "winkit/gdi_guard.h"

namespace {

constexpr int kLowestHeight = 1, kHighestHeight = 48;  // the tool window's height bar
constexpr UINT kDrawFlags = DT_NOPREFIX;

int FontHeight(const RetouchState& s) { return std::max(1, std::abs(static_cast<int>(s.logFont.lfHeight))); }

bool LineOpen(const RetouchState& s) { return s.textBuffer && s.textBitmap; }

int BitmapWidth(const RetouchState& s) {
  BITMAP bm{};
  return s.textBitmap && GetObjectA(s.textBitmap, sizeof bm, &bm) ? bm.bmWidth : 0;
}

// Width of a run of the line's text with the line's font, on a memory DC holding the font.
int32_t MeasureRun(void* context, const char* text, int32_t count) {
  RECT r{0, 0, 0, 0};
  DrawTextA(static_cast<HDC>(context), text, count, &r, DT_CALCRECT | kDrawFlags);
  return r.right - r.left;
}

class Measurer {
 public:
  explicit Measurer(const RetouchState& s) : dc_(nullptr), font_(dc_.get(), s.textFont) {}
  text_line::Measure measure() { return {&MeasureRun, dc_.get()}; }
 private:
  gdi::MemoryDC dc_;
  gdi::Select font_;
};

text_line::Line LineOf(RetouchState& s) {
  text_line::Line line;
  line.buffer = s.textBuffer;
  line.caretIndex = s.caretIndex;
  line.left = s.textLeft;
  int w = 0, h = 0, bits = 0;
  if (DibHandle image = FrameImage(s)) DibGetInfo(image, &w, &h, &bits);
  line.imageWidth = w;
  return line;
}

void CreateTextFont(RetouchState& s) {
  if (s.textFont) DeleteObject(s.textFont);
  s.logFont.lfHeight = std::clamp(s.brushHeight, kLowestHeight, kHighestHeight);
  s.textFont = CreateFontIndirectA(&s.logFont);
}

// The line's band in image coordinates, invalidated in device units.
void InvalidateBand(const RetouchState& s, HWND canvas) {
  if (!canvas) return;
  POINT corners[2] = {{0, s.textTop}, {BitmapWidth(s), s.textTop + FontHeight(s)}};
  gdi::WindowDC dc(canvas);
  if (dc) LPtoDP(dc.get(), corners, 2);
  RECT r{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
  InvalidateRect(canvas, &r, TRUE);
}

void Render(RetouchState& s, HWND canvas) {
  if (!LineOpen(s)) return;
  BITMAP bm{};
  if (!GetObjectA(s.textBitmap, sizeof bm, &bm)) return;
  {
    gdi::MemoryDC dc(nullptr);
    if (!dc) return;
    gdi::Select font(dc.get(), s.textFont);
    gdi::Select bitmap(dc.get(), s.textBitmap);
    RECT whole{0, 0, bm.bmWidth, bm.bmHeight};
    FillRect(dc.get(), &whole, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetTextColor(dc.get(), RGB(255, 255, 255));
    SetBkMode(dc.get(), TRANSPARENT);
    RECT text{s.textLeft, 0, bm.bmWidth, bm.bmHeight};
    DrawTextA(dc.get(), s.textBuffer, -1, &text, kDrawFlags);
  }
  InvalidateBand(s, canvas);
}

void ComputeCaretX(RetouchState& s) {
  text_line::Line line = LineOf(s);
  Measurer m(s);
  const int64_t x = text_line::CaretX(line, s.caretIndex, m.measure());
  s.caretX = static_cast<int32_t>(std::min<int64_t>(x, INT32_MAX));
}

// The caret at the caret position, as high as the line. The canvas keeps its own DC (CS_OWNDC),
// so the caret's position and size are taken in its image coordinates and land on the scaled
// image.
void PlaceCaret(RetouchState& s, HWND canvas) {
  if (s.caretShown) {
    HideCaret(canvas);
  } else {
    DestroyCaret();
    CreateCaret(canvas, nullptr, 2, FontHeight(s));
    s.caretShown = 1;
  }
  SetCaretPos(s.caretX, s.caretY);
  ShowCaret(canvas);
}

void Burn(RetouchState& s, HWND canvas) {
  if (DibHandle image = FrameImage(s)) DibStampBitmap(image, s.textBitmap, s.textTop, s.brushColor, 100, TRUE);
  InvalidateBand(s, canvas);
}

// A fresh line at (left, top) in the open buffer.
void StartLine(RetouchState& s, HWND canvas, int left, int top) {
  s.textLeft = s.caretX = left;
  s.textTop = s.caretY = top;
  s.textBuffer[0] = 0;
  s.caretIndex = 0;
  Render(s, canvas);
  ComputeCaretX(s);
  PlaceCaret(s, canvas);
}

void NewLine(RetouchState& s, HWND canvas) {
  Burn(s, canvas);
  int w = 0, h = 0, bits = 0;
  DibHandle image = FrameImage(s);
  if (!image || !DibGetInfo(image, &w, &h, &bits) || s.textTop + FontHeight(s) >= h) return;
  StartLine(s, canvas, s.textLeft, s.textTop + FontHeight(s));
}

// After a key or character: the caret where the index is, the line again when its text changed.
void Follow(RetouchState& s, HWND canvas, text_line::Effect effect) {
  if (effect == text_line::Effect::kNone) return;
  ComputeCaretX(s);
  PlaceCaret(s, canvas);
  if (effect == text_line::Effect::kText) Render(s, canvas);
}

}  // namespace

void TextStart(HWND canvas, int x, int y) {
  RetouchState* state = g_state;
  if (!state) return;
  RetouchState& s = *state;
  const int height = FontHeight(s);
  if (LineOpen(s)) {
    const RECT band{0, s.textTop, BitmapWidth(s), s.textTop + height};
    if (PtInRect(&band, POINT{x, y})) {
      text_line::Line line = LineOf(s);
      Measurer m(s);
      s.caretIndex = text_line::IndexAtX(line, x, m.measure());
      s.caretX = static_cast<int32_t>(std::min<int64_t>(text_line::CaretX(line, s.caretIndex, m.measure()), INT32_MAX));
      PlaceCaret(s, canvas);
      return;
    }
    Burn(s, canvas);
    StartLine(s, canvas, x, y - height / 2);
    return;
  }
  TextEnd(canvas);
  int w = 0, h = 0, bits = 0;
  DibHandle image = FrameImage(s);
  if (!image || !DibGetInfo(image, &w, &h, &bits) || w <= 0) return;
  CreateTextFont(s);
  const int lineHeight = FontHeight(s);
  s.textBitmap = CreateBitmap(w, lineHeight, 1, 1, nullptr);
  if (!s.textBitmap || !s.textFont) return;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text_line::kBufferSize);
  s.textBuffer = block ? static_cast<char*>(GlobalLock(block)) : nullptr;
  if (!s.textBuffer) {
    if (block) GlobalFree(block);
    return;
  }
  // The first click puts the line's bottom at the click.
  StartLine(s, canvas, x, y - lineHeight);
}

void TextEnd(HWND canvas) {
  RetouchState* state = g_state;
  if (!state) return;
  RetouchState& s = *state;
  if (s.textBuffer) {
    s.textBuffer[0] = 0;
    if (s.textBitmap) InvalidateBand(s, canvas);
    HGLOBAL block = GlobalHandle(s.textBuffer);
    GlobalUnlock(block);
    GlobalFree(block);
    s.textBuffer = nullptr;
  }
  if (s.caretShown) {
    if (canvas) HideCaret(canvas);
    DestroyCaret();
    s.caretShown = 0;
  }
  if (s.textFont) DeleteObject(s.textFont);
  if (s.textBitmap) DeleteObject(s.textBitmap);
  s.textFont = nullptr;
  s.textBitmap = nullptr;
  s.caretIndex = 0;
}

void TextPaint(HWND canvas, HDC dc) {
  RetouchState* state = g_state;
  if (!state || !LineOpen(*state) || !dc) return;
  RetouchState& s = *state;
  BITMAP bm{};
  if (!GetObjectA(s.textBitmap, sizeof bm, &bm)) return;
  gdi::MemoryDC memory(dc);
  if (!memory) return;
  gdi::Select bitmap(memory.get(), s.textBitmap);
  const bool caret = s.caretShown != 0;
  if (caret) HideCaret(canvas);
  const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
  const COLORREF oldText = SetTextColor(dc, RGB(255, 255, 255));
  const COLORREF oldBack = SetBkColor(dc, RGB(0, 0, 0));
  // Text bits clear the image, then take the brush colour; the others leave it.
  BitBlt(dc, 0, s.textTop, bm.bmWidth, bm.bmHeight, memory.get(), 0, 0, SRCAND);
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, s.brushColor);
  BitBlt(dc, 0, s.textTop, bm.bmWidth, bm.bmHeight, memory.get(), 0, 0, SRCPAINT);
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBack);
  if (oldMode) SetStretchBltMode(dc, oldMode);
  if (caret) ShowCaret(canvas);
}

void TextKeyDown(HWND canvas, int virtualKey) {
  RetouchState* state = g_state;
  if (!state || !LineOpen(*state)) return;
  RetouchState& s = *state;
  if (virtualKey == VK_ESCAPE) {
    TextEnd(canvas);
    return;
  }
  if (virtualKey == VK_RETURN) {
    NewLine(s, canvas);
    return;
  }
  text_line::Line line = LineOf(s);
  text_line::Effect effect;
  {
    Measurer m(s);
    effect = text_line::KeyDown(line, virtualKey, m.measure());
  }
  s.caretIndex = line.caretIndex;
  Follow(s, canvas, effect);
}

void TextChar(HWND canvas, int character) {
  RetouchState* state = g_state;
  if (!state || !LineOpen(*state)) return;
  RetouchState& s = *state;
  text_line::Line line = LineOf(s);
  text_line::Effect effect;
  {
    Measurer m(s);
    effect = text_line::TypeChar(line, character, m.measure());
  }
  s.caretIndex = line.caretIndex;
  Follow(s, canvas, effect);
}

void ChooseTextFont(HWND owner) {
  RetouchState* state = g_state;
  if (!state) return;
  RetouchState& s = *state;
  TextEnd(s.canvasWindow);
  s.logFont.lfHeight = s.brushHeight;
  if (s.frameWindow) EnableWindow(s.frameWindow, FALSE);
  CHOOSEFONTA choice{};
  choice.lStructSize = sizeof choice;  // the platform's own size (60 bytes only on i686)
  choice.hwndOwner = owner;
  choice.lpLogFont = &s.logFont;
  choice.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
  choice.nFontType = SCREEN_FONTTYPE;
  choice.rgbColors = s.brushColor;
  if (ChooseFontA(&choice)) {
    s.brushHeight = text_line::BrushHeightOfFont(s.logFont.lfHeight, kLowestHeight, kHighestHeight);
    CreateTextFont(s);
    s.brushColor = choice.rgbColors;
  }
  if (s.frameWindow) EnableWindow(s.frameWindow, TRUE);
}
