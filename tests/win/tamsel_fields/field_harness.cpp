#include "field_harness.h"

#include <psapi.h>

#include <cstring>

#include "controls/core/library.h"
#include "wintest.h"

namespace fields_test {
namespace {

INT_PTR CALLBACK DialogProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

}  // namespace

void AttachLibrary() {
  if (!tamsel::libraryInstance) tamsel::LibraryAttach(GetModuleHandleA(nullptr));
}

bool Dialog::Open(int templateId) {
  window = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), nullptr, DialogProc, 0);
  if (!window) return false;
  rec.Watch(window, "dialog", wintest::kParent);
  rec.Only({WM_COMMAND});
  SetForegroundWindow(window);
  wintest::Pump(10);
  rec.Clear();
  return true;
}

std::vector<Note> Dialog::Notes() const {
  std::vector<Note> notes;
  for (const wintest::MsgRecord& r : rec.records())
    if (r.message == WM_COMMAND && r.lParam) notes.emplace_back(LOWORD(r.wParam), HIWORD(r.wParam));
  return notes;
}

void Dialog::Close() {
  if (window) DestroyWindow(window);
  window = nullptr;
  wintest::Pump();
}

std::string Dialog::Text(int id) const {
  char buf[9000] = {};
  const int n = GetWindowTextA(Item(id), buf, sizeof buf);
  return std::string(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

void Dialog::Focus(int id) {
  SetFocus(Item(id));
  wintest::Pump();
}

void Dialog::Char(int id, char c) {
  SendMessageA(Item(id), WM_CHAR, static_cast<unsigned char>(c), 1);
  wintest::Pump();
}

void Dialog::Type(int id, std::string_view chars) {
  for (const char c : chars) Char(id, c);
}

LRESULT SendWithKeys(HWND target, UINT msg, WPARAM wp, LPARAM lp, bool shift, bool ctrl) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  BYTE held[256];
  std::memcpy(held, keys, sizeof held);
  held[VK_SHIFT] = shift ? 0x80 : 0;
  held[VK_CONTROL] = ctrl ? 0x80 : 0;
  SetKeyboardState(held);
  const LRESULT r = SendMessageA(target, msg, wp, lp);
  SetKeyboardState(keys);
  return r;
}

void Dialog::Key(int id, int vk, bool shift, bool ctrl) {
  SendWithKeys(Item(id), WM_KEYDOWN, static_cast<WPARAM>(vk), 1, shift, ctrl);
  wintest::Pump();
}

std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(h))) {
      text.assign(p, strnlen(p, GlobalSize(h)));
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  return text;
}

bool PutClipboardBytes(const char* bytes, size_t size) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  bool ok = false;
  if (HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size)) {
    std::memcpy(GlobalLock(h), bytes, size);
    GlobalUnlock(h);
    ok = SetClipboardData(CF_TEXT, h) != nullptr;
    if (!ok) GlobalFree(h);
  }
  CloseClipboard();
  return ok;
}

size_t LiveGdiObjects() {
  const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (reported) return reported;
  size_t n = 0;
  for (uintptr_t i = 1; i < 0x10000; ++i)
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(i))) ++n;
  return n;
}

size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  return K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters) ? counters.PagefileUsage : 0;
}

}  // namespace fields_test
