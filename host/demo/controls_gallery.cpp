#include "host/demo/controls_gallery.h"

#include "host/demo/input_injection.h"

#include <cstdio>

namespace demo {
namespace {

constexpr int kGalleryTemplate = 2000;
// The gallery's section in the style file: "D70".
constexpr int kGalleryStyle = 70;

// The tab buttons and the templates of their pages.
constexpr int kFirstTab = 20, kTabs = 4, kFirstPageTemplate = 2001;
constexpr int kPatientPage = 3;
// Controls of the patient page.
enum { kName = 50, kBorn, kAppointment, kFee, kPhone, kPassword, kPractitioner };

using FillFn = int(WINAPI*)(HWND, HDC, int);
using EndFn = int(WINAPI*)(HWND);
using CreatePageFn = HWND(WINAPI*)(HINSTANCE, HWND, UINT, DLGPROC, int);
using TabDialogFn = INT_PTR(WINAPI*)(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM);
using TabEndFn = BOOL(WINAPI*)(HWND, int);
using SizesFn = int(WINAPI*)(HWND);

struct Gallery {
  FillFn fill = nullptr;
  EndFn end = nullptr;
  CreatePageFn createPage = nullptr;
  TabDialogFn tabDialog = nullptr;
  TabEndFn tabEnd = nullptr;
  SizesFn registerSizes = nullptr, resize = nullptr, unregisterSizes = nullptr;
  HWND pages[kTabs] = {};
  GalleryScript script;
  DWORD uiThread = 0;
  HWND dialog = nullptr;
};
Gallery* g_gallery = nullptr;

// Pages paint the gallery's texture as dialogs of their own, also into their current tab, and
// lay their controls out again when the gallery's sizing resizes them.
INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wp, LPARAM) {
  switch (message) {
    case WM_ERASEBKGND:
      if (g_gallery->fill) g_gallery->fill(page, reinterpret_cast<HDC>(wp), kGalleryStyle);
      SetWindowLongPtrA(page, DWLP_MSGRESULT, 1);
      return TRUE;
    case WM_SIZE:
      if (g_gallery->resize && GetPropA(page, MAKEINTATOM(555))) g_gallery->resize(page);
      return FALSE;
    case WM_DESTROY:
      if (g_gallery->unregisterSizes) g_gallery->unregisterSizes(page);
      if (g_gallery->end) g_gallery->end(page);
      return FALSE;
    default:
      return FALSE;
  }
}

// Showing the selected tab's page is the host's part.
void ShowTab(HWND dialog, int index) {
  SendMessageA(GetDlgItem(dialog, kFirstTab + index), BM_SETCHECK, 1, 0);
  for (int i = 0; i < kTabs; ++i) {
    if (g_gallery->pages[i]) ShowWindow(g_gallery->pages[i], i == index ? SW_SHOW : SW_HIDE);
  }
}

void Close(HWND dialog, int result) {
  if (g_gallery->tabEnd) g_gallery->tabEnd(dialog, result);
}

INT_PTR CALLBACK GalleryProc(HWND dialog, UINT message, WPARAM wp, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowPos(dialog, nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
      for (int i = 0; i < kTabs; ++i) {
        g_gallery->pages[i] = g_gallery->createPage(GetModuleHandleA(nullptr), dialog, kFirstPageTemplate + i, PageProc,
                                                    kFirstTab + i);
      }
      ShowTab(dialog, 0);
      {
        const HWND practitioner = GetDlgItem(g_gallery->pages[kPatientPage], kPractitioner);
        for (const char* name : {"Dr Amrani", "Dr Brisset", "Dr Castagne", "Dr Delorme", "Dr Esnault"}) {
          SendMessageA(practitioner, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        }
        SendMessageA(practitioner, CB_SETCURSEL, 1, 0);
      }
      // Registered once laid out: from now on sizing the gallery scales every control.
      if (g_gallery->registerSizes) {
        g_gallery->registerSizes(dialog);
        for (HWND page : g_gallery->pages) g_gallery->registerSizes(page);
      }
      g_gallery->uiThread = GetCurrentThreadId();
      // Last: the script starts once the dialog is complete.
      InterlockedExchangePointer(reinterpret_cast<void**>(&g_gallery->dialog), dialog);
      return TRUE;
    case WM_SIZE:
      if (wp != SIZE_MINIMIZED && g_gallery->resize && GetPropA(dialog, MAKEINTATOM(555))) {
        g_gallery->resize(dialog);
        // Dialogs do not repaint on sizing by themselves: the background where controls were.
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      }
      return FALSE;
    case WM_ERASEBKGND:
      // The dialog's background and every parent-background request of its controls.
      if (g_gallery->fill) g_gallery->fill(dialog, reinterpret_cast<HDC>(wp), kGalleryStyle);
      SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 1);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) Close(dialog, LOWORD(wp));
      if (HIWORD(wp) == BN_CLICKED && LOWORD(wp) >= kFirstTab && LOWORD(wp) < kFirstTab + kTabs) {
        ShowTab(dialog, LOWORD(wp) - kFirstTab);
      }
      return TRUE;
    case WM_CLOSE:
      Close(dialog, IDCANCEL);
      return TRUE;
    case WM_DESTROY:
      if (g_gallery->unregisterSizes) g_gallery->unregisterSizes(dialog);
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

// Asks the demo script for a screenshot named `name` and waits until it is taken. The name
// arrives whole: the file is written aside and renamed.
void Snap(const Gallery& g, const char* name) {
  if (g.script.quick) return;
  const std::string& ready = g.script.ready;
  const std::string& done = g.script.done;
  const std::string aside = ready + ".new";
  FILE* f = std::fopen(aside.c_str(), "w");
  if (!f) return;
  std::fputs(name, f);
  std::fclose(f);
  DeleteFileA(done.c_str());
  if (!MoveFileExA(aside.c_str(), ready.c_str(), MOVEFILE_REPLACE_EXISTING)) return;
  for (int i = 0; i < 600 && GetFileAttributesA(done.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(100);
  DeleteFileA(done.c_str());
}

// Time for the screen to show a change; none in a quick session.
void Pause(const Gallery& g, DWORD ms) {
  if (!g.script.quick) Sleep(ms);
}

// Typed as on the keyboard into the focused field: the field's own rules place each character.
void Type(HWND dialog, HWND field, const char* text) {
  SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
  for (const char* c = text; *c; ++c) SendMessageA(field, WM_CHAR, static_cast<unsigned char>(*c), 0);
}

struct EditorSearch {
  HWND target, found;
};

BOOL CALLBACK FindEditorOf(HWND w, LPARAM p) {
  auto* s = reinterpret_cast<EditorSearch*>(p);
  if (GetPropA(w, MAKEINTATOM(0xBEBE)) != s->target || !IsWindowVisible(w)) return TRUE;
  s->found = w;
  return FALSE;
}

// The style editor opened on the gallery by the dialog's thread, or null.
HWND StyleEditorOf(const Gallery& g) {
  EditorSearch search{g.dialog, nullptr};
  EnumThreadWindows(g.uiThread, FindEditorOf, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// As the user opens it: Ctrl+Alt and a click on the gallery's own surface, below the pages.
HWND OpenStyleEditor(const Gallery& g) {
  SetForegroundWindow(g.dialog);
  Sleep(200);
  RECT client;
  GetClientRect(g.dialog, &client);
  POINT p{4, client.bottom - 3};
  ClientToScreen(g.dialog, &p);
  SetCursorPos(p.x, p.y);
  SendKey(VK_CONTROL, true);
  SendKey(VK_MENU, true);
  SendMouse(p, MOUSEEVENTF_LEFTDOWN);
  SendMouse(p, MOUSEEVENTF_LEFTUP);
  SendKey(VK_MENU, false);
  SendKey(VK_CONTROL, false);
  for (int i = 0; i < 100; ++i) {
    if (HWND editor = StyleEditorOf(g)) return editor;
    Sleep(50);
  }
  return nullptr;
}

// Runs on its own thread while the dialog's thread runs the modal loop: every change goes
// through the controls' messages, as the user's would.
DWORD WINAPI RunScript(LPVOID param) {
  Gallery* g = static_cast<Gallery*>(param);
  for (int i = 0; i < 1000 && !g->dialog; ++i) Sleep(10);
  if (!g->dialog) return 1;
  HWND d = g->dialog;
  Pause(*g, 500);
  Say("checks \"Check box\" and \"Transparent\", picks \"Radio two\" and the star, opens \"Keys\" and ticks \"Sharpen\"");
  SendMessageA(GetDlgItem(d, 10), BM_CLICK, 0, 0);
  SendMessageA(GetDlgItem(d, 12), BM_CLICK, 0, 0);
  SendMessageA(GetDlgItem(d, 14), BM_CLICK, 0, 0);
  SendMessageA(GetDlgItem(d, 5), BM_CLICK, 0, 0);
  SendMessageA(GetDlgItem(d, 21), WM_USER + 5, 1, 0);
  if (g->pages[1]) SendMessageA(GetDlgItem(g->pages[1], 41), WM_USER + 5, 1, 0);
  SendMessageA(GetDlgItem(d, 16), BM_SETCHECK, 1, 0);
  Say("holds \"Pressed\" down and rests the pointer on the save button (hover bitmap, relief, bubble)");
  // The mouse would be over a pressed button: its relief shows sunken.
  SendMessageA(GetDlgItem(d, 7), WM_USER + 4444, 0, 0);
  SendMessageA(GetDlgItem(d, 7), BM_SETSTATE, 1, 0);
  RECT r{};
  GetWindowRect(GetDlgItem(d, 4), &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  Pause(*g, 1500);
  Snap(*g, "controls");
  SendMessageA(GetDlgItem(d, 7), BM_SETSTATE, 0, 0);

  const HWND patient = g->pages[kPatientPage];
  if (patient) {
    Say("opens \"Patient\", types a name, a birth date, a time, a fee, a phone number and a password, and opens the practitioner list");
    SetCursorPos(0, 0);
    SendMessageA(GetDlgItem(d, kFirstTab + kPatientPage), BM_CLICK, 0, 0);
    Type(d, GetDlgItem(patient, kName), "Lemaire-Dufour");
    Type(d, GetDlgItem(patient, kBorn), "07031984");
    Type(d, GetDlgItem(patient, kAppointment), "1430");
    // The amount with the user's decimal separator, as the field expects it.
    char decimal[4] = ".";
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal, sizeof decimal);
    const char fee[] = {'1', '2', '8', decimal[0], '5', '0', '\0'};
    Type(d, GetDlgItem(patient, kFee), fee);
    Type(d, GetDlgItem(patient, kPhone), "0142868220");
    Type(d, GetDlgItem(patient, kPassword), "molaire");
    const HWND practitioner = GetDlgItem(patient, kPractitioner);
    // A click on the drop button opens the list, a second one closes it.
    SendMessageA(practitioner, CB_SETCURSEL, 2, 0);
    GetClientRect(practitioner, &r);
    const LPARAM button = MAKELPARAM(r.right - 4, r.bottom / 2);
    SendMessageA(practitioner, WM_LBUTTONDOWN, MK_LBUTTON, button);
    SendMessageA(practitioner, WM_LBUTTONUP, 0, button);
    Pause(*g, 700);
    Snap(*g, "fields");
    SendMessageA(practitioner, WM_LBUTTONDOWN, MK_LBUTTON, button);
    SendMessageA(practitioner, WM_LBUTTONUP, 0, button);

    if (g->script.keyboard) {
      Say("double-clicks the name field: the mini keyboard opens under it; the same click closes it");
      const HWND name = GetDlgItem(patient, kName);
      SendMessageA(d, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(name), TRUE);
      SendMessageA(name, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
      Pause(*g, 700);
      Snap(*g, "keyboard");
      SendMessageA(name, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    }
  }

  if (!g->script.quick) {
    Say("opens the style editor with Ctrl+Alt and a click on the gallery, beside it");
    if (HWND editor = OpenStyleEditor(*g)) {
      GetWindowRect(d, &r);
      SetWindowPos(editor, nullptr, r.right + 8, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
      Sleep(500);
      Snap(*g, "style-editor");
      Say("ticks \"background global\": the gallery and its pages take the global gradient at once");
      SendMessageA(GetDlgItem(editor, 199), BM_CLICK, 0, 0);
      Sleep(500);
      Snap(*g, "style-changed");
      Say("unticks it again and closes the editor with OK");
      SendMessageA(GetDlgItem(editor, 199), BM_CLICK, 0, 0);
      PostMessageA(editor, WM_COMMAND, IDOK, 0);
      for (int i = 0; i < 100 && StyleEditorOf(*g); ++i) Sleep(50);
    } else {
      Say("the style editor did not open");
    }
  }

  Say("makes the gallery a quarter larger: the controls, their fonts and the pages follow");
  GetWindowRect(d, &r);
  SetWindowPos(d, nullptr, 0, 0, (r.right - r.left) * 5 / 4, (r.bottom - r.top) * 5 / 4, SWP_NOMOVE | SWP_NOZORDER);
  Pause(*g, 700);
  Snap(*g, "resized");

  Say("closes the gallery");
  PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
  return 0;
}

}  // namespace

int RunControlsGallery(HMODULE controls, const GalleryScript* script) {
  Gallery gallery;
  gallery.fill = reinterpret_cast<FillFn>(reinterpret_cast<void*>(GetProcAddress(controls, "FillDlgWithTexture")));
  gallery.end = reinterpret_cast<EndFn>(reinterpret_cast<void*>(GetProcAddress(controls, "EndDlgTexture")));
  gallery.createPage = reinterpret_cast<CreatePageFn>(reinterpret_cast<void*>(GetProcAddress(controls, "KvCreateTabPage")));
  gallery.tabDialog = reinterpret_cast<TabDialogFn>(reinterpret_cast<void*>(GetProcAddress(controls, "KvTabDialogBoxParam")));
  gallery.tabEnd = reinterpret_cast<TabEndFn>(reinterpret_cast<void*>(GetProcAddress(controls, "KvTabEndDialog")));
  gallery.registerSizes =
      reinterpret_cast<SizesFn>(reinterpret_cast<void*>(GetProcAddress(controls, "KvRegisterSizesOfControls")));
  gallery.resize = reinterpret_cast<SizesFn>(reinterpret_cast<void*>(GetProcAddress(controls, "KvResizeTheControls")));
  gallery.unregisterSizes =
      reinterpret_cast<SizesFn>(reinterpret_cast<void*>(GetProcAddress(controls, "KvUnregisterSizesOfControls")));
  if (!gallery.createPage || !gallery.tabDialog || !gallery.tabEnd) {
    std::fprintf(stderr, "the control library has no tab pages\n");
    return 1;
  }
  if (script) gallery.script = *script;
  g_gallery = &gallery;
  HANDLE scriptThread = script ? CreateThread(nullptr, 0, RunScript, &gallery, 0, nullptr) : nullptr;
  // A tabbed dialog: the library's loop, with the mnemonics of the visible page.
  const INT_PTR result = gallery.tabDialog(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kGalleryTemplate), nullptr,
                                           GalleryProc, 0);
  if (scriptThread) {
    WaitForSingleObject(scriptThread, 10000);
    CloseHandle(scriptThread);
  }
  g_gallery = nullptr;
  if (result <= 0) {
    std::fprintf(stderr, "the gallery dialog did not open\n");
    return 1;
  }
  return 0;
}

}  // namespace demo
