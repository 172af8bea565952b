// A test resource module: exports "KVDialogBoxParam" as a host resource module does and holds a
// trivial template 4. It records every call so that tests can check what the library asked.
#pragma once

#include <windows.h>

constexpr int kTestEditorOkButton = IDOK;
constexpr const char* kTestEditorCaption = "Tamsel test style editor";

// The tabbed dialog (tab buttons 301 to 303, IDOK, IDCANCEL "&Cancel"), its child page (controls
// 411 to 415) and its popup page (421, 422).
constexpr int kTestTabDialog = 20;
constexpr int kTestTabPageChild = 21;
constexpr int kTestTabPagePopup = 22;

struct TestResCall {
  HINSTANCE instance;
  LPCSTR templateName;
  HWND owner;
  DLGPROC proc;
  LPARAM param;
};

extern "C" {
// Calls of "KVDialogBoxParam" so far, and the arguments of the last one.
int TestResCallCount();
void TestResLastCall(TestResCall* out);
void TestResReset();
}
