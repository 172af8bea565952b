// The lasso and the floating selection's transforms, each timed beside a plain memcpy of the bytes
// it writes (separate buffers, caches emptied before each); `x_memcpy` is the ratio of the best
// times (thread CPU time). A lasso of 100 000 points against a copy of the points' bytes (goal:
// at most 100 ns a point); on a 4000 x 3000 image with a 2000 x 2000 elliptic selection: the cut
// (goal 4), a resize to 1500 x 2500 (8), a rotation by 30 degrees (20), a mirror (3) and a stamp
// (4), each writing its picture and mask.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "bench/bench_support.h"
#include "retouch/imaging/selection.h"
#include "retouch/imaging/selection_internal.h"

namespace {

constexpr int kWidth = 4000, kHeight = 3000;
constexpr sel::Metrics kMetrics{4, 4, 8, 8};
const sel::Rect kClient{0, 0, kWidth, kHeight};

using bench::Measure;


const sel::Image& Picture() {
  static sel::Image image = [] {
    sel::Image i;
    i.Create(kWidth, kHeight, 0);
    for (int y = 0; y < kHeight; ++y) {
      uint8_t* p = i.view().Row(y);
      for (int x = 0; x < kWidth * 3; ++x) p[x] = static_cast<uint8_t>(x * 7 + y * 3);
    }
    return i;
  }();
  return image;
}

// An ellipse of 2000 x 2000 in the middle of the picture, drawn as mouse moves of a few pixels.
void EllipseSelection(sel::Selection& s) {
  const double cx = kWidth / 2.0, cy = kHeight / 2.0, r = 999.0;
  sel::StartLasso(s, static_cast<int32_t>(cx + r), static_cast<int32_t>(cy), kClient, kHeight, sel::Clamp::kCanvas);
  for (int i = 1; i < 4000; ++i) {
    const double a = i * 2 * 3.14159265358979 / 4000;
    sel::ExtendLasso(s, static_cast<int32_t>(cx + r * std::cos(a)), static_cast<int32_t>(cy - r * std::sin(a)), kClient,
                     sel::Clamp::kCanvas);
  }
  sel::CloseLasso(s, static_cast<int32_t>(cx + r), static_cast<int32_t>(cy), kClient, Picture().view(), kMetrics);
}

size_t PictureAndMaskBytes(const sel::Selection& s) {
  return 2 * static_cast<size_t>(s.selectionSource.width()) * static_cast<size_t>(s.selectionSource.height()) * 3;
}

void BM_Lasso100k(benchmark::State& state) {
  // A square wave over the picture: 100 000 one-pixel moves, many crossings in every row.
  std::vector<sel::Point> path;
  int x = 10, y = 10, dir = 1;
  while (path.size() < 100000) {
    path.push_back({x, y});
    if ((dir > 0 && y == 2900) || (dir < 0 && y == 10)) {
      path.push_back({++x, y});
      dir = -dir;
    }
    y += dir;
  }
  path.resize(100000);
  sel::Selection s;
  Measure(state, path.size() * sizeof(sel::Point), [] {}, [&] {
    sel::StartLasso(s, path[0].x, path[0].y, kClient, kHeight, sel::Clamp::kCanvas);
    for (size_t i = 1; i < path.size(); ++i) sel::ExtendLasso(s, path[i].x, path[i].y, kClient, sel::Clamp::kCanvas);
    sel::Crossings rows;
    sel::detail::CloseOutline(s, path.back().x, path.back().y, kClient, sel::Clamp::kCanvas, &rows);
    benchmark::DoNotOptimize(sel::ComputeSelectionRect(rows));
  });
  state.counters["ns_per_point"] = state.counters["best_ms"] * 1e6 / static_cast<double>(path.size());
}

void BM_Cut(benchmark::State& state) {
  sel::Selection s;
  EllipseSelection(s);
  sel::Image out, mask;
  Measure(state, PictureAndMaskBytes(s), [&] { out.Clear(); mask.Clear(); },
          [&] { sel::CutSelection(Picture().view(), s.selectionRect, s.moveBaseRows, &out, &mask); });
}

void BM_Resize(benchmark::State& state) {
  sel::Selection s;
  EllipseSelection(s);
  const sel::Rect r = s.selectionRect;
  const sel::Rect to{r.left, r.top, r.left + 1500, r.top + 2500};
  Measure(state, 2 * size_t{1500} * 2500 * 3, [] {}, [&] { sel::ResizeSelection(s, to, kMetrics); });
}

void BM_Rotate30(benchmark::State& state) {
  sel::Selection s;
  EllipseSelection(s);
  sel::RotateSelection(s, 30, kWidth, kHeight, kMetrics);
  const size_t bytes = PictureAndMaskBytes(s);
  Measure(state, bytes, [&] { s.rotationAngle = 0; }, [&] { sel::RotateSelection(s, 30, kWidth, kHeight, kMetrics); });
}

void BM_Mirror(benchmark::State& state) {
  sel::Selection s;
  EllipseSelection(s);
  Measure(state, PictureAndMaskBytes(s), [] {}, [&] { sel::MirrorSelection(s, false, kMetrics); });
}

void BM_Stamp(benchmark::State& state) {
  sel::Selection s;
  EllipseSelection(s);
  sel::Image target;
  target.Duplicate(Picture());
  Measure(state, PictureAndMaskBytes(s) / 2, [] {}, [&] { sel::StampSelection(s, target.view()); });
}

}  // namespace

BENCHMARK(BM_Lasso100k)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(BM_Cut)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(BM_Resize)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(6);
BENCHMARK(BM_Rotate30)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(6);
BENCHMARK(BM_Mirror)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(BM_Stamp)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);

BENCHMARK_MAIN();
