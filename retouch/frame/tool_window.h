// The tool window: the editor's floating palette (template 257). It picks the tool, holds the
// brush options of the current tool (size, shape, option, strength, colour) while keeping every
// other tool's in its entry of the tool table, previews the brush, undoes and redoes strokes,
// switches the selection library window and ends the editor (accept 8, cancel 2).
#pragma once

#include <windows.h>

// Controls of template 257 besides the tool buttons (114 ... 124).
enum : int {
  IDC_ACCEPT = 8,
  IDC_LIBRARY = 154,
  IDC_UNDO = 190,
  IDC_REDO = 191,
  IDC_PREVIEW = 200,
  IDC_WIDTH_BAR = 202,
  IDC_HEIGHT_BAR = 204,
  IDC_LINK = 206,
  IDC_ELLIPSE = 208,
  IDC_RECTANGLE = 209,
  IDC_STRENGTH_BAR = 212,
  IDC_OPTION_FIRST = 213,
  IDC_OPTION_SECOND = 214,
};

INT_PTR CALLBACK ToolWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Copies the current brush options into the tool's entry; nothing for a tool without one.
void StoreToolSettings(int tool);
// The reverse: the entry's options become current and the controls show them.
void LoadToolSettings(HWND window, int tool);

// The colour dialog: the chosen colour, or the current brush colour when it is cancelled.
COLORREF ChooseBrushColor(HWND owner);

// Redraws the brush preview of the tool window (when there is one) without erasing.
void InvalidateBrushPreview();
