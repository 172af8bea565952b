// Pictures for the demo host, as packed 24-bit device-independent bitmaps (40-byte header, rows
// bottom-up padded to 4 bytes): reading and writing BMP files, and a synthetic radiograph.
// Portable: no windows.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace demo {

using PackedDib = std::vector<uint8_t>;

// Reads a BMP file's bytes (24 or 32 bits, or 8 bits with a palette; uncompressed) into a 24-bit
// packed DIB. Returns false and sets `error` for anything else or anything inconsistent.
bool PackedDibFromBmp(const uint8_t* data, size_t size, PackedDib* out, std::string* error);

// The bytes of a BMP file holding a 24-bit packed DIB (file header prepended).
std::vector<uint8_t> BmpFromPackedDib(const PackedDib& dib);

// A panoramic dental radiograph made up in code: jaw, two arches of teeth with roots, a few
// fillings, soft tissue and film grain.
PackedDib SampleRadiograph(int width, int height);

}  // namespace demo
