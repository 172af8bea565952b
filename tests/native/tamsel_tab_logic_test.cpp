// Tab pages without windows: usable tab identifiers, where Tab crosses between a dialog and its
// page, and mnemonic captions.
#include <gtest/gtest.h>

#include "controls/widgets/tab_logic.h"

namespace {

using tabs::Ctl;
using tabs::Move;
using tabs::Stops;

TEST(TabIds, TheLibrarysOwnAtomsZeroAndNonAtomsAreRefused) {
  const unsigned named = 0xC0A7;
  struct Case {
    long id;
    bool usable;
  } cases[] = {
      {1, true},      {100, true},   {0xBFFF, true}, {0xFFFF, true},  {0, false},     {-1, false},
      {0x10000, false}, {4013, false}, {4014, false},  {555, false},    {0xC0A7, false}, {0xC0A8, true},
  };
  for (const Case& c : cases) EXPECT_EQ(tabs::UsableTabId(c.id, named), c.usable) << c.id;
  EXPECT_TRUE(tabs::UsableTabId(0xC0A7, 0));
}

// Dialog controls 1..3, page controls 11..13.
constexpr Stops kDialog = {1, 3};
constexpr Stops kPage = {11, 13};
constexpr Move kNext = {};
constexpr Move kPrevious = {false, true, 0};
constexpr Move To(Ctl c) { return {true, false, c}; }

TEST(TabCrossing, TheTableOfFocusAndMove) {
  struct Case {
    Ctl focus;
    Move move;
    Ctl target;
  } cases[] = {
      {3, kNext, 11},      {3, To(1), 11},     {1, kPrevious, 13}, {1, To(3), 13},
      {13, kNext, 1},      {13, To(11), 1},    {11, kPrevious, 3}, {11, To(13), 3},
      // Inside one of them: the dialog manager's own move.
      {2, kNext, 0},       {2, kPrevious, 0},  {12, kNext, 0},     {3, kPrevious, 0},
      {1, kNext, 0},       {13, kPrevious, 0}, {11, kNext, 0},     {3, To(2), 0},
      {13, To(12), 0},     {0, kNext, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(tabs::CrossingTarget(c.focus, kDialog, kPage, c.move), c.target)
        << "focus " << c.focus << (c.move.handleForm ? " to " : c.move.previous ? " previous" : " next") << c.move.named;
  }
}

TEST(TabCrossing, OneControlOnEitherSideAndNothingToGoTo) {
  EXPECT_EQ(tabs::CrossingTarget(5, {5, 5}, kPage, kNext), 11u);
  EXPECT_EQ(tabs::CrossingTarget(5, {5, 5}, kPage, kPrevious), 13u);
  EXPECT_EQ(tabs::CrossingTarget(11, kDialog, {11, 11}, kNext), 1u);
  EXPECT_EQ(tabs::CrossingTarget(11, kDialog, {11, 11}, kPrevious), 3u);
  // No tab stop on the page (or no page): the dialog wraps as usual.
  EXPECT_EQ(tabs::CrossingTarget(3, kDialog, {}, kNext), 0u);
  // No tab stop in the dialog: nowhere to leave the page for.
  EXPECT_EQ(tabs::CrossingTarget(13, {}, kPage, kNext), 0u);
  EXPECT_EQ(tabs::CrossingTarget(11, {}, kPage, kPrevious), 0u);
}

unsigned char Upper(unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c; }

TEST(TabMnemonic, TheCharacterAfterTheFirstAmpersandWhateverItsCase) {
  struct Case {
    const char* text;
    char typed;
    bool carried;
  } cases[] = {
      {"&Save", 's', true}, {"&Save", 'S', true},  {"Sa&ve", 'v', true},  {"Sa&ve", 's', false},
      {"Save", 's', false}, {"Save&", 's', false}, {"", 's', false},      {"&A &B", 'b', false},
      {"&&x", 'x', false},  {"&1", '1', true},     {"x&y&z", 'z', false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(tabs::CarriesMnemonic(c.text, static_cast<unsigned char>(c.typed), Upper), c.carried)
        << c.text << " / " << c.typed;
  }
}

}  // namespace
