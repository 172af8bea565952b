// Dialog backgrounds: face colour, gradient or texture from the dialog's style record.
#include <cstring>

#include "controls/core/style_record.h"
#include "controls/widgets/draw_math.h"
#include "controls/widgets/drawing.h"
#include "controls/widgets/packed_dib.h"
#include "winkit/gdi_guard.h"

namespace {

void FillFace(HDC dc, const RECT& r) { FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE)); }

bool IsTabPage(HWND window) {
  char cls[32];
  if (!GetClassNameA(window, cls, sizeof cls)) return false;
  CharUpperA(cls);
  return std::strncmp(cls, "KVTABPAG", 8) == 0;
}

}  // namespace

int PaintDlgBackground(HWND window, HDC dc) {
  RECT client;
  if (!dc || !GetClientRect(window, &client)) return 0;
  const int kind = GetStyleKind(window, kStyleBackground);
  const COLORREF first = GetStyleFirstColour(window, kStyleBackground);
  const COLORREF second = GetStyleSecondColour(window, kStyleBackground);
  if (kind == kKindVerticalGradient || kind == kKindHorizontalGradient) {
    fill_rect_gradient(dc, &client, first, second, kind == kKindVerticalGradient);
    return 1;
  }
  if (kind != kKindTexture) {
    FillFace(dc, client);
    return 1;
  }
  HGLOBAL texture = GetBackgroundTextureLoaded(window);
  if (IsNoDib(texture)) {
    FillFace(dc, client);
    return 0;
  }
  const StylePlacement place = GetBackgroundPlacement(window);
  if (!place.placed) return DrawDibTiled(dc, texture, &client);
  {
    PackedDibLock lock(texture);
    if (!lock.ok()) {
      FillFace(dc, client);
      return 0;
    }
    draw::TileSource source;
    RECT to;
    if (!PlacedTextureRect(lock, client, place.fitWidth, place.fitHeight, place.alignRight, place.alignBottom, &source,
                    &to)) {
      return 0;
    }
    // Around the picture, the gradient of the two colours.
    gdi::SavedDC state(dc);
    ExcludeClipRect(dc, to.left, to.top, to.right, to.bottom);
    fill_rect_gradient(dc, &client, first, second, 0);
  }
  return DrawDibPlaced(dc, texture, &client, place.fitWidth, place.fitHeight, place.alignRight,
                       place.alignBottom);
}

extern "C" int WINAPI FillDlgWithTexture(HWND dialog, HDC dc, int number) {
  bool request = dc && IsParentBackgroundRequest(dc);
  HANDLE numberValue = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(number));
  // A tab page asked for its background paints it as a dialog of its own.
  if (request && IsTabPage(dialog)) {
    SetPropA(dialog, PROP_DLG_TEXTURE, numberValue);
    request = false;
  }
  if (!GetPropA(dialog, PROP_DLG_STYLE) && number != 0 && !request) {
    SetPropA(dialog, PROP_DLG_TEXTURE, numberValue);
    LoadDialogStyle(dialog, number);
  }
  return PaintDlgBackground(dialog, dc);
}

extern "C" int WINAPI EndDlgTexture(HWND dialog) {
  ReleaseDialogStyle(dialog);
  return static_cast<int>(reinterpret_cast<INT_PTR>(RemovePropA(dialog, PROP_DLG_TEXTURE)));
}
