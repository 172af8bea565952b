#include "retouch/imaging/selection_file.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#endif

namespace selfile {

namespace {

// Fixed places of the layout, relative to the start of each part.
constexpr uint32_t kEntryCount = 13;
constexpr uint32_t kDirectoryBytes = 2 + kEntryCount * 12 + 4;  // 162
constexpr uint32_t kImageAt = 192;                               // behind directory 1 and its values
constexpr uint32_t kMaskGap = kDirectoryBytes + 16;              // directory 2 and two resolutions
constexpr uint32_t kThumbGap = kDirectoryBytes + 6 + 16;         // directory 3, bits and resolutions
// Other readers take RowsPerStrip at its word: below the image height they expect several strips.
constexpr uint16_t kThumbRowsPerStrip = kThumbHeight;

enum : uint16_t { kShort = 3, kLong = 4, kRational = 5 };

// Bytes of one mask row.
uint64_t MaskRow(int64_t width) { return (static_cast<uint64_t>(width) + 7) / 8; }

bool Is24Of(const dib::View& v, int32_t w, int32_t h) {
  return v.valid() && v.bitsPerPixel == 24 && v.width == w && v.height == h;
}

// ---- writing ------------------------------------------------------------------------------

// Little-endian bytes gathered for the sink in large pieces.
class Writer {
 public:
  explicit Writer(const Sink& sink) : sink_(sink), buffer_(kChunk) {}
  bool ok() const { return ok_; }
  void U16(uint32_t v) {
    if (uint8_t* p = Take(2)) {
      p[0] = static_cast<uint8_t>(v);
      p[1] = static_cast<uint8_t>(v >> 8);
    }
  }
  void U32(uint32_t v) {
    U16(v & 0xFFFF);
    U16(v >> 16);
  }
  void Entry(uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
    U16(tag);
    U16(type);
    U32(count);
    if (type == kShort && count == 1) {
      U16(value);
      U16(0);
    } else {
      U32(value);
    }
  }
  // Room for `n` bytes at the end of the buffer (flushed first when needed); null after a
  // failed write.
  uint8_t* Take(size_t n) {
    if (used_ + n > buffer_.size()) {
      if (!Flush()) return nullptr;
      if (n > buffer_.size()) buffer_.resize(n);
    }
    uint8_t* p = buffer_.data() + used_;
    used_ += n;
    return p;
  }
  bool Flush() {
    if (ok_ && used_ != 0) ok_ = sink_.write(sink_.context, buffer_.data(), used_);
    used_ = 0;
    return ok_;
  }

