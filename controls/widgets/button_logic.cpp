#include "controls/widgets/button_logic.h"

#include <algorithm>

namespace btn {

draw::Rect PushTextRect(Size client, unsigned style, Size measured) {
  draw::Rect r;
  if (style & kPlaceRight) {
    r.left = 4;
    r.right = r.left + measured.cx;
  } else if (style & kPlaceCentre) {
    r.left = (client.cx - measured.cx) / 2;
    r.right = r.left + measured.cx;
  } else {
    r.right = client.cx - 6;
    r.left = r.right - measured.cx;
  }
  r.right += 4;
  if (style & kPlaceTop) {
    r.top = 4;
    r.bottom = r.top + measured.cy;
  } else {
    r.bottom = (style & kPlaceMiddle) ? client.cy - (client.cy - measured.cy) / 2 : client.cy - 2;
    r.top = r.bottom - measured.cy;
  }
  r.bottom += 1;
  r.left = std::clamp(r.left, 0, client.cx);
  r.right = std::clamp(r.right, r.left, client.cx);
  r.top = std::clamp(r.top, 0, client.cy);
  r.bottom = std::clamp(r.bottom, r.top, client.cy);
  return r;
}

Point PushBitmapPos(Size client, unsigned style, Size bitmap, const draw::Rect* text, bool shifted) {
  Point p;
  if (!text) {
    p.x = (style & kPlaceRight) ? client.cx - bitmap.cx - 3 : (style & kPlaceCentre) ? (client.cx - bitmap.cx) / 2 : 1;
    p.y = (style & kPlaceTop) ? client.cy - bitmap.cy - 3 : (style & kPlaceMiddle) ? (client.cy - bitmap.cy) / 2 : 1;
  } else {
    if (style & kPlaceRight) {
      p.x = std::min(text->right + 2, client.cx - bitmap.cx);
    } else if (style & kPlaceCentre) {
      p.x = (client.cx - bitmap.cx) / 2;
    } else {
      p.x = std::max(text->left - bitmap.cx + 4, 4);
    }
    if (style & kPlaceTop) {
      p.y = std::min(text->bottom + 4, client.cy - bitmap.cy);
    } else if (style & kPlaceMiddle) {
      p.y = (client.cy - bitmap.cy) / 2;
    } else {
      p.y = std::max(text->top - bitmap.cy - 2, 4);
    }
  }
  if (shifted) {
    ++p.x;
    ++p.y;
  }
  return p;
}

}  // namespace btn
