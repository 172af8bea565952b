// Selection files, patch and mask: any bytes give no selection or one that lies inside the file,
// fills buffers of exactly its size, is written and read back to the same pixels, and is either
// refused or placed as a floating selection of its own size inside the picture.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "retouch/imaging/selection.h"
#include "retouch/imaging/selection_file.h"

namespace {

struct Picture {
  Picture(int32_t w, int32_t h) : data(static_cast<size_t>(dib::Stride(w, 24)) * static_cast<size_t>(h)) {
    view = {data.data(), w, h, 24, static_cast<int32_t>(dib::Stride(w, 24))};
  }
  std::vector<uint8_t> data;
  dib::View view;
};

bool Append(void* context, const uint8_t* data, size_t size) {
  auto* out = static_cast<std::vector<uint8_t>*>(context);
  out->insert(out->end(), data, data + size);
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const selfile::MemoryBytes bytes{data, size};
  const selfile::Source source = selfile::SourceOf(&bytes);
  selfile::Layout layout;
  if (!selfile::ReadLayout(source, &layout)) return 0;
  const uint64_t w = static_cast<uint64_t>(layout.width), h = static_cast<uint64_t>(layout.height);
  if (w < 1 || h < 1 || w > 65535 || h > 65535 || layout.imageAt + 3 * w * h > size ||
      layout.maskAt + (w + 7) / 8 * h > size || (layout.thumbnailAt && layout.thumbnailAt + 3600 > size)) {
    abort();
  }
  Picture image(layout.width, layout.height), mask(layout.width, layout.height);
  if (!selfile::ReadImageAndMask(source, layout, image.view, mask.view)) return 0;
  // What was read is a selection the writer takes, and it reads back the same.
  std::vector<uint8_t> file;
  if (!selfile::WriteSelection(image.view, mask.view, layout.xPelsPerMeter, layout.yPelsPerMeter, {Append, &file})) {
    abort();
  }
  const selfile::MemoryBytes again{file.data(), file.size()};
  selfile::Layout second;
  Picture image2(layout.width, layout.height), mask2(layout.width, layout.height);
  if (!selfile::ReadLayout(selfile::SourceOf(&again), &second) || second.width != layout.width ||
      second.height != layout.height || second.thumbnailAt == 0 ||
      !selfile::ReadImageAndMask(selfile::SourceOf(&again), second, image2.view, mask2.view) ||
      image2.data != image.data || mask2.data != mask.data) {
    abort();
  }
  // Placed on a picture of 80 x 60 at a point the file's first bytes choose.
  constexpr int32_t kW = 80, kH = 60;
  sel::Image picture, shape;
  if (layout.width > sel::Image::kMaxSide || layout.height > sel::Image::kMaxSide ||
      !picture.Create(layout.width, layout.height, -1) || !shape.Create(layout.width, layout.height, -1) ||
      !selfile::ReadImageAndMask(source, layout, picture.view(), shape.view())) {
    return 0;
  }
  sel::Selection s;
  if (!sel::PlaceLoadedSelection(s, picture, shape, data[2] - 40, data[3] - 40, kW, kH, {4, 4, 8, 8})) return 0;
  const sel::Rect& r = s.selectionRect;
  if (r.Width() != layout.width || r.Height() != layout.height || r.left < 1 || r.top < 1 || r.right > kW ||
      r.bottom > kH || s.outline.empty() || !s.floatActive) {
    abort();
  }
  return 0;
}
