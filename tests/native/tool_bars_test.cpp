// The tool window's scroll bars: where each code moves a bar, and the strength bar's scale.
#include "retouch/frame/tool_bars.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

namespace {

using tools::kSizeBar;
using tools::kStrengthBar;

int32_t Move(int32_t code, int32_t from, int32_t thumb, const tools::BarRange& bar, bool* moved) {
  int32_t to = -12345;
  *moved = tools::ScrollTarget(code, from, thumb, bar, &to);
  return *moved ? to : from;
}

TEST(ToolBars, LinesPagesAndThumbStayInsideTheBar) {
  struct Case {
    int32_t code, from, thumb;
    const tools::BarRange* bar;
    int32_t want;
    bool moved;
  };
  const Case cases[] = {
      {tools::kLineDown, 16, 0, &kSizeBar, 17, true},
      {tools::kLineUp, 16, 0, &kSizeBar, 15, true},
      {tools::kLineUp, 1, 0, &kSizeBar, 1, false},  // already at the start
      {tools::kPageDown, 16, 0, &kSizeBar, 24, true},
      {tools::kPageDown, 44, 0, &kSizeBar, 48, true},  // clamped
      {tools::kPageUp, 5, 0, &kSizeBar, 1, true},
      {tools::kThumbTrack, 16, 30, &kSizeBar, 30, true},
      {tools::kThumbPosition, 16, 99, &kSizeBar, 48, true},
      {tools::kThumbPosition, 16, 16, &kSizeBar, 16, false},
      {tools::kPageDown, 70, 0, &kStrengthBar, 80, true},
      {tools::kPageUp, 45, 0, &kStrengthBar, 40, true},
      {tools::kLineDown, 100, 0, &kStrengthBar, 100, false},
      {tools::kThumbTrack, 70, 0, &kStrengthBar, 40, true},
      // Codes that move nothing: the ends and the end of a scroll.
      {6 /* SB_TOP */, 16, 0, &kSizeBar, 16, false},
      {7 /* SB_BOTTOM */, 16, 0, &kSizeBar, 16, false},
      {tools::kEndScroll, 16, 40, &kSizeBar, 16, false},
      {-1, 16, 40, &kSizeBar, 16, false},
  };
  for (const Case& c : cases) {
    bool moved = false;
    EXPECT_EQ(Move(c.code, c.from, c.thumb, *c.bar, &moved), c.want) << "code " << c.code << " from " << c.from;
    EXPECT_EQ(moved, c.moved) << "code " << c.code << " from " << c.from;
  }
  // Extreme positions do not overflow.
  bool moved = false;
  EXPECT_EQ(Move(tools::kLineDown, INT32_MAX, 0, kSizeBar, &moved), 48);
  EXPECT_EQ(Move(tools::kPageUp, INT32_MIN, 0, kSizeBar, &moved), 1);
}

TEST(ToolBars, StrengthIsThePositionSquaredOverAHundred) {
  EXPECT_EQ(tools::StrengthFromBar(40), 16);
  EXPECT_EQ(tools::StrengthFromBar(70), 49);
  EXPECT_EQ(tools::StrengthFromBar(100), 100);
  EXPECT_EQ(tools::StrengthFromBar(99), 98);
  EXPECT_EQ(tools::StrengthFromBar(0), 16);  // outside the bar: its ends
  EXPECT_EQ(tools::StrengthFromBar(500), 100);
}

TEST(ToolBars, StoredStrengthShowsAtItsNearestPosition) {
  EXPECT_EQ(tools::BarFromStrength(100), 100);
  EXPECT_EQ(tools::BarFromStrength(49), 70);
  EXPECT_EQ(tools::BarFromStrength(16), 40);
  EXPECT_EQ(tools::BarFromStrength(1), 40);
  EXPECT_EQ(tools::BarFromStrength(5000), 100);
  EXPECT_EQ(tools::BarFromStrength(99), 99);  // 98 and 100 are as near: the lower position
  // Showing what the bar set and ending a scroll there keeps the strength.
  for (int32_t p = kStrengthBar.min; p <= kStrengthBar.max; ++p) {
    const int32_t s = tools::StrengthFromBar(p);
    EXPECT_EQ(tools::StrengthFromBar(tools::BarFromStrength(s)), s) << p;
  }
  // Every stored strength shows within one step of the strengths the bar can give.
  for (int32_t s = 16; s <= 100; ++s) {
    const int32_t shown = tools::StrengthFromBar(tools::BarFromStrength(s));
    EXPECT_LE(std::abs(shown - s), 1) << s;
  }
}

}  // namespace
