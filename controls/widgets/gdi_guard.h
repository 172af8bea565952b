// Small owners of GDI objects for the drawing helpers: every object selected into a device
// context is deselected before it is deleted, on every path.
#pragma once

#include <windows.h>

namespace gdi {

// A GDI object deleted when it goes out of scope.
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
  H get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
 private:
  H h_ = nullptr;
};

// An object selected into a device context for one scope.
class Select {
 public:
  Select(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
  ~Select() {
    if (old_) SelectObject(dc_, old_);
  }
  Select(const Select&) = delete;
  Select& operator=(const Select&) = delete;
 private:
  HDC dc_;
  HGDIOBJ old_;
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

// SaveDC / RestoreDC around clipping changes.
class SavedState {
 public:
  explicit SavedState(HDC dc) : dc_(dc), id_(SaveDC(dc)) {}
  ~SavedState() {
    if (id_) RestoreDC(dc_, id_);
  }
  SavedState(const SavedState&) = delete;
  SavedState& operator=(const SavedState&) = delete;
 private:
  HDC dc_;
  int id_;
};

}  // namespace gdi
