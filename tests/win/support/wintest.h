// Helpers for tests that drive real windows under Wine.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace wintest {

// Dispatches every waiting message of this thread for about `ms` milliseconds.
void Pump(DWORD ms = 0);

// Pumps until `done()` holds or `ms` milliseconds have passed; returns done().
template <class Pred>
bool PumpUntil(Pred done, DWORD ms = 5000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > ms) return done();
    Pump(5);
  }
  return true;
}

// Folder of the running test program, with a trailing backslash.
std::string ProgramDir();

// A fresh empty folder under the system temporary folder; removed with its files on destruction.
class TempDir {
 public:
  explicit TempDir(const std::string& tag = "t");
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }  // with trailing backslash
 private:
  std::string path_;
};

bool CopyFileTo(const std::string& from, const std::string& to);
std::string ReadFileText(const std::string& path);

// Runs a command line, waits at most `timeoutMs` and returns the exit code (or -1 on failure
// or time-out, in which case the process is terminated).
long RunProcess(const std::string& commandLine, DWORD timeoutMs = 30000);

// A 32-bit top-down DIB section with its own memory DC, for painting into and reading back.
class Canvas32 {
 public:
  Canvas32(int width, int height, COLORREF fill = RGB(0, 0, 0));
  ~Canvas32();
  Canvas32(const Canvas32&) = delete;
  Canvas32& operator=(const Canvas32&) = delete;
  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }
  COLORREF Pixel(int x, int y) const;  // 0x00BBGGRR
 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  uint32_t* bits_ = nullptr;
  int width_ = 0, height_ = 0;
};

// GetProcAddress as a typed function pointer (through void*: FARPROC casts warn otherwise).
template <class F>
F ProcAs(HMODULE module, const char* nameOrOrdinal) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, nameOrOrdinal)));
}

// Counts of this process's GDI and USER objects (for leak checks).
DWORD GdiObjects();
DWORD UserObjects();
// Busy blocks on every heap of the process, where global memory blocks live too.
size_t BusyHeapBlocks();

}  // namespace wintest
