// The brushes over the editor's blocks: one pointer event becomes dabs along the movement, each
// dab locks nothing itself but works through the views of one event.
#include "retouch/imaging/brushes.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "retouch/imaging/brush_ops.h"
#include "winkit/gdi_guard.h"

namespace {

// The blocks of one pointer event, locked once for all its dabs.
class DabBlocks {
 public:
  DabBlocks(const RetouchState& s, DibHandle image, int tool)
      : image_(image),
        mask_(s.brushMask),
        coverage_(tool == TOOL_PAINT ? s.strokeCoverage : nullptr),
        snapshot_(tool == TOOL_PAINT && s.brushOption == 1 ? s.strokeSnapshot : nullptr),
        backup_(tool == TOOL_RESTORE ? s.backupImage : nullptr),
        sample_(UsesSample(tool) ? s.cloneSample : nullptr) {
    blocks_.coverage = coverage_.view();
    blocks_.snapshot = snapshot_.view();
    blocks_.backup = backup_.view();
    blocks_.sample = sample_.view();
  }
  int Apply(const brush::DabSettings& settings, const RECT& r) const {
    return brush::ApplyDab(settings, r.left, r.top, image_.view(), mask_.view(), blocks_);
  }
 private:
  DibLock image_, mask_, coverage_, snapshot_, backup_, sample_;
  brush::DabBlocks blocks_;
};

brush::DabSettings SettingsOf(const RetouchState& s, int tool) {
  brush::DabSettings st;
  st.tool = tool;
  st.option = s.brushOption;
  st.strength = s.brushStrength;
  st.color = s.brushColor;
  return st;
}

// A MaskDib the size of the image (made, or kept when it already fits), cleared.
bool ClearedCoverage(RetouchState& s, DibHandle image) {
  int width = 0, height = 0;
  if (!DibGetInfo(image, &width, &height, nullptr)) return false;
  int w = 0, h = 0, bits = 0;
  if (s.strokeCoverage && !(DibGetInfo(s.strokeCoverage, &w, &h, &bits) && w == width && h == height && bits == 8)) {
    GlobalFree(s.strokeCoverage);
    s.strokeCoverage = nullptr;
  }
  if (!s.strokeCoverage) {
    s.strokeCoverage = DibCreate(width, height, 8);  // zero-filled
    return s.strokeCoverage != nullptr;
  }
  DibLock lock(s.strokeCoverage);
  if (!lock.ok()) return false;
  const dib::View& v = lock.view();
  std::memset(v.bits, 0, static_cast<size_t>(v.stride) * static_cast<size_t>(v.height));
  return true;
}

}  // namespace

bool RefreshCopy(DibHandle* copy, DibHandle image) {
  if (!image) return false;
  if (*copy) {
    int w = 0, h = 0, bits = 0, cw = 0, ch = 0, cbits = 0;
    if (DibGetInfo(image, &w, &h, &bits) && DibGetInfo(*copy, &cw, &ch, &cbits) && w == cw && h == ch &&
        bits == cbits && GlobalSize(*copy) == GlobalSize(image) && DibCopyInto(*copy, image))
      return true;
    GlobalFree(*copy);
    *copy = nullptr;
  }
  *copy = DibDuplicate(image, TRUE);
  return *copy != nullptr;
}

