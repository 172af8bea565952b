// The mini keyboard's window: the rules are in mini_keyboard_logic; this file creates the
// dialog, labels its keys from the user's layout, sends the keys to the field and follows the
// frame, the drag and the field's focus.
#include "controls/widgets/mini_keyboard.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "controls/core/ini_file.h"
#include "controls/core/library.h"
#include "controls/core/resource_dialogs.h"
#include "controls/core/style_record.h"
#include "controls/widgets/button.h"
#include "controls/widgets/mini_keyboard_logic.h"
#include "controls/widgets/saisie.h"
#include "controls/widgets/size_registry.h"
#include "winkit/gdi_guard.h"

namespace tamsel {
namespace {

constexpr const char* kSettingsFile = ".\\Qz01.ini";
constexpr const char* kSection = "MiniKb";

struct Keyboard {
  HWND window = nullptr;
  HWND target = nullptr;
  minikb::Size reference = {640, 480};
  bool edgeDrag = false;
  bool registered = false;
  minikb::MoveDrag drag;
  HFONT font = nullptr;
  bool ownFont = false;
  HHOOK focusHook = nullptr;
};
Keyboard kb;

bool InKeyboard(HWND w) { return w && kb.window && (w == kb.window || IsChild(kb.window, w)); }

// The keyboard never takes the focus or the activation: its field keeps both while keys are
// pressed (a key button asks for the focus when it is pressed).
LRESULT CALLBACK KeepFocusHook(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_SETFOCUS && InKeyboard(reinterpret_cast<HWND>(wp))) return 1;
  if (code == HCBT_ACTIVATE && kb.window && reinterpret_cast<HWND>(wp) == kb.window) return 1;
  return CallNextHookEx(nullptr, code, wp, lp);
}

bool StyleEditorOpen() {
  const HWND open = GetOpenLibraryDialog();
  return open && open != kb.window && IsWindow(open);
}

minikb::Rect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
minikb::Size SizeOf(const RECT& r) { return {r.right - r.left, r.bottom - r.top}; }
minikb::Size Frame() { return {GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME)}; }

RECT WorkArea(HWND window) {
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info)) return info.rcWork;
  return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// The user's layout through ToAscii, with Shift or AltGr (Ctrl + Alt) held as asked.
class SystemLayout : public minikb::Layout {
 public:
  unsigned VirtualKey(unsigned scan) override { return MapVirtualKeyA(scan, MAPVK_VSC_TO_VK); }
  minikb::Translation Translate(unsigned vk, unsigned scan, minikb::Modifiers m) override {
    BYTE state[256] = {};
    if (m == minikb::Modifiers::Shift) state[VK_SHIFT] = 0x80;
    if (m == minikb::Modifiers::AltGr) state[VK_CONTROL] = state[VK_MENU] = 0x80;
    WORD out[2] = {};
    minikb::Translation t;
    t.count = ToAscii(vk, scan, state, out, 0);
    if (t.count > 2) t.count = 2;
    std::memcpy(t.chars, out, sizeof t.chars);
    return t;
  }
};

minikb::Modifiers ModifiersOf(HWND dialog) {
  if (IsDlgButtonChecked(dialog, minikb::kIdShift) == BST_CHECKED) return minikb::Modifiers::Shift;
  if (IsDlgButtonChecked(dialog, minikb::kIdAltGr) == BST_CHECKED) return minikb::Modifiers::AltGr;
  return minikb::Modifiers::None;
}

void LabelKeys(HWND dialog) {
  std::vector<unsigned> scans;
  std::vector<HWND> keys;
  for (int id = minikb::kIdFirstCharacter; id <= minikb::kIdLastCharacter; ++id) {
    if (const HWND key = GetDlgItem(dialog, id)) {
      scans.push_back(minikb::ScanOf(id));
      keys.push_back(key);
    }
  }
  SystemLayout layout;
  const std::vector<std::string> labels = minikb::LabelKeys(layout, scans, ModifiersOf(dialog));
  for (size_t i = 0; i < keys.size(); ++i) {
    char shown[8] = {};
    GetWindowTextA(keys[i], shown, sizeof shown);
    if (labels[i] != shown) SetWindowTextA(keys[i], labels[i].c_str());  // a changed label repaints
  }
}

void LabelEditingKey(HWND dialog, int id, unsigned scan) {
  char name[32] = {};
  GetKeyNameTextA(static_cast<LONG>(minikb::KeyDownParam(scan, true)), name, sizeof name);
  if (const HWND key = GetDlgItem(dialog, id)) SetWindowTextA(key, minikb::ShortKeyName(name).c_str());
}

