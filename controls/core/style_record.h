// Style records: how each dialog's controls look. A record holds four style entries
// (background "Fonds", buttons "Boutons", input fields "Saisies", lists "Liste"); there is one
// global record and each dialog may carry its own as the property PROP_DLG_STYLE. Per element a
// global flag ("Aspect Global") decides which of the two the controls see. Records persist in
// "kvfonds.ini" beside the library.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string_view>

#include "controls/core/style_line.h"

// Integer-atom properties of a styled dialog (or tab page).
#define PROP_DLG_STYLE MAKEINTATOM(4013)    // HGLOBAL of its StyleRecord
#define PROP_DLG_TEXTURE MAKEINTATOM(4014)  // its dialog number: section "D<number>"

// Handle value stored for "allocation failed"; like 0 it means none.
inline bool IsNoHandle(HANDLE h) { return h == nullptr || reinterpret_cast<UINT_PTR>(h) == 0xFFFF; }
inline HANDLE NoHandleMarker() { return reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(0xFFFF)); }

// Elements of a style, in record order.
enum StyleElement : int { kStyleBackground = 0, kStyleButtons = 1, kStyleInputs = 2, kStyleLists = 3 };
constexpr int kStyleElementCount = 4;

// The names of one element in "kvfonds.ini", which spells them differently in each place.
struct StyleElementKeys {
  const char* builtIn;  // the global record's entry before the load names it
  const char* flag;     // its "Aspect Global" flag
  const char* global;   // its entry in section "Global"
  const char* dialog;   // its entry in a dialog's "D<number>" section
};
inline constexpr StyleElementKeys kStyleElementKeys[kStyleElementCount] = {
    {"Dlg", "Fond", "Fonds", "Fonds"},
    {"Bouton", "Bouton", "Boutons", "Boutons"},
    {"Saisie", "Saisie", "Saisies", "Saisie"},
    {"Liste", "Liste", "Liste", "Liste"},
};

// Background (and button/input face) kinds.
enum StyleKind : int { kKindVerticalGradient = 1, kKindHorizontalGradient = 2, kKindTexture = 4 };

struct StyleEntry {
  char key[16];             // INI key
  int kind;                 // StyleKind; any other value is a plain face
  HGLOBAL texture;          // packed DIB loaded from textureFile, or none (0 / 0xFFFF)
  char* textureFile;        // locked movable global memory, or null
  int hueShift;             // degrees, applied once to a freshly loaded texture, then 0
  int placed;               // 0 tile the texture, 1 draw it once
  int fitWidth;
  int fitHeight;
  int alignRight;
  int alignBottom;
  COLORREF firstColour;     // face colour or gradient start
  COLORREF secondColour;    // gradient end
  COLORREF thirdColour;     // kept and written, read by no control
  COLORREF textColour;
  int relief;
  int rounded;
  int transparent;
  int embossed;
  HBRUSH listBrush;         // list entry only: solid brush of the first colour
  HFONT font;               // the element's font, or null
  style::FontDesc fontDesc;
};

struct StyleRecord {
  StyleEntry entries[kStyleElementCount];
};

#ifdef _WIN64
static_assert(sizeof(StyleEntry) == 160, "style entry layout (x86_64)");
#else
static_assert(sizeof(StyleEntry) == 136, "style entry layout (i686)");
#endif
static_assert(offsetof(StyleEntry, fontDesc) + sizeof(style::FontDesc) <= sizeof(StyleEntry));

struct StylePlacement {
  int placed;
  int fitWidth;
  int fitHeight;
  int alignRight;
  int alignBottom;
};