 private:
  static constexpr size_t kChunk = size_t{1} << 18;
  Sink sink_;
  std::vector<uint8_t> buffer_;
  size_t used_ = 0;
  bool ok_ = true;
};

struct DirectoryValues {
  uint32_t subfileType, width, height;
  uint32_t bitsCount, bitsValue;  // count 3 at an offset, or count 1 with the value
  uint32_t photometric, stripAt, samples, rowsPerStrip, stripBytes, resolutionAt, next;
};

void WriteDirectory(Writer& w, const DirectoryValues& d) {
  w.U16(kEntryCount);
  w.Entry(254, kLong, 1, d.subfileType);
  w.Entry(256, kShort, 1, d.width);
  w.Entry(257, kShort, 1, d.height);
  w.Entry(258, kShort, d.bitsCount, d.bitsValue);
  w.Entry(259, kShort, 1, 1);
  w.Entry(262, kShort, 1, d.photometric);
  w.Entry(273, kLong, 1, d.stripAt);
  w.Entry(277, kShort, 1, d.samples);
  w.Entry(278, kShort, 1, d.rowsPerStrip);
  w.Entry(279, kLong, 1, d.stripBytes);
  w.Entry(282, kRational, 1, d.resolutionAt);
  w.Entry(283, kRational, 1, d.resolutionAt + 8);
  w.Entry(296, kShort, 1, 2);
  w.U32(d.next);
}

void WriteResolution(Writer& w, uint32_t xDpi, uint32_t yDpi) {
  w.U32(xDpi);
  w.U32(1);
  w.U32(yDpi);
  w.U32(1);
}

void WriteBits888(Writer& w) {
  w.U16(8);
  w.U16(8);
  w.U16(8);
}

// Red, green, blue from blue, green, red (and back): byte p of a row takes byte p + 2, p or
// p - 2 as p is the first, second or third byte of its pixel. Where the machine stores words
// little-endian, eight pixels are three 64-bit words turned with shifts and masks (the bytes that
// cross a word come from its neighbour).
void SwapWords(const uint8_t* from, uint8_t* to, size_t n) {
  size_t i = 0;
  if constexpr (std::endian::native == std::endian::little) {
    for (; i + 24 <= n; i += 24) {
      uint64_t w[3];
      std::memcpy(w, from + i, 24);
      const uint64_t a = w[0], b = w[1], c = w[2];
      w[0] = (a & 0xFF0000FF0000FF00u) | (a >> 16 & 0x00000000FF0000FFu) | (a << 16 & 0x0000FF0000FF0000u) |
             (b << 48 & 0x00FF000000000000u);
      w[1] = (b & 0x0000FF0000FF0000u) | (b >> 16 & 0x000000FF0000FF00u) | (b << 16 & 0x00FF0000FF000000u) |
             (a >> 48 & 0xFFu) | (c << 48 & 0xFF00000000000000u);
      w[2] = (c & 0x00FF0000FF0000FFu) | (c >> 16 & 0x0000FF0000FF0000u) | (c << 16 & 0xFF0000FF00000000u) |
             (b >> 48 & 0xFF00u);
      std::memcpy(to + i, w, 24);
    }
  }
  for (; i < n; i += 3) {
    const uint8_t r = from[i];
    to[i + 1] = from[i + 1];
    to[i] = from[i + 2];
    to[i + 2] = r;
  }
}

#if defined(__x86_64__) || defined(__i386__)
// With a byte shuffle instruction: five pixels a 16-byte step, the 16th byte (the next pixel's
// first) stored as it is and overwritten by the next step or the tail.
__attribute__((target("ssse3"))) void SwapShuffled(const uint8_t* from, uint8_t* to, size_t n) {
  const __m128i order = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
  size_t i = 0;
  for (; i + 16 <= n; i += 15) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), _mm_shuffle_epi8(v, order));
  }
  SwapWords(from + i, to + i, n - i);
}

void SwapToRgb(const uint8_t* from, uint8_t* to, int32_t pixels) {
  static const bool shuffles = __builtin_cpu_supports("ssse3");
  const size_t n = static_cast<size_t>(pixels) * 3;
  if (shuffles) {
    SwapShuffled(from, to, n);
  } else {
    SwapWords(from, to, n);
  }
}
#else
void SwapToRgb(const uint8_t* from, uint8_t* to, int32_t pixels) { SwapWords(from, to, static_cast<size_t>(pixels) * 3); }
#endif

// One mask row packed: bit 1 (most significant first) where the red byte is not 0.
void PackMaskRow(const uint8_t* __restrict mask, uint8_t* __restrict row, int32_t width) {
  const int32_t whole = width / 8;
  for (int32_t b = 0; b < whole; ++b, mask += 24) {
    // Masks are long runs of black and white: eight pixels of one kind are one test.
    uint64_t w[3];
    std::memcpy(w, mask, 24);
    if ((w[0] | w[1] | w[2]) == 0) {
      row[b] = 0;
      continue;
    }
    if ((w[0] & w[1] & w[2]) == ~uint64_t{0}) {
      row[b] = 0xFF;
      continue;
    }
    uint32_t v = 0;
    for (int k = 0; k < 8; ++k) v = v << 1 | (mask[3 * k + 2] != 0);
    row[b] = static_cast<uint8_t>(v);
  }
  if (width % 8) {
    uint32_t v = 0;
    for (int k = 0; k < 8; ++k) v = v << 1 | (k < width % 8 && mask[3 * k + 2] != 0);
    row[whole] = static_cast<uint8_t>(v);
  }
}

}  // namespace

uint32_t DpiOfPelsPerMeter(int32_t pelsPerMeter) {
  if (pelsPerMeter <= 0) return 0;
  return static_cast<uint32_t>((int64_t{pelsPerMeter} * 254 + 5000) / 10000);
}

int32_t PelsPerMeterOf(uint32_t numerator, uint32_t denominator, uint32_t unit) {
  if (numerator == 0 || denominator == 0) return 0;
  const int64_t perUnit = numerator / denominator;
  int64_t v = 0;
  if (unit == 2) {
    v = (perUnit * 10000 - 127) / 254;
  } else if (unit == 3) {
    v = perUnit * 100;
  }
  return v > 0 && v <= std::numeric_limits<int32_t>::max() ? static_cast<int32_t>(v) : 0;
}

