#include "controls/widgets/tab_logic.h"

namespace tabs {

bool UsableTabId(long id, unsigned namedAtom) {
  if (id <= 0 || id > 0xFFFF) return false;
  if (id == kStyleAtom || id == kTextureAtom || id == kSizeRegistryAtom) return false;
  return namedAtom == 0 || static_cast<unsigned long>(id) != namedAtom;
}

namespace {

bool Names(Move m, Ctl c) { return m.handleForm && m.named == c; }
bool Next(Move m) { return !m.handleForm && !m.previous; }
bool Previous(Move m) { return !m.handleForm && m.previous; }

}  // namespace

Ctl CrossingTarget(Ctl focus, Stops dialog, Stops page, Move move) {
  if (!focus || !page.first) return 0;
  if (focus == dialog.last && (Next(move) || Names(move, dialog.first))) return page.first;
  if (focus == dialog.first && (Previous(move) || Names(move, dialog.last))) return page.last;
  if (!dialog.first) return 0;
  if (focus == page.last && (Next(move) || Names(move, page.first))) return dialog.first;
  if (focus == page.first && (Previous(move) || Names(move, page.last))) return dialog.last;
  return 0;
}

bool CarriesMnemonic(std::string_view text, unsigned char typed, Fold upper) {
  const size_t amp = text.find('&');
  if (amp == std::string_view::npos || amp + 1 >= text.size()) return false;
  const auto carried = static_cast<unsigned char>(text[amp + 1]);
  return upper(carried) == upper(typed);
}

}  // namespace tabs
