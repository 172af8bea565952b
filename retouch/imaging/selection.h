// The lasso selection and the floating selection: the outline drawn with the lasso, its crossing
// lists, the floating images cut from the picture, the handle frame around them, and the
// transforms (move, resize, rotate, mirror, the five adjustments, stamp, the outline brush).
// Portable: no windows.h. The canvas converts the mouse, calls in here, and repaints the
// rectangles these report; it draws the images and the outline itself.
//
// Coordinates are image coordinates (y down). The floating images are 24-bit packed DIBs the size
// of `selectionRect`: `selectionImage` is what is shown and stamped (black outside the outline),
// `selectionMask` is black inside and white outside. The content of the rows of a selection is
// in image rows top + 1 .. bottom - 1 of its rectangle (the crossings of a row change make the row
// below the change inside), so the first image row of a floating selection is always outside.
//
// Every operation computes into temporaries and commits at its end: when memory fails it returns
// false and the selection is as it was.
#pragma once

#include <cstdint>

#include "retouch/imaging/crossings.h"
#include "retouch/imaging/dib_view.h"
#include "retouch/imaging/pod_array.h"

namespace sel {

// A 24-bit packed DIB in memory of its own: the 40-byte header, then the rows bottom-up. Copies
// share the block: an image is written only while it is fresh (just created or duplicated) and
// never changes once it is part of a selection, so the bases cost no copies. One thread only.
class Image {
 public:
  Image() = default;
  ~Image() { Clear(); }
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;
  Image(Image&& o) noexcept { Swap(o); }
  Image& operator=(Image&& o) noexcept {
    if (this != &o) {
      Clear();
      Swap(o);
    }
    return *this;
  }

  // A fresh image with every byte of the pixels `fill`; `fill` < 0 leaves them unset. False for
  // sizes outside 1 .. kMaxSide or when memory fails (this then unchanged).
  bool Create(int32_t width, int32_t height, int fill);
  // Shares `o`'s block.
  void CopyFrom(const Image& o);
  // A fresh copy of `o`'s pixels.
  bool Duplicate(const Image& o);
  void Clear();
  void Swap(Image& o) noexcept;
  bool exists() const { return view_.valid(); }
  const dib::View& view() const { return view_; }
  int32_t width() const { return view_.width; }
  int32_t height() const { return view_.height; }
  // The whole block (header and rows), as StretchDIBits takes it.
  const uint8_t* block() const { return block_ ? block_->bytes() : nullptr; }
  size_t blockSize() const { return block_ ? block_->size : 0; }

  static constexpr int32_t kMaxSide = 32767;

  // Blocks of images no longer used are kept for the next images of about their size (a new
  // block costs a page fault every few kilobytes on first touch). This frees them.
  static void ReleaseCache();

 private:
  struct Block {
    size_t refs;
    size_t size;
    size_t capacity;
    uint8_t* bytes() { return reinterpret_cast<uint8_t*>(this + 1); }
  };
  static Block* TakeCached(size_t size);
  static void Cache(Block* b);
  Block* block_ = nullptr;
  dib::View view_;
};

// Window metrics the geometry uses, in image units.
struct Metrics {
  int32_t frameX, frameY;  // SM_CXFRAME, SM_CYFRAME, taken as image units (handle zone, rotation)
  int32_t bandX, bandY;    // 2 SM_CXFRAME, 2 SM_CYFRAME device pixels converted to image units
};

// Hit codes of the selection frame.
enum HitCode : int32_t {
  kHitNone = 0,
  kHitMove = 1,
  kHitStamp = 3,
  kHitMirrorLeftRight = 6,
  kHitMirrorTopBottom = 7,
  kHitToneOffsetUp = 8,
  kHitToneOffsetDown = 9,
  kHitLeft = 10,
  kHitRight = 11,
  kHitTop = 12,
  kHitTopLeft = 13,
  kHitTopRight = 14,
  kHitBottom = 15,
  kHitBottomLeft = 16,
  kHitBottomRight = 17,
  kHitRotate = 101,
  kHitHueDown = 102,
  kHitHueUp = 103,
  kHitSaturationDown = 104,
  kHitSaturationUp = 105,
  kHitToneSlopeDown = 106,
  kHitToneSlopeUp = 107,
  kHitWhitenUp = 108,
  kHitDrop = 109,
  kHitWhitenDown = 110,
};

constexpr int kHandleCount = 19;
// The codes of the handle rectangles, in the order they are kept.
extern const int32_t kHandleCodes[kHandleCount];

struct Adjustments {
  int32_t toneOffset = 0;        // -100 .. 100, steps of 5; lower is brighter
  int32_t toneSlope = 0;         // -100 .. 100, steps of 5; lower is stronger
  int32_t saturationValue = 50;  // 0 .. 100, steps of 5
  int32_t hueShift = 0;          // -127 .. 127, steps of 3
  int32_t whitenPasses = 0;      // 0 and up
  bool Neutral() const {
    return toneOffset == 0 && toneSlope == 0 && saturationValue == 50 && hueShift == 0 && whitenPasses == 0;
  }
};

// A state the transforms start from, so that repeated resizing or rotating never compounds.
struct Base {
  Rect rect{};
  PodArray<Point> points;
  Crossings rows;
  Image image, mask;
  void Clear();
};

struct Selection {
  // The outline, in drawing order, and its copy as it was when last completed.
  PodArray<Point> outline;
  PodArray<Point> outlineBackup;
  // While a lasso is drawn: its toggles, first and last point, and the rows of the image.
  bool drawing = false;
  ToggleLog toggles;
  Point lassoFirst{}, lassoLast{};
  int32_t rowCount = 0;
  // The crossing lists while a transform rebuilds them; empty between operations.
  Crossings rows;

