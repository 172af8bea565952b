#include "retouch/frame/tool_bars.h"

#include <algorithm>
#include <cstdlib>

namespace tools {

bool ScrollTarget(int32_t code, int32_t position, int32_t thumb, const BarRange& bar, int32_t* target) {
  int64_t to = position;
  switch (code) {
    case kLineUp: to = int64_t{position} - 1; break;
    case kLineDown: to = int64_t{position} + 1; break;
    case kPageUp: to = int64_t{position} - bar.page; break;
    case kPageDown: to = int64_t{position} + bar.page; break;
    case kThumbPosition:
    case kThumbTrack: to = thumb; break;
    default: return false;
  }
  to = std::clamp<int64_t>(to, bar.min, bar.max);
  *target = static_cast<int32_t>(to);
  return to != position;
}

int32_t StrengthFromBar(int32_t position) {
  const int32_t p = std::clamp(position, kStrengthBar.min, kStrengthBar.max);
  return p * p / 100;
}

int32_t BarFromStrength(int32_t strength) {
  int32_t best = kStrengthBar.min;
  int64_t bestGap = -1;
  for (int32_t p = kStrengthBar.min; p <= kStrengthBar.max; ++p) {
    const int64_t gap = std::llabs(int64_t{StrengthFromBar(p)} - strength);
    if (bestGap < 0 || gap < bestGap) {
      best = p;
      bestGap = gap;
    }
  }
  return best;
}

}  // namespace tools
