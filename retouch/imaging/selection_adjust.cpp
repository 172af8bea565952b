// The five adjustments of the floating selection: tone (offset and slope), saturation and hue
// through the editor's shared tone table and colour conversions (scaled by 255 here), and the
// whitening passes that take the yellow cast off bright pixels.
#include <algorithm>

#include "retouch/imaging/selection.h"
#include "retouch/imaging/tone.h"

namespace sel {

namespace {

// More passes than this cannot change a pixel: each pass that changes one raises its green or
// blue byte.
constexpr int32_t kMaxWhitenPasses = 2 * 255;

}  // namespace

void WhitenPixel(uint8_t* p, int32_t passes) {
  passes = std::min(passes, kMaxWhitenPasses);
  int32_t b = p[0], g = p[1];
  const int32_t r = p[2];
  for (int32_t i = 0; i < passes; ++i) {
    // The lightness as a fraction: the truncated mean over 255, in floating point.
    const double l = ((r + g + b) / 3) / 255.0;
    const double a = l * l;
    const int32_t ng = static_cast<int32_t>(g * (1.0 - 0.6 * a) + 0.6 * a * 255.0);
    const int32_t nb = static_cast<int32_t>(b * (1.0 - a) + a * 255.0);
    if (ng == g && nb == b) break;
    g = ng;
    b = nb;
  }
  p[0] = static_cast<uint8_t>(b);
  p[1] = static_cast<uint8_t>(g);
}

bool AdjustedImage(const Image& source, const Image& mask, const Adjustments& a, Image* out) {
  if (a.Neutral() || !source.exists() || !mask.exists()) {
    out->CopyFrom(source);
    return true;
  }
  Image result;
  if (!result.Duplicate(source)) return false;
  {
    const tone::Adjustment adj = tone::MakeAdjustment(tone::kSelectionScale, a.toneSlope, a.toneOffset,
                                                      a.saturationValue, a.hueShift);
    const dib::View& v = result.view();
    const dib::View& m = mask.view();
    const int32_t w = std::min(v.width, m.width), h = std::min(v.height, m.height);
    for (int32_t y = 0; y < h; ++y) {
      uint8_t* p = v.Row(y);
      const uint8_t* k = m.Row(y);
      for (int32_t x = 0; x < w; ++x, p += 3, k += 3) {
        if (k[2] != 0) continue;
        tone::AdjustPixel(adj, p, p);
        if (a.whitenPasses > 0) WhitenPixel(p, a.whitenPasses);
      }
    }
  }
  out->Swap(result);
  return true;
}

bool ApplyAdjustments(Selection& s) {
  if (!s.floatActive || !s.selectionSource.exists()) return false;
  Image shown, mask;
  mask.CopyFrom(s.selectionMaskSource.exists() ? s.selectionMaskSource : s.selectionMask);
  if (!AdjustedImage(s.selectionSource, mask, s.adjust, &shown)) return false;
  s.selectionImage.Swap(shown);
  s.selectionMask.Swap(mask);
  return true;
}

bool AdjustSelection(Selection& s, int32_t code) {
  if (!s.floatActive || !s.selectionSource.exists()) return false;
  const Adjustments before = s.adjust;
  Adjustments& a = s.adjust;
  switch (code) {
    case kHitToneOffsetDown:
      if (a.toneOffset >= -99) a.toneOffset -= 5;
      break;
    case kHitToneOffsetUp:
      if (a.toneOffset < 100) a.toneOffset += 5;
      break;
    case kHitToneSlopeDown: a.toneSlope = std::max(a.toneSlope - 5, -100); break;
    case kHitToneSlopeUp: a.toneSlope = std::min(a.toneSlope + 5, 100); break;
    case kHitSaturationDown: a.saturationValue = std::max(a.saturationValue - 5, 0); break;
    case kHitSaturationUp: a.saturationValue = std::min(a.saturationValue + 5, 100); break;
    case kHitHueDown: a.hueShift = std::max(a.hueShift - 3, -127); break;
    case kHitHueUp: a.hueShift = std::min(a.hueShift + 3, 127); break;
    case kHitWhitenUp: a.whitenPasses = std::min(a.whitenPasses + 1, kMaxWhitenPasses); break;
    case kHitWhitenDown: a.whitenPasses = std::max(a.whitenPasses - 1, 0); break;
    default: return false;
  }
  if (!ApplyAdjustments(s)) {
    s.adjust = before;
    return false;
  }
  return true;
}

}  // namespace sel
