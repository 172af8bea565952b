// Do-nothing versions of behaviour that is not built yet (see editor_hooks.h). Nothing allocates
// the blocks these would free until the real versions exist.
#include "retouch/frame/editor_hooks.h"

void BuildBrushMask(int, int) {}
void ResetHistory() {}
int ApplyStroke(HWND, int, int, int, int) { return 0; }

void DropSelection() {}
void DrawSelection(HDC) {}
BOOL ChooseSelectionCursor(HWND) { return FALSE; }
void FreeSelectionBlocks() {}

void TextEnd(HWND) {}
void TextPaint(HWND, HDC) {}
void TextKeyDown(HWND, int) {}
void TextChar(HWND, int) {}
