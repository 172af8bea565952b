// Dab algorithms, clipping and stroke geometry, against values worked out by hand.
#include "retouch/imaging/brush_ops.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "tests/native/brush_test_images.h"

using brushtest::Grey;
using brushtest::Image;
using brushtest::Settings;

namespace {

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

Image FullMask(int32_t w, int32_t h) {
  Image m(w, h, 8);
  m.FillBytes(1);
  return m;
}

std::vector<std::pair<int, int>> Walk(int x0, int y0, int x1, int y1) {
  std::vector<std::pair<int, int>> points;
  brush::WalkLine(x0, y0, x1, y1, [&](int32_t x, int32_t y) { points.emplace_back(x, y); });
  return points;
}

using Points = std::vector<std::pair<int, int>>;

// ---- Stroke geometry -------------------------------------------------------------------------

TEST(StrokeGeometry, RectanglesOfDabsAndRecords) {
  EXPECT_EQ(brush::DabRect(10, 20, 16, 16, 1), (brush::Rect{2, 12, 18, 28}));
  EXPECT_EQ(brush::DabRect(10, 20, 15, 5, 1), (brush::Rect{3, 18, 18, 23}));
  EXPECT_EQ(brush::DabRect(10, 20, 15, 5, 2), (brush::Rect{-4, 16, 26, 26}));

  StrokeBounds b;
  brush::StartBounds(&b, 10, 10);
  brush::ExtendBounds(&b, 20, 10);
  EXPECT_EQ(brush::StrokeRecordRect(b, 16, 16, 1), (brush::Rect{1, 1, 29, 20}));
  EXPECT_EQ(brush::StrokeRecordRect(b, 16, 16, 2), (brush::Rect{-7, -7, 37, 28}));
  brush::ExtendBounds(&b, 5, 30);
  EXPECT_EQ(b.minX, 5);
  EXPECT_EQ(b.maxX, 20);
  EXPECT_EQ(b.minY, 10);
  EXPECT_EQ(b.maxY, 30);

  brush::StartBounds(&b, 30, 40);
  EXPECT_EQ(brush::StampRecordRect(b, 16, 16), (brush::Rect{22, 32, 38, 49}));
  // An odd width: the dab reaches x - 7 + 15 = 38 (exclusive).
  EXPECT_EQ(brush::StampRecordRect(b, 15, 15), (brush::Rect{23, 33, 38, 48}));
  const brush::Rect dab = brush::DabRect(30, 40, 15, 15, 1);
  EXPECT_EQ(dab.right, 38);
  EXPECT_LE(dab.bottom, 48);

  EXPECT_EQ(brush::ClampToImage({-3, -1, 50, 9}, 40, 30), (brush::Rect{0, 0, 40, 9}));
  EXPECT_EQ(brush::SprayPeriod(16, 16), 119);
  EXPECT_EQ(brush::BrushScale(TOOL_SPRAY, 1), 2);
  EXPECT_EQ(brush::BrushScale(TOOL_SPRAY, 0), 1);
  EXPECT_EQ(brush::BrushScale(TOOL_PAINT, 1), 1);
}

TEST(StrokeGeometry, LineWalkStepsDiagonallyOnlyWhenTheErrorAllows) {
  // The error starts at 2 (minor - major) = -4: two straight steps before the diagonal one.
  EXPECT_EQ(Walk(0, 0, 3, 1), (Points{{0, 0}, {1, 0}, {2, 0}, {3, 1}}));
  EXPECT_EQ(Walk(0, 0, 3, 2), (Points{{0, 0}, {1, 0}, {2, 1}, {3, 2}}));
  EXPECT_EQ(Walk(5, 5, 5, 5), (Points{{5, 5}}));
  EXPECT_EQ(Walk(0, 0, -2, 2), (Points{{0, 0}, {-1, 1}, {-2, 2}}));
  EXPECT_EQ(Walk(4, 7, 4, 4), (Points{{4, 7}, {4, 6}, {4, 5}, {4, 4}}));
  EXPECT_EQ(Walk(0, 0, -1, -3), (Points{{0, 0}, {0, -1}, {0, -2}, {-1, -3}}));

  // Every walk is connected and ends on its end point.
  for (int dx = -7; dx <= 7; ++dx) {
    for (int dy = -7; dy <= 7; ++dy) {
      const Points p = Walk(3, -2, 3 + dx, -2 + dy);
      ASSERT_EQ(p.size(), static_cast<size_t>(std::max(std::abs(dx), std::abs(dy)) + 1));
      EXPECT_EQ(p.back(), std::make_pair(3 + dx, -2 + dy));
      for (size_t i = 1; i < p.size(); ++i) {
        EXPECT_LE(std::abs(p[i].first - p[i - 1].first), 1);
        EXPECT_LE(std::abs(p[i].second - p[i - 1].second), 1);
      }
    }
  }
}

TEST(StrokeGeometry, InterpolatingToolsWalkFromTheCurrentPoint) {
  auto dabs = [](int32_t tool, int cx, int cy, int px, int py) {
    Points points;
    brush::ForEachDab(tool, cx, cy, px, py, [&](int32_t x, int32_t y) { points.emplace_back(x, y); });
    return points;
  };
  EXPECT_EQ(dabs(TOOL_PAINT, 3, 0, 0, 0), (Points{{3, 0}, {2, 0}, {1, 0}, {0, 0}}));
  EXPECT_EQ(dabs(TOOL_CLONE, 0, 2, 0, 0), (Points{{0, 2}, {0, 1}, {0, 0}}));
  for (int32_t tool : {TOOL_RESTORE, TOOL_SPRAY, TOOL_STAMP, TOOL_SMOOTH}) {
    EXPECT_EQ(dabs(tool, 3, 0, 0, 0), (Points{{0, 0}})) << tool;
  }
  EXPECT_EQ(dabs(TOOL_PAINT, 4, 4, 4, 4), (Points{{4, 4}}));
}

// ---- Clipping --------------------------------------------------------------------------------

TEST(DabClipping, KeepsThePartOnTheImageWithTheMatchingMaskPart) {
  brush::DabClip c;
  ASSERT_TRUE(brush::ClipDab(100, 50, 16, 16, 10, 20, &c));
  EXPECT_EQ(c.x, 10); EXPECT_EQ(c.y, 20); EXPECT_EQ(c.width, 16); EXPECT_EQ(c.height, 16);
  EXPECT_EQ(c.maskX, 0); EXPECT_EQ(c.maskY, 0);

  ASSERT_TRUE(brush::ClipDab(100, 50, 16, 16, -5, -9, &c));  // left and top
  EXPECT_EQ(c.x, 0); EXPECT_EQ(c.y, 0); EXPECT_EQ(c.width, 11); EXPECT_EQ(c.height, 7);
  EXPECT_EQ(c.maskX, 5); EXPECT_EQ(c.maskY, 9);

  ASSERT_TRUE(brush::ClipDab(100, 50, 16, 16, 90, 45, &c));  // right and bottom
  EXPECT_EQ(c.x, 90); EXPECT_EQ(c.y, 45); EXPECT_EQ(c.width, 10); EXPECT_EQ(c.height, 5);
  EXPECT_EQ(c.maskX, 0); EXPECT_EQ(c.maskY, 0);

  // A mask larger than the image overhanging both sides.
  ASSERT_TRUE(brush::ClipDab(10, 6, 48, 48, -20, -30, &c));
  EXPECT_EQ(c.x, 0); EXPECT_EQ(c.y, 0); EXPECT_EQ(c.width, 10); EXPECT_EQ(c.height, 6);
  EXPECT_EQ(c.maskX, 20); EXPECT_EQ(c.maskY, 30);

  EXPECT_FALSE(brush::ClipDab(100, 50, 16, 16, -16, 0, &c));
  EXPECT_FALSE(brush::ClipDab(100, 50, 16, 16, 0, -16, &c));
  EXPECT_FALSE(brush::ClipDab(100, 50, 16, 16, 100, 0, &c));
  EXPECT_FALSE(brush::ClipDab(100, 50, 16, 16, 0, 50, &c));
  EXPECT_FALSE(brush::ClipDab(100, 50, 16, 16, INT32_MIN, INT32_MAX, &c));
}

// A 4 x 4 mask that is set where column >= row (rows counted from the top as dabs see them).
Image TriangleMask() {
  Image m(4, 4, 8);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) m.SetByte(x, y, x >= y ? 1 : 0);
  return m;
}