bool MakeThumbnail(const dib::View& image, const dib::View& mask, uint8_t out[kThumbBytes]) {
  if (!Is24Of(image, image.width, image.height) || !Is24Of(mask, image.width, image.height)) return false;
  std::memset(out, kThumbGrey, kThumbBytes);
  const uint64_t w = static_cast<uint64_t>(image.width);
  const uint64_t h = static_cast<uint64_t>(image.height);
  uint64_t fw = kThumbWidth;
  uint64_t fh = h * kThumbWidth / w;
  if (fh > kThumbHeight) {
    fh = kThumbHeight;
    fw = w * kThumbHeight / h;
  }
  const uint64_t xm = (kThumbWidth - fw) >> 1;
  const uint64_t ym = (kThumbHeight - fh) >> 1;
  // A band of no rows or columns (a very flat or tall patch) leaves the thumbnail grey.
  if (2 * xm >= kThumbWidth || 2 * ym >= kThumbHeight) return true;
  const uint64_t colSpan = kThumbWidth - 2 * xm - 1;
  const uint64_t rowSpan = kThumbHeight - 2 * ym - 1;
  for (uint64_t i = ym; i + ym < kThumbHeight; ++i) {
    const uint64_t sy = rowSpan ? (i - ym) * (h - 1) / rowSpan : 0;
    const uint8_t* imageRow = image.Row(static_cast<int32_t>(sy));
    const uint8_t* maskRow = mask.Row(static_cast<int32_t>(sy));
    uint8_t* to = out + i * kThumbWidth * 3;
    for (uint64_t j = xm; j + xm < kThumbWidth; ++j) {
      const uint64_t sx = colSpan ? (j - xm) * (w - 1) / colSpan : 0;
      if (maskRow[sx * 3 + 2] != 0) continue;
      SwapToRgb(imageRow + sx * 3, to + j * 3, 1);
    }
  }
  return true;
}

uint64_t FileSize(int32_t width, int32_t height) {
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return 0;
  const uint64_t s1 = uint64_t{3} * static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
  const uint64_t s2 = MaskRow(width) * static_cast<uint64_t>(height);
  const uint64_t size = kImageAt + s1 + kMaskGap + s2 + kThumbGap + kThumbBytes;
  return size <= std::numeric_limits<uint32_t>::max() ? size : 0;
}

bool WriteSelection(const dib::View& image, const dib::View& mask, int32_t xPelsPerMeter, int32_t yPelsPerMeter,
                    const Sink& sink) {
  const int32_t width = image.width;
  const int32_t height = image.height;
  if (!sink.write || !Is24Of(image, width, height) || !Is24Of(mask, width, height) || FileSize(width, height) == 0) {
    return false;
  }
  uint8_t thumbnail[kThumbBytes];
  if (!MakeThumbnail(image, mask, thumbnail)) return false;
  // FileSize bounds every offset to 32 bits.
  const uint32_t w = static_cast<uint32_t>(width);
  const uint32_t h = static_cast<uint32_t>(height);
  const uint32_t s1 = 3 * w * h;
  const uint32_t rowBytes = static_cast<uint32_t>(MaskRow(w));
  const uint32_t s2 = rowBytes * h;
  const uint32_t p2 = kImageAt + s1;
  const uint32_t p3 = p2 + kMaskGap + s2;
  const uint32_t xDpi = DpiOfPelsPerMeter(xPelsPerMeter);
  const uint32_t yDpi = DpiOfPelsPerMeter(yPelsPerMeter);

  Writer out(sink);
  out.U16(0x4949);
  out.U16(42);
  out.U32(8);
  WriteDirectory(out, {0, w, h, 3, 170, 2, kImageAt, 3, h, s1, 176, p2});
  WriteBits888(out);
  WriteResolution(out, xDpi, yDpi);
  for (int32_t y = 0; y < height && out.ok(); ++y) {
    if (uint8_t* row = out.Take(size_t{3} * w)) SwapToRgb(image.Row(y), row, width);
  }

  WriteDirectory(out, {4, w, h, 1, 1, 4, p2 + kMaskGap, 1, h, s2, p2 + kDirectoryBytes, p3});
  WriteResolution(out, xDpi, yDpi);
  for (int32_t y = 0; y < height && out.ok(); ++y) {
    if (uint8_t* row = out.Take(rowBytes)) PackMaskRow(mask.Row(y), row, width);
  }

  WriteDirectory(out, {1, kThumbWidth, kThumbHeight, 3, p3 + kDirectoryBytes, 2, p3 + kThumbGap, 3,
                       kThumbRowsPerStrip, kThumbBytes, p3 + kDirectoryBytes + 6, 0});
  WriteBits888(out);
  WriteResolution(out, xDpi, yDpi);
  if (uint8_t* t = out.Take(kThumbBytes)) std::memcpy(t, thumbnail, kThumbBytes);
  return out.Flush();
}

