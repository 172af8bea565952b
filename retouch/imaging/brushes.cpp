// The brushes over the editor's blocks: one pointer event becomes dabs along the movement, each
// dab locks nothing itself but works through the views of one event.
#include "retouch/imaging/brushes.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "retouch/canvas/canvas_window.h"
#include "retouch/frame/brush_cursor.h"
#include "retouch/frame/editor.h"
#include "retouch/frame/editor_hooks.h"
#include "controls/widgets/gdi_guard.h"
#include "retouch/frame/tool_window.h"
#include "retouch/imaging/brush_ops.h"

namespace {

DibHandle FrameImage() {
  RetouchState* s = g_state;
  return s && s->frameWindow ? static_cast<DibHandle>(GetFrameProp(s->frameWindow, PROP_IMAGE)) : nullptr;
}

// The blocks of one pointer event, locked once for all its dabs.
class DabBlocks {
 public:
  explicit DabBlocks(int tool)
      : image_(FrameImage()),
        mask_(g_state->brushMask),
        coverage_(tool == TOOL_PAINT ? g_state->strokeCoverage : nullptr),
        snapshot_(tool == TOOL_PAINT && g_state->brushOption == 1 ? g_state->strokeSnapshot : nullptr),
        backup_(tool == TOOL_RESTORE ? g_state->backupImage : nullptr),
        sample_(tool == TOOL_STAMP || tool == TOOL_CLONE ? g_state->cloneSample : nullptr) {
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

brush::DabSettings SettingsOf(int tool) {
  const RetouchState* s = g_state;
  brush::DabSettings st;
  st.tool = tool;
  st.option = s->brushOption;
  st.strength = s->brushStrength;
  st.color = s->brushColor;
  return st;
}

RECT DabRectAt(int tool, int x, int y) {
  const RetouchState* s = g_state;
  const brush::Rect r = brush::DabRect(x, y, s->brushWidth, s->brushHeight, tool == TOOL_SPRAY ? s->brushScale : 1);
  return RECT{r.left, r.top, r.right, r.bottom};
}

// A MaskDib the size of the image (made, or kept when it already fits), cleared.
bool ClearedCoverage(DibHandle image) {
  RetouchState* s = g_state;
  int width = 0, height = 0;
  if (!DibGetInfo(image, &width, &height, nullptr)) return false;
  int w = 0, h = 0, bits = 0;
  if (s->strokeCoverage && !(DibGetInfo(s->strokeCoverage, &w, &h, &bits) && w == width && h == height && bits == 8)) {
    GlobalFree(s->strokeCoverage);
    s->strokeCoverage = nullptr;
  }
  if (!s->strokeCoverage) {
    s->strokeCoverage = DibCreate(width, height, 8);  // zero-filled
    return s->strokeCoverage != nullptr;
  }
  DibLock lock(s->strokeCoverage);
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
      } else if (shape == 1) {
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

void BuildBrushMask(int width, int height) {
  RetouchState* s = g_state;
  if (!s) return;
  s->brushScale = brush::BrushScale(s->currentTool, s->brushOption);
  if (s->brushMask) GlobalFree(s->brushMask);
  s->brushMask = DrawBrushMask(width * s->brushScale, height * s->brushScale, s->brushShape);
}

int Dab(int tool, const RECT* brush) {
  if (!g_state || !brush) return 0;
  if (tool == TOOL_OUTLINE) return OutlineDab(g_state->canvasWindow, brush);
  return DabBlocks(tool).Apply(SettingsOf(tool), *brush);
}

int ApplyStroke(HWND canvas, int cx, int cy, int px, int py) {
  RetouchState* s = g_state;
  if (!s) return 0;
  const int tool = s->currentTool;
  if (tool != TOOL_OUTLINE && (tool < TOOL_PAINT || tool > TOOL_CLONE)) return 0;
  if ((tool == TOOL_STAMP || tool == TOOL_CLONE) && !s->cloneSample) {
    // The first application samples what lies under the brush; the stamp paints nothing then.
    if (!s->brushMask) BuildBrushMask(s->brushWidth, s->brushHeight);
    s->cloneSample = DibCropMasked(FrameImage(), s->brushMask, cx - s->brushWidth / 2, cy - s->brushHeight / 2,
                                   s->brushWidth, s->brushHeight, s->cursorBackColor);
    RebuildBrushCursor(canvas, FALSE);
    if (tool == TOOL_STAMP) return 1;
  }
  BuildBrushMask(s->brushWidth, s->brushHeight);
  brush::StrokeBounds bounds{s->strokeBounds.minX, s->strokeBounds.maxX, s->strokeBounds.minY, s->strokeBounds.maxY};
  if (tool == TOOL_OUTLINE) {
    const RECT r = DabRectAt(tool, px, py);
    brush::ExtendBounds(&bounds, px, py);
    OutlineDab(canvas, &r);
    InvalidateLogicalRect(canvas, &r);
  } else {
    const DabBlocks blocks(tool);
    const brush::DabSettings settings = SettingsOf(tool);
    brush::ForEachDab(tool, cx, cy, px, py, [&](int32_t x, int32_t y) {
      const RECT r = DabRectAt(tool, x, y);
      brush::ExtendBounds(&bounds, x, y);
      blocks.Apply(settings, r);
      InvalidateLogicalRect(canvas, &r);
    });
  }
  s->strokeBounds = StrokeBounds{bounds.minX, bounds.maxX, bounds.minY, bounds.maxY};
  UpdateWindow(canvas);
  return 1;
}

void BeginPaintStroke() {
  RetouchState* s = g_state;
  if (!s) return;
  const DibHandle image = FrameImage();
  if (!ClearedCoverage(image) || (s->brushOption == 1 && !RefreshCopy(&s->strokeSnapshot, image))) {
    // Without both blocks the paint brush refuses to dab rather than blend against stale ones.
    if (s->strokeCoverage) GlobalFree(s->strokeCoverage);
    s->strokeCoverage = nullptr;
  }
}

void PickColor(int x, int y) {
  RetouchState* s = g_state;
  if (!s) return;
  s->previousColor = s->brushColor;
  COLORREF c = 0;
  if (!DibGetPixel(FrameImage(), x, y, &c)) c = s->previousColor;
  if (c == s->brushColor) return;
  s->brushColor = c;
  InvalidateBrushPreview();
}
