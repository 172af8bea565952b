// The lasso and the floating selection: crossings and their toggling, the cut, the handle frame,
// every transform, the outline brush, a selection loaded from the library, and the trackers'
// geometry.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "retouch/imaging/brush_ops.h"
#include "retouch/imaging/selection.h"
#include "retouch/imaging/selection_library.h"
#include "tests/native/selection_model.h"

namespace {

using sel::Point;
using sel::Rect;

constexpr sel::Metrics kMetrics{4, 4, 8, 8};

// A picture whose every pixel has its own colour.
struct Picture {
  sel::Image image;
  Picture(int w, int h) {
    EXPECT_TRUE(image.Create(w, h, 0));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) Set(x, y, static_cast<uint32_t>(x) | static_cast<uint32_t>(y) << 12);
  }
  void Set(int x, int y, uint32_t c) {
    uint8_t* p = image.view().Pixel24(x, y);
    p[0] = static_cast<uint8_t>(c);
    p[1] = static_cast<uint8_t>(c >> 8);
    p[2] = static_cast<uint8_t>(c >> 16);
  }
  const dib::View& view() const { return image.view(); }
  Rect client() const { return Rect{0, 0, image.width(), image.height()}; }
};

uint32_t At(const sel::Image& i, int x, int y) {
  const uint8_t* p = i.view().Pixel24(x, y);
  return p[0] | p[1] << 8 | p[2] << 16;
}

bool SameImage(const sel::Image& a, const sel::Image& b) {
  return a.blockSize() == b.blockSize() && std::memcmp(a.block(), b.block(), a.blockSize()) == 0;
}

std::vector<Point> Points(const sel::PodArray<Point>& p) { return {p.begin(), p.end()}; }

std::vector<std::vector<int32_t>> Rows(const sel::Crossings& c) {
  std::vector<std::vector<int32_t>> out(static_cast<size_t>(c.rowCount()));
  for (int32_t r = 0; r < c.rowCount(); ++r) {
    int32_t n = 0;
    const int32_t* xs = c.Row(r, &n);
    out[static_cast<size_t>(r)].assign(xs, xs + n);
  }
  return out;
}

// Draws a lasso through `points` (first to last) and releases at `release`.
bool Lasso(sel::Selection& s, const Picture& pic, std::initializer_list<Point> points, Point release) {
  auto it = points.begin();
  EXPECT_TRUE(sel::StartLasso(s, it->x, it->y, pic.client(), pic.image.height(), sel::Clamp::kCanvas));
  for (++it; it != points.end(); ++it) sel::ExtendLasso(s, it->x, it->y, pic.client(), sel::Clamp::kCanvas);
  return sel::CloseLasso(s, release.x, release.y, pic.client(), pic.view(), kMetrics);
}

bool Square(sel::Selection& s, const Picture& pic, int l, int t, int r, int b) {
  return Lasso(s, pic, {{l, t}, {r, t}, {r, b}, {l, b}}, {l, t});
}

// Inside per the crossings of the move base, the mask, and the picture all agree.
void ExpectConsistent(const sel::Selection& s) {
  const Rect& r = s.selectionRect;
  ASSERT_EQ(s.selectionMask.width(), r.Width());
  ASSERT_EQ(s.selectionMask.height(), r.Height());
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      int32_t n = 0;
      const int32_t* xs = s.moveBaseRows.Row(y, &n);
      bool in = false;
      for (int j = 0; j + 1 < n; j += 2) in = in || (x >= xs[j] && x < xs[j + 1]);
      ASSERT_EQ(At(s.selectionMask, x - r.left, y - r.top), in ? 0u : 0xFFFFFFu) << x << "," << y;
      if (!in) ASSERT_EQ(At(s.selectionSource, x - r.left, y - r.top), 0u);
    }
}

TEST(Crossings, TogglingRules) {
  struct Case {
    const char* what;
    std::vector<sel::Toggle> toggles;
    std::vector<int32_t> row2;
  } cases[] = {
      {"sorted on settling", {{2, 9}, {2, 3}, {2, 5}, {2, 1}}, {1, 3, 5, 9}},
      {"two at one place cancel", {{2, 4}, {2, 7}, {2, 4}}, {7}},
      {"three at one place leave one", {{2, 4}, {2, 4}, {2, 4}}, {4}},
      {"beyond the last stored position", {{2, 32765}, {2, 32766}}, {32765}},
      {"row = row count is not stored", {{5, 1}, {2, 8}, {-1, 3}}, {8}},
  };
  for (const Case& c : cases) {
    sel::Crossings rows;
    ASSERT_TRUE(rows.Build(5, c.toggles.data(), c.toggles.size())) << c.what;
    EXPECT_EQ(Rows(rows)[2], c.row2) << c.what;
    EXPECT_EQ(rows.total(), c.row2.size()) << c.what;
  }
  sel::Crossings none;
  EXPECT_FALSE(none.Build(0, nullptr, 0));
}