TEST(DabClipping, OverhangingDabsTouchOnlyTheImageWithTheirOwnMaskPart) {
  const Image mask = TriangleMask();
  const brush::DabBlocks none;
  struct Case {
    int32_t left, top;
  };
  for (const Case k : {Case{-2, 3}, Case{3, -1}, Case{8, 4}, Case{5, 7}, Case{-3, -3}, Case{7, 8}}) {
    Image image(10, 10);
    ASSERT_EQ(brush::ApplyDab(Settings(TOOL_SPRAY, 0, 100, 0xFFFFFF), k.left, k.top, image.view,
                              mask.view, none),
              1);
    for (int y = 0; y < 10; ++y) {
      for (int x = 0; x < 10; ++x) {
        const int mx = x - k.left, my = y - k.top;
        const bool inside = mx >= 0 && mx < 4 && my >= 0 && my < 4 && mx >= my;
        EXPECT_EQ(image.At(x, y), inside ? 0xFFFFFFu : 0u) << k.left << "," << k.top << " at " << x << "," << y;
      }
    }
  }
  // Wholly outside: nothing, but not a failure.
  Image image(10, 10);
  const Image before = image;
  EXPECT_EQ(brush::ApplyDab(Settings(TOOL_SPRAY, 0, 100, 0xFFFFFF), -4, 2, image.view, mask.view, none), 1);
  EXPECT_TRUE(image == before);
}

