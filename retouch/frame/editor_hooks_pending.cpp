// Do-nothing versions of behaviour that is not built yet (see editor_hooks.h). Nothing allocates
// the blocks these would free until the real versions exist.
#include "retouch/frame/editor_hooks.h"

// The floating selection a dropped library entry becomes is not built yet.
void DropLibrarySelection(const char*, POINT) {}