TEST(Lasso, RectangleExample) {
  Picture pic(64, 48);
  sel::Selection s;
  ASSERT_TRUE(Lasso(s, pic, {{10, 10}, {20, 10}, {20, 20}, {10, 20}}, {10, 10}));
  EXPECT_EQ(s.selectionRect, (Rect{9, 10, 21, 21}));
  const auto rows = Rows(s.moveBaseRows);
  for (int r = 0; r < 48; ++r) {
    const std::vector<int32_t> want = r >= 11 && r <= 20 ? std::vector<int32_t>{10, 20} : std::vector<int32_t>{};
    EXPECT_EQ(rows[static_cast<size_t>(r)], want) << r;
  }
  for (int y = 10; y < 21; ++y)
    for (int x = 9; x < 21; ++x) {
      const bool in = y >= 11 && x >= 10 && x <= 19;
      EXPECT_EQ(At(s.selectionMask, x - 9, y - 10), in ? 0u : 0xFFFFFFu) << x << "," << y;
      EXPECT_EQ(At(s.selectionImage, x - 9, y - 10), in ? At(pic.image, x, y) : 0u) << x << "," << y;
    }
  EXPECT_TRUE(s.floatActive);
  EXPECT_FALSE(s.rows.exists());  // the bases keep the crossings
  EXPECT_EQ(Points(s.outlineBackup), Points(s.outline));
  EXPECT_EQ(s.completedRect, s.selectionRect);
}

TEST(Lasso, ReleaseAwayFromTheLastMoveStillClosesTheOutline) {
  Picture pic(64, 48);
  sel::Selection walked, released;
  ASSERT_TRUE(Lasso(walked, pic, {{10, 10}, {30, 10}, {30, 30}, {10, 30}}, {10, 10}));
  ASSERT_TRUE(Lasso(released, pic, {{10, 10}, {30, 10}, {30, 30}}, {10, 30}));
  EXPECT_EQ(released.selectionRect, walked.selectionRect);
  EXPECT_EQ(Rows(released.moveBaseRows), Rows(walked.moveBaseRows));
  EXPECT_TRUE(SameImage(released.selectionMask, walked.selectionMask));
}

TEST(Lasso, PointsStayOnePixelInsideTheCanvas) {
  Picture pic(640, 48);
  sel::Selection s;
  ASSERT_TRUE(sel::StartLasso(s, 700, -5, pic.client(), 48, sel::Clamp::kCanvas));
  EXPECT_EQ(s.outline[0], (Point{638, 1}));
  sel::ExtendLasso(s, -50, 100, pic.client(), sel::Clamp::kCanvas);
  EXPECT_EQ(s.outline.back(), (Point{1, 46}));
}

TEST(Lasso, HorizontalStrokeAndSingleClickLeaveNoSelection) {
  Picture pic(64, 48);
  for (auto points : {std::vector<Point>{{5, 5}}, std::vector<Point>{{5, 5}, {40, 5}}, std::vector<Point>{{5, 5}, {5, 30}}}) {
    sel::Selection s;
    ASSERT_TRUE(sel::StartLasso(s, points[0].x, points[0].y, pic.client(), 48, sel::Clamp::kCanvas));
    for (const Point& p : points) sel::ExtendLasso(s, p.x, p.y, pic.client(), sel::Clamp::kCanvas);
    EXPECT_FALSE(sel::CloseLasso(s, points.back().x, points.back().y, pic.client(), pic.view(), kMetrics));
    // No flag, no points and no rectangles left to hit or draw: the next lasso can start.
    EXPECT_FALSE(s.floatActive);
    EXPECT_TRUE(s.outline.empty());
    EXPECT_TRUE(sel::DrawnArea(s).Empty());
    EXPECT_EQ(sel::HitTestSelection(s, 5, 5, kMetrics), sel::kHitNone);
  }
}

TEST(Lasso, ExtendReportsOnlyTheNewSegment) {
  Picture pic(64, 48);
  sel::Selection s;
  sel::StartLasso(s, 10, 10, pic.client(), 48, sel::Clamp::kCanvas);
  EXPECT_EQ(sel::ExtendLasso(s, 15, 10, pic.client(), sel::Clamp::kCanvas), 1);
  EXPECT_EQ(sel::ExtendLasso(s, 15, 10, pic.client(), sel::Clamp::kCanvas), -1);
  EXPECT_EQ(sel::ExtendLasso(s, 15, 13, pic.client(), sel::Clamp::kCanvas), 6);
  EXPECT_EQ(s.outline.size(), 9u);
}

