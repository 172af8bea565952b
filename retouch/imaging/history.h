// Bookkeeping of the retouch history: a growing array of entries, each holding the image content
// of one rectangle that an undo or redo puts back, keeping what the image showed there instead.
// Entries before `position` can be undone, entries from `position` to `count` - 1 redone.
//
// The blocks themselves (the array, the patches, the image) belong to the platform layer, which
// hands in a store with these members:
//   HistoryEntry* Resize(HistoryEntry* entries, int32_t count)  the array with room for `count`
//       entries (entries kept, new ones zero), or null with the old array untouched; entries may
//       be null (a new array)
//   void FreeArray(HistoryEntry* entries)
//   void FreePatch(void* patch)
//   bool Exchange(void* patch, const brush::Rect& r)  swaps the patch's pixels with the image's
//       pixels of r in place (no allocation, so an undo cannot fail for want of memory); false,
//       with nothing changed, when the patch does not fit r
//   void Invalidate(const brush::Rect& r)
// Portable: no windows.h.
#pragma once

#include <cstdint>

#include "retouch/imaging/brush_ops.h"

// One undo record: the tool that made it, its rectangle in image coordinates (clamped to the
// image) and the block (a DibHandle) with the image content an undo or redo puts back. 24 bytes
// on 32-bit Windows; the handle takes pointer size on 64-bit.
struct HistoryEntry {
  int32_t tool;
  int32_t left, top, right, bottom;
  void* patch;
};
static_assert(sizeof(void*) != 4 || sizeof(HistoryEntry) == 24, "HistoryEntry is 24 bytes on i686");
static_assert(sizeof(void*) != 8 || sizeof(HistoryEntry) == 32, "HistoryEntry widens its handle");

namespace history {

// The three history members of the state record.
struct List {
  HistoryEntry** entries;
  int32_t* position;
  int32_t* count;
};

inline brush::Rect RectOf(const HistoryEntry& e) { return {e.left, e.top, e.right, e.bottom}; }

// Swaps the pixels of `patch` (24-bit, the size of r) with those of the 24-bit image inside r.
// False, with nothing changed, when the views are not 24-bit, the sizes differ or r leaves the
// image.
bool ExchangeRect(const dib::View& image, const dib::View& patch, const brush::Rect& r);

// Adds the entry {tool, r, patch} at the current position, dropping the redo entries after it.
// Takes the patch: on failure (the array cannot grow) it is freed and nothing changes. Returns 1
// when the entry was recorded.
template <class Store>
int Record(Store& store, const List& list, int32_t tool, const brush::Rect& r, void* patch) {
  if (patch == nullptr) return 0;
  HistoryEntry* entries = *list.entries;
  int32_t count = entries != nullptr ? *list.count : 0;
  if (count < 0) count = 0;
  int32_t position = entries != nullptr ? *list.position : 0;
  if (position < 0) position = 0;
  if (position > count) position = count;
  const int32_t newCount = position + 1;
  if (newCount > count) {
    // Growing by one: nothing is dropped, so a failure leaves the history as it was.
    HistoryEntry* grown = store.Resize(entries, newCount);
    if (grown == nullptr) {
      store.FreePatch(patch);
      return 0;
    }
    entries = grown;
  } else {
    for (int32_t i = position; i < count; ++i) {
      store.FreePatch(entries[i].patch);
      entries[i].patch = nullptr;
    }
    // Shrinking: a block that cannot shrink is kept whole; only `count` entries are used.
    if (HistoryEntry* shrunk = store.Resize(entries, newCount)) entries = shrunk;
  }
  entries[position] = HistoryEntry{tool, r.left, r.top, r.right, r.bottom, patch};
  *list.entries = entries;
  *list.count = newCount;
  *list.position = position + 1;
  return 1;
}

// Puts the entry's patch over the image and keeps what it covered as the entry's patch.
template <class Store>
bool Swap(Store& store, HistoryEntry& e) {
  const brush::Rect r = RectOf(e);
  if (e.patch == nullptr || !store.Exchange(e.patch, r)) return false;
  store.Invalidate(r);
  return true;
}

// Undo (back) or redo one entry. Returns 1 when the image changed. Undo beyond the first entry
// leaves the image alone and the next redo starts again with the first entry.
template <class Store>
int Step(Store& store, const List& list, bool back) {
  HistoryEntry* entries = *list.entries;
  const int32_t count = *list.count;
  if (entries == nullptr || count <= 0) return 0;
  int32_t position = *list.position;
  if (back) {
    position = position > count ? count - 1 : position - 1;
    if (position < 0) {
      *list.position = -1;
      return 0;
    }
    if (!Swap(store, entries[position])) return 0;
    *list.position = position;
    return 1;
  }
  if (position < 0) position = 0;
  if (position >= count) return 0;
  if (!Swap(store, entries[position])) return 0;
  *list.position = position + 1;
  return 1;
}

// Frees every patch and the array; the three members become 0.
template <class Store>
void Reset(Store& store, const List& list) {
  if (HistoryEntry* entries = *list.entries) {
    for (int32_t i = 0; i < *list.count; ++i) store.FreePatch(entries[i].patch);
    store.FreeArray(entries);
  }
  *list.entries = nullptr;
  *list.position = 0;
  *list.count = 0;
}

}  // namespace history
