// Hover notifications, tooltip bubbles and the style-editor shortcut. A desktop-wide WH_MOUSE
// hook follows the mouse in every process that receives mouse input; a 200 ms thread timer in
// the thread that called InitKControl catches what the hook misses and times the bubbles.
#include "controls/core/hover.h"

#include <cstring>
#include <string>

#include "controls/core/bubble_text.h"
#include "controls/core/library.h"
#include "controls/core/resource_dialogs.h"
#include "controls/core/style_editor.h"
#include "controls/core/window_tests.h"
#include "winkit/gdi_guard.h"

namespace {

constexpr const char* kBubbleClass = "KVBB";
constexpr UINT kTimerPeriod = 200;
constexpr int kBubbleMargin = 6;

struct HoverState {
  HWND hotControl = nullptr;  // the "BOUTON" that last got KCM_MOUSEENTER
  HWND candidate = nullptr;   // the window the mouse rests on
  int ticks = 0;
  int armed = 0;
  int shown = 0;
  int hideRequest = 0;
  WORD displayLength = 0;
  int buttonsUp = 1;
  HWND bubble = nullptr;
  HFONT bubbleFont = nullptr;
  HHOOK hook = nullptr;
  UINT_PTR timer = 0;
};

HoverState hover;
int shortcutBusy = 0;

LPARAM PackPoint(POINT p) { return MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)); }

void HideBubble() {
  if (!hover.shown) return;
  if (hover.bubble && IsWindow(hover.bubble)) PostMessageA(hover.bubble, WM_CLOSE, 0, 0);
  hover.bubble = nullptr;
  hover.shown = 0;
  hover.hideRequest = 0;
  hover.armed = 1;
}

void ResetCandidate() {
  hover.candidate = nullptr;
  hover.ticks = 0;
  hover.armed = 1;
}

HFONT CreateBubbleFont() {
  LOGFONTA lf = {};
  {
    gdi::WindowDC screen(nullptr);
    lf.lfHeight = -MulDiv(8, GetDeviceCaps(screen.get(), LOGPIXELSY), 72);
  }
  lf.lfWeight = FW_NORMAL;
  lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  std::strcpy(lf.lfFaceName, "Helv");
  return CreateFontIndirectA(&lf);
}

// The text measured with the bubble font on the screen: width and height + 1.
SIZE MeasureBubble(const std::string& text) {
  gdi::WindowDC dc(nullptr);
  gdi::Select font(dc.get(), hover.bubbleFont);
  RECT r = {0, 0, 0, 0};
  const int height = DrawTextA(dc.get(), text.c_str(), -1, &r, DT_CALCRECT | DT_NOPREFIX);
  return SIZE{r.right - r.left, height + 1};
}