TEST(Lasso, RandomClosedPathsMatchTheEvenOddFill) {
  std::mt19937 rng(12);
  for (int round = 0; round < 60; ++round) {
    const int w = 20 + static_cast<int>(rng() % 60), h = 20 + static_cast<int>(rng() % 60);
    Picture pic(w, h);
    std::vector<Point> v(3 + rng() % 12);
    for (Point& p : v) p = Point{1 + static_cast<int32_t>(rng() % static_cast<unsigned>(w - 3)),
                                 1 + static_cast<int32_t>(rng() % static_cast<unsigned>(h - 3))};
    sel::Selection s;
    sel::StartLasso(s, v[0].x, v[0].y, pic.client(), h, sel::Clamp::kCanvas);
    for (size_t i = 1; i < v.size(); ++i) sel::ExtendLasso(s, v[i].x, v[i].y, pic.client(), sel::Clamp::kCanvas);
    const bool made = sel::CloseLasso(s, v.back().x, v.back().y, pic.client(), pic.view(), kMetrics);
    const auto inside = selmodel::EvenOddFill(v, w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const Rect& r = s.selectionRect;
        const bool in = made && x >= r.left && x < r.right && y >= r.top && y < r.bottom &&
                        At(s.selectionMask, x - r.left, y - r.top) == 0;
        ASSERT_EQ(in, inside[static_cast<size_t>(y * w + x)]) << "round " << round << " at " << x << "," << y;
      }
  }
}

