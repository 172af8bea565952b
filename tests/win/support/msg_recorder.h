// Message sequences for tests of real windows: what a control receives and what its parent is
// told, compared with a table that may leave some entries optional.
//
// Usage (a control under test, its parent made by the recorder):
//
//   wintest::MsgRecorder rec;
//   HWND parent = rec.MakeParent();                       // records notifications only
//   HWND b = CreateWindowExA(0, "BOUTON", "OK", WS_CHILD | WS_VISIBLE, 10, 10, 80, 24, parent,
//                            reinterpret_cast<HMENU>(7), nullptr, nullptr);
//   rec.Watch(b, "button");                               // every message the control receives
//   rec.Only({WM_LBUTTONDOWN, WM_CAPTURECHANGED, WM_LBUTTONUP, WM_COMMAND});  // the rest is noise here
//   rec.Clear();
//   SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, 0);
//   SendMessageA(b, WM_LBUTTONUP, 0, 0);
//   wintest::ExpectSequence(rec, {
//       {WM_LBUTTONDOWN, wintest::kSent},
//       {WM_CAPTURECHANGED, wintest::kOptional},
//       {WM_LBUTTONUP, wintest::kSent},
//       {WM_COMMAND, wintest::kParent | wintest::kWparam | wintest::kNested, MAKEWPARAM(7, BN_CLICKED)},
//   }, "click");
//
// - Watch() subclasses a window that exists (and removes itself when the recorder dies or the
//   window is destroyed); WatchCreated() catches every window of a class from its WM_NCCREATE on,
//   for controls that a dialog template creates.
// - Watch(w, name, kParent) records only what a parent is told (WM_COMMAND, WM_NOTIFY with its
//   code in lParam, WM_CTLCOLOR*, WM_DRAWITEM, scroll messages...); Only() narrows what is kept
//   for every watched window (WM_ERASEBKGND for a parent-background request, say).
// - One recorder keeps one ordered list for all the windows it watches; `who` tells them apart in
//   the listing and, when an entry names it, in the comparison.
// - Mark(tag) ends one phase of a test; Marker(tag) matches it in a table. Count() is for waiting
//   until something arrived (PumpUntil), the table for asserting what arrived.
// - ExpectSequence() reports a readable side-by-side listing on mismatch and clears the recorder.
//   Optional entries are skipped when they do not match (greedily, as the standard conformance
//   tests do). NameMessage() gives private messages readable names in the listing. A table
//   may also be a `static const wintest::Expect kName[]`, shared by the cases that expect it.
// - MakeParent() shows a popup without activating it: an overlapped or activated top-level window
//   takes Wine about two seconds to destroy. Where cases need another kind, keep one parent for
//   the suite and a recorder per case that Watch()es it.
// Sent or posted: a message counts as posted when the thread's message loop retrieved it just
// before the window got it. Everything runs on the test's thread; windows are ANSI.
#pragma once

#include <windows.h>

#include <deque>
#include <initializer_list>
#include <set>
#include <source_location>
#include <span>
#include <string>
#include <vector>

namespace wintest {

enum MsgFlags : unsigned {
  kSent = 1u << 0,      // through SendMessage (or a direct call of the window procedure)
  kPosted = 1u << 1,    // retrieved from the queue by the message loop
  kParent = 1u << 2,    // received by a window watched as a parent
  kNested = 1u << 3,    // received while a recorded message was still being handled
  kOptional = 1u << 4,  // table only: may be absent
  kWparam = 1u << 5,    // table only: wParam must match
  kLparam = 1u << 6,    // table only: lParam must match
};

// Recorded in order by Mark(); never sent to a window.
constexpr UINT kMarkerMessage = WM_APP + 0x3F00;

struct MsgRecord {
  HWND hwnd;
  const char* who;  // the name given to Watch()
  UINT message;
  WPARAM wParam;
  LPARAM lParam;  // for WM_NOTIFY, the notification code
  unsigned flags;  // kSent or kPosted, kParent, kNested
};

// One entry of an expected sequence. kSent, kPosted and kNested are compared when the entry names
// them; kParent always; `who` when given.
struct Expect {
  UINT message;
  unsigned flags = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  const char* who = nullptr;
};

constexpr Expect Marker(WPARAM tag) { return Expect{kMarkerMessage, kWparam, tag}; }

class MsgRecorder {
 public:
  MsgRecorder();
  ~MsgRecorder();
  MsgRecorder(const MsgRecorder&) = delete;
  MsgRecorder& operator=(const MsgRecorder&) = delete;

  // Subclasses `w`; `flags` may be kParent.
  void Watch(HWND w, const char* who = "window", unsigned flags = 0);
  // Watches each window of `className` created from now on (a thread hook), from its first message.
  void WatchCreated(const char* className, const char* who, unsigned flags = 0);
  // A top-level window (by default a visible popup) watched as a parent, destroyed with the recorder.
  HWND MakeParent(const char* who = "parent", DWORD style = WS_POPUP | WS_VISIBLE);

  // Keeps only these messages from now on (markers always; an empty list keeps all but the
  // noise); Ignore() adds to the noise left out.
  void Only(std::initializer_list<UINT> messages);
  void Ignore(std::initializer_list<UINT> messages);

  void Mark(WPARAM tag);
  void Clear() { records_.clear(); }
  const std::vector<MsgRecord>& records() const { return records_; }
  // How many of `message` were recorded, by `w` or by any window (for waiting on an event).
  size_t Count(UINT message, HWND w = nullptr) const;

  // Called by the subclass procedure; false when the message is left out.
  bool Record(HWND w, const char* who, unsigned windowFlags, UINT message, WPARAM wParam, LPARAM lParam,
              unsigned delivery);

 private:
  const char* Keep(const char* who);
  bool Wanted(unsigned windowFlags, UINT message) const;

  std::vector<MsgRecord> records_;
  std::deque<std::string> names_;  // stable storage for `who`
  std::set<UINT> only_, ignored_;
  HWND ownParent_ = nullptr;
};

// Compares the records with the table; on mismatch adds one gtest failure at the caller's line,
// naming `context`, with both sequences side by side. Clears the recorder either way.
bool ExpectSequence(MsgRecorder& rec, std::span<const Expect> table, const char* context,
                    std::source_location where = std::source_location::current());
bool ExpectSequence(MsgRecorder& rec, std::initializer_list<Expect> table, const char* context,
                    std::source_location where = std::source_location::current());

// The readable name of a message ("WM_COMMAND", "WM_USER+1", a registered name, or hex).
std::string MessageName(UINT message);
void NameMessage(UINT message, const char* name);

}  // namespace wintest