// ---- reading ------------------------------------------------------------------------------

namespace {

bool ReadMemory(void* context, uint64_t offset, uint8_t* out, size_t size) {
  const MemoryBytes* b = static_cast<const MemoryBytes*>(context);
  if (offset > b->size || size > b->size - offset) return false;
  if (size) std::memcpy(out, b->data + offset, size);
  return true;
}

// Reads checked against the length, with the file's byte order.
class Reader {
 public:
  explicit Reader(const Source& s) : s_(s) {}
  bool Bytes(uint64_t offset, uint8_t* out, uint64_t size) const {
    if (!s_.read || offset > s_.length || size > s_.length - offset) return false;
    return s_.read(s_.context, offset, out, static_cast<size_t>(size));
  }
  void SetBigEndian(bool big) { big_ = big; }
  uint32_t U16(const uint8_t* p) const { return big_ ? (p[0] << 8 | p[1]) : (p[1] << 8 | p[0]); }
  uint32_t U32(const uint8_t* p) const {
    return big_ ? (U16(p) << 16 | U16(p + 2)) : (U16(p + 2) << 16 | U16(p));
  }
  bool ReadU16(uint64_t offset, uint32_t* v) const {
    uint8_t b[2];
    if (!Bytes(offset, b, 2)) return false;
    *v = U16(b);
    return true;
  }
  bool ReadU32(uint64_t offset, uint32_t* v) const {
    uint8_t b[4];
    if (!Bytes(offset, b, 4)) return false;
    *v = U32(b);
    return true;
  }
  uint64_t length() const { return s_.length; }

