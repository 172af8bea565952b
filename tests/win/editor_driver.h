// Drives the editor in process as a user would: the editor is opened over a test image with the
// host's resource module and runs its own modal loop, while a thread timer runs the steps of a
// script from inside that loop.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "retouch/frame/editor.h"
#include "retouch/frame/editor_globals.h"
#include "test_images.h"

namespace editor_test {

extern HMODULE g_hostRes, g_hostResNoCreateDialog, g_hostResNoCreateDialogParam;

using wintest::ImagePixel;
using wintest::MakeImage;
using wintest::SetImagePixel;

// What is painted at a client point of the frame (the canvas shares its origin), of a window's
// client area, or of the whole window (borders and caption included), read from the window.
COLORREF FramePixel(int x, int y);
COLORREF ClientPixel(HWND window, int x, int y);
COLORREF WindowPixel(HWND window, int x, int y);

// A frame rectangle whose client area is exactly `cw` x `ch` by the editor's own formula.
RECT FrameForClient(int left, int top, int cw, int ch);
// Where the tests place the tool window.
constexpr POINT kToolsAt{900, 600};

// A script step returns true when it is done; it is called again at the next tick otherwise.
using Step = std::function<bool()>;

struct EditorRun {
  int result = -1;
  bool timedOut = false;
  bool finished = false;  // every step ran
};

// Opens the editor and runs the steps, one per 15 ms tick. A run that takes more than 15 s closes
// the frame and counts as timed out.
EditorRun OpenEditor(HGLOBAL image, RECT frame, POINT tools, std::vector<Step> steps, HWND parent = nullptr);

Step Do(std::function<void()> f);
Step Wait(int ticks);
Step CloseFrame();  // the frame's close box

// Places the pointer over the canvas (client point) and posts the move it causes; or away from
// every window of the tests.
void PointerOnCanvas(int x, int y);
void PointerAway();

// The image adjustment dialog of this thread while it shows (bars 101 to 104, preview 156), or null.
HWND AdjustmentDialog();

// The tool window's control `id`, and a click on it.
HWND ToolControl(int id);
void ClickTool(int id);

// Live GDI objects of the process. Wine reports none through GetGuiResources; there, every
// handle index is probed (a handle with a zero high word names the object at that index).
size_t LiveGdiObjects();

// The settings files beside the program (the editor built in reads and writes them there).
std::string SettingsPath(const char* fileName);
void RemoveSettingsFiles();

}  // namespace editor_test
