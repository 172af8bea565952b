// Hover notifications, tooltip bubbles and the style shortcut.
#include <windows.h>

extern "C" int WINAPI InitKControl() { return 0; }
extern "C" int WINAPI EndKControl() { return 1; }
extern "C" void CALLBACK HoverTimerProc(HWND, UINT, UINT_PTR, DWORD) {}
