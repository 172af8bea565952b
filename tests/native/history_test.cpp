// Undo and redo bookkeeping over an in-memory image, with a store that can be made to fail.
#include "retouch/imaging/history.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#include "tests/native/brush_test_images.h"

using brushtest::Grey;
using brushtest::Image;

namespace {

struct Patch {
  brush::Rect r;
  std::vector<uint32_t> pixels;
};

// Patches are heap records of the pixels of a rectangle; the array lives in malloc'd memory.
class FakeStore {
 public:
  explicit FakeStore(Image* image) : image_(image) {}
  ~FakeStore() { EXPECT_TRUE(live_.empty()) << live_.size() << " patches leaked"; }

  HistoryEntry* Resize(HistoryEntry* entries, int32_t count) {
    ++resizes;
    if (failResize) return nullptr;
    const size_t old = entries ? capacity_ : 0;
    auto* grown = static_cast<HistoryEntry*>(std::realloc(entries, sizeof(HistoryEntry) * count));
    if (grown && static_cast<size_t>(count) > old)
      std::memset(static_cast<void*>(grown + old), 0, sizeof(HistoryEntry) * (count - old));
    if (grown) capacity_ = count;
    return grown;
  }
  void FreeArray(HistoryEntry* entries) { std::free(entries); }
  void FreePatch(void* p) {
    if (p == nullptr) return;
    ASSERT_EQ(live_.erase(p), 1u) << "patch freed twice or unknown";
    delete static_cast<Patch*>(p);
  }
  void* Capture(const brush::Rect& r) {
    auto* p = new Patch{r, {}};
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) p->pixels.push_back(image_->At(x, y));
    live_.insert(p);
    return p;
  }
  bool Exchange(void* patch, const brush::Rect& r) {
    auto* p = static_cast<Patch*>(patch);
    if (failExchange || !(p->r == r)) return false;
    size_t n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) {
        const uint32_t shown = image_->At(x, y);
        image_->Set(x, y, p->pixels[n]);
        p->pixels[n++] = shown;
      }
    return true;
  }
  void Invalidate(const brush::Rect& r) { invalidated.push_back(r); }
  size_t live() const { return live_.size(); }

  bool failResize = false;
  bool failExchange = false;
  int resizes = 0;
  std::vector<brush::Rect> invalidated;

 private:
  Image* image_;
  std::set<void*> live_;
  size_t capacity_ = 0;
};

struct History {
  HistoryEntry* entries = nullptr;
  int32_t position = 0;
  int32_t count = 0;
  history::List list() { return {&entries, &position, &count}; }
};

// One "stroke": fill r with a grey after taking the patch of r as it was.
void Stroke(FakeStore& store, History& h, Image& image, const brush::Rect& r, uint32_t grey,
            int32_t tool = 117) {
  void* before = store.Capture(r);
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) image.Set(x, y, Grey(grey));
  ASSERT_EQ(history::Record(store, h.list(), tool, r, before), 1);
}

TEST(RetouchHistory, UndoAndRedoStrokesInOrder) {
  Image image(8, 8);
  FakeStore store(&image);
  History h;
  const brush::Rect a{0, 0, 4, 4}, b{2, 2, 6, 6};
  Stroke(store, h, image, a, 10, 117);
  Stroke(store, h, image, b, 20, 121);
  EXPECT_EQ(h.count, 2);
  EXPECT_EQ(h.position, 2);
  EXPECT_EQ(h.entries[0].tool, 117);
  EXPECT_EQ(h.entries[1].tool, 121);
  EXPECT_EQ(history::RectOf(h.entries[1]), b);
  const Image afterBoth = image;

  ASSERT_EQ(history::Step(store, h.list(), true), 1);  // undo b
  EXPECT_EQ(image.At(3, 3), Grey(10));
  EXPECT_EQ(image.At(5, 5), 0u);
  EXPECT_EQ(h.position, 1);
  ASSERT_EQ(history::Step(store, h.list(), true), 1);  // undo a
  EXPECT_TRUE(image == Image(8, 8));
  EXPECT_EQ(h.position, 0);
  EXPECT_EQ(store.invalidated.size(), 2u);
  EXPECT_EQ(store.invalidated.back(), a);

  // Beyond the first entry nothing changes; the next redo starts with the first entry.
  EXPECT_EQ(history::Step(store, h.list(), true), 0);
  EXPECT_EQ(history::Step(store, h.list(), true), 0);
  EXPECT_TRUE(image == Image(8, 8));
  ASSERT_EQ(history::Step(store, h.list(), false), 1);
  EXPECT_EQ(image.At(1, 1), Grey(10));
  EXPECT_EQ(image.At(5, 5), 0u);
  ASSERT_EQ(history::Step(store, h.list(), false), 1);
  EXPECT_TRUE(image == afterBoth);
  EXPECT_EQ(history::Step(store, h.list(), false), 0);  // nothing left to redo
  EXPECT_EQ(h.position, 2);

  history::Reset(store, h.list());
  EXPECT_EQ(h.entries, nullptr);
  EXPECT_EQ(h.count, 0);
  EXPECT_EQ(store.live(), 0u);
  EXPECT_EQ(history::Step(store, h.list(), true), 0);
}

