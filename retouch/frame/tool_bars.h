// Arithmetic of the tool window's scroll bars that needs no window: where a scroll code moves a
// bar, and how the strength bar's position and the brushes' strength relate.
#pragma once

#include <cstdint>

namespace tools {

// Scroll codes as the system numbers them (SB_LINEUP ... SB_ENDSCROLL).
enum ScrollCode : int32_t {
  kLineUp = 0,
  kLineDown = 1,
  kPageUp = 2,
  kPageDown = 3,
  kThumbPosition = 4,
  kThumbTrack = 5,
  kEndScroll = 8,
};

struct BarRange {
  int32_t min;
  int32_t max;
  int32_t page;  // step of a page up or down
};

// The brush size bars (width 202, height 204) and the strength bar (212).
constexpr BarRange kSizeBar{1, 48, 8};
constexpr BarRange kStrengthBar{40, 100, 10};

// The position `code` moves a bar at `position` to (`thumb` for the thumb codes), clamped to the
// bar's range. False when the code moves nothing or the bar is already there.
bool ScrollTarget(int32_t code, int32_t position, int32_t thumb, const BarRange& bar, int32_t* target);

// Strength from the bar: position squared over 100 (16 at 40, 49 at 70, 100 at 100).
int32_t StrengthFromBar(int32_t position);

// Where the bar shows a stored strength: the position whose strength is nearest, the lower one
// on a tie. Only some strengths are reachable from the bar (above 25 the squares step by more
// than one), so a strength kept from a file shows at its nearest position, while the strength
// itself stays as stored until the bar is moved.
int32_t BarFromStrength(int32_t strength);

}  // namespace tools
