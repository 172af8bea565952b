#include "msg_recorder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>

namespace wintest {
namespace {

// Every subclassed window of the thread, whichever recorder watches it. An entry whose recorder
// has gone stays until the window dies when someone subclassed the window after us: removing
// ours would cut their chain.
struct Subclass {
  HWND hwnd;
  WNDPROC previous;
  MsgRecorder* rec;
  const char* who;
  unsigned flags;
};
std::vector<Subclass> g_subclasses;

struct CreateWatch {
  MsgRecorder* rec;
  std::string className;
  const char* who;
  unsigned flags;
};
std::vector<CreateWatch> g_createWatches;

HHOOK g_getMessageHook = nullptr;
HHOOK g_cbtHook = nullptr;
int g_recorders = 0;
MSG g_retrieved = {};  // the last message the loop removed from the queue
bool g_haveRetrieved = false;
int g_depth = 0;  // recorded messages being handled

Subclass* Find(HWND w) {
  for (Subclass& s : g_subclasses)
    if (s.hwnd == w) return &s;
  return nullptr;
}

LRESULT CALLBACK RecordingProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  const Subclass* s = Find(w);
  if (!s) return DefWindowProcA(w, m, wp, lp);
  const WNDPROC previous = s->previous;
  const bool posted = g_haveRetrieved && g_retrieved.hwnd == w && g_retrieved.message == m &&
                      g_retrieved.wParam == wp && g_retrieved.lParam == lp;
  if (posted) g_haveRetrieved = false;
  const bool kept =
      s->rec && s->rec->Record(w, s->who, s->flags, m, wp, lp, (posted ? kPosted : kSent) | (g_depth ? kNested : 0u));
  g_depth += kept;
  const LRESULT result = CallWindowProcA(previous, w, m, wp, lp);
  g_depth -= kept;
  if (m == WM_NCDESTROY) {
    for (auto it = g_subclasses.begin(); it != g_subclasses.end(); ++it)
      if (it->hwnd == w) {
        g_subclasses.erase(it);
        break;
      }
  }
  return result;
}

LRESULT CALLBACK GetMessageHook(int code, WPARAM removed, LPARAM lp) {
  if (code == HC_ACTION && removed == PM_REMOVE) {
    g_retrieved = *reinterpret_cast<const MSG*>(lp);
    g_haveRetrieved = true;
  }
  return CallNextHookEx(nullptr, code, removed, lp);
}

// At HCBT_CREATEWND the window exists with its class procedure and has received nothing yet.
LRESULT CALLBACK CreationHook(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_CREATEWND) {
    HWND w = reinterpret_cast<HWND>(wp);
    char name[128] = {};
    GetClassNameA(w, name, sizeof name);
    for (const CreateWatch& c : g_createWatches)
      if (lstrcmpiA(name, c.className.c_str()) == 0) {
        c.rec->Watch(w, c.who, c.flags);
        break;
      }
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

bool IsNotification(UINT m) {
  switch (m) {
    case WM_COMMAND: case WM_NOTIFY: case WM_PARENTNOTIFY: case WM_DRAWITEM: case WM_MEASUREITEM:
    case WM_DELETEITEM: case WM_COMPAREITEM: case WM_VKEYTOITEM: case WM_CHARTOITEM: case WM_HSCROLL:
    case WM_VSCROLL:
      return true;
    default:
      return m >= WM_CTLCOLORMSGBOX && m <= WM_CTLCOLORSTATIC;
  }
}

#define NAME(m) {m, #m}
const std::pair<UINT, const char*> kNames[] = {
    NAME(WM_NULL), NAME(WM_CREATE), NAME(WM_DESTROY), NAME(WM_MOVE), NAME(WM_SIZE), NAME(WM_ACTIVATE),
    NAME(WM_SETFOCUS), NAME(WM_KILLFOCUS), NAME(WM_ENABLE), NAME(WM_SETREDRAW), NAME(WM_SETTEXT),
    NAME(WM_GETTEXT), NAME(WM_GETTEXTLENGTH), NAME(WM_PAINT), NAME(WM_CLOSE), NAME(WM_QUIT),
    NAME(WM_ERASEBKGND), NAME(WM_SHOWWINDOW), NAME(WM_ACTIVATEAPP), NAME(WM_CANCELMODE), NAME(WM_SETCURSOR),
    NAME(WM_MOUSEACTIVATE), NAME(WM_CHILDACTIVATE), NAME(WM_GETMINMAXINFO), NAME(WM_DRAWITEM),
    NAME(WM_MEASUREITEM), NAME(WM_DELETEITEM), NAME(WM_VKEYTOITEM), NAME(WM_CHARTOITEM), NAME(WM_SETFONT),
    NAME(WM_GETFONT), NAME(WM_COMPAREITEM), NAME(WM_WINDOWPOSCHANGING), NAME(WM_WINDOWPOSCHANGED),
    NAME(WM_NOTIFY), NAME(WM_CONTEXTMENU), NAME(WM_STYLECHANGING), NAME(WM_STYLECHANGED), NAME(WM_GETICON),
    NAME(WM_NCCREATE), NAME(WM_NCDESTROY), NAME(WM_NCCALCSIZE), NAME(WM_NCHITTEST), NAME(WM_NCPAINT),
    NAME(WM_NCACTIVATE), NAME(WM_GETDLGCODE), NAME(WM_NCMOUSEMOVE), NAME(WM_NCLBUTTONDOWN),
    NAME(WM_NCLBUTTONUP), NAME(WM_KEYDOWN), NAME(WM_KEYUP), NAME(WM_CHAR), NAME(WM_SYSKEYDOWN),
    NAME(WM_SYSKEYUP), NAME(WM_SYSCHAR), NAME(WM_INITDIALOG), NAME(WM_COMMAND), NAME(WM_SYSCOMMAND),
    NAME(WM_TIMER), NAME(WM_HSCROLL), NAME(WM_VSCROLL), NAME(WM_ENTERIDLE), NAME(WM_CTLCOLORMSGBOX),
    NAME(WM_CTLCOLOREDIT), NAME(WM_CTLCOLORLISTBOX), NAME(WM_CTLCOLORBTN), NAME(WM_CTLCOLORDLG),
    NAME(WM_CTLCOLORSCROLLBAR), NAME(WM_CTLCOLORSTATIC), NAME(WM_MOUSEMOVE), NAME(WM_LBUTTONDOWN),
    NAME(WM_LBUTTONUP), NAME(WM_LBUTTONDBLCLK), NAME(WM_RBUTTONDOWN), NAME(WM_RBUTTONUP),
    NAME(WM_RBUTTONDBLCLK), NAME(WM_MBUTTONDOWN), NAME(WM_MBUTTONUP), NAME(WM_MOUSEWHEEL),
    NAME(WM_PARENTNOTIFY), NAME(WM_SIZING), NAME(WM_CAPTURECHANGED), NAME(WM_MOVING), NAME(WM_ENTERSIZEMOVE),
    NAME(WM_EXITSIZEMOVE), NAME(WM_IME_SETCONTEXT), NAME(WM_IME_NOTIFY), NAME(WM_MOUSEHOVER),
    NAME(WM_MOUSELEAVE), NAME(WM_CUT), NAME(WM_COPY), NAME(WM_PASTE), NAME(WM_CLEAR), NAME(WM_UNDO),
    NAME(WM_PRINT), NAME(WM_PRINTCLIENT), NAME(WM_GETOBJECT), NAME(BM_GETCHECK), NAME(BM_SETCHECK),
    NAME(BM_GETSTATE), NAME(BM_SETSTATE), NAME(BM_SETSTYLE), NAME(BM_CLICK), NAME(BM_GETIMAGE),
    NAME(BM_SETIMAGE), NAME(EM_GETSEL), NAME(EM_SETSEL), NAME(EM_REPLACESEL), NAME(EM_LIMITTEXT),
    NAME(EM_SETREADONLY), NAME(CB_ADDSTRING), NAME(CB_GETCOUNT), NAME(CB_GETCURSEL), NAME(CB_SETCURSEL),
    NAME(CB_GETLBTEXT), NAME(CB_RESETCONTENT), NAME(CB_SHOWDROPDOWN), NAME(CB_GETDROPPEDSTATE),
    NAME(STM_SETIMAGE), NAME(STM_GETIMAGE),
};
#undef NAME

std::map<UINT, std::string>& PrivateNames() {
  static std::map<UINT, std::string> names;
  return names;
}

std::string Hex(uintptr_t v) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(v));
  return text;
}

