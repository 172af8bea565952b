// What the image benchmarks share: this thread's CPU clock, cold caches before each timed run,
// the timing of an operation beside a plain memcpy of the bytes it writes, and a 24-bit image.
#pragma once

#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "retouch/imaging/dib_view.h"

namespace bench {

// CPU time of this thread: the ratios stay meaningful on a machine shared with other work.
inline double ThreadSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Operations and their baselines start from cold caches, as a picture of tens of megabytes does
// in use: touching a buffer far larger than any cache pushes the previous work out.
inline void EvictCaches() {
  static std::vector<uint8_t> sweep(size_t{256} << 20);
  for (size_t i = 0; i < sweep.size(); i += 64) ++sweep[i];
  benchmark::DoNotOptimize(sweep.data());
  benchmark::ClobberMemory();
}

// Times `op` (after `prepare`, untimed) against memcpy of `bytes` bytes, one of each per
// iteration. The ratio `x_memcpy` compares the fastest run of each: other work on a shared
// machine only ever adds time.
inline void Measure(benchmark::State& state, size_t bytes, const std::function<void()>& prepare,
                    const std::function<void()>& op) {
  std::vector<uint8_t> from(bytes, 1), to(bytes, 2);
  double opBest = 1e9, copyBest = 1e9;
  for (auto _ : state) {
    EvictCaches();
    const double t0 = ThreadSeconds();
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::ClobberMemory();
    const double t1 = ThreadSeconds();
    if (prepare) prepare();
    EvictCaches();
    const double t2 = ThreadSeconds();
    op();
    benchmark::ClobberMemory();
    const double t3 = ThreadSeconds();
    copyBest = std::min(copyBest, t1 - t0);
    opBest = std::min(opBest, t3 - t2);
    state.SetIterationTime(t3 - t2);
  }
  state.counters["best_ms"] = opBest * 1e3;
  state.counters["memcpy_ms"] = copyBest * 1e3;
  state.counters["x_memcpy"] = opBest / copyBest;
  state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
}

inline void Measure(benchmark::State& state, size_t bytes, const std::function<void()>& op) {
  Measure(state, bytes, nullptr, op);
}

// A bottom-up 24-bit packed DIB in memory, its pixels zero.
class Image {
 public:
  Image(int w, int h) : block_(dib::kHeaderSize + static_cast<size_t>(dib::Stride(w, 24)) * static_cast<size_t>(h)) {
    dib::Header hd = {};
    hd.size = dib::kHeaderSize;
    hd.width = w;
    hd.height = h;
    hd.planes = 1;
    hd.bitCount = 24;
    std::memcpy(block_.data(), &hd, sizeof hd);
    dib::ViewOfBlock(block_.data(), block_.size(), &view_);
  }
  const dib::View& view() const { return view_; }
  uint8_t* bits() { return view_.bits; }
  size_t bytes() const { return block_.size() - dib::kHeaderSize; }
  void Set(int x, int y, uint8_t v) { std::memset(view_.Pixel24(x, y), v, 3); }

 private:
  std::vector<uint8_t> block_;
  dib::View view_;
};

}  // namespace bench
