// The demo host's BMP reader on arbitrary bytes: a clean refusal or a consistent 24-bit DIB.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "host/demo/demo_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  demo::PackedDib dib;
  std::string error;
  if (!demo::PackedDibFromBmp(data, size, &dib, &error)) return 0;
  int32_t width = 0, height = 0;
  std::memcpy(&width, dib.data() + 4, 4);
  std::memcpy(&height, dib.data() + 8, 4);
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  if (width <= 0 || height <= 0 || dib.size() != 40 + stride * static_cast<size_t>(height)) std::abort();
  return 0;
}