std::string Describe(const Expect& e) {
  if (e.message == kMarkerMessage) return "--- marker " + std::to_string(e.wParam) + " ---";
  std::string s = MessageName(e.message);
  if (e.flags & kSent) s += " sent";
  if (e.flags & kPosted) s += " posted";
  if (e.flags & kNested) s += " nested";
  if (e.flags & kParent) s += " parent";
  if (e.who) s += std::string(" [") + e.who + "]";
  if (e.flags & kWparam) s += " wp=" + Hex(e.wParam);
  if (e.flags & kLparam) s += " lp=" + Hex(static_cast<uintptr_t>(e.lParam));
  if (e.flags & kOptional) s += " (optional)";
  return s;
}

std::string Describe(const MsgRecord& r) {
  if (r.message == kMarkerMessage) return "--- marker " + std::to_string(r.wParam) + " ---";
  std::string s = MessageName(r.message);
  s += (r.flags & kPosted) ? " posted" : " sent";
  if (r.flags & kNested) s += " nested";
  if (r.flags & kParent) s += " parent";
  s += std::string(" [") + (r.who ? r.who : "?") + "]";
  s += " wp=" + Hex(r.wParam) + " lp=" + Hex(static_cast<uintptr_t>(r.lParam));
  return s;
}

bool Matches(const Expect& e, const MsgRecord& r) {
  if (e.message != r.message || (e.flags & kParent) != (r.flags & kParent)) return false;
  for (unsigned f : {kSent, kPosted, kNested})
    if ((e.flags & f) && !(r.flags & f)) return false;
  if ((e.flags & kWparam) && e.wParam != r.wParam) return false;
  if ((e.flags & kLparam) && e.lParam != r.lParam) return false;
  return !e.who || (r.who && std::strcmp(e.who, r.who) == 0);
}

}  // namespace