TEST(DabClipping, BrushLargerThanTheImage) {
  Image image(3, 2);
  const Image mask = FullMask(48, 48);
  const brush::DabBlocks none;
  ASSERT_EQ(brush::ApplyDab(Settings(TOOL_SPRAY, 0, 100, 0x123456), -20, -20, image.view, mask.view, none), 1);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(image.At(x, y), 0x123456u);
}

// ---- Paint -----------------------------------------------------------------------------------

TEST(PaintBrush, HardDabBlendsOncePerStroke) {
  Image image(8, 8);
  image.Fill(Rgb(0, 100, 200));
  Image coverage(8, 8, 8);
  brush::DabBlocks blocks;
  blocks.coverage = coverage.view;
  const Image mask = FullMask(3, 3);
  const uint32_t color = Rgb(10, 20, 30);

  ASSERT_EQ(brush::ApplyDab(Settings(TOOL_PAINT, 0, 50, color), 2, 2, image.view, mask.view, blocks), 1);
  // (channel * 50 + colour * 50) / 100 per channel.
  EXPECT_EQ(image.At(3, 3), Rgb(5, 60, 115));
  EXPECT_EQ(image.At(1, 3), Rgb(0, 100, 200));
  EXPECT_EQ(coverage.Byte(3, 3), 1);
  EXPECT_EQ(coverage.Byte(5, 3), 0);

  // An overlapping dab of the same stroke leaves treated pixels alone.
  ASSERT_EQ(brush::ApplyDab(Settings(TOOL_PAINT, 0, 50, color), 3, 2, image.view, mask.view, blocks), 1);
  EXPECT_EQ(image.At(3, 3), Rgb(5, 60, 115));
  EXPECT_EQ(image.At(5, 3), Rgb(5, 60, 115));

  // A new stroke (coverage cleared) paints over it again; strength 33 truncates.
  coverage.FillBytes(0);
  ASSERT_EQ(brush::ApplyDab(Settings(TOOL_PAINT, 0, 33, color), 2, 2, image.view, mask.view, blocks), 1);
  // red (5*67 + 10*33)/100 = 6.65, green (60*67 + 20*33)/100 = 46.8, blue (115*67 + 30*33)/100 = 86.95
  EXPECT_EQ(image.At(3, 3), Rgb(6, 46, 86));

  ASSERT_EQ(brush::ApplyDab(Settings(TOOL_PAINT, 0, 100, color), 0, 0, image.view, mask.view, blocks), 1);
  EXPECT_EQ(image.At(0, 0), color);
}