TEST(Handles, LayoutAndHitPrecedence) {
  Picture pic(200, 200);
  sel::Selection s;
  ASSERT_TRUE(Square(s, pic, 50, 50, 150, 130));
  const Rect z = s.shownHandleZone;  // selection rectangle (49, 50, 151, 131) grown by 9
  EXPECT_EQ(z, (Rect{40, 41, 160, 140}));
  EXPECT_EQ(s.handleRects[0], (Rect{40, 41, 48, 49}));       // 13
  EXPECT_EQ(s.handleRects[2], (Rect{68, 41, 84, 49}));       // 3
  EXPECT_EQ(s.handleRects[15], (Rect{151, 132, 159, 140}));  // 17
  struct Case {
    int x, y, code;
  } cases[] = {
      {40, 41, 13},  {47, 48, 13},   {70, 42, 3},   {50, 42, 109}, {158, 42, 14}, {41, 139, 16}, {158, 139, 17},
      {158, 60, 101}, {152, 100, 106}, {41, 60, 9},   {41, 130, 102}, {48, 45, 10},  {152, 90, 11},  {100, 45, 12},
      {100, 100, 1}, {100, 139, 15},  {39, 100, 0},  {160, 100, 0}, {100, 140, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(sel::HitTestSelection(s, c.x, c.y, kMetrics), c.code) << c.x << "," << c.y;
  // Hidden handles hit nothing.
  sel::Selection hidden;
  ASSERT_TRUE(Square(hidden, pic, 50, 50, 150, 130));
  ASSERT_TRUE(sel::BeginOutlineStroke(hidden, 100, 100));
  EXPECT_EQ(sel::HitTestSelection(hidden, 100, 100, kMetrics), 0);
}

TEST(Handles, MaskTest) {
  Picture pic(64, 48);
  sel::Selection s;
  ASSERT_TRUE(Square(s, pic, 10, 10, 30, 30));  // rectangle (9, 10, 31, 31)
  struct Case {
    int x, y, want;
  } cases[] = {{20, 20, 1}, {10, 12, 0}, {12, 12, 1}, {29, 20, 1}, {30, 20, 0}, {20, 11, 0}, {20, 29, 1}, {5, 5, 0}};
  for (const Case& c : cases) EXPECT_EQ(sel::MaskTest(s, c.x, c.y), c.want) << c.x << "," << c.y;
}

TEST(Transforms, MoveShiftsEverythingButThePicture) {
  Picture pic(100, 80);
  sel::Selection s;
  ASSERT_TRUE(Square(s, pic, 10, 10, 30, 30));
  const auto before = Rows(s.moveBaseRows);
  sel::Image image;
  image.CopyFrom(s.selectionImage);
  ASSERT_TRUE(sel::MoveSelection(s, 0, 0, kMetrics));
  EXPECT_EQ(Rows(s.moveBaseRows), before);
  ASSERT_TRUE(sel::MoveSelection(s, 7, -3, kMetrics));
  EXPECT_EQ(s.selectionRect, (Rect{16, 7, 38, 28}));
  EXPECT_EQ(s.completedRect, s.selectionRect);
  EXPECT_EQ(s.shownHandleZone, sel::HandleZoneOf(s.selectionRect, kMetrics));
  EXPECT_EQ(Rows(s.moveBaseRows)[8], (std::vector<int32_t>{17, 37}));
  EXPECT_TRUE(SameImage(s.selectionImage, image));
  ExpectConsistent(s);
}

TEST(Transforms, ResizeBackToTheBaseSizeRestoresTheBase) {
  Picture pic(300, 300);
  sel::Selection s;
  ASSERT_TRUE(Square(s, pic, 50, 50, 149, 149));
  sel::Image source, mask;
  source.CopyFrom(s.selectionSource);
  mask.CopyFrom(s.selectionMask);
  const Rect base = s.selectionRect;
  const auto points = Points(s.outline);
  const auto rows = Rows(s.moveBaseRows);
  ASSERT_TRUE(sel::ResizeSelection(s, Rect{base.left, base.top, base.left + 51, base.top + 51}, kMetrics));
  EXPECT_EQ(s.selectionSource.width(), 51);
  ExpectConsistent(s);
  ASSERT_TRUE(sel::ResizeSelection(s, base, kMetrics));
  EXPECT_TRUE(SameImage(s.selectionSource, source));
  EXPECT_TRUE(SameImage(s.selectionMask, mask));
  EXPECT_EQ(Points(s.outline), points);
  EXPECT_EQ(Rows(s.moveBaseRows), rows);
}

TEST(Transforms, ResizeKeepsEachArmOfAUShape) {
  Picture pic(200, 200);
  // Left half red, right half blue.
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 200; ++x) pic.Set(x, y, x < 100 ? 0x0000FFu : 0xFF0000u);
  sel::Selection s;
  ASSERT_TRUE(Lasso(s, pic, {{60, 40}, {80, 40}, {80, 100}, {120, 100}, {120, 40}, {140, 40}, {140, 140}, {60, 140}},
                    {60, 40}));
  const Rect r = s.selectionRect;
  ASSERT_TRUE(sel::ResizeSelection(s, Rect{r.left - 20, r.top, r.right + 30, r.bottom + 10}, kMetrics));
  const Rect n = s.selectionRect;
  int red = 0, blue = 0;
  for (int y = n.top + 5; y < n.top + 40; ++y) {
    for (int x = n.left; x < n.right; ++x) {
      if (At(s.selectionMask, x - n.left, y - n.top) != 0) continue;
      const uint32_t c = At(s.selectionSource, x - n.left, y - n.top);
      const bool leftArm = x < (n.left + n.right) / 2;
      EXPECT_EQ(c, leftArm ? 0x0000FFu : 0xFF0000u) << x << "," << y;
      (leftArm ? red : blue)++;
    }
  }
  EXPECT_GT(red, 100);
  EXPECT_GT(blue, 100);
}

TEST(Transforms, ResizeOfAnOutlineWithoutSpreadLeavesThatAxisUnscaled) {
  Picture pic(200, 200);
  sel::Selection s;
  ASSERT_TRUE(Square(s, pic, 50, 50, 100, 100));
  // Only a column of points left in the resize base: its x only moves with the rectangle.
  s.sizeBase.points.Truncate(0);
  for (int y = 60; y < 70; ++y) s.sizeBase.points.Push(Point{70, y});
  const Rect r = s.selectionRect;
  ASSERT_TRUE(sel::ResizeSelection(s, Rect{r.left + 5, r.top, r.right + 40, r.bottom + 20}, kMetrics));
  for (const Point& p : s.outline) EXPECT_EQ(p.x, 75);
  EXPECT_EQ(s.outline[0].y, 60);
  EXPECT_GT(s.outline.back().y, 69);
}

TEST(Transforms, RotateThereAndBackRestoresTheBaseExactly) {
  Picture pic(300, 300);
  sel::Selection s;
  ASSERT_TRUE(Lasso(s, pic, {{100, 90}, {180, 110}, {170, 200}, {90, 170}}, {100, 90}));
  sel::Image source, mask;
  source.CopyFrom(s.selectionSource);
  mask.CopyFrom(s.selectionMask);
  const Rect rect = s.selectionRect;
  const auto points = Points(s.outline);
  const auto rows = Rows(s.moveBaseRows);
  ASSERT_TRUE(sel::RotateSelection(s, 30, 300, 300, kMetrics));
  EXPECT_EQ(s.rotationAngle, 30);
  EXPECT_FALSE(s.selectionRect == rect);
  ExpectConsistent(s);
  ASSERT_TRUE(sel::RotateSelection(s, -30, 300, 300, kMetrics));
  EXPECT_EQ(s.rotationAngle, 0);
  EXPECT_EQ(s.selectionRect, rect);
  EXPECT_TRUE(SameImage(s.selectionSource, source));
  EXPECT_TRUE(SameImage(s.selectionMask, mask));
  EXPECT_EQ(Points(s.outline), points);
  EXPECT_EQ(Rows(s.moveBaseRows), rows);
}

TEST(Transforms, RotationSamplesOnlyInsideTheBase) {
  Picture pic(300, 300);
  sel::Selection s;
  ASSERT_TRUE(Lasso(s, pic, {{100, 100}, {140, 90}, {150, 180}, {120, 130}, {95, 175}}, {100, 100}));
  std::set<uint32_t> inside;
  const Rect b = s.selectionRect;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (At(s.selectionMask, x, y) == 0) inside.insert(At(s.selectionSource, x, y));
  for (int angle : {17, 45, 90, 123, -60}) {
    ASSERT_TRUE(sel::RotateSelection(s, angle, 300, 300, kMetrics));
    const Rect r = s.selectionRect;
    for (int y = 0; y < r.Height(); ++y)
      for (int x = 0; x < r.Width(); ++x)
        if (At(s.selectionMask, x, y) == 0) ASSERT_EQ(inside.count(At(s.selectionSource, x, y)), 1u) << angle;
  }
}

TEST(Transforms, EachMirrorTwiceIsTheIdentity) {
  for (bool topBottom : {true, false}) {
    Picture pic(200, 200);
    sel::Selection s;
    ASSERT_TRUE(Lasso(s, pic, {{60, 50}, {150, 70}, {120, 160}, {70, 120}}, {60, 50}));
    sel::Image source, mask;
    source.CopyFrom(s.selectionSource);
    mask.CopyFrom(s.selectionMask);
    const auto points = Points(s.outline);
    const auto rows = Rows(s.moveBaseRows);
    ASSERT_TRUE(sel::MirrorSelection(s, topBottom, kMetrics));
    EXPECT_FALSE(SameImage(s.selectionSource, source));
    // Picture and outline turn over together.
    ExpectConsistent(s);
    ASSERT_TRUE(sel::MirrorSelection(s, topBottom, kMetrics));
    EXPECT_TRUE(SameImage(s.selectionSource, source)) << topBottom;
    EXPECT_TRUE(SameImage(s.selectionMask, mask)) << topBottom;
    EXPECT_EQ(Points(s.outline), points) << topBottom;
    EXPECT_EQ(Rows(s.moveBaseRows), rows) << topBottom;
  }
}

TEST(Transforms, StampWritesTheInsideOnly) {
  Picture pic(64, 48), target(64, 48);
  sel::Selection s;
  ASSERT_TRUE(Square(s, pic, 10, 10, 20, 20));
  ASSERT_TRUE(sel::MoveSelection(s, 20, 5, kMetrics));
  std::memset(target.view().bits, 0x55, static_cast<size_t>(target.view().stride) * 48);
  ASSERT_TRUE(sel::StampSelection(s, target.view()));
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      const bool in = x >= 30 && x < 40 && y >= 16 && y <= 25;
      EXPECT_EQ(At(target.image, x, y), in ? At(pic.image, x - 20, y - 5) : 0x555555u) << x << "," << y;
    }
}

