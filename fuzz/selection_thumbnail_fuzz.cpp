// Selection files, thumbnail only (the library list reads every file in its folder this way):
// any bytes give no thumbnail or 40 x 30 pixels read from inside the file.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "retouch/imaging/selection_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const selfile::MemoryBytes bytes{data, size};
  const selfile::Source source = selfile::SourceOf(&bytes);
  selfile::Layout layout;
  if (!selfile::ReadLayout(source, &layout)) return 0;
  // Exactly the thumbnail's rows: ASan reports any write past them.
  std::vector<uint8_t> rows(static_cast<size_t>(dib::Stride(40, 24)) * 30);
  const dib::View thumbnail{rows.data(), 40, 30, 24, static_cast<int32_t>(dib::Stride(40, 24))};
  if (!selfile::ReadThumbnail(source, layout, thumbnail)) return 0;
  if (layout.thumbnailAt < layout.maskAt || layout.thumbnailAt + 3600 > size) abort();
  return 0;
}
