// Texture files: the whole file is read into memory and checked by the portable reader before a
// packed DIB is built from it, so nothing in a header decides how much is read or allocated.
#include "controls/widgets/dib_file.h"

#include <shlwapi.h>

#include <cstdio>

#include "controls/widgets/bmp_format.h"

namespace {

// Headers, colour table and any gap before the rows: a sound file is not much larger than the
// bitmap it holds.
constexpr ULONGLONG kMaxFileBytes = bmp::kMaxPackedBytes + (64u << 10);

class ErrorModeScope {
 public:
  ErrorModeScope() : old_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
  ~ErrorModeScope() { SetErrorMode(old_); }
 private:
  UINT old_;
};

class FileHandle {
 public:
  explicit FileHandle(const char* path)
      : h_(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~FileHandle() {
    if (ok()) CloseHandle(h_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool ok() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }
 private:
  HANDLE h_;
};

class FixedBlock {
 public:
  explicit FixedBlock(SIZE_T bytes) : p_(static_cast<BYTE*>(GlobalAlloc(GMEM_FIXED, bytes))) {}
  ~FixedBlock() {
    if (p_) GlobalFree(p_);
  }
  FixedBlock(const FixedBlock&) = delete;
  FixedBlock& operator=(const FixedBlock&) = delete;
  BYTE* get() const { return p_; }
 private:
  BYTE* p_;
};

// "<library folder>\bmp\<file name of path>", or false when it does not fit.
bool BesideLibrary(const char* path, char* out, size_t outSize) {
  HMODULE self = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCSTR>(&LoadDibFromFile), &self)) {
    return false;
  }
  char module[MAX_PATH];
  const DWORD n = GetModuleFileNameA(self, module, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return false;
  PathRemoveFileSpecA(module);
  const int written = std::snprintf(out, outSize, "%s\\bmp\\%s", module, PathFindFileNameA(path));
  return written > 0 && static_cast<size_t>(written) < outSize;
}

HGLOBAL LoadOpenFile(HANDLE file) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file, &size) || size.QuadPart <= 0 ||
      static_cast<ULONGLONG>(size.QuadPart) > kMaxFileBytes) {
    return nullptr;
  }
  const DWORD bytes = static_cast<DWORD>(size.QuadPart);
  FixedBlock data(bytes);
  if (!data.get()) return nullptr;
  DWORD got = 0;
  if (!ReadFile(file, data.get(), bytes, &got, nullptr) || got != bytes) return nullptr;

  bmp::PackedLayout layout;
  if (!bmp::PlanPackedDib(data.get(), bytes, &layout)) return nullptr;
  HGLOBAL dib = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, layout.blockBytes);
  if (!dib) return nullptr;
  void* block = GlobalLock(dib);
  if (!block) {
    GlobalFree(dib);
    return nullptr;
  }
  bmp::WritePackedDib(data.get(), layout, static_cast<uint8_t*>(block));
  GlobalUnlock(dib);
  return dib;
}

}  // namespace

HGLOBAL LoadDibFromFile(const char* path) {
  if (path == nullptr || *path == '\0') return nullptr;
  ErrorModeScope quiet;
  {
    FileHandle named(path);
    if (named.ok()) return LoadOpenFile(named.get());
  }
  char fallback[MAX_PATH * 2];
  if (!BesideLibrary(path, fallback, sizeof fallback)) return nullptr;
  FileHandle beside(fallback);
  return beside.ok() ? LoadOpenFile(beside.get()) : nullptr;
}