DibHandle DrawBrushMask(int width, int height, int shape) {
  if (width <= 0 || height <= 0) return nullptr;
  DibHandle mask = DibCreate(width, height, 8);
  if (!mask) return nullptr;
  gdi::WindowDC screen(nullptr);
  gdi::Owned<HBITMAP> drawing(CreateBitmap(width, height, 1, 1, nullptr));
  bool drawn = false;
  if (screen.get() && drawing.get()) {
    gdi::MemoryDC mem(screen.get());
    if (mem.get()) {
      gdi::Select select(mem.get(), drawing.get());
      SetMapMode(mem.get(), MM_ANISOTROPIC);
      SetWindowExtEx(mem.get(), width, height, nullptr);
      SetViewportExtEx(mem.get(), width, height, nullptr);
      SetWindowOrgEx(mem.get(), 0, 0, nullptr);
      SetViewportOrgEx(mem.get(), 0, 0, nullptr);
      PatBlt(mem.get(), 0, 0, width, height, BLACKNESS);
      gdi::Select pen(mem.get(), GetStockObject(NULL_PEN));
      gdi::Select fill(mem.get(), GetStockObject(WHITE_BRUSH));
      if (width == 1 && height == 1) {
        SetPixel(mem.get(), 0, 0, RGB(255, 255, 255));
      } else if (width < 3 || height < 3) {
        PatBlt(mem.get(), 0, 0, width, height, WHITENESS);
      } else if (shape == BRUSH_RECTANGLE) {
        Rectangle(mem.get(), 0, 0, width, height);
      } else {
        Ellipse(mem.get(), 0, 0, width, height);
      }
      drawn = true;
    }
  }
  // Read the drawing back top-down, one bit a pixel; the palette says which bit is black.
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[2];
  } info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width;
  info.header.biHeight = -height;
  info.header.biPlanes = 1;
  info.header.biBitCount = 1;
  const int stride = ((width + 31) / 32) * 4;
  std::unique_ptr<uint8_t[]> bits(new (std::nothrow) uint8_t[static_cast<size_t>(stride) * static_cast<size_t>(height)]);
  bool read = drawn && bits &&
              GetDIBits(screen.get(), drawing.get(), 0, static_cast<UINT>(height), bits.get(),
                        reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) == height;
  DibLock lock(mask);
  if (!read || !lock.ok()) {
    GlobalFree(mask);
    return nullptr;
  }
  auto inside = [](const RGBQUAD& c) -> uint8_t { return c.rgbRed || c.rgbGreen || c.rgbBlue ? 1 : 0; };
  brush::MaskFromBits(bits.get(), stride, inside(info.colors[0]), inside(info.colors[1]), lock.view());
  return mask;
}

void BuildBrushMask(RetouchState& s, int width, int height) {
  s.brushScale = brush::BrushScale(s.currentTool, s.brushOption);
  if (s.brushMask) GlobalFree(s.brushMask);
  s.brushMask = DrawBrushMask(width * s.brushScale, height * s.brushScale, s.brushShape);
}

RECT BrushRectAt(const RetouchState& s, int tool, int x, int y) {
  const brush::Rect r = brush::DabRect(x, y, s.brushWidth, s.brushHeight, tool == TOOL_SPRAY ? s.brushScale : 1);
  return RECT{r.left, r.top, r.right, r.bottom};
}

void ExtendStrokeBounds(RetouchState& s, int x, int y) { brush::ExtendBounds(&s.strokeBounds, x, y); }

int Dab(RetouchState& s, DibHandle image, int tool, const RECT* brush) {
  if (!brush || tool == TOOL_OUTLINE) return 0;
  return DabBlocks(s, image, tool).Apply(SettingsOf(s, tool), *brush);
}

bool TakeCloneSample(RetouchState& s, DibHandle image, int x, int y) {
  if (!s.brushMask) BuildBrushMask(s, s.brushWidth, s.brushHeight);
  s.cloneSample = DibCropMasked(image, s.brushMask, x - s.brushWidth / 2, y - s.brushHeight / 2, s.brushWidth,
                                s.brushHeight, s.cursorBackColor);
  return s.cloneSample != nullptr;
}

void ApplyStrokeDabs(RetouchState& s, DibHandle image, int cx, int cy, int px, int py, TouchedRect touched,
                     void* context) {
  const int tool = s.currentTool;
  const DabBlocks blocks(s, image, tool);
  const brush::DabSettings settings = SettingsOf(s, tool);
  brush::ForEachDab(tool, cx, cy, px, py, [&](int32_t x, int32_t y) {
    const RECT r = BrushRectAt(s, tool, x, y);
    ExtendStrokeBounds(s, x, y);
    blocks.Apply(settings, r);
    touched(context, r);
  });
}

void BeginPaintStroke(RetouchState& s, DibHandle image) {
  if (!ClearedCoverage(s, image) || (s.brushOption == 1 && !RefreshCopy(&s.strokeSnapshot, image))) {
    // Without both blocks the paint brush refuses to dab rather than blend against stale ones.
    if (s.strokeCoverage) GlobalFree(s.strokeCoverage);
    s.strokeCoverage = nullptr;
  }
}

bool PickColor(RetouchState& s, DibHandle image, int x, int y) {
  s.previousColor = s.brushColor;
  COLORREF c = 0;
  if (!DibGetPixel(image, x, y, &c)) c = s.previousColor;
  if (c == s.brushColor) return false;
  s.brushColor = c;
  return true;
}
