// Rules of tab pages that need no window: which tab identifiers a dialog can carry as property
// atoms, where Tab and Shift+Tab cross between a dialog and its visible page, and which caption
// answers an Alt+letter mnemonic.
#pragma once

#include <cstdint>
#include <string_view>

namespace tabs {

// Integer property atoms the library keeps on its dialogs: the style record, the dialog number
// and the control size registry.
constexpr long kStyleAtom = 4013;
constexpr long kTextureAtom = 4014;
constexpr long kSizeRegistryAtom = 555;

// A tab button's identifier names the dialog property that holds its page: it must be an atom
// (1 to 0xFFFF) that is none of the library's own, nor the atom of the dialog's "FNPTRKV"
// property (`namedAtom`, 0 when unknown).
bool UsableTabId(long id, unsigned namedAtom);

// A window, as the rules see it (0 = none).
using Ctl = std::uintptr_t;

// The first and last tab-stop control of a dialog or of its page.
struct Stops {
  Ctl first = 0;
  Ctl last = 0;
};

// What WM_NEXTDLGCTL asks: the next or previous control, or (handle form) a named one.
struct Move {
  bool handleForm = false;
  bool previous = false;
  Ctl named = 0;
};

// The control that takes the focus when the move crosses between dialog and page; 0 when the
// move stays inside one of them (the dialog manager's own navigation) or there is nowhere to go.
Ctl CrossingTarget(Ctl focus, Stops dialog, Stops page, Move move);

// Whether `text` carries the mnemonic `typed`: the character after its first '&', compared
// through `upper` (the code page's case folding).
using Fold = unsigned char (*)(unsigned char);
bool CarriesMnemonic(std::string_view text, unsigned char typed, Fold upper);

}  // namespace tabs
