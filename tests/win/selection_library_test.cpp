// Selection files on disk and the selection library: a library folder, its list file, numbering,
// the list box's items and deletion.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "retouch/imaging/selection_store.h"
#include "retouch/imaging/selection_io.h"
#include "test_images.h"
#include "wintest.h"

namespace {

using wintest::OwnedDib;

COLORREF PatternAt(int x, int y) { return RGB((x * 37 + 5) & 0xFF, (y * 53 + 7) & 0xFF, (x * 11 + y * 5 + 1) & 0xFF); }

// Black inside a diamond, white outside.
HGLOBAL DiamondMask(int w, int h) {
  return wintest::MakeImage(w, h, [=](int x, int y) {
    return std::abs(2 * x + 1 - w) * h + std::abs(2 * y + 1 - h) * w <= w * h ? RGB(0, 0, 0) : RGB(255, 255, 255);
  });
}

bool SamePixels(HGLOBAL a, HGLOBAL b) {
  DibLock la(a), lb(b);
  if (!la.ok() || !lb.ok() || la.view().width != lb.view().width || la.view().height != lb.view().height) return false;
  for (int y = 0; y < la.view().height; ++y)
    if (std::memcmp(la.view().Row(y), lb.view().Row(y), static_cast<size_t>(la.view().width) * 3) != 0) return false;
  return true;
}

std::string Library() { return wintest::ProgramDir() + "SELDIB\\"; }

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemoveLibrary() {
  WIN32_FIND_DATAA f;
  const HANDLE h = FindFirstFileA((Library() + "*").c_str(), &f);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::string p = Library() + f.cFileName;
      if (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (f.cFileName[0] != '.') RemoveDirectoryA(p.c_str());
      } else {
        DeleteFileA(p.c_str());
      }
    } while (FindNextFileA(h, &f));
    FindClose(h);
  }
  RemoveDirectoryA(Library().c_str());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  const HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD n = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
  CloseHandle(h);
}

// A selection to save, and no library folder before or after.
class SelectionLibrary : public testing::Test {
 protected:
  void SetUp() override { RemoveLibrary(); }
  void TearDown() override {
    if (image_) GlobalFree(image_);
    if (mask_) GlobalFree(mask_);
    RemoveLibrary();
  }
  void Select(int w, int h) {
    image_ = wintest::MakeImage(w, h, PatternAt);
    mask_ = DiamondMask(w, h);
  }
  int Save() { return SaveToLibrary(Library(), image_, mask_, saved_); }
  HGLOBAL image_ = nullptr, mask_ = nullptr;
  char saved_[256] = {};
};

TEST_F(SelectionLibrary, FileLayerRoundTripAndRefusals) {
  wintest::TempDir dir("sel");
  OwnedDib image(wintest::MakeImage(23, 9, PatternAt)), mask(DiamondMask(23, 9)), other(DiamondMask(23, 10));
  {
    DibLock lock(image.h);
    lock.header()->biXPelsPerMeter = 3779;
    lock.header()->biYPelsPerMeter = 2835;
  }
  const std::string path = dir.path() + "one.tif";
  ASSERT_EQ(WriteSelectionFile(path.c_str(), image.h, mask.h), 1);
  DibHandle readImage = nullptr, readMask = nullptr;
  ASSERT_EQ(ReadSelectionImages(path.c_str(), &readImage, &readMask), 1);
  OwnedDib ri(readImage), rm(readMask);
  EXPECT_TRUE(SamePixels(ri.h, image.h));
  EXPECT_TRUE(SamePixels(rm.h, mask.h));
  {
    DibLock lock(ri.h);
    EXPECT_EQ(lock.header()->biXPelsPerMeter, 3779);
    EXPECT_EQ(lock.header()->biYPelsPerMeter, 2834);
    EXPECT_EQ(lock.header()->biSizeImage, 72u * 9u);
  }
  OwnedDib thumb(ReadSelectionThumbnail(path.c_str()));
  int w = 0, h = 0, bits = 0;
  ASSERT_EQ(DibGetInfo(thumb.h, &w, &h, &bits), 1);
  EXPECT_EQ(w * 10000 + h * 100 + bits, 40 * 10000 + 30 * 100 + 24);

  // Refused before anything is created: a mask of another size, a missing folder.
  const std::string refused = dir.path() + "two.tif";
  EXPECT_EQ(WriteSelectionFile(refused.c_str(), image.h, other.h), 0);
  EXPECT_FALSE(Exists(refused));
  EXPECT_EQ(WriteSelectionFile((dir.path() + "none\\three.tif").c_str(), image.h, mask.h), 0);
  // A new file never replaces one that is there.
  BOOL exists = FALSE;
  EXPECT_EQ(WriteNewSelectionFile(path.c_str(), image.h, other.h, &exists), 0);
  EXPECT_EQ(WriteNewSelectionFile(path.c_str(), image.h, mask.h, &exists), 0);
  EXPECT_TRUE(exists);
  // A file that is not one gives nothing.
  WriteBytes(refused, "II*");
  DibHandle none = nullptr;
  EXPECT_EQ(ReadSelectionImages(refused.c_str(), &none, &none), 0);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(ReadSelectionThumbnail(refused.c_str()), nullptr);
}