TEST(PaintBrush, SelfCrossingStrokeEqualsASinglePass) {
  const Image mask = FullMask(5, 5);
  const uint32_t color = Rgb(255, 255, 255);
  Image image(30, 30);
  image.Fill(Grey(40));
  Image coverage(30, 30, 8);
  brush::DabBlocks blocks;
  blocks.coverage = coverage.view;
  // There and back again, then across: every dab position of the loop overlaps earlier ones.
  const int path[][2] = {{5, 5}, {20, 5}, {20, 20}, {5, 5}, {5, 20}, {25, 10}};
  for (size_t n = 1; n < std::size(path); ++n) {
    brush::ForEachDab(TOOL_PAINT, path[n][0], path[n][1], path[n - 1][0], path[n - 1][1],
                      [&](int32_t x, int32_t y) {
                        const brush::Rect r = brush::DabRect(x, y, 5, 5, 1);
                        brush::ApplyDab(Settings(TOOL_PAINT, 0, 40, color), r.left, r.top,
                                        image.view, mask.view, blocks);
                      });
  }
  // 40 + (255 - 40) * 40 / 100 = (40 * 60 + 255 * 40) / 100 = 126
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x)
      EXPECT_TRUE(image.At(x, y) == Grey(40) || image.At(x, y) == Grey(126)) << x << "," << y;
  EXPECT_EQ(image.At(12, 12), Grey(126));
  EXPECT_EQ(image.At(5, 5), Grey(126));
}

TEST(PaintBrush, SoftDabWeighsByDistanceFromTheSnapshot) {
  Image image(10, 10);
  Image coverage(10, 10, 8);
  const Image snapshot = image;
  brush::DabBlocks blocks;
  blocks.coverage = coverage.view;
  blocks.snapshot = snapshot.view;
  const Image mask = FullMask(8, 8);
  ASSERT_EQ(brush::ApplyDab(Settings(TOOL_PAINT, 1, 100, 0xFFFFFF), 1, 1, image.view, mask.view, blocks), 1);
  // 8 x 8: offsets -3..0, 0..3; a = 3, A = B = 9, L = 81.
  EXPECT_EQ(image.At(4, 4), Grey(255));  // centre: t = 0, w = 100
  EXPECT_EQ(image.At(5, 5), Grey(255));
  EXPECT_EQ(coverage.Byte(4, 4), 100);
  // dx = -2: t = 36/81, w = trunc(100 (1 - t^3)) = 91, 255 * 91 / 100 = 232
  EXPECT_EQ(image.At(2, 4), Grey(232));
  EXPECT_EQ(coverage.Byte(2, 4), 91);
  // dx = dy = -1: t = 18/81, w = 98 -> 249; dx = -1, dy = 0: t = 9/81, w = 99 -> 252
  EXPECT_EQ(image.At(3, 3), Grey(249));
  EXPECT_EQ(image.At(3, 4), Grey(252));
  // dx = -3: the edge, t = 1, w = 0
  EXPECT_EQ(image.At(1, 4), Grey(0));
  EXPECT_EQ(coverage.Byte(1, 4), 0);
  EXPECT_EQ(image.At(1, 1), Grey(0));  // corner: t clamped to 1
}

TEST(PaintBrush, SoftDabsOfOneStrokeKeepTheStrongestWeightFromTheSnapshot) {
  Image image(10, 10);
  Image coverage(10, 10, 8);
  const Image snapshot = image;
  brush::DabBlocks blocks;
  blocks.coverage = coverage.view;
  blocks.snapshot = snapshot.view;
  const Image mask = FullMask(8, 8);
  const uint32_t color = Grey(200);
  ASSERT_EQ(brush::ApplyDab(Settings(TOOL_PAINT, 1, 100, color), 1, 1, image.view, mask.view, blocks), 1);
  EXPECT_EQ(image.At(2, 4), Grey(182));  // w = 91
  EXPECT_EQ(image.At(4, 4), Grey(200));
  // A weaker dab at the same place changes nothing.
  ASSERT_EQ(brush::ApplyDab(Settings(TOOL_PAINT, 1, 50, color), 1, 1, image.view, mask.view, blocks), 1);
  EXPECT_EQ(image.At(4, 4), Grey(200));
  EXPECT_EQ(image.At(2, 4), Grey(182));
  // One column left, (2, 4) has dx = -1: w = 99 > 91, blended from the snapshot (198), not from
  // the painted pixel (which would give 199).
  ASSERT_EQ(brush::ApplyDab(Settings(TOOL_PAINT, 1, 100, color), 0, 1, image.view, mask.view, blocks), 1);
  EXPECT_EQ(image.At(2, 4), Grey(198));
  EXPECT_EQ(coverage.Byte(2, 4), 99);
  EXPECT_EQ(image.At(8, 4), Grey(0));  // dx = 3 of the first dab, outside the second
}

