// The editor's three ways of making a dialog. With a resource module, each looks its export up by
// name at every call and calls it with the system function's arguments (no dialog when the export
// is missing); without one, the system function runs on this library's own module.
#pragma once

#include <windows.h>

HWND EditorCreateDialog(int templateId, HWND parent, DLGPROC procedure);
HWND EditorCreateDialogParam(int templateId, HWND parent, DLGPROC procedure, LPARAM parameter);
INT_PTR EditorDialogBoxParam(int templateId, HWND owner, DLGPROC procedure, LPARAM parameter);
