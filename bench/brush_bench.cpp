// Brush strokes on a 4000 x 3000 image: 1000 dabs of a 48 x 48 elliptic brush along one line,
// for every tool and variant, beside a memcpy of the same dab rectangles; and the soft variants
// along a zigzag across the image's left edge, where every dab is clipped anew. Each benchmark
// reports the time per dab ("ns/dab"), its ratio to the memcpy ("x_memcpy") and the time of the
// whole stroke ("ms/stroke"), all from the fastest stroke of the run in thread CPU time, so that
// other work on the machine does not blur the ratios.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <cstring>
#include <vector>

#include "retouch/imaging/brush_ops.h"

namespace {

constexpr int32_t kWidth = 4000, kHeight = 3000, kBrush = 48, kDabs = 1000;

struct Block {
  Block(int32_t w, int32_t h, int32_t bpp) {
    const int32_t stride = static_cast<int32_t>(dib::Stride(w, bpp));
    data.assign(static_cast<size_t>(stride) * h, 0);
    view = {data.data(), w, h, bpp, stride};
  }
  std::vector<uint8_t> data;
  dib::View view;
};

// The blocks of one editor: image, backup, coverage, snapshot, brush mask and a sample.
struct Scene {
  Scene()
      : image(kWidth, kHeight, 24), backup(kWidth, kHeight, 24), coverage(kWidth, kHeight, 8),
        snapshot(kWidth, kHeight, 24), mask(kBrush, kBrush, 8), sample(kBrush, kBrush, 24) {
    for (size_t i = 0; i < image.data.size(); ++i) image.data[i] = static_cast<uint8_t>(i * 7 + (i >> 12));
    backup.data = image.data;
    backup.view.bits = backup.data.data();
    snapshot.data = image.data;
    snapshot.view.bits = snapshot.data.data();
    for (size_t i = 0; i < sample.data.size(); ++i) sample.data[i] = static_cast<uint8_t>(i * 13);
    // An ellipse inscribed in the brush square, as the system draws it.
    const double r = kBrush / 2.0;
    for (int y = 0; y < kBrush; ++y)
      for (int x = 0; x < kBrush; ++x) {
        const double dx = (x + 0.5 - r) / r, dy = (y + 0.5 - r) / r;
        mask.view.Row(y)[x] = dx * dx + dy * dy <= 1.0 ? 1 : 0;
      }
    // One stroke: every pixel of a line, as the paint brush interpolates a movement.
    brush::WalkLine(300, 400, 300 + kDabs - 1, 400 + kDabs / 3,
                    [&](int32_t x, int32_t y) { points.push_back(brush::DabRect(x, y, kBrush, kBrush, 1)); });
    // A stroke that zigzags across the left edge: every dab is clipped to another width, so the
    // soft weights are made anew for each.
    for (int32_t n = 0; n < kDabs; ++n) {
      const int32_t phase = n % 92;
      const int32_t x = phase < 46 ? -22 + phase : 68 - phase;
      edgePoints.push_back(brush::DabRect(x, 400 + n, kBrush, kBrush, 1));
    }
  }
  Block image, backup, coverage, snapshot, mask, sample;
  std::vector<brush::Rect> points, edgePoints;
};

Scene& TheScene() {
  static Scene scene;
  return scene;
}

// Thread CPU time in nanoseconds.
double Now() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e9 + t.tv_nsec;
}

// Copying each dab rectangle's bytes out of the image, along the same stroke.
double CopyStrokeNs(Scene& s, std::vector<uint8_t>& buffer) {
  const double start = Now();
  for (const brush::Rect& r : s.points) {
    uint8_t* out = buffer.data();
    for (int32_t y = r.top; y < r.bottom; ++y) {
      std::memcpy(out, s.image.view.Pixel24(r.left, y), kBrush * 3);
      out += kBrush * 3;
    }
    benchmark::DoNotOptimize(buffer.data());
  }
  return Now() - start;
}