TEST(PaintBrush, SoftStrokeCrossingItselfKeepsTheStrongestWeight) {
  Image image(20, 20);
  image.Fill(Grey(10));
  const Image snapshot = image;
  Image coverage(20, 20, 8);
  brush::DabBlocks blocks;
  blocks.coverage = coverage.view;
  blocks.snapshot = snapshot.view;
  const Image mask = FullMask(6, 6);
  auto dab = [&](int x, int y) {
    const brush::Rect r = brush::DabRect(x, y, 6, 6, 1);
    brush::ApplyDab(Settings(TOOL_PAINT, 1, 80, Grey(250)), r.left, r.top, image.view, mask.view, blocks);
  };
  for (int x = 4; x <= 14; ++x) dab(x, 10);
  const Image once = image;
  for (int x = 14; x >= 4; --x) dab(x, 10);  // back over the same positions
  EXPECT_TRUE(image == once);
  EXPECT_EQ(image.At(9, 10), Grey(10 + (250 - 10) * 80 / 100));
}

// ---- Restore, spray, stamp -------------------------------------------------------------------

TEST(RestoreBrush, PutsBackTheBackup) {
  Image backup(6, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) backup.Set(x, y, Rgb(x * 40, y * 40, 7));
  Image image(6, 6);
  image.Fill(Grey(200));
  brush::DabBlocks blocks;
  blocks.backup = backup.view;
  const Image mask = FullMask(4, 4);

  ASSERT_EQ(brush::ApplyDab(Settings(TOOL_RESTORE, 0, 100, 0), -1, -1, image.view, mask.view, blocks), 1);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(image.At(x, y), backup.At(x, y));
  EXPECT_EQ(image.At(3, 0), Grey(200));

  image.Fill(Grey(200));
  ASSERT_EQ(brush::ApplyDab(Settings(TOOL_RESTORE, 0, 25, 0), 2, 2, image.view, mask.view, blocks), 1);
  // pixel (4, 3) of the backup: red 160, green 120, blue 7 -> (200 * 75 + v * 25) / 100
  EXPECT_EQ(image.At(4, 3), Rgb(190, 180, 151));

  // Soft, 4 x 4: a = 1, A = B = 1, offsets -1, 0, 0, 1. Centre w = s, corner t = 1.
  image.Fill(Grey(200));
  ASSERT_EQ(brush::ApplyDab(Settings(TOOL_RESTORE, 1, 100, 0), 2, 2, image.view, mask.view, blocks), 1);
  EXPECT_EQ(image.At(3, 3), backup.At(3, 3));
  EXPECT_EQ(image.At(2, 2), Grey(200));
  // (2, 3): dx = -1, dy = 0: t = 1, unchanged. With strength 50 the centre is halfway:
  EXPECT_EQ(image.At(2, 3), Grey(200));
  image.Fill(Grey(200));
  ASSERT_EQ(brush::ApplyDab(Settings(TOOL_RESTORE, 1, 50, 0), 2, 2, image.view, mask.view, blocks), 1);
  // backup (3, 3) = red 120, green 120, blue 7: (200 * 50 + v * 50) / 100
  EXPECT_EQ(image.At(3, 3), Rgb(160, 160, 103));

  // No backup, or one of another size: the dab refuses.
  brush::DabBlocks wrong;
  const Image small(5, 6);
  wrong.backup = small.view;
  const Image before = image;
  EXPECT_EQ(brush::ApplyDab(Settings(TOOL_RESTORE, 0, 100, 0), 0, 0, image.view, mask.view, wrong), 0);
  EXPECT_EQ(brush::ApplyDab(Settings(TOOL_RESTORE, 0, 100, 0), 0, 0, image.view, mask.view, {}), 0);
  EXPECT_TRUE(image == before);
}

