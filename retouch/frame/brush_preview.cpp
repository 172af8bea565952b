// The brush as it will paint, drawn into a rectangle: the tool window's preview and the image of
// the brush cursor.
#include "retouch/frame/brush_preview.h"

#include <algorithm>

#include "winkit/gdi_guard.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kCursorGrey = 0x00C0C0C0;

}  // namespace

void DrawBrushPreview(RetouchState& s, HDC dc, const RECT* rect, int width, int height, BOOL preview) {
  if (!dc || !rect) return;
  const bool whiteBrush = s.brushColor == kWhite;
  s.cursorBackColor = whiteBrush ? kCursorGrey : kWhite;
  const bool whiteOnWhite = preview && whiteBrush;
  const bool outlineOnly = s.currentTool == TOOL_OUTLINE && s.brushShape == BRUSH_ELLIPSE;

  // Made before the saved state: restoring it deselects them before they are deleted.
  gdi::Owned<HBRUSH> back(whiteOnWhite ? nullptr : CreateSolidBrush(s.cursorBackColor));
  gdi::Owned<HBRUSH> paint(CreateSolidBrush(s.brushColor));
  gdi::Owned<HPEN> outline(outlineOnly ? CreatePen(PS_SOLID, 1, whiteBrush ? 0x00FF0000 : s.brushColor) : nullptr);
  gdi::SavedDC saved(dc);
  if (!saved.ok()) return;
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowExtEx(dc, std::max(1, width), std::max(1, height), nullptr);
  SetViewportExtEx(dc, std::max(1, width), std::max(1, height), nullptr);
  SetWindowOrgEx(dc, 0, 0, nullptr);
  SetViewportOrgEx(dc, 0, 0, nullptr);
  // A brush larger than the area (the tool window's preview) stays inside it.
  IntersectClipRect(dc, rect->left, rect->top, rect->right, rect->bottom);

  const HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  if (whiteOnWhite || back.get()) FillRect(dc, rect, whiteOnWhite ? white : back.get());
  SelectObject(dc, GetStockObject(whiteOnWhite ? BLACK_PEN : NULL_PEN));
  SelectObject(dc, paint.get() ? static_cast<HGDIOBJ>(paint.get()) : GetStockObject(NULL_BRUSH));

  const int left = rect->left + (rect->right - rect->left - width) / 2;
  const int top = rect->top + (rect->bottom - rect->top - height) / 2;
  const RECT brush{left, top, left + width, top + height};
  if (width == 1 && height == 1 && s.brushShape != BRUSH_FULL_RECTANGLE) {
    const int cx = (rect->left + rect->right) / 2;
    const int cy = (rect->top + rect->bottom) / 2;
    SelectObject(dc, GetStockObject(BLACK_PEN));
    MoveToEx(dc, cx, cy - 8, nullptr);
    LineTo(dc, cx, cy - 1);
    MoveToEx(dc, cx - 8, cy, nullptr);
    LineTo(dc, cx - 1, cy);
    MoveToEx(dc, cx + 2, cy, nullptr);
    LineTo(dc, cx + 8, cy);
    MoveToEx(dc, cx, cy + 2, nullptr);
    LineTo(dc, cx, cy + 8);
  } else if ((width > 2 && height > 2) || s.brushShape == BRUSH_FULL_RECTANGLE) {
    if (s.brushShape == BRUSH_ELLIPSE) {
      if (outlineOnly) {
        // The outline brush shows only its circle.
        if (outline.get()) SelectObject(dc, outline.get());
        SelectObject(dc, GetStockObject(NULL_BRUSH));
      }
      Ellipse(dc, brush.left, brush.top, brush.right, brush.bottom);
    } else {
      Rectangle(dc, brush.left, brush.top, brush.right, brush.bottom);
    }
  } else {
    if (whiteOnWhite) FillRect(dc, rect, white);
    if (paint.get()) FillRect(dc, &brush, paint.get());
  }
}
