#include "retouch/imaging/image_adjust.h"

#include <algorithm>
#include <cstddef>

#include "retouch/imaging/tone.h"

namespace dib {

namespace {

bool Is24(const View& v) { return v.valid() && v.bitsPerPixel == 24; }

}  // namespace

bool AdjustImage(const View& source, const View* destination, int32_t a, int32_t b, int32_t c, int32_t d) {
  if (!Is24(source)) return false;
  const View& to = destination ? *destination : source;
  if (!Is24(to) || to.width != source.width || to.height != source.height) return false;
  const tone::Adjustment adjustment = tone::MakeAdjustment(tone::kImageScale, a, b, c, d);
  const size_t stride = static_cast<size_t>(source.stride);
  for (size_t i = 0; i < static_cast<size_t>(source.height); ++i)  // storage order
    tone::AdjustPixels(adjustment, source.bits + i * stride, to.bits + i * stride, static_cast<size_t>(source.width));
  return true;
}

bool PreviewSize(int32_t imageWidth, int32_t imageHeight, int32_t clientWidth, int32_t clientHeight,
                 int32_t* width, int32_t* height) {
  if (imageWidth <= 0 || imageHeight <= 0 || clientWidth <= 0 || clientHeight <= 0) return false;
  int64_t ph = clientHeight;
  int64_t pw = int64_t{imageWidth} * ph / imageHeight;
  if (pw > clientWidth) {
    pw = clientWidth;
    ph = int64_t{imageHeight} * pw / imageWidth;
  }
  *width = static_cast<int32_t>(std::max<int64_t>(pw, 1));
  *height = static_cast<int32_t>(std::max<int64_t>(ph, 1));
  return true;
}

bool SamplePreview(const View& source, const View& preview) {
  if (!Is24(source) || !Is24(preview)) return false;
  for (int32_t i = 0; i < preview.height; ++i) {
    const int64_t row = std::min<int64_t>(int64_t{source.height} * i / preview.height, source.height - 1);
    const uint8_t* from = source.Row(static_cast<int32_t>(row));
    uint8_t* to = preview.Row(i);
    for (int32_t j = 0; j < preview.width; ++j) {
      const int64_t col = std::min<int64_t>(int64_t{source.width} * j / preview.width, source.width - 1);
      const uint8_t* p = from + static_cast<size_t>(col) * 3;
      to[3 * static_cast<size_t>(j)] = p[0];
      to[3 * static_cast<size_t>(j) + 1] = p[1];
      to[3 * static_cast<size_t>(j) + 2] = p[2];
    }
  }
  return true;
}

int32_t AdjustDialogWidth(int32_t barsRight, int32_t dialogHeight, int32_t imageWidth, int32_t imageHeight) {
  int64_t w = barsRight;
  if (imageHeight > 0 && imageWidth > 0 && dialogHeight > 0) w += int64_t{dialogHeight} * imageWidth / imageHeight;
  return static_cast<int32_t>(std::clamp<int64_t>(w, INT32_MIN, INT32_MAX));
}

}  // namespace dib
