// Demo host of the retouch editor: loads the suite's libraries as a host application does,
// hands them its resource module and opens the editor over a BMP file (or a made-up radiograph).
//
//   RetouchDemo [image.bmp] [--out edited.bmp] [--always-save] [--script READY DONE]
//   RetouchDemo --controls [--script READY DONE]
//
// --script drives a short session by itself through the tool window and the canvas: the paint
// brush with a smaller size, a stroke, the spray with a lower strength, a stroke, the smooth
// brush, a stroke, undo and redo, a lasso around a tooth that is moved, turned and stamped and
// stays floating with its handles, the image adjustment (more contrast, brighter, more saturated,
// hue turned), a line of text written and burned in with Enter; then it creates the file READY,
// waits for the file DONE (at most a minute) and accepts the edits with the tool window's OK
// button. --controls shows the gallery of the control library's controls instead
// (host/demo/controls_gallery.h).
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/demo/controls_gallery.h"
#include "host/demo/demo_image.h"

namespace {

using SetModulesFn = HINSTANCE(WINAPI*)(HINSTANCE, HINSTANCE);
using OpenFn = int(WINAPI*)(HWND, HGLOBAL, RECT*, POINT*);
using InitKControlFn = int(WINAPI*)();
using EndKControlFn = int(WINAPI*)();
using SetLanguageFn = HINSTANCE(WINAPI*)(HINSTANCE, HINSTANCE);
using SetDataPathFn = int(WINAPI*)(const char*);

struct Suite {
  HMODULE resources = nullptr;
  HMODULE controls = nullptr;
  HMODULE editor = nullptr;
  SetModulesFn setModules = nullptr;
  OpenFn open = nullptr;
  EndKControlFn endControls = nullptr;
};

template <class Fn>
Fn Ordinal(HMODULE module, int ordinal) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal))));
}

// Folder of this program, with its trailing backslash: the host's data folder.
std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, n < MAX_PATH ? n : 0);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

// Loads the libraries and hands each its modules: the one place where the host sets the suite
// up. The control library comes first (the editor imports from it), with its hover hook and
// tooltips started, its application and resource modules, and the data folder.
bool LoadSuite(Suite* suite) {
  suite->resources = LoadLibraryA("HostRes.dll");
  suite->controls = LoadLibraryA("Tamsel.dll");
  if (!suite->resources || !suite->controls) {
    std::fprintf(stderr, "cannot load HostRes.dll or Tamsel.dll\n");
    return false;
  }
  auto initControls = reinterpret_cast<InitKControlFn>(reinterpret_cast<void*>(GetProcAddress(suite->controls, "InitKControl")));
  auto setLanguage =
      reinterpret_cast<SetLanguageFn>(reinterpret_cast<void*>(GetProcAddress(suite->controls, "CtrlSetLanguageDllInstance")));
  auto setDataPath = reinterpret_cast<SetDataPathFn>(reinterpret_cast<void*>(GetProcAddress(suite->controls, "SetCommonDataPath")));
  suite->endControls = reinterpret_cast<EndKControlFn>(reinterpret_cast<void*>(GetProcAddress(suite->controls, "EndKControl")));
  if (!initControls || !setLanguage || !setDataPath || !suite->endControls) {
    std::fprintf(stderr, "Tamsel.dll lacks one of its set-up functions\n");
    return false;
  }
  initControls();
  setLanguage(GetModuleHandleA(nullptr), suite->resources);
  setDataPath(ProgramFolder().c_str());

  suite->editor = LoadLibraryA("Brelio.dll");
  if (!suite->editor) {
    std::fprintf(stderr, "cannot load Brelio.dll\n");
    return false;
  }
  suite->setModules = Ordinal<SetModulesFn>(suite->editor, 3);
  suite->open = Ordinal<OpenFn>(suite->editor, 2);
  if (!suite->setModules || !suite->open) {
    std::fprintf(stderr, "Brelio.dll lacks ordinal 2 or 3\n");
    return false;
  }
  suite->setModules(suite->resources, suite->resources);
  return true;
}

