// Texture files: any bytes either give no bitmap or a packed bitmap whose rows all lie inside it.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "controls/widgets/bmp_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
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
  return 0;
}