MsgRecorder::MsgRecorder() {
  // Noise that Wine or the system may send to any window at any time.
  ignored_ = {WM_GETICON,      WM_GETOBJECT,   WM_IME_SETCONTEXT, WM_IME_NOTIFY, WM_TIMECHANGE,
              WM_DEVICECHANGE, WM_SETTINGCHANGE, WM_DISPLAYCHANGE, 0x031F /* WM_DWMNCRENDERINGCHANGED */};
  if (g_recorders++ == 0)
    g_getMessageHook = SetWindowsHookExA(WH_GETMESSAGE, GetMessageHook, nullptr, GetCurrentThreadId());
}

MsgRecorder::~MsgRecorder() {
  for (auto it = g_subclasses.begin(); it != g_subclasses.end();) {
    if (it->rec != this) {
      ++it;
    } else if (GetWindowLongPtrA(it->hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&RecordingProc)) {
      SetWindowLongPtrA(it->hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->previous));
      it = g_subclasses.erase(it);
    } else {
      it->rec = nullptr;
      ++it;
    }
  }
  std::erase_if(g_createWatches, [this](const CreateWatch& c) { return c.rec == this; });
  if (g_createWatches.empty() && g_cbtHook) {
    UnhookWindowsHookEx(g_cbtHook);
    g_cbtHook = nullptr;
  }
  if (ownParent_) DestroyWindow(ownParent_);
  if (--g_recorders == 0) {
    UnhookWindowsHookEx(g_getMessageHook);
    g_getMessageHook = nullptr;
    g_haveRetrieved = false;
  }
}

const char* MsgRecorder::Keep(const char* who) { return names_.emplace_back(who ? who : "").c_str(); }

void MsgRecorder::Watch(HWND w, const char* who, unsigned flags) {
  who = Keep(who);
  flags &= kParent;
  if (Subclass* s = Find(w)) {
    *s = Subclass{w, s->previous, this, who, flags};
    return;
  }
  const auto previous =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingProc)));
  if (previous) g_subclasses.push_back({w, previous, this, who, flags});
}

void MsgRecorder::WatchCreated(const char* className, const char* who, unsigned flags) {
  g_createWatches.push_back({this, className, Keep(who), flags});
  if (!g_cbtHook) g_cbtHook = SetWindowsHookExA(WH_CBT, CreationHook, nullptr, GetCurrentThreadId());
}