void ShowBubble(HWND w) {
  if (hover.shown || GetCapture()) return;
  const int length = GetWindowTextLengthA(w);
  hover.displayLength = static_cast<WORD>(length);
  if (length < 4) {
    ResetCandidate();
    return;
  }
  HGLOBAL block = GlobalAlloc(GHND, static_cast<SIZE_T>(length) + 2);
  char* text = block ? static_cast<char*>(GlobalLock(block)) : nullptr;
  if (!text) {
    if (block) GlobalFree(block);
    return;
  }
  GetWindowTextA(w, text, length + 1);
  const std::string_view windowText(text, strnlen(text, static_cast<size_t>(length) + 1));
  if (!WantsBubble(windowText)) {
    GlobalUnlock(block);
    GlobalFree(block);
    ResetCandidate();
    return;
  }
  const std::string bubbleText = ExtractBubbleText(windowText);
  hover.displayLength = static_cast<WORD>(hover.displayLength / 3);

  const SIZE size = MeasureBubble(bubbleText);
  POINT cursor = {};
  GetCursorPos(&cursor);
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  const int jump = GetSystemMetrics(SM_CYICON) + size.cy + kBubbleMargin;
  int x = cursor.x;
  if (x + size.cx + kBubbleMargin > screenWidth) x = screenWidth - size.cx - kBubbleMargin;
  int y = cursor.y + GetSystemMetrics(SM_CYCURSOR);
  if (y - size.cy - kBubbleMargin < 0) y += jump;
  if (y + jump > screenHeight) y -= jump;

  hover.bubble = CreateWindowExA(WS_EX_TOOLWINDOW, kBubbleClass, bubbleText.c_str(), WS_POPUP, x - kBubbleMargin, y,
                                 size.cx + 2 * kBubbleMargin, size.cy + kBubbleMargin, nullptr, nullptr,
                                 tamsel::libraryInstance, nullptr);
  if (hover.bubble) {
    SetWindowPos(hover.bubble, HWND_TOPMOST, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
  }
  GlobalUnlock(block);
  GlobalFree(block);
  hover.shown = 1;
}

void PaintBubble(HWND window) {
  gdi::PaintDC dc(window);
  if (!dc) return;
  RECT r;
  GetClientRect(window, &r);
  const COLORREF face = GetSysColor(COLOR_INFOBK);
  gdi::Owned<HBRUSH> brush(CreateSolidBrush(face ? face : 0xB9FFFF));
  gdi::Select font(dc.get(), hover.bubbleFont);
  gdi::Select fill(dc.get(), brush.get());
  RoundRect(dc.get(), r.left, r.top, r.right, r.bottom, 16, 16);
  SetBkMode(dc.get(), TRANSPARENT);
  SetTextColor(dc.get(), GetSysColor(COLOR_INFOTEXT));
  std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
  r.left += kBubbleMargin;
  r.top += 3;
  DrawTextA(dc.get(), text.c_str(), -1, &r, 0);
}

LRESULT CALLBACK BubbleWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      PaintBubble(window);
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_KEYDOWN:
      HideBubble();
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

bool ShortcutKeysDown() {
  return GetKeyState(VK_CONTROL) < 0 && (GetKeyState(VK_MENU) < 0 || GetKeyState(VK_SHIFT) < 0);
}

void MouseMoved(const MOUSEHOOKSTRUCT& data) {
  if (data.hwnd == hover.candidate) {
    hover.ticks = 0;
    return;
  }
  if (hover.shown) {
    HideBubble();
    hover.armed = 0;
  } else {
    hover.ticks = 0;
  }
  const LPARAM point = PackPoint(data.pt);
  if (hover.hotControl && IsWindow(hover.hotControl) && hover.hotControl != data.hwnd) {
    PostMessageA(hover.hotControl, KCM_MOUSELEAVE, data.wHitTestCode, point);
    hover.hotControl = nullptr;
  }
  if (IsKvButton(data.hwnd) && data.hwnd != hover.hotControl) {
    hover.hotControl = data.hwnd;
    SendMessageA(data.hwnd, KCM_MOUSEENTER, data.wHitTestCode, point);
  }
}

}  // namespace

LRESULT CALLBACK MouseHookProc(int code, WPARAM message, LPARAM lParam) {
  if (code < 0) return CallNextHookEx(hover.hook, code, message, lParam);
  const auto& data = *reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
  switch (message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
      MouseMoved(data);
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      HideBubble();
      hover.buttonsUp = 0;
      hover.armed = 0;
      if (message == WM_LBUTTONDOWN && ShortcutKeysDown()) return OpenStyleEditorAt(data.pt, data.hwnd);
      break;
    case WM_NCLBUTTONDOWN:
      if (ShortcutKeysDown()) return OpenStyleEditorAt(data.pt, data.hwnd);
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      hover.armed = 0;
      hover.buttonsUp = 1;
      break;
    default:
      break;
  }
  return 0;
}

namespace {

bool IsInputClass(HWND w) {
  char name[32] = {};
  GetClassNameA(w, name, sizeof name);
  CharUpperA(name);
  return std::strcmp(name, "SAISIE") == 0 || std::strcmp(name, "EDIT") == 0;
}

}  // namespace

LRESULT OpenStyleEditorAt(POINT screenPoint, HWND clicked) {
  if (tamsel::comboListOpen || shortcutBusy) return 1;
  shortcutBusy = 1;
  // Only the main application's process opens the editor; without it, the current process does.
  DWORD clickedProcess = 0;
  GetWindowThreadProcessId(clicked, &clickedProcess);
  DWORD mainProcess = GetCurrentProcessId();
  if (HWND main = FindWindowA("PELNA", nullptr)) GetWindowThreadProcessId(main, &mainProcess);
  if (clickedProcess != mainProcess && GetCurrentProcessId() != mainProcess) {
    shortcutBusy = 0;
    return 1;
  }
  POINT client = screenPoint;
  ScreenToClient(clicked, &client);
  HWND child = ChildWindowFromPoint(clicked, client);
  HWND surface = FindWindowA("Pelna", nullptr);
  if (surface && clicked == surface && (child == clicked || !child)) {
    shortcutBusy = 0;
    return 0;
  }
  HWND target = child && (GetWindowLongA(child, GWL_EXSTYLE) & WS_EX_TRANSPARENT) ? GetParent(child)
                                                                                    : OwningDialog(clicked);
  if (target && IsWindow(target)) {
    if (tamsel::inputAuxDialog && IsWindow(tamsel::inputAuxDialog)) DestroyWindow(tamsel::inputAuxDialog);
    KvDialogBoxParam(kStyleEditorTemplate, clicked, StyleEditorProc, reinterpret_cast<LPARAM>(target));
  }
  shortcutBusy = 0;
  return 1;
}

