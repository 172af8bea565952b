// The control size registry: a dialog registers its children once and has them placed, and
// their fonts and item heights scaled, in proportion to its size from then on.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace tamsel {

// The registry block, in property 555 of the dialog: a header, then one entry per child and a
// spare one. The 32-bit library's layout; on x86_64 the handle slots widen to pointer size.
constexpr ATOM kSizeRegistryProp = 555;

struct SizeRegistryHeader {
  uint16_t count;
  RECT registered;  // the dialog's window rectangle at registration
  RECT current;     // at the last resize
};

struct SizeRegistryEntry {
  HWND control;
  int16_t fontWidth;   // of the control's font at registration
  int16_t fontHeight;
  uint32_t reserved;
  HFONT font;          // made by the registry and set on the control; null if none
  RECT rect;           // in the dialog's client coordinates
  int32_t isCombo;
  int32_t isList;
  int32_t itemHeight;  // at registration minus 4; 0 for other classes
};

constexpr size_t kSizeRegistryEntries =
    (sizeof(SizeRegistryHeader) + alignof(SizeRegistryEntry) - 1) / alignof(SizeRegistryEntry) *
    alignof(SizeRegistryEntry);

static_assert(sizeof(SizeRegistryHeader) == 36 && offsetof(SizeRegistryHeader, registered) == 4 &&
              offsetof(SizeRegistryHeader, current) == 20);
#ifdef _WIN64
static_assert(kSizeRegistryEntries == 40 && sizeof(SizeRegistryEntry) == 56 &&
              offsetof(SizeRegistryEntry, fontWidth) == 8 && offsetof(SizeRegistryEntry, reserved) == 12 &&
              offsetof(SizeRegistryEntry, font) == 16 && offsetof(SizeRegistryEntry, rect) == 24 &&
              offsetof(SizeRegistryEntry, isCombo) == 40 && offsetof(SizeRegistryEntry, itemHeight) == 48);
#else
static_assert(kSizeRegistryEntries == 36 && sizeof(SizeRegistryEntry) == 44 &&
              offsetof(SizeRegistryEntry, fontWidth) == 4 && offsetof(SizeRegistryEntry, reserved) == 8 &&
              offsetof(SizeRegistryEntry, font) == 12 && offsetof(SizeRegistryEntry, rect) == 16 &&
              offsetof(SizeRegistryEntry, isCombo) == 32 && offsetof(SizeRegistryEntry, itemHeight) == 40);
#endif

// The mini keyboard's window while it is open: its keys are placed but their fonts and item
// heights are left alone.
extern HWND miniKeyboardWindow;

}  // namespace tamsel

extern "C" {
int WINAPI KvRegisterSizesOfControls(HWND dialog);
int WINAPI KvResizeTheControls(HWND dialog);
int WINAPI KvUnregisterSizesOfControls(HWND dialog);
}