TEST(SprayBrush, AccumulatesWithEveryDab) {
  Image image(4, 4);
  const Image mask = FullMask(4, 4);
  const brush::DabBlocks none;
  const auto hard = Settings(TOOL_SPRAY, 0, 50, Grey(200));
  ASSERT_EQ(brush::ApplyDab(hard, 0, 0, image.view, mask.view, none), 1);
  EXPECT_EQ(image.At(1, 1), Grey(100));
  ASSERT_EQ(brush::ApplyDab(hard, 0, 0, image.view, mask.view, none), 1);
  EXPECT_EQ(image.At(1, 1), Grey(150));

  // Soft, 4 x 4 with s = 60: centre w = 60; (0, 1): dx = -1, dy = 0, t = 1: unchanged.
  image.Fill(0);
  const auto soft = Settings(TOOL_SPRAY, 1, 60, Grey(200));
  ASSERT_EQ(brush::ApplyDab(soft, 0, 0, image.view, mask.view, none), 1);
  EXPECT_EQ(image.At(1, 1), Grey(120));
  EXPECT_EQ(image.At(0, 1), Grey(0));
  ASSERT_EQ(brush::ApplyDab(soft, 0, 0, image.view, mask.view, none), 1);
  EXPECT_EQ(image.At(1, 1), Grey(168));  // (120 * 40 + 200 * 60) / 100

  // 8 x 8, s = 100: dx = -1, dy = 0: t = 9/81, w = (1 - 1/3) * 100 = 66.67
  Image big(8, 8);
  const Image mask8 = FullMask(8, 8);
  ASSERT_EQ(brush::ApplyDab(Settings(TOOL_SPRAY, 1, 100, Grey(255)), 0, 0, big.view, mask8.view, none), 1);
  EXPECT_EQ(big.At(2, 3), Grey(170));  // trunc(255 * 66.67 / 100) = 170

  // A dab two pixels wide has no soft spray.
  Image thin(4, 4);
  const Image mask2 = FullMask(2, 4);
  ASSERT_EQ(brush::ApplyDab(soft, 1, 0, thin.view, mask2.view, none), 1);
  EXPECT_EQ(thin.At(1, 1), 0u);
  EXPECT_EQ(thin.At(2, 2), 0u);
}

TEST(StampBrush, CopiesTheSampleAtTheMaskPosition) {
  Image sample(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) sample.Set(x, y, Rgb(x + 1, y + 1, 50));
  const Image mask = TriangleMask();
  brush::DabBlocks blocks;
  blocks.sample = sample.view;
  for (int32_t tool : {TOOL_STAMP, TOOL_CLONE}) {
    Image image(6, 6);
    image.Fill(Grey(9));
    ASSERT_EQ(brush::ApplyDab(Settings(tool, 0, 100, 0), -1, 3, image.view, mask.view, blocks), 1);
    // Column 0 of the image is column 1 of the brush; rows 3..5 are brush rows 0..2.
    EXPECT_EQ(image.At(0, 3), sample.At(1, 0));
    EXPECT_EQ(image.At(2, 4), sample.At(3, 1));
    EXPECT_EQ(image.At(0, 4), sample.At(1, 1));
    EXPECT_EQ(image.At(1, 5), sample.At(2, 2));
    EXPECT_EQ(image.At(0, 5), Grey(9));  // mask column 1, row 2: outside
    EXPECT_EQ(image.At(3, 3), Grey(9));  // beyond the brush
  }
  Image image(6, 6);
  image.Fill(Grey(100));
  ASSERT_EQ(brush::ApplyDab(Settings(TOOL_STAMP, 0, 50, 0), 0, 0, image.view, mask.view, blocks), 1);
  EXPECT_EQ(image.At(3, 0), Rgb(52, 50, 75));  // (100 + 4) / 2, (100 + 1) / 2, (100 + 50) / 2
  EXPECT_EQ(brush::ApplyDab(Settings(TOOL_STAMP, 0, 50, 0), 0, 0, image.view, mask.view, {}), 0);

  // A sample smaller than the brush only paints where it has pixels.
  Image tiny(2, 2);
  tiny.Fill(0xABCDEF);
  brush::DabBlocks small;
  small.sample = tiny.view;
  const Image full = FullMask(4, 4);
  Image target(6, 6);
  ASSERT_EQ(brush::ApplyDab(Settings(TOOL_STAMP, 0, 100, 0), 0, 0, target.view, full.view, small), 1);
  EXPECT_EQ(target.At(1, 1), 0xABCDEFu);
  EXPECT_EQ(target.At(2, 1), 0u);
  EXPECT_EQ(target.At(1, 2), 0u);
}

// ---- Smooth ----------------------------------------------------------------------------------

