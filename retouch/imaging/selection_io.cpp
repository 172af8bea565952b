#include "retouch/imaging/selection_io.h"

#include "retouch/imaging/selection_file.h"

namespace {

class File {
 public:
  explicit File(HANDLE h) : h_(h) {}
  ~File() {
    if (ok()) CloseHandle(h_);
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  bool ok() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }
  // Closes now; false when the close fails (the last writes may be lost).
  bool Close() {
    const bool closed = ok() && CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE h_;
};

bool WriteAll(void* context, const uint8_t* data, size_t size) {
  const HANDLE h = static_cast<HANDLE>(context);
  while (size > 0) {
    const DWORD chunk = size > (DWORD{1} << 30) ? (DWORD{1} << 30) : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(h, data, chunk, &written, nullptr) || written != chunk) return false;
    data += chunk;
    size -= chunk;
  }
  return true;
}

bool ReadAt(void* context, uint64_t offset, uint8_t* out, size_t size) {
  const HANDLE h = static_cast<HANDLE>(context);
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(h, at, nullptr, FILE_BEGIN)) return false;
  while (size > 0) {
    const DWORD chunk = size > (DWORD{1} << 30) ? (DWORD{1} << 30) : static_cast<DWORD>(size);
    DWORD got = 0;
    if (!ReadFile(h, out, chunk, &got, nullptr) || got != chunk) return false;
    out += chunk;
    size -= chunk;
  }
  return true;
}

bool SameSize24(const dib::View& image, const dib::View& mask) {
  return image.valid() && mask.valid() && image.bitsPerPixel == 24 && mask.bitsPerPixel == 24 &&
         mask.width == image.width && mask.height == image.height;
}

int WriteViews(const char* path, const dib::View& image, const dib::View& mask, int32_t xPelsPerMeter,
               int32_t yPelsPerMeter, DWORD disposition, BOOL* exists) {
  if (exists) *exists = FALSE;
  if (!path || !SameSize24(image, mask) || selfile::FileSize(image.width, image.height) == 0) return 0;
  File file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.ok()) {
    if (exists) *exists = GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS;
    return 0;
  }
  const bool written = selfile::WriteSelection(image, mask, xPelsPerMeter, yPelsPerMeter, {WriteAll, file.get()});
  if (file.Close() && written) return 1;
  DeleteFileA(path);
  return 0;
}

int WriteWith(const char* path, DibHandle image, DibHandle mask, DWORD disposition, BOOL* exists) {
  if (exists) *exists = FALSE;
  if (!image || !mask) return 0;
  DibLock patch(image), shape(mask);
  if (!patch.ok() || !shape.ok()) return 0;
  return WriteViews(path, patch.view(), shape.view(), patch.header()->biXPelsPerMeter, patch.header()->biYPelsPerMeter,
                    disposition, exists);
}

// An open file for reading with its length, seen as a source.
struct ReadFileSource {
  explicit ReadFileSource(const char* path)
      : file(path ? CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                  : INVALID_HANDLE_VALUE) {
    LARGE_INTEGER size;
    if (file.ok() && GetFileSizeEx(file.get(), &size) && size.QuadPart >= 0) {
      source = {static_cast<uint64_t>(size.QuadPart), ReadAt, file.get()};
    }
  }
  bool ok() const { return source.read != nullptr; }
  File file;
  selfile::Source source{0, nullptr, nullptr};
};

// A new 24-bit block of the size with the loaded headers' resolution, size and compression.
DibHandle NewImage(int32_t width, int32_t height, const selfile::Layout& layout) {
  DibHandle dib = DibCreate(width, height, 24);
  if (!dib) return nullptr;
  DibLock lock(dib);
  if (BITMAPINFOHEADER* h = lock.header()) {
    h->biXPelsPerMeter = layout.xPelsPerMeter;
    h->biYPelsPerMeter = layout.yPelsPerMeter;
    h->biSizeImage = static_cast<DWORD>(dib::Stride(width, 24) * height);
    h->biCompression = BI_RGB;
  }
  return dib;
}

struct Owned {
  DibHandle h = nullptr;
  ~Owned() {
    if (h) GlobalFree(h);
  }
  DibHandle release() {
    DibHandle r = h;
    h = nullptr;
    return r;
  }
};

}  // namespace

int WriteSelectionFile(const char* path, DibHandle image, DibHandle mask) {
  return WriteWith(path, image, mask, CREATE_ALWAYS, nullptr);
}

int WriteNewSelectionFile(const char* path, DibHandle image, DibHandle mask, BOOL* exists) {
  return WriteWith(path, image, mask, CREATE_NEW, exists);
}

int WriteNewSelectionFile(const char* path, const dib::View& image, const dib::View& mask, int32_t xPelsPerMeter,
                          int32_t yPelsPerMeter, BOOL* exists) {
  return WriteViews(path, image, mask, xPelsPerMeter, yPelsPerMeter, CREATE_NEW, exists);
}

int ReadSelectionImages(const char* path, DibHandle* image, DibHandle* mask) {
  if (!image || !mask) return 0;
  ReadFileSource in(path);
  selfile::Layout layout;
  if (!in.ok() || !selfile::ReadLayout(in.source, &layout)) return 0;
  Owned patch{NewImage(layout.width, layout.height, layout)}, shape{NewImage(layout.width, layout.height, layout)};
  if (!patch.h || !shape.h) return 0;
  {
    DibLock p(patch.h), s(shape.h);
    if (!p.ok() || !s.ok() || !selfile::ReadImageAndMask(in.source, layout, p.view(), s.view())) return 0;
  }
  *image = patch.release();
  *mask = shape.release();
  return 1;
}

int ReadSelectionFile(const char* path, int32_t maxWidth, int32_t maxHeight, sel::Image* image, sel::Image* mask) {
  if (!image || !mask) return 0;
  ReadFileSource in(path);
  selfile::Layout layout;
  if (!in.ok() || !selfile::ReadLayout(in.source, &layout) || layout.width > maxWidth || layout.height > maxHeight) {
    return 0;
  }
  // Every byte of both images is read from the file, so they start unset.
  sel::Image patch, shape;
  if (!patch.Create(layout.width, layout.height, -1) || !shape.Create(layout.width, layout.height, -1) ||
      !selfile::ReadImageAndMask(in.source, layout, patch.view(), shape.view())) {
    return 0;
  }
  image->Swap(patch);
  mask->Swap(shape);
  return 1;
}

DibHandle ReadSelectionThumbnail(const char* path) {
  ReadFileSource in(path);
  selfile::Layout layout;
  if (!in.ok() || !selfile::ReadLayout(in.source, &layout) || layout.thumbnailAt == 0) return nullptr;
  Owned thumb{NewImage(selfile::kThumbWidth, selfile::kThumbHeight, layout)};
  if (!thumb.h) return nullptr;
  {
    DibLock t(thumb.h);
    if (!t.ok() || !selfile::ReadThumbnail(in.source, layout, t.view())) return nullptr;
  }
  return thumb.release();
}
