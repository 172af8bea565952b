// Style records and "kvfonds.ini" through the real private-profile functions, with the library's
// code built into the test program: the library module is a copy in a temporary folder, so the
// settings file lies there.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "controls/core/library.h"
#include "controls/core/locale_info.h"
#include "controls/core/style_record.h"
#include "controls/core/window_tests.h"
#include "record_view.h"
#include "wintest.h"

namespace {

class StyleFile : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TamselStyleDialog";
    RegisterClassA(&wc);
    wc.lpszClassName = "TamselPanel";
    RegisterClassA(&wc);
    dir = new wintest::TempDir("style");
    const std::string copy = dir->path() + "tamselhost.dll";
    ASSERT_TRUE(wintest::CopyFileTo(wintest::ProgramDir() + "TamselTestRes.dll", copy));
    module = LoadLibraryA(copy.c_str());
    ASSERT_NE(module, nullptr);
  }
  static void TearDownTestSuite() {
    FreeLibrary(module);
    delete dir;
  }

  void SetUp() override {
    DeleteFileA(Ini().c_str());
    Reload();
    dialog = CreateWindowExA(0, "TamselStyleDialog", "dialog", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(dialog, nullptr);
    button = CreateWindowExA(0, "BUTTON", "b", WS_CHILD, 0, 0, 50, 20, dialog, nullptr, nullptr, nullptr);
    SetPropA(dialog, PROP_DLG_TEXTURE, reinterpret_cast<HANDLE>(42));
  }
  void TearDown() override {
    ReleaseDialogStyle(dialog);
    RemovePropA(dialog, PROP_DLG_TEXTURE);
    DestroyWindow(dialog);
    SetOpenLibraryDialog(nullptr);
    tamsel::LibraryDetach();
    ResetGlobalStyle();
  }

  // The library's load work again, on the current file.
  static void Reload() {
    tamsel::LibraryDetach();
    ResetGlobalStyle();
    ASSERT_TRUE(tamsel::LibraryAttach(module));
  }
  static std::string Ini() { return dir->path() + "kvfonds.ini"; }
  static void Put(const char* section, const char* key, const char* value) {
    WritePrivateProfileStringA(section, key, value, Ini().c_str());
  }
  // The dialog's record, read directly.
  StyleEntry Entry(StyleElement e) { return DialogEntry(dialog, e); }

  static wintest::TempDir* dir;
  static HMODULE module;
  HWND dialog = nullptr;
  HWND button = nullptr;
};
wintest::TempDir* StyleFile::dir = nullptr;
HMODULE StyleFile::module = nullptr;

TEST_F(StyleFile, WithoutAFileTheGlobalStyleIsBuiltIn) {
  const StyleRecord& g = GlobalStyle();
  EXPECT_STREQ(g.entries[kStyleBackground].key, "Fonds");
  EXPECT_STREQ(g.entries[kStyleButtons].key, "Boutons");
  EXPECT_STREQ(g.entries[kStyleInputs].key, "Saisies");
  EXPECT_STREQ(g.entries[kStyleLists].key, "Liste");
  for (int e = 0; e < kStyleElementCount; ++e) EXPECT_EQ(GetGlobalFlag(StyleElement(e)), 1);
  EXPECT_EQ(GetStyleFirstColour(nullptr, kStyleBackground), 0xC0C0C0u);
  EXPECT_EQ(GetStyleFirstColour(nullptr, kStyleButtons), 0xE4E4E4u);
  EXPECT_EQ(GetStyleSecondColour(nullptr, kStyleButtons), 0xC0C0C0u);
  EXPECT_EQ(GetStyleFirstColour(nullptr, kStyleInputs), 0xFFFFFFu);
  EXPECT_EQ(GetStyleRelief(nullptr, kStyleBackground), 1);
  EXPECT_EQ(GetStyleEmbossed(nullptr, kStyleBackground), 0);
  EXPECT_EQ(GetStyleEmbossed(nullptr, kStyleLists), 1);
  EXPECT_EQ(GetStyleFontDesc(nullptr, kStyleButtons)->weight, 200);
  EXPECT_EQ(GetStyleFontDesc(nullptr, kStyleInputs)->weight, 800);
  EXPECT_EQ(GetStyleFontDesc(nullptr, kStyleLists)->height, -11);
  EXPECT_STREQ(GetStyleFontDesc(nullptr, kStyleLists)->faceName, "Arial");
  // Through a control of a dialog without a record, with the flags set: the global style too.
  EXPECT_EQ(GetStyleFirstColour(button, kStyleButtons), 0xE4E4E4u);
}