 private:
  Source s_;
  bool big_ = false;
};

// One directory entry with up to 80 bytes of its value.
struct Entry {
  uint32_t tag = 0, type = 0, count = 0;
  uint8_t value[80] = {};
  uint32_t valueBytes = 0;
};

uint32_t ElementSize(uint32_t type) {
  switch (type) {
    case 1:  // BYTE
    case 2:  // ASCII
      return 1;
    case kShort: return 2;
    case kLong: return 4;
    case kRational: return 8;
    default: return 0;
  }
}

// Element i as an unsigned integer (BYTE, SHORT or LONG).
bool Element(const Reader& r, const Entry& e, uint32_t i, uint32_t* v) {
  const uint32_t size = ElementSize(e.type);
  if (e.type == 2 || e.type == kRational || uint64_t{i + 1} * size > e.valueBytes) return false;
  const uint8_t* p = e.value + i * size;
  *v = size == 1 ? p[0] : size == 2 ? r.U16(p) : r.U32(p);
  return true;
}

// A single SHORT or LONG.
bool Scalar(const Reader& r, const Entry& e, uint32_t* v) {
  return e.count == 1 && (e.type == kShort || e.type == kLong) && Element(r, e, 0, v);
}

struct Tags {
  bool width = false, height = false, bits = false, strip = false, stripBytes = false, samples = false;
  uint32_t w = 0, h = 0, stripAt = 0, byteCount = 0, unit = 2;
  uint32_t xNum = 0, xDen = 0, yNum = 0, yDen = 0;
};

// The requirement a tag must meet, and what it gives. Other tags are ignored.
bool TakeTag(const Reader& r, const Entry& e, Tags* t) {
  uint32_t v = 0;
  switch (e.tag) {
    case 254:
      return e.type == kLong && Scalar(r, e, &v) && v == 0;
    case 256:
      t->width = Scalar(r, e, &t->w);
      return t->width;
    case 257:
      t->height = Scalar(r, e, &t->h);
      return t->height;
    case 258:
      if (e.type != kShort || e.count != 3) return false;
      for (uint32_t i = 0; i < 3; ++i) {
        if (!Element(r, e, i, &v) || v != 8) return false;
      }
      t->bits = true;
      return true;
    case 259:
      return Scalar(r, e, &v) && v == 1;
    case 262:
      return Scalar(r, e, &v) && v == 2;
    case 273:
      t->strip = Scalar(r, e, &t->stripAt);
      return t->strip;
    case 277:
      t->samples = Scalar(r, e, &v) && v == 3;
      return t->samples;
    case 279:
      t->stripBytes = Scalar(r, e, &t->byteCount);
      return t->stripBytes;
    case 282:
    case 283: {
      if (e.type != kRational || e.count != 1 || e.valueBytes < 8) return false;
      const uint32_t num = r.U32(e.value), den = r.U32(e.value + 4);
      (e.tag == 282 ? t->xNum : t->yNum) = num;
      (e.tag == 282 ? t->xDen : t->yDen) = den;
      return true;
    }
    case 296:
      return Scalar(r, e, &t->unit);
    default:
      return true;
  }
}

// The entry count of the directory at `offset` and the offset of the next one.
bool DirectoryFrame(const Reader& r, uint64_t offset, uint32_t* count, uint32_t* next) {
  if (!r.ReadU16(offset, count)) return false;
  return r.ReadU32(offset + 2 + uint64_t{12} * *count, next);
}

// Reads `rows` rows of `rowBytes` at `offset` in pieces and hands each to `take(row, index)`.
template <typename Take>
bool ReadRows(const Reader& r, uint64_t offset, uint64_t rowBytes, int32_t rows, Take take) {
  if (rowBytes == 0 || rows <= 0) return false;
  const uint64_t total = rowBytes * static_cast<uint64_t>(rows);
  if (offset > r.length() || total > r.length() - offset) return false;
  // Pieces that stay in the cache between the read and the conversion.
  const uint64_t perPiece = std::max<uint64_t>(1, (uint64_t{1} << 17) / rowBytes);
  std::vector<uint8_t> piece(static_cast<size_t>(rowBytes * std::min<uint64_t>(perPiece, static_cast<uint64_t>(rows))));
  for (int32_t y = 0; y < rows;) {
    const int32_t n = static_cast<int32_t>(std::min<uint64_t>(perPiece, static_cast<uint64_t>(rows - y)));
    if (!r.Bytes(offset + rowBytes * static_cast<uint64_t>(y), piece.data(), rowBytes * static_cast<uint64_t>(n))) {
      return false;
    }
    for (int32_t k = 0; k < n; ++k) take(piece.data() + rowBytes * static_cast<uint64_t>(k), y + k);
    y += n;
  }
  return true;
}

bool OpenReader(Reader* r) {
  uint8_t mark[2];
  if (!r->Bytes(0, mark, 2)) return false;
  if (mark[0] == 'M' && mark[1] == 'M') {
    r->SetBigEndian(true);
  } else if (mark[0] != 'I' || mark[1] != 'I') {
    return false;
  }
  return true;
}

}  // namespace

Source SourceOf(const MemoryBytes* bytes) {
  return {bytes ? bytes->size : 0, bytes ? ReadMemory : nullptr, const_cast<MemoryBytes*>(bytes)};
}

