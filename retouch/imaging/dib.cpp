// The DibHandle layer: allocates and locks the movable global blocks and hands the pixel work to
// dib_ops over dib::View. Every lock taken here is released before the call returns (except
// DibLockBits, by design).
#include "retouch/imaging/dib.h"

#include <cstring>
#include <limits>

#include "retouch/imaging/dib_ops.h"
#include "winkit/global_lock.h"
#include "winkit/gdi_guard.h"

static_assert(sizeof(BITMAPINFOHEADER) == sizeof(dib::Header), "BITMAPINFOHEADER is the packed header");

namespace {

dib::Rect RectOf(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// A plain lock of a global block for one scope (no header checks) that reads its header, when
// the block is large enough to hold one.
class BlockLock : public winkit::GlobalBlockLock {
 public:
  using GlobalBlockLock::GlobalBlockLock;
  const BITMAPINFOHEADER* header() const {
    return get() && size() >= sizeof(BITMAPINFOHEADER) ? as<BITMAPINFOHEADER>() : nullptr;
  }
};

// A private copy of `patch` when it is the destination's own block (pasting an image onto
// itself), so that the row copies never overlap.
class Unaliased {
 public:
  Unaliased(DibHandle patch, DibHandle destination)
      : copy_(patch && patch == destination ? DibDuplicate(patch, TRUE) : nullptr),
        handle_(copy_ ? copy_ : (patch == destination ? nullptr : patch)) {}
  ~Unaliased() {
    if (copy_) GlobalFree(copy_);
  }
  Unaliased(const Unaliased&) = delete;
  Unaliased& operator=(const Unaliased&) = delete;
  DibHandle get() const { return handle_; }
 private:
  DibHandle copy_;
  DibHandle handle_;
};

struct Block {
  HGLOBAL h;
  explicit Block(HGLOBAL b) : h(b) {}
  ~Block() {
    if (h) GlobalFree(h);
  }
  Block(const Block&) = delete;
  Block& operator=(const Block&) = delete;
  HGLOBAL release() {
    HGLOBAL r = h;
    h = nullptr;
    return r;
  }
};

}  // namespace

DibLock::DibLock(DibHandle dib) : lock_(dib) {
  if (!lock_) return;
  const SIZE_T size = lock_.size();
  if (size >= sizeof(BITMAPINFOHEADER)) header_ = lock_.as<BITMAPINFOHEADER>();
  dib::ViewOfBlock(lock_.get(), size, &view_);
}

void DibInitHeader(BITMAPINFOHEADER* header, int width, int height, int bitsPerPixel) {
  if (!header) return;
  header->biSize = sizeof(BITMAPINFOHEADER);
  header->biWidth = width;
  header->biHeight = height;
  header->biPlanes = 1;
  header->biBitCount = static_cast<WORD>(bitsPerPixel);
}

DibHandle DibCreate(int width, int height, int bitsPerPixel) {
  // Whole bytes per pixel only; a zero size gives a header-only block, as it always has.
  if (width < 0 || height < 0 || bitsPerPixel < 8 || bitsPerPixel > 32 || bitsPerPixel % 8 != 0) return nullptr;
  const uint64_t stride = static_cast<uint64_t>(dib::Stride(width, bitsPerPixel));
  const uint64_t limit = std::numeric_limits<SIZE_T>::max() - sizeof(BITMAPINFOHEADER);
  if (height != 0 && stride > limit / static_cast<uint64_t>(height)) return nullptr;
  const SIZE_T size = static_cast<SIZE_T>(sizeof(BITMAPINFOHEADER) + stride * static_cast<uint64_t>(height));
  Block block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
  if (!block.h) return nullptr;
  void* p = GlobalLock(block.h);
  if (!p) return nullptr;
  DibInitHeader(static_cast<BITMAPINFOHEADER*>(p), width, height, bitsPerPixel);
  GlobalUnlock(block.h);
  return block.release();
}

int DibGetInfo(DibHandle dib, int* width, int* height, int* bitsPerPixel) {
  BlockLock lock(dib);
  const BITMAPINFOHEADER* h = lock.header();
  if (!h) return 0;
  if (width) *width = h->biWidth;
  if (height) *height = h->biHeight;
  if (bitsPerPixel) *bitsPerPixel = h->biBitCount;
  return 1;
}

int DibHeaderSize(DibHandle dib) {
  BlockLock lock(dib);
  const BITMAPINFOHEADER* h = lock.header();
  return h ? static_cast<int>(h->biSize) : 0;
}

int DibHeight(DibHandle dib) {
  BlockLock lock(dib);
  const BITMAPINFOHEADER* h = lock.header();
  return h ? h->biHeight : 0;
}

WORD DibColorCount(const BITMAPINFOHEADER* header) {
  if (!header) return 0;
  dib::Header h;
  std::memcpy(&h, header, sizeof h);
  return static_cast<WORD>(dib::ColorCount(h));
}

int DibColorTableSize(const BITMAPINFOHEADER* header) { return DibColorCount(header) * 4; }

BYTE* DibLockBits(DibHandle dib) {
  void* p = dib ? GlobalLock(dib) : nullptr;
  if (!p) return nullptr;
  dib::View view;
  if (!dib::ViewOfBlock(p, GlobalSize(dib), &view)) {
    GlobalUnlock(dib);
    return nullptr;
  }
  return view.bits;
}

void DibUnlock(DibHandle dib) {
  if (dib) GlobalUnlock(dib);
}

DibHandle DibDuplicate(DibHandle dib, BOOL copyContents) {
  const SIZE_T size = dib ? GlobalSize(dib) : 0;
  if (size == 0) return nullptr;
  Block copy(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
  if (!copy.h) return nullptr;
  if (copyContents) {
    BlockLock from(dib), to(copy.h);
    if (!from.get() || !to.get()) return nullptr;
    std::memcpy(to.get(), from.get(), size);
  }
  return copy.release();
}

int DibCopyInto(DibHandle destination, DibHandle source) {
  const SIZE_T size = source ? GlobalSize(source) : 0;
  if (size == 0) return 0;
  if (!destination) return 1;
  if (GlobalSize(destination) < size) return 0;
  if (destination == source) return 1;
  BlockLock from(source), to(destination);
  if (!from.get() || !to.get()) return 0;
  std::memcpy(to.get(), from.get(), size);
  return 1;
}

int DibFlipVertical(DibHandle dib) {
  DibLock lock(dib);
  return lock.ok() && dib::FlipVertical(lock.view()) ? 1 : 0;
}

int DibMirror(DibHandle dib) {
  DibLock lock(dib);
  return lock.ok() && dib::Mirror(lock.view()) ? 1 : 0;
}

int DibGetPixel(DibHandle dib, int x, int y, COLORREF* color) {
  DibLock lock(dib);
  uint32_t c = 0;
  if (!color || !dib::GetPixel(lock.view(), x, y, &c)) return 0;
  *color = c;
  return 1;
}

DibHandle DibCrop(DibHandle dib, const RECT* rect) {
  if (!rect) return nullptr;
  DibLock from(dib);
  const dib::Rect r = RectOf(*rect);
  int32_t w = 0, h = 0;
  if (!dib::CropSize(from.view(), r, &w, &h)) return nullptr;
  Block crop(DibCreate(w, h, 24));
  if (!crop.h) return nullptr;
  {
    DibLock to(crop.h);
    if (!dib::CropInto(from.view(), r, to.view())) return nullptr;
  }
  return crop.release();
}

DibHandle DibCropMasked(DibHandle image, DibHandle mask, int x, int y, int width, int height, COLORREF fill) {
  if (!mask) return nullptr;
  DibLock from(image);
  const dib::Rect area = {x, y, int64_t{x} + width, int64_t{y} + height};
  int32_t w = 0, h = 0;
  if (!dib::CropSize(from.view(), area, &w, &h)) return nullptr;
  Block crop(DibCreate(w, h, 24));
  if (!crop.h) return nullptr;
  {
    DibLock to(crop.h), shape(mask);
    if (!dib::CropInto(from.view(), area, to.view()) || !dib::FillOutsideMask(to.view(), shape.view(), fill))
      return nullptr;
  }
  return crop.release();
}

int DibPaste(DibHandle destination, DibHandle patch, const RECT* rect) {
  if (!rect || !destination || !patch) return 0;
  Unaliased source(patch, destination);
  DibLock to(destination), from(source.get());
  return dib::Paste(to.view(), from.view(), rect->left, rect->top) ? 1 : 0;
}

int DibPasteMasked(DibHandle destination, DibHandle patch, DibHandle mask, int x, int y) {
  if (!destination || !patch || !mask) return 0;
  Unaliased source(patch, destination), shape(mask, destination);
  DibLock to(destination), from(source.get()), inside(shape.get());
  return dib::PasteMasked(to.view(), from.view(), inside.view(), x, y) ? 1 : 0;
}

DibHandle DibResize(DibHandle dib, int width, int height) {
  if (width <= 0 || height <= 0 || width > dib::kMaxResizeDimension || height > dib::kMaxResizeDimension)
    return nullptr;
  DibLock from(dib);
  const dib::View& source = from.view();
  if (!from.ok() || (source.bitsPerPixel != 8 && source.bitsPerPixel != 24)) return nullptr;
  Block result(DibCreate(width, height, source.bitsPerPixel));
  if (!result.h) return nullptr;
  if (source.bitsPerPixel == 24) {  // an 8-bit source gives the blank image
    DibLock to(result.h);
    if (!dib::Resample(source, to.view())) return nullptr;
  }
  return result.release();
}

void DibDraw(HDC dc, DibHandle dib, const RECT* rect, DWORD rop) {
  if (!dc || !rect) return;
  DibLock lock(dib);
  if (!lock.ok()) return;
  const dib::View& v = lock.view();
  const BITMAPINFO* info = reinterpret_cast<const BITMAPINFO*>(lock.header());
  // An 8-bit block without its colour table (a mask) is shown in grey levels.
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
  } grey;
  const BYTE* start = reinterpret_cast<const BYTE*>(lock.header());
  if (v.bitsPerPixel == 8 && v.bits == start + lock.header()->biSize) {
    std::memset(&grey, 0, sizeof grey);
    DibInitHeader(&grey.header, v.width, v.height, 8);
    grey.header.biClrUsed = 256;
    for (int i = 0; i < 256; ++i) {
      grey.colors[i].rgbBlue = grey.colors[i].rgbGreen = grey.colors[i].rgbRed = static_cast<BYTE>(i);
    }
    info = reinterpret_cast<const BITMAPINFO*>(&grey);
  }
  const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
  StretchDIBits(dc, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, 0, 0, v.width,
                v.height, v.bits, info, DIB_RGB_COLORS, rop);
  if (oldMode) SetStretchBltMode(dc, oldMode);
}

namespace {

// Stretches the part `r` of a 24-bit image straight from its rows over (0, 0, width, height) of
// dc, as DibDraw would stretch a crop of it: the same source size, only offset in the image. The
// rows are bottom-up, so the source rectangle's y counts from the last row.
void StretchPart(HDC dc, const dib::View& v, const RECT& r, int width, int height) {
  BITMAPINFO info = {};
  DibInitHeader(&info.bmiHeader, v.width, v.height, 24);
  const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
  StretchDIBits(dc, 0, 0, width, height, r.left, v.height - r.bottom, r.right - r.left, r.bottom - r.top, v.bits,
                &info, DIB_RGB_COLORS, SRCCOPY);
  if (oldMode) SetStretchBltMode(dc, oldMode);
}

}  // namespace

void DibDrawRegion(HWND window, HDC dc, DibHandle dib, const RECT* rect) {
  if (!dc || !dib || !rect) return;
  POINT corners[2] = {{rect->left, rect->top}, {rect->right, rect->bottom}};
  if (!LPtoDP(dc, corners, 2)) return;
  const int width = corners[1].x - corners[0].x;
  const int height = corners[1].y - corners[0].y;
  if (width <= 0 || height <= 0) return;

  // A part that lies on a 24-bit image is stretched from the image's own rows; one that hangs
  // over an edge goes through a crop, which shows black beyond the image. On a true-colour
  // screen the off-screen bitmap has the image's own format: the stretch then reads only the
  // pixels it keeps, where one into the screen's format first converts the whole part. (With
  // fewer colours the colours are matched in the stretch, as ever.)
  DibLock lock(dib);
  const dib::View& v = lock.view();
  const bool inside = lock.ok() && v.bitsPerPixel == 24 && rect->left >= 0 && rect->top >= 0 &&
                      rect->right <= v.width && rect->bottom <= v.height && rect->left < rect->right &&
                      rect->top < rect->bottom;
  Block crop(inside ? nullptr : DibCrop(dib, rect));
  if (!inside && !crop.h) return;
  gdi::WindowDC windowDc(window);
  if (!windowDc) return;
  HBITMAP bitmap = nullptr;
  if (inside && GetDeviceCaps(windowDc.get(), BITSPIXEL) >= 24 &&
      !(GetDeviceCaps(windowDc.get(), RASTERCAPS) & RC_PALETTE)) {
    BITMAPINFO info = {};
    DibInitHeader(&info.bmiHeader, width, height, 24);
    void* bits = nullptr;
    bitmap = CreateDIBSection(windowDc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  } else {
    bitmap = CreateCompatibleBitmap(windowDc.get(), width, height);
  }
  gdi::Owned<HBITMAP> offscreen(bitmap);
  gdi::MemoryDC memory(windowDc.get());
  if (!offscreen.get() || !memory.get()) return;
  gdi::Select selected(memory.get(), offscreen.get());
  if (inside) {
    StretchPart(memory.get(), v, *rect, width, height);
  } else {
    const RECT whole = {0, 0, width, height};
    DibDraw(memory.get(), crop.h, &whole, SRCCOPY);
  }

  // Blit at the device rectangle: device units for the time of the copy, so the zoom of the
  // caller's context applies once (in the stretch above), and its clipping still holds.
  const int saved = SaveDC(dc);
  SetStretchBltMode(dc, COLORONCOLOR);
  SetMapMode(dc, MM_TEXT);
  SetWindowOrgEx(dc, 0, 0, nullptr);
  SetViewportOrgEx(dc, 0, 0, nullptr);
  StretchBlt(dc, corners[0].x, corners[0].y, width, height, memory.get(), 0, 0, width, height, SRCCOPY);
  if (saved) RestoreDC(dc, saved);
}

int DibStampBitmap(DibHandle image, HBITMAP bitmap, int top, COLORREF color, int strength, BOOL enable) {
  if (!image || !bitmap) return 0;
  DibLock target(image);
  if (!target.ok() || target.view().bitsPerPixel != 24) return 0;
  BITMAP bm = {};
  if (!GetObjectA(bitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return 0;
  if (!enable) return 1;

  // The bitmap's rows at the image's depth: set bits become white, clear ones black.
  Block rows(DibCreate(bm.bmWidth, bm.bmHeight, 24));
  if (!rows.h) return 0;
  DibLock converted(rows.h);
  if (!converted.ok()) return 0;
  gdi::MemoryDC memory(nullptr);
  if (!memory.get()) return 0;
  BITMAPINFO info = {};
  info.bmiHeader = *converted.header();
  if (GetDIBits(memory.get(), bitmap, 0, static_cast<UINT>(bm.bmHeight), converted.view().bits, &info,
                DIB_RGB_COLORS) != bm.bmHeight)
    return 0;
  return dib::StampBitmap(target.view(), converted.view(), top, color, strength) ? 1 : 0;
}
