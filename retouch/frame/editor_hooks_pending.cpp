// Do-nothing versions of behaviour that is not built yet (see editor_hooks.h). Nothing allocates
// the blocks these would free until the real versions exist.
#include "retouch/frame/editor_hooks.h"

void TextStart(HWND, int, int) {}
void TextEnd(HWND) {}
void TextPaint(HWND, HDC) {}
void TextKeyDown(HWND, int) {}
void TextChar(HWND, int) {}
void ChooseTextFont(HWND) {}

void RunAdjustDialog(HWND, const RECT*) {}

INT_PTR CALLBACK LibraryWindowProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