bool ReadLayout(const Source& source, Layout* out) {
  if (!out) return false;
  *out = Layout{};
  Reader r(source);
  if (!OpenReader(&r)) return false;
  uint32_t first = 0, count = 0, next = 0;
  if (!r.ReadU32(4, &first) || !DirectoryFrame(r, first, &count, &next)) return false;

  Tags tags;
  for (uint32_t i = 0; i < count; ++i) {
    uint8_t raw[12];
    if (!r.Bytes(uint64_t{first} + 2 + uint64_t{12} * i, raw, 12)) return false;
    Entry e;
    e.tag = r.U16(raw);
    e.type = r.U16(raw + 2);
    e.count = r.U32(raw + 4);
    const uint32_t size = ElementSize(e.type);
    if (size == 0) return false;
    const uint64_t bytes = uint64_t{size} * e.count;
    e.valueBytes = static_cast<uint32_t>(std::min<uint64_t>(bytes, sizeof e.value));
    if (bytes <= 4) {
      std::memcpy(e.value, raw + 8, e.valueBytes);
    } else {
      // The whole value must lie in the file, although at most 80 bytes of it are read.
      const uint64_t at = r.U32(raw + 8);
      if (at > r.length() || bytes > r.length() - at || !r.Bytes(at, e.value, e.valueBytes)) return false;
    }
    if (!TakeTag(r, e, &tags)) return false;
  }
  if (!tags.width || !tags.height || !tags.bits || !tags.strip || !tags.stripBytes || !tags.samples) return false;
  if (tags.w < 1 || tags.h < 1 || tags.w > kMaxSide || tags.h > kMaxSide) return false;

  const uint64_t s1 = uint64_t{3} * tags.w * tags.h;
  const uint64_t s2 = MaskRow(tags.w) * tags.h;
  if (tags.byteCount != s1) return false;
  // The mask's directory follows the patch; the mask follows its directory and resolutions.
  const uint64_t p2 = uint64_t{tags.stripAt} + s1;
  const uint64_t maskAt = p2 + kMaskGap;
  uint32_t count2 = 0, next2 = 0;
  if (next != p2 || maskAt > r.length() || s2 > r.length() - maskAt || !DirectoryFrame(r, p2, &count2, &next2) ||
      count2 != kEntryCount) {
    return false;
  }
  out->width = static_cast<int32_t>(tags.w);
  out->height = static_cast<int32_t>(tags.h);
  out->xPelsPerMeter = PelsPerMeterOf(tags.xNum, tags.xDen, tags.unit);
  out->yPelsPerMeter = PelsPerMeterOf(tags.yNum, tags.yDen, tags.unit);
  out->imageAt = tags.stripAt;
  out->maskAt = maskAt;
  // The thumbnail's directory follows the mask.
  const uint64_t p3 = maskAt + s2;
  const uint64_t thumbAt = p3 + kThumbGap;
  uint32_t count3 = 0, next3 = 0;
  if (next2 == p3 && thumbAt <= r.length() && kThumbBytes <= r.length() - thumbAt &&
      DirectoryFrame(r, p3, &count3, &next3) && count3 == kEntryCount) {
    out->thumbnailAt = thumbAt;
  }
  return true;
}

bool ReadImageAndMask(const Source& source, const Layout& layout, const dib::View& image, const dib::View& mask) {
  if (layout.width < 1 || !Is24Of(image, layout.width, layout.height) || !Is24Of(mask, layout.width, layout.height)) {
    return false;
  }
  Reader r(source);
  const int32_t w = layout.width;
  const bool pixels = ReadRows(r, layout.imageAt, uint64_t{3} * static_cast<uint64_t>(w), layout.height,
                               [&](const uint8_t* row, int32_t y) { SwapToRgb(row, image.Row(y), w); });
  if (!pixels) return false;
  // Eight mask pixels, three bytes each, for every value of a mask byte.
  static const auto expand = [] {
    std::vector<uint8_t> table(256 * 24);
    for (int v = 0; v < 256; ++v)
      for (int k = 0; k < 8; ++k) std::memset(&table[v * 24 + k * 3], (v << k & 0x80) ? 255 : 0, 3);
    return table;
  }();
  const int32_t whole = w / 8;
  return ReadRows(r, layout.maskAt, MaskRow(w), layout.height, [&](const uint8_t* row, int32_t y) {
    uint8_t* to = mask.Row(y);
    for (int32_t b = 0; b < whole;) {
      // Runs of eight-pixel groups all inside or all outside are one fill.
      const uint8_t v = row[b];
      int32_t e = b + 1;
      if (v == 0 || v == 0xFF) {
        while (e < whole && row[e] == v) ++e;
        std::memset(to, v, static_cast<size_t>(e - b) * 24);
      } else {
        std::memcpy(to, &expand[v * 24u], 24);
      }
      to += static_cast<size_t>(e - b) * 24;
      b = e;
    }
    if (w % 8) std::memcpy(to, &expand[row[whole] * 24u], static_cast<size_t>(w % 8) * 3);
  });
}

bool ReadThumbnail(const Source& source, const Layout& layout, const dib::View& thumbnail) {
  if (layout.thumbnailAt == 0 || !Is24Of(thumbnail, kThumbWidth, kThumbHeight)) return false;
  Reader r(source);
  return ReadRows(r, layout.thumbnailAt, kThumbWidth * 3, kThumbHeight,
                  [&](const uint8_t* row, int32_t y) { SwapToRgb(row, thumbnail.Row(y), kThumbWidth); });
}

}  // namespace selfile