TEST(Adjustments, StepsStopAtTheirLimits) {
  Picture pic(64, 48);
  sel::Selection s;
  ASSERT_TRUE(Square(s, pic, 10, 10, 30, 30));
  struct Case {
    int code, presses;
    int32_t sel::Adjustments::*value;
    int32_t want;
  } cases[] = {
      {sel::kHitToneOffsetDown, 25, &sel::Adjustments::toneOffset, -100},
      {sel::kHitToneOffsetUp, 45, &sel::Adjustments::toneOffset, 100},
      {sel::kHitToneSlopeUp, 30, &sel::Adjustments::toneSlope, 100},
      {sel::kHitSaturationDown, 15, &sel::Adjustments::saturationValue, 0},
      {sel::kHitHueDown, 50, &sel::Adjustments::hueShift, -127},
      {sel::kHitHueUp, 100, &sel::Adjustments::hueShift, 127},
      {sel::kHitWhitenDown, 3, &sel::Adjustments::whitenPasses, 0},
      {sel::kHitWhitenUp, 2, &sel::Adjustments::whitenPasses, 2},
  };
  for (const Case& c : cases) {
    for (int i = 0; i < c.presses; ++i) ASSERT_TRUE(sel::AdjustSelection(s, c.code));
    EXPECT_EQ(s.adjust.*c.value, c.want) << c.code;
  }
}

TEST(Adjustments, NeutralReproducesTheSourceAndAdjustedStaysInside) {
  Picture pic(64, 48);
  sel::Selection s;
  ASSERT_TRUE(Square(s, pic, 10, 10, 30, 30));
  ASSERT_TRUE(sel::AdjustSelection(s, sel::kHitToneOffsetDown));
  EXPECT_FALSE(SameImage(s.selectionImage, s.selectionSource));
  for (int y = 0; y < s.selectionMask.height(); ++y)
    for (int x = 0; x < s.selectionMask.width(); ++x)
      if (At(s.selectionMask, x, y) != 0) EXPECT_EQ(At(s.selectionImage, x, y), 0u);
  ASSERT_TRUE(sel::AdjustSelection(s, sel::kHitToneOffsetUp));
  EXPECT_TRUE(SameImage(s.selectionImage, s.selectionSource));
}