extern "C" void CALLBACK HoverTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  if (!hover.buttonsUp) return;
  POINT cursor = {};
  GetCursorPos(&cursor);
  HWND w = WindowFromPoint(cursor);
  const LPARAM point = PackPoint(cursor);

  if (hover.hotControl && IsWindow(hover.hotControl) && hover.hotControl != w) {
    SendMessageA(hover.hotControl, KCM_MOUSELEAVE, 0, point);
    hover.hotControl = nullptr;
  }
  if (IsKvButton(w) && w != hover.hotControl) {
    hover.hotControl = w;
    SendMessageA(w, KCM_MOUSEENTER, 0, point);
  }

  const bool child = w && IsWindow(w) && (GetWindowLongA(w, GWL_STYLE) & WS_CHILD);
  HWND parent = child ? GetParent(w) : nullptr;
  if (child && parent && !IsChild(parent, w)) {
    ResetCandidate();
    return;
  }
  if (!parent && !hover.shown) {
    ResetCandidate();
    return;
  }

  bool hidden = false;
  if (!w) {
    hover.candidate = nullptr;
    hover.ticks = 0;
    if (hover.shown) hover.hideRequest = 1;
  } else if (w == hover.candidate && hover.shown) {
    if (hover.ticks >= hover.displayLength + 10) {
      HideBubble();
      hover.armed = 0;
      hidden = true;
    } else {
      ++hover.ticks;
    }
  } else if (w != hover.candidate) {
    if (hover.shown) hover.hideRequest = 1;
    if (!hover.shown && IsWindowVisible(w) && w != parent) {
      hover.armed = 1;
      if (IsInputClass(w)) {
        hover.candidate = nullptr;
        hover.ticks = 0;
        return;
      }
    }
  }

  if (!hidden && hover.armed) {
    if (hover.candidate != w) {
      hover.candidate = w;
      hover.ticks = 0;
    } else if (++hover.ticks > 1) {
      hover.armed = 0;
      ShowBubble(w);
    }
  }

  if (hover.hideRequest) {
    hover.hideRequest = 0;
    hover.armed = 1;
    HideBubble();
  }
}

extern "C" int WINAPI InitKControl() {
  if (hover.hook) return 0;
  if (hover.bubbleFont) DeleteObject(hover.bubbleFont);
  hover.bubbleFont = CreateBubbleFont();
  hover.hook = SetWindowsHookExA(WH_MOUSE, MouseHookProc, tamsel::libraryInstance, 0);
  if (!hover.hook) return 0;
  WNDCLASSA wc = {};
  wc.style = CS_SAVEBITS;
  wc.lpfnWndProc = BubbleWndProc;
  wc.hInstance = tamsel::libraryInstance;
  wc.lpszClassName = kBubbleClass;
  RegisterClassA(&wc);
  hover.timer = SetTimer(nullptr, 100, kTimerPeriod, HoverTimerProc);
  return 0;
}

extern "C" int WINAPI EndKControl() {
  // A bubble still up would outlive its font, its class and the timer that hides it.
  if (hover.shown && hover.bubble && IsWindow(hover.bubble)) DestroyWindow(hover.bubble);
  hover.bubble = nullptr;
  hover.shown = 0;
  if (hover.bubbleFont) DeleteObject(hover.bubbleFont);
  hover.bubbleFont = nullptr;
  const BOOL killed = KillTimer(nullptr, hover.timer);
  hover.timer = 0;
  if (!hover.hook) return killed;
  UnregisterClassA(kBubbleClass, tamsel::libraryInstance);
  const BOOL unhooked = UnhookWindowsHookEx(hover.hook);
  hover.hook = nullptr;
  return unhooked;
}
