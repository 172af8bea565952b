// The retouch history on a stroke that covers a whole 4000 x 3000 image: recording the entry
// (a new zero-filled block of the rectangle, filled from the copy taken at the press) and one
// undo or redo (the patch's pixels exchanged with the image's in place), beside a memcpy of the
// rectangle's bytes into a block in use and into a new block (whose pages the system still has
// to supply: on some virtual machines that costs far more than the copy).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "retouch/imaging/history.h"

namespace {

constexpr int32_t kWidth = 4000, kHeight = 3000;

struct Patch {
  dib::View view;
};

dib::View Allocate(int32_t w, int32_t h) {
  const int32_t stride = static_cast<int32_t>(dib::Stride(w, 24));
  auto* bits = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(stride) * h, 1));
  return {bits, w, h, 24, stride};
}

void CopyRect(const dib::View& from, int32_t fx, int32_t fy, const dib::View& to, int32_t tx, int32_t ty,
              int32_t w, int32_t h) {
  for (int32_t y = 0; y < h; ++y) std::memcpy(to.Pixel24(tx, ty + y), from.Pixel24(fx, fy + y), static_cast<size_t>(w) * 3);
}

struct Store {
  dib::View image;
  HistoryEntry* Resize(HistoryEntry* e, int32_t count) {
    return static_cast<HistoryEntry*>(std::realloc(e, sizeof(HistoryEntry) * count));
  }
  void FreeArray(HistoryEntry* e) { std::free(e); }
  void FreePatch(void* p) {
    if (auto* patch = static_cast<Patch*>(p)) {
      std::free(patch->view.bits);
      delete patch;
    }
  }
  void* Crop(const dib::View& from, const brush::Rect& r) {
    auto* p = new Patch{Allocate(r.right - r.left, r.bottom - r.top)};
    CopyRect(from, r.left, r.top, p->view, 0, 0, p->view.width, p->view.height);
    return p;
  }
  bool Exchange(void* p, const brush::Rect& r) {
    return history::ExchangeRect(image, static_cast<Patch*>(p)->view, r);
  }
  void Invalidate(const brush::Rect&) {}
};

struct Scene {
  Scene() : image(Allocate(kWidth, kHeight)), before(Allocate(kWidth, kHeight)) {
    for (size_t i = 0; i < static_cast<size_t>(image.stride) * kHeight; ++i) image.bits[i] = static_cast<uint8_t>(i * 31);
    std::memcpy(before.bits, image.bits, static_cast<size_t>(image.stride) * kHeight);
  }
  dib::View image, before;
};

Scene& TheScene() {
  static Scene scene;
  return scene;
}

const brush::Rect kAll{0, 0, kWidth, kHeight};

void BM_MemcpyOfRectangle(benchmark::State& state) {
  Scene& s = TheScene();
  dib::View out = Allocate(kWidth, kHeight);
  std::memset(out.bits, 1, static_cast<size_t>(out.stride) * kHeight);
  for (auto _ : state) {
    CopyRect(s.image, 0, 0, out, 0, 0, kWidth, kHeight);
    benchmark::DoNotOptimize(out.bits);
  }
  std::free(out.bits);
}
BENCHMARK(BM_MemcpyOfRectangle)->Unit(benchmark::kMillisecond);

void BM_MemcpyIntoNewBlock(benchmark::State& state) {
  Scene& s = TheScene();
  for (auto _ : state) {
    dib::View out = Allocate(kWidth, kHeight);
    CopyRect(s.image, 0, 0, out, 0, 0, kWidth, kHeight);
    benchmark::DoNotOptimize(out.bits);
    state.PauseTiming();
    std::free(out.bits);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_MemcpyIntoNewBlock)->Unit(benchmark::kMillisecond);

void BM_RecordHistory(benchmark::State& state) {
  Scene& s = TheScene();
  Store store{s.image};
  HistoryEntry* entries = nullptr;
  int32_t position = 0, count = 0;
  const history::List list{&entries, &position, &count};
  for (auto _ : state) {
    history::Record(store, list, 117, kAll, store.Crop(s.before, kAll));
    state.PauseTiming();
    history::Reset(store, list);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_RecordHistory)->Unit(benchmark::kMillisecond);

void BM_HistoryStep(benchmark::State& state) {
  Scene& s = TheScene();
  Store store{s.image};
  HistoryEntry* entries = nullptr;
  int32_t position = 0, count = 0;
  const history::List list{&entries, &position, &count};
  history::Record(store, list, 117, kAll, store.Crop(s.before, kAll));
  bool back = true;
  for (auto _ : state) {
    benchmark::DoNotOptimize(history::Step(store, list, back));
    back = !back;
  }
  history::Reset(store, list);
}
BENCHMARK(BM_HistoryStep)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