TEST(Adjustments, WhiteningActsOnEveryBrightColourAndEnds) {
  struct Case {
    uint8_t b, g, r;
    bool changes;
  } cases[] = {{180, 200, 230, true}, {40, 60, 70, true}, {0, 0, 0, false}, {255, 255, 255, false}};
  for (const Case& c : cases) {
    uint8_t p[3] = {c.b, c.g, c.r};
    sel::WhitenPixel(p, 1);
    EXPECT_EQ(p[0] != c.b || p[1] != c.g, c.changes) << int(c.r);
    EXPECT_EQ(p[2], c.r);
    uint8_t q[3] = {c.b, c.g, c.r};
    sel::WhitenPixel(q, 1 << 30);  // bounded: converges and stops
    EXPECT_GE(q[1], p[1]);
  }
}

TEST(OutlineBrush, PushOutwardGrowsTheSelectionFromTheImage) {
  Picture pic(120, 100);
  sel::Selection s;
  ASSERT_TRUE(Square(s, pic, 20, 20, 60, 60));
  const Rect before = s.selectionRect;
  ASSERT_TRUE(sel::BeginOutlineStroke(s, 55, 40));
  EXPECT_FALSE(s.pushStartedOutside);
  EXPECT_TRUE(s.shownHandleZone.Empty());
  ASSERT_EQ(sel::OutlineDab(s, 58, 40, 8, 120, 100), sel::DabResult::kReshaped);
  EXPECT_GT(s.pushRect.right, before.right);
  EXPECT_TRUE(s.selectionReshaped);
  ASSERT_TRUE(sel::RederiveSelection(s, pic.view(), kMetrics));
  EXPECT_GT(s.selectionRect.right, before.right);
  EXPECT_FALSE(s.shownHandleZone.Empty());
  ExpectConsistent(s);
  const Rect& r = s.selectionRect;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (At(s.selectionMask, x - r.left, y - r.top) == 0)
        ASSERT_EQ(At(s.selectionSource, x - r.left, y - r.top), At(pic.image, x, y)) << x << "," << y;
}

TEST(OutlineBrush, PushInwardRemovesArea) {
  Picture pic(120, 100);
  sel::Selection s;
  ASSERT_TRUE(Square(s, pic, 20, 20, 60, 60));
  ASSERT_TRUE(sel::BeginOutlineStroke(s, 64, 40));  // in the band beside the mask: outside
  EXPECT_TRUE(s.pushStartedOutside);
  ASSERT_EQ(sel::OutlineDab(s, 62, 40, 8, 120, 100), sel::DabResult::kReshaped);
  ASSERT_TRUE(sel::RederiveSelection(s, pic.view(), kMetrics));
  ExpectConsistent(s);
  EXPECT_EQ(sel::MaskTest(s, 57, 40), 0);
}

TEST(OutlineBrush, ReleaseAfterARefusedPressChangesNothing) {
  Picture pic(120, 100);
  sel::Selection s;
  ASSERT_TRUE(Square(s, pic, 20, 20, 60, 60));
  sel::AdjustSelection(s, sel::kHitToneOffsetDown);
  s.selectionMask.Clear();  // the mask test fails
  EXPECT_FALSE(sel::BeginOutlineStroke(s, 40, 40));
  EXPECT_EQ(sel::OutlineDab(s, 40, 40, 8, 120, 100), sel::DabResult::kNothing);
  EXPECT_FALSE(sel::RederiveSelection(s, pic.view(), kMetrics));
  EXPECT_FALSE(s.shownHandleZone.Empty());
}

TEST(OutlineBrush, RederiveAppliesKeptAdjustmentsOnce) {
  Picture pic(120, 100);
  sel::Selection a, b;
  for (sel::Selection* s : {&a, &b}) {
    ASSERT_TRUE(Square(*s, pic, 20, 20, 60, 60));
    sel::AdjustSelection(*s, sel::kHitToneOffsetDown);
  }
  ASSERT_TRUE(sel::BeginOutlineStroke(a, 55, 40));
  ASSERT_EQ(sel::OutlineDab(a, 58, 40, 8, 120, 100), sel::DabResult::kReshaped);
  ASSERT_TRUE(sel::RederiveSelection(a, pic.view(), kMetrics));
  EXPECT_EQ(a.adjust.toneOffset, -5);
  // A pixel inside both: adjusted from the image once, as in the selection never reshaped.
  EXPECT_EQ(At(a.selectionImage, 30 - a.selectionRect.left, 30 - a.selectionRect.top),
            At(b.selectionImage, 30 - b.selectionRect.left, 30 - b.selectionRect.top));
}

