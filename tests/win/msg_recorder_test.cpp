// The message recorder itself: what it calls sent, posted, nested and parent, how optional entries
// and mismatches are reported, and that it leaves windows as it found them.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "msg_recorder.h"
#include "wintest.h"

namespace {

using namespace wintest;

constexpr UINT kPing = WM_USER + 7;

LRESULT CALLBACK Answer42(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  return m == kPing ? 42 : DefWindowProcA(w, m, wp, lp);
}

HWND PlainWindow() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = Answer42;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "RecorderTestPlain";
  RegisterClassA(&wc);
  return CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, wc.hInstance, nullptr);
}

TEST(MsgRecorder, TellsSentFromPostedAndSeesTheParentToldWhileTheControlHandlesTheClick) {
  MsgRecorder rec;
  HWND parent = rec.MakeParent();
  ASSERT_NE(parent, nullptr);
  HWND button = CreateWindowExA(0, "BUTTON", "b", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 80, 30, parent,
                                reinterpret_cast<HMENU>(7), nullptr, nullptr);
  rec.Watch(button, "button");
  Pump(20);
  rec.Only({kPing, WM_USER + 8, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_COMMAND});
  rec.Clear();
  PostMessageA(button, kPing, 1, 2);
  SendMessageA(button, WM_USER + 8, 3, 4);
  PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  Pump(20);
  ExpectSequence(rec,
                 {{WM_USER + 8, kSent | kWparam | kLparam, 3, 4, "button"},
                  {kPing, kPosted | kWparam | kLparam, 1, 2},
                  {WM_LBUTTONDOWN, kPosted},
                  {WM_LBUTTONUP, kPosted},
                  {WM_COMMAND, kParent | kSent | kNested | kWparam, MAKEWPARAM(7, BN_CLICKED)}},
                 "click");
}

TEST(MsgRecorder, SkipsOptionalEntriesAndListsBothSequencesOnMismatch) {
  NameMessage(kPing, "KCM_PING");
  MsgRecorder rec;
  HWND w = PlainWindow();
  rec.Watch(w, "plain");
  rec.Mark(1);
  SendMessageA(w, kPing, 0, 0);
  rec.Mark(2);
  EXPECT_TRUE(ExpectSequence(rec, {Marker(1), {WM_PAINT, kOptional}, {kPing, kSent}, Marker(2), {WM_SIZE, kOptional}},
                             "optional entries"));

  auto twice = [&] {
    rec.Mark(1);
    SendMessageA(w, kPing, 0, 0);
  };
  twice();
  EXPECT_NONFATAL_FAILURE(ExpectSequence(rec, {Marker(1), {kPing, kPosted}}, "delivery"), "!= KCM_PING posted");
  twice();
  EXPECT_NONFATAL_FAILURE(ExpectSequence(rec, {Marker(1), {kPing}, {WM_CLOSE}}, "missing"), "!= WM_CLOSE");
  twice();
  EXPECT_NONFATAL_FAILURE(ExpectSequence(rec, {Marker(1)}, "extra"), "| KCM_PING sent [plain]");
  twice();
  EXPECT_NONFATAL_FAILURE(ExpectSequence(rec, {Marker(1), {kPing, 0, 0, 0, "other"}}, "who"), "!= KCM_PING [other]");
  EXPECT_TRUE(rec.records().empty()) << "each comparison clears the recorder";
  DestroyWindow(w);
}

WNDPROC g_under = nullptr;
LRESULT CALLBACK OnTop(HWND w, UINT m, WPARAM wp, LPARAM lp) { return CallWindowProcA(g_under, w, m, wp, lp); }

TEST(MsgRecorder, CatchesCreatedWindowsFromTheirFirstMessageAndLeavesWindowsWorking) {
  HWND plain = PlainWindow();
  const LONG_PTR original = GetWindowLongPtrA(plain, GWLP_WNDPROC);
  {
    MsgRecorder rec;
    rec.Only({WM_NCCREATE, WM_CREATE, WM_NCDESTROY});
    rec.WatchCreated("button", "created");
    rec.Watch(plain);
    HWND b = CreateWindowExA(0, "Button", "", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(b);
    ExpectSequence(rec, {{WM_NCCREATE, kSent, 0, 0, "created"}, {WM_CREATE}, {WM_NCDESTROY}}, "created");
  }
  EXPECT_EQ(GetWindowLongPtrA(plain, GWLP_WNDPROC), original) << "the subclass is removed";

  // Subclassed again after the recorder: its procedure stays in the chain after the recorder goes.
  {
    MsgRecorder rec;
    rec.Watch(plain);
    g_under = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(plain, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OnTop)));
  }
  EXPECT_EQ(SendMessageA(plain, kPing, 0, 0), 42);
  DestroyWindow(plain);
}

}  // namespace
