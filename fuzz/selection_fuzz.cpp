// Closed lasso paths of any shape over small images: the region must be the even-odd fill of the
// outline's pixel path, and the mask and picture must agree with it. Then a run of transforms
// and outline brush dabs chosen by the input: none may leave the views or the lists it is given.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "retouch/imaging/selection.h"
#include "tests/native/selection_model.h"

namespace {

struct Input {
  const uint8_t* data;
  size_t size;
  uint8_t Byte() {
    if (size == 0) return 0;
    --size;
    return *data++;
  }
  int32_t Int16() { return static_cast<int16_t>(Byte() | (Byte() << 8)); }
};

constexpr sel::Metrics kMetrics{2, 2, 4, 4};

uint32_t MaskAt(const sel::Image& i, int x, int y) {
  const uint8_t* p = i.view().Pixel24(x, y);
  return p[0] | p[1] << 8 | p[2] << 16;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in{data, size};
  const int w = 3 + in.Byte() % 64, h = 3 + in.Byte() % 64;
  sel::Image picture;
  if (!picture.Create(w, h, 0)) return 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) picture.view().Pixel24(x, y)[0] = static_cast<uint8_t>(x * 7 + y);
  const sel::Rect client{0, 0, w, h};
  // Points anywhere (also far outside); the lasso keeps them one pixel inside the canvas.
  std::vector<sel::Point> v(1 + in.Byte() % 24);
  for (sel::Point& p : v) p = sel::Point{in.Int16() % (2 * w), in.Int16() % (2 * h)};
  auto clamped = [&](sel::Point p) {
    if (p.x <= 0) p.x = 1;
    if (p.x >= w - 1) p.x = w - 2;
    if (p.y <= 0) p.y = 1;
    if (p.y >= h - 1) p.y = h - 2;
    p.x = p.x < 1 ? 1 : p.x;
    p.y = p.y < 1 ? 1 : p.y;
    return p;
  };
  sel::Selection s;
  if (!sel::StartLasso(s, v[0].x, v[0].y, client, h, sel::Clamp::kCanvas)) abort();
  for (size_t i = 1; i < v.size(); ++i) sel::ExtendLasso(s, v[i].x, v[i].y, client, sel::Clamp::kCanvas);
  const bool made = sel::CloseLasso(s, v.back().x, v.back().y, client, picture.view(), kMetrics);
  std::vector<sel::Point> walked;
  for (const sel::Point& p : v) walked.push_back(clamped(p));
  const std::vector<bool> inside = selmodel::EvenOddFill(walked, w, h);
  const sel::Rect& r = s.selectionRect;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool in = made && x >= r.left && x < r.right && y >= r.top && y < r.bottom &&
                      MaskAt(s.selectionMask, x - r.left, y - r.top) == 0;
      if (in != inside[static_cast<size_t>(y * w + x)]) abort();
      if (in && MaskAt(s.selectionImage, x - r.left, y - r.top) != MaskAt(picture, x, y)) abort();
    }
  if (!made) return 0;
  for (int step = 0; step < 8 && in.size > 0; ++step) {
    const sel::Rect c = s.selectionRect;
    switch (in.Byte() % 8) {
      case 0: sel::MoveSelection(s, in.Int16() % 20, in.Int16() % 20, kMetrics); break;
      case 1: {
        const int32_t l = c.left + in.Int16() % 10, t = c.top + in.Int16() % 10;
        sel::ResizeSelection(s, sel::Rect{l, t, l + 1 + in.Byte() % 120, t + 1 + in.Byte() % 120}, kMetrics);
        break;
      }
      case 2: sel::RotateSelection(s, in.Int16(), w, h, kMetrics); break;
      case 3: sel::MirrorSelection(s, in.Byte() & 1, kMetrics); break;
      case 4: sel::AdjustSelection(s, in.Byte() % 112); break;
      case 5: sel::StampSelection(s, picture.view()); break;
      case 6: {
        if (!sel::BeginOutlineStroke(s, c.left + in.Byte() % 40, c.top + in.Byte() % 40)) break;
        for (int d = in.Byte() % 4; d >= 0; --d)
          if (sel::OutlineDab(s, in.Int16() % w, in.Int16() % h, in.Byte() % 30, w, h) == sel::DabResult::kDrop) break;
        sel::RederiveSelection(s, picture.view(), kMetrics);
        break;
      }
      default: sel::HitTestSelection(s, in.Int16(), in.Int16(), kMetrics); sel::MaskTest(s, in.Int16(), in.Int16()); break;
    }
  }
  sel::DropSelection(s);
  return 0;
}