TEST(Drop, FreesEverythingAndReportsWhatWasShown) {
  Picture pic(64, 48);
  sel::Selection s;
  ASSERT_TRUE(Square(s, pic, 10, 10, 30, 30));
  const Rect zone = s.shownHandleZone;
  ASSERT_TRUE(sel::BeginOutlineStroke(s, 20, 20));  // handles hidden by the outline brush
  const Rect drawn = sel::DrawnArea(s);
  EXPECT_LE(drawn.left, zone.left);
  EXPECT_GE(drawn.right, zone.right);
  sel::DropSelection(s);
  EXPECT_FALSE(s.floatActive);
  EXPECT_TRUE(s.outline.empty());
  EXPECT_FALSE(s.selectionImage.exists() || s.rotBase.image.exists() || s.sizeBase.mask.exists());
  EXPECT_TRUE(sel::DrawnArea(s).Empty());
}

TEST(Failures, AbsurdRequestsAreRefusedCleanly) {
  Picture pic(64, 48);
  sel::Selection s;
  sel::Image big;
  EXPECT_FALSE(big.Create(40000, 10, 0));
  EXPECT_FALSE(big.Create(10, -1, 0));
  EXPECT_FALSE(sel::MoveSelection(s, 1, 1, kMetrics));
  EXPECT_FALSE(sel::StampSelection(s, pic.view()));
  ASSERT_TRUE(Square(s, pic, 10, 10, 30, 30));
  const Rect r = s.selectionRect;
  EXPECT_FALSE(sel::ResizeSelection(s, Rect{0, 0, 50000, 10}, kMetrics));
  EXPECT_FALSE(sel::ResizeSelection(s, Rect{5, 5, 5, 9}, kMetrics));
  EXPECT_EQ(s.selectionRect, r);
  EXPECT_TRUE(sel::MoveSelection(s, INT32_MIN, INT32_MAX, kMetrics));  // bounded, not overflowed
  EXPECT_TRUE(sel::RotateSelection(s, 720, 64, 48, kMetrics));
  EXPECT_EQ(s.rotationAngle, 0);
  EXPECT_FALSE(sel::StartLasso(s, 5, 5, pic.client(), 0, sel::Clamp::kCanvas));
}

// A mask from rows of text: '#' inside (black), anything else outside (white).
bool MaskImage(const std::vector<std::string>& rows, sel::Image* out) {
  if (!out->Create(static_cast<int32_t>(rows[0].size()), static_cast<int32_t>(rows.size()), 255)) return false;
  for (size_t y = 0; y < rows.size(); ++y)
    for (size_t x = 0; x < rows[y].size(); ++x)
      if (rows[y][x] == '#') std::memset(out->view().Pixel24(static_cast<int32_t>(x), static_cast<int32_t>(y)), 0, 3);
  return true;
}

