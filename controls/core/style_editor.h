// The style editor: a modal dialog (template 4 of the resource module) on a target dialog.
#pragma once

#include <windows.h>

constexpr int kStyleEditorTemplate = 4;

INT_PTR CALLBACK StyleEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