TEST(RetouchHistory, NewStrokeAfterUndoDropsTheRedoEntries) {
  Image image(8, 8);
  FakeStore store(&image);
  History h;
  Stroke(store, h, image, {0, 0, 2, 2}, 1);
  Stroke(store, h, image, {0, 0, 3, 3}, 2);
  Stroke(store, h, image, {0, 0, 4, 4}, 3);
  ASSERT_EQ(history::Step(store, h.list(), true), 1);
  ASSERT_EQ(history::Step(store, h.list(), true), 1);
  EXPECT_EQ(store.live(), 3u);
  Stroke(store, h, image, {5, 5, 8, 8}, 4);
  EXPECT_EQ(h.count, 2);
  EXPECT_EQ(h.position, 2);
  EXPECT_EQ(store.live(), 2u);  // the two redo patches are gone
  EXPECT_EQ(history::Step(store, h.list(), false), 0);
  ASSERT_EQ(history::Step(store, h.list(), true), 1);
  EXPECT_EQ(image.At(6, 6), 0u);
  EXPECT_EQ(image.At(1, 1), Grey(1));

  // After undoing everything (position below 0), a stroke starts the list again.
  ASSERT_EQ(history::Step(store, h.list(), true), 1);
  EXPECT_EQ(history::Step(store, h.list(), true), 0);
  EXPECT_EQ(h.position, -1);
  Stroke(store, h, image, {1, 1, 2, 2}, 5);
  EXPECT_EQ(h.count, 1);
  EXPECT_EQ(h.position, 1);
  EXPECT_EQ(store.live(), 1u);
  history::Reset(store, h.list());
}

TEST(RetouchHistory, FailuresLeaveTheHistoryAsItWas) {
  Image image(8, 8);
  FakeStore store(&image);
  History h;
  Stroke(store, h, image, {0, 0, 4, 4}, 50);
  ASSERT_EQ(history::Step(store, h.list(), true), 1);
  const Image undone = image;

  // Recording over a redo entry needs no room: it works even when the array cannot grow.
  store.failResize = true;
  EXPECT_EQ(history::Record(store, h.list(), 117, {0, 0, 1, 1}, store.Capture({0, 0, 1, 1})), 1);
  EXPECT_EQ(h.count, 1);
  store.failResize = false;
  history::Reset(store, h.list());

  Stroke(store, h, image, {0, 0, 4, 4}, 60);
  // Growing fails: the new patch is freed and the history stays as it was.
  store.failResize = true;
  EXPECT_EQ(history::Record(store, h.list(), 117, {0, 0, 1, 1}, store.Capture({0, 0, 1, 1})), 0);
  EXPECT_EQ(h.count, 1);
  EXPECT_EQ(h.position, 1);
  EXPECT_EQ(store.live(), 1u);
  EXPECT_EQ(history::Record(store, h.list(), 117, {0, 0, 1, 1}, nullptr), 0);

  // The patch cannot be put back: undo does nothing and can be tried again.
  store.failExchange = true;
  const Image painted = image;
  EXPECT_EQ(history::Step(store, h.list(), true), 0);
  EXPECT_TRUE(image == painted);
  EXPECT_EQ(h.position, 1);
  store.failExchange = false;
  ASSERT_EQ(history::Step(store, h.list(), true), 1);
  EXPECT_TRUE(image == undone);
  history::Reset(store, h.list());
}

TEST(RetouchHistory, ResetWithoutEntriesAndOutOfRangePositions) {
  Image image(4, 4);
  FakeStore store(&image);
  History h;
  h.position = 5;
  history::Reset(store, h.list());
  EXPECT_EQ(h.position, 0);
  Stroke(store, h, image, {0, 0, 2, 2}, 9);
  h.position = 7;  // a position past the end is taken as the end
  ASSERT_EQ(history::Step(store, h.list(), true), 1);
  EXPECT_EQ(h.position, 0);
  EXPECT_EQ(image.At(0, 0), 0u);
  history::Reset(store, h.list());
}

}  // namespace

namespace {

TEST(RetouchHistory, ExchangeRectSwapsInPlace) {
  Image image(6, 5), patch(3, 2);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) image.Set(x, y, static_cast<uint32_t>(x * 16 + y));
  patch.Fill(0xABCDEF);
  const Image before = image;
  ASSERT_TRUE(history::ExchangeRect(image.view, patch.view, {2, 3, 5, 5}));
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) {
      const bool inside = x >= 2 && x < 5 && y >= 3;
      EXPECT_EQ(image.At(x, y), inside ? 0xABCDEFu : before.At(x, y));
      if (inside) EXPECT_EQ(patch.At(x - 2, y - 3), before.At(x, y));
    }
  // A patch of another size, or a rectangle leaving the image: nothing happens.
  const Image now = image;
  EXPECT_FALSE(history::ExchangeRect(image.view, patch.view, {2, 3, 6, 5}));
  EXPECT_FALSE(history::ExchangeRect(image.view, patch.view, {4, 3, 7, 5}));
  EXPECT_FALSE(history::ExchangeRect(image.view, patch.view, {-1, 0, 2, 2}));
  Image mask(3, 2, 8);
  EXPECT_FALSE(history::ExchangeRect(image.view, mask.view, {0, 0, 3, 2}));
  EXPECT_TRUE(image == now);
}

}  // namespace
