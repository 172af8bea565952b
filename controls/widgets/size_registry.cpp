// The control size registry. Each entry keeps what its control looked like at registration, and
// every resize starts from that. Beyond the plain scheme: a second registration releases the
// first, unregistration releases the fonts of controls already destroyed, and only fonts the
// registry made itself are ever deleted (a control whose font cannot be remade keeps its own).
#include "controls/widgets/size_registry.h"

#include <algorithm>
#include <string_view>

#include "controls/core/locale_info.h"
#include "controls/widgets/size_math.h"
#include "winkit/global_lock.h"

namespace tamsel {

HWND miniKeyboardWindow = nullptr;

namespace {

const char* const kProp = MAKEINTATOM(kSizeRegistryProp);

size_t BlockSize(size_t entries) { return kSizeRegistryEntries + entries * sizeof(SizeRegistryEntry); }

// The locked block's header and entries; the count is bounded by what the block holds.
struct Registry {
  explicit Registry(HGLOBAL block) : lock(block) {
    if (!lock || lock.size() < BlockSize(0)) return;
    header = lock.as<SizeRegistryHeader>();
    entries = reinterpret_cast<SizeRegistryEntry*>(static_cast<char*>(lock.get()) + kSizeRegistryEntries);
    count = std::min<size_t>(header->count, (lock.size() - BlockSize(0)) / sizeof(SizeRegistryEntry));
  }
  winkit::GlobalBlockLock lock;
  SizeRegistryHeader* header = nullptr;
  SizeRegistryEntry* entries = nullptr;
  size_t count = 0;
};

std::string_view ClassName(HWND window, char (&buffer)[64]) {
  const int n = GetClassNameA(window, buffer, sizeof buffer);
  return std::string_view(buffer, n > 0 ? static_cast<size_t>(n) : 0);
}

sizes::Rect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

int16_t Clamp16(LONG v) { return static_cast<int16_t>(std::clamp<LONG>(v, INT16_MIN, INT16_MAX)); }

HFONT ControlFont(HWND control) { return reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)); }

// A font like `base` in the given size for `control`, or null: plain left-aligned statics keep
// theirs, and a base that is no font (or a failed creation) gives nothing.
HFONT MakeControlFont(HWND control, HFONT base, int width, int height) {
  char buffer[64];
  if (sizes::IsPlainLeftStatic(ClassName(control, buffer), static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE))))
    return nullptr;
  if (!base) base = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  LOGFONTA lf{};
  if (!base || GetObjectType(base) != OBJ_FONT || !GetObjectA(base, sizeof lf, &lf)) return nullptr;
  const sizes::FontSize size = sizes::FontFor(width, height);
  lf.lfWidth = size.width;
  lf.lfHeight = size.height;
  if (size.trueTypeOnly) {
    lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    lf.lfClipPrecision = CLIP_TT_ALWAYS;
    lf.lfQuality = PROOF_QUALITY;
  }
  if (!sizes::KeepsFaceName(LocaleInfo().languageCode)) lstrcpynA(lf.lfFaceName, "arial", LF_FACESIZE);
  return CreateFontIndirectA(&lf);
}

// Hands the control the new font, then deletes the one it replaces: the control never holds a
// deleted font.
void PutFont(SizeRegistryEntry& e, HFONT font) {
  SendMessageA(e.control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  if (e.font) DeleteObject(e.font);
  e.font = font;
}

SizeRegistryEntry Describe(HWND child, HWND dialog) {
  SizeRegistryEntry e{};
  e.control = child;
  char buffer[64];
  const std::string_view name = ClassName(child, buffer);
  e.isCombo = sizes::IsComboClass(name);
  e.isList = !e.isCombo && sizes::IsListClass(name);
  if (e.isCombo || e.isList) {
    const LRESULT h = SendMessageA(child, e.isCombo ? CB_GETITEMHEIGHT : LB_GETITEMHEIGHT, 0, 0);
    // An error (-1) or an item of 4 pixels or less registers nothing to scale.
    e.itemHeight = h > 4 && h <= INT16_MAX ? static_cast<int32_t>(h - 4) : 0;
  }
  GetWindowRect(child, &e.rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&e.rect), 2);

  HFONT font = ControlFont(child);
  if (!font) font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  if (!font) return e;
  LOGFONTA lf{};
  if (GetObjectType(font) == OBJ_FONT) GetObjectA(font, sizeof lf, &lf);
  e.fontWidth = Clamp16(lf.lfWidth);
  e.fontHeight = Clamp16(lf.lfHeight);
  if (HFONT made = MakeControlFont(child, font, e.fontWidth, e.fontHeight)) {
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(made), TRUE);
    e.font = made;
  }
  return e;
}

// Deletes the fonts of `block`, of live and destroyed controls alike. A live control still
// showing one of them passes it to its entry in `successor` when that entry has no font of its
// own; otherwise it goes back to the system font rather than keep a deleted handle.
void ReleaseFonts(HGLOBAL block, HGLOBAL successor) {
  Registry old(block);
  Registry heirs(successor);
  for (size_t i = 0; i < old.count; ++i) {
    SizeRegistryEntry& e = old.entries[i];
    if (!e.font) continue;
    if (IsWindow(e.control) && ControlFont(e.control) == e.font) {
      SizeRegistryEntry* heir = std::find_if(heirs.entries, heirs.entries + heirs.count, [&](const SizeRegistryEntry& h) {
        return h.control == e.control && !h.font;
      });
      if (heir != heirs.entries + heirs.count) {
        heir->font = e.font;
        e.font = nullptr;
        continue;
      }
      SendMessageA(e.control, WM_SETFONT, 0, FALSE);
    }
    DeleteObject(e.font);
    e.font = nullptr;
  }
}

