#include "retouch/imaging/dib_view.h"

#include "winkit/packed_dib_layout.h"

namespace dib {

uint32_t ColorCount(const Header& h) {
  if (h.clrUsed != 0) return h.clrUsed;
  switch (h.bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
  }
}

bool ViewOfBlock(void* block, size_t size, View* out) {
  if (out == nullptr) return false;
  *out = View{};
  // Bottom-up BI_RGB rows of whole bytes only: what the editor creates and draws.
  winkit::PackedDibLayout layout;
  if (!winkit::DescribePackedDib(static_cast<const uint8_t*>(block), size, winkit::kPackedTableWhenRoom, &layout))
    return false;
  out->bits = static_cast<uint8_t*>(block) + layout.bitsOffset;
  out->width = layout.width;
  out->height = layout.height;
  out->bitsPerPixel = layout.bitCount;
  out->stride = layout.rowBytes;
  return true;
}

}  // namespace dib