TEST(SmoothBrush, FiltersACheckerboardFromTheUnfilteredRows) {
  Image image(7, 7);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 7; ++x) image.Set(x, y, (x + y) % 2 ? Grey(255) : 0);
  const Image original = image;
  const Image mask = FullMask(5, 5);
  const brush::DabBlocks none;
  ASSERT_EQ(brush::ApplyDab(Settings(TOOL_SMOOTH, 0, 100, 0), 1, 1, image.view, mask.view, none), 1);
  // Dab rows 1..2 (image rows 2, 3) and columns 1..3 (image columns 2..4) are filtered: on a
  // checkerboard every 3 x 3 sum is 8 * 255, so (2040 + 8) >> 4 = 128.
  for (int y = 0; y < 7; ++y) {
    for (int x = 0; x < 7; ++x) {
      const bool filtered = y >= 2 && y <= 3 && x >= 2 && x <= 4;
      EXPECT_EQ(image.At(x, y), filtered ? Grey(128) : original.At(x, y)) << x << "," << y;
    }
  }

  // Strength 50 blends with the unfiltered pixel: (255 * 50 + 128 * 50) / 100 = 191, 0 -> 64.
  Image half = original;
  ASSERT_EQ(brush::ApplyDab(Settings(TOOL_SMOOTH, 0, 50, 0), 1, 1, half.view, mask.view, none), 1);
  EXPECT_EQ(half.At(2, 3), Grey(191));
  EXPECT_EQ(half.At(2, 2), Grey(64));

  // The mask is read one row and one column before the pixel.
  Image holey = original;
  Image maskHole = FullMask(5, 5);
  maskHole.SetByte(1, 0, 0);  // covers dab pixel (2, 1) = image (3, 2)
  ASSERT_EQ(brush::ApplyDab(Settings(TOOL_SMOOTH, 0, 100, 0), 1, 1, holey.view, maskHole.view, none), 1);
  EXPECT_EQ(holey.At(3, 2), original.At(3, 2));
  EXPECT_EQ(holey.At(2, 2), Grey(128));
  EXPECT_EQ(holey.At(3, 3), Grey(128));

  // Smaller than 3 x 3 after clipping: nothing.
  Image edge = original;
  ASSERT_EQ(brush::ApplyDab(Settings(TOOL_SMOOTH, 0, 100, 0), -3, 0, edge.view, mask.view, none), 1);
  EXPECT_TRUE(edge == original);
}

TEST(SmoothBrush, GradientValuesAndRounding) {
  // A horizontal ramp: the kernel is linear, so the value is kept; a vertical edge blurs.
  Image image(5, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) image.Set(x, y, Rgb(x * 10, x < 2 ? 0 : 160, 0));
  const Image mask = FullMask(5, 5);
  ASSERT_EQ(brush::ApplyDab(Settings(TOOL_SMOOTH, 0, 100, 0), 0, 0, image.view, mask.view, {}), 1);
  EXPECT_EQ(image.At(2, 1) & 0xFF, 20u);
  // green at column 1: (0 + 0 + 160) * 4 / 16 + 8 >> 4 -> (4 * 160 + 8) >> 4 = 40
  EXPECT_EQ((image.At(1, 1) >> 8) & 0xFF, 40u);
  EXPECT_EQ((image.At(2, 2) >> 8) & 0xFF, 120u);  // (12 * 160 + 8) >> 4
}

// ---- Refusals --------------------------------------------------------------------------------