void ScaleFont(SizeRegistryEntry& e, int newW, int newH, int oldW, int oldH) {
  const int height = sizes::ScaledFontHeight(e.fontHeight, newH, oldH);
  const int width = sizes::ScaledFontWidth(e.fontWidth, newW, oldW);
  // Compared with the font the control has now, not with the registered size: a size that comes
  // out at the registered one must undo the previous resize's font too.
  if (e.font) {
    const sizes::FontSize want = sizes::FontFor(width, height);
    LOGFONTA lf{};
    if (GetObjectA(e.font, sizeof lf, &lf) && lf.lfHeight == want.height && lf.lfWidth == want.width) return;
  } else if (height == e.fontHeight && width == e.fontWidth) {
    return;
  }
  // Without a font of its own the control's current one is the model; it is never deleted.
  if (HFONT made = MakeControlFont(e.control, e.font ? e.font : ControlFont(e.control), width, height))
    PutFont(e, made);
}

void ScaleItems(const SizeRegistryEntry& e, int newH, int oldH) {
  if (!(e.isCombo || e.isList) || e.itemHeight == 0 || oldH == 0) return;
  const LRESULT n = SendMessageA(e.control, e.isCombo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
  const int height = sizes::ScaledItemHeight(e.itemHeight, newH, oldH);
  for (LRESULT i = n - 1; i >= 0; --i)
    SendMessageA(e.control, e.isCombo ? CB_SETITEMHEIGHT : LB_SETITEMHEIGHT, static_cast<WPARAM>(i), height);
}

}  // namespace

}  // namespace tamsel

using namespace tamsel;

extern "C" int WINAPI KvRegisterSizesOfControls(HWND dialog) {
  if (!dialog || !IsWindow(dialog)) return 0;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, BlockSize(1));
  if (!block) return 0;
  RECT dialogRect{};
  GetWindowRect(dialog, &dialogRect);
  size_t count = 0;
  for (HWND child = GetWindow(dialog, GW_CHILD); child && child != dialog && IsWindow(child) && count < UINT16_MAX;
       child = GetWindow(child, GW_HWNDNEXT)) {
    // Room for this child and a spare entry; a child that does not fit is left out.
    HGLOBAL grown = GlobalReAlloc(block, BlockSize(count + 2), GMEM_MOVEABLE | GMEM_ZEROINIT);
    if (!grown) continue;
    block = grown;
    winkit::GlobalBlockLock lock(block);
    if (!lock) continue;
    reinterpret_cast<SizeRegistryEntry*>(lock.as<char>() + kSizeRegistryEntries)[count++] = Describe(child, dialog);
  }
  if (count) {
    winkit::GlobalBlockLock lock(block);
    auto* header = lock.as<SizeRegistryHeader>();
    if (header) {
      header->count = static_cast<uint16_t>(count);
      header->registered = header->current = dialogRect;
    }
  } else {
    GlobalFree(block);
    block = nullptr;
  }

  HGLOBAL previous = GetPropA(dialog, kProp);
  if (!block) {
    RemovePropA(dialog, kProp);
  } else if (!SetPropA(dialog, kProp, block)) {
    // The first registry, if any, stays as it was.
    ReleaseFonts(block, nullptr);
    GlobalFree(block);
    return 0;
  }
  if (previous && previous != block) {
    ReleaseFonts(previous, block);
    GlobalFree(previous);
  }
  return 1;
}

extern "C" int WINAPI KvResizeTheControls(HWND dialog) {
  HGLOBAL block = dialog ? GetPropA(dialog, kProp) : nullptr;
  Registry r(block);
  if (!r.header) return 1;
  GetWindowRect(dialog, &r.header->current);
  const RECT& was = r.header->registered;
  const RECT& now = r.header->current;
  const int newW = sizes::Span(now.left, now.right), newH = sizes::Span(now.top, now.bottom);
  const int oldW = sizes::Span(was.left, was.right), oldH = sizes::Span(was.top, was.bottom);
  const bool keyboard = dialog == miniKeyboardWindow;

  HDWP defer = BeginDeferWindowPos(static_cast<int>(r.count));
  for (size_t i = 0; i < r.count; ++i) {
    SizeRegistryEntry& e = r.entries[i];
    if (!IsWindow(e.control)) continue;
    const sizes::Rect to = sizes::ScaleRect(ToRect(e.rect), newW, newH, oldW, oldH);
    const int w = sizes::Span(to.left, to.right), h = sizes::Span(to.top, to.bottom);
    constexpr UINT kFlags = SWP_NOZORDER | SWP_FRAMECHANGED;
    // One deferred set for the dialog's own children (it takes no others); without it (none
    // could be made, or it failed) a control is moved alone.
    const bool deferred = defer && GetParent(e.control) == dialog &&
                          (defer = DeferWindowPos(defer, e.control, nullptr, to.left, to.top, w, h, kFlags));
    if (!deferred) SetWindowPos(e.control, nullptr, to.left, to.top, w, h, kFlags);
    InvalidateRect(e.control, nullptr, TRUE);
    if (keyboard) continue;
    ScaleFont(e, newW, newH, oldW, oldH);
    ScaleItems(e, newH, oldH);
  }
  if (defer) EndDeferWindowPos(defer);
  return 1;
}

extern "C" int WINAPI KvUnregisterSizesOfControls(HWND dialog) {
  if (!dialog) return 0;
  if (HGLOBAL block = GetPropA(dialog, kProp)) {
    ReleaseFonts(block, nullptr);
    GlobalFree(block);
  }
  return RemovePropA(dialog, kProp) ? 1 : 0;
}