HWND MsgRecorder::MakeParent(const char* who, DWORD style) {
  static const char kClass[] = "wintest_msg_parent";
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA wc = {};
  if (!GetClassInfoA(instance, kClass, &wc)) {
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kClass;
    RegisterClassA(&wc);
  }
  if (ownParent_) DestroyWindow(ownParent_);
  // Shown without activation: Wine takes seconds to destroy an activated top-level window.
  ownParent_ = CreateWindowExA(0, kClass, who, style & ~WS_VISIBLE, 40, 40, 400, 300, nullptr, nullptr, instance,
                               nullptr);
  if (!ownParent_) return nullptr;
  if (style & WS_VISIBLE) ShowWindow(ownParent_, SW_SHOWNOACTIVATE);
  Watch(ownParent_, who, kParent);
  return ownParent_;
}

void MsgRecorder::Only(std::initializer_list<UINT> messages) { only_ = messages; }
void MsgRecorder::Ignore(std::initializer_list<UINT> messages) { ignored_.insert(messages.begin(), messages.end()); }

bool MsgRecorder::Wanted(unsigned windowFlags, UINT message) const {
  if (!only_.empty()) return only_.count(message) != 0;
  if (ignored_.count(message)) return false;
  return !(windowFlags & kParent) || IsNotification(message);
}

bool MsgRecorder::Record(HWND w, const char* who, unsigned windowFlags, UINT message, WPARAM wParam, LPARAM lParam,
                         unsigned delivery) {
  if (!Wanted(windowFlags, message)) return false;
  // The header is gone once the call returns; its code is what tests compare.
  if (message == WM_NOTIFY && lParam) lParam = static_cast<LPARAM>(reinterpret_cast<const NMHDR*>(lParam)->code);
  records_.push_back({w, who, message, wParam, lParam, delivery | windowFlags});
  return true;
}

void MsgRecorder::Mark(WPARAM tag) { records_.push_back({nullptr, "marker", kMarkerMessage, tag, 0, kSent}); }

size_t MsgRecorder::Count(UINT message, HWND w) const {
  size_t n = 0;
  for (const MsgRecord& r : records_) n += r.message == message && (!w || r.hwnd == w);
  return n;
}

bool ExpectSequence(MsgRecorder& rec, std::span<const Expect> table, const char* context, std::source_location where) {
  const std::vector<MsgRecord>& got = rec.records();
  std::ostringstream out;
  auto line = [&](const char* verdict, const std::string& want, const std::string& seen) {
    out << verdict << ' ' << want << std::string(want.size() < 44 ? 44 - want.size() : 1, ' ') << "| " << seen
        << '\n';
  };
  size_t i = 0, j = 0;
  bool ok = true;
  while (ok && i < table.size() && j < got.size()) {
    if (Matches(table[i], got[j])) {
      line("  ", Describe(table[i++]), Describe(got[j++]));
    } else if (table[i].flags & kOptional) {
      line(" ~", Describe(table[i++]), "");
    } else {
      line("!=", Describe(table[i++]), Describe(got[j++]));
      ok = false;
    }
  }
  while (ok && i < table.size() && (table[i].flags & kOptional)) line(" ~", Describe(table[i++]), "");
  if (ok && (i < table.size() || j < got.size())) {
    ok = false;
    const std::string want = i < table.size() ? Describe(table[i++]) : "(end)";
    line("!=", want, j < got.size() ? Describe(got[j++]) : "(end)");
  }
  if (!ok) {
    while (i < table.size() || j < got.size()) {
      const std::string want = i < table.size() ? Describe(table[i++]) : "";
      line("  ", want, j < got.size() ? Describe(got[j++]) : "");
    }
    ADD_FAILURE_AT(where.file_name(), static_cast<int>(where.line()))
        << context << ": the messages differ from the expected sequence\n"
        << "   expected" << std::string(36, ' ') << "| received\n"
        << out.str();
  }
  rec.Clear();
  return ok;
}

bool ExpectSequence(MsgRecorder& rec, std::initializer_list<Expect> table, const char* context,
                    std::source_location where) {
  return ExpectSequence(rec, std::span<const Expect>(table.begin(), table.size()), context, where);
}

std::string MessageName(UINT message) {
  const auto named = PrivateNames().find(message);
  if (named != PrivateNames().end()) return named->second;
  for (const auto& [m, name] : kNames)
    if (m == message) return name;
  if (message >= WM_APP && message < 0xC000) return "WM_APP+" + std::to_string(message - WM_APP);
  if (message >= WM_USER && message < WM_APP) return "WM_USER+" + std::to_string(message - WM_USER);
  return Hex(message);
}

void NameMessage(UINT message, const char* name) { PrivateNames()[message] = name; }

}  // namespace wintest
