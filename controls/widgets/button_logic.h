// The arithmetic and rules of the owner-drawn button that need no window: where a push
// button's caption and bitmap go, and how an auto-radio group is walked. Portable.
#pragma once

#include <cstddef>

#include "controls/widgets/draw_math.h"

namespace btn {

// Style bits of placement (low word of the window style).
constexpr unsigned kPlaceRight = 0x100;   // caption from the left, bitmap right of it
constexpr unsigned kPlaceCentre = 0x200;  // both centred horizontally
constexpr unsigned kPlaceTop = 0x400;     // caption from the top, bitmap below it
constexpr unsigned kPlaceMiddle = 0x800;  // both centred vertically

struct Size {
  int cx = 0, cy = 0;
};
struct Point {
  int x = 0, y = 0;
  bool operator==(const Point&) const = default;
};

// The caption's rectangle in a client area of `client` from the text's measured size (measured
// in the client width less the bitmap's width), clipped to the client area.
draw::Rect PushTextRect(Size client, unsigned style, Size measured);

// The bitmap's top-left corner: without a caption (`text` null) against the client edges,
// with one beside, above or below it. `shifted` moves it one pixel right and down (pushed
// without a checked bitmap).
Point PushBitmapPos(Size client, unsigned style, Size bitmap, const draw::Rect* text, bool shifted);

// Width left for measuring the caption beside a bitmap of width `bitmapWidth`.
inline int MeasureWidth(int clientWidth, int bitmapWidth) {
  const int w = clientWidth - bitmapWidth;
  return w > 0 ? w : 0;
}

// Walks a dialog group from `start` with `next` (GetNextDlgGroupItem's step) and calls
// `visit` once for every member reached, `start` included. The walk ends when it comes back to
// any member already seen, at null, or after kMaxGroupWalk members: a step that skips hidden or
// disabled windows never returns to a start that is itself hidden or disabled.
constexpr size_t kMaxGroupWalk = 256;
template <class Handle, class Next, class Visit>
void WalkGroup(Handle start, Next next, Visit visit) {
  Handle seen[kMaxGroupWalk];
  size_t count = 0;
  for (Handle h = start; h && count < kMaxGroupWalk; h = next(h)) {
    for (size_t i = 0; i < count; ++i) {
      if (seen[i] == h) return;
    }
    seen[count++] = h;
    visit(h);
  }
}

}  // namespace btn
