// Style records: the global record, the records attached to dialogs, and the accessors through
// which every control reads its element's style.
#include "controls/core/style_record.h"

#include <shlwapi.h>

#include <cstring>
#include <string_view>

#include "controls/core/window_tests.h"
#include "controls/widgets/dib_file.h"
#include "winkit/global_lock.h"

namespace {

constexpr COLORREF kGrey = 0xC0C0C0;
constexpr COLORREF kWhite = 0xFFFFFF;

void SetKey(StyleEntry* e, const char* key) {
  std::memset(e->key, 0, sizeof e->key);
  std::strncpy(e->key, key, sizeof e->key - 1);
}

void SetFace(style::FontDesc* f, const char* face) {
  std::memset(f->faceName, 0, sizeof f->faceName);
  std::strncpy(f->faceName, face, sizeof f->faceName - 1);
}

StyleEntry BuiltInEntry(const char* key, COLORREF first, COLORREF second, int embossed, int weight) {
  StyleEntry e = {};
  SetKey(&e, key);
  e.firstColour = first;
  e.secondColour = second;
  e.thirdColour = second;
  e.relief = 1;
  e.embossed = embossed;
  e.fontDesc.height = -11;
  e.fontDesc.weight = weight;
  SetFace(&e.fontDesc, "Arial");
  return e;
}

StyleRecord BuiltInStyle() {
  StyleRecord r = {};
  r.entries[kStyleBackground] = BuiltInEntry(kStyleElementKeys[kStyleBackground].builtIn, kGrey, kGrey, 0, 200);
  r.entries[kStyleButtons] = BuiltInEntry(kStyleElementKeys[kStyleButtons].builtIn, 0xE4E4E4, kGrey, 1, 200);
  r.entries[kStyleInputs] = BuiltInEntry(kStyleElementKeys[kStyleInputs].builtIn, kWhite, kWhite, 1, 800);
  r.entries[kStyleLists] = BuiltInEntry(kStyleElementKeys[kStyleLists].builtIn, kWhite, kWhite, 1, 800);
  return r;
}

StyleRecord globalStyle = BuiltInStyle();
int globalFlags[kStyleElementCount] = {1, 1, 1, 1};
HWND openLibraryDialog = nullptr;

// What a getter returns for a dialog without a record.
StyleEntry DefaultEntry(StyleElement element) {
  StyleEntry d = {};
  switch (element) {
    case kStyleBackground:
      d.firstColour = d.secondColour = kGrey;
      break;
    case kStyleButtons:
      d.firstColour = d.secondColour = kGrey;
      d.relief = 1;
      d.embossed = 1;
      break;
    case kStyleInputs:
      d.firstColour = d.secondColour = kWhite;
      d.embossed = 1;
      break;
    case kStyleLists:
      d.firstColour = d.secondColour = GetSysColor(COLOR_WINDOW);
      d.textColour = GetSysColor(COLOR_WINDOWTEXT);
      break;
  }
  return d;
}

// A dialog's record block, when it has one of the record's size.
HGLOBAL RecordBlock(HWND dialog) {
  HANDLE h = dialog ? GetPropA(dialog, PROP_DLG_STYLE) : nullptr;
  return !IsNoHandle(h) && GlobalSize(h) >= sizeof(StyleRecord) ? static_cast<HGLOBAL>(h) : nullptr;
}

// A dialog's record, locked for one scope.
class RecordLock {
 public:
  explicit RecordLock(HWND dialog) : lock_(RecordBlock(dialog)) {}
  StyleRecord* get() const { return lock_.as<StyleRecord>(); }
  explicit operator bool() const { return static_cast<bool>(lock_); }

 private:
  winkit::GlobalBlockLock lock_;
};

bool UsesGlobal(HWND window, StyleElement element) {
  return globalFlags[element] && OwningDialog(window) != openLibraryDialog;
}

template <class Read>
auto ReadEntry(HWND window, StyleElement element, Read read) {
  if (UsesGlobal(window, element) || !window) return read(globalStyle.entries[element]);
  if (IsStyledControl(window)) {
    window = OwningDialog(window);
    if (!window) return read(DefaultEntry(element));
  }
  RecordLock lock(window);
  if (!lock) return read(DefaultEntry(element));
  return read(lock.get()->entries[element]);
}

// A dialog's record for writing, created when missing; null when it cannot be had.
HGLOBAL WritableRecord(HWND dialog) {
  HANDLE h = GetPropA(dialog, PROP_DLG_STYLE);
  if (h) return IsNoHandle(h) ? nullptr : static_cast<HGLOBAL>(h);
  HGLOBAL block = GlobalAlloc(GHND, sizeof(StyleRecord));
  if (!block) return nullptr;
  if (!SetPropA(dialog, PROP_DLG_STYLE, block)) {
    GlobalFree(block);
    return nullptr;
  }
  return block;
}

template <class Write>
void WriteEntry(HWND window, StyleElement element, Write write) {
  if (globalFlags[element] || !window) {
    write(globalStyle.entries[element]);
    return;
  }
  if (IsStyledControl(window)) {
    window = OwningDialog(window);
    if (!window) return;
  }
  if (!IsWindow(window) || !WritableRecord(window)) return;
  RecordLock lock(window);
  if (lock) write(lock.get()->entries[element]);
}

}  // namespace