TEST_F(StyleFile, WritesEntriesFlagsAndCustomColoursWithTheExactText) {
  StyleEntry& bg = GlobalStyle().entries[kStyleBackground];
  bg.kind = 1;
  bg.secondColour = 0x0000FF;
  bg.textColour = 0x123456;
  bg.placed = 1;     // not written
  bg.hueShift = 30;  // not written
  bg.textureFile = NewStyleText("C:\\tex\\wood.bmp");
  for (const StyleEntry& e : GlobalStyle().entries) ASSERT_TRUE(WriteStyleEntry(kGlobalSection, e));
  SetGlobalFlag(kStyleButtons, 0);
  WriteGlobalFlags();
  COLORREF colours[16];
  for (int i = 0; i < 16; ++i) colours[i] = RGB(i, 2 * i, 255 - i);
  WriteCustomColours(colours);

  const std::string expected =
      "[Global]\r\n"
      "Fonds=C:\\tex\\wood.bmp,1,0xC0C0C0,0xFF,0xC0C0C0,0x123456,1,0,0,0,-11,200,0,0,Arial\r\n"
      "Boutons=,0,0xE4E4E4,0xC0C0C0,0xC0C0C0,0x0,1,0,0,1,-11,200,0,0,Arial\r\n"
      "Saisies=,0,0xFFFFFF,0xFFFFFF,0xFFFFFF,0x0,1,0,0,1,-11,800,0,0,Arial\r\n"
      "Liste=,0,0xFFFFFF,0xFFFFFF,0xFFFFFF,0x0,1,0,0,1,-11,800,0,0,Arial\r\n"
      "[Aspect Global]\r\n"
      "Fond=1\r\n"
      "Bouton=0\r\n"
      "Saisie=1\r\n"
      "Liste=1\r\n"
      "[Fonds]\r\n"
      "CustColor=000,000,255|001,002,254|002,004,253|003,006,252|004,008,251|005,010,250|006,012,249|"
      "007,014,248|008,016,247|009,018,246|010,020,245|011,022,244|012,024,243|013,026,242|014,028,241|"
      "015,030,240|\r\n";
  EXPECT_EQ(wintest::ReadFileText(Ini()), expected);

  COLORREF back[16];
  ReadCustomColours(back, RGB(9, 9, 9));
  for (int i = 0; i < 15; ++i) EXPECT_EQ(back[i], colours[i]) << i;
  EXPECT_EQ(back[15], RGB(9, 9, 9));

  // A texture name that would not read back is not written; the line keeps its old text.
  FreeStyleText(bg.textureFile);
  bg.textureFile = NewStyleText("a,b.bmp");
  EXPECT_FALSE(WriteStyleEntry(kGlobalSection, bg));
  EXPECT_EQ(wintest::ReadFileText(Ini()), expected);
}

TEST_F(StyleFile, TheGlobalSectionAndFlagsAreReadAtLoad) {
  Put("Global", "Fonds", ",2,RGB(255,0,0),0x00FF00,0x0,0xFFFFFF,0,1,0,0,-12,700,1,34,Courier");
  Put("Global", "Boutons", "");  // empty: keeps the built-in values
  Put("Aspect Global", "Saisie", "0");
  Reload();
  EXPECT_EQ(GetStyleKind(nullptr, kStyleBackground), 2);
  EXPECT_EQ(GetStyleFirstColour(nullptr, kStyleBackground), 0x0000FFu);
  EXPECT_EQ(GetStyleSecondColour(nullptr, kStyleBackground), 0x00FF00u);
  EXPECT_EQ(GetStyleTextColour(nullptr, kStyleBackground), 0xFFFFFFu);
  EXPECT_EQ(GetStyleRounded(nullptr, kStyleBackground), 1);
  EXPECT_EQ(GetStyleFontDesc(nullptr, kStyleBackground)->weight, 700);
  EXPECT_STREQ(GetStyleFontDesc(nullptr, kStyleBackground)->faceName, "Courier");
  EXPECT_EQ(GetStyleFirstColour(nullptr, kStyleButtons), 0xE4E4E4u);
  EXPECT_EQ(GetGlobalFlag(kStyleInputs), 0);
  EXPECT_EQ(GetGlobalFlag(kStyleBackground), 1);
}

