// Texture files: any bytes either give no bitmap or a packed bitmap whose rows all lie inside it.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "controls/widgets/bmp_format.h"
#include "retouch/imaging/dib_view.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The same bytes taken as a packed bitmap in memory: accepted only with every row inside.
  bmp::PackedInfo info;
  if (bmp::CheckPackedDib(data, size, &info)) {
    const uint64_t rowBytes = (uint64_t{info.bitCount} * static_cast<uint64_t>(info.width) + 31) / 32 * 4;
    if (info.bitsOffset + rowBytes * static_cast<uint64_t>(info.height) > size) abort();
  }

  bmp::PackedLayout layout;
  if (!bmp::PlanPackedDib(data, size, &layout)) return 0;
  const uint64_t rows = uint64_t{layout.rowBytes} * static_cast<uint64_t>(layout.height);
  if (layout.width <= 0 || layout.height <= 0 || layout.imageBytes != rows ||
      layout.blockBytes != 40 + uint64_t{layout.tableBytes} + rows ||
      layout.blockBytes > bmp::kMaxPackedBytes) {
    abort();
  }
  // Exact-size buffer: ASan reports any write past it.
  std::vector<uint8_t> block(layout.blockBytes);
  bmp::WritePackedDib(data, layout, block.data());
  // What the reader builds is what the drawing code accepts.
  if (!bmp::CheckPackedDib(block.data(), block.size(), &info) ||
      info.bitsOffset + uint64_t{layout.imageBytes} != block.size()) {
    abort();
  }
  // Whole-byte plain rows are also what the suite's DIB view reads, at the same place.
  if (layout.compression == 0 && layout.bitCount >= 8) {
    dib::View view;
    if (!dib::ViewOfBlock(block.data(), block.size(), &view) || view.bits != block.data() + info.bitsOffset) abort();
  }
  return 0;
}
