// Opening the editor on a 4000 x 3000 image: the time from the call to the end of the canvas's
// first paint, beside a memcpy of the image's bytes. Runs under Wine (or Windows); timed with
// the performance counter because Google Benchmark is not available for the Windows builds.
//
//   bench_editor_open [iterations]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "retouch/canvas/canvas_window.h"
#include "retouch/frame/editor.h"
#include "retouch/frame/editor_globals.h"

namespace {

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

WNDPROC g_canvasProc = nullptr;
double g_firstPaintEnd = 0;
HHOOK g_hook = nullptr;

// The canvas, watched from its creation: the end of its first WM_PAINT closes the editor.
LRESULT CALLBACK WatchedCanvas(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  const LRESULT r = CallWindowProcA(g_canvasProc, w, m, wp, lp);
  if (m == WM_PAINT && g_firstPaintEnd == 0) {
    g_firstPaintEnd = Now();
    PostMessageA(GetParent(w), WM_SYSCOMMAND, SC_CLOSE, 0);
  }
  return r;
}

LRESULT CALLBACK WatchCreation(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_CREATEWND) {
    char name[32] = {};
    GetClassNameA(reinterpret_cast<HWND>(wp), name, sizeof name);
    if (std::strcmp(name, kCanvasClassName) == 0)
      g_canvasProc = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrA(reinterpret_cast<HWND>(wp), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchedCanvas)));
  }
  return CallNextHookEx(g_hook, code, wp, lp);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int iterations = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  const int width = 4000, height = 3000;
  g_libraryInstance = GetModuleHandleA(nullptr);
  HMODULE resources = LoadLibraryA("HostRes.dll");
  if (!resources) {
    std::fprintf(stderr, "HostRes.dll not found (run from the build's bin folder)\n");
    return 1;
  }
  RetouchEditor_SetModules(resources, resources);

  HGLOBAL image = DibCreate(width, height, 24);
  size_t bytes = 0;
  {
    DibLock lock(image);
    const dib::View& v = lock.view();
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        uint8_t* p = v.Pixel24(x, y);
        p[0] = static_cast<uint8_t>(x);
        p[1] = static_cast<uint8_t>(y);
        p[2] = static_cast<uint8_t>(x ^ y);
      }
    bytes = static_cast<size_t>(v.stride) * static_cast<size_t>(v.height);
  }

  std::vector<uint8_t> from(bytes, 1), to(bytes, 0);
  std::vector<double> copies;
  for (int i = 0; i < iterations; ++i) {
    const double t0 = Now();
    std::memcpy(to.data(), from.data(), bytes);
    copies.push_back(Now() - t0);
    from[i] = to[bytes - 1 - i];  // keep the copies observable
  }

  // The same copy into a fresh block, as every new copy of the image is made (the pages of a new
  // block are faulted in on first touch).
  std::vector<double> freshCopies;
  for (int i = 0; i < iterations; ++i) {
    const double t0 = Now();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    void* p = GlobalLock(block);
    std::memcpy(p, from.data(), bytes);
    GlobalUnlock(block);
    freshCopies.push_back(Now() - t0);
    GlobalFree(block);
  }

  // A 1000 x 750 client area: the image shrunk four times, as a host would open it on screen.
  RECT frame{20, 20, 20 + 1000 + 2 * GetSystemMetrics(SM_CXFRAME),
             20 + 750 + 2 * GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION)};
  POINT tools{1100, 20};
  auto openOnce = [&](HGLOBAL picture) {
    g_firstPaintEnd = 0;
    g_hook = SetWindowsHookExA(WH_CBT, WatchCreation, nullptr, GetCurrentThreadId());
    const double t0 = Now();
    RetouchEditor_Open(nullptr, picture, &frame, &tools);
    UnhookWindowsHookEx(g_hook);
    return g_firstPaintEnd == 0 ? -1.0 : g_firstPaintEnd - t0;
  };
  // The windows alone: the same opening over a tiny image.
  HGLOBAL tiny = DibCreate(40, 30, 24);
  std::vector<double> windowsOnly;
  for (int i = 0; i < iterations; ++i) windowsOnly.push_back(openOnce(tiny));
  GlobalFree(tiny);

  std::vector<double> opens;
  for (int i = 0; i < iterations; ++i) {
    g_firstPaintEnd = 0;
    g_hook = SetWindowsHookExA(WH_CBT, WatchCreation, nullptr, GetCurrentThreadId());
    const double t0 = Now();
    RetouchEditor_Open(nullptr, image, &frame, &tools);
    UnhookWindowsHookEx(g_hook);
    if (g_firstPaintEnd == 0) {
      std::fprintf(stderr, "the canvas never painted\n");
      return 1;
    }
    opens.push_back(g_firstPaintEnd - t0);
  }
  // The parts of an opening: the backup copy and the paint's DibDrawRegion as the canvas calls
  // it (the whole image over a 1000 x 750 context mapped like the canvas); beside them the crop
  // and the stretch of the crop into a screen bitmap, which a part hanging over the image's edge
  // still takes.
  std::vector<double> backups, crops, stretches, regions;
  for (int i = 0; i < iterations; ++i) {
    double t0 = Now();
    HGLOBAL backup = DibDuplicate(image, TRUE);
    backups.push_back(Now() - t0);
    GlobalFree(backup);
    const RECT all{0, 0, width, height};
    t0 = Now();
    HGLOBAL crop = DibCrop(image, &all);
    crops.push_back(Now() - t0);
    HDC screen = GetDC(nullptr);
    HBITMAP target = CreateCompatibleBitmap(screen, 1000, 750);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, target);
    const RECT view{0, 0, 1000, 750};
    t0 = Now();
    DibDraw(memory, crop, &view, SRCCOPY);
    GdiFlush();
    stretches.push_back(Now() - t0);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(target);
    GlobalFree(crop);
    HBITMAP shown = CreateCompatibleBitmap(screen, 1000, 750);
    HDC canvas = CreateCompatibleDC(screen);
    old = SelectObject(canvas, shown);
    SetMapMode(canvas, MM_ANISOTROPIC);
    SetWindowExtEx(canvas, width, height, nullptr);
    SetViewportExtEx(canvas, 1000, 750, nullptr);
    t0 = Now();
    DibDrawRegion(nullptr, canvas, image, &all);
    GdiFlush();
    regions.push_back(Now() - t0);
    SelectObject(canvas, old);
    DeleteDC(canvas);
    DeleteObject(shown);
    ReleaseDC(nullptr, screen);
  }
  const double copy = Median(copies), open = Median(opens);
  std::printf("image %d x %d (%.1f MB), %d iterations, medians:\n", width, height, bytes / 1e6, iterations);
  const double fresh = Median(freshCopies);
  std::printf("  memcpy of the image           %8.2f ms\n", copy);
  std::printf("  the same into a fresh block   %8.2f ms\n", fresh);
  std::printf("  open to end of first paint    %8.2f ms\n", open);
  std::printf("    windows alone (40 x 30)     %8.2f ms\n", Median(windowsOnly));
  std::printf("    backup copy (DibDuplicate)  %8.2f ms\n", Median(backups));
  std::printf("    paint (DibDrawRegion)       %8.2f ms\n", Median(regions));
  std::printf("    crop path: DibCrop          %8.2f ms\n", Median(crops));
  std::printf("    crop path: stretch of it    %8.2f ms\n", Median(stretches));
  std::printf("  ratio to the memcpy           %8.1f x   (goal: within 10 x)\n", open / copy);
  // The backup must be a block of its own: copying into fresh pages is the floor of any open.
  std::printf("  ratio to the fresh-block copy %8.1f x\n", open / fresh);
  GlobalFree(image);
  return 0;
}
