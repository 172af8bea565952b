// Packed bitmap blocks from outside (the host's image): the view must reject whatever does not
// fit, and every pixel operation must stay inside the views it accepts.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "retouch/imaging/dib_ops.h"

namespace {

std::vector<uint8_t> Blank(int32_t w, int32_t h) {
  std::vector<uint8_t> block(dib::kHeaderSize + static_cast<size_t>(dib::Stride(w, 24)) * static_cast<size_t>(h));
  dib::Header hd = {};
  hd.size = dib::kHeaderSize;
  hd.width = w;
  hd.height = h;
  hd.planes = 1;
  hd.bitCount = 24;
  std::memcpy(block.data(), &hd, sizeof hd);
  return block;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The last 8 bytes, when present, steer the operations; the rest is the block.
  int8_t steer[8] = {};
  if (size >= 48) {
    std::memcpy(steer, data + size - 8, 8);
    size -= 8;
  }
  std::vector<uint8_t> block(data, data + size);
  dib::View v;
  if (!dib::ViewOfBlock(block.data(), block.size(), &v)) return 0;

  uint32_t c = 0;
  dib::GetPixel(v, 0, 0, &c);
  dib::GetPixel(v, v.width - 1, v.height - 1, &c);
  dib::GetPixel(v, steer[0], steer[1], &c);
  dib::FlipVertical(v);
  dib::Mirror(v);

  const dib::Rect r = {steer[2], steer[3], steer[2] + int64_t{steer[4]}, steer[3] + int64_t{steer[5]}};
  int32_t w = 0, h = 0;
  if (dib::CropSize(v, r, &w, &h)) {
    std::vector<uint8_t> cropBlock = Blank(w, h);
    dib::View crop;
    if (dib::ViewOfBlock(cropBlock.data(), cropBlock.size(), &crop) && dib::CropInto(v, r, crop)) {
      dib::Paste(v, crop, steer[6], steer[7]);
      dib::PasteMasked(v, crop, crop, steer[7], steer[6]);
      dib::StampBitmap(v, crop, steer[6], 0x00FFFFFF, steer[7]);
    }
  }
  dib::FillOutsideMask(v, v, 0);
  const int32_t dw = 1 + (steer[4] & 0x3F), dh = 1 + (steer[5] & 0x3F);
  std::vector<uint8_t> smallBlock = Blank(dw, dh);
  dib::View small;
  if (dib::ViewOfBlock(smallBlock.data(), smallBlock.size(), &small)) {
    dib::Resample(v, small);
    dib::Paste(v, small, steer[0], steer[1]);
  }
  return 0;
}