void UnloadSuite(Suite* suite) {
  if (suite->editor) FreeLibrary(suite->editor);
  if (suite->endControls) suite->endControls();
  if (suite->controls) FreeLibrary(suite->controls);
  if (suite->resources) FreeLibrary(suite->resources);
}

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>* out) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  std::vector<uint8_t> data;
  uint8_t buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) data.insert(data.end(), buffer, buffer + n);
  std::fclose(f);
  *out = std::move(data);
  return true;
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& data) {
  const std::string temp = path + ".part";
  FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  if (std::fclose(f) != 0 || !ok) {
    DeleteFileA(temp.c_str());
    return false;
  }
  return MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

HGLOBAL ToGlobal(const demo::PackedDib& dib) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, dib.size());
  if (!block) return nullptr;
  void* p = GlobalLock(block);
  std::memcpy(p, dib.data(), dib.size());
  GlobalUnlock(block);
  return block;
}

demo::PackedDib FromGlobal(HGLOBAL block) {
  const size_t size = GlobalSize(block);
  demo::PackedDib dib(size);
  if (void* p = GlobalLock(block)) {
    std::memcpy(dib.data(), p, size);
    GlobalUnlock(block);
  }
  return dib;
}

// The frame in the image's proportions within most of the screen, the tool window beside it.
void PlaceEditor(int imageWidth, int imageHeight, RECT* frame, POINT* tools) {
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  const int ncw = 2 * GetSystemMetrics(SM_CXFRAME);
  const int nch = 2 * GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION);
  const int toolWidth = 250;  // template 257 is 124 dialog units wide
  int cw = sw - toolWidth - 60 - ncw, ch = sh - 80 - nch;
  if (static_cast<long long>(cw) * imageHeight > static_cast<long long>(ch) * imageWidth)
    cw = static_cast<int>(static_cast<long long>(ch) * imageWidth / imageHeight);
  else
    ch = static_cast<int>(static_cast<long long>(cw) * imageHeight / imageWidth);
  if (cw > imageWidth && ch > imageHeight) {
    cw = imageWidth;
    ch = imageHeight;
  }
  frame->left = 20;
  frame->top = 20;
  frame->right = frame->left + cw + ncw;
  frame->bottom = frame->top + ch + nch;
  tools->x = frame->right + 20;
  tools->y = frame->top;
}

// The scripted session, on its own thread: it only places the pointer and posts messages.
struct Script {
  std::string ready, done;
  DWORD uiThread = 0;
  int imageWidth = 0, imageHeight = 0;
};

struct Found {
  HWND frame = nullptr;
  HWND tools = nullptr;
};

BOOL CALLBACK FindEditorWindows(HWND window, LPARAM param) {
  auto* found = reinterpret_cast<Found*>(param);
  if (GetDlgItem(window, 12345)) found->frame = window;
  if (GetDlgItem(window, 117) && GetDlgItem(window, 8)) found->tools = window;
  return TRUE;
}

void Click(HWND tools, int id) {
  if (HWND button = GetDlgItem(tools, id)) SendMessageA(button, BM_CLICK, 0, 0);
  Sleep(150);
}

// What the tool window's bar tells the window when the user drags its thumb to `position`.
void DragBar(HWND tools, int id, int position) {
  HWND bar = GetDlgItem(tools, id);
  for (int code : {SB_THUMBTRACK, SB_THUMBPOSITION})
    SendMessageA(tools, WM_HSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(bar));
  SendMessageA(tools, WM_HSCROLL, SB_ENDSCROLL, reinterpret_cast<LPARAM>(bar));
  Sleep(100);
}

struct Dialog {
  HWND window = nullptr;
};

BOOL CALLBACK FindAdjustDialog(HWND window, LPARAM param) {
  if (GetDlgItem(window, 101) && GetDlgItem(window, 156) && IsWindowVisible(window)) {
    reinterpret_cast<Dialog*>(param)->window = window;
    return FALSE;
  }
  return TRUE;
}

