// Dabs with arbitrary image, mask and sample sizes, positions, tools and strengths: every dab must
// stay inside the views it is given and give what the plain pixel-by-pixel model gives, and undo
// patches stay inside the image.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "retouch/imaging/brush_ops.h"
#include "retouch/imaging/history.h"
#include "tests/native/brush_reference.h"

namespace {

// Reads the input front to back; zeros once it runs out.
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

// A view over a vector of exactly the rows it needs, so that any stray byte trips the sanitizer.
struct Block {
  Block(int32_t w, int32_t h, int32_t bpp, Input& in) {
    const int32_t stride = static_cast<int32_t>(dib::Stride(w, bpp));
    bytes.resize(static_cast<size_t>(stride) * static_cast<size_t>(h));
    for (uint8_t& b : bytes) b = in.Byte();
    view = {bytes.data(), w, h, bpp, stride};
  }
  std::vector<uint8_t> bytes;
  dib::View view;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in{data, size};
  const int32_t w = 1 + in.Byte() % 64, h = 1 + in.Byte() % 64;
  const int32_t mw = 1 + in.Byte() % 100, mh = 1 + in.Byte() % 100;
  const int32_t sw = 1 + in.Byte() % 100, sh = 1 + in.Byte() % 100;
  const int32_t tools[] = {TOOL_PAINT, TOOL_RESTORE, TOOL_SPRAY, TOOL_STAMP, TOOL_CLONE, TOOL_SMOOTH};
  brush::DabSettings st;
  st.tool = tools[in.Byte() % 6];
  st.option = in.Byte() % 3;
  st.strength = static_cast<int8_t>(in.Byte()) * 2;
  st.color = in.Byte() * 0x010203u;
  const int32_t x = in.Int16(), y = in.Int16();
  Block mask(mw, mh, 8, in), sample(sw, sh, 24, in), coverage(w, h, 8, in), snapshot(w, h, 24, in),
      backup(w, h, 24, in), image(w, h, 24, in);
  brush::DabBlocks blocks;
  blocks.coverage = coverage.view;
  blocks.snapshot = snapshot.view;
  blocks.backup = backup.view;
  blocks.sample = sample.view;
  // The model works on copies of what a dab changes.
  std::vector<uint8_t> modelImage = image.bytes, modelCoverage = coverage.bytes;
  dib::View modelView = image.view;
  modelView.bits = modelImage.data();
  brush::DabBlocks modelBlocks = blocks;
  modelBlocks.coverage.bits = modelCoverage.data();
  for (const int32_t at : {0, 1}) {
    const int32_t left = at == 0 ? x : x / 64, top = at == 0 ? y : y / 64;
    if (brush::ApplyDab(st, left, top, image.view, mask.view, blocks) == 1) {
      brushref::ReferenceDab(st, left, top, modelView, mask.view, modelBlocks);
    }
    if (modelImage != image.bytes || modelCoverage != coverage.bytes) __builtin_trap();
  }

  const brush::Rect r = brush::ClampToImage({x % 80, y % 80, x % 80 + sw, y % 80 + sh}, w, h);
  if (r.right > r.left && r.bottom > r.top) {
    Block patch(r.right - r.left, r.bottom - r.top, 24, in);
    history::ExchangeRect(image.view, patch.view, r);
  }
  history::ExchangeRect(image.view, sample.view, {x, y, x + sw, y + sh});
  return 0;
}
