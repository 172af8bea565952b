// The mini keyboard's portable rules: placement, proportions, saved size, hit test, dragging,
// key identifiers and the labels of a layout with dead keys.
#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "controls/widgets/mini_keyboard_logic.h"

namespace {

using minikb::Modifiers;
using minikb::Point;
using minikb::Rect;
using minikb::Size;

TEST(MiniKeyboardPlace, UnderTheFieldInsideTheScreen) {
  const Rect screen = {0, 0, 1000, 800};
  struct Case {
    const char* name;
    Rect target;
    Size size;
    Rect screen;
    Point expected;
  } cases[] = {
      {"under", {100, 100, 200, 120}, {300, 100}, screen, {100, 120}},
      {"moved left at the right edge", {900, 100, 980, 120}, {300, 100}, screen, {700, 120}},
      {"above near the bottom", {100, 750, 200, 770}, {300, 100}, screen, {100, 650}},
      {"above when the bottom would cover it", {100, 790, 200, 850}, {300, 100}, screen, {100, 690}},
      {"never above or left of the screen", {100, 10, 200, 30}, {1200, 790}, screen, {0, 0}},
      {"screen left of the primary one", {-900, 100, -800, 120}, {300, 100}, {-1000, 0, 0, 800}, {-900, 120}},
  };
  for (const Case& c : cases) EXPECT_EQ(minikb::PlaceUnder(c.target, c.size, c.screen), c.expected) << c.name;
}

TEST(MiniKeyboardSize, KeepsTheClientPartInProportion) {
  const Size ref = {400, 200}, frame = {4, 4}, cur = {400, 200};
  struct Case {
    const char* name;
    Size proposed, current, reference;
    bool edge;
    Size expected;
  } cases[] = {
      {"width sets the height", {796, 200}, cur, ref, false, {796, 393}},
      {"height alone sets the width", {400, 392}, cur, ref, false, {792, 392}},
      {"corner: the width wins", {500, 300}, cur, ref, false, {500, 248}},
      {"top or bottom corner: the height wins", {500, 300}, cur, ref, true, {604, 300}},
      {"top or bottom, width alone changed", {500, 200}, cur, ref, true, {500, 248}},
      {"a reference without client part changes nothing", {500, 300}, cur, {8, 8}, false, {500, 300}},
      {"never below one pixel of client", {2, 2}, cur, ref, false, {9, 9}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(minikb::KeepAspect(c.proposed, c.current, c.reference, frame, c.edge), c.expected) << c.name;
  EXPECT_TRUE(minikb::IsTopOrBottomHit(12) && minikb::IsTopOrBottomHit(17));
  EXPECT_FALSE(minikb::IsTopOrBottomHit(10) || minikb::IsTopOrBottomHit(11) || minikb::IsTopOrBottomHit(18));
}

TEST(MiniKeyboardSize, SavedSizeIsProportionedAndFitsTheWorkArea) {
  const Size frame = {4, 4}, work = {1000, 800};
  struct Case {
    const char* name;
    int width, height;
    Size reference;
    std::optional<Size> expected;
  } cases[] = {
      {"missing width", 0, 100, {400, 200}, std::nullopt},
      {"missing height", 100, -1, {400, 200}, std::nullopt},
      {"the width decides", 600, 1, {400, 200}, Size{600, 297}},
      {"too wide for the work area", 99999, 99999, {400, 200}, Size{1000, 493}},
      {"too high for the work area", 99999, 99999, {200, 400}, Size{395, 800}},
      {"too small to use", 10, 10, {400, 200}, Size{24, 16}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(minikb::SavedSize(c.width, c.height, c.reference, frame, work), c.expected) << c.name;
}

TEST(MiniKeyboardFrame, HitTestAndMoveDrag) {
  using minikb::Hit;
  const std::pair<Point, Hit> hits[] = {
      {{2, 50}, Hit::Left}, {{198, 50}, Hit::Right}, {{100, 2}, Hit::Top},
      {{100, 97}, Hit::Bottom}, {{100, 50}, Hit::Client}, {{2, 2}, Hit::Left},
  };
  for (const auto& [at, hit] : hits) EXPECT_EQ(minikb::HitTest({200, 100}, at, {4, 4}), hit) << at.x << "," << at.y;

  const Rect screen = {0, 0, 1000, 800};
  minikb::MoveDrag drag;
  EXPECT_FALSE(drag.Release()) << "no drag";
  drag.Begin({100, 100, 300, 200}, {150, 120});
  EXPECT_TRUE(drag.Follow({160, 130}, screen));
  EXPECT_FALSE(drag.Follow({-5, 130}, screen)) << "the cursor left the screen";
  EXPECT_EQ(drag.rect(), (Rect{110, 110, 310, 210}));
  EXPECT_EQ(drag.Release(), (Point{110, 110}));
  EXPECT_FALSE(drag.active());
  drag.Begin({100, 100, 300, 200}, {150, 120});
  drag.Follow({400, 400}, screen);
  drag.Cancel();
  EXPECT_FALSE(drag.Release()) << "a lost capture moves nothing";
}

TEST(MiniKeyboardKeys, IdentifiersAndKeyParameters) {
  using minikb::Command;
  const std::pair<int, Command> ids[] = {
      {1, Command::Enter},     {2, Command::Close},      {101, Command::Character}, {199, Command::Character},
      {200, Command::None},    {300, Command::Shift},    {301, Command::AltGr},     {308, Command::Backspace},
      {309, Command::Tab},     {401, Command::Insert},   {402, Command::Delete},    {410, Command::Copy},
      {411, Command::None},    {412, Command::Cut},      {413, Command::Paste},     {100, Command::None},
  };
  for (const auto& [id, command] : ids) EXPECT_EQ(minikb::CommandOf(id), command) << id;
  EXPECT_EQ(minikb::ScanOf(130), 30u);
  EXPECT_EQ(minikb::KeyDownParam(30, false), 0x001E0001u);
  EXPECT_EQ(minikb::KeyUpParam(83, true), 0xC1530001u);
  EXPECT_EQ(minikb::ShortKeyName("Delete"), "Del");
  EXPECT_EQ(minikb::ShortKeyName("In"), "In");
}

TEST(MiniKeyboardLabels, LabelOfOneTranslation) {
  const std::pair<minikb::Translation, const char*> cases[] = {
      {{1, {'a', 0}}, "a"},   {{1, {'&', 0}}, "&&"}, {{2, {'^', 'a'}}, "a"},
      {{1, {3, 0}}, ""},      {{0, {0, 0}}, ""},     {{-1, {'^', 0}}, ""},
      {{1, {0xE9, 0}}, "\xE9"},
  };
  for (const auto& [t, label] : cases) EXPECT_EQ(minikb::LabelFor(t), label) << t.count << " " << int(t.chars[0]);
}

// A layout with dead keys, keeping its pending accent as the system does between calls.
class FakeLayout : public minikb::Layout {
 public:
  struct Key {
    unsigned char c;
    bool dead;
  };
  std::map<std::pair<unsigned, Modifiers>, Key> keys;
  std::map<std::pair<unsigned char, unsigned char>, unsigned char> composed;
  unsigned char pending = 0;

  unsigned VirtualKey(unsigned scan) override { return scan == minikb::kScanSpace ? minikb::kVkSpace : scan + 0x100; }
  minikb::Translation Translate(unsigned vk, unsigned scan, Modifiers m) override {
    Key key = {' ', false};
    if (vk != minikb::kVkSpace) {
      const auto it = keys.find({scan, m});
      if (it == keys.end()) return {};
      key = it->second;
    }
    const unsigned char accent = pending;
    if (key.dead && !accent) {
      pending = key.c;
      return {-1, {0, 0}};
    }
    pending = 0;
    if (!accent) return {1, {key.c, 0}};
    if (key.c == ' ') return {1, {accent, 0}};
    const auto it = composed.find({accent, key.c});
    if (it != composed.end() && !key.dead) return {1, {it->second, 0}};
    return {2, {accent, key.c}};
  }
};

// A French-like layout: '&'/1, é/2/~ (dead under AltGr), a/A, e/E/€, ^ and ¨ dead.
FakeLayout French() {
  FakeLayout l;
  l.keys = {
      {{2, Modifiers::None}, {'&', false}},   {{2, Modifiers::Shift}, {'1', false}},
      {{3, Modifiers::None}, {0xE9, false}},  {{3, Modifiers::Shift}, {'2', false}},
      {{3, Modifiers::AltGr}, {'~', true}},   {{16, Modifiers::None}, {'a', false}},
      {{16, Modifiers::Shift}, {'A', false}}, {{18, Modifiers::None}, {'e', false}},
      {{18, Modifiers::Shift}, {'E', false}}, {{18, Modifiers::AltGr}, {0x80, false}},
      {{26, Modifiers::None}, {'^', true}},   {{26, Modifiers::Shift}, {0xA8, true}},
  };
  l.composed = {{{'^', 'e'}, 0xEA}, {{0xA8, 'e'}, 0xEB}, {{'^', 'a'}, 0xE2}};
  return l;
}

TEST(MiniKeyboardLabels, LayoutLabelsLeaveTheDeadKeyStateAsFound) {
  const std::vector<unsigned> scans = {2, 3, 16, 18, 26, 99};
  struct Case {
    const char* name;
    unsigned char pendingBefore;
    Modifiers modifiers;
    std::vector<std::string> labels;
  } cases[] = {
      {"plain", 0, Modifiers::None, {"&&", "\xE9", "a", "e", "^", ""}},
      {"shift", 0, Modifiers::Shift, {"1", "2", "A", "E", "\xA8", ""}},
      {"altgr", 0, Modifiers::AltGr, {"", "~", "", "\x80", "", ""}},
      {"circumflex pending", '^', Modifiers::None, {"&&", "\xE9", "a", "e", "^", ""}},
      {"diaeresis (shifted) pending", 0xA8, Modifiers::None, {"&&", "\xE9", "a", "e", "^", ""}},
      {"tilde (altgr) pending", '~', Modifiers::Shift, {"1", "2", "A", "E", "\xA8", ""}},
  };
  for (const Case& c : cases) {
    FakeLayout layout = French();
    layout.pending = c.pendingBefore;
    EXPECT_EQ(minikb::LabelKeys(layout, scans, c.modifiers), c.labels) << c.name;
    EXPECT_EQ(layout.pending, c.pendingBefore) << c.name;
  }
  // The restored accent still combines with the next key, as it would have.
  FakeLayout layout = French();
  layout.pending = '^';
  minikb::LabelKeys(layout, scans, Modifiers::Shift);
  EXPECT_EQ(layout.Translate(18 + 0x100, 18, Modifiers::None).chars[0], 0xEA);
}

}  // namespace
