// The selection library's numbering, list file, paths and order, and placing a loaded selection
// with the outline traced around its mask.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "retouch/imaging/selection_library.h"
#include "tests/native/selection_test_support.h"

namespace {

using seltest::Image;

TEST(SelectionLibrary, NumbersNeverOverwriteOrComeBack) {
  EXPECT_EQ(sellib::NameOfNumber(7), "seld_007.tif");
  const struct {
    const char* list;
    std::vector<std::string> files;
    int next;
  } cases[] = {
      {"", {}, 1},                                                        // no list file yet
      {"000\r\n", {}, 1},
      {"002\r\nseld_001.tif\r\nseld_002.tif\r\n", {"seld_001.tif"}, 3},  // 002 deleted: not given again
      {"garbage\r\n", {"seld_004.tif", "seld_002.tif"}, 5},               // counter lost: above the files
      {"", {"SELD_010.TIF"}, 11},                                         // names in any case
      {"003\nseld_009.tif\n", {}, 10},                                    // a line the counter forgot
      {"12", {}, 13},
      {"5x7\r\n", {}, 6},
      {"001\r\n", {"seld_1000.tif", "seld_01.tif", "xseld_050.tif", "seld_050.tiff", "seld_0a1.tif"}, 2},
      {"998\r\n", {}, 999},
      {"999\r\n", {}, 0},  // full: no further save
      {"", {"seld_999.tif"}, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(sellib::NextNumber(c.list, c.files), c.next) << c.list;
}

TEST(SelectionLibrary, ListFileKeepsItsRecordAndStaysReadable) {
  // First save, second save, 002 deleted, third save.
  std::string list = sellib::kNewListFile;
  list = sellib::ListFileAfterSave(list, sellib::NextNumber(list, {}));
  EXPECT_EQ(list, "001\r\nseld_001.tif\r\n");
  list = sellib::ListFileAfterSave(list, sellib::NextNumber(list, {"seld_001.tif"}));
  list = sellib::ListFileAfterSave(list, sellib::NextNumber(list, {"seld_001.tif"}));
  EXPECT_EQ(list, "003\r\nseld_001.tif\r\nseld_002.tif\r\nseld_003.tif\r\n");
  const struct {
    const char* before;
    int n;
    const char* after;
  } cases[] = {
      {"", 1, "001\r\nseld_001.tif\r\n"},
      {"000", 1, "001\r\nseld_001.tif\r\n"},
      {"7\nseld_007.tif", 8, "008\r\nseld_007.tif\r\nseld_008.tif\r\n"},  // short counter, no last line end
      {"garbage line\r\nseld_004.tif\r\n", 5, "005\r\nseld_004.tif\r\nseld_005.tif\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(sellib::ListFileAfterSave(c.before, c.n), c.after) << c.before;
}

TEST(SelectionLibrary, PathsThatDoNotFitAreRefusedNotCut) {
  char out[sellib::kPathBuffer];
  std::memset(out, 'x', sizeof out);
  const std::string folder(243, 'f');
  EXPECT_TRUE(sellib::JoinPath(folder, "seld_001.tif", out));  // 255 characters and the NUL
  EXPECT_EQ(std::string(out), folder + "seld_001.tif");
  std::memset(out, 'x', sizeof out);
  EXPECT_FALSE(sellib::JoinPath(folder + "f", "seld_001.tif", out));
  EXPECT_FALSE(sellib::JoinPath(std::string(300, 'f'), "", out));
  EXPECT_EQ(out[0], 'x');
}

TEST(SelectionLibrary, ListIsInFileNameOrder) {
  std::vector<std::string> names = {"seld_010.tif", "B.tif", "seld_002.tif", "a.tif", "SELD_003.TIF", "b.tif", "seld_0.tif"};
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return sellib::NameBefore(a, b); });
  const std::vector<std::string> sorted = {"a.tif", "B.tif", "b.tif", "seld_0.tif", "seld_002.tif", "SELD_003.TIF", "seld_010.tif"};
  EXPECT_EQ(names, sorted);
}

// A mask from rows of text: '#' black (inside), anything else white.
Image MaskOf(const std::vector<std::string>& rows) {
  Image mask(static_cast<int32_t>(rows[0].size()), static_cast<int32_t>(rows.size()));
  for (size_t y = 0; y < rows.size(); ++y)
    for (size_t x = 0; x < rows[y].size(); ++x)
      mask.Set(static_cast<int32_t>(x), static_cast<int32_t>(y), rows[y][x] == '#' ? 0 : 0xFFFFFF);
  return mask;
}

TEST(SelectionLibrary, TraceFollowsTheBoundaryOfTheBlackPixels) {
  const struct {
    const char* what;
    std::vector<std::string> rows;
  } shapes[] = {
      {"lasso square", {"............", ".##########.", ".##########.", ".##########.", ".##########.", "............"}},
      {"touching every edge", {"####", "####", "####"}},
      {"diagonal", {"#...", ".#..", "..#.", "...#"}},
      {"ring", {"#####", "#...#", "#...#", "#####"}},
      {"concave", {"#...#", "#...#", "#####", "..#..", "#####"}},
      {"two pixels", {"##"}},
  };
  for (const auto& s : shapes) {
    SCOPED_TRACE(s.what);
    const Image mask = MaskOf(s.rows);
    std::vector<sellib::Point> outline;
    ASSERT_TRUE(sellib::TraceMask(mask.view, &outline));
    ASSERT_GE(outline.size(), 2u);
    EXPECT_EQ(outline.front().x, outline.back().x);
    EXPECT_EQ(outline.front().y, outline.back().y);
    std::set<std::pair<int, int>> black, edge;
    for (size_t y = 0; y < s.rows.size(); ++y) {
      for (size_t x = 0; x < s.rows[y].size(); ++x) {
        if (s.rows[y][x] != '#') continue;
        black.insert({static_cast<int>(x), static_cast<int>(y)});
      }
    }
    // Every black pixel with a white or outside 4-neighbour is on the outline, nothing else is.
    for (const auto& [x, y] : black) {
      if (!black.count({x - 1, y}) || !black.count({x + 1, y}) || !black.count({x, y - 1}) || !black.count({x, y + 1}))
        edge.insert({x, y});
    }
    std::set<std::pair<int, int>> traced;
    for (size_t i = 0; i < outline.size(); ++i) {
      traced.insert({outline[i].x, outline[i].y});
      if (i) EXPECT_LE(std::max(std::abs(outline[i].x - outline[i - 1].x), std::abs(outline[i].y - outline[i - 1].y)), 1);
    }
    if (std::string(s.what) != "ring") {
      EXPECT_EQ(traced, edge);
    } else {
      EXPECT_TRUE(std::includes(edge.begin(), edge.end(), traced.begin(), traced.end()));
    }
  }
  std::vector<sellib::Point> outline;
  EXPECT_FALSE(sellib::TraceMask(MaskOf({"....", "...."}).view, &outline)) << "nothing black";
  EXPECT_FALSE(sellib::TraceMask(MaskOf({"....", ".#..", "...."}).view, &outline)) << "a lone pixel has no way on";
}

TEST(SelectionLibrary, PlacesTheSelectionInsideTheImage) {
  // The saved lasso square of 12 x 6: mask pixel (0, 0) lands at the drop point minus half its size.
  const Image mask = MaskOf({"............", ".##########.", ".##########.", ".##########.", ".##########.", "............"});
  const struct {
    int imageW, imageH, x, y;
    bool ok;
    int left, top;
  } cases[] = {
      {100, 80, 50, 40, true, 44, 37},
      {100, 80, 0, 0, true, 1, 1},       // raised to half the size plus one
      {100, 80, -500, -9, true, 1, 1},
      {100, 80, 100, 80, true, 87, 73},  // lowered: the right column stays one inside
      {14, 8, 7, 4, true, 1, 1},         // exactly room for it
      {13, 8, 7, 4, false, 0, 0},        // wider than the image allows
      {100, 7, 50, 4, false, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.imageW << "x" << c.imageH << " at " << c.x << "," << c.y);
    sellib::Placement p;
    ASSERT_EQ(sellib::PlaceSelection(mask.view, c.imageW, c.imageH, c.x, c.y, &p), c.ok);
    if (!c.ok) continue;
    EXPECT_EQ(p.left, c.left);
    EXPECT_EQ(p.top, c.top);
    EXPECT_EQ(p.outline.front().x, c.left + 1);  // first black pixel, top row first
    EXPECT_EQ(p.outline.front().y, c.top + 1);
    for (const auto& pt : p.outline) {
      EXPECT_GE(pt.x, 1);
      EXPECT_LT(pt.x, c.imageW - 1);
      EXPECT_GE(pt.y, 1);
      EXPECT_LT(pt.y, c.imageH - 1);
    }
  }
}

}  // namespace