TEST_F(StyleFile, ADialogsOwnSectionWinsOnlyWithoutTheGlobalFlag) {
  Put("Global", "Fonds", ",0,0x111111,0x222222,0x0,0x0,1,0,0,0,-11");
  Put("Global", "Boutons", ",1,0x333333,0x444444,0x0,0x0,1,1,0,1,-11");
  Put("Global", "Liste", ",0,0x555555,0x666666,0x0,0x0,1,0,0,1,-11");
  Put("D42", "Fonds", ",2,RGB(255,0,0),0x00FF00,0x0,0x0,0,1,1,0,-11,400,0,0,Arial");
  Put("D42", "Saisie", ",1,0xABCDEF,0x0,0x0,0x0,0,0,0,0,-9");  // eleven fields: enough
  Put("D42", "Liste", ",2,0x777777,0x888888,0x0,0x0,0,0,0");    // too short: the global entry
  Put("Aspect Global", "Fond", "0");
  Put("Aspect Global", "Saisie", "0");
  Put("Aspect Global", "Liste", "0");
  Reload();
  LoadDialogStyle(dialog, 42);

  // The background from the dialog's own section, also through a control of the dialog.
  EXPECT_EQ(GetStyleKind(dialog, kStyleBackground), 2);
  EXPECT_EQ(GetStyleFirstColour(button, kStyleBackground), 0x0000FFu);
  EXPECT_EQ(GetStyleSecondColour(button, kStyleBackground), 0x00FF00u);
  EXPECT_EQ(GetStyleRounded(button, kStyleBackground), 1);
  // Buttons: flag set, the global entry.
  EXPECT_EQ(GetStyleFirstColour(button, kStyleButtons), 0x333333u);
  // The dialog's record holds a copy of the global button entry (missing from its section).
  EXPECT_EQ(Entry(kStyleButtons).firstColour, 0x333333u);
  EXPECT_STREQ(Entry(kStyleButtons).key, "Boutons");
  EXPECT_EQ(GetStyleFirstColour(button, kStyleInputs), 0xABCDEFu);
  EXPECT_EQ(GetStyleFontDesc(button, kStyleInputs)->height, -9);
  EXPECT_STREQ(Entry(kStyleInputs).key, "Saisie");
  EXPECT_EQ(GetStyleKind(button, kStyleLists), 0);  // the rejected line gave way to the global entry
  EXPECT_EQ(GetStyleFirstColour(button, kStyleLists), 0x555555u);
  LOGBRUSH lb = {};
  ASSERT_TRUE(GetObjectA(GetListBrush(button), sizeof lb, &lb));
  EXPECT_EQ(lb.lbColor, 0x555555u);

  // With the flag set the global style shows, except in the open library dialog.
  SetGlobalFlag(kStyleBackground, 1);
  EXPECT_EQ(GetStyleFirstColour(button, kStyleBackground), 0x111111u);
  SetOpenLibraryDialog(dialog);
  EXPECT_EQ(GetStyleFirstColour(button, kStyleBackground), 0x0000FFu);
  EXPECT_EQ(GetStyleRelief(button, kStyleButtons), 1);  // the library's dialog shows its relief
}

