// The style editor's files and neighbours: the model folder, the safe copy of style files, and
// the windows of the sister applications that show the global style.
#include <cstring>
#include <string>
#include <vector>

#include "controls/core/ini_file.h"
#include "controls/core/style_editor.h"
#include "controls/core/style_record.h"
#include "controls/core/window_tests.h"

namespace {

// Source files above this size are no style settings.
constexpr LONGLONG kMaxStyleFile = 16 * 1024 * 1024;

class FileCopy : public style::CopySteps {
 public:
  FileCopy(const char* from, const char* to) : from_(from), to_(to) {}
  ~FileCopy() override {
    if (temp_ != INVALID_HANDLE_VALUE) CloseHandle(temp_);
  }

  bool ReadSource(std::vector<char>* bytes) override {
    HANDLE f = CreateFileA(from_, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size = {};
    bool ok = GetFileSizeEx(f, &size) && size.QuadPart >= 0 && size.QuadPart <= kMaxStyleFile;
    haveTimes_ = GetFileTime(f, &created_, &accessed_, &written_) != 0;
    if (ok) {
      bytes->resize(static_cast<size_t>(size.QuadPart));
      DWORD got = 0;
      ok = bytes->empty() || (ReadFile(f, bytes->data(), static_cast<DWORD>(bytes->size()), &got, nullptr) &&
                              got == bytes->size());
    }
    CloseHandle(f);
    return ok;
  }

  bool CreateTemporary() override {
    char folder[MAX_PATH];
    const size_t n = std::strlen(to_);
    if (n >= MAX_PATH) return false;
    std::memcpy(folder, to_, n + 1);
    char* slash = std::strrchr(folder, '\\');
    if (slash) slash[1] = '\0';
    else std::strcpy(folder, ".");
    if (!GetTempFileNameA(folder, "kvs", 0, tempName_)) return false;
    temp_ = CreateFileA(tempName_, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (temp_ == INVALID_HANDLE_VALUE) {
      DeleteFileA(tempName_);
      return false;
    }
    return true;
  }

  size_t WriteTemporary(const char* data, size_t size) override {
    const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    DWORD written = 0;
    return WriteFile(temp_, data, chunk, &written, nullptr) ? written : 0;
  }

  bool CloseTemporary() override {
    bool ok = FlushFileBuffers(temp_) != 0;
    if (haveTimes_) ok = SetFileTime(temp_, &created_, &accessed_, &written_) && ok;
    ok = CloseHandle(temp_) && ok;
    temp_ = INVALID_HANDLE_VALUE;
    return ok;
  }

  bool ReplaceDestination() override {
    return MoveFileExA(tempName_, to_, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }

  void RemoveTemporary() override {
    if (temp_ != INVALID_HANDLE_VALUE) CloseHandle(temp_);
    temp_ = INVALID_HANDLE_VALUE;
    DeleteFileA(tempName_);
  }

 private:
  const char* from_;
  const char* to_;
  char tempName_[MAX_PATH] = {};
  HANDLE temp_ = INVALID_HANDLE_VALUE;
  bool haveTimes_ = false;
  FILETIME created_ = {}, accessed_ = {}, written_ = {};
};

constexpr const char* kSisterClasses[] = {"Pelna", "KVAGENDA", "Vavoradu", "ROVIZU"};

void Visit(HWND w, SisterVisit form) {
  if (IsStyledControl(w)) return;
  if (form == SisterVisit::kRedraw) {
    RedrawWithChildren(w);
    return;
  }
  // A record on another process's window is a handle of that process: never ours to free.
  DWORD process = 0;
  GetWindowThreadProcessId(w, &process);
  if (process == GetCurrentProcessId()) ReleaseDialogStyle(w);
}

BOOL CALLBACK VisitChild(HWND w, LPARAM form) {
  Visit(w, static_cast<SisterVisit>(form));
  return TRUE;
}

BOOL CALLBACK VisitTopLevel(HWND w, LPARAM form) {
  Visit(w, static_cast<SisterVisit>(form));
  EnumChildWindows(w, VisitChild, form);
  return TRUE;
}

}  // namespace

bool ModelsFolder(char* out, DWORD capacity) { return ini::BesideLibrary("BMP\\", out, capacity); }

std::vector<std::string> ListModelNames() {
  std::vector<std::string> files;
  char pattern[MAX_PATH];
  if (!ini::BesideLibrary("BMP\\*.mdl", pattern, MAX_PATH)) return files;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) return files;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    // Found, shown, opened and deleted in the one ANSI code page of the file functions.
    CharUpperA(found.cFileName);
    files.emplace_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return style::ModelNames(files);
}

style::CopyOutcome CopyStyleFile(const char* from, const char* to) {
  FileCopy steps(from, to);
  return style::SafeCopy(steps);
}

void RedrawWithChildren(HWND window) {
  if (window && IsWindow(window))
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void VisitSisterApplications(SisterVisit form, HWND fallback) {
  bool any = false;
  for (const char* cls : kSisterClasses) {
    HWND top = FindWindowA(cls, nullptr);
    if (!top) continue;
    any = true;
    EnumThreadWindows(GetWindowThreadProcessId(top, nullptr), VisitTopLevel, static_cast<LPARAM>(form));
  }
  if (!any && form == SisterVisit::kRedraw) RedrawWithChildren(fallback);
}
