// A copy of one entry of a dialog's own style record, read directly (zeros without a record).
#pragma once

#include "controls/core/style_record.h"

inline StyleEntry DialogEntry(HWND dialog, StyleElement e) {
  StyleEntry copy = {};
  HGLOBAL h = static_cast<HGLOBAL>(GetPropA(dialog, PROP_DLG_STYLE));
  if (auto* r = static_cast<StyleRecord*>(h && !IsNoHandle(h) ? GlobalLock(h) : nullptr)) {
    copy = r->entries[e];
    GlobalUnlock(h);
  }
  return copy;
}