// What a vertical bar of the adjustment dialog tells the dialog when its thumb is dragged and let go.
void DragVerticalBar(HWND dialog, int id, int position) {
  HWND bar = GetDlgItem(dialog, id);
  for (int code : {SB_THUMBTRACK, SB_THUMBPOSITION})
    SendMessageA(dialog, WM_VSCROLL, MAKEWPARAM(code, static_cast<WORD>(position)), reinterpret_cast<LPARAM>(bar));
  SendMessageA(dialog, WM_VSCROLL, SB_ENDSCROLL, reinterpret_cast<LPARAM>(bar));
  Sleep(150);
}

// The tool window's button 114 opens a modal dialog: the click is posted, so that this thread
// goes on while the dialog runs, and the dialog is looked for among the editor's windows.
bool AdjustInDialog(HWND tools, DWORD uiThread) {
  PostMessageA(GetDlgItem(tools, 114), BM_CLICK, 0, 0);
  Dialog found;
  for (int i = 0; i < 100 && !found.window; ++i) {
    Sleep(50);
    EnumThreadWindows(uiThread, FindAdjustDialog, reinterpret_cast<LPARAM>(&found));
  }
  if (!found.window) return false;
  Sleep(300);
  DragVerticalBar(found.window, 101, -35);  // contrast: lower is stronger
  DragVerticalBar(found.window, 102, -10);  // brightness: lower is brighter
  DragVerticalBar(found.window, 103, 25);   // saturation: below 50 is more
  DragVerticalBar(found.window, 104, 60);   // hue
  Sleep(300);
  SendMessageA(GetDlgItem(found.window, IDOK), BM_CLICK, 0, 0);
  Sleep(300);
  return true;
}

void PointAt(HWND canvas, int x, int y, WPARAM buttons, UINT message = WM_MOUSEMOVE) {
  POINT p{x, y};
  ClientToScreen(canvas, &p);
  SetCursorPos(p.x, p.y);
  PostMessageA(canvas, message, buttons, MAKELPARAM(x, y));
  Sleep(25);
}

// A stroke over the canvas from (x0, y0) to (x1, y1), fractions of its client size in 1/100.
void Stroke(HWND canvas, int x0, int y0, int x1, int y1) {
  RECT rc{};
  GetClientRect(canvas, &rc);
  auto at = [&](int from, int to, int step, int size) { return (from + (to - from) * step / 30) * size / 100; };
  PointAt(canvas, at(x0, x0, 0, rc.right), at(y0, y0, 0, rc.bottom), 0);  // the pointer comes over the canvas
  Sleep(100);
  PointAt(canvas, at(x0, x0, 0, rc.right), at(y0, y0, 0, rc.bottom), MK_LBUTTON, WM_LBUTTONDOWN);
  for (int step = 1; step <= 30; ++step)
    PointAt(canvas, at(x0, x1, step, rc.right), at(y0, y1, step, rc.bottom), MK_LBUTTON);
  PointAt(canvas, at(x1, x1, 0, rc.right), at(y1, y1, 0, rc.bottom), 0, WM_LBUTTONUP);
  Sleep(100);
}

// Canvas client point of an image point.
POINT OnCanvas(HWND canvas, const Script& script, double x, double y) {
  RECT rc{};
  GetClientRect(canvas, &rc);
  return POINT{static_cast<LONG>(x * rc.right / script.imageWidth), static_cast<LONG>(y * rc.bottom / script.imageHeight)};
}

