// The editor's single state record and the values every part of the editor shares: frame
// properties, templates, canvas messages (the tool codes are tool_codes.h). One record exists per opening of the editor; it lives in a
// movable global block that stays locked while the editor is open (g_state).
//
// The record keeps its 32-bit layout (1664 bytes) on i686; handle and pointer members widen to
// pointer size on x86_64. Integers are 32-bit everywhere.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "retouch/imaging/dib.h"
#include "retouch/imaging/tool_codes.h"

// Properties of the editor frame, each named by an integer atom (MAKEINTATOM).
enum : WORD {
  PROP_VIEW_WIDTH = 5,
  PROP_VIEW_HEIGHT = 6,
  PROP_IMAGE = 7,
  PROP_CANVAS = 10,
  PROP_COMMAND_TARGET = 100,
};

// Dialog templates of the host's resource module and the canvas's control identifier.
enum : int {
  TEMPLATE_FRAME = 1800,
  TEMPLATE_TOOL_WINDOW = 257,
  TEMPLATE_ADJUSTMENT = 7,
  TEMPLATE_LIBRARY = 6,
  IDC_CANVAS = 12345,
};

// Posted to the canvas by the modal loop: lParam = screen point (x low word, y high word).
constexpr UINT WM_CANVAS_POINTER_ENTERED = WM_USER + 1;
constexpr UINT WM_CANVAS_POINTER_LEFT = WM_USER + 2;

constexpr COLORREF kDefaultBrushColor = 0x00C0C0FF;
constexpr int kToolSettingsCount = 10;

// Options of one tool, kept while another tool is current.
struct ToolSettings {
  int32_t tool;
  int32_t shape;
  int32_t option;
  int32_t showBrushCursor;
  int32_t width;
  int32_t height;
  int32_t reserved;  // only carried through the settings file
  int32_t linkSizes;
  int32_t widthEnabled;
  int32_t heightEnabled;
  COLORREF color;
  int32_t strength;
};
static_assert(sizeof(ToolSettings) == 48, "ToolSettings is twelve 32-bit members");

namespace sel {
struct Selection;  // the lasso and floating selection model (imaging/selection.h)
}

struct HistoryEntry;  // one undo record of the retouch history (imaging/history.h)

// The creation parameter of the frame dialog.
struct OpenRequest {
  DibHandle image;
  RECT* frameRect;       // screen coordinates, outer size of the frame
  POINT* toolWindowPos;  // screen coordinates
};

// The current and previous pointer positions of a stroke, image coordinates.
struct Segment {
  int32_t currentX, currentY, previousX, previousY;
};

constexpr int kHandleRectCount = 19;

struct RetouchState {
  HWND frameWindow;
  HWND canvasWindow;
  HWND toolWindow;
  HWND libraryWindow;
  int32_t currentTool;
  int32_t sizingFromEdgeTopOrBottom;  // frame sized from a top or bottom edge or a corner
  int32_t pointerInCanvas;
  DibHandle adjustPreview;
  DibHandle adjustPreviewSource;
  int32_t brushWidth;   // 1 to 48
  int32_t brushHeight;  // 1 to 48
  int32_t brushShape;   // BrushShape
  COLORREF brushColor;
  COLORREF cursorBackColor;  // transparent colour of the brush cursor and preview
  int32_t brushStrength;     // percent, 16 to 100
  COLORREF previousColor;
  int32_t brushCursorShown;    // show count; drawn while above 0
  int32_t brushCursorEnabled;  // 1 while the canvas exists
  HBITMAP brushCursorSaveUnder;
  HBITMAP brushCursorImage;
  int32_t brushCursorX, brushCursorY;  // drawn cursor's corner, frame client coordinates
  RECT dragRect;                       // outline being moved or turned, frame client coordinates
  int32_t dragGrabX, dragGrabY;
  int32_t canvasModeFlag;  // a move or resize drag of the floating selection is running
  ToolSettings toolSettings[kToolSettingsCount];
  DibHandle brushMask;  // 8-bit mask of the brush shape
  DibHandle cloneSample;
  DibHandle strokeCoverage;
  DibHandle strokeSnapshot;
  int32_t brushOption;  // 0 first option button, 1 second
  int32_t brushScale;   // 1, or 2 for the soft spray
  POINT pressPoint;
  POINT releasePoint;
  Segment lastSegment;
  DibHandle backupImage;  // the image as it was opened (or as the last accepted adjustment left it)

