// Drawing services of the control library: dotted lines, gradients, rounded frames and clips,
// bitmaps with a transparent colour, dialog textures and the parent-background request, and
// the bitmap drag loops. The extern "C" functions are exports; the others serve the library's
// own controls.
#pragma once

#include <windows.h>

// A control asks its parent to paint the parent's background into the control's device context
// by setting this text colour and sending WM_ERASEBKGND. Background painters look for it.
constexpr COLORREF kParentBackgroundMarker = RGB(1, 2, 3);
inline bool IsParentBackgroundRequest(HDC dc) { return GetTextColor(dc) == kParentBackgroundMarker; }

extern "C" {
int WINAPI draw_dotHVLine(HDC dc, int x, int y, int length, COLORREF colour, int vertical);
int WINAPI draw_dotHLine(HDC dc, int x, int y, int length, COLORREF colour);
int WINAPI draw_dotVLine(HDC dc, int x, int y, int length, COLORREF colour);
int WINAPI fill_rect_Hgradient(HDC dc, const RECT* rect, COLORREF from, COLORREF to);
int WINAPI fill_rect_Vgradient(HDC dc, const RECT* rect, COLORREF from, COLORREF to);
int WINAPI KvDrawTransparentBitmap(HDC dc, HBITMAP bitmap, int x, int y, COLORREF key);
int WINAPI FillDlgWithTexture(HWND dialog, HDC dc, int number);
int WINAPI EndDlgTexture(HWND dialog);
int WINAPI KvDragBitmapInWindow(HWND window, HBITMAP bitmap, POINT* position, int hotX, int hotY);
int WINAPI KvDragTransparentBitmapInWindow(HWND window, HBITMAP bitmap, POINT* position, int hotX,
                                           int hotY, COLORREF key);
int WINAPI KvDragTransparentDib(HGLOBAL dib, POINT* position, int hotX, int hotY, COLORREF key);
}

// Gradient from `from` at the left (top when vertical) edge to `to` at the far edge.
int fill_rect_gradient(HDC dc, const RECT* rect, COLORREF from, COLORREF to, int vertical);

// Textures from packed DIBs (null or 0xFFFF: nothing drawn, 0).
int DrawDibTiled(HDC dc, HGLOBAL dib, const RECT* rect);
int DrawDibPlaced(HDC dc, HGLOBAL dib, const RECT* rect, int fitWidth, int fitHeight,
                  int alignRight, int alignBottom);

// The dialog background from the window's style: face colour, gradient or texture.
int PaintDlgBackground(HWND window, HDC dc);
// Has the parent (the grandparent for controls inside a static control) paint its background
// into `dc`, in the control's coordinates.
void PaintParentBackground(HWND control, HDC dc);
// Leaves `dc` clipped to the control's rounded shape, the corners outside it showing the parent.
void ClipToRoundRect(HWND control, HDC dc, int diameter);
// Rounded 3D frame: top and left edges in `topLeft`, bottom and right in `bottomRight`.
void DrawRoundFrame3D(HDC dc, const RECT* rect, int diameter, COLORREF bottomRight, COLORREF topLeft);
// The same, the four rounded corners only.
void DrawRoundCorners3D(HDC dc, const RECT* rect, int diameter, COLORREF bottomRight, COLORREF topLeft);
// Bitmap stretched into `rect`, pixels of colour `key` left out. (The 1:1 copies, opaque and
// transparent, are winkit's: the editor draws with them too.)
int DrawTransparentBitmapStretched(HDC dc, HBITMAP bitmap, const RECT* rect, COLORREF key);

// The dotted-line brush lives until the library detaches.
void DeleteDotLineBrush();