TEST_F(SelectionLibrary, NumbersFilesAndKeepsTheListFile) {
  HWND list = CreateWindowA("LISTBOX", "", LBS_OWNERDRAWFIXED, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  // No folder until the first save, and none for a save without a selection.
  EXPECT_EQ(FillListFromFolder(list, Library()), 0);
  EXPECT_EQ(Save(), 0);
  EXPECT_FALSE(Exists(Library()));
  DestroyWindow(list);

  Select(31, 17);
  ASSERT_EQ(Save(), 1);
  EXPECT_EQ(wintest::ReadFileText(Library() + "seldib.lst"), "001\r\nseld_001.tif\r\n");
  EXPECT_EQ(std::string(saved_), Library() + "seld_001.tif");
  ASSERT_EQ(Save(), 1);
  // Deleted numbers are not given out again; the list file keeps its record.
  ASSERT_TRUE(DeleteFileA((Library() + "seld_002.tif").c_str()));
  ASSERT_EQ(Save(), 1);
  EXPECT_TRUE(Exists(Library() + "seld_003.tif"));
  EXPECT_EQ(wintest::ReadFileText(Library() + "seldib.lst"), "003\r\nseld_001.tif\r\nseld_002.tif\r\nseld_003.tif\r\n");

  // A lost counter never leads over an existing file; a name taken by something else is passed.
  WriteBytes(Library() + "seldib.lst", "zz\r\n");
  ASSERT_TRUE(CreateDirectoryA((Library() + "seld_004.tif").c_str(), nullptr));
  ASSERT_EQ(Save(), 1);
  EXPECT_EQ(std::string(saved_), Library() + "seld_005.tif");
  EXPECT_EQ(wintest::ReadFileText(Library() + "seldib.lst"), "005\r\nseld_005.tif\r\n");

  // The last number used: the library refuses further saves and changes nothing.
  WriteBytes(Library() + "seldib.lst", "999\r\n");
  EXPECT_EQ(Save(), 0);
  EXPECT_EQ(wintest::ReadFileText(Library() + "seldib.lst"), "999\r\n");
  EXPECT_FALSE(Exists(Library() + "seld_1000.tif"));
}

// A parent that frees the items its owner-drawn list box deletes.
LRESULT CALLBACK ListParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DELETEITEM) {
    DeleteLibraryItem(reinterpret_cast<const DELETEITEMSTRUCT*>(lParam));
    return TRUE;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

std::vector<std::string> Entries(HWND list) {
  std::vector<std::string> names;
  for (LRESULT i = 0; i < SendMessageA(list, LB_GETCOUNT, 0, 0); ++i) {
    const auto* item = reinterpret_cast<const LibraryItem*>(SendMessageA(list, LB_GETITEMDATA, i, 0));
    names.push_back(item && item->thumbnail ? std::string(std::strrchr(item->path, '\\') + 1) : "?");
  }
  return names;
}

TEST_F(SelectionLibrary, ListsLoadableFilesInNameOrderAndDeletesOnlyWhatIsGone) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = ListParentProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "SelectionListParent";
  RegisterClassA(&wc);
  HWND parent = CreateWindowA("SelectionListParent", "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, wc.hInstance, nullptr);
  HWND list = CreateWindowA("LISTBOX", "", WS_CHILD | LBS_OWNERDRAWFIXED, 0, 0, 100, 100, parent, nullptr, wc.hInstance, nullptr);
  ASSERT_TRUE(parent) << GetLastError();
  ASSERT_TRUE(list) << GetLastError();

  Select(12, 40);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(Save(), 1);
  ASSERT_TRUE(CopyFileA((Library() + "seld_002.tif").c_str(), (Library() + "B.tif").c_str(), TRUE));
  WriteBytes(Library() + "a.tif", "II*\0\10\0\0\0 not a selection");  // foreign: left out
  std::string cut = wintest::ReadFileText(Library() + "seld_001.tif");
  cut.resize(cut.size() - 1);
  WriteBytes(Library() + "cut.tif", cut);  // no whole thumbnail: left out
  WriteBytes(Library() + "empty.tif", "");

  ASSERT_EQ(FillListFromFolder(list, Library()), 1);
  EXPECT_EQ(Entries(list), (std::vector<std::string>{"B.tif", "seld_001.tif", "seld_002.tif", "seld_003.tif"}));

  // An entry added after a save goes where its name belongs.
  ASSERT_EQ(InsertLibraryItem(list, NewLibraryItem((Library() + "seld_003.tif").c_str())), 4);
  EXPECT_EQ(InsertLibraryItem(list, NewLibraryItem((Library() + "a.tif").c_str())), -1);

  // A file that cannot be deleted (held open without sharing) keeps its entry.
  const std::string held = Library() + "seld_001.tif";
  const HANDLE h = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(DeleteLibraryEntry(list, 1), 0);
  CloseHandle(h);
  EXPECT_TRUE(Exists(held));
  EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 5);
  EXPECT_EQ(DeleteLibraryEntry(list, 1), 1);
  EXPECT_FALSE(Exists(held));
  EXPECT_EQ(Entries(list), (std::vector<std::string>{"B.tif", "seld_002.tif", "seld_003.tif", "seld_003.tif"}));
  EXPECT_EQ(DeleteLibraryEntry(list, 9), 0);
  DestroyWindow(parent);  // the remaining items are freed through WM_DELETEITEM
}

}  // namespace
