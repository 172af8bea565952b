// What the host hands the library: its application and resource modules, its common data
// folder, and the colours of its cabinets.
#pragma once

#include <windows.h>

namespace tamsel {

// First argument of CtrlSetLanguageDllInstance: shared button bitmaps.
extern HINSTANCE applicationInstance;
// Second argument: translated templates, strings and the dialog-creation exports.
extern HINSTANCE resourceModule;

// The common data folder, empty or ending with a backslash.
const char* CommonDataPath();

}  // namespace tamsel

extern "C" {
HINSTANCE WINAPI CtrlSetLanguageDllInstance(HINSTANCE application, HINSTANCE resources);
int WINAPI SetCommonDataPath(const char* folder);
COLORREF WINAPI SetDefaultClrCab(COLORREF first, COLORREF second);
int WINAPI ReadCabColorFromIni(int cabinet, int* number, COLORREF* first, COLORREF* second);
int WINAPI WriteCabColorToIni(int cabinet, int number, COLORREF first, COLORREF second);
}
