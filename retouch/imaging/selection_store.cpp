// The selection library's files and list items. The numbering and the list file's text are the
// portable rules of selection_library.h; here they meet the file system.
#include "retouch/imaging/selection_store.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "retouch/imaging/selection_io.h"
#include "retouch/imaging/selection_library.h"

namespace {

bool IsFolder(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// Names of the plain files of `folder` that match `pattern`.
std::vector<std::string> FilesIn(const std::string& folder, const char* pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((folder + pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

const char* FileNameOf(const char* path) {
  const char* slash = std::strrchr(path, '\\');
  return slash ? slash + 1 : path;
}

class ListFile {
 public:
  explicit ListFile(const char* path)
      : h_(CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)) {
    if (h_ == INVALID_HANDLE_VALUE) return;
    // A new list file starts with its counter, so that a failed first save leaves it readable.
    if (GetLastError() != ERROR_ALREADY_EXISTS) Rewrite(sellib::kNewListFile);
  }
  ~ListFile() {
    if (ok()) CloseHandle(h_);
  }
  ListFile(const ListFile&) = delete;
  ListFile& operator=(const ListFile&) = delete;
  bool ok() const { return h_ != INVALID_HANDLE_VALUE; }

  // The text; a file far larger than any list this library writes counts as no list.
  std::string Text() const {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(h_, &size) || size.QuadPart <= 0 ||
        static_cast<uint64_t>(size.QuadPart) > sellib::kMaxListFileBytes) {
      return {};
    }
    std::string text(static_cast<size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    if (SetFilePointer(h_, 0, nullptr, FILE_BEGIN) != 0 ||
        !ReadFile(h_, text.data(), static_cast<DWORD>(text.size()), &got, nullptr)) {
      return {};
    }
    text.resize(got);
    return text;
  }

  bool Rewrite(const std::string& text) {
    DWORD written = 0;
    return SetFilePointer(h_, 0, nullptr, FILE_BEGIN) == 0 &&
           WriteFile(h_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size() &&
           SetEndOfFile(h_);
  }

 private:
  HANDLE h_;
};

}  // namespace

int SaveToLibrary(const std::string& folder, DibHandle image, DibHandle mask, char* savedPath) {
  if (!image || !mask) return 0;
  DibLock patch(image), shape(mask);
  if (!patch.ok() || !shape.ok()) return 0;
  return SaveToLibrary(folder, patch.view(), shape.view(), patch.header()->biXPelsPerMeter,
                       patch.header()->biYPelsPerMeter, savedPath);
}

int SaveToLibrary(const std::string& folder, const dib::View& image, const dib::View& mask, int32_t xPelsPerMeter,
                  int32_t yPelsPerMeter, char* savedPath) {
  if (!image.valid() || !mask.valid() || !savedPath || folder.empty()) return 0;
  if (!IsFolder(folder) && !CreateDirectoryA(folder.c_str(), nullptr)) return 0;
  char path[sellib::kPathBuffer];
  if (!sellib::JoinPath(folder, sellib::kListFileName, path)) return 0;
  ListFile list(path);
  if (!list.ok()) return 0;
  const std::string text = list.Text();

  // Above everything the list file and the folder know of; a name taken meanwhile (or by a file
  // the scan did not see) moves on to the next number, never over the file.
  int n = sellib::NextNumber(text, FilesIn(folder, "*"));
  for (; n != 0 && n <= sellib::kMaxNumber; ++n) {
    if (!sellib::JoinPath(folder, sellib::NameOfNumber(n), path)) return 0;
    BOOL exists = FALSE;
    if (WriteNewSelectionFile(path, image, mask, xPelsPerMeter, yPelsPerMeter, &exists)) break;
    if (!exists) return 0;
  }
  if (n == 0 || n > sellib::kMaxNumber) return 0;
  // The selection is saved: a list file that cannot be updated costs only its record, since
  // the numbering also looks at the files themselves.
  list.Rewrite(sellib::ListFileAfterSave(text, n));
  std::memcpy(savedPath, path, sellib::kPathBuffer);
  return 1;
}

LibraryItem* NewLibraryItem(const char* path) {
  if (!path || std::strlen(path) >= sellib::kPathBuffer) return nullptr;
  const DibHandle thumbnail = ReadSelectionThumbnail(path);
  if (!thumbnail) return nullptr;
  auto* item = static_cast<LibraryItem*>(GlobalAlloc(GPTR, sizeof(LibraryItem)));
  char* buffer = static_cast<char*>(GlobalAlloc(GPTR, sellib::kPathBuffer));
  if (!item || !buffer) {
    if (item) GlobalFree(item);
    if (buffer) GlobalFree(buffer);
    GlobalFree(thumbnail);
    return nullptr;
  }
  std::strcpy(buffer, path);
  item->path = buffer;
  item->thumbnail = thumbnail;
  return item;
}

void FreeLibraryItem(LibraryItem* item) {
  if (!item) return;
  if (item->thumbnail) GlobalFree(item->thumbnail);
  if (item->path) GlobalFree(item->path);
  GlobalFree(item);
}

int InsertLibraryItem(HWND list, LibraryItem* item) {
  if (!item) return -1;
  const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  LRESULT at = 0;
  for (; count != LB_ERR && at < count; ++at) {
    const LRESULT data = SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(at), 0);
    const auto* other = reinterpret_cast<const LibraryItem*>(data);
    if (data != LB_ERR && other && sellib::NameBefore(FileNameOf(item->path), FileNameOf(other->path))) break;
  }
  const LRESULT index = SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(item));
  if (index == LB_ERR || index == LB_ERRSPACE) {
    FreeLibraryItem(item);
    return -1;
  }
  return static_cast<int>(index);
}

int FillListFromFolder(HWND list, const std::string& folder) {
  if (!IsFolder(folder)) return 0;
  std::vector<std::string> names = FilesIn(folder, "*.tif");
  // The file system's order differs between systems.
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return sellib::NameBefore(a, b); });
  for (const std::string& name : names) {
    char path[sellib::kPathBuffer];
    // A path that does not fit names another file when cut: left out.
    if (!sellib::JoinPath(folder, name, path)) continue;
    LibraryItem* item = NewLibraryItem(path);
    if (!item) continue;
    const LRESULT index = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    if (index == LB_ERR || index == LB_ERRSPACE) FreeLibraryItem(item);
  }
  return 1;
}

void DeleteLibraryItem(const DELETEITEMSTRUCT* item) {
  if (item && item->CtlType == ODT_LISTBOX) FreeLibraryItem(reinterpret_cast<LibraryItem*>(item->itemData));
}

int DeleteLibraryEntry(HWND list, int index) {
  const LRESULT data = SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
  const auto* item = reinterpret_cast<const LibraryItem*>(data);
  if (index < 0 || data == LB_ERR || !item || !item->path) return 0;
  // The entry goes only with its file: one that could not be deleted stays listed.
  if (!DeleteFileA(item->path) && GetFileAttributesA(item->path) != INVALID_FILE_ATTRIBUTES) return 0;
  return SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(index), 0) != LB_ERR;
}
