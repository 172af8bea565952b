#include "controls_fixture.h"

namespace ctltest {
namespace {

wintest::TempDir* dir = nullptr;
HMODULE libraryCopy = nullptr;
HMODULE hostRes = nullptr;

LRESULT CALLBACK ParentProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_ERASEBKGND) {
    RECT r;
    GetClientRect(w, &r);
    HBRUSH b = CreateSolidBrush(kParentColour);
    FillRect(reinterpret_cast<HDC>(wp), &r, b);
    DeleteObject(b);
    return 1;
  }
  return DefWindowProcA(w, m, wp, lp);
}

}  // namespace

HMODULE HostRes() { return hostRes; }

size_t LiveGdiObjects() {
  size_t n = 0;
  for (uintptr_t i = 1; i < 0x10000; ++i)
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(i))) ++n;
  return n;
}

void Controls::SetUpTestSuite() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = ParentProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "CtlTestParent";
  RegisterClassA(&wc);
  dir = new wintest::TempDir("ctl");
  const std::string copy = dir->path() + "tamselctl.dll";
  ASSERT_TRUE(wintest::CopyFileTo(wintest::ProgramDir() + "TamselTestRes.dll", copy));
  libraryCopy = LoadLibraryA(copy.c_str());
  ASSERT_NE(libraryCopy, nullptr);
  ASSERT_TRUE(tamsel::LibraryAttach(libraryCopy));
  hostRes = LoadLibraryA("HostRes.dll");
  ASSERT_NE(hostRes, nullptr);
  CtrlSetLanguageDllInstance(hostRes, nullptr);
}

void Controls::TearDownTestSuite() {
  tamsel::LibraryDetach();
  ResetGlobalStyle();
  FreeLibrary(hostRes);
  FreeLibrary(libraryCopy);
  delete dir;
}

void Controls::SetUp() {
  parent = CreateWindowExA(0, "CtlTestParent", "controls", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(parent, nullptr);
}

void Controls::TearDown() {
  DestroyWindow(parent);
  ResetGlobalStyle();
}

HWND Controls::Make(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id,
                    HINSTANCE instance) {
  return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance ? instance : GetModuleHandleA(nullptr),
                         nullptr);
}

void Controls::Print(HWND control, wintest::Canvas32& canvas) {
  SendMessageA(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
  GdiFlush();
}

}  // namespace ctltest
