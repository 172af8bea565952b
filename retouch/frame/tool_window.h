// The tool window: the editor's floating palette (template 257). It picks the tool, holds the
// brush options of the current tool (size, shape, option, strength, colour) while keeping every
// other tool's in its entry of the tool table, previews the brush, undoes and redoes strokes,
// switches the selection library window and ends the editor (accept 8, cancel 2).
#pragma once

#include <windows.h>

INT_PTR CALLBACK ToolWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Copies the current brush options into the tool's entry; nothing for a tool without one.
void StoreToolSettings(int tool);
// The reverse: the entry's options become current and the controls show them.
void LoadToolSettings(HWND window, int tool);

// The colour dialog: the chosen colour, or the current brush colour when it is cancelled.
COLORREF ChooseBrushColor(HWND owner);

// Redraws the brush preview of the tool window (when there is one) without erasing.
void InvalidateBrushPreview();
