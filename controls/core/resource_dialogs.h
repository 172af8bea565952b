// The library's dialogs come from the host's resource module, through its exports
// "KVDialogBoxParam" and "KVCreateDialogParam" (looked up at each call). Without a resource
// module the system functions run with the library's own module, which holds no templates.
#pragma once

#include <windows.h>

INT_PTR KvDialogBoxParam(int templateId, HWND owner, DLGPROC proc, LPARAM param);
HWND KvCreateDialogParam(int templateId, HWND parent, DLGPROC proc, LPARAM param);