// ---- Accessors ---------------------------------------------------------------------------
// Getters take any window: a styled control resolves to the dialog that owns it. With the
// element's global flag set (and the window not inside the open library dialog) or a null
// window they read the global record; a dialog without a record reads the defaults.
// Setters write the global record when the flag is set or the window is null; otherwise the
// dialog's record, which is created on first write.
int GetStyleKind(HWND window, StyleElement element);
void SetStyleKind(HWND window, StyleElement element, int kind);
COLORREF GetStyleFirstColour(HWND window, StyleElement element);
void SetStyleFirstColour(HWND window, StyleElement element, COLORREF colour);
COLORREF GetStyleSecondColour(HWND window, StyleElement element);
void SetStyleSecondColour(HWND window, StyleElement element, COLORREF colour);
COLORREF GetStyleTextColour(HWND window, StyleElement element);
void SetStyleTextColour(HWND window, StyleElement element, COLORREF colour);
int GetStyleRelief(HWND window, StyleElement element);
void SetStyleRelief(HWND window, StyleElement element, int relief);
int GetStyleRounded(HWND window, StyleElement element);
void SetStyleRounded(HWND window, StyleElement element, int rounded);
int GetStyleTransparent(HWND window, StyleElement element);
void SetStyleTransparent(HWND window, StyleElement element, int transparent);
int GetStyleEmbossed(HWND window, StyleElement element);
void SetStyleEmbossed(HWND window, StyleElement element, int embossed);
HFONT GetStyleFont(HWND window, StyleElement element);
void SetStyleFont(HWND window, StyleElement element, HFONT font);
// The texture as it is (loaded when the line was read or the texture chosen).
HGLOBAL GetStyleTexture(HWND window, StyleElement element);
// Address of the font description (global or the dialog's), or null without a record.
style::FontDesc* GetStyleFontDesc(HWND window, StyleElement element);
HBRUSH GetListBrush(HWND window);
void SetListBrush(HWND window, HBRUSH brush);

StylePlacement GetBackgroundPlacement(HWND window);
// The background texture for painting `dialog` (no control-to-dialog resolution): loads the
// texture file when the entry has a name but no bitmap (a failed load forgets the name) and
// applies a pending hue shift.
HGLOBAL GetBackgroundTextureLoaded(HWND dialog);

// ---- Records -----------------------------------------------------------------------------
StyleRecord& GlobalStyle();
int GetGlobalFlag(StyleElement element);
void SetGlobalFlag(StyleElement element, int flag);

// The open library dialog (the style editor, or the input fields' auxiliary dialog) is always
// drawn from its own record.
HWND GetOpenLibraryDialog();
void SetOpenLibraryDialog(HWND dialog);

// Builds `dialog`'s record from section "D<number>" (entries missing there copy the global
// ones) and attaches it as PROP_DLG_STYLE; a failed allocation attaches 0xFFFF.
void LoadDialogStyle(HWND dialog, int dialogNumber);
// Sets `dialog`'s record (created when missing) to the style editor's own neutral look.
void ResetDialogStyle(HWND dialog);
// Frees the record with all it owns and removes PROP_DLG_STYLE.
void ReleaseDialogStyle(HWND dialog);
// Copies kind, texture file name (not the bitmap), colours, flags and font description; the
// entry font of `to` becomes null.
void CopyStyleEntry(StyleEntry* to, const StyleEntry& from);
void CopyStyleRecord(StyleRecord* to, const StyleRecord& from);

// ---- Settings file -----------------------------------------------------------------------
constexpr const char* kGlobalSection = "Global";
// "D<number>"
void DialogSection(int dialogNumber, char* out, size_t capacity);
// Reads one entry from `section` under its key; false when missing or rejected.
bool ReadStyleEntry(const char* section, StyleEntry* entry);
// Writes one entry to `section` under its key; false when the file could not be written.
bool WriteStyleEntry(const char* section, const StyleEntry& entry);
void ReadGlobalFlags();
void WriteGlobalFlags();
// Global record from section "Global", keys "Fonds", "Boutons", "Saisies", "Liste".
void LoadGlobalStyle();
// Frees what the global record's entries own.
void ReleaseGlobalStyle();
// Back to the built-in global record and flags (what is not in the file).
void ResetGlobalStyle();
void ReadCustomColours(COLORREF colours[16], COLORREF fallback);
void WriteCustomColours(const COLORREF colours[16]);

// Rotates the palette of an 8-bit packed DIB by `degrees`; other depths are left alone.
void ApplyHueShift(HGLOBAL dib, int degrees);

// Texture file names: text in locked movable global memory.
char* NewStyleText(std::string_view text);
void FreeStyleText(char* text);

// Releases the objects an entry owns (texture, texture file, font, list brush) and clears them.
void FreeStyleEntryObjects(StyleEntry* entry);
