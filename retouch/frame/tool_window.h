// The tool window: the editor's floating palette (template 257).
#pragma once

#include <windows.h>

INT_PTR CALLBACK ToolWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