// Sends to the field while it is still there (a key may end it).
void SendToTarget(UINT message, WPARAM wp, LPARAM lp) {
  if (kb.target && IsWindow(kb.target)) SendMessageA(kb.target, message, wp, lp);
}

void PostKey(unsigned vk, bool extended) {
  if (!kb.target) return;
  const unsigned scan = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
  PostMessageA(kb.target, WM_KEYDOWN, vk, static_cast<LPARAM>(minikb::KeyDownParam(scan, extended)));
  PostMessageA(kb.target, WM_KEYUP, vk, static_cast<LPARAM>(minikb::KeyUpParam(scan, extended)));
}

void PostCharacter(unsigned char c) {
  if (kb.target) PostMessageA(kb.target, WM_CHAR, c, 1);
}

void TypeCharacterKey(HWND dialog, unsigned scan) {
  const unsigned vk = MapVirtualKeyA(scan, MAPVK_VSC_TO_VK);
  if (!vk) return;
  SendToTarget(WM_KEYDOWN, vk, static_cast<LPARAM>(minikb::KeyDownParam(scan, false)));
  SystemLayout layout;
  const minikb::Translation t = layout.Translate(vk, scan, ModifiersOf(dialog));
  for (int i = 0; i < t.count; ++i)
    SendToTarget(WM_CHAR, t.chars[i], static_cast<LPARAM>(minikb::KeyDownParam(scan, false)));
  SendToTarget(WM_KEYUP, vk, static_cast<LPARAM>(minikb::KeyUpParam(scan, false)));
}

void ToggleModifier(HWND dialog, int id, int other) {
  const bool on = IsDlgButtonChecked(dialog, id) != BST_CHECKED;
  CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
  if (on) CheckDlgButton(dialog, other, BST_UNCHECKED);
  LabelKeys(dialog);
}

void OnCommand(HWND dialog, int id) {
  using minikb::Command;
  switch (minikb::CommandOf(id)) {
    // A field moves on to the next control of its dialog on Enter.
    case Command::Enter: SendToTarget(WM_CHAR, minikb::kCharEnter, 1); break;
    // Posted: the key that asks is still in its click.
    case Command::Close: PostMessageA(dialog, WM_CLOSE, 0, 0); break;
    case Command::Character: TypeCharacterKey(dialog, minikb::ScanOf(id)); break;
    case Command::Shift: ToggleModifier(dialog, minikb::kIdShift, minikb::kIdAltGr); break;
    case Command::AltGr: ToggleModifier(dialog, minikb::kIdAltGr, minikb::kIdShift); break;
    // Posted, as the keyboard's own: the message loop translates them (Backspace, Tab) and the
    // dialog manager sees them (Tab).
    case Command::Backspace: PostKey(minikb::kVkBack, false); break;
    case Command::Tab: PostKey(minikb::kVkTab, false); break;
    case Command::Insert: PostKey(minikb::kVkInsert, true); break;
    case Command::Delete: PostKey(minikb::kVkDelete, true); break;
    case Command::Copy: PostCharacter(minikb::kCharCopy); break;
    case Command::Cut: PostCharacter(minikb::kCharCut); break;
    case Command::Paste: PostCharacter(minikb::kCharPaste); break;
    case Command::None: break;
  }
}

HFONT KeysFont() {
  const HGDIOBJ stock = GetStockObject(ANSI_VAR_FONT);
  LOGFONTA lf = {};
  HFONT font = nullptr;
  if (GetObjectA(stock, sizeof lf, &lf)) {
    lf.lfWeight = 100;
    font = CreateFontIndirectA(&lf);
  }
  kb.ownFont = font != nullptr;
  return font ? font : static_cast<HFONT>(stock);
}

