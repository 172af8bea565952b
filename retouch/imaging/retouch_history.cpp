// The retouch history over global memory: the entry array is a movable block held locked in the
// state record; each patch is a 24-bit DibHandle cropped from the copy taken at the press.
#include <windows.h>

#include "retouch/frame/brush_cursor.h"
#include "retouch/frame/editor.h"
#include "retouch/frame/editor_hooks.h"
#include "retouch/imaging/brushes.h"
#include "retouch/imaging/history.h"

namespace {

class GlobalStore {
 public:
  explicit GlobalStore(DibHandle image) : image_(image) {}

  HistoryEntry* Resize(HistoryEntry* entries, int32_t count) {
    const SIZE_T bytes = sizeof(HistoryEntry) * static_cast<SIZE_T>(count);
    if (!entries) {
      HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
      void* p = block ? GlobalLock(block) : nullptr;
      if (!p && block) GlobalFree(block);
      return static_cast<HistoryEntry*>(p);
    }
    HGLOBAL block = GlobalHandle(entries);
    if (!block) return nullptr;
    GlobalUnlock(block);
    HGLOBAL resized = GlobalReAlloc(block, bytes, GMEM_MOVEABLE | GMEM_ZEROINIT);
    // A block that cannot be resized stays as it was: lock it again where it is.
    void* p = GlobalLock(resized ? resized : block);
    return resized ? static_cast<HistoryEntry*>(p) : nullptr;
  }

  void FreeArray(HistoryEntry* entries) {
    if (HGLOBAL block = GlobalHandle(entries)) {
      GlobalUnlock(block);
      GlobalFree(block);
    }
  }

  void FreePatch(void* patch) {
    if (patch) GlobalFree(static_cast<HGLOBAL>(patch));
  }

  bool Exchange(void* patch, const brush::Rect& r) {
    DibLock image(image_), block(static_cast<DibHandle>(patch));
    return image.ok() && block.ok() && history::ExchangeRect(image.view(), block.view(), r);
  }

  void Invalidate(const brush::Rect& r) {
    if (!g_state->canvasWindow) return;
    const RECT rect{r.left, r.top, r.right, r.bottom};
    InvalidateLogicalRect(g_state->canvasWindow, &rect);
  }

 private:
  DibHandle image_;
};

DibHandle FrameImage() {
  return g_state->frameWindow ? static_cast<DibHandle>(GetFrameProp(g_state->frameWindow, PROP_IMAGE)) : nullptr;
}

history::List ListOf(RetouchState* s) { return {&s->history, &s->historyPosition, &s->historyCount}; }

}  // namespace

int RecordHistory(const RECT* rect) {
  RetouchState* s = g_state;
  if (!s || !rect) return 0;
  int width = 0, height = 0;
  if (!DibGetInfo(FrameImage(), &width, &height, nullptr)) return 0;
  const brush::Rect r = brush::ClampToImage({rect->left, rect->top, rect->right, rect->bottom}, width, height);
  if (r.right <= r.left || r.bottom <= r.top) return 0;
  const RECT clamped{r.left, r.top, r.right, r.bottom};
  DibHandle patch = DibCrop(s->strokeBefore, &clamped);
  if (!patch) return 0;
  GlobalStore store(FrameImage());
  return history::Record(store, ListOf(s), s->currentTool, r, patch);
}

int HistoryStep(BOOL back) {
  RetouchState* s = g_state;
  if (!s) return 0;
  GlobalStore store(FrameImage());
  return history::Step(store, ListOf(s), back != FALSE);
}

void ResetHistory() {
  RetouchState* s = g_state;
  if (!s) return;
  GlobalStore store(nullptr);
  history::Reset(store, ListOf(s));
}
