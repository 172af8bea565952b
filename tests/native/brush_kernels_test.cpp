// The fast dab kernels against the plain model of the rules, on random images, masks, positions
// (edges included), strengths and strokes.
#include <gtest/gtest.h>

#include <random>

#include "retouch/imaging/brush_ops.h"
#include "tests/native/brush_reference.h"
#include "tests/native/brush_test_images.h"

using brushtest::Image;
using brushtest::Settings;

namespace {

Image RandomMask(std::mt19937& rng, int32_t w, int32_t h) {
  Image m(w, h, 8);
  const int kind = static_cast<int>(rng() % 3);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double dx = (x + 0.5 - w / 2.0) / (w / 2.0), dy = (y + 0.5 - h / 2.0) / (h / 2.0);
      uint8_t v = 1;
      if (kind == 0) v = dx * dx + dy * dy <= 1.0;
      if (kind == 1) v = static_cast<uint8_t>(rng() % 4 ? rng() % 256 : 0);
      m.SetByte(x, y, v);
    }
  return m;
}

void Randomise(std::mt19937& rng, Image& image) {
  for (uint8_t& b : image.data) b = static_cast<uint8_t>(rng());
}

TEST(DabKernels, MatchThePlainModel) {
  std::mt19937 rng(12345);
  const int32_t tools[] = {TOOL_PAINT, TOOL_RESTORE, TOOL_SPRAY, TOOL_STAMP, TOOL_CLONE, TOOL_SMOOTH};
  for (int round = 0; round < 300; ++round) {
    const int32_t w = 1 + static_cast<int32_t>(rng() % 70), h = 1 + static_cast<int32_t>(rng() % 50);
    Image fast(w, h);
    Randomise(rng, fast);
    Image backup = fast;
    // Parts of the backup equal to the image: the blend of a pixel with itself.
    if (rng() % 2) Randomise(rng, backup);
    for (size_t i = 0; i < backup.data.size(); i += 1 + rng() % 5) backup.data[i] = fast.data[i];
    const Image snapshot = fast;
    Image coverageFast(w, h, 8), coverageModel(w, h, 8);
    Image model = fast;

    const int32_t tool = tools[rng() % std::size(tools)];
    const int32_t option = static_cast<int32_t>(rng() % 2);
    const int32_t bw = 1 + static_cast<int32_t>(rng() % 40), bh = 1 + static_cast<int32_t>(rng() % 40);
    const Image mask = RandomMask(rng, bw, bh);
    Image sample(std::max(1, bw - static_cast<int32_t>(rng() % 3)), std::max(1, bh - static_cast<int32_t>(rng() % 3)));
    Randomise(rng, sample);
    brush::DabSettings st;
    st.tool = tool;
    st.option = option;
    const int32_t strengths[] = {100, 16, 50, 73, 99, 1, 0};
    st.strength = strengths[rng() % std::size(strengths)];
    st.color = rng() & 0xFFFFFF;

    brush::DabBlocks fastBlocks, modelBlocks;
    fastBlocks.coverage = coverageFast.view;
    modelBlocks.coverage = coverageModel.view;
    fastBlocks.snapshot = modelBlocks.snapshot = snapshot.view;
    fastBlocks.backup = modelBlocks.backup = backup.view;
    fastBlocks.sample = modelBlocks.sample = sample.view;

    // A short stroke: a few dabs that overlap, some hanging over the edges.
    int32_t x = static_cast<int32_t>(rng() % (w + 20)) - 10, y = static_cast<int32_t>(rng() % (h + 20)) - 10;
    for (int d = 0; d < 6; ++d) {
      ASSERT_EQ(brush::ApplyDab(st, x, y, fast.view, mask.view, fastBlocks), 1);
      brushref::ReferenceDab(st, x, y, model.view, mask.view, modelBlocks);
      ASSERT_TRUE(fast == model) << "round " << round << " tool " << tool << " option " << option << " strength "
                                 << st.strength << " brush " << bw << "x" << bh << " image " << w << "x" << h
                                 << " at " << x << "," << y;
      ASSERT_TRUE(coverageFast == coverageModel) << "round " << round;
      x += static_cast<int32_t>(rng() % 5) - 2;
      y += static_cast<int32_t>(rng() % 5) - 2;
    }
  }
}

