// Small owners of GDI objects and device contexts, shared by the suite's libraries: every object
// made is deleted, every DC released, every selection undone and every paint ended, on every path.
#pragma once

#include <windows.h>

namespace gdi {

// A GDI object (pen, brush, bitmap, region, font) deleted when it goes out of scope. Declare it
// before any Select of it, so that it is deselected before it is deleted.
template <class H>
class Owned {
 public:
  Owned() = default;
  explicit Owned(H h) : h_(h) {}
  ~Owned() { reset(); }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  void reset(H h = nullptr) {
    if (h_) DeleteObject(h_);
    h_ = h;
  }
  H release() {
    H h = h_;
    h_ = nullptr;
    return h;
  }
  H get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
 private:
  H h_ = nullptr;
};

// An object selected into a device context for one scope.
class Select {
 public:
  Select(HDC dc, HGDIOBJ object) : dc_(dc), old_(dc && object ? SelectObject(dc, object) : nullptr) {}
  ~Select() {
    if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }
  Select(const Select&) = delete;
  Select& operator=(const Select&) = delete;
 private:
  HDC dc_;
  HGDIOBJ old_;
};

// A window's DC (the screen's when `window` is null), released at the end of the scope.
class WindowDC {
 public:
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }
 private:
  HWND window_;
  HDC dc_;
};

// The whole window's DC (caption and borders included), released at the end of the scope.
class WholeWindowDC {
 public:
  explicit WholeWindowDC(HWND window) : window_(window), dc_(GetWindowDC(window)) {}
  ~WholeWindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WholeWindowDC(const WholeWindowDC&) = delete;
  WholeWindowDC& operator=(const WholeWindowDC&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }
 private:
  HWND window_;
  HDC dc_;
};

// A memory device context compatible with `like` (the screen when null).
class MemoryDC {
 public:
  explicit MemoryDC(HDC like) : dc_(CreateCompatibleDC(like)) {}
  ~MemoryDC() {
    if (dc_) DeleteDC(dc_);
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }
 private:
  HDC dc_;
};

// WM_PAINT's device context: BeginPaint at the start of the scope, EndPaint at its end.
class PaintDC {
 public:
  explicit PaintDC(HWND window) : window_(window), dc_(BeginPaint(window, &ps_)) {}
  ~PaintDC() { EndPaint(window_, &ps_); }
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  HDC get() const { return dc_; }
  const RECT& area() const { return ps_.rcPaint; }  // the update rectangle
  explicit operator bool() const { return dc_ != nullptr; }
 private:
  HWND window_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

// A DC's state (mapping, clipping, selected objects) saved for one scope.
class SavedDC {
 public:
  explicit SavedDC(HDC dc) : dc_(dc), id_(dc ? SaveDC(dc) : 0) {}
  ~SavedDC() {
    if (id_) RestoreDC(dc_, id_);
  }
  SavedDC(const SavedDC&) = delete;
  SavedDC& operator=(const SavedDC&) = delete;
  bool ok() const { return id_ != 0; }
 private:
  HDC dc_;
  int id_;
};

}  // namespace gdi
