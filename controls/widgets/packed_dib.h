// A packed DIB (movable global block) locked for one drawing call and checked against the
// block's size before GDI reads it.
#pragma once

#include <windows.h>

#include "controls/widgets/bmp_format.h"
#include "controls/widgets/draw_math.h"
#include "winkit/global_lock.h"

class PackedDibLock {
 public:
  explicit PackedDibLock(HGLOBAL dib);
  bool ok() const { return bits_ != nullptr; }
  const BITMAPINFO* info() const { return reinterpret_cast<const BITMAPINFO*>(block_); }
  const void* bits() const { return bits_; }
  int width() const { return packed_.width; }
  int height() const { return packed_.height; }
 private:
  winkit::GlobalBlockLock lock_;
  BYTE* block_ = nullptr;
  const BYTE* bits_ = nullptr;
  bmp::PackedInfo packed_;
};

// Null and 0xFFFF both mean "no bitmap".
inline bool IsNoDib(HGLOBAL dib) { return dib == nullptr || reinterpret_cast<UINT_PTR>(dib) == 0xFFFF; }

// Where a placed texture lands in `area` and which part of it is used (see DrawDibPlaced).
bool PlacedTextureRect(const PackedDibLock& dib, const RECT& area, int fitWidth, int fitHeight, int alignRight,
                       int alignBottom, draw::TileSource* source, RECT* out);