// Long soft restore and spray strokes, as a user drags them: the image starts equal to the backup
// in places (where channels at their target may round one lower), dabs overlap hundreds of
// times, cross the edges (a new clipped size with every dab) and change strength and colour.
TEST(DabKernels, LongSoftStrokesMatchThePlainModel) {
  std::mt19937 rng(2024);
  const int32_t w = 150, h = 110;
  Image fast(w, h);
  Randomise(rng, fast);
  Image backup = fast;
  for (int32_t y = 0; y < h / 2; ++y)
    for (int32_t x = 0; x < w; ++x) backup.Set(x, y, rng() & 0xFFFFFF);
  Image model = fast;
  brush::DabBlocks blocks;
  blocks.backup = backup.view;
  for (int stroke = 0; stroke < 24; ++stroke) {
    brush::DabSettings st;
    st.tool = stroke % 2 ? TOOL_SPRAY : TOOL_RESTORE;
    st.option = 1;
    st.strength = 16 + static_cast<int32_t>(rng() % 85);
    st.color = stroke % 4 == 1 ? 0x00C0C0FFu : rng() & 0xFFFFFF;
    const int32_t size = 3 + static_cast<int32_t>(rng() % 94);
    const int32_t bw = stroke % 3 ? size : 1 + static_cast<int32_t>(rng() % 96);
    const int32_t bh = size * brush::BrushScale(st.tool, st.option);
    Image mask(bw * brush::BrushScale(st.tool, st.option), bh, 8);
    mask.FillBytes(1);
    int32_t x = static_cast<int32_t>(rng() % w), y = static_cast<int32_t>(rng() % h);
    const int32_t dx = static_cast<int32_t>(rng() % 7) - 3, dy = static_cast<int32_t>(rng() % 7) - 3;
    for (int d = 0; d < 40; ++d) {
      const brush::Rect r = brush::DabRect(x, y, bw, size, brush::BrushScale(st.tool, st.option));
      ASSERT_EQ(brush::ApplyDab(st, r.left, r.top, fast.view, mask.view, blocks), 1);
      brushref::ReferenceDab(st, r.left, r.top, model.view, mask.view, blocks);
      ASSERT_TRUE(fast == model) << "stroke " << stroke << " dab " << d << " tool " << st.tool << " strength "
                                 << st.strength << " brush " << bw << "x" << size << " at " << x << "," << y;
      x += dx + static_cast<int32_t>(rng() % 3) - 1;
      y += dy + static_cast<int32_t>(rng() % 3) - 1;
      if (d % 10 == 9) st.strength = 16 + static_cast<int32_t>(rng() % 85);
      if (d % 10 == 4) st.color = rng() & 0xFFFFFF;
    }
  }
}

// A soft dab far wider than the tool window allows (more distinct weights than 16 bits count).
TEST(DabKernels, HugeSoftDabsMatchThePlainModel) {
  std::mt19937 rng(520);
  for (const int32_t tool : {TOOL_RESTORE, TOOL_SPRAY}) {
    Image fast(700, 400);
    Randomise(rng, fast);
    Image backup = fast;
    for (size_t i = 0; i < backup.data.size(); i += 2) backup.data[i] = static_cast<uint8_t>(rng());
    Image model = fast;
    Image mask(700, 400, 8);
    mask.FillBytes(1);
    brush::DabSettings st;
    st.tool = tool;
    st.option = 1;
    st.strength = 77;
    st.color = 0x00336699;
    brush::DabBlocks blocks;
    blocks.backup = backup.view;
    for (int d = 0; d < 2; ++d) {
      ASSERT_EQ(brush::ApplyDab(st, -d, 0, fast.view, mask.view, blocks), 1);
      brushref::ReferenceDab(st, -d, 0, model.view, mask.view, blocks);
      ASSERT_TRUE(fast == model) << "tool " << tool << " dab " << d;
    }
  }
}

// One mask block redrawn in place between the dabs of a stroke (the brush shape or size changed
// under the same memory): every dab follows the mask as it is now.
TEST(DabKernels, AMaskRedrawnInPlaceIsFollowed) {
  std::mt19937 rng(77);
  for (const int32_t tool : {TOOL_RESTORE, TOOL_SPRAY, TOOL_CLONE, TOOL_SMOOTH}) {
    for (const int32_t option : {0, 1}) {
      Image fast(60, 40);
      Randomise(rng, fast);
      Image backup(60, 40);
      Randomise(rng, backup);
      Image sample(20, 20);
      Randomise(rng, sample);
      Image model = fast;
      Image mask(20, 20, 8);
      brush::DabBlocks blocks;
      blocks.backup = backup.view;
      blocks.sample = sample.view;
      const brush::DabSettings st = Settings(tool, option, 60, 0x00405060);
      for (int d = 0; d < 12; ++d) {
        // Sometimes unchanged, sometimes a few bytes, sometimes all of them.
        if (d % 3 != 0) {
          const int changes = d % 3 == 1 ? 3 : 400;
          for (int k = 0; k < changes; ++k) mask.data[rng() % mask.data.size()] = static_cast<uint8_t>(rng() % 2);
        }
        const int32_t x = static_cast<int32_t>(rng() % 70) - 15, y = static_cast<int32_t>(rng() % 50) - 15;
        ASSERT_EQ(brush::ApplyDab(st, x, y, fast.view, mask.view, blocks), 1);
        brushref::ReferenceDab(st, x, y, model.view, mask.view, blocks);
        ASSERT_TRUE(fast == model) << "tool " << tool << " option " << option << " dab " << d;
      }
    }
  }
}

}  // namespace
