#include "host/demo/controls_gallery.h"

#include <cstdio>

namespace demo {
namespace {

constexpr int kGalleryTemplate = 2000;
// The gallery's section in the style file: "D70".
constexpr int kGalleryStyle = 70;

using FillFn = int(WINAPI*)(HWND, HDC, int);
using EndFn = int(WINAPI*)(HWND);

struct Gallery {
  FillFn fill = nullptr;
  EndFn end = nullptr;
  std::string ready, done;
  DWORD uiThread = 0;
  HWND dialog = nullptr;
};
Gallery* g_gallery = nullptr;

INT_PTR CALLBACK GalleryProc(HWND dialog, UINT message, WPARAM wp, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      g_gallery->dialog = dialog;
      SetWindowPos(dialog, nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
      return TRUE;
    case WM_ERASEBKGND:
      // The dialog's background and every parent-background request of its controls.
      if (g_gallery->fill) g_gallery->fill(dialog, reinterpret_cast<HDC>(wp), kGalleryStyle);
      SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 1);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) EndDialog(dialog, LOWORD(wp));
      return TRUE;
    case WM_CLOSE:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
    case WM_DESTROY:
      if (g_gallery->end) g_gallery->end(dialog);
      return FALSE;
    default:
      return FALSE;
  }
}

void Say(const char* text) {
  std::printf("Gallery: %s\n", text);
  std::fflush(stdout);
}

// Runs on its own thread while the dialog's thread runs the modal loop: every change goes
// through the controls' messages, as the user's would.
DWORD WINAPI RunScript(LPVOID param) {
  Gallery* g = static_cast<Gallery*>(param);
  for (int i = 0; i < 200 && !g->dialog; ++i) Sleep(50);
  if (!g->dialog) return 1;
  HWND d = g->dialog;
  Sleep(500);
  Say("checks \"Check box\" and \"Transparent\", picks \"Radio two\" and the star, opens \"Page two\"");
  SendMessageA(GetDlgItem(d, 10), BM_CLICK, 0, 0);
  SendMessageA(GetDlgItem(d, 12), BM_CLICK, 0, 0);
  SendMessageA(GetDlgItem(d, 14), BM_CLICK, 0, 0);
  SendMessageA(GetDlgItem(d, 5), BM_CLICK, 0, 0);
  SendMessageA(GetDlgItem(d, 21), WM_USER + 5, 1, 0);
  SendMessageA(GetDlgItem(d, 16), BM_SETCHECK, 1, 0);
  Say("holds \"Pressed\" down and rests the pointer on the save button (hover bitmap, relief, bubble)");
  // The mouse would be over a pressed button: its relief shows sunken.
  SendMessageA(GetDlgItem(d, 7), WM_USER + 4444, 0, 0);
  SendMessageA(GetDlgItem(d, 7), BM_SETSTATE, 1, 0);
  RECT r{};
  GetWindowRect(GetDlgItem(d, 4), &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  Sleep(1500);
  if (FILE* f = std::fopen(g->ready.c_str(), "w")) std::fclose(f);
  for (int i = 0; i < 600 && GetFileAttributesA(g->done.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(100);
  SendMessageA(GetDlgItem(d, 7), BM_SETSTATE, 0, 0);
  Say("closes the gallery");
  PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
  return 0;
}

}  // namespace

int RunControlsGallery(HMODULE controls, const std::string& ready, const std::string& done) {
  Gallery gallery;
  gallery.fill = reinterpret_cast<FillFn>(reinterpret_cast<void*>(GetProcAddress(controls, "FillDlgWithTexture")));
  gallery.end = reinterpret_cast<EndFn>(reinterpret_cast<void*>(GetProcAddress(controls, "EndDlgTexture")));
  gallery.ready = ready;
  gallery.done = done;
  g_gallery = &gallery;
  HANDLE script = nullptr;
  if (!ready.empty()) script = CreateThread(nullptr, 0, RunScript, &gallery, 0, nullptr);
  const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kGalleryTemplate), nullptr,
                                         GalleryProc, 0);
  if (script) {
    WaitForSingleObject(script, 10000);
    CloseHandle(script);
  }
  g_gallery = nullptr;
  if (result <= 0) {
    std::fprintf(stderr, "the gallery dialog did not open\n");
    return 1;
  }
  return 0;
}

}  // namespace demo
