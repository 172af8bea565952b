// Tone table and hue-lightness-saturation conversions shared by the whole-image adjustment and
// the floating selection's adjustment buttons, and the per-pixel kernel both apply. Integer
// arithmetic with truncation throughout, so that every build gives the same bytes. Portable: no
// windows.h.
//
// Colour model: hue, lightness and saturation on 0 .. 252 (252 is a full turn of hue, 42 a sixth);
// a grey has saturation 0 and hue 168. RGB components are 0 .. 255.
//
// Interface kept stable for both users:
//   BuildToneTable, RgbToHls, HlsToRgb      the conversions, exactly as the editor has them
//   MakeAdjustment(scale, ...)              one adjustment: kImageScale (256) for the whole image,
//                                           kSelectionScale (255) for the floating selection
//   AdjustPixel / AdjustPixels              apply it to blue-green-red pixels
// The selection's whitening passes are not part of this kernel: they follow it.
//
// The floating selection's values map as
//   MakeAdjustment(kSelectionScale, toneSlope, toneOffset, saturationValue, hueShift)
// and the image dialog's bars 101 .. 104 as MakeAdjustment(kImageScale, a, b, c, d). Build the
// adjustment once per application (it carries its tables, about 2 KiB) and call AdjustPixel for
// each pixel inside the mask, or AdjustPixels for runs.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tone {

constexpr int32_t kHlsMax = 252;
constexpr int32_t kRgbMax = 255;
constexpr int32_t kGreyHue = 168;

// The two users map their contrast, brightness and saturation values with different scales.
constexpr int32_t kImageScale = 256;      // the adjustment dialog
constexpr int32_t kSelectionScale = 255;  // the floating selection; neutral values give T[i] = i

// table[i] = i * (p + 64) / 191 + q - p, clamped to 0 .. 255.
void BuildToneTable(uint8_t table[256], int32_t p, int32_t q);

// r, g, b in 0 .. 255 (other values are clamped first); h, l, s come out in 0 .. 252.
void RgbToHls(int32_t r, int32_t g, int32_t b, int32_t* h, int32_t* l, int32_t* s);

// h, l, s in 0 .. 252 (l and s are clamped, h is brought into a turn first); r, g, b come out in
// 0 .. 255.
void HlsToRgb(int32_t h, int32_t l, int32_t s, int32_t* r, int32_t* g, int32_t* b);

// One adjustment, ready to apply. Build it with MakeAdjustment; the tables after `colour` are
// derived from the fields before it.
struct Adjustment {
  uint8_t table[256] = {};         // tone table, applied to each channel first
  int32_t saturationFactor = 128;  // s becomes min(252, (saturationFactor * s) >> 7)
  int32_t hueShift = 0;            // added to h, wrapped once into 0 .. 252
  bool colour = false;             // false: the tone table alone (saturation 50 and hue 0)
  uint8_t saturation[kHlsMax + 1] = {};  // s -> adjusted s
  uint32_t hueWeights[kHlsMax + 1] = {};  // h -> the hue ramp weights of red, green, blue (bytes
                                          // 0, 1, 2) at the shifted hue
  uint8_t grey[256] = {};          // result channel of the grey pixel (v, v, v)
};

// contrast and brightness -100 .. 100 (0 neutral; lower is stronger, lower is brighter),
// saturation 0 .. 100 (50 keeps it, 0 doubles it, 100 gives grey), hue -127 .. 127 (0 keeps it);
// values outside are clamped to these ranges. scale is kImageScale or kSelectionScale (anything
// else is taken as kImageScale):
//   p = (100 - contrast) * scale / 200, q = (100 - brightness) * scale / 200,
//   saturationFactor = (100 - saturation) * scale / 100.
Adjustment MakeAdjustment(int32_t scale, int32_t contrast, int32_t brightness, int32_t saturation, int32_t hue);

// Adjusts one pixel: source and destination point at blue, green, red (they may be the same).
void AdjustPixel(const Adjustment& adjustment, const uint8_t* source, uint8_t* destination);

// Adjusts `count` consecutive pixels (3 bytes each). destination may equal source; otherwise the
// two must not overlap.
void AdjustPixels(const Adjustment& adjustment, const uint8_t* source, uint8_t* destination, size_t count);

}  // namespace tone
