// A test resource module: exports "KVDialogBoxParam" as a host resource module does and holds a
// trivial template 4. It records every call so that tests can check what the library asked.
#pragma once

#include <windows.h>

constexpr int kTestEditorOkButton = IDOK;
constexpr const char* kTestEditorCaption = "Tamsel test style editor";

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