void ApplySavedSize(HWND dialog) {
  const int width = ini::ReadInt(kSettingsFile, kSection, "Largeur", -1);
  const int height = ini::ReadInt(kSettingsFile, kSection, "Hauteur", -1);
  const std::optional<minikb::Size> size =
      minikb::SavedSize(width, height, kb.reference, Frame(), SizeOf(WorkArea(kb.target)));
  if (size)
    SetWindowPos(dialog, nullptr, 0, 0, size->width, size->height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PlaceUnderTarget(HWND dialog) {
  RECT window, target;
  GetWindowRect(dialog, &window);
  GetWindowRect(kb.target, &target);
  const minikb::Point p = minikb::PlaceUnder(ToRect(target), SizeOf(window), ToRect(WorkArea(kb.target)));
  SetWindowPos(dialog, HWND_TOPMOST, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

BOOL OnInitDialog(HWND dialog, HWND target) {
  kb.window = dialog;
  kb.target = target;
  inputAuxDialog = dialog;
  miniKeyboardWindow = dialog;  // the registry leaves the keys' fonts alone
  ResetDialogStyle(dialog);
  SetOpenLibraryDialog(dialog);
  kb.focusHook = SetWindowsHookExA(WH_CBT, KeepFocusHook, nullptr, GetCurrentThreadId());

  RECT r;
  GetWindowRect(dialog, &r);
  if (r.right > r.left && r.bottom > r.top) kb.reference = SizeOf(r);
  kb.font = KeysFont();
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(kb.font), FALSE);

  CheckDlgButton(dialog, minikb::kIdShift, BST_CHECKED);
  LabelKeys(dialog);
  LabelEditingKey(dialog, minikb::kIdInsert, minikb::kScanInsert);
  LabelEditingKey(dialog, minikb::kIdDelete, minikb::kScanDelete);
  SetFocus(target);
  KvRegisterSizesOfControls(dialog);
  kb.registered = true;
  // Sized first, then placed: the saved size decides whether it fits under the field.
  ApplySavedSize(dialog);
  PlaceUnderTarget(dialog);
  return FALSE;  // the focus stays with the field
}

// Drawn on the screen; drawn twice it is gone.
void DrawDragRect(const minikb::Rect& d) {
  gdi::WindowDC screen(nullptr);
  const RECT r = {d.left, d.top, d.right, d.bottom};
  if (screen) DrawFocusRect(screen.get(), &r);
}

void OnDestroy(HWND dialog) {
  if (kb.drag.active()) DrawDragRect(kb.drag.rect());
  KvUnregisterSizesOfControls(dialog);
  if (kb.ownFont) DeleteObject(kb.font);
  if (miniKeyboardWindow == dialog) miniKeyboardWindow = nullptr;
  if (inputAuxDialog == dialog) inputAuxDialog = nullptr;
  RECT r;
  if (GetWindowRect(dialog, &r)) {
    char value[16];
    std::snprintf(value, sizeof value, "%d", static_cast<int>(r.right - r.left));
    ini::WriteString(kSettingsFile, kSection, "Largeur", value);
    std::snprintf(value, sizeof value, "%d", static_cast<int>(r.bottom - r.top));
    ini::WriteString(kSettingsFile, kSection, "Hauteur", value);
  }
  ReleaseDialogStyle(dialog);
  if (GetOpenLibraryDialog() == dialog) SetOpenLibraryDialog(nullptr);
  if (kb.focusHook) UnhookWindowsHookEx(kb.focusHook);
  kb = Keyboard{};
}

void PaintBackground(HWND dialog, HDC dc) {
  RECT r;
  GetClientRect(dialog, &r);
  POINT origin;
  SetBrushOrgEx(dc, 0, 0, &origin);
  FillRect(dc, &r, ButtonFaceBrush());
  SetBrushOrgEx(dc, origin.x, origin.y, nullptr);
  gdi::Owned<HPEN> grey(CreatePen(PS_SOLID, 1, 0x808080));
  gdi::Owned<HPEN> white(CreatePen(PS_SOLID, 1, 0xFFFFFF));
  for (int inset = 0; inset < 2; ++inset) {
    const int l = r.left + inset, t = r.top + inset, rr = r.right - 1 - inset, b = r.bottom - 1 - inset;
    {
      gdi::Select pen(dc, grey.get());
      MoveToEx(dc, l, b, nullptr);
      LineTo(dc, rr, b);
      LineTo(dc, rr, t - 1);
    }
    gdi::Select pen(dc, white.get());
    MoveToEx(dc, rr - 1, t, nullptr);
    LineTo(dc, l, t);
    LineTo(dc, l, b);
  }
}



POINT ScreenPoint(HWND dialog, LPARAM lp) {
  POINT p = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
  ClientToScreen(dialog, &p);
  return p;
}

minikb::Rect VirtualScreen() {
  const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return {x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

INT_PTR Answer(HWND dialog, LRESULT result) {
  SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace

HWND MiniKeyboardWindow() { return kb.window; }
HWND MiniKeyboardTarget() { return kb.target; }

void ToggleMiniKeyboard(HWND target, int open) {
  if (!open) {
    if (kb.window) DestroyWindow(kb.window);
    return;
  }
  if (kb.window) {
    if (kb.target) return;
    DestroyWindow(kb.window);  // one whose field went away, still waiting for its close
  }
  if (!target || !IsWindow(target) || StyleEditorOpen()) return;
  const HWND window = KvCreateDialogParam(kMiniKeyboardTemplate, GetDesktopWindow(), MiniKeyboardProc,
                                          reinterpret_cast<LPARAM>(target));
  // Shown without activation: the field keeps the focus.
  if (window && window == kb.window)
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void MiniKeyboardClick(HWND field) { ToggleMiniKeyboard(field, kb.window && kb.target ? 0 : 1); }

void MiniKeyboardFocusLost(HWND field, HWND newFocus) {
  if (kb.window && kb.target == field && !InKeyboard(newFocus)) PostMessageA(kb.window, WM_CLOSE, 0, 0);
}

void MiniKeyboardTargetGone(HWND field) {
  if (!kb.window || kb.target != field) return;
  kb.target = nullptr;
  ShowWindow(kb.window, SW_HIDE);
  PostMessageA(kb.window, WM_CLOSE, 0, 0);
}

INT_PTR CALLBACK MiniKeyboardProc(HWND dialog, UINT message, WPARAM wp, LPARAM lp) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog(dialog, reinterpret_cast<HWND>(lp));
    case WM_COMMAND:
      if (HIWORD(wp) == BN_CLICKED) OnCommand(dialog, LOWORD(wp));
      return TRUE;
    case WM_MOUSEACTIVATE:
      return Answer(dialog, MA_NOACTIVATE);
    case WM_NCHITTEST: {
      RECT r;
      GetWindowRect(dialog, &r);
      const minikb::Point at = {static_cast<short>(LOWORD(lp)) - r.left, static_cast<short>(HIWORD(lp)) - r.top};
      static constexpr LRESULT kCodes[] = {HTCLIENT, HTLEFT, HTRIGHT, HTTOP, HTBOTTOM};
      return Answer(dialog, kCodes[static_cast<int>(minikb::HitTest(SizeOf(r), at, Frame()))]);
    }
    case WM_NCLBUTTONDOWN:
      kb.edgeDrag = minikb::IsTopOrBottomHit(static_cast<int>(wp));
      return FALSE;
    case WM_EXITSIZEMOVE:
      kb.edgeDrag = false;
      return FALSE;
    case WM_WINDOWPOSCHANGING: {
      auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
      if (!kb.registered || dialog != kb.window || (pos->flags & SWP_NOSIZE)) return FALSE;
      RECT r;
      GetWindowRect(dialog, &r);
      const minikb::Size size = minikb::KeepAspect({pos->cx, pos->cy}, SizeOf(r), kb.reference, Frame(), kb.edgeDrag);
      pos->cx = size.width;
      pos->cy = size.height;
      return FALSE;
    }
    case WM_SIZE:
      if (wp != SIZE_MINIMIZED) {
        KvResizeTheControls(dialog);
        InvalidateRect(dialog, nullptr, TRUE);
      }
      return FALSE;
    case WM_ERASEBKGND:
      PaintBackground(dialog, reinterpret_cast<HDC>(wp));
      return Answer(dialog, 1);
    case WM_LBUTTONDOWN: {
      RECT r;
      GetWindowRect(dialog, &r);
      const POINT p = ScreenPoint(dialog, lp);
      kb.drag.Begin(ToRect(r), {p.x, p.y});
      SetCapture(dialog);
      DrawDragRect(kb.drag.rect());
      return TRUE;
    }
    case WM_MOUSEMOVE:
      if (kb.drag.active() && GetCapture() == dialog) {
        const POINT p = ScreenPoint(dialog, lp);
        const minikb::Rect before = kb.drag.rect();
        if (kb.drag.Follow({p.x, p.y}, VirtualScreen())) {
          DrawDragRect(before);
          DrawDragRect(kb.drag.rect());
        }
      }
      return TRUE;
    case WM_LBUTTONUP:
      if (kb.drag.active()) {
        DrawDragRect(kb.drag.rect());
        const std::optional<minikb::Point> to = kb.drag.Release();
        if (to) SetWindowPos(dialog, nullptr, to->x, to->y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (GetCapture() == dialog) ReleaseCapture();
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
      }
      return TRUE;
    case WM_CAPTURECHANGED:
      // Capture taken away mid-drag: the drag ends where it started.
      if (kb.drag.active() && reinterpret_cast<HWND>(lp) != dialog) {
        DrawDragRect(kb.drag.rect());
        kb.drag.Cancel();
      }
      return TRUE;
    case WM_CLOSE:
      DestroyWindow(dialog);
      return TRUE;
    case WM_DESTROY:
      if (dialog == kb.window) OnDestroy(dialog);
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace tamsel
