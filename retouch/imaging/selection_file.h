// Selection files: a 24-bit patch, its 1-bit shape mask and a 40 x 30 thumbnail as one TIFF file
// of three uncompressed single-strip images at fixed places. Portable: no windows.h; the writer
// streams to a sink and the readers pull from a source, so the file layer stays a few calls.
//
// The readers trust nothing in a file: the tags they use must be present and plausible, every
// size and offset is computed in 64 bits and checked against the source's length before anything
// is read, and the second and third directories must sit where this layout puts them. A file of
// another layout (other TIFF writers' output included) is refused, never half-read.
//
// Not here: compression, palettes, several strips, any depth but 8 bits per sample.
#pragma once

#include <cstddef>
#include <cstdint>

#include "retouch/imaging/dib_view.h"

namespace selfile {

constexpr int32_t kThumbWidth = 40;
constexpr int32_t kThumbHeight = 30;
constexpr uint32_t kThumbBytes = kThumbWidth * kThumbHeight * 3;
constexpr uint8_t kThumbGrey = 192;
constexpr int32_t kMaxSide = 65535;  // widths and heights are SHORT values

// dpi written for a header's pixels per metre: rounded to nearest (so that 3779 gives 96 and
// reads back as 3779); 0 for no or a negative resolution.
uint32_t DpiOfPelsPerMeter(int32_t pelsPerMeter);
// Pixels per metre of a stored resolution: unit 2 (inch) or 3 (centimetre); 0 for another unit,
// a zero numerator or denominator, or a value beyond a header's range.
int32_t PelsPerMeterOf(uint32_t numerator, uint32_t denominator, uint32_t unit);

// The thumbnail of a patch: 30 rows of 40 pixels from the top, red, green, blue; grey where the
// fitted patch leaves bands and where the mask marks a pixel outside the selection.
bool MakeThumbnail(const dib::View& image, const dib::View& mask, uint8_t out[kThumbBytes]);

// Bytes of the file the writer makes for a patch of width x height; 0 when no such file can be
// written (a side outside 1..65535, or offsets beyond 32 bits).
uint64_t FileSize(int32_t width, int32_t height);

// Receives the file in order; false stops the writer.
struct Sink {
  bool (*write)(void* context, const uint8_t* data, size_t size);
  void* context;
};

// Writes the whole file: `image` and `mask` are 24-bit views of the same size (mask red byte 0 =
// inside). False, with nothing more written, on bad views or the first failed write.
bool WriteSelection(const dib::View& image, const dib::View& mask, int32_t xPelsPerMeter, int32_t yPelsPerMeter,
                    const Sink& sink);

// Hands out `size` bytes at `offset`; the readers only ask for ranges inside `length`, but the
// source must still fail a read it cannot complete (a file that shrank).
struct Source {
  uint64_t length;
  bool (*read)(void* context, uint64_t offset, uint8_t* out, size_t size);
  void* context;
};

// A source over bytes in memory; `bytes` must outlive the source.
struct MemoryBytes {
  const uint8_t* data;
  size_t size;
};
Source SourceOf(const MemoryBytes* bytes);

// What the first directory says, checked against the fixed layout.
struct Layout {
  int32_t width = 0;
  int32_t height = 0;
  int32_t xPelsPerMeter = 0;
  int32_t yPelsPerMeter = 0;
  uint64_t imageAt = 0;
  uint64_t maskAt = 0;
  uint64_t thumbnailAt = 0;  // 0 when the file has no thumbnail where the layout puts it
};

// Reads and checks the first directory and the place of the mask. False: not a selection file.
bool ReadLayout(const Source& source, Layout* out);

// Fills 24-bit views of the layout's size: the patch, and the mask white (outside) and black
// (inside). False on a failed read; the views may then hold part of the file.
bool ReadImageAndMask(const Source& source, const Layout& layout, const dib::View& image, const dib::View& mask);

// Fills a 24-bit 40 x 30 view with the thumbnail. False without one or on a failed read.
bool ReadThumbnail(const Source& source, const Layout& layout, const dib::View& thumbnail);

}  // namespace selfile
