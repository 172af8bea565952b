#include "testres.h"

namespace {

HINSTANCE self = nullptr;
int calls = 0;
TestResCall last = {};

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) self = module;
  return TRUE;
}

// Runs the template of this module with the caller's instance, as the host's modules do.
extern "C" INT_PTR WINAPI KVDialogBoxParam(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param) {
  ++calls;
  last = TestResCall{instance, name, owner, proc, param};
  HRSRC found = FindResourceA(self, name, MAKEINTRESOURCEA(5));
  HGLOBAL loaded = found ? LoadResource(self, found) : nullptr;
  auto* dialog = loaded ? static_cast<LPCDLGTEMPLATEA>(LockResource(loaded)) : nullptr;
  if (!dialog) return -1;
  return DialogBoxIndirectParamA(instance, dialog, owner, proc, param);
}

extern "C" int TestResCallCount() { return calls; }
extern "C" void TestResLastCall(TestResCall* out) {
  if (out) *out = last;
}
extern "C" void TestResReset() {
  calls = 0;
  last = TestResCall{};
}
