// The editor's words for its tools, shared by the state record, the brushes and the windows: the
// tool codes (the command identifiers of the tool window's tool buttons), what each tool is, the
// brush shapes and the extent of a stroke. Portable: no windows.h.
#pragma once

#include <cstdint>

enum ToolCode : int32_t {
  TOOL_ADJUST = 114,   // image adjustment dialog; never stays current
  TOOL_OUTLINE = 115,  // outline brush: reshapes the floating selection's outline
  TOOL_LASSO = 116,    // lasso and floating selection
  TOOL_PAINT = 117,
  TOOL_RESTORE = 118,
  TOOL_SPRAY = 119,
  TOOL_STAMP = 120,
  TOOL_SMOOTH = 121,
  TOOL_CLONE = 122,
  TOOL_TEXT = 123,
  TOOL_PICKER = 124,
};

// A brush: it takes strokes and shows the brush cursor. The outline brush is one, although it
// changes the selection's outline rather than pixels.
constexpr bool IsBrushTool(int32_t tool) { return tool == TOOL_OUTLINE || (tool >= TOOL_PAINT && tool <= TOOL_CLONE); }
// A brush that changes the image's pixels: its strokes are copied for undo and recorded.
constexpr bool IsPixelBrush(int32_t tool) { return tool >= TOOL_PAINT && tool <= TOOL_CLONE; }
// Records its undo entry when the button comes up (the stamp records at the press).
constexpr bool RecordsAtRelease(int32_t tool) { return IsPixelBrush(tool) && tool != TOOL_STAMP; }
// Paints the pixels of cloneSample.
constexpr bool UsesSample(int32_t tool) { return tool == TOOL_STAMP || tool == TOOL_CLONE; }
// Dabs at every point of a movement, not once at its previous point.
constexpr bool DabsAlongMovement(int32_t tool) { return tool == TOOL_PAINT || tool == TOOL_CLONE; }
// Has a tool button that stays checked while it is current.
constexpr bool HasToolButton(int32_t tool) { return tool >= TOOL_OUTLINE && tool <= TOOL_PICKER; }
// Keeps its options in the tool table while another tool is current.
constexpr bool KeepsToolSettings(int32_t tool) { return tool >= TOOL_OUTLINE && tool <= TOOL_TEXT; }

// brushShape and ToolSettings::shape.
enum BrushShape : int32_t {
  BRUSH_ELLIPSE = 0,
  BRUSH_RECTANGLE = 1,
  // A rectangle at every size, where the others show a cross (1 x 1) or a plain band (thinner
  // than 3). The tool window never picks it and the settings file cannot carry it; the preview
  // draws it still.
  BRUSH_FULL_RECTANGLE = 2,
};

// min x, max x, min y, max y of the brush positions of one stroke (the state record's order).
struct StrokeBounds {
  int32_t minX, maxX, minY, maxY;
};