// A press at `from`, moves to `to` in `steps` steps (along an arc about `centre` when given), a
// release; image points.
void Drag(HWND canvas, const Script& script, POINT from, POINT to, int steps) {
  const POINT a = OnCanvas(canvas, script, from.x, from.y);
  PointAt(canvas, a.x, a.y, 0);
  PointAt(canvas, a.x, a.y, MK_LBUTTON, WM_LBUTTONDOWN);
  for (int i = 1; i <= steps; ++i) {
    const POINT p = OnCanvas(canvas, script, from.x + (to.x - from.x) * i / static_cast<double>(steps),
                             from.y + (to.y - from.y) * i / static_cast<double>(steps));
    PointAt(canvas, p.x, p.y, MK_LBUTTON);
  }
  const POINT b = OnCanvas(canvas, script, to.x, to.y);
  PointAt(canvas, b.x, b.y, 0, WM_LBUTTONUP);
  Sleep(150);
}

// The lasso tool: a lasso around a lower front tooth of the made-up radiograph (or the middle of
// any other picture), moved aside, turned and stamped; it stays floating with its handles.
void LassoSession(HWND tools, HWND canvas, const Script& script) {
  const double w = script.imageWidth, h = script.imageHeight;
  const double cx = w * 0.5307, cy = h * 0.615, rx = w * 0.036, ry = h * 0.165;
  std::printf("Script: lasso around a tooth, moved, turned, stamped\n");
  Click(tools, 116);
  const double pi = 3.14159265358979;
  auto at = [&](int i) {
    return OnCanvas(canvas, script, cx + rx * std::cos(i * 2 * pi / 48), cy - ry * std::sin(i * 2 * pi / 48));
  };
  PointAt(canvas, at(0).x, at(0).y, 0);
  Sleep(100);
  PointAt(canvas, at(0).x, at(0).y, MK_LBUTTON, WM_LBUTTONDOWN);
  for (int i = 1; i < 48; ++i) PointAt(canvas, at(i).x, at(i).y, MK_LBUTTON);
  PointAt(canvas, at(0).x, at(0).y, 0, WM_LBUTTONUP);
  Sleep(150);
  // The selection's rectangle, as the lasso's crossings give it, moved up and to the right.
  const LONG dx = static_cast<LONG>(w * 0.09), dy = static_cast<LONG>(-h * 0.05);
  Drag(canvas, script, POINT{static_cast<LONG>(cx), static_cast<LONG>(cy)},
       POINT{static_cast<LONG>(cx) + dx, static_cast<LONG>(cy) + dy}, 12);
  // Handle sizes: twice the frame's border in device pixels, in image units.
  RECT rc{};
  GetClientRect(canvas, &rc);
  const double bandX = 2.0 * GetSystemMetrics(SM_CXFRAME) * w / rc.right;
  const double bandY = 2.0 * GetSystemMetrics(SM_CYFRAME) * h / rc.bottom;
  const double right = cx + rx + 1 + dx + 2 * GetSystemMetrics(SM_CXFRAME) + 1;
  const double top = cy - ry - 1 + dy - 2 * GetSystemMetrics(SM_CYFRAME) - 1;
  // The rotation button (right band, below the corner), turned a quarter of the way round its
  // centre's angle from the selection's middle.
  const POINT rotate{static_cast<LONG>(right - bandX / 2 - 1), static_cast<LONG>(top + 2 * bandY + 1)};
  const double mx = cx + dx, my = cy + dy;
  const double start = std::atan2(my - rotate.y, rotate.x - mx), radius = std::hypot(rotate.x - mx, my - rotate.y);
  const double turn = 20 * pi / 180;
  const POINT a = OnCanvas(canvas, script, rotate.x, rotate.y);
  PointAt(canvas, a.x, a.y, 0);
  PointAt(canvas, a.x, a.y, MK_LBUTTON, WM_LBUTTONDOWN);
  for (int i = 1; i <= 10; ++i) {
    const double t = start + turn * i / 10;
    const POINT p = OnCanvas(canvas, script, mx + radius * std::cos(t), my - radius * std::sin(t));
    PointAt(canvas, p.x, p.y, MK_LBUTTON);
  }
  PointAt(canvas, a.x, a.y, 0, WM_MOUSEMOVE);
  const POINT end = OnCanvas(canvas, script, mx + radius * std::cos(start + turn), my - radius * std::sin(start + turn));
  PointAt(canvas, end.x, end.y, 0, WM_LBUTTONUP);
  Sleep(200);
  // The stamp button (top band, third from the left) of the turned selection's frame.
  const double hw = std::hypot(rx * std::cos(turn), ry * std::sin(turn)), hh = std::hypot(rx * std::sin(turn), ry * std::cos(turn));
  const double zoneLeft = mx - hw - 1 - 2 * GetSystemMetrics(SM_CXFRAME) - 1;
  const double zoneTop = my - hh - 1 - 2 * GetSystemMetrics(SM_CYFRAME) - 1;
  const POINT stamp = OnCanvas(canvas, script, zoneLeft + 4 * bandX + 4, zoneTop + bandY / 2);
  PointAt(canvas, stamp.x, stamp.y, 0);
  PointAt(canvas, stamp.x, stamp.y, MK_LBUTTON, WM_LBUTTONDOWN);
  PointAt(canvas, stamp.x, stamp.y, 0, WM_LBUTTONUP);
  Sleep(200);
  std::fflush(stdout);
}