TEST(DabRefusals, MissingBlocksOrWrongDepthsChangeNothing) {
  Image image(6, 6);
  image.Fill(Grey(77));
  const Image before = image;
  const Image mask = FullMask(3, 3);
  const Image mask24(3, 3);
  Image image8(6, 6, 8);
  Image coverage(6, 6, 8);
  Image coverageSmall(5, 6, 8);
  brush::DabBlocks hardOnly;
  hardOnly.coverage = coverage.view;
  brush::DabBlocks wrongCoverage;
  wrongCoverage.coverage = coverageSmall.view;

  EXPECT_EQ(brush::ApplyDab(Settings(TOOL_PAINT, 0, 100, 0), 0, 0, image.view, mask.view, {}), 0);
  EXPECT_EQ(brush::ApplyDab(Settings(TOOL_PAINT, 0, 100, 0), 0, 0, image.view, mask.view, wrongCoverage), 0);
  EXPECT_EQ(brush::ApplyDab(Settings(TOOL_PAINT, 1, 100, 0), 0, 0, image.view, mask.view, hardOnly), 0);
  EXPECT_EQ(brush::ApplyDab(Settings(TOOL_SPRAY, 0, 100, 0), 0, 0, image.view, mask24.view, {}), 0);
  EXPECT_EQ(brush::ApplyDab(Settings(TOOL_SPRAY, 0, 100, 0), 0, 0, image8.view, mask.view, {}), 0);
  EXPECT_EQ(brush::ApplyDab(Settings(TOOL_SPRAY, 0, 100, 0), 0, 0, image.view, dib::View{}, {}), 0);
  for (int32_t tool : {TOOL_OUTLINE, TOOL_LASSO, TOOL_TEXT, TOOL_PICKER, TOOL_ADJUST, ToolCode{0}}) {
    EXPECT_EQ(brush::ApplyDab(Settings(tool, 0, 100, 0), 0, 0, image.view, mask.view, hardOnly), 0);
  }
  EXPECT_TRUE(image == before);
  EXPECT_EQ(brush::ApplyDab(Settings(TOOL_PAINT, 0, 100, 0), 0, 0, image.view, mask.view, hardOnly), 1);
}

TEST(SoftShape, OffsetsAndDegenerateSizes) {
  EXPECT_EQ(brush::SoftShape::Offset(0, 8), -3);
  EXPECT_EQ(brush::SoftShape::Offset(3, 8), 0);
  EXPECT_EQ(brush::SoftShape::Offset(4, 8), 0);
  EXPECT_EQ(brush::SoftShape::Offset(7, 8), 3);
  EXPECT_EQ(brush::SoftShape::Offset(0, 5), -1);
  EXPECT_EQ(brush::SoftShape::Offset(2, 5), 0);
  EXPECT_EQ(brush::SoftShape::Offset(4, 5), 2);
  EXPECT_EQ(brush::SoftShape::Offset(0, 1), 0);

  EXPECT_TRUE(brush::SoftShape(2, 8).degenerate());
  EXPECT_TRUE(brush::SoftShape(8, 2).degenerate());
  EXPECT_FALSE(brush::SoftShape(1, 8).degenerate());
  // Two pixels wide: the falloff is the vertical one alone. 2 x 8: b = 3, dy = -2 -> 4/9.
  EXPECT_DOUBLE_EQ(brush::SoftShape(2, 8).Distance(0, 1), 4.0 / 9.0);
  EXPECT_DOUBLE_EQ(brush::SoftShape(2, 2).Distance(1, 1), 0.0);
  // A soft paint dab two pixels wide still paints its centre.
  Image image(2, 8);
  Image coverage(2, 8, 8);
  const Image snapshot = image;
  brush::DabBlocks blocks;
  blocks.coverage = coverage.view;
  blocks.snapshot = snapshot.view;
  const Image mask = FullMask(2, 8);
  ASSERT_EQ(brush::ApplyDab(Settings(TOOL_PAINT, 1, 100, 0xFFFFFF), 0, 0, image.view, mask.view, blocks), 1);
  EXPECT_EQ(image.At(0, 3), 0xFFFFFFu);
  EXPECT_EQ(image.At(1, 0), 0u);
}

// ---- Mask from a 1-bit drawing ---------------------------------------------------------------

TEST(BrushMask, BitsBecomeBytesInDrawingOrder) {
  // 10 x 2 drawing, rows of 4 bytes: row 0 = 1000 0000 01.., row 1 = 0000 0001 10..
  const uint8_t bits[] = {0x80, 0x40, 0, 0, 0x01, 0x80, 0, 0};
  Image mask(10, 2, 8);
  brush::MaskFromBits(bits, 4, 0, 1, mask.view);
  const uint8_t* row0 = mask.view.bits;  // stored first: the top row of the drawing
  const uint8_t* row1 = mask.view.bits + mask.view.stride;
  const uint8_t want0[10] = {1, 0, 0, 0, 0, 0, 0, 0, 0, 1};
  const uint8_t want1[10] = {0, 0, 0, 0, 0, 0, 0, 1, 1, 0};
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(row0[i], want0[i]) << i;
    EXPECT_EQ(row1[i], want1[i]) << i;
  }
  brush::MaskFromBits(bits, 4, 1, 0, mask.view);  // an inverted palette
  EXPECT_EQ(row0[0], 0);
  EXPECT_EQ(row0[1], 1);
}

}  // namespace
