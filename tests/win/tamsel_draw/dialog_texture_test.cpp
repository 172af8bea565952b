// Dialog backgrounds through the library itself: a copy of Tamsel.dll in a folder of its own,
// with its style settings file and "bmp" folder beside it, paints real windows into DIB
// sections from WM_ERASEBKGND.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "bmp_files.h"
#include "controls/widgets/drawing.h"
#include "wintest.h"

namespace {

using wintest::Canvas32;

using FillFn = int(WINAPI*)(HWND, HDC, int);
using EndFn = int(WINAPI*)(HWND);
using GradientFn = int(WINAPI*)(HDC, const RECT*, COLORREF, COLORREF);

constexpr ATOM kStyleProp = 4013;
constexpr ATOM kNumberProp = 4014;

class DialogTexture : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new wintest::TempDir("tamsel");
    const std::string dll = dir_->path() + "Tamsel.dll";
    ASSERT_TRUE(wintest::CopyFileTo(wintest::ProgramDir() + "Tamsel.dll", dll));
    CreateDirectoryA((dir_->path() + "bmp").c_str(), nullptr);
    // Dialogs read their own sections: the background's global flag is off.
    ASSERT_TRUE(WritePrivateProfileStringA("Aspect Global", "Fond", "0", Ini().c_str()));
    module_ = LoadLibraryA(dll.c_str());
    ASSERT_NE(module_, nullptr);
    fill_ = reinterpret_cast<FillFn>(reinterpret_cast<void*>(GetProcAddress(module_, "FillDlgWithTexture")));
    end_ = reinterpret_cast<EndFn>(reinterpret_cast<void*>(GetProcAddress(module_, "EndDlgTexture")));
    gradient_ = reinterpret_cast<GradientFn>(reinterpret_cast<void*>(GetProcAddress(module_, "fill_rect_Hgradient")));
    ASSERT_TRUE(fill_ && end_ && gradient_);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DialogProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TamselTextureTestDialog";
    wc.cbWndExtra = sizeof(LONG_PTR);
    RegisterClassA(&wc);
  }
  static void TearDownTestSuite() {
    UnregisterClassA("TamselTextureTestDialog", GetModuleHandleA(nullptr));
    if (module_) FreeLibrary(module_);
    delete dir_;
  }

  static std::string Ini() { return dir_->path() + "kvfonds.ini"; }

  // The dialog's number is in its extra bytes; it paints its background as library dialogs do.
  static LRESULT CALLBACK DialogProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
      case WM_ERASEBKGND:
        lastResult_ = fill_(w, reinterpret_cast<HDC>(wp), static_cast<int>(GetWindowLongPtrA(w, 0)));
        return 1;
      case WM_DESTROY:
        lastEnd_ = end_(w);
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
  }

  // Section "D<number>" with the background line: texture file, kind, two colours.
  static void WriteStyle(int number, const std::string& texture, int kind, COLORREF first, COLORREF second) {
    char section[16], line[512];
    std::snprintf(section, sizeof section, "D%d", number);
    std::snprintf(line, sizeof line, "%s,%d,0x%lX,0x%lX,0x%lX,0x0,1,0,0,0,-11,400,0,0,Arial", texture.c_str(), kind,
                  static_cast<unsigned long>(first), static_cast<unsigned long>(second),
                  static_cast<unsigned long>(first));
    ASSERT_TRUE(WritePrivateProfileStringA(section, "Fonds", line, Ini().c_str()));
  }

  HWND MakeDialog(int number, int w, int h, HWND parent = nullptr) {
    HWND d = CreateWindowExA(0, "TamselTextureTestDialog", "", parent ? WS_CHILD : WS_POPUP, 0, 0, w, h, parent,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_NE(d, nullptr);
    SetWindowLongPtrA(d, 0, number);
    return d;
  }

  // Paints the dialog's background into a canvas of its size.
  static void Erase(HWND d, Canvas32* c) { SendMessageA(d, WM_ERASEBKGND, reinterpret_cast<WPARAM>(c->dc()), 0); }

  std::string WriteTexture(const std::string& name, int w, int h, const drawtest::PixelFn& pixel) {
    const std::string path = dir_->path() + name;
    EXPECT_TRUE(drawtest::WriteFileBytes(path, drawtest::Bmp24(w, h, pixel)));
    return path;
  }

  static wintest::TempDir* dir_;
  static HMODULE module_;
  static FillFn fill_;
  static EndFn end_;
  static GradientFn gradient_;
  static int lastResult_;
  static int lastEnd_;
};

wintest::TempDir* DialogTexture::dir_ = nullptr;
HMODULE DialogTexture::module_ = nullptr;
FillFn DialogTexture::fill_ = nullptr;
EndFn DialogTexture::end_ = nullptr;
GradientFn DialogTexture::gradient_ = nullptr;
int DialogTexture::lastResult_ = 0;
int DialogTexture::lastEnd_ = 0;