DWORD WINAPI RunScript(LPVOID param) {
  const Script* script = static_cast<const Script*>(param);
  Found found;
  for (int i = 0; i < 200 && !(found.frame && found.tools); ++i) {
    Sleep(50);
    found = Found{};
    EnumThreadWindows(script->uiThread, FindEditorWindows, reinterpret_cast<LPARAM>(&found));
  }
  if (!found.frame || !found.tools) return 1;
  HWND tools = found.tools;
  HWND canvas = GetDlgItem(found.frame, 12345);
  // The pointer goes to the tool window first, as a user's would.
  RECT br{};
  GetWindowRect(GetDlgItem(tools, 117), &br);
  SetCursorPos((br.left + br.right) / 2, (br.top + br.bottom) / 2);
  Sleep(300);
  std::printf("Script: paint brush, size 12, a stroke\n");
  Click(tools, 117);
  DragBar(tools, 202, 12);
  Stroke(canvas, 20, 30, 70, 40);
  std::printf("Script: spray, strength 70 on the bar (49%%), size 30, a stroke\n");
  Click(tools, 119);
  DragBar(tools, 212, 70);
  DragBar(tools, 202, 30);
  Stroke(canvas, 25, 70, 75, 60);
  std::printf("Script: smooth brush, rectangle, a stroke; undo it, redo it\n");
  Click(tools, 121);
  Click(tools, 209);
  Stroke(canvas, 50, 20, 50, 80);
  Click(tools, 190);
  Click(tools, 191);
  std::printf("Script: image adjustment: contrast -35, brightness -10, saturation 25, hue 60; OK\n");
  std::fflush(stdout);
  if (!AdjustInDialog(tools, script->uiThread)) std::printf("Script: the adjustment dialog did not come up\n");
  std::printf("Script: text tool, height 28, a line of text burned in with Enter\n");
  Click(tools, 123);
  DragBar(tools, 204, 28);
  {
    RECT rc{};
    GetClientRect(canvas, &rc);
    PointAt(canvas, rc.right / 12, rc.bottom * 9 / 10, 0);
    PointAt(canvas, rc.right / 12, rc.bottom * 9 / 10, MK_LBUTTON, WM_LBUTTONDOWN);
    PointAt(canvas, rc.right / 12, rc.bottom * 9 / 10, 0, WM_LBUTTONUP);
    for (const char* c = "Retouched: 36 & 37"; *c; ++c) PostMessageA(canvas, WM_CHAR, static_cast<unsigned char>(*c), 0);
    Sleep(200);
    PostMessageA(canvas, WM_KEYDOWN, VK_RETURN, 0);
    Sleep(200);
  }
  std::printf("Script: back to the paint brush (its size 12 comes back)\n");
  Click(tools, 117);
  std::fflush(stdout);
  LassoSession(tools, canvas, *script);
  // The pointer rests over the canvas, away from the selection.
  RECT rc{};
  GetClientRect(canvas, &rc);
  PointAt(canvas, rc.right * 2 / 10, rc.bottom / 4, 0);
  Sleep(300);
  if (FILE* f = std::fopen(script->ready.c_str(), "w")) std::fclose(f);
  for (int i = 0; i < 600 && GetFileAttributesA(script->done.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(100);
  std::printf("Script: OK in the tool window\n");
  std::fflush(stdout);
  Click(tools, 8);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string input, output = "edited.bmp";
  bool alwaysSave = false;
  bool controls = false;
  Script script;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--out" && i + 1 < argc) output = argv[++i];
    else if (a == "--always-save") alwaysSave = true;
    else if (a == "--controls") controls = true;
    else if (a == "--script" && i + 2 < argc) {
      script.ready = argv[++i];
      script.done = argv[++i];
    } else if (!a.empty() && a[0] != '-') input = a;
    else {
      std::fprintf(stderr,
                   "usage: RetouchDemo [image.bmp] [--out edited.bmp] [--always-save] [--script READY DONE]\n"
                   "       RetouchDemo --controls [--script READY DONE]\n");
      return 2;
    }
  }

  if (controls) {
    Suite suite;
    if (!LoadSuite(&suite)) return 1;
    std::printf("Showing the controls gallery.\n");
    std::fflush(stdout);
    demo::GalleryScript session{script.ready, script.done};
    const int status = demo::RunControlsGallery(suite.controls, script.ready.empty() ? nullptr : &session);
    UnloadSuite(&suite);
    return status;
  }

  demo::PackedDib picture;
  if (input.empty()) {
    picture = demo::SampleRadiograph(1200, 600);
    std::printf("Opening the editor over a made-up radiograph (1200 x 600).\n");
  } else {
    std::vector<uint8_t> bytes;
    std::string error;
    if (!ReadFileBytes(input, &bytes)) {
      std::fprintf(stderr, "cannot read %s\n", input.c_str());
      return 1;
    }
    if (!demo::PackedDibFromBmp(bytes.data(), bytes.size(), &picture, &error)) {
      std::fprintf(stderr, "%s: %s\n", input.c_str(), error.c_str());
      return 1;
    }
    std::printf("Opening the editor over %s.\n", input.c_str());
  }
  std::fflush(stdout);

  Suite suite;
  if (!LoadSuite(&suite)) return 1;
  HGLOBAL image = ToGlobal(picture);
  if (!image) return 1;
  int32_t width = 0, height = 0;
  std::memcpy(&width, picture.data() + 4, 4);
  std::memcpy(&height, picture.data() + 8, 4);

  HWND host = CreateWindowExA(0, "STATIC", "Retouch demo host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 80, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
  RECT frame{};
  POINT tools{};
  PlaceEditor(width, height, &frame, &tools);

  HANDLE driver = nullptr;
  if (!script.ready.empty()) {
    script.uiThread = GetCurrentThreadId();
    script.imageWidth = width;
    script.imageHeight = height;
    driver = CreateThread(nullptr, 0, RunScript, &script, 0, nullptr);
  }
  const int result = suite.open(host, image, &frame, &tools);
  if (driver) {
    WaitForSingleObject(driver, 10000);
    CloseHandle(driver);
  }

  int status = 0;
  if (result == 1 || alwaysSave) {
    if (WriteFileBytes(output, demo::BmpFromPackedDib(FromGlobal(image)))) {
      std::printf("%s; the image was written to %s\n", result == 1 ? "Accepted" : "Closed", output.c_str());
    } else {
      std::fprintf(stderr, "cannot write %s\n", output.c_str());
      status = 1;
    }
  } else {
    std::printf("Closed without accepting: nothing written.\n");
  }
  if (host) DestroyWindow(host);
  GlobalFree(image);
  UnloadSuite(&suite);
  return status;
}
