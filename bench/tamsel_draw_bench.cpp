// Dialog background painting against a plain FillRect of the same full-screen area, through
// Wine's GDI: a Winelib program (built with wineg++ when the Debian package wine64-tools is
// installed; see bench/CMakeLists.txt). Each case reports its time as a multiple of a plain
// fill measured just before it ("x_plain_fill"). Goal: a gradient within 3 times a plain fill.
// Run (a display is needed):
//   source scripts/lib/common.sh && start_wine $PWD/build/win64 &&
//   $WINE_BIN build/native/bench/tamsel_draw_bench.exe.so; stop_wine
#include <windows.h>

#include <benchmark/benchmark.h>

#include <vector>

#include "controls/widgets/drawing.h"

namespace {

// A full-screen surface: the screen's size, painted as a window's client area would be.
struct Surface {
  Surface() {
    HDC screen = GetDC(nullptr);
    width = GetSystemMetrics(SM_CXSCREEN);
    height = GetSystemMetrics(SM_CYSCREEN);
    dc = CreateCompatibleDC(screen);
    bitmap = CreateCompatibleBitmap(screen, width, height);
    old = SelectObject(dc, bitmap);
    ReleaseDC(nullptr, screen);
  }
  ~Surface() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  RECT all() const { return {0, 0, width, height}; }
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ old;
  int width, height;
};

double Seconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Runs `paint` and, between iterations with the timer paused, a plain FillRect of the same
// surface, so that both see the same machine load; reports paint time / plain fill time.
template <class Paint>
void AgainstPlainFill(benchmark::State& state, const Surface& s, Paint paint) {
  const RECT r = s.all();
  HBRUSH brush = CreateSolidBrush(RGB(192, 192, 192));
  double painting = 0, plain = 0;
  for (auto _ : state) {
    double t0 = Seconds();
    paint();
    GdiFlush();
    double t1 = Seconds();
    painting += t1 - t0;
    state.PauseTiming();
    t0 = Seconds();
    FillRect(s.dc, &r, brush);
    GdiFlush();
    plain += Seconds() - t0;
    state.ResumeTiming();
  }
  DeleteObject(brush);
  state.counters["x_plain_fill"] = plain > 0 ? painting / plain : 0;
  state.counters["plain_fill_us"] = plain * 1e6 / static_cast<double>(state.iterations());
  state.counters["pixels"] = static_cast<double>(s.width) * s.height;
}

void PlainFillRect(benchmark::State& state) {
  Surface s;
  const RECT r = s.all();
  HBRUSH brush = CreateSolidBrush(RGB(192, 192, 192));
  AgainstPlainFill(state, s, [&] { FillRect(s.dc, &r, brush); });
  DeleteObject(brush);
}

void HorizontalGradient(benchmark::State& state) {
  Surface s;
  const RECT r = s.all();
  AgainstPlainFill(state, s, [&] { fill_rect_Hgradient(s.dc, &r, RGB(0, 0, 0), RGB(255, 255, 255)); });
}

void VerticalGradient(benchmark::State& state) {
  Surface s;
  const RECT r = s.all();
  AgainstPlainFill(state, s, [&] { fill_rect_Vgradient(s.dc, &r, RGB(20, 40, 200), RGB(250, 220, 10)); });
}

// A packed 24-bit texture of side n.
HGLOBAL Texture(int n) {
  const int row = (n * 3 + 3) & ~3;
  HGLOBAL dib = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 40 + static_cast<SIZE_T>(row) * n);
  auto* h = static_cast<BITMAPINFOHEADER*>(GlobalLock(dib));
  h->biSize = 40;
  h->biWidth = n;
  h->biHeight = n;
  h->biPlanes = 1;
  h->biBitCount = 24;
  h->biSizeImage = static_cast<DWORD>(row * n);
  BYTE* p = reinterpret_cast<BYTE*>(h + 1);
  for (int i = 0; i < row * n; ++i) p[i] = static_cast<BYTE>(i * 7);
  GlobalUnlock(dib);
  return dib;
}

void TiledTexture(benchmark::State& state) {
  Surface s;
  const RECT r = s.all();
  HGLOBAL dib = Texture(static_cast<int>(state.range(0)));
  AgainstPlainFill(state, s, [&] { DrawDibTiled(s.dc, dib, &r); });
  GlobalFree(dib);
}

}  // namespace

BENCHMARK(PlainFillRect)->Unit(benchmark::kMicrosecond);
BENCHMARK(HorizontalGradient)->Unit(benchmark::kMicrosecond);
BENCHMARK(VerticalGradient)->Unit(benchmark::kMicrosecond);
BENCHMARK(TiledTexture)->Arg(64)->Arg(256)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
