#include "demo_image.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace demo {
namespace {

constexpr int64_t kMaxSide = 30000;
constexpr int64_t kMaxPixels = 100'000'000;

uint32_t U32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24); }
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
void Put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

int64_t Stride24(int64_t width) { return (width * 3 + 3) & ~int64_t{3}; }

PackedDib NewDib(int width, int height) {
  PackedDib dib(40 + static_cast<size_t>(Stride24(width) * height), 0);
  uint8_t* h = dib.data();
  Put32(h, 40);
  Put32(h + 4, static_cast<uint32_t>(width));
  Put32(h + 8, static_cast<uint32_t>(height));
  Put16(h + 12, 1);
  Put16(h + 14, 24);
  Put32(h + 20, static_cast<uint32_t>(Stride24(width) * height));
  Put32(h + 24, 2835);
  Put32(h + 28, 2835);
  return dib;
}

bool Fail(std::string* error, const char* text) {
  if (error) *error = text;
  return false;
}

}  // namespace

bool PackedDibFromBmp(const uint8_t* data, size_t size, PackedDib* out, std::string* error) {
  if (!data || size < 14 + 40) return Fail(error, "file too short for a BMP");
  if (data[0] != 'B' || data[1] != 'M') return Fail(error, "not a BMP file");
  const uint64_t offBits = U32(data + 10);
  const uint8_t* info = data + 14;
  const uint64_t infoSize = U32(info);
  if (infoSize < 40 || 14 + infoSize > size) return Fail(error, "unsupported BMP header");
  const int64_t width = static_cast<int32_t>(U32(info + 4));
  const int64_t rawHeight = static_cast<int32_t>(U32(info + 8));
  const int planes = U16(info + 12);
  const int bits = U16(info + 14);
  const uint32_t compression = U32(info + 16);
  const uint32_t colorsUsed = U32(info + 32);
  const bool topDown = rawHeight < 0;
  const int64_t height = topDown ? -rawHeight : rawHeight;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide || width * height > kMaxPixels)
    return Fail(error, "image size out of range");
  if (planes != 1) return Fail(error, "unsupported plane count");
  if (bits != 8 && bits != 24 && bits != 32) return Fail(error, "only 8, 24 and 32-bit BMP files are read");
  if (compression != 0 && !(compression == 3 && bits == 32)) return Fail(error, "compressed BMP files are not read");
  if (compression == 3) {
    // Bit fields: only the plain blue-green-red order (masks after a 40-byte header or inside a
    // larger one).
    if (14 + 40 + 12 > size) return Fail(error, "truncated bit fields");
    const uint8_t* m = info + 40;
    if (U32(m) != 0x00FF0000 || U32(m + 4) != 0x0000FF00 || U32(m + 8) != 0x000000FF)
      return Fail(error, "unsupported bit fields");
  }
  uint8_t palette[256][3] = {};
  if (bits == 8) {
    const uint64_t count = colorsUsed ? colorsUsed : 256;
    if (count > 256) return Fail(error, "palette too large");
    const uint64_t at = 14 + infoSize;
    if (at + count * 4 > size) return Fail(error, "truncated palette");
    for (uint64_t i = 0; i < count; ++i) std::memcpy(palette[i], data + at + i * 4, 3);
  }
  const int64_t srcStride = ((width * bits + 31) / 32) * 4;
  if (offBits > size || static_cast<uint64_t>(srcStride * height) > size - offBits)
    return Fail(error, "pixel data truncated");

  PackedDib dib = NewDib(static_cast<int>(width), static_cast<int>(height));
  const int64_t dstStride = Stride24(width);
  for (int64_t row = 0; row < height; ++row) {  // destination rows bottom-up
    const int64_t srcRow = topDown ? height - 1 - row : row;
    const uint8_t* src = data + offBits + srcRow * srcStride;
    uint8_t* dst = dib.data() + 40 + row * dstStride;
    for (int64_t x = 0; x < width; ++x) {
      if (bits == 24) std::memcpy(dst + x * 3, src + x * 3, 3);
      else if (bits == 32) std::memcpy(dst + x * 3, src + x * 4, 3);
      else std::memcpy(dst + x * 3, palette[src[x]], 3);
    }
  }
  *out = std::move(dib);
  return true;
}