  // Selection: lasso outline, crossing lists, floating selection, handles, transforms. Its blocks
  // (outline points, crossing lists, floating images, bases) live in the model behind
  // `selection`; the slots that named them keep their places and stay 0. The values and
  // rectangles beside them mirror the model after every operation.
  int32_t activeHandle;      // hit code of the handle pressed, 0 while none
  sel::Selection* selection;  // in the slot of the crossing lists' head array
  int32_t rowCount;
  HGLOBAL outlinePoints;  // (x, y) pairs of 32-bit integers
  int32_t outlineCount;
  HGLOBAL outlineBackup;
  POINT lassoFirst;
  POINT lassoLast;
  RECT selectionRect;
  RECT handleZone;
  RECT shownSelectionRect;
  RECT shownHandleZone;
  // Handles in this order: 13, 109, 3, 6, 7, 14, 9, 8, 103, 102, 16, 104, 105, 110, 108, 17,
  // 101, 106, 107.
  RECT handleRects[kHandleRectCount];
  RECT completedRect;
  DibHandle selectionImage;
  DibHandle selectionSource;
  DibHandle selectionMask;
  DibHandle selectionMaskSource;
  HBITMAP composeBitmap;
  int32_t floatActive;
  int32_t rotationAngle;  // degrees, relative to the rotation base
  RECT rotBaseRect;
  HGLOBAL rotBasePoints;
  int32_t rotBaseCount;
  void* rotBaseRows;
  DibHandle rotBaseImage;
  DibHandle rotBaseMask;
  RECT sizeBaseRect;
  HGLOBAL sizeBasePoints;
  int32_t sizeBaseCount;
  void* sizeBaseRows;
  DibHandle sizeBaseImage;
  DibHandle sizeBaseMask;
  void* moveBaseRows;
  int32_t toneOffset;       // -100 to 100
  int32_t toneSlope;        // -100 to 100
  int32_t saturationValue;  // 0 to 100, neutral 50
  int32_t hueShift;         // -127 to 127
  int32_t whitenPasses;
  int32_t rotating;
  POINT rotationCentre;
  double rotationStart;    // radians
  int32_t rotationResult;  // degrees
  char lastSavedSelection[256];

  LOGFONTA logFont;

  // Text tool.
  HFONT textFont;
  int32_t caretShown;
  int32_t caretX, caretY;
  char* textBuffer;  // locked 8192-byte block while a line is open
  int32_t caretIndex;
  int32_t textLeft, textTop;
  HBITMAP textBitmap;

  // Retouch history.
  HistoryEntry* history;  // locked array
  int32_t historyPosition;
  int32_t historyCount;
  DibHandle strokeBefore;
  StrokeBounds strokeBounds;

  // Outline brush.
  RECT pushRect;
  RECT pushBaseRect;
  int32_t pushStartedOutside;
  int32_t selectionReshaped;
  int32_t spare[3];
};

#if defined(_WIN64)
static_assert(sizeof(RetouchState) == 1848, "RetouchState layout (x86_64)");
static_assert(sizeof(OpenRequest) == 24, "open request members are pointer-size on x86_64");
#else
static_assert(sizeof(RetouchState) == 1664, "RetouchState is 1664 bytes on i686");
static_assert(offsetof(RetouchState, toolSettings) == 116, "RetouchState layout (i686)");
static_assert(offsetof(RetouchState, backupImage) == 652, "RetouchState layout (i686)");
static_assert(offsetof(RetouchState, rotationStart) == 1216, "RetouchState layout (i686)");
static_assert(offsetof(RetouchState, logFont) == 1484, "RetouchState layout (i686)");
static_assert(offsetof(RetouchState, history) == 1580, "RetouchState layout (i686)");
static_assert(sizeof(OpenRequest) == 12, "open request is three 32-bit members on i686");
static_assert(offsetof(RetouchState, selection) == 660, "RetouchState layout (i686)");
static_assert(offsetof(RetouchState, pushRect) == 1612, "RetouchState layout (i686)");
#endif