TEST_F(DialogTexture, GradientDialogsAndTheExportedGradient) {
  WriteStyle(501, "", 2, RGB(0, 0, 0), RGB(255, 0, 0));
  WriteStyle(502, "", 1, RGB(0, 0, 0), RGB(255, 0, 0));
  HWND across = MakeDialog(501, 100, 30), down = MakeDialog(502, 30, 100);
  Canvas32 a(100, 30), d(30, 100);
  Erase(across, &a);
  EXPECT_EQ(lastResult_, 1);
  EXPECT_EQ(a.Pixel(0, 15), RGB(2, 0, 0));
  EXPECT_EQ(a.Pixel(99, 15), RGB(255, 0, 0));
  Erase(down, &d);
  EXPECT_EQ(d.Pixel(15, 0), RGB(2, 0, 0));
  EXPECT_EQ(d.Pixel(15, 99), RGB(255, 0, 0));
  EXPECT_NE(GetPropA(across, MAKEINTATOM(kStyleProp)), nullptr);
  EXPECT_EQ(reinterpret_cast<INT_PTR>(GetPropA(across, MAKEINTATOM(kNumberProp))), 501);
  DestroyWindow(across);
  EXPECT_EQ(lastEnd_, 501);
  DestroyWindow(down);

  Canvas32 e(100, 2);
  RECT r = {0, 0, 100, 2};
  gradient_(e.dc(), &r, RGB(0, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(e.Pixel(0, 0), RGB(2, 0, 0));
  EXPECT_EQ(e.Pixel(99, 1), RGB(255, 0, 0));
}

TEST_F(DialogTexture, NumberZeroWithoutARecordPaintsTheFaceAndBuildsNothing) {
  HWND d = MakeDialog(0, 40, 20);
  Canvas32 c(40, 20, RGB(1, 2, 3));
  Erase(d, &c);
  EXPECT_EQ(lastResult_, 1);
  EXPECT_EQ(c.Pixel(10, 10), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(GetPropA(d, MAKEINTATOM(kStyleProp)), nullptr);
  EXPECT_EQ(GetPropA(d, MAKEINTATOM(kNumberProp)), nullptr);
  DestroyWindow(d);
  EXPECT_EQ(lastEnd_, 0);
}

TEST_F(DialogTexture, TiledTextureLargerThanTheDialogAndTheBmpFolderFallback) {
  const std::string big = WriteTexture("big.bmp", 300, 200, drawtest::TexturePixel);
  WriteStyle(511, big, 4, 0, 0);
  HWND d = MakeDialog(511, 120, 80);
  Canvas32 c(120, 80);
  Erase(d, &c);
  EXPECT_EQ(lastResult_, 1);
  EXPECT_EQ(c.Pixel(0, 0), drawtest::TexturePixel(0, 0));
  EXPECT_EQ(c.Pixel(119, 79), drawtest::TexturePixel(119, 79));
  EXPECT_EQ(c.Pixel(60, 33), drawtest::TexturePixel(60, 33));
  DestroyWindow(d);

  // Named with a folder that does not exist: found in "bmp" beside the library.
  auto stripes = [](int x, int) { return x % 2 ? RGB(200, 10, 10) : RGB(10, 10, 200); };
  ASSERT_TRUE(drawtest::WriteFileBytes(dir_->path() + "bmp\\stripes.bmp", drawtest::Bmp24(4, 4, stripes)));
  WriteStyle(512, "C:\\no-such-folder\\stripes.bmp", 4, 0, 0);
  HWND f = MakeDialog(512, 20, 10);
  Canvas32 s(20, 10);
  Erase(f, &s);
  EXPECT_EQ(lastResult_, 1);
  EXPECT_EQ(s.Pixel(0, 0), RGB(10, 10, 200));
  EXPECT_EQ(s.Pixel(17, 9), RGB(200, 10, 10));
  DestroyWindow(f);

  // A texture that cannot be found shows the button face.
  WriteStyle(513, "C:\\no-such-folder\\nothing.bmp", 4, 0, 0);
  HWND n = MakeDialog(513, 20, 10);
  Canvas32 z(20, 10, RGB(1, 2, 3));
  Erase(n, &z);
  EXPECT_EQ(lastResult_, 0);
  EXPECT_EQ(z.Pixel(5, 5), GetSysColor(COLOR_BTNFACE));
  DestroyWindow(n);
}

TEST_F(DialogTexture, PlacedTexturesWithEachFitFlagAndTheGradientAround) {
  auto texel = [](int x, int y) { return RGB(x * 20 + 5, y * 10 + 5, 99); };
  const std::string tex = WriteTexture("placed.bmp", 10, 20, texel);
  const COLORREF around = RGB(30, 200, 60);
  // Kinds above 4 are the packed placement form: 0x80 fit width, 0x100 fit height,
  // 0x200 align right, 0x400 align bottom.
  struct Case {
    int kind;
    RECT dest;
  };
  const Case cases[] = {
      {5, {0, 0, 10, 20}},          {5 | 0x200, {190, 0, 200, 20}},  {5 | 0x400, {0, 80, 10, 100}},
      {5 | 0x100, {0, 0, 50, 100}}, {5 | 0x300, {150, 0, 200, 100}}, {5 | 0x180, {0, 0, 200, 100}},
      {5 | 0x80, {0, 0, 200, 400}},
  };
  int number = 520;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.kind);
    WriteStyle(++number, tex, k.kind, around, around);
    HWND d = MakeDialog(number, 200, 100);
    Canvas32 c(200, 100);
    Erase(d, &c);
    EXPECT_EQ(lastResult_, 1);
    const int dw = k.dest.right - k.dest.left, dh = k.dest.bottom - k.dest.top;
    EXPECT_EQ(c.Pixel(k.dest.left + dw / 20, k.dest.top + dh / 40), texel(0, 0));
    if (k.dest.bottom <= 100) {
      EXPECT_EQ(c.Pixel(k.dest.left + dw * 19 / 20, k.dest.top + dh * 79 / 80), texel(9, 19));
    }
    if (k.dest.left > 0) {
      EXPECT_EQ(c.Pixel(k.dest.left - 1, k.dest.top), around);
    }
    if (k.dest.right < 200) {
      EXPECT_EQ(c.Pixel(k.dest.right, k.dest.top), around);
    }
    if (k.dest.bottom < 100) {
      EXPECT_EQ(c.Pixel(k.dest.left, k.dest.bottom), around);
    }
    DestroyWindow(d);
  }
}

TEST_F(DialogTexture, ControlsGetTheirParentsBackground) {
  WriteStyle(530, "", 2, RGB(0, 0, 0), RGB(255, 0, 0));
  HWND parent = MakeDialog(530, 100, 40);
  HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 30, 5, 40, 20, parent, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(child, nullptr);
  Canvas32 p(100, 40);
  Erase(parent, &p);  // the first paint builds the dialog's record

  Canvas32 c(40, 20, RGB(9, 9, 9));
  SetTextColor(c.dc(), RGB(7, 7, 7));
  PaintParentBackground(child, c.dc());
  EXPECT_EQ(c.Pixel(0, 0), p.Pixel(30, 5));
  EXPECT_EQ(c.Pixel(39, 19), p.Pixel(69, 24));
  EXPECT_EQ(GetTextColor(c.dc()), RGB(7, 7, 7));
  POINT origin;
  GetWindowOrgEx(c.dc(), &origin);
  EXPECT_EQ(origin.x, 0);
  EXPECT_EQ(origin.y, 0);

  // A round control: the corners show the parent, the inside is the control's own.
  Canvas32 r(40, 20, RGB(9, 9, 9));
  ClipToRoundRect(child, r.dc(), 12);
  RECT all = {0, 0, 40, 20};
  FillRect(r.dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(r.Pixel(0, 0), p.Pixel(30, 5));
  EXPECT_EQ(r.Pixel(39, 19), p.Pixel(69, 24));
  EXPECT_EQ(r.Pixel(20, 10), RGB(255, 255, 255));
  EXPECT_EQ(r.Pixel(20, 0), RGB(255, 255, 255));
  DestroyWindow(parent);
}

TEST_F(DialogTexture, TabPagesAskedForTheirBackgroundPaintTheirOwn) {
  // Any class whose name starts with "KVTABPAG" is a tab page here.
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "KvTabPageProbe";
  ASSERT_TRUE(RegisterClassA(&wc));
  WriteStyle(540, "", 2, RGB(0, 0, 0), RGB(255, 0, 0));
  HWND page = CreateWindowExA(0, "KvTabPageProbe", "", WS_POPUP, 0, 0, 100, 10, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  HWND plain = MakeDialog(0, 100, 10);
  Canvas32 c(100, 10);
  SetTextColor(c.dc(), kParentBackgroundMarker);
  EXPECT_EQ(fill_(page, c.dc(), 540), 1);
  EXPECT_EQ(reinterpret_cast<INT_PTR>(GetPropA(page, MAKEINTATOM(kNumberProp))), 540);
  EXPECT_NE(GetPropA(page, MAKEINTATOM(kStyleProp)), nullptr);
  EXPECT_EQ(c.Pixel(99, 5), RGB(255, 0, 0));
  // Any other window asked for its background builds no record.
  EXPECT_EQ(fill_(plain, c.dc(), 541), 1);
  EXPECT_EQ(GetPropA(plain, MAKEINTATOM(kStyleProp)), nullptr);
  EXPECT_EQ(end_(page), 540);
  EXPECT_EQ(GetPropA(page, MAKEINTATOM(kStyleProp)), nullptr);
  DestroyWindow(page);
  DestroyWindow(plain);
  UnregisterClassA("KvTabPageProbe", GetModuleHandleA(nullptr));
}

}  // namespace
