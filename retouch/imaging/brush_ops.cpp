#include "retouch/imaging/brush_ops.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>

namespace brush {

// ---- Geometry of a stroke -------------------------------------------------------------------

int32_t BrushScale(int32_t tool, int32_t option) { return tool == kSpray && option == 1 ? 2 : 1; }

Rect DabRect(int32_t x, int32_t y, int32_t width, int32_t height, int32_t scale) {
  const int32_t left = x - (width / 2) * scale;
  const int32_t top = y - (height / 2) * scale;
  return {left, top, left + width * scale, top + height * scale};
}

int32_t SprayPeriod(int32_t width, int32_t height) { return (width + height) * 2 + 55; }

void StartBounds(StrokeBounds* bounds, int32_t x, int32_t y) { *bounds = {x, x, y, y}; }

void ExtendBounds(StrokeBounds* bounds, int32_t x, int32_t y) {
  bounds->minX = std::min(bounds->minX, x);
  bounds->maxX = std::max(bounds->maxX, x);
  bounds->minY = std::min(bounds->minY, y);
  bounds->maxY = std::max(bounds->maxY, y);
}

Rect StrokeRecordRect(const StrokeBounds& b, int32_t width, int32_t height, int32_t scale) {
  const int32_t hw = (width / 2) * scale;
  const int32_t hh = (height / 2) * scale;
  return {b.minX - hw - 1, b.minY - hh - 1, b.maxX + hw + 1, b.maxY + hh + 2};
}

Rect StampRecordRect(const StrokeBounds& b, int32_t width, int32_t height) {
  // The dab spans x - width/2 .. x - width/2 + width: one column more than the half on the right
  // when the width is odd. The bottom already has a spare row.
  return {b.minX - width / 2, b.minY - height / 2, b.maxX + width / 2 + (width & 1),
          b.maxY + height / 2 + 1};
}

Rect ClampToImage(Rect r, int32_t width, int32_t height) {
  r.left = std::max(r.left, 0);
  r.top = std::max(r.top, 0);
  r.right = std::min(r.right, width);
  r.bottom = std::min(r.bottom, height);
  return r;
}

// ---- Clipping and weights --------------------------------------------------------------------

bool ClipDab(int32_t imageWidth, int32_t imageHeight, int32_t maskWidth, int32_t maskHeight,
             int32_t left, int32_t top, DabClip* clip) {
  const int64_t right = static_cast<int64_t>(left) + maskWidth;
  const int64_t bottom = static_cast<int64_t>(top) + maskHeight;
  if (imageWidth <= 0 || imageHeight <= 0 || maskWidth <= 0 || maskHeight <= 0) return false;
  if (right <= 0 || bottom <= 0 || left >= imageWidth || top >= imageHeight) return false;
  // A mask wider than the image may overhang both edges at once: clip each side on its own.
  const int32_t x0 = std::max(left, 0);
  const int32_t y0 = std::max(top, 0);
  const int32_t x1 = static_cast<int32_t>(std::min<int64_t>(right, imageWidth));
  const int32_t y1 = static_cast<int32_t>(std::min<int64_t>(bottom, imageHeight));
  *clip = {x0, y0, x1 - x0, y1 - y0, x0 - left, y0 - top};
  return true;
}

int32_t SoftShape::Offset(int32_t index, int32_t size) {
  const int32_t half = size / 2;
  return index <= half - 1 ? index + 1 - half : index - half;
}

SoftShape::SoftShape(int32_t width, int32_t height) : width_(width), height_(height) {
  a_ = width / 2.0 - 1;
  const double b = height / 2.0 - 1;
  aa_ = a_ * a_;
  bb_ = b * b;
  l_ = aa_ * bb_;
}

double SoftShape::Distance(int32_t column, int32_t row) const {
  const double dx = Offset(column, width_);
  const double dy = Offset(row, height_);
  if (aa_ != 0.0 && bb_ != 0.0) return std::min(dx * dx * bb_ + dy * dy * aa_, l_) / l_;
  // A dab two pixels across has no room for a falloff along that axis (the offsets there are
  // all 0): fade along the other axis alone.
  if (aa_ == 0.0 && bb_ == 0.0) return 0.0;
  if (aa_ == 0.0) return std::min(dy * dy, bb_) / bb_;
  return std::min(dx * dx, aa_) / aa_;
}

// ---- Per-pixel work --------------------------------------------------------------------------

namespace {

struct Rgb {
  uint8_t c[3];  // blue, green, red: the order of a stored pixel
};

Rgb Channels(uint32_t color) {
  return {{static_cast<uint8_t>(color >> 16), static_cast<uint8_t>(color >> 8),
           static_cast<uint8_t>(color)}};
}

bool IsView(const dib::View& v, int32_t bitsPerPixel) {
  return v.valid() && v.bitsPerPixel == bitsPerPixel &&
         v.stride >= dib::Stride(v.width, bitsPerPixel);
}

bool Matches(const dib::View& v, int32_t bitsPerPixel, const dib::View& image) {
  return IsView(v, bitsPerPixel) && v.width == image.width && v.height == image.height;
}

// Everything a per-pixel routine needs for one row of the dab.
struct Row {
  uint8_t* pixel;       // first image pixel of the row
  const uint8_t* mask;  // mask byte of that pixel
  int32_t y;            // image row
};

template <class Fn>
void ForEachRow(const dib::View& image, const dib::View& mask, const DabClip& clip, Fn&& fn) {
  for (int32_t j = 0; j < clip.height; ++j) {
    Row row{image.Pixel24(clip.x, clip.y + j), mask.Row(clip.maskY + j) + clip.maskX, clip.y + j};
    fn(row, j);
  }
}

inline uint8_t Mix(uint32_t channel, uint32_t keep, uint32_t addend) {
  return static_cast<uint8_t>((channel * keep + addend) / 100);
}

// Hard blend towards one colour: s = 100 sets the pixel, else each channel moves s percent.
struct HardBlend {
  HardBlend(uint32_t color, int32_t strength) : rgb(Channels(color)), s(strength) {
    for (int k = 0; k < 3; ++k) add[k] = rgb.c[k] * static_cast<uint32_t>(s);
    keep = static_cast<uint32_t>(100 - s);
  }
  void operator()(uint8_t* p) const {
    if (s == 100) {
      p[0] = rgb.c[0];
      p[1] = rgb.c[1];
      p[2] = rgb.c[2];
    } else {
      p[0] = Mix(p[0], keep, add[0]);
      p[1] = Mix(p[1], keep, add[1]);
      p[2] = Mix(p[2], keep, add[2]);
    }
  }
  Rgb rgb;
  int32_t s;
  uint32_t keep;
  uint32_t add[3];
};

void PaintHard(const dib::View& image, const dib::View& mask, const DabClip& clip,
               const DabSettings& st, const dib::View& coverage) {
  const HardBlend blend(st.color, st.strength);
  ForEachRow(image, mask, clip, [&](const Row& row, int32_t) {
    uint8_t* covered = coverage.Row(row.y) + clip.x;
    for (int32_t i = 0; i < clip.width; ++i) {
      if (row.mask[i] != 0 && covered[i] == 0) {
        blend(row.pixel + 3 * i);
        covered[i] = 1;
      }
    }
  });
}

void PaintSoft(const dib::View& image, const dib::View& mask, const DabClip& clip,
               const DabSettings& st, const dib::View& coverage, const dib::View& snapshot) {
  const SoftShape shape(clip.width, clip.height);
  const Rgb rgb = Channels(st.color);
  ForEachRow(image, mask, clip, [&](const Row& row, int32_t j) {
    uint8_t* covered = coverage.Row(row.y) + clip.x;
    const uint8_t* before = snapshot.Pixel24(clip.x, row.y);
    for (int32_t i = 0; i < clip.width; ++i) {
      if (row.mask[i] == 0) continue;
      const double t = shape.Distance(i, j);
      const int32_t w = static_cast<int32_t>(st.strength * (1.0 - t * t * t));
      if (w < covered[i]) continue;
      uint8_t* p = row.pixel + 3 * i;
      const uint8_t* q = before + 3 * i;
      for (int k = 0; k < 3; ++k) {
        p[k] = static_cast<uint8_t>((q[k] * (100 - w) + rgb.c[k] * w) / 100);
      }
      covered[i] = static_cast<uint8_t>(w);
    }
  });
}

// Hard blend of each pixel towards the pixel of `source` at `at(row, i)`.
template <class Source>
void CopyHard(const dib::View& image, const dib::View& mask, const DabClip& clip,
              int32_t strength, Source&& source) {
  const uint32_t keep = static_cast<uint32_t>(100 - strength);
  const uint32_t s = static_cast<uint32_t>(strength);
  ForEachRow(image, mask, clip, [&](const Row& row, int32_t j) {
    const uint8_t* from = source(row, j);
    if (from == nullptr) return;
    const int32_t width = std::min(clip.width, source.columns());
    for (int32_t i = 0; i < width; ++i) {
      if (row.mask[i] == 0) continue;
      uint8_t* p = row.pixel + 3 * i;
      const uint8_t* r = from + 3 * i;
      if (strength == 100) {
        p[0] = r[0];
        p[1] = r[1];
        p[2] = r[2];
      } else {
        p[0] = Mix(p[0], keep, r[0] * s);
        p[1] = Mix(p[1], keep, r[1] * s);
        p[2] = Mix(p[2], keep, r[2] * s);
      }
    }
  });
}

// The backup pixel at the same image position (the same pixels as a crop of the brush rectangle
// read at the mask offsets, without the copy).
struct BackupSource {
  const dib::View& backup;
  const DabClip& clip;
  const uint8_t* operator()(const Row& row, int32_t) const { return backup.Pixel24(clip.x, row.y); }
  int32_t columns() const { return clip.width; }
};

// The sample pixel at the mask position: the sample lies over the brush like the mask.
struct SampleSource {
  const dib::View& sample;
  const DabClip& clip;
  const uint8_t* operator()(const Row&, int32_t j) const {
    const int32_t r = clip.maskY + j;
    if (r >= sample.height || clip.maskX >= sample.width) return nullptr;
    return sample.Pixel24(clip.maskX, r);
  }
  int32_t columns() const { return std::max(0, sample.width - clip.maskX); }
};

// Soft blend towards a colour or towards the backup, with a floating weight per pixel.
template <class Weight, class Target>
void BlendSoft(const dib::View& image, const dib::View& mask, const DabClip& clip, Weight&& weight,
               Target&& target) {
  ForEachRow(image, mask, clip, [&](const Row& row, int32_t j) {
    for (int32_t i = 0; i < clip.width; ++i) {
      if (row.mask[i] == 0) continue;
      const double w = weight(i, j);
      uint8_t* p = row.pixel + 3 * i;
      const uint8_t* r = target(row, i);
      for (int k = 0; k < 3; ++k) {
        p[k] = static_cast<uint8_t>((p[k] * (100 - w) + r[k] * w) / 100);
      }
    }
  });
}

void Smooth(const dib::View& image, const dib::View& mask, const DabClip& clip, int32_t strength) {
  const int32_t cw = clip.width, ch = clip.height;
  if (cw < 3 || ch < 3) return;
  const size_t rowBytes = static_cast<size_t>(cw) * 3;
  // The rows above and at the current one as they were before the dab; the row below is still
  // unchanged in the image when the current row is written.
  uint8_t stackRows[2 * 96 * 3];
  std::unique_ptr<uint8_t[]> heapRows;
  uint8_t* rows = stackRows;
  if (2 * rowBytes > sizeof stackRows) {
    heapRows.reset(new (std::nothrow) uint8_t[2 * rowBytes]);
    if (!heapRows) return;
    rows = heapRows.get();
  }
  uint8_t* above = rows;
  uint8_t* current = rows + rowBytes;
  std::memcpy(above, image.Pixel24(clip.x, clip.y), rowBytes);
  std::memcpy(current, image.Pixel24(clip.x, clip.y + 1), rowBytes);
  const uint32_t keep = static_cast<uint32_t>(100 - strength);
  const uint32_t s = static_cast<uint32_t>(strength);
  for (int32_t j = 1; j <= ch - 3; ++j) {
    uint8_t* out = image.Pixel24(clip.x, clip.y + j);
    const uint8_t* below = image.Pixel24(clip.x, clip.y + j + 1);
    const uint8_t* m = mask.Row(clip.maskY + j - 1) + clip.maskX;
    for (int32_t i = 1; i <= cw - 2; ++i) {
      if (m[i - 1] == 0) continue;
      for (int k = 0; k < 3; ++k) {
        const int32_t o = 3 * i + k;
        const uint32_t sum = above[o - 3] + 2u * above[o] + above[o + 3] +
                             2u * (current[o - 3] + 2u * current[o] + current[o + 3]) +
                             below[o - 3] + 2u * below[o] + below[o + 3];
        const uint32_t v = (sum + 8) >> 4;
        out[o] = static_cast<uint8_t>(s == 100 ? v : (current[o] * keep + v * s) / 100);
      }
    }
    std::swap(above, current);
    std::memcpy(current, below, rowBytes);
  }
}

}  // namespace

int ApplyDab(const DabSettings& st, int32_t left, int32_t top, const dib::View& image,
             const dib::View& mask, const DabBlocks& blocks) {
  if (!IsView(image, 24) || !IsView(mask, 8)) return 0;
  const bool soft = st.option == 1;
  switch (st.tool) {
    case kPaint:
      if (!Matches(blocks.coverage, 8, image)) return 0;
      if (soft && !Matches(blocks.snapshot, 24, image)) return 0;
      break;
    case kRestore:
      if (!Matches(blocks.backup, 24, image)) return 0;
      break;
    case kStamp:
    case kClone:
      if (!IsView(blocks.sample, 24)) return 0;
      break;
    case kSpray:
    case kSmooth:
      break;
    default:
      return 0;
  }
  DabClip clip;
  if (!ClipDab(image.width, image.height, mask.width, mask.height, left, top, &clip)) return 1;
  const int32_t strength = std::clamp(st.strength, 0, 100);
  DabSettings s = st;
  s.strength = strength;

  switch (st.tool) {
    case kPaint:
      if (soft) {
        PaintSoft(image, mask, clip, s, blocks.coverage, blocks.snapshot);
      } else {
        PaintHard(image, mask, clip, s, blocks.coverage);
      }
      break;
    case kRestore:
      if (soft) {
        const SoftShape shape(clip.width, clip.height);
        BlendSoft(
            image, mask, clip, [&](int32_t i, int32_t j) { return strength * (1 - shape.Distance(i, j)); },
            [&](const Row& row, int32_t i) { return blocks.backup.Pixel24(clip.x + i, row.y); });
      } else {
        CopyHard(image, mask, clip, strength, BackupSource{blocks.backup, clip});
      }
      break;
    case kSpray:
      if (soft) {
        const SoftShape shape(clip.width, clip.height);
        if (shape.degenerate()) break;
        const Rgb rgb = Channels(st.color);
        BlendSoft(
            image, mask, clip,
            [&](int32_t i, int32_t j) { return (1 - std::sqrt(shape.Distance(i, j))) * strength; },
            [&](const Row&, int32_t) { return rgb.c; });
      } else {
        const HardBlend blend(st.color, strength);
        ForEachRow(image, mask, clip, [&](const Row& row, int32_t) {
          for (int32_t i = 0; i < clip.width; ++i) {
            if (row.mask[i] != 0) blend(row.pixel + 3 * i);
          }
        });
      }
      break;
    case kStamp:
    case kClone:
      CopyHard(image, mask, clip, strength, SampleSource{blocks.sample, clip});
      break;
    case kSmooth:
      Smooth(image, mask, clip, strength);
      break;
    default:
      break;
  }
  return 1;
}

// ---- Brush mask ------------------------------------------------------------------------------

void MaskFromBits(const uint8_t* bits, int32_t sourceStride, uint8_t zero, uint8_t one,
                  const dib::View& mask) {
  if (bits == nullptr || !mask.valid()) return;
  for (int32_t r = 0; r < mask.height; ++r) {
    const uint8_t* src = bits + static_cast<size_t>(r) * static_cast<size_t>(sourceStride);
    uint8_t* dst = mask.bits + static_cast<size_t>(r) * static_cast<size_t>(mask.stride);
    for (int32_t c = 0; c < mask.width; ++c) {
      dst[c] = (src[c >> 3] >> (7 - (c & 7))) & 1 ? one : zero;
    }
  }
}

}  // namespace brush