char* NewStyleText(std::string_view text) {
  HGLOBAL h = GlobalAlloc(GHND, text.size() + 1);
  if (!h) return nullptr;
  char* p = static_cast<char*>(GlobalLock(h));
  if (!p) {
    GlobalFree(h);
    return nullptr;
  }
  std::memcpy(p, text.data(), text.size());
  return p;
}

void FreeStyleText(char* text) {
  if (!text) return;
  HGLOBAL h = GlobalHandle(text);
  if (!h) return;
  GlobalUnlock(h);
  GlobalFree(h);
}

namespace {

void FreeTexture(StyleEntry* e) {
  if (!IsNoHandle(e->texture)) GlobalFree(e->texture);
  e->texture = nullptr;
}

void FreeRecordBlock(HGLOBAL block) {
  {
    winkit::GlobalBlockLock lock(block);
    if (auto* record = lock.as<StyleRecord>())
      for (StyleEntry& e : record->entries) FreeStyleEntryObjects(&e);
  }
  GlobalFree(block);
}

// Loads a named texture that has no bitmap yet; a file that does not load is forgotten. A
// pending hue shift goes into the bitmap once.
void LoadPendingTexture(StyleEntry* e) {
  if (IsNoHandle(e->texture) && e->textureFile) {
    e->texture = LoadDibFromFile(e->textureFile);
    if (!e->texture) {
      FreeStyleText(e->textureFile);
      e->textureFile = nullptr;
    }
  }
  if (!IsNoHandle(e->texture) && e->hueShift != 0) {
    ApplyHueShift(e->texture, e->hueShift);
    e->hueShift = 0;
  }
}

}  // namespace

// ---- Accessors ---------------------------------------------------------------------------

int GetStyleKind(HWND w, StyleElement e) { return ReadEntry(w, e, [](const StyleEntry& s) { return s.kind; }); }
void SetStyleKind(HWND w, StyleElement e, int v) { WriteEntry(w, e, [v](StyleEntry& s) { s.kind = v; }); }

COLORREF GetStyleFirstColour(HWND w, StyleElement e) {
  return ReadEntry(w, e, [](const StyleEntry& s) { return s.firstColour; });
}
void SetStyleFirstColour(HWND w, StyleElement e, COLORREF v) {
  WriteEntry(w, e, [v](StyleEntry& s) { s.firstColour = v; });
}
COLORREF GetStyleSecondColour(HWND w, StyleElement e) {
  return ReadEntry(w, e, [](const StyleEntry& s) { return s.secondColour; });
}
void SetStyleSecondColour(HWND w, StyleElement e, COLORREF v) {
  WriteEntry(w, e, [v](StyleEntry& s) { s.secondColour = v; });
}
COLORREF GetStyleTextColour(HWND w, StyleElement e) {
  return ReadEntry(w, e, [](const StyleEntry& s) { return s.textColour; });
}
void SetStyleTextColour(HWND w, StyleElement e, COLORREF v) {
  WriteEntry(w, e, [v](StyleEntry& s) { s.textColour = v; });
}