// Nanoseconds per dab of the memcpy: the best stroke seen in this run (measured first, and by
// the memcpy benchmark itself).
double bestCopyStrokeNs = 0;
double MemcpyNsPerDab() {
  if (bestCopyStrokeNs == 0) {
    std::vector<uint8_t> buffer(kBrush * kBrush * 3);
    bestCopyStrokeNs = 1e300;
    for (int n = 0; n < 200; ++n) bestCopyStrokeNs = std::min(bestCopyStrokeNs, CopyStrokeNs(TheScene(), buffer));
  }
  return bestCopyStrokeNs / kDabs;
}

void Report(benchmark::State& state, double bestStrokeNs) {
  const double perDab = bestStrokeNs / kDabs;
  state.counters["ns/dab"] = perDab;
  state.counters["x_memcpy"] = perDab / MemcpyNsPerDab();
  state.counters["ms/stroke"] = perDab * kDabs / 1e6;
}

void BM_MemcpyOfDab(benchmark::State& state) {
  Scene& s = TheScene();
  std::vector<uint8_t> buffer(kBrush * kBrush * 3);
  MemcpyNsPerDab();
  double best = 1e300;
  for (auto _ : state) best = std::min(best, CopyStrokeNs(s, buffer));
  bestCopyStrokeNs = std::min(bestCopyStrokeNs, best);
  Report(state, best);
}
BENCHMARK(BM_MemcpyOfDab)->Unit(benchmark::kMicrosecond);

brush::Rect Bounds(const std::vector<brush::Rect>& rects) {
  brush::Rect box = rects.front();
  for (const brush::Rect& r : rects) {
    box = {std::min(box.left, r.left), std::min(box.top, r.top), std::max(box.right, r.right),
           std::max(box.bottom, r.bottom)};
  }
  return box;
}

void BM_Stroke(benchmark::State& state, int32_t tool, int32_t option, bool edge = false) {
  Scene& s = TheScene();
  const std::vector<brush::Rect>& points = edge ? s.edgePoints : s.points;
  MemcpyNsPerDab();
  brush::DabSettings st;
  st.tool = tool;
  st.option = option;
  st.strength = 60;
  st.color = 0x00C0C0FF;
  brush::DabBlocks blocks;
  blocks.coverage = s.coverage.view;
  blocks.snapshot = s.snapshot.view;
  blocks.backup = s.backup.view;
  blocks.sample = s.sample.view;
  double best = 1e300;
  for (auto _ : state) {
    const double start = Now();
    for (const brush::Rect& r : points) {
      brush::ApplyDab(st, r.left, r.top, s.image.view, s.mask.view, blocks);
    }
    best = std::min(best, Now() - start);
    // A new stroke: clear the coverage the last one left (outside the timing).
    const brush::Rect box = brush::ClampToImage(Bounds(points), kWidth, kHeight);
    for (int32_t y = box.top; y < box.bottom; ++y)
      std::memset(s.coverage.view.Row(y) + box.left, 0, static_cast<size_t>(box.right - box.left));
  }
  Report(state, best);
}
BENCHMARK_CAPTURE(BM_Stroke, paint_hard, TOOL_PAINT, 0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Stroke, paint_soft, TOOL_PAINT, 1)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Stroke, restore_hard, TOOL_RESTORE, 0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Stroke, restore_soft, TOOL_RESTORE, 1)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Stroke, spray_hard, TOOL_SPRAY, 0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Stroke, spray_soft, TOOL_SPRAY, 1)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Stroke, clone, TOOL_CLONE, 0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Stroke, smooth, TOOL_SMOOTH, 0)->Unit(benchmark::kMicrosecond);
// Soft dabs whose clipped size changes with every dab (beside the same memcpy of a whole dab).
BENCHMARK_CAPTURE(BM_Stroke, paint_soft_edge, TOOL_PAINT, 1, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Stroke, restore_soft_edge, TOOL_RESTORE, 1, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Stroke, spray_soft_edge, TOOL_SPRAY, 1, true)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