TEST(Library, LoadedSelectionLiesWhereItWasSavedAndTakesEveryTransform) {
  Picture pic(64, 48);
  sel::Selection lasso;
  // A saved lasso whose outline crosses itself (even-odd leaves a hole).
  ASSERT_TRUE(Lasso(lasso, pic, {{10, 10}, {40, 10}, {40, 30}, {20, 30}, {20, 5}, {30, 5}, {30, 20}, {10, 20}}, {10, 10}));
  const struct {
    const char* what;
    std::vector<std::string> rows;  // empty: the lasso's own images
  } cases[] = {
      {"saved lasso", {}},
      {"inside to every edge", {"######", "######", "######", "######"}},
      {"ring", {"#####", "#...#", "#...#", "#####"}},
      {"two blobs", {"##....", "##....", "....##", "....##"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    sel::Image image, mask;
    if (c.rows.empty()) {
      ASSERT_TRUE(image.Duplicate(lasso.selectionImage));
      ASSERT_TRUE(mask.Duplicate(lasso.selectionMask));
    } else {
      ASSERT_TRUE(MaskImage(c.rows, &mask));
      ASSERT_TRUE(image.Create(mask.width(), mask.height(), 0x40));
    }
    const int32_t w = mask.width(), h = mask.height();
    const Rect saved = c.rows.empty() ? lasso.selectionRect : Rect{20, 15, 20 + w, 15 + h};
    sellib::Placement traced;
    ASSERT_TRUE(sellib::PlaceSelection(mask.view(), 64, 48, saved.left + w / 2, saved.top + h / 2, &traced));
    sel::Selection s;
    ASSERT_TRUE(Square(s, pic, 2, 2, 6, 6));  // whatever floated before goes
    ASSERT_TRUE(sel::PlaceLoadedSelection(s, image, mask, saved.left + w / 2, saved.top + h / 2, 64, 48, kMetrics));
    EXPECT_FALSE(image.exists());
    EXPECT_TRUE(s.floatActive);
    EXPECT_EQ(s.selectionRect, saved);
    EXPECT_EQ(s.shownHandleZone, sel::HandleZoneOf(saved, kMetrics));
    if (c.rows.empty()) {
      EXPECT_EQ(Rows(s.moveBaseRows), Rows(lasso.moveBaseRows));
      EXPECT_TRUE(SameImage(s.selectionImage, lasso.selectionImage));
    }
    // The outline is the traced one, whole: the replay consumed a copy.
    std::vector<Point> expected;
    for (const sellib::Point& p : traced.outline) expected.push_back(Point{p.x, p.y});
    EXPECT_EQ(Points(s.outline), expected);
    ExpectConsistent(s);
    ASSERT_TRUE(sel::MoveSelection(s, 3, 2, kMetrics));
    ExpectConsistent(s);
    ASSERT_TRUE(sel::MirrorSelection(s, false, kMetrics));
    ASSERT_TRUE(sel::MirrorSelection(s, true, kMetrics));
    ASSERT_TRUE(sel::ResizeSelection(s, Rect{s.selectionRect.left, s.selectionRect.top, s.selectionRect.right + 4,
                                             s.selectionRect.bottom + 3}, kMetrics));
    ASSERT_TRUE(sel::RotateSelection(s, 30, 64, 48, kMetrics));
    Picture target(64, 48);
    EXPECT_TRUE(sel::StampSelection(s, target.view()));
  }
}

TEST(Library, LoadedSelectionThatCannotBePlacedChangesNothing) {
  Picture pic(64, 48);
  sel::Selection s;
  ASSERT_TRUE(Square(s, pic, 10, 10, 20, 20));
  const Rect before = s.selectionRect;
  const struct {
    const char* what;
    int32_t w, h;
    bool black;
  } cases[] = {
      {"wider than the picture allows", 63, 10, true},
      {"as high as the picture", 10, 48, true},
      {"nothing inside", 10, 10, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    sel::Image image, mask;
    ASSERT_TRUE(image.Create(c.w, c.h, 0x40));
    ASSERT_TRUE(mask.Create(c.w, c.h, c.black ? 0 : 255));
    EXPECT_FALSE(sel::PlaceLoadedSelection(s, image, mask, 32, 24, 64, 48, kMetrics));
    EXPECT_TRUE(image.exists());
    EXPECT_EQ(s.selectionRect, before);
    EXPECT_TRUE(s.floatActive);
  }
  sel::Image image, mask;
  ASSERT_TRUE(image.Create(8, 8, 0));
  ASSERT_TRUE(mask.Create(8, 9, 0));
  EXPECT_FALSE(sel::PlaceLoadedSelection(s, image, mask, 32, 24, 64, 48, kMetrics)) << "sizes differ";
  EXPECT_EQ(s.selectionRect, before);
}

TEST(Trackers, AnglesAndRectangles) {
  const double pi = 3.14159265358979323846;
  struct Angle {
    int px, py;
    double want;
  } angles[] = {{20, 10, 0}, {10, 0, pi / 2}, {10, 20, -pi / 2}, {0, 10, pi}, {20, 0, pi / 4}};
  for (const Angle& a : angles) EXPECT_NEAR(sel::PointAngle(10, 10, a.px, a.py), a.want, 1e-12) << a.px << "," << a.py;
  const double start = sel::PointAngle(10, 10, 20, 13);
  EXPECT_EQ(sel::RotationDegrees(start, 10, 10, 20, 13), 0);
  EXPECT_EQ(sel::RotationDegrees(sel::PointAngle(10, 10, 20, 10), 10, 10, 10, 0), 90);
  EXPECT_EQ(sel::TurnPoint(10, 10, 20, 10, pi / 2), (Point{10, 0}));

  const Rect client{0, 0, 400, 300};
  const Rect r{100, 100, 200, 180};
  EXPECT_EQ(sel::TrackMove(r, 50, 60, 10, 10, client, 4, 4), (Rect{40, 50, 140, 130}));
  EXPECT_EQ(sel::TrackMove(r, 0, 0, 10, 10, client, 4, 4), (Rect{9, 9, 109, 89}));
  EXPECT_EQ(sel::TrackMove(r, 395, 295, 10, 10, client, 4, 4), (Rect{291, 211, 391, 291}));
  int gx = 0, gy = 0;
  sel::ResizeGrab(r, sel::kHitBottomRight, 203, 182, &gx, &gy);
  EXPECT_EQ(gx, 3);
  EXPECT_EQ(gy, 2);
  EXPECT_EQ(sel::TrackResize(r, sel::kHitBottomRight, 253, 202, gx, gy, 30, 20, client, 4, 4), (Rect{100, 100, 250, 200}));
  // Never narrower than the minimum plus 6.
  EXPECT_EQ(sel::TrackResize(r, sel::kHitLeft, 500, 0, 0, 0, 30, 20, client, 4, 4), (Rect{164, 100, 200, 180}));
  EXPECT_EQ(sel::TrackResize(r, sel::kHitTop, 0, -50, 0, 0, 30, 20, client, 4, 4), (Rect{100, 9, 200, 180}));
}

}  // namespace
