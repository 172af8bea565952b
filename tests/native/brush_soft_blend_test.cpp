// The fixed-point soft blend of the restore and spray brushes against the blend evaluated in
// doubles, for every pair of channel and target value: with the weights that the dabs of every
// clipped size produce, with the weights of whole dabs, and with hand-picked and random weights.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "retouch/imaging/brush_ops.h"

namespace {

uint8_t Exact(int32_t c, int32_t o, double w) { return static_cast<uint8_t>((c * (100 - w) + o * w) / 100); }

double RestoreWeight(const brush::SoftShape& shape, int32_t s, int32_t i, int32_t j) {
  return s * (1 - shape.Distance(i, j));
}
double SprayWeight(const brush::SoftShape& shape, int32_t s, int32_t i, int32_t j) {
  return (1 - std::sqrt(shape.Distance(i, j))) * s;
}

// Every (c, o) pair, or the pairs of the listed targets only: p towards target bytes, and p
// towards a grey of every listed level. Returns the number of pairs that differ.
int64_t CheckPairs(double w, const std::vector<int32_t>& targets) {
  int64_t wrong = 0;
  // Towards a target per byte: byte c + 256 k holds c and its target targets[k].
  std::vector<uint8_t> p(256 * targets.size()), to(p.size());
  for (size_t k = 0; k < targets.size(); ++k)
    for (int32_t c = 0; c < 256; ++c) {
      p[256 * k + c] = static_cast<uint8_t>(c);
      to[256 * k + c] = static_cast<uint8_t>(targets[k]);
    }
  brush::SoftBlendTowards(p.data(), to.data(), static_cast<int32_t>(p.size()), w);
  for (size_t b = 0; b < p.size(); ++b) wrong += p[b] != Exact(static_cast<int32_t>(b % 256), to[b], w);
  // Towards a colour: three channels of every value c.
  std::vector<uint8_t> q(768);
  for (int32_t o : targets) {
    for (size_t b = 0; b < q.size(); ++b) q[b] = static_cast<uint8_t>(b / 3);
    brush::SoftBlendToColour(q.data(), 768, static_cast<uint32_t>(o) * 0x010101u, w);
    for (size_t b = 0; b < q.size(); ++b) wrong += q[b] != Exact(static_cast<int32_t>(b / 3), o, w);
  }
  return wrong;
}

std::vector<int32_t> AllTargets() {
  std::vector<int32_t> all(256);
  for (int32_t o = 0; o < 256; ++o) all[o] = o;
  return all;
}

TEST(SoftBlend, EveryPairWithHandPickedAndRandomWeights) {
  std::vector<double> weights = {0, 1e-15, 1e-9, 1e-4, 0.3, 0.39, 0.390625, 0.5, 49.999999999, 50, 50.000000001,
                                 99.99, 99.999999, 100, 100.0 / 3, 200.0 / 3, 12.5, 37.5, 62.5, 87.5};
  for (int32_t w = 1; w < 100; w += 7) weights.push_back(w);
  // The neighbours of values whose factor lies at a boundary (w = 50: 32768).
  for (double w : {50.0, 25.0, 75.0, 100.0 * 65535 / 65536}) {
    weights.push_back(std::nextafter(w, 0.0));
    weights.push_back(std::nextafter(w, 200.0));
  }
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> any(0.0, 100.0);
  for (int n = 0; n < 60; ++n) weights.push_back(any(rng));
  const std::vector<int32_t> all = AllTargets();
  for (double w : weights) ASSERT_EQ(CheckPairs(w, all), 0) << "w = " << w;
}

TEST(SoftBlend, EveryPairWithTheWeightsOfWholeDabs) {
  const std::vector<int32_t> all = AllTargets();
  // Distinct weights: pixels with the same centre offsets share one.
  for (auto [size, s] : {std::pair{48, 60}, std::pair{17, 16}}) {
    const brush::SoftShape shape(size, size);
    for (int32_t j = 0; j < size; ++j)
      for (int32_t i = 0; i < size; ++i) {
        if (brush::SoftShape::Offset(i, size) < 0 || brush::SoftShape::Offset(j, size) < 0) continue;
        ASSERT_EQ(CheckPairs(RestoreWeight(shape, s, i, j), all), 0) << size << " " << s << " " << i << "," << j;
        ASSERT_EQ(CheckPairs(SprayWeight(shape, s, i, j), all), 0) << size << " " << s << " " << i << "," << j;
      }
  }
}

// Every clipped size from 1 x 1 to 96 x 96, the strengths 16 to 100 in turn: a channel at its
// target (where the doubles may round one below it) and a sample of other targets, for pixels
// at the centre, beside it, on the edge of the ellipse and elsewhere; every pair for one in 64.
TEST(SoftBlend, TheWeightsOfEveryClippedSize) {
  const std::vector<int32_t> all = AllTargets();
  std::mt19937 rng(96);
  int64_t sizes = 0;
  for (int32_t cw = 1; cw <= 96; ++cw)
    for (int32_t ch = 1; ch <= 96; ++ch, ++sizes) {
      const int32_t s = 16 + static_cast<int32_t>(sizes % 85);
      const brush::SoftShape shape(cw, ch);
      const int32_t pixels[][2] = {{cw / 2, ch / 2},
                                   {cw / 2 + 1 < cw ? cw / 2 + 1 : 0, ch / 2},
                                   {static_cast<int32_t>(rng() % cw), static_cast<int32_t>(rng() % ch)},
                                   {static_cast<int32_t>(rng() % cw), ch / 2}};
      std::vector<int32_t> targets;
      for (int k = 0; k < 6; ++k) targets.push_back(static_cast<int32_t>(rng() % 256));
      for (const auto& px : pixels) {
        const double restore = RestoreWeight(shape, s, px[0], px[1]);
        const double spray = SprayWeight(shape, s, px[0], px[1]);
        const bool full = sizes % 64 == 0;
        for (double w : {restore, spray}) {
          // Pairs at their target: c towards c for every c.
          std::vector<uint8_t> p(256);
          for (int32_t c = 0; c < 256; ++c) p[c] = static_cast<uint8_t>(c);
          std::vector<uint8_t> to = p;
          brush::SoftBlendTowards(p.data(), to.data(), 256, w);
          for (int32_t c = 0; c < 256; ++c) ASSERT_EQ(p[c], Exact(c, c, w)) << cw << "x" << ch << " s " << s << " w " << w;
          ASSERT_EQ(CheckPairs(w, full ? all : targets), 0) << cw << "x" << ch << " s " << s << " w " << w;
        }
      }
    }
}

}  // namespace
