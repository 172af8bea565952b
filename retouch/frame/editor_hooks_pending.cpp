// Do-nothing versions of behaviour that is not built yet (see editor_hooks.h). Nothing allocates
// the blocks these would free until the real versions exist.
#include "retouch/frame/editor_hooks.h"

void SelectionPress(HWND, int, int) {}
void SelectionDrag(HWND, int, int, int, int) {}
void SelectionRelease(HWND, int, int, int, int) {}
BOOL OutlinePress(HWND, int, int) { return FALSE; }
int OutlineDab(HWND, const RECT*) { return 0; }
void OutlineRelease(HWND) {}
void DropSelection() {}
void DrawSelection(HDC) {}
BOOL ChooseSelectionCursor(HWND) { return FALSE; }
void FreeSelectionBlocks() {}

// The floating selection a dropped library entry becomes is not built yet.
void DropLibrarySelection(const char*, POINT) {}
