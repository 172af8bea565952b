// Imports Tamsel's three ordinal-only functions the way the retouch library does, so that the
// import table can be checked. Built, never run.
#include <windows.h>

extern "C" {
int WINAPI FillDlgWithTexture(HWND dialog, HDC dc, int dialogNumber);
int WINAPI EndDlgTexture(HWND dialog);
int WINAPI KvDragTransparentDib(HGLOBAL dib, POINT* position, int hotX, int hotY, COLORREF transparent);
}

int main(int argc, char**) {
  if (argc > 99) {
    POINT p = {};
    FillDlgWithTexture(nullptr, nullptr, 66);
    KvDragTransparentDib(nullptr, &p, 0, 0, 0x00C0C0C0);
    EndDlgTexture(nullptr);
  }
  return 0;
}