std::vector<uint8_t> BmpFromPackedDib(const PackedDib& dib) {
  std::vector<uint8_t> file(14 + dib.size());
  file[0] = 'B';
  file[1] = 'M';
  Put32(file.data() + 2, static_cast<uint32_t>(file.size()));
  Put32(file.data() + 10, 14 + 40);
  std::memcpy(file.data() + 14, dib.data(), dib.size());
  return file;
}

PackedDib SampleRadiograph(int width, int height) {
  PackedDib dib = NewDib(width, height);
  const int64_t stride = Stride24(width);
  const double w = width, h = height;
  uint32_t seed = 12345;
  auto noise = [&] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<double>(seed >> 8) / 16777216.0 - 0.5;
  };
  // Arches: parabolas opening upward (lower jaw) and downward (upper jaw) around the centre.
  const double cx = w / 2;
  const double occlusal = h * 0.46;  // where the teeth meet
  const int teethPerArch = 14;
  for (int y = 0; y < height; ++y) {
    uint8_t* row = dib.data() + 40 + static_cast<int64_t>(height - 1 - y) * stride;
    for (int x = 0; x < width; ++x) {
      const double u = (x - cx) / (w / 2);  // -1 .. 1 across
      const double curve = 0.12 * h * u * u;  // the smile of a panoramic film
      const double dy = y - (occlusal - curve);
      double v = 0.08 + 0.10 * std::exp(-std::pow(dy / (h * 0.35), 2));  // soft tissue
      // Mandible and maxilla: broad bright bands behind the teeth.
      v += 0.22 * std::exp(-std::pow((dy - h * 0.28) / (h * 0.10), 2)) * (1 - 0.5 * u * u);
      v += 0.16 * std::exp(-std::pow((dy + h * 0.27) / (h * 0.10), 2)) * (1 - 0.5 * u * u);
      // Teeth: a rounded crown near the occlusal line, a tapering root away from it, soft edges.
      const double slot = (u + 0.86) / 1.72 * teethPerArch;
      const double a = std::abs(dy);
      if (slot > 0 && slot < teethPerArch && a > h * 0.006) {
        const int index = static_cast<int>(slot);
        const double side = std::abs(slot - index - 0.5);  // 0 at the tooth's axis, 0.5 between teeth
        const double molar = std::abs(index - teethPerArch / 2.0 + 0.5) / (teethPerArch / 2.0);
        const double crownHalf = 0.38 + 0.07 * molar;
        const double crownLen = h * (0.10 + 0.015 * molar);
        const double rootLen = h * (0.17 + 0.04 * (1 - molar)) * (dy > 0 ? 1.0 : 0.9);
        double halfWidth = 0, level = 0;
        if (a < crownLen) {
          const double t = (a - crownLen * 0.5) / (crownLen * 0.62);  // rounded at both ends
          halfWidth = crownHalf * std::sqrt(std::max(0.0, 1 - t * t * t * t));
          level = 0.78 - 0.10 * (side / crownHalf) * (side / crownHalf);  // enamel
        } else if (a < crownLen + rootLen) {
          const double t = (a - crownLen) / rootLen;
          halfWidth = crownHalf * 0.8 * (1 - t * t * 0.85);
          level = 0.55 - 0.08 * t;
          if (side < halfWidth * 0.16) level -= 0.14;  // root canal
        }
        const double edge = std::clamp((halfWidth - side) / 0.05, 0.0, 1.0);
        v = v * (1 - edge) + std::max(v, level) * edge;
        if ((index == 3 || index == 10) && dy > 0 && a < crownLen * 0.55 && side < crownHalf * 0.45)
          v = 0.96;  // fillings
      }
      v *= 1 - 0.35 * u * u;  // fall-off toward the film's ends
      v += 0.025 * noise();
      const uint8_t g = static_cast<uint8_t>(std::clamp(v, 0.0, 1.0) * 255);
      row[x * 3] = g;
      row[x * 3 + 1] = g;
      row[x * 3 + 2] = g;
    }
  }
  return dib;
}

}  // namespace demo
