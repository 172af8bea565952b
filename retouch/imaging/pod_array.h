// A growable array of plain values whose allocations report failure instead of throwing: the
// selection's points, crossings and images live in these, and every operation on them must be
// able to leave the previous state in place when memory runs out. Portable: no windows.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <utility>

namespace sel {

template <class T>
class PodArray {
  static_assert(std::is_trivially_copyable_v<T>, "plain values only");

 public:
  PodArray() = default;
  ~PodArray() { std::free(data_); }
  PodArray(const PodArray&) = delete;
  PodArray& operator=(const PodArray&) = delete;
  PodArray(PodArray&& o) noexcept { Swap(o); }
  PodArray& operator=(PodArray&& o) noexcept {
    if (this != &o) {
      Clear();
      Swap(o);
    }
    return *this;
  }

  T* data() { return data_; }
  const T* data() const { return data_; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T& operator[](size_t i) { return data_[i]; }
  const T& operator[](size_t i) const { return data_[i]; }
  T* begin() { return data_; }
  T* end() { return data_ + size_; }
  const T* begin() const { return data_; }
  const T* end() const { return data_ + size_; }
  T& back() { return data_[size_ - 1]; }
  const T& back() const { return data_[size_ - 1]; }

  void Clear() {
    std::free(data_);
    data_ = nullptr;
    size_ = capacity_ = 0;
  }
  void Truncate(size_t n) {
    if (n < size_) size_ = n;
  }
  bool Reserve(size_t n) {
    if (n <= capacity_) return true;
    if (n > kMaxBytes / sizeof(T)) return false;
    void* p = std::realloc(data_, n * sizeof(T));
    if (p == nullptr) return false;
    data_ = static_cast<T*>(p);
    capacity_ = n;
    return true;
  }
  // New elements are zero.
  bool Resize(size_t n) {
    if (n > capacity_ && !Reserve(n)) return false;
    if (n > size_) std::memset(static_cast<void*>(data_ + size_), 0, (n - size_) * sizeof(T));
    size_ = n;
    return true;
  }
  // Amortised constant time: the capacity doubles.
  bool Push(const T& v) {
    if (size_ == capacity_ && !Reserve(capacity_ < 16 ? 16 : capacity_ * 2)) return false;
    data_[size_++] = v;
    return true;
  }
  bool Assign(const T* p, size_t n) {
    if (n == 0) {
      size_ = 0;
      return true;
    }
    if (!Reserve(n)) return false;
    std::memcpy(static_cast<void*>(data_), p, n * sizeof(T));
    size_ = n;
    return true;
  }
  bool CopyFrom(const PodArray& o) { return this == &o || Assign(o.data_, o.size_); }
  void Swap(PodArray& o) noexcept {
    std::swap(data_, o.data_);
    std::swap(size_, o.size_);
    std::swap(capacity_, o.capacity_);
  }

 private:
  // No block of the selection comes near this; anything larger is an absurd request.
  static constexpr size_t kMaxBytes = size_t{1} << (sizeof(size_t) >= 8 ? 34 : 30);
  T* data_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

}  // namespace sel
