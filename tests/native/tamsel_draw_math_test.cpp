// Gradient bands, texture geometry and drag strips.
#include <gtest/gtest.h>

#include "controls/widgets/draw_math.h"

namespace {

using draw::GradientBands;
using draw::Rect;

TEST(GradientBands, BlackToRedOverAHundredPixels) {
  const GradientBands g(100, 0x000000, 0x0000FF);
  EXPECT_EQ(g.width(), 1);
  EXPECT_EQ(g.count(), 100);
  EXPECT_EQ(g.Colour(0), 0x000002u);
  EXPECT_EQ(g.Colour(99), 0x0000FFu);
}

TEST(GradientBands, FlatOrNearlyFlatGradientsAreOneBandOfTheStartColour) {
  const GradientBands same(250, 0x336699, 0x336699);
  EXPECT_EQ(same.count(), 1);
  EXPECT_EQ(same.width(), 250);
  EXPECT_EQ(same.Colour(0), 0x336699u);
  const GradientBands oneStep(600, 0x101010, 0x101011);
  EXPECT_EQ(oneStep.count(), 1);
  EXPECT_EQ(oneStep.Colour(0), 0x101010u);
}

TEST(GradientBands, LongGradientsUseBandsOfALength255thAndReachTheEndColour) {
  for (int length : {256, 1000, 1280, 1920, 4000}) {
    SCOPED_TRACE(length);
    const GradientBands g(length, 0xFFFFFF, 0x000000);
    EXPECT_EQ(g.width(), length / 255);
    EXPECT_LT(g.count(), 2 * 255);
    // The band that starts last is within one band of the far edge.
    const int last = g.count() - 1;
    EXPECT_LT(last * g.width(), length);
    EXPECT_GE((last + 1) * g.width(), length);
    EXPECT_LE(g.Colour(last) & 0xFF, 1u);
  }
}

TEST(GradientBands, ChannelsMoveIndependentlyAndDownwards) {
  const GradientBands g(10, 0x00FF8040, 0x00008080);  // blue falls, green stays, red rises
  EXPECT_EQ(g.width(), 1);
  EXPECT_EQ(g.Colour(9), 0x00008080u);
  const uint32_t first = g.Colour(0);
  EXPECT_EQ(first & 0xFF, 0x40u + (0x40 * 1) / 10);
  EXPECT_EQ((first >> 8) & 0xFF, 0x80u);
  EXPECT_EQ(first >> 16, 0xFFu - (0xFF * 1) / 10);
}

TEST(GradientBands, EmptyLengthsHaveNoBands) {
  EXPECT_EQ(GradientBands(0, 0, 0xFFFFFF).count(), 0);
  EXPECT_EQ(GradientBands(-5, 0, 0xFFFFFF).count(), 0);
}

TEST(GradientMethod, DependsOnTheDisplayDepth) {
  for (int bits : {24, 32}) {
    EXPECT_TRUE(draw::GradientMethodFor(bits).opaqueText);
    EXPECT_FALSE(draw::GradientMethodFor(bits).forceEndColour);
  }
  for (int bits : {15, 16}) {
    EXPECT_FALSE(draw::GradientMethodFor(bits).opaqueText);
    EXPECT_FALSE(draw::GradientMethodFor(bits).forceEndColour);
  }
  for (int bits : {1, 4, 8}) {
    EXPECT_TRUE(draw::GradientMethodFor(bits).opaqueText);
    EXPECT_TRUE(draw::GradientMethodFor(bits).forceEndColour);
  }
}

TEST(TextureGeometry, TilesAreCutToTheAreaFromTheTopOfThePicture) {
  const draw::TileSource big = draw::TileSourceFor(300, 200, 120, 80);
  EXPECT_EQ(big.width, 120);
  EXPECT_EQ(big.height, 80);
  EXPECT_EQ(big.sourceY, 120);  // rows are stored bottom-up
  const draw::TileSource small = draw::TileSourceFor(16, 8, 120, 80);
  EXPECT_EQ(small.width, 16);
  EXPECT_EQ(small.height, 8);
  EXPECT_EQ(small.sourceY, 0);
}

TEST(TextureGeometry, PlacedTextureForEachFitAndAlignment) {
  struct Case {
    bool fw, fh, ar, ab;
    Rect want;
  };
  // Source 40 x 20 in an area of 200 x 100.
  const Case cases[] = {
      {false, false, false, false, {0, 0, 40, 20}},
      {false, false, true, false, {160, 0, 200, 20}},
      {false, false, false, true, {0, 80, 40, 100}},
      {false, false, true, true, {160, 80, 200, 100}},
      {true, false, false, false, {0, 0, 200, 100}},
      {true, false, false, true, {0, 0, 200, 100}},
      {false, true, true, false, {0, 0, 200, 100}},
      {true, true, true, true, {0, 0, 200, 100}},
  };
  for (const Case& c : cases) {
    Rect r;
    ASSERT_TRUE(draw::PlacedDestination(40, 20, 200, 100, c.fw, c.fh, c.ar, c.ab, &r));
    EXPECT_EQ(r, c.want) << c.fw << c.fh << c.ar << c.ab;
  }
  Rect r;
  // Fit width keeps the aspect ratio of the part in use: 40 x 30 into 200 wide is 150 high.
  ASSERT_TRUE(draw::PlacedDestination(40, 30, 200, 100, true, false, false, true, &r));
  EXPECT_EQ(r, (Rect{0, -50, 200, 100}));
  ASSERT_TRUE(draw::PlacedDestination(40, 20, 200, 100, false, true, true, false, &r));
  EXPECT_EQ(r, (Rect{0, 0, 200, 100}));
  ASSERT_TRUE(draw::PlacedDestination(10, 20, 200, 100, false, true, true, false, &r));
  EXPECT_EQ(r, (Rect{150, 0, 200, 100}));
  EXPECT_FALSE(draw::PlacedDestination(0, 20, 200, 100, true, false, false, false, &r));
  EXPECT_FALSE(draw::PlacedDestination(40, 0, 200, 100, false, true, false, false, &r));
  EXPECT_TRUE(draw::PlacedDestination(0, 0, 200, 100, true, true, false, false, &r));
}

// Area of the union of rectangles that must not overlap.
int Area(const Rect* r, int n) {
  int a = 0;
  for (int i = 0; i < n; ++i) a += r[i].width() * r[i].height();
  return a;
}

TEST(DragStrips, CoverExactlyWhatTheOtherRectangleLeaves) {
  const Rect old{10, 10, 50, 40};
  struct Case {
    Rect next;
    int strips;
    int area;
  };
  const Case cases[] = {
      {{10, 10, 50, 40}, 0, 0},              // no move
      {{13, 10, 53, 40}, 1, 3 * 30},         // right
      {{10, 5, 50, 35}, 1, 5 * 40},          // up
      {{12, 14, 52, 44}, 2, 40 * 30 - 38 * 26},
      {{100, 100, 140, 130}, 1, 40 * 30},    // no overlap: all of it
      {{20, 20, 30, 30}, 4, 40 * 30 - 100},  // inside
  };
  for (const Case& c : cases) {
    Rect out[4];
    const int n = draw::Subtract(old, c.next, out);
    EXPECT_EQ(n, c.strips);
    EXPECT_EQ(Area(out, n), c.area);
    for (int i = 0; i < n; ++i) {
      // Each strip lies in the old area and outside the new one.
      EXPECT_GE(out[i].left, old.left);
      EXPECT_LE(out[i].right, old.right);
      EXPECT_GE(out[i].top, old.top);
      EXPECT_LE(out[i].bottom, old.bottom);
      const bool apart = out[i].right <= c.next.left || out[i].left >= c.next.right ||
                         out[i].bottom <= c.next.top || out[i].top >= c.next.bottom;
      EXPECT_TRUE(apart);
    }
  }
}

}  // namespace
