// The editor's entry points: the host hands its modules over, then opens the editor over its
// image; the editor runs modally in its own message loop and returns 1 when the user accepted.
#include "retouch/frame/editor.h"
#include "retouch/frame/editor_globals.h"

#include "retouch/canvas/canvas_window.h"
#include "retouch/frame/dialogs.h"
#include "retouch/frame/editor_hooks.h"
#include "retouch/frame/frame_window.h"
#include "retouch/imaging/retouch_history.h"

HINSTANCE g_libraryInstance = nullptr;
HINSTANCE g_cursorModule = nullptr;
HINSTANCE g_resourceModule = nullptr;
RetouchState* g_state = nullptr;
int g_editorResult = 0;

namespace {

HGLOBAL g_stateBlock = nullptr;
bool g_loopRunning = false;

// How long the loop waits between two tests of whether the pointer has left the canvas while
// no message arrives.
constexpr DWORD kLeaveTestIntervalMs = 15;

LPARAM PackPoint(POINT p) { return MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)); }

// After each message: tell the canvas when the pointer has entered or left it.
void TrackPointer(const MSG& msg) {
  RetouchState* s = g_state;
  HWND canvas = s->canvasWindow;
  if (!canvas) return;
  if (s->pointerInCanvas == 0 && msg.message == WM_MOUSEMOVE && msg.hwnd == canvas) {
    s->pointerInCanvas = 1;
    PostMessageA(canvas, WM_CANVAS_POINTER_ENTERED, 0, PackPoint(msg.pt));
  }
  if (s->pointerInCanvas != 1) return;
  // While the queue is empty, test the pointer's latest position: it may leave the canvas for a
  // place where this thread gets no message at all. Between tests the thread sleeps until input
  // arrives or the interval ends.
  for (;;) {
    MSG waiting;
    if (PeekMessageA(&waiting, nullptr, 0, 0, PM_NOREMOVE)) return;
    POINT p = msg.pt;
    GetCursorPos(&p);
    if (WindowFromPoint(p) != canvas) {
      s->pointerInCanvas = 0;
      PostMessageA(canvas, WM_CANVAS_POINTER_LEFT, 0, PackPoint(p));
      return;
    }
    MsgWaitForMultipleObjectsEx(0, nullptr, kLeaveTestIntervalMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

// Runs until the frame's destruction posts WM_QUIT. A WM_QUIT that arrives while the frame still
// exists belongs to the caller: the editor closes and hands it back.
void RunModalLoop(HWND frame) {
  g_loopRunning = true;
  MSG msg;
  for (;;) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      if (IsWindow(frame)) {
        g_loopRunning = false;
        DestroyWindow(frame);
        PostQuitMessage(static_cast<int>(msg.wParam));
      }
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    if (g_state) TrackPointer(msg);
  }
  g_loopRunning = false;
}

void FreeBlock(DibHandle* block) {
  if (*block) GlobalFree(*block);
  *block = nullptr;
}

// Second half of the teardown, after the loop: every block the editor still holds.
void FreeEditorState() {
  RetouchState* s = g_state;
  FreeBlock(&s->brushMask);
  FreeBlock(&s->cloneSample);
  FreeBlock(&s->strokeCoverage);
  FreeBlock(&s->strokeSnapshot);
  FreeBlock(&s->strokeBefore);
  ResetHistory(*s);
  FreeSelectionBlocks();
  FreeBlock(&s->backupImage);
  FreeBlock(&s->adjustPreview);
  FreeBlock(&s->adjustPreviewSource);
  g_state = nullptr;
  GlobalUnlock(g_stateBlock);
  GlobalFree(g_stateBlock);
  g_stateBlock = nullptr;
  UnregisterClassA(kCanvasClassName, g_libraryInstance);
}

}  // namespace

HANDLE GetFrameProp(HWND window, WORD atom) { return GetPropA(window, MAKEINTATOM(atom)); }

void SetFrameProp(HWND window, WORD atom, HANDLE value) { SetPropA(window, MAKEINTATOM(atom), value); }

void EditorFrameDestroyed() {
  if (g_loopRunning) PostQuitMessage(0);
}

extern "C" HINSTANCE WINAPI RetouchEditor_SetModules(HINSTANCE cursorModule, HINSTANCE resourceModule) {
  g_cursorModule = cursorModule;
  g_resourceModule = resourceModule;
  return cursorModule;
}

extern "C" int WINAPI RetouchEditor_Open(HWND parentWindow, DibHandle image, RECT* frameRect, POINT* toolWindowPos) {
  // One editor at a time: a second call while one is open would overwrite its state.
  if (g_state) return 0;
  g_stateBlock = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(RetouchState));
  if (!g_stateBlock) return 0;
  g_state = static_cast<RetouchState*>(GlobalLock(g_stateBlock));
  if (!g_state) {
    GlobalFree(g_stateBlock);
    g_stateBlock = nullptr;
    return 0;
  }
  if (!RegisterCanvasClass()) {
    g_state = nullptr;
    GlobalUnlock(g_stateBlock);
    GlobalFree(g_stateBlock);
    g_stateBlock = nullptr;
    return 0;
  }
  g_editorResult = 0;
  g_state->frameWindow = nullptr;

  OpenRequest request{image, frameRect, toolWindowPos};
  HWND frame = EditorCreateDialogParam(TEMPLATE_FRAME, parentWindow, FrameDialogProc,
                                       reinterpret_cast<LPARAM>(&request));
  if (g_state->frameWindow && g_state->canvasWindow) {
    ShowWindow(frame, SW_SHOW);
    UpdateWindow(frame);
    EnableWindow(parentWindow, FALSE);
    RunModalLoop(frame);
    EnableWindow(parentWindow, TRUE);
    ShowWindow(frame, SW_HIDE);
    UpdateWindow(parentWindow);
  } else {
    g_editorResult = 0;
  }
  // A frame that could not start (no image, no canvas) must not stay behind, hidden.
  if (frame && IsWindow(frame)) DestroyWindow(frame);
  FreeEditorState();
  return g_editorResult;
}