  Rect selectionRect{}, handleZone{}, shownSelectionRect{}, shownHandleZone{}, completedRect{};
  Rect handleRects[kHandleCount]{};

  Image selectionImage, selectionSource, selectionMask, selectionMaskSource;
  bool floatActive = false;
  int32_t rotationAngle = 0;  // degrees, relative to the rotation base

  Base rotBase, sizeBase;
  Crossings moveBaseRows;  // the crossings of the last completed state
  Adjustments adjust;

  // Outline brush.
  Rect pushRect{}, pushBaseRect{};
  bool pushStartedOutside = false;
  bool selectionReshaped = false;
  bool outlineStroke = false;  // a press of the outline brush was accepted
  PodArray<Point> strokeOutline;  // outline and crossings before the stroke, for a failure
  Crossings strokeRows;
};

// ---- Lasso -----------------------------------------------------------------------------------

// How points are kept inside the canvas (`client`, the client area in image coordinates): the
// interactive lasso one pixel inside its edges, the replay of a stored outline up to its edges.
enum class Clamp { kCanvas, kReplay };

// Drops any previous selection and starts an outline at (x, y) over an image of `rowCount` rows.
// False (nothing started) when memory fails or rowCount is not positive.
bool StartLasso(Selection& s, int32_t x, int32_t y, const Rect& client, int32_t rowCount, Clamp clamp);
// Walks the outline on to (x, y). Returns the index of the first point added (the canvas draws
// from the point before it), or -1 when nothing was added.
int32_t ExtendLasso(Selection& s, int32_t x, int32_t y, const Rect& client, Clamp clamp);
// Ends the outline at the release point (x, y): walks on to it and back to the first point,
// settles the crossings, cuts the floating selection out of `image` and takes the bases. A lasso
// that encloses nothing, or one over no image, leaves no selection at all. True when a floating
// selection exists afterwards.
bool CloseLasso(Selection& s, int32_t x, int32_t y, const Rect& client, const dib::View& image, const Metrics& m);

// Everything a selection may have put on the screen (outline, frame, images, the outline
// brush's working area), for repainting when it goes. Empty when nothing was shown.
Rect DrawnArea(const Selection& s);
// Frees everything and returns to no selection.
void DropSelection(Selection& s);

// `r` grown by 2 frameX + 1 and 2 frameY + 1: the band of the handles around a selection.
Rect HandleZoneOf(const Rect& r, const Metrics& m);
// The nineteen handle rectangles of a zone, in kHandleCodes order.
void LayoutHandles(const Rect& zone, int32_t bandX, int32_t bandY, Rect out[kHandleCount]);
// Hit code of image point (x, y) on the shown selection frame.
int32_t HitTestSelection(const Selection& s, int32_t x, int32_t y, const Metrics& m);
// 1 inside the mask, 0 outside (also within 2 pixels of the rectangle's sides), -1 when the mask
// is missing or does not hold the point.
int32_t MaskTest(const Selection& s, int32_t x, int32_t y);

// Cuts the selection of `rect` and `rows` out of the 24-bit `image`: `out` holds the pixels
// inside the crossings and black elsewhere, `mask` black inside and white outside.
bool CutSelection(const dib::View& image, const Rect& rect, const Crossings& rows, Image* out, Image* mask);

// ---- Transforms ------------------------------------------------------------------------------

// Each needs a floating selection (false otherwise, nothing changed).
bool MoveSelection(Selection& s, int32_t dx, int32_t dy, const Metrics& m);
// To the rectangle `to`, resampled from the resize base; back to the base's own rectangle
// restores the base.
bool ResizeSelection(Selection& s, const Rect& to, const Metrics& m);
// By `delta` degrees more, resampled from the rotation base; an angle that comes back to a
// multiple of 360 restores the base.
bool RotateSelection(Selection& s, int32_t delta, int32_t imageWidth, int32_t imageHeight, const Metrics& m);
bool MirrorSelection(Selection& s, bool topBottom, const Metrics& m);
// Steps the adjustment of a button's hit code and recomputes the shown image.
bool AdjustSelection(Selection& s, int32_t code);
// `selectionImage` = the source with the current adjustments, inside the mask.
bool ApplyAdjustments(Selection& s);
// Writes the selection's pixels into `image` inside the mask. The selection stays.
bool StampSelection(const Selection& s, const dib::View& image);

// `out` = `source` with the adjustments applied where `mask` is black (red byte 0).
bool AdjustedImage(const Image& source, const Image& mask, const Adjustments& a, Image* out);
// The whitening passes on one blue-green-red pixel; a pass that changes nothing ends them.
void WhitenPixel(uint8_t* bgr, int32_t passes);

// ---- Library ---------------------------------------------------------------------------------

// Makes a loaded selection (`image` and `mask` of one size, mask black inside) the floating
// selection, centred at (x, y) on an image of imageWidth x imageHeight and kept inside it with a
// pixel to spare. Its rectangle is that of the loaded images, so that it shows and stamps where
// it was saved; its outline is the one traced around the mask and replayed; its crossings are
// the mask's rows. `image` must be fresh (only the caller's): outside the mask it is made black.
// False, with `s` as it was and the images left to the caller, when the selection does not fit,
// the mask has no outline or memory fails.
bool PlaceLoadedSelection(Selection& s, Image& image, Image& mask, int32_t x, int32_t y, int32_t imageWidth,
                          int32_t imageHeight, const Metrics& m);

// ---- Outline brush ---------------------------------------------------------------------------

// The press at (x, y): false (and the stroke refused) without a floating selection or where the
// mask test fails. Hides the handles.
bool BeginOutlineStroke(Selection& s, int32_t x, int32_t y);
enum class DabResult { kNothing, kReshaped, kDrop };
// One dab of the circle (cx, cy, radius) over an image of the given size: reshapes the outline
// and replays it into the crossings. kDrop: there is no outline to reshape (the caller drops the
// selection).
DabResult OutlineDab(Selection& s, int32_t cx, int32_t cy, int32_t radius, int32_t imageWidth, int32_t imageHeight);
// The release: rebuilds the floating selection from the reshaped outline and `image`. Only after
// an accepted press; on failure the outline before the stroke comes back.
bool RederiveSelection(Selection& s, const dib::View& image, const Metrics& m);

// ---- Trackers --------------------------------------------------------------------------------

// Angle of p about c in radians, counter-clockwise positive (y down).
double PointAngle(int32_t cx, int32_t cy, int32_t px, int32_t py);
// Degrees from `start` to the angle of p, truncated toward zero.
int32_t RotationDegrees(double start, int32_t cx, int32_t cy, int32_t px, int32_t py);
// Corner p turned by theta about c, as the rotation tracker draws it.
Point TurnPoint(int32_t cx, int32_t cy, int32_t px, int32_t py, double theta);
// The move tracker's rectangle: `r` at pointer - grab, kept inside `client` with the margins.
Rect TrackMove(const Rect& r, int32_t px, int32_t py, int32_t grabX, int32_t grabY, const Rect& client,
               int32_t frameX, int32_t frameY);
// The resize tracker: the sides of handle `code` follow the pointer minus the grab offsets, kept
// minWidth + 6 and minHeight + 6 from the opposite sides and inside `client`.
Rect TrackResize(const Rect& r, int32_t code, int32_t px, int32_t py, int32_t grabX, int32_t grabY, int32_t minWidth,
                 int32_t minHeight, const Rect& client, int32_t frameX, int32_t frameY);
// The grab offsets of a resize press: against the sides the handle moves.
void ResizeGrab(const Rect& r, int32_t code, int32_t px, int32_t py, int32_t* grabX, int32_t* grabY);

}  // namespace sel