int GetStyleRelief(HWND w, StyleElement e) {
  // The library's own dialog always shows the relief of its buttons.
  if (e == kStyleButtons && openLibraryDialog && w && GetParent(w) == openLibraryDialog) return 1;
  return ReadEntry(w, e, [](const StyleEntry& s) { return s.relief; });
}
void SetStyleRelief(HWND w, StyleElement e, int v) { WriteEntry(w, e, [v](StyleEntry& s) { s.relief = v; }); }
int GetStyleRounded(HWND w, StyleElement e) { return ReadEntry(w, e, [](const StyleEntry& s) { return s.rounded; }); }
void SetStyleRounded(HWND w, StyleElement e, int v) { WriteEntry(w, e, [v](StyleEntry& s) { s.rounded = v; }); }
int GetStyleTransparent(HWND w, StyleElement e) {
  return ReadEntry(w, e, [](const StyleEntry& s) { return s.transparent; });
}
void SetStyleTransparent(HWND w, StyleElement e, int v) {
  WriteEntry(w, e, [v](StyleEntry& s) { s.transparent = v; });
}
int GetStyleEmbossed(HWND w, StyleElement e) {
  return ReadEntry(w, e, [](const StyleEntry& s) { return s.embossed; });
}
void SetStyleEmbossed(HWND w, StyleElement e, int v) { WriteEntry(w, e, [v](StyleEntry& s) { s.embossed = v; }); }
HFONT GetStyleFont(HWND w, StyleElement e) { return ReadEntry(w, e, [](const StyleEntry& s) { return s.font; }); }
void SetStyleFont(HWND w, StyleElement e, HFONT v) { WriteEntry(w, e, [v](StyleEntry& s) { s.font = v; }); }
HGLOBAL GetStyleTexture(HWND w, StyleElement e) {
  return ReadEntry(w, e, [](const StyleEntry& s) { return s.texture; });
}
HBRUSH GetListBrush(HWND w) {
  return ReadEntry(w, kStyleLists, [](const StyleEntry& s) { return s.listBrush; });
}
void SetListBrush(HWND w, HBRUSH v) { WriteEntry(w, kStyleLists, [v](StyleEntry& s) { s.listBrush = v; }); }

style::FontDesc* GetStyleFontDesc(HWND w, StyleElement e) {
  if (UsesGlobal(w, e) || !w) return &globalStyle.entries[e].fontDesc;
  if (IsStyledControl(w)) {
    w = OwningDialog(w);
    if (!w) return nullptr;
  }
  // The address stays valid after the unlock: record blocks are never reallocated.
  RecordLock lock(w);
  return lock ? &lock.get()->entries[e].fontDesc : nullptr;
}

StylePlacement GetBackgroundPlacement(HWND w) {
  return ReadEntry(w, kStyleBackground, [](const StyleEntry& s) {
    return StylePlacement{s.placed, s.fitWidth, s.fitHeight, s.alignRight, s.alignBottom};
  });
}

HGLOBAL GetBackgroundTextureLoaded(HWND dialog) {
  if (globalFlags[kStyleBackground]) {
    LoadPendingTexture(&globalStyle.entries[kStyleBackground]);
    HGLOBAL t = globalStyle.entries[kStyleBackground].texture;
    return IsNoHandle(t) ? nullptr : t;
  }
  RecordLock lock(dialog);
  if (!lock) return nullptr;
  StyleEntry* e = &lock.get()->entries[kStyleBackground];
  LoadPendingTexture(e);
  return IsNoHandle(e->texture) ? nullptr : e->texture;
}

// ---- Records -----------------------------------------------------------------------------

StyleRecord& GlobalStyle() { return globalStyle; }
int GetGlobalFlag(StyleElement e) { return globalFlags[e]; }
void SetGlobalFlag(StyleElement e, int flag) { globalFlags[e] = flag ? 1 : 0; }
HWND GetOpenLibraryDialog() { return openLibraryDialog; }
void SetOpenLibraryDialog(HWND dialog) { openLibraryDialog = dialog; }

void FreeStyleEntryObjects(StyleEntry* e) {
  FreeTexture(e);
  FreeStyleText(e->textureFile);
  e->textureFile = nullptr;
  if (e->font) DeleteObject(e->font);
  e->font = nullptr;
  if (e->listBrush) DeleteObject(e->listBrush);
  e->listBrush = nullptr;
}

void CopyStyleEntry(StyleEntry* to, const StyleEntry& from) {
  if (to == &from) return;
  to->kind = from.kind;
  FreeTexture(to);
  FreeStyleText(to->textureFile);
  to->textureFile = from.textureFile ? NewStyleText(from.textureFile) : nullptr;
  to->firstColour = from.firstColour;
  to->secondColour = from.secondColour;
  to->thirdColour = from.thirdColour;
  to->textColour = from.textColour;
  to->relief = from.relief;
  to->rounded = from.rounded;
  to->transparent = from.transparent;
  to->embossed = from.embossed;
  to->fontDesc = from.fontDesc;
  if (to->font && to->font != from.font) DeleteObject(to->font);
  to->font = nullptr;
}

void CopyStyleRecord(StyleRecord* to, const StyleRecord& from) {
  for (int i = 0; i < kStyleElementCount; ++i) CopyStyleEntry(&to->entries[i], from.entries[i]);
}

void ReleaseDialogStyle(HWND dialog) {
  HANDLE h = RemovePropA(dialog, PROP_DLG_STYLE);
  if (!IsNoHandle(h)) FreeRecordBlock(static_cast<HGLOBAL>(h));
}

