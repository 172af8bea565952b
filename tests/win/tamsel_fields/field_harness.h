// What the input field and combo box tests share: the library built in, a dialog from a
// template, watched by the message recorder, keys and characters sent as the keyboard
// would, the clipboard, and counts of live objects.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "msg_recorder.h"

namespace fields_test {

// (control identifier, notification code)
using Note = std::pair<int, int>;

// The library's load work, with this program as its module (global classes, built-in style).
void AttachLibrary();

struct Dialog {
  HWND window = nullptr;
  // What the dialog is told (WM_COMMAND), in order.
  wintest::MsgRecorder rec;
  std::vector<Note> Notes() const;

  bool Open(int templateId);
  void Close();
  HWND Item(int id) const { return GetDlgItem(window, id); }
  std::string Text(int id) const;
  void Focus(int id);
  void Char(int id, char c);
  void Type(int id, std::string_view chars);
  // WM_KEYDOWN with Shift and Ctrl held as asked (the thread's key state).
  void Key(int id, int vk, bool shift = false, bool ctrl = false);
};

// Sends to `target` with Shift and Ctrl held as asked.
LRESULT SendWithKeys(HWND target, UINT msg, WPARAM wp, LPARAM lp, bool shift, bool ctrl);

std::string ClipboardText();
// `size` bytes as CF_TEXT, exactly as given (no terminator added).
bool PutClipboardBytes(const char* bytes, size_t size);

size_t LiveGdiObjects();
size_t PrivateBytes();

}  // namespace fields_test
