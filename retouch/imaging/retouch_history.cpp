// The retouch history over global memory: the entry array is a movable block held locked in the
// state record; each patch is a 24-bit DibHandle cropped from the copy taken at the press.
#include "retouch/imaging/retouch_history.h"

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

  // What changed goes back to the caller, which refreshes the canvas.
  void Invalidate(const brush::Rect& r) { changed_ = RECT{r.left, r.top, r.right, r.bottom}; }
  const RECT& changed() const { return changed_; }

 private:
  DibHandle image_;
  RECT changed_{};
};

history::List ListOf(RetouchState& s) { return {&s.history, &s.historyPosition, &s.historyCount}; }

}  // namespace

int RecordHistory(RetouchState& s, DibHandle image, const RECT* rect) {
  if (!rect) return 0;
  int width = 0, height = 0;
  if (!DibGetInfo(image, &width, &height, nullptr)) return 0;
  const brush::Rect r = brush::ClampToImage({rect->left, rect->top, rect->right, rect->bottom}, width, height);
  if (r.right <= r.left || r.bottom <= r.top) return 0;
  const RECT clamped{r.left, r.top, r.right, r.bottom};
  DibHandle patch = DibCrop(s.strokeBefore, &clamped);
  if (!patch) return 0;
  GlobalStore store(image);
  return history::Record(store, ListOf(s), s.currentTool, r, patch);
}

int HistoryStep(RetouchState& s, DibHandle image, BOOL back, RECT* changed) {
  GlobalStore store(image);
  const int result = history::Step(store, ListOf(s), back != FALSE);
  if (result && changed) *changed = store.changed();
  return result;
}

void ResetHistory(RetouchState& s) {
  GlobalStore store(nullptr);
  history::Reset(store, ListOf(s));
}
