// A movable global block locked for one scope: the one lock guard of both libraries (the views of
// packed DIBs and the style records are built on it).
#pragma once

#include <windows.h>

namespace winkit {

class GlobalBlockLock {
 public:
  explicit GlobalBlockLock(HGLOBAL block) : block_(block), data_(block ? GlobalLock(block) : nullptr) {}
  ~GlobalBlockLock() {
    if (data_) GlobalUnlock(block_);
  }
  GlobalBlockLock(const GlobalBlockLock&) = delete;
  GlobalBlockLock& operator=(const GlobalBlockLock&) = delete;
  void* get() const { return data_; }
  template <class T>
  T* as() const { return static_cast<T*>(data_); }
  // The block's size; 0 while it is not locked.
  SIZE_T size() const { return data_ ? GlobalSize(block_) : 0; }
  explicit operator bool() const { return data_ != nullptr; }
 private:
  HGLOBAL block_;
  void* data_;
};

}  // namespace winkit
