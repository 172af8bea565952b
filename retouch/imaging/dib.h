// DibHandle: a packed 24-bit (or 8-bit mask) bitmap in one movable global memory block. These
// functions lock the block for the length of one call and hand the pixel work to the portable
// code over dib::View. A zero handle is a failure (0 or no handle) everywhere.
#pragma once

#include <windows.h>

#include "retouch/imaging/dib_view.h"
#include "winkit/global_lock.h"

using DibHandle = HGLOBAL;  // 24-bit image or 8-bit MaskDib; the creator frees it (GlobalFree)

DibHandle DibCreate(int width, int height, int bitsPerPixel);
void DibInitHeader(BITMAPINFOHEADER* header, int width, int height, int bitsPerPixel);
int DibGetInfo(DibHandle dib, int* width, int* height, int* bitsPerPixel);
int DibHeaderSize(DibHandle dib);
int DibHeight(DibHandle dib);
WORD DibColorCount(const BITMAPINFOHEADER* header);
int DibColorTableSize(const BITMAPINFOHEADER* header);
BYTE* DibLockBits(DibHandle dib);  // leaves the block locked: pair with DibUnlock
void DibUnlock(DibHandle dib);
DibHandle DibDuplicate(DibHandle dib, BOOL copyContents);
int DibCopyInto(DibHandle destination, DibHandle source);
int DibFlipVertical(DibHandle dib);
int DibMirror(DibHandle dib);
int DibGetPixel(DibHandle dib, int x, int y, COLORREF* color);
DibHandle DibCrop(DibHandle dib, const RECT* rect);
DibHandle DibCropMasked(DibHandle image, DibHandle mask, int x, int y, int width, int height, COLORREF fill);
int DibPaste(DibHandle destination, DibHandle patch, const RECT* rect);
int DibPasteMasked(DibHandle destination, DibHandle patch, DibHandle mask, int x, int y);
DibHandle DibResize(DibHandle dib, int width, int height);
void DibDraw(HDC dc, DibHandle dib, const RECT* rect, DWORD rop);
void DibDrawRegion(HWND window, HDC dc, DibHandle dib, const RECT* rect);
// Burns the non-black pixels of a monochrome bitmap (as wide as the image) into the image from
// row `top` down, in `color` at `strength` percent. Nothing happens when `enable` is 0.
int DibStampBitmap(DibHandle image, HBITMAP bitmap, int top, COLORREF color, int strength, BOOL enable);

// Locks a DibHandle for one scope and exposes its pixel rows as a dib::View.
class DibLock {
 public:
  explicit DibLock(DibHandle dib);
  bool ok() const { return view_.valid(); }
  const dib::View& view() const { return view_; }
  BITMAPINFOHEADER* header() const { return header_; }
 private:
  winkit::GlobalBlockLock lock_;
  BITMAPINFOHEADER* header_ = nullptr;
  dib::View view_;
};