TEST_F(StyleFile, OldPackedKindReadsAsPlacedTextureAndIsWrittenBackAsKind4) {
  Put("D42", "Fonds", ",1152,0x0,0x0,0x0,0x0,1,0,0,0,-11,400,0,0,Arial");  // bits 7 and 10
  Put("Aspect Global", "Fond", "0");
  Reload();
  LoadDialogStyle(dialog, 42);
  EXPECT_EQ(GetStyleKind(dialog, kStyleBackground), 4);
  const StylePlacement p = GetBackgroundPlacement(button);
  EXPECT_EQ(p.placed, 1);
  EXPECT_EQ(p.fitWidth, 1);
  EXPECT_EQ(p.fitHeight, 0);
  EXPECT_EQ(p.alignRight, 0);
  EXPECT_EQ(p.alignBottom, 1);
  ASSERT_TRUE(WriteStyleEntry("D42", Entry(kStyleBackground)));
  char value[256];
  GetPrivateProfileStringA("D42", "Fonds", "", value, sizeof value, Ini().c_str());
  EXPECT_STREQ(value, ",4,0x0,0x0,0x0,0x0,1,0,0,0,-11,400,0,0,Arial");
}

TEST_F(StyleFile, SettersCreateTheRecordAndAFailedOneStaysEmpty) {
  SetGlobalFlag(kStyleButtons, 0);
  SetStyleFirstColour(button, kStyleButtons, 0x010203);
  EXPECT_NE(GetPropA(dialog, PROP_DLG_STYLE), nullptr);
  EXPECT_EQ(GetStyleFirstColour(button, kStyleButtons), 0x010203u);
  EXPECT_EQ(GlobalStyle().entries[kStyleButtons].firstColour, 0xE4E4E4u);
  SetStyleFirstColour(nullptr, kStyleButtons, 0x040506);  // a null window: the global entry
  EXPECT_EQ(GlobalStyle().entries[kStyleButtons].firstColour, 0x040506u);
  ReleaseDialogStyle(dialog);
  EXPECT_EQ(GetPropA(dialog, PROP_DLG_STYLE), nullptr);

  // 0xFFFF marks a record that could not be allocated: defaults, and setters write nothing.
  SetPropA(dialog, PROP_DLG_STYLE, NoHandleMarker());
  SetStyleKind(button, kStyleButtons, 2);
  EXPECT_EQ(GetPropA(dialog, PROP_DLG_STYLE), NoHandleMarker());
  EXPECT_EQ(GetStyleKind(button, kStyleButtons), 0);
  EXPECT_EQ(GetStyleFirstColour(button, kStyleButtons), 0xC0C0C0u);
  EXPECT_EQ(GetStyleRelief(button, kStyleButtons), 1);
  EXPECT_EQ(GetStyleFirstColour(button, kStyleLists), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(GetStyleTextColour(button, kStyleLists), GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(GetStyleFontDesc(button, kStyleButtons), nullptr);
  ReleaseDialogStyle(dialog);
}

TEST_F(StyleFile, ResetGivesTheEditorsLookAndReleaseFreesEverything) {
  const DWORD gdiBefore = wintest::GdiObjects();
  Put("D42", "Fonds", "missing.bmp,4,0x1,0x2,0x3,0x4,1,1,0,1,-11,400,0,0,Arial");
  LoadDialogStyle(dialog, 42);
  SetGlobalFlag(kStyleBackground, 0);
  SetStyleFont(dialog, kStyleBackground, CreateFontA(-12, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
  ResetDialogStyle(dialog);
  const COLORREF expected[4] = {0xC0C0C0, 0xC0C0C0, 0xFFFFFF, GetSysColor(COLOR_WINDOW)};
  const int relief[4] = {0, 1, 1, 1}, transparent[4] = {1, 0, 0, 0}, embossed[4] = {0, 1, 1, 1};
  for (int i = 0; i < kStyleElementCount; ++i) {
    const StyleEntry e = Entry(StyleElement(i));
    EXPECT_EQ(e.firstColour, expected[i]) << i;
    EXPECT_EQ(e.secondColour, expected[i]) << i;
    EXPECT_EQ(e.kind, 0) << i;
    EXPECT_EQ(e.relief, relief[i]) << i;
    EXPECT_EQ(e.transparent, transparent[i]) << i;
    EXPECT_EQ(e.embossed, embossed[i]) << i;
    EXPECT_EQ(e.textureFile, nullptr) << i;
    EXPECT_EQ(e.font, nullptr) << i;
    EXPECT_EQ(e.fontDesc.height, 0) << i;
    EXPECT_STREQ(e.fontDesc.faceName, "") << i;
  }
  EXPECT_EQ(Entry(kStyleLists).textColour, GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_NE(Entry(kStyleLists).listBrush, nullptr);
  ReleaseDialogStyle(dialog);
  EXPECT_EQ(GetPropA(dialog, PROP_DLG_STYLE), nullptr);
  EXPECT_EQ(wintest::GdiObjects(), gdiBefore);
}

// An 8-bit BMP file: palette entries 0 red, 1 blue, the rest grey; rows of the given bytes.
void WriteBmp8(const std::string& path, uint32_t colours, const std::vector<uint8_t>& rows, int width, int height) {
  BITMAPINFOHEADER h = {};
  h.biSize = sizeof h;
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = 8;
  h.biClrUsed = colours == 256 ? 0 : colours;
  std::vector<RGBQUAD> palette(colours, RGBQUAD{128, 128, 128, 0});
  palette[0] = RGBQUAD{0, 0, 255, 0};
  palette[1] = RGBQUAD{255, 0, 0, 0};
  BITMAPFILEHEADER f = {};
  f.bfType = 0x4D42;
  f.bfOffBits = sizeof f + sizeof h + colours * sizeof(RGBQUAD);
  f.bfSize = f.bfOffBits + static_cast<DWORD>(rows.size());
  FILE* out = std::fopen(path.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  std::fwrite(&f, sizeof f, 1, out);
  std::fwrite(&h, sizeof h, 1, out);
  std::fwrite(palette.data(), sizeof(RGBQUAD), palette.size(), out);
  std::fwrite(rows.data(), 1, rows.size(), out);
  std::fclose(out);
}

struct Palette {
  std::vector<RGBQUAD> colours;
  std::vector<uint8_t> pixels;
};

Palette Read8(HGLOBAL dib) {
  Palette p;
  auto* h = static_cast<BITMAPINFOHEADER*>(GlobalLock(dib));
  if (!h) return p;
  const uint32_t count = h->biClrUsed ? h->biClrUsed : 256;
  auto* table = reinterpret_cast<RGBQUAD*>(reinterpret_cast<BYTE*>(h) + h->biSize);
  p.colours.assign(table, table + count);
  auto* bits = reinterpret_cast<uint8_t*>(table + count);
  p.pixels.assign(bits, bits + ((h->biWidth + 3) & ~3) * h->biHeight);
  GlobalUnlock(dib);
  return p;
}

TEST_F(StyleFile, TexturesLoadWithTheLineAndTheHueShiftTurnsTheirPaletteOnce) {
  const std::string file = dir->path() + "full.bmp";
  const std::vector<uint8_t> rows = {0, 1, 2, 3, 15, 14, 13, 12};
  WriteBmp8(file, 256, rows, 4, 2);
  Put("D42", "Fonds", (file + ",4,0x0,0x0,0x0,0x0,1,0,0,0,-11,400,0,0,Arial,120").c_str());
  Put("D42", "Boutons", (file + ",4,0x0,0x0,0x0,0x0,1,0,0,0,-11,400,0,0,Arial,-240").c_str());
  Put("D42", "Saisie", "nowhere\\none.bmp,4,0x0,0x0,0x0,0x0,1,0,0,0,-11,400,0,0,Arial,90");
  Put("Aspect Global", "Fond", "0");
  Put("Aspect Global", "Bouton", "0");
  Put("Aspect Global", "Saisie", "0");
  Reload();
  LoadDialogStyle(dialog, 42);

  // Red turned by a third of the circle is green; blue is red; grey stays grey.
  for (StyleElement e : {kStyleBackground, kStyleButtons}) {
    const Palette p = Read8(GetStyleTexture(dialog, e));
    ASSERT_EQ(p.colours.size(), 256u);
    EXPECT_GT(p.colours[0].rgbGreen, 200);
    EXPECT_LT(p.colours[0].rgbRed, 40);
    EXPECT_GT(p.colours[1].rgbRed, 200);
    EXPECT_LT(p.colours[1].rgbBlue, 40);
    EXPECT_NEAR(p.colours[5].rgbRed, 128, 2);
    EXPECT_EQ(p.colours[5].rgbRed, p.colours[5].rgbGreen);
    EXPECT_EQ(std::vector<uint8_t>(p.pixels.begin(), p.pixels.begin() + 8), rows);
    EXPECT_EQ(Entry(e).hueShift, 0);
  }
  // Asking the painter's getter does not turn it again.
  EXPECT_EQ(GetBackgroundTextureLoaded(dialog), GetStyleTexture(dialog, kStyleBackground));
  EXPECT_GT(Read8(GetStyleTexture(dialog, kStyleBackground)).colours[0].rgbGreen, 200);

  // A file that cannot be loaded keeps its name and its shift; no bitmap.
  EXPECT_EQ(GetStyleTexture(dialog, kStyleInputs), nullptr);
  EXPECT_STREQ(Entry(kStyleInputs).textureFile, "nowhere\\none.bmp");
  EXPECT_EQ(Entry(kStyleInputs).hueShift, 90);
}

TEST(HueShift, TurnsOnlyTheColourTableAPackedDibHas) {
  // An 8-bit DIB with a 2-entry table: the rows right behind it must not change.
  const size_t size = sizeof(BITMAPINFOHEADER) + 2 * sizeof(RGBQUAD) + 8;
  HGLOBAL dib = GlobalAlloc(GHND, size);
  auto* h = static_cast<BITMAPINFOHEADER*>(GlobalLock(dib));
  h->biSize = sizeof *h;
  h->biWidth = 4;
  h->biHeight = 2;
  h->biPlanes = 1;
  h->biBitCount = 8;
  h->biClrUsed = 2;
  auto* table = reinterpret_cast<RGBQUAD*>(h + 1);
  table[0] = RGBQUAD{0, 0, 255, 0};
  table[1] = RGBQUAD{0, 0, 255, 0};
  auto* rows = reinterpret_cast<uint8_t*>(table + 2);
  for (int i = 0; i < 8; ++i) rows[i] = static_cast<uint8_t>(0xF0 + i);
  GlobalUnlock(dib);
  ApplyHueShift(dib, 480);  // taken modulo 360: 120
  h = static_cast<BITMAPINFOHEADER*>(GlobalLock(dib));
  table = reinterpret_cast<RGBQUAD*>(h + 1);
  rows = reinterpret_cast<uint8_t*>(table + 2);
  EXPECT_GT(table[1].rgbGreen, 200);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(rows[i], 0xF0 + i) << i;
  // Other depths are left alone.
  h->biBitCount = 24;
  table[0] = RGBQUAD{0, 0, 255, 0};
  GlobalUnlock(dib);
  ApplyHueShift(dib, 120);
  h = static_cast<BITMAPINFOHEADER*>(GlobalLock(dib));
  EXPECT_EQ(reinterpret_cast<RGBQUAD*>(h + 1)->rgbRed, 255);
  GlobalUnlock(dib);
  GlobalFree(dib);
  ApplyHueShift(nullptr, 120);
}

TEST_F(StyleFile, TheLoadingGetterForgetsATextureThatDoesNotLoad) {
  Put("D42", "Fonds", "gone.bmp,4,0x0,0x0,0x0,0x0,1,0,0,0,-11");
  Put("Aspect Global", "Fond", "0");
  Reload();
  LoadDialogStyle(dialog, 42);
  EXPECT_STREQ(Entry(kStyleBackground).textureFile, "gone.bmp");
  EXPECT_EQ(GetBackgroundTextureLoaded(dialog), nullptr);
  EXPECT_EQ(Entry(kStyleBackground).textureFile, nullptr);

  // A texture that appears later is loaded on demand.
  const std::string later = dir->path() + "later.bmp";
  StyleEntry& global = GlobalStyle().entries[kStyleBackground];
  global.textureFile = NewStyleText(later);
  SetGlobalFlag(kStyleBackground, 1);
  EXPECT_EQ(GetBackgroundTextureLoaded(dialog), nullptr);
  EXPECT_EQ(global.textureFile, nullptr);
  global.textureFile = NewStyleText(later);
  global.hueShift = 120;
  WriteBmp8(later, 256, std::vector<uint8_t>(8, 0), 4, 2);
  HGLOBAL loaded = GetBackgroundTextureLoaded(dialog);
  ASSERT_NE(loaded, nullptr);
  EXPECT_GT(Read8(loaded).colours[0].rgbGreen, 200);
  EXPECT_EQ(global.hueShift, 0);
}

TEST_F(StyleFile, CopiesTakeTheNameButNotTheBitmapOrTheFont) {
  StyleEntry from = GlobalStyle().entries[kStyleButtons];
  from.textureFile = NewStyleText("wood.bmp");
  from.texture = GlobalAlloc(GHND, 64);
  from.font = CreateFontA(-12, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  from.hueShift = 5;
  from.placed = 1;
  StyleEntry to = {};
  std::strcpy(to.key, "Boutons");
  CopyStyleEntry(&to, from);
  EXPECT_STREQ(to.key, "Boutons");
  ASSERT_NE(to.textureFile, nullptr);
  EXPECT_NE(to.textureFile, from.textureFile);
  EXPECT_STREQ(to.textureFile, "wood.bmp");
  EXPECT_EQ(to.texture, nullptr);
  EXPECT_EQ(to.font, nullptr);
  EXPECT_EQ(to.hueShift, 0);
  EXPECT_EQ(to.placed, 0);
  EXPECT_EQ(to.firstColour, from.firstColour);
  EXPECT_EQ(to.embossed, from.embossed);
  EXPECT_STREQ(to.fontDesc.faceName, "Arial");
  FreeStyleEntryObjects(&to);
  FreeStyleEntryObjects(&from);
}

TEST_F(StyleFile, ControlsResolveToTheDialogThatGovernsThem) {
  EXPECT_EQ(OwningDialog(nullptr), nullptr);
  EXPECT_EQ(OwningDialog(dialog), dialog);  // not a control
  EXPECT_EQ(OwningDialog(button), dialog);  // its parent is a popup
  // A control on a child panel belongs to the panel's parent, unless the panel is textured.
  HWND panel = CreateWindowExA(0, "TamselPanel", "", WS_CHILD, 0, 0, 100, 100, dialog, nullptr, nullptr, nullptr);
  HWND inner = CreateWindowExA(0, "STATIQUE", "", WS_CHILD, 0, 0, 10, 10, panel, nullptr, nullptr, nullptr);
  EXPECT_EQ(OwningDialog(inner), dialog);
  SetPropA(panel, PROP_DLG_TEXTURE, reinterpret_cast<HANDLE>(7));
  EXPECT_EQ(OwningDialog(inner), panel);
  RemovePropA(panel, PROP_DLG_TEXTURE);

  // A tab button governs by the page it selects.
  HWND tab = CreateWindowExA(0, "BOUTON", "tab", WS_CHILD | 9 | 0x2000, 0, 0, 40, 20, dialog,
                             reinterpret_cast<HMENU>(321), nullptr, nullptr);
  EXPECT_EQ(OwningDialog(tab), dialog);
  SetPropA(dialog, MAKEINTATOM(321), panel);
  EXPECT_EQ(OwningDialog(tab), panel);
  RemovePropA(dialog, MAKEINTATOM(321));
  EXPECT_TRUE(IsKvButton(tab));
  EXPECT_FALSE(IsKvButton(inner));
  EXPECT_TRUE(IsStyledControl(inner));
  EXPECT_FALSE(IsStyledControl(panel));
}

// ---- Locale ----------------------------------------------------------------------------------

// Wine takes the user's locale from the environment it starts in (LC_ALL): the test list runs
// this case once per locale with the codes it must give ("variant,language").
TEST(TamselLocale, CodesFollowTheUsersLocale) {
  char expected[32] = {};
  if (!GetEnvironmentVariableA("TAMSEL_EXPECTED_CODES", expected, sizeof expected)) {
    GTEST_SKIP() << "run with LC_ALL and TAMSEL_EXPECTED_CODES set";
  }
  int variant = -1, language = -1;
  ASSERT_EQ(std::sscanf(expected, "%d,%d", &variant, &language), 2);
  EXPECT_EQ(LocaleInfo().variantCode, variant);
  EXPECT_EQ(LocaleInfo().languageCode, language);
}

}  // namespace
