// The control library's small utilities, the texts of its buttons and static controls, the push
// button's layout and the auto-radio group walk.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "controls/widgets/button_logic.h"
#include "controls/widgets/control_text.h"
#include "controls/widgets/qword_text.h"

namespace {

// ---- Utilities -----------------------------------------------------------------------------

TEST(QwordText, ParsesWrapsAndNeverOverflows) {
  const struct {
    const char* text;
    int64_t value;
  } cases[] = {
      {"", 0},
      {"12", 12},
      {"0009", 9},
      {"9223372036854775807", std::numeric_limits<int64_t>::max()},
      {"9223372036854775808", std::numeric_limits<int64_t>::min()},
      {"18446744073709551615", -1},  // 2^64 - 1 wraps to all bits set
      {"18446744073709551616", 0},
      {"99999999999999999999", static_cast<int64_t>(UINT64_C(7766279631452241919))},  // 10^20 - 1 mod 2^64
      // Non-digits count as their code minus 48 (a minus sign is -3, added as 2^32 - 3).
      {"1a", 10 + 49},
      {"-", static_cast<int64_t>(UINT64_C(0xFFFFFFFD))},
      {"\xff", 255 - 48},
  };
  for (const auto& c : cases) EXPECT_EQ(qword::ParseDecimal(c.text), c.value) << c.text;
  EXPECT_EQ(qword::ParseDecimal(nullptr), 0);
}

TEST(QwordText, RemainderFollowsTheDividendAndNeverTraps) {
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  const struct {
    int64_t a, b, r;
  } cases[] = {
      {-7, 3, -1}, {7, -3, 1}, {7, 3, 1}, {-7, -3, -1}, {5, 0, 0}, {kMin, 0, 0},
      {kMin, -1, 0}, {kMin, 1, 0}, {kMax, -1, 0}, {kMin, kMax, -1}, {kMax, kMin, kMax}, {0x100000000LL, 7, 4},
  };
  for (const auto& c : cases) EXPECT_EQ(qword::Remainder(c.a, c.b), c.r) << c.a << " % " << c.b;
}

TEST(QwordText, TrimsSpacesOnlyAndRefusesLongTexts) {
  char out[qword::kTrimCapacity];
  const struct {
    std::string text, trimmed;
  } cases[] = {
      {"  a b  ", "a b"}, {"     ", ""}, {"", ""}, {"\tx\t", "\tx\t"}, {" \tx ", "\tx"},
      {std::string(1023, 'x'), std::string(1023, 'x')}, {" " + std::string(1022, 'y'), std::string(1022, 'y')},
      {std::string(1024, 'x'), ""}, {std::string(5000, ' '), ""},
  };
  for (const auto& c : cases) {
    std::memset(out, '#', sizeof out);
    qword::TrimBlanks(c.text.c_str(), out);
    EXPECT_EQ(std::string(out), c.trimmed) << c.text.size();
  }
  qword::TrimBlanks(nullptr, out);
  EXPECT_STREQ(out, "");
}

// ---- Texts ---------------------------------------------------------------------------------

using ctltext::ResourceRef;

std::string Describe(const ResourceRef& r) {
  if (r.id) return "#" + std::to_string(r.id);
  return r.name[0] ? std::string(r.name) : std::string("-");
}

TEST(ControlText, ResourceNamesAreBoundedAndNumbersStayIdentifiers) {
  const struct {
    std::string text;
    std::string expected;
  } cases[] = {
      {"#120", "#120"},
      {"#120abc", "#120"},
      {"#65535", "#65535"},
      {"#65536", "-"},              // would become a pointer to a name
      {"#4294967416", "-"},         // wraps to 120 in 32 bits
      {"#99999999999999999999", "-"},
      {"#0", "-"},
      {"#", "-"},
      {"#-5", "-"},
      {"", "-"},
      {" LOGO", "-"},
      {"|LOGO", "-"},
      {"LOGO", "LOGO"},
      {"LOGO|NEXT", "LOGO"},
      {std::string(63, 'N'), std::string(63, 'N')},
      {std::string(64, 'N'), "-"},  // does not fit: no truncated name that could load another
  };
  for (const auto& c : cases) EXPECT_EQ(Describe(ctltext::ParseResourceName(c.text, "|")), c.expected) << c.text;
}

TEST(ControlText, ButtonTextsNameUpToFourBitmapsAfterTheirCaption) {
  const struct {
    const char* window;
    const char* text;
    const char* slots[4];
  } cases[] = {
      {"OK", "OK", {"-", "-", "-", "-"}},
      {"\"Save\" BMP:#10", "Save ", {"#10", "-", "-", "-"}},
      {"BMP:#1|#2|#3|#4|#5", "", {"#1", "#2", "#3", "#4"}},
      {"Go BMP:|| #3|HOT", "Go ", {"-", "-", "-", "HOT"}},
      {"BB:Print^Prints it BMP:PRN|PRN_OFF", "BB:Print^Prints it ", {"PRN", "PRN_OFF", "-", "-"}},
      {"x BMP:#70000|#7", "x ", {"-", "#7", "-", "-"}},
      {"a BMP: b BMP:#9", "a ", {"-", "-", "-", "-"}},  // the first "BMP:" counts
  };
  for (const auto& c : cases) {
    const ctltext::ButtonText t = ctltext::ParseButtonText(c.window);
    EXPECT_EQ(t.text, c.text) << c.window;
    for (int s = 0; s < ctltext::kButtonSlots; ++s) EXPECT_EQ(Describe(t.bitmaps[s]), c.slots[s]) << c.window << " " << s;
  }
}

TEST(ControlText, CaptionsOfButtonsTabsAndStatics) {
  const struct {
    const char* text;
    const char* button;
    const char* tab;
    const char* statique;
  } cases[] = {
      {"Plain^x", "Plain^x", "Plain^x", "Plain^x"},
      {"BB:Print^Prints", "Print", "Print", "Print^Prints"},
      {"BB:\"Q\"uoted", "Quoted", "Quoted", "\"Q\"uoted"},
      {"BB:", "", "", ""},
      {"Page@2@x", "Page@2@x", "Page@2", "Page@2@x"},
      {"BB:Tab^hint@7", "Tab", "Tab", "Tab^hint@7"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ctltext::ButtonCaption(c.text), c.button) << c.text;
    EXPECT_EQ(ctltext::TabCaption(c.text), c.tab) << c.text;
    EXPECT_EQ(ctltext::StaticCaption(c.text), c.statique) << c.text;
  }
}

TEST(ControlText, StaticTextsWithPicturesAndIcons) {
  const struct {
    const char* window;
    const char* text;
    const char* bitmap;
    const char* icon;
  } cases[] = {
      {"Logo BMP:#120", "Logo ", "#120", "-"},
      {"BMP:PIC|OTHER", "", "PIC", "-"},
      {"\"Quoted\" BMP:#2", "Quoted ", "#2", "-"},
      {"Info ICO:#32516", "Info ", "-", "#32516"},
      {"ICO:APP^Shown", "Shown", "-", "APP"},
      {"ICO:#99999^Shown", "Shown", "-", "-"},
      {"BB:Hint me", "Hint me", "-", "-"},
      {"BB:x BMP:#3", "x ", "#3", "-"},
  };
  for (const auto& c : cases) {
    const ctltext::StaticText t = ctltext::ParseStaticText(c.window);
    EXPECT_EQ(t.text, c.text) << c.window;
    EXPECT_EQ(Describe(t.bitmap), c.bitmap) << c.window;
    EXPECT_EQ(Describe(t.icon), c.icon) << c.window;
  }
}

// ---- Push button layout ----------------------------------------------------------------------

TEST(ButtonLayout, CaptionAndBitmapFollowThePlacementBits) {
  const btn::Size client{100, 40};
  const btn::Size text{30, 12};
  const btn::Size bitmap{16, 16};
  const struct {
    unsigned style;
    draw::Rect textRect;
    btn::Point alone, beside;
  } cases[] = {
      // Neither bit: caption against the right and bottom, bitmap left of / above it.
      {0x000, {64, 26, 98, 39}, {1, 1}, {52, 8}},
      {0x100, {4, 26, 38, 39}, {81, 1}, {40, 8}},
      {0x200, {35, 26, 69, 39}, {42, 1}, {42, 8}},
      {0x400, {64, 4, 98, 17}, {1, 21}, {52, 21}},
      {0x800, {64, 14, 98, 27}, {1, 12}, {52, 12}},
      {0xA00, {35, 14, 69, 27}, {42, 12}, {42, 12}},
      {0x300, {4, 26, 38, 39}, {81, 1}, {40, 8}},  // 0x100 wins
  };
  for (const auto& c : cases) {
    const draw::Rect r = btn::PushTextRect(client, c.style, text);
    EXPECT_EQ(r, c.textRect) << std::hex << c.style;
    EXPECT_EQ(btn::PushBitmapPos(client, c.style, bitmap, nullptr, false), c.alone) << std::hex << c.style;
    EXPECT_EQ(btn::PushBitmapPos(client, c.style, bitmap, &r, false), c.beside) << std::hex << c.style;
  }
  const btn::Point shifted = btn::PushBitmapPos(client, 0x200, bitmap, nullptr, true);
  EXPECT_EQ(shifted, (btn::Point{43, 2}));
}

TEST(ButtonLayout, TextLargerThanTheButtonStaysInside) {
  const draw::Rect r = btn::PushTextRect({20, 10}, 0, {200, 50});
  EXPECT_GE(r.left, 0);
  EXPECT_LE(r.right, 20);
  EXPECT_GE(r.top, 0);
  EXPECT_LE(r.bottom, 10);
  EXPECT_EQ(btn::MeasureWidth(10, 16), 0);
}

// ---- Auto-radio groups ---------------------------------------------------------------------

// A dialog group as GetNextDlgGroupItem walks it: the next member in order, wrapping, that is
// visible and enabled; a member with no such other gives itself back only when it counts.
struct Member {
  bool visible = true, enabled = true;
};
int NextInGroup(const std::vector<Member>& g, int from) {
  const int n = static_cast<int>(g.size());
  for (int step = 1; step <= n; ++step) {
    const int i = (from + step) % n;
    if (g[i].visible && g[i].enabled) return i;
  }
  return from;
}

TEST(RadioGroup, TheWalkVisitsEveryReachableMemberOnceAndEnds) {
  const struct {
    std::vector<Member> group;
    int start;
    std::vector<int> visited;
  } cases[] = {
      {{{}, {}, {}}, 0, {0, 1, 2}},
      {{{}, {}, {}}, 2, {2, 0, 1}},
      {{{}, {false, true}, {}}, 0, {0, 2}},
      {{{}, {}, {true, false}}, 2, {2, 0, 1}},     // disabled start: never comes back to it
      {{{false, true}, {}, {}}, 0, {0, 1, 2}},     // hidden start
      {{{false, true}, {false, false}}, 0, {0}},   // nothing else reachable
      {{{}}, 0, {0}},
  };
  for (const auto& c : cases) {
    std::vector<int> visited;
    // Indices as handles, offset so that none is null.
    btn::WalkGroup(c.start + 1, [&](int h) { return NextInGroup(c.group, h - 1) + 1; },
                   [&](int h) { visited.push_back(h - 1); });
    EXPECT_EQ(visited, c.visited) << "start " << c.start;
  }
  int steps = 0;
  btn::WalkGroup(1, [](int h) { return h + 1; }, [&](int) { ++steps; });  // a group without end
  EXPECT_EQ(steps, static_cast<int>(btn::kMaxGroupWalk));
}

}  // namespace
