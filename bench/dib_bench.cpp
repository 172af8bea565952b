// Pixel operations on a 4000 x 3000 24-bit image, each timed beside a plain memcpy of the bytes it
// writes (same size, separate buffers, caches emptied before each). The counter `x_memcpy` is the ratio of the best operation
// time to the best memcpy time (thread CPU time); goals: flip, crop and paste within 2; mirror,
// masked paste and resize within 6.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

#include "bench/bench_support.h"
#include "retouch/imaging/dib_ops.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

using bench::Measure;

// An image whose bytes are not all alike.
class Image : public bench::Image {
 public:
  Image(int w, int h) : bench::Image(w, h) {
    for (size_t i = 0; i < bytes(); ++i) bits()[i] = static_cast<uint8_t>((i + dib::kHeaderSize) * 131 >> 3);
  }
};



const dib::Rect kPart = {500, 500, 3500, 2500};  // 3000 x 2000
constexpr int kPartW = 3000, kPartH = 2000;
constexpr size_t kPartBytes = size_t{kPartW} * kPartH * 3;
constexpr size_t kImageBytes = size_t{kWidth} * kHeight * 3;

void BM_Crop(benchmark::State& state) {
  Image image(kWidth, kHeight), crop(kPartW, kPartH);
  Measure(state, kPartBytes, [&] { dib::CropInto(image.view(), kPart, crop.view()); });
}

void BM_Paste(benchmark::State& state) {
  Image image(kWidth, kHeight), patch(kPartW, kPartH);
  Measure(state, kPartBytes, [&] { dib::Paste(image.view(), patch.view(), kPart.left, kPart.top); });
}

// Lasso-like mask: an ellipse inside (black), white around it.
void BM_PasteMaskedEllipse(benchmark::State& state) {
  Image image(kWidth, kHeight), patch(kPartW, kPartH), mask(kPartW, kPartH);
  for (int y = 0; y < kPartH; ++y)
    for (int x = 0; x < kPartW; ++x) {
      const double dx = (x - kPartW / 2.0) / (kPartW / 2.0), dy = (y - kPartH / 2.0) / (kPartH / 2.0);
      mask.Set(x, y, dx * dx + dy * dy <= 1.0 ? 0 : 255);
    }
  Measure(state, kPartBytes, [&] { dib::PasteMasked(image.view(), patch.view(), mask.view(), 500, 500); });
}

// Worst case: inside and outside alternate pixel by pixel.
void BM_PasteMaskedAlternate(benchmark::State& state) {
  Image image(kWidth, kHeight), patch(kPartW, kPartH), mask(kPartW, kPartH);
  for (int y = 0; y < kPartH; ++y)
    for (int x = 0; x < kPartW; ++x) mask.Set(x, y, (x + y) % 2 ? 255 : 0);
  Measure(state, kPartBytes, [&] { dib::PasteMasked(image.view(), patch.view(), mask.view(), 500, 500); });
}

void BM_Flip(benchmark::State& state) {
  Image image(kWidth, kHeight);
  Measure(state, kImageBytes, [&] { dib::FlipVertical(image.view()); });
}

void BM_Mirror(benchmark::State& state) {
  Image image(kWidth, kHeight);
  Measure(state, kImageBytes, [&] { dib::Mirror(image.view()); });
}

void BM_ResizeHalf(benchmark::State& state) {
  Image image(kWidth, kHeight), half(kWidth / 2, kHeight / 2);
  Measure(state, kImageBytes / 4, [&] { dib::Resample(image.view(), half.view()); });
}

void BM_ResizeDouble(benchmark::State& state) {
  Image image(kWidth, kHeight), twice(kWidth * 2, kHeight * 2);
  Measure(state, kImageBytes * 4, [&] { dib::Resample(image.view(), twice.view()); });
}

}  // namespace

BENCHMARK(BM_Crop)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paste)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PasteMaskedEllipse)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PasteMaskedAlternate)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Flip)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Mirror)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResizeHalf)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResizeDouble)->UseManualTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