void LoadDialogStyle(HWND dialog, int dialogNumber) {
  ReleaseDialogStyle(dialog);
  HGLOBAL block = GlobalAlloc(GHND, sizeof(StyleRecord));
  auto* record = block ? static_cast<StyleRecord*>(GlobalLock(block)) : nullptr;
  if (!record) {
    if (block) GlobalFree(block);
    SetPropA(dialog, PROP_DLG_STYLE, NoHandleMarker());
    return;
  }
  char section[16];
  DialogSection(dialogNumber, section, sizeof section);
  for (int i = 0; i < kStyleElementCount; ++i) {
    StyleEntry* e = &record->entries[i];
    SetKey(e, kStyleElementKeys[i].dialog);
    if (!ReadStyleEntry(section, e)) CopyStyleEntry(e, globalStyle.entries[i]);
  }
  StyleEntry* list = &record->entries[kStyleLists];
  list->listBrush = CreateSolidBrush(list->firstColour);
  GlobalUnlock(block);
  if (!SetPropA(dialog, PROP_DLG_STYLE, block)) FreeRecordBlock(block);
}

void ResetDialogStyle(HWND dialog) {
  if (!IsWindow(dialog)) return;
  HGLOBAL block = WritableRecord(dialog);
  if (!block) return;
  RecordLock lock(dialog);
  if (!lock) return;
  struct Look {
    COLORREF colour;
    COLORREF text;
    int relief, transparent, embossed;
  };
  const Look looks[kStyleElementCount] = {
      {kGrey, 0, 0, 1, 0},
      {kGrey, 0, 1, 0, 1},
      {kWhite, 0, 1, 0, 1},
      {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT), 1, 0, 1},
  };
  for (int i = 0; i < kStyleElementCount; ++i) {
    StyleEntry* e = &lock.get()->entries[i];
    FreeStyleEntryObjects(e);
    e->kind = 0;
    e->hueShift = 0;
    e->placed = e->fitWidth = e->fitHeight = e->alignRight = e->alignBottom = 0;
    e->firstColour = e->secondColour = e->thirdColour = looks[i].colour;
    e->textColour = looks[i].text;
    e->relief = looks[i].relief;
    e->rounded = 0;
    e->transparent = looks[i].transparent;
    e->embossed = looks[i].embossed;
    std::memset(&e->fontDesc, 0, sizeof e->fontDesc);
  }
  StyleEntry* list = &lock.get()->entries[kStyleLists];
  list->listBrush = CreateSolidBrush(list->firstColour);
}

void ReleaseGlobalStyle() {
  for (StyleEntry& e : globalStyle.entries) FreeStyleEntryObjects(&e);
}

void ResetGlobalStyle() {
  ReleaseGlobalStyle();
  globalStyle = BuiltInStyle();
  for (int& flag : globalFlags) flag = 1;
}

// ---- Hue shift ---------------------------------------------------------------------------

void ApplyHueShift(HGLOBAL dib, int degrees) {
  if (IsNoHandle(dib)) return;
  const SIZE_T size = GlobalSize(dib);
  auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(dib));
  if (!header) return;
  if (size >= sizeof(BITMAPINFOHEADER) && header->biSize >= sizeof(BITMAPINFOHEADER) &&
      header->biSize <= size && header->biBitCount == 8) {
    if (header->biClrUsed == 0) header->biClrUsed = 256;
    if (degrees < 0) degrees += 360;
    if (degrees > 360) degrees %= 360;
    if (degrees < 0) degrees = degrees % 360 + 360;
    const int step = degrees * 252 / 360;
    // Only the entries the table holds: the rows follow it.
    SIZE_T count = header->biClrUsed < 256 ? header->biClrUsed : 256;
    const SIZE_T room = (size - header->biSize) / sizeof(RGBQUAD);
    if (count > room) count = room;
    auto* palette = reinterpret_cast<RGBQUAD*>(reinterpret_cast<BYTE*>(header) + header->biSize);
    for (SIZE_T i = 0; i < count; ++i) {
      WORD h = 0, l = 0, s = 0;
      ColorRGBToHLS(RGB(palette[i].rgbRed, palette[i].rgbGreen, palette[i].rgbBlue), &h, &l, &s);
      int hue = h + step;
      if (hue > 252) hue -= 252;
      const COLORREF c = ColorHLSToRGB(static_cast<WORD>(hue), l, s);
      palette[i].rgbRed = GetRValue(c);
      palette[i].rgbGreen = GetGValue(c);
      palette[i].rgbBlue = GetBValue(c);
    }
  }
  GlobalUnlock(dib);
}
