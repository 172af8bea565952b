// Window extra bytes of the library's classes, with typed access per slot. The layouts are those
// of the 32-bit library; on x86_64 the handle slots (and the slots of handle tables) widen to
// pointer size.
#pragma once

#include <windows.h>

#include <type_traits>

namespace wdata {

enum class Width { Word, Long, Ptr };

constexpr int WidthBytes(Width w) { return w == Width::Word ? 2 : w == Width::Long ? 4 : int(sizeof(LONG_PTR)); }

// One slot of a window's extra bytes: its type, stored width and offset.
template <typename T, Width W, int Offset>
struct Field {
  static constexpr int offset = Offset;
  static constexpr int end = Offset + WidthBytes(W);

  static T Get(HWND window) {
    if constexpr (W == Width::Word) {
      return FromRaw(static_cast<WORD>(GetWindowWord(window, Offset)));
    } else if constexpr (W == Width::Long) {
      return FromRaw(static_cast<LONG>(GetWindowLongA(window, Offset)));
    } else {
      return FromRaw(GetWindowLongPtrA(window, Offset));
    }
  }
  // Returns the previous value.
  static T Set(HWND window, T value) {
    if constexpr (W == Width::Word) {
      return FromRaw(static_cast<WORD>(SetWindowWord(window, Offset, static_cast<WORD>(ToRaw(value)))));
    } else if constexpr (W == Width::Long) {
      return FromRaw(static_cast<LONG>(SetWindowLongA(window, Offset, static_cast<LONG>(ToRaw(value)))));
    } else {
      return FromRaw(SetWindowLongPtrA(window, Offset, ToRaw(value)));
    }
  }

 private:
  template <typename R>
  static T FromRaw(R raw) {
    if constexpr (std::is_pointer_v<T>) {
      return reinterpret_cast<T>(static_cast<LONG_PTR>(raw));
    } else {
      return static_cast<T>(raw);
    }
  }
  static LONG_PTR ToRaw(T value) {
    if constexpr (std::is_pointer_v<T>) {
      return reinterpret_cast<LONG_PTR>(value);
    } else {
      return static_cast<LONG_PTR>(value);
    }
  }
};

constexpr int kPtr = sizeof(LONG_PTR);
constexpr bool kWide = sizeof(void*) == 8;

// "BOUTON": nine slots; the seventh is unused.
namespace button {
using Font = Field<HFONT, Width::Ptr, 0 * kPtr>;
using State = Field<int, Width::Ptr, 1 * kPtr>;
using NormalBitmap = Field<HBITMAP, Width::Ptr, 2 * kPtr>;
using DisabledBitmap = Field<HBITMAP, Width::Ptr, 3 * kPtr>;
using CheckedBitmap = Field<HBITMAP, Width::Ptr, 4 * kPtr>;
using BorderFlag = Field<int, Width::Ptr, 5 * kPtr>;
using HoverFlag = Field<int, Width::Ptr, 7 * kPtr>;
using HoverBitmap = Field<HBITMAP, Width::Ptr, 8 * kPtr>;
constexpr int kSize = 9 * kPtr;
static_assert(kSize == (kWide ? 72 : 36));
}  // namespace button

// "SAISIE": 16-bit values and colours, then the mask and font handles, then 2 spare bytes.
namespace saisie {
using Limit = Field<WORD, Width::Word, 0>;
using Caret = Field<WORD, Width::Word, 2>;
using NoDateCheck = Field<WORD, Width::Word, 4>;
using State = Field<WORD, Width::Word, 6>;
using MouseSelecting = Field<WORD, Width::Word, 8>;
using FocusColour = Field<COLORREF, Width::Long, 10>;
using BkColour = Field<COLORREF, Width::Long, 14>;
using TextColour = Field<COLORREF, Width::Long, 18>;
using Framed = Field<WORD, Width::Word, 22>;
using SelectionAnchor = Field<WORD, Width::Word, 24>;
using SelectionEnd = Field<WORD, Width::Word, 26>;
using Mask = Field<HGLOBAL, Width::Ptr, 28>;
using Font = Field<HFONT, Width::Ptr, Mask::end>;
constexpr int kSize = Font::end + 2;
static_assert(kSize == (kWide ? 46 : 38));
}  // namespace saisie

// "STATIQUE": font, five colours, bitmap, icon.
namespace statique {
using Font = Field<HFONT, Width::Ptr, 0>;
using BkColour = Field<COLORREF, Width::Long, Font::end>;
using HighlightColour = Field<COLORREF, Width::Long, BkColour::end>;
using ShadowColour = Field<COLORREF, Width::Long, HighlightColour::end>;
using TextColour = Field<COLORREF, Width::Long, ShadowColour::end>;
using EmbossColour = Field<COLORREF, Width::Long, TextColour::end>;
using Bitmap = Field<HBITMAP, Width::Ptr, EmbossColour::end>;
using Icon = Field<HICON, Width::Ptr, Bitmap::end>;
constexpr int kSize = Icon::end;
static_assert(kSize == (kWide ? 44 : 32));
}  // namespace statique

// "KVCOMBO": nine slots.
namespace combo {
using Font = Field<HFONT, Width::Ptr, 0 * kPtr>;
using ListHeight = Field<int, Width::Ptr, 1 * kPtr>;
using MouseDown = Field<int, Width::Ptr, 2 * kPtr>;
using One = Field<int, Width::Ptr, 3 * kPtr>;
using Edit = Field<HWND, Width::Ptr, 4 * kPtr>;
using ListBox = Field<HWND, Width::Ptr, 5 * kPtr>;
using Popup = Field<HWND, Width::Ptr, 6 * kPtr>;
using ListWidth = Field<int, Width::Ptr, 7 * kPtr>;
using CreationListHeight = Field<int, Width::Ptr, 8 * kPtr>;
constexpr int kSize = 9 * kPtr;
static_assert(kSize == (kWide ? 72 : 36));
}  // namespace combo

// "KvPopupCmb": the combo and its edit field.
namespace popup {
using Combo = Field<HWND, Width::Ptr, 0 * kPtr>;
using Edit = Field<HWND, Width::Ptr, 1 * kPtr>;
constexpr int kSize = 2 * kPtr;
static_assert(kSize == (kWide ? 16 : 8));
}  // namespace popup

// "KVTABPAGE": a dialog class, the dialog manager's own bytes (DLGWINDOWEXTRA of the platform;
// mingw-w64 gives 30 for both).
namespace tabpage {
constexpr int kSize = kWide ? 48 : 30;
static_assert(kSize >= 3 * kPtr);
}  // namespace tabpage

}  // namespace wdata
