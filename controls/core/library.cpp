// Load and unload of the library: the window classes, the global style, and the outside
// library's log object that lives as long as the library.
#include "controls/core/library.h"

#include "controls/core/classes.h"
#include "controls/core/style_record.h"
#include "controls/widgets/drawing.h"
#include "controls/widgets/mini_keyboard.h"
#include "controls/widgets/utilities.h"
#include "host/corvane/corvane.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace tamsel {

HINSTANCE libraryInstance = nullptr;
HMODULE hostModule = nullptr;
WNDPROC editClassProc = nullptr;
HGDIOBJ comboCachedObject = nullptr;
int comboListOpen = 0;
HWND inputAuxDialog = nullptr;

namespace {
// Constructed before the attach work and destroyed after the detach work.
CLog libraryLog(reinterpret_cast<HINSTANCE>(&__ImageBase), "ZR", e_ManufacturerDefault);
}  // namespace

BOOL LibraryAttach(HINSTANCE module) {
  if (!libraryInstance) {
    libraryInstance = RegisterControlClasses(module) ? module : nullptr;
    ReadGlobalFlags();
    LoadGlobalStyle();
  }
  hostModule = GetModuleHandleA(nullptr);
  return libraryInstance != nullptr;
}

void LibraryDetach() {
  if (comboCachedObject) {
    DeleteObject(comboCachedObject);
    comboCachedObject = nullptr;
  }
  if (!libraryInstance) return;
  // Its window procedure and focus hook go away with the library.
  ToggleMiniKeyboard(nullptr, 0);
  UnregisterControlClasses(libraryInstance);
  DeleteDotLineBrush();
  ReleaseTrimBuffers();
  ReleaseGlobalStyle();
  libraryInstance = nullptr;
}

}  // namespace tamsel
