// Selection files on disk and the selection library's folder: numbering, the list file, the list
// box's items and deletion.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "retouch/imaging/selection_io.h"
#include "retouch/imaging/selection_store.h"
#include "test_images.h"
#include "wintest.h"

namespace {

COLORREF PatternAt(int x, int y) { return RGB((x * 37 + 5) & 0xFF, (y * 53 + 7) & 0xFF, (x * 11 + y * 5 + 1) & 0xFF); }
HGLOBAL DiamondMask(int w, int h) {
  return wintest::MakeImage(w, h, [=](int x, int y) {
    return std::abs(2 * x + 1 - w) * h + std::abs(2 * y + 1 - h) * w <= w * h ? RGB(0, 0, 0) : RGB(255, 255, 255);
  });
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
void WriteBytes(const std::string& path, const std::string& bytes) {
  const HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD n = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
  CloseHandle(h);
}

// A selection to save into a library folder that does not exist yet.
class SelectionLibrary : public testing::Test {
 protected:
  SelectionLibrary() : image_(wintest::MakeImage(31, 17, PatternAt)), mask_(DiamondMask(31, 17)) {}
  ~SelectionLibrary() override {
    GlobalFree(image_);
    GlobalFree(mask_);
  }
  int Save() { return SaveToLibrary(folder_, image_, mask_, saved_); }
  std::string List() const { return wintest::ReadFileText(folder_ + "seldib.lst"); }
  wintest::TempDir temp_{"lib"};
  const std::string folder_ = temp_.path() + "SELDIB\\";
  HGLOBAL image_, mask_;
  char saved_[256] = {};
};

TEST_F(SelectionLibrary, FilesReadBackAndRefusalsWriteNothing) {
  const std::string path = temp_.path() + "one.tif";
  ASSERT_EQ(WriteSelectionFile(path.c_str(), image_, mask_), 1);
  DibHandle image = nullptr, mask = nullptr;
  ASSERT_EQ(ReadSelectionImages(path.c_str(), &image, &mask), 1);
  EXPECT_EQ(wintest::ImagePixel(image, 5, 3), PatternAt(5, 3));
  EXPECT_EQ(wintest::ImagePixel(mask, 15, 8), RGB(0, 0, 0));
  EXPECT_EQ(wintest::ImagePixel(mask, 0, 0), RGB(255, 255, 255));
  GlobalFree(image);
  GlobalFree(mask);
  wintest::OwnedDib thumb(ReadSelectionThumbnail(path.c_str()));
  EXPECT_NE(thumb.h, nullptr);
  // A mask of another size is refused before a file is made; an existing file is never replaced.
  wintest::OwnedDib other(DiamondMask(31, 18));
  EXPECT_EQ(WriteSelectionFile((temp_.path() + "two.tif").c_str(), image_, other.h), 0);
  EXPECT_FALSE(Exists(temp_.path() + "two.tif"));
  BOOL exists = FALSE;
  EXPECT_EQ(WriteNewSelectionFile(path.c_str(), image_, mask_, &exists), 0);
  EXPECT_TRUE(exists);
}

TEST_F(SelectionLibrary, NumbersNeverOverwriteNorComeBack) {
  HWND list = CreateWindowA("LISTBOX", "", LBS_OWNERDRAWFIXED, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(FillListFromFolder(list, folder_), 0);
  DestroyWindow(list);
  EXPECT_FALSE(Exists(folder_)) << "no folder until the first save";

  ASSERT_EQ(Save(), 1);
  EXPECT_EQ(List(), "001\r\nseld_001.tif\r\n");
  EXPECT_EQ(std::string(saved_), folder_ + "seld_001.tif");
  ASSERT_EQ(Save(), 1);
  ASSERT_TRUE(DeleteFileA((folder_ + "seld_002.tif").c_str()));
  ASSERT_EQ(Save(), 1);
  EXPECT_EQ(List(), "003\r\nseld_001.tif\r\nseld_002.tif\r\nseld_003.tif\r\n");

  // A lost counter, and a name taken by something the scan does not count.
  WriteBytes(folder_ + "seldib.lst", "zz\r\n");
  ASSERT_TRUE(CreateDirectoryA((folder_ + "seld_004.tif").c_str(), nullptr));
  ASSERT_EQ(Save(), 1);
  EXPECT_EQ(std::string(saved_), folder_ + "seld_005.tif");
  RemoveDirectoryA((folder_ + "seld_004.tif").c_str());

  // After 999 the library is full: nothing written, the list file unchanged.
  WriteBytes(folder_ + "seldib.lst", "999\r\n");
  EXPECT_EQ(Save(), 0);
  EXPECT_EQ(List(), "999\r\n");
}

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
    names.push_back(item && item->thumbnail ? std::strrchr(item->path, '\\') + 1 : "?");
  }
  return names;
}

TEST_F(SelectionLibrary, ListsLoadableFilesInNameOrderAndDeletesOnlyWhatIsGone) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = ListParentProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "SelectionListParent";
  RegisterClassA(&wc);
  HWND parent = CreateWindowA(wc.lpszClassName, "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, wc.hInstance, nullptr);
  HWND list = CreateWindowA("LISTBOX", "", WS_CHILD | LBS_OWNERDRAWFIXED, 0, 0, 100, 100, parent, nullptr, wc.hInstance, nullptr);
  ASSERT_TRUE(list);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(Save(), 1);
  ASSERT_TRUE(CopyFileA((folder_ + "seld_002.tif").c_str(), (folder_ + "B.tif").c_str(), TRUE));
  WriteBytes(folder_ + "a.tif", "II*");  // foreign files are left out
  std::string cut = wintest::ReadFileText(folder_ + "seld_001.tif");
  WriteBytes(folder_ + "cut.tif", cut.substr(0, cut.size() - 1));

  ASSERT_EQ(FillListFromFolder(list, folder_), 1);
  EXPECT_EQ(Entries(list), (std::vector<std::string>{"B.tif", "seld_001.tif", "seld_002.tif", "seld_003.tif"}));
  ASSERT_EQ(InsertLibraryItem(list, NewLibraryItem((folder_ + "seld_001.tif").c_str())), 2);

  // A file held open without sharing cannot be deleted: its entry stays.
  const HANDLE held = CreateFileA((folder_ + "seld_001.tif").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(DeleteLibraryEntry(list, 1), 0);
  CloseHandle(held);
  EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 5);
  EXPECT_EQ(DeleteLibraryEntry(list, 1), 1);
  EXPECT_FALSE(Exists(folder_ + "seld_001.tif"));
  EXPECT_EQ(Entries(list), (std::vector<std::string>{"B.tif", "seld_001.tif", "seld_002.tif", "seld_003.tif"}));
  DestroyWindow(parent);  // the remaining items are freed through WM_DELETEITEM
}

}  // namespace
