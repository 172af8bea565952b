// The mini keyboard's rules without the window: where it opens, how it keeps its proportions
// while sized, which size it takes from the settings, how it is dragged, what its keys are and
// how they are labelled from a keyboard layout. Portable (no windows.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace minikb {

struct Point {
  int x = 0, y = 0;
  bool operator==(const Point&) const = default;
};
struct Size {
  int width = 0, height = 0;
  bool operator==(const Size&) const = default;
};
struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

// ---- Placement and size -------------------------------------------------------------------

// Top-left corner of a keyboard of `size` for a field at `target`: under the field from its left
// edge, moved left to stay on `screen`; at the bottom of the screen when it would leave it there,
// and above the field when that would cover it; never left of or above the screen.
Point PlaceUnder(const Rect& target, Size size, const Rect& screen);

// The window size WM_WINDOWPOSCHANGING lets through: the client part (the window less twice the
// sizing frame) keeps the proportions of the reference window's client part. Normally a changed
// width sets the height and otherwise the height sets the width; while a top or bottom edge is
// dragged (`edgeDrag`) the height sets the width unless only the width changed. A reference
// without a client part leaves the proposal alone; the client part never shrinks below 1.
Size KeepAspect(Size proposed, Size current, Size reference, Size frame, bool edgeDrag);

// Hit-test values (as the system numbers them) that mean a top or bottom edge or corner.
bool IsTopOrBottomHit(int hitTest);

// What WM_NCHITTEST answers for a point relative to the window's top-left corner.
enum class Hit { Client, Left, Right, Top, Bottom };
Hit HitTest(Size window, Point at, Size frame);

// The size to take from the settings ("Largeur", "Hauteur"): none unless both are above 0;
// the width decides the height as a sizing would, then the whole is scaled down, proportions
// kept, to fit `workArea`, and never below twice the frame plus a client part of 8 x 8.
std::optional<Size> SavedSize(int width, int height, Size reference, Size frame, Size workArea);

// ---- Moving ------------------------------------------------------------------------------

// A move drag: the rectangle follows the cursor while the cursor stays on the screen; the
// release gives the place, a lost capture gives nothing.
class MoveDrag {
 public:
  void Begin(const Rect& window, Point cursor);
  bool active() const { return active_; }
  const Rect& rect() const { return rect_; }
  // True when the rectangle moved.
  bool Follow(Point cursor, const Rect& screen);
  // Ends the drag; the top-left corner to move the window to, or none when no drag was on.
  std::optional<Point> Release();
  // Ends the drag without a place (the capture went elsewhere).
  void Cancel() { active_ = false; }

 private:
  bool active_ = false;
  Rect rect_;
  Point offset_;
};

// ---- Keys --------------------------------------------------------------------------------

// Control identifiers of the keyboard's template.
constexpr int kIdEnter = 1, kIdClose = 2;
constexpr int kIdFirstCharacter = 101, kIdLastCharacter = 199;  // scan code = identifier - 100
constexpr int kIdShift = 300, kIdAltGr = 301;
constexpr int kIdBackspace = 308, kIdTab = 309, kIdInsert = 401, kIdDelete = 402;
constexpr int kIdCopy = 410, kIdCut = 412, kIdPaste = 413;

enum class Command { None, Enter, Close, Character, Shift, AltGr, Backspace, Tab, Insert, Delete, Copy, Cut, Paste };
Command CommandOf(int id);
inline unsigned ScanOf(int id) { return static_cast<unsigned>(id - 100); }

// Virtual keys and scan codes the keyboard names.
constexpr unsigned kVkBack = 0x08, kVkTab = 0x09, kVkSpace = 0x20, kVkInsert = 0x2D, kVkDelete = 0x2E;
constexpr unsigned kScanSpace = 0x39, kScanInsert = 82, kScanDelete = 83;
// The control characters the clipboard keys type.
constexpr unsigned char kCharCopy = 3, kCharCut = 24, kCharPaste = 22, kCharEnter = 13;

// lParam of a key message: repeat count 1, the scan code, the extended-key bit, and for a
// release the previous-state and transition bits.
uint32_t KeyDownParam(unsigned scan, bool extended);
uint32_t KeyUpParam(unsigned scan, bool extended);

// ---- Labels ------------------------------------------------------------------------------

enum class Modifiers { None, Shift, AltGr };

// The layout's translation of one key as ToAscii gives it: the count (negative for a dead key)
// and up to two characters.
struct Translation {
  int count = 0;
  unsigned char chars[2] = {0, 0};
};

// The label of a translated key: a printable character as it is ('&' doubled, so that it shows);
// of two characters the second (the first is a dead key's accent that did not combine); a
// control character or nothing gives no label.
std::string LabelFor(const Translation& t);

// A keyboard layout as ToAscii sees it, with its state of a pending dead key.
class Layout {
 public:
  virtual ~Layout() = default;
  virtual unsigned VirtualKey(unsigned scan) = 0;  // 0 when the scan code has none
  virtual Translation Translate(unsigned vk, unsigned scan, Modifiers modifiers) = 0;
};

// Labels of the keys with the given scan codes under `modifiers`, leaving the layout's dead-key
// state as it was found: a dead key is translated twice (the second time gives its accent and
// clears it), and an accent that was pending before is armed again from the dead key that gives
// it (looked for among the same keys under each modifier).
std::vector<std::string> LabelKeys(Layout& layout, const std::vector<unsigned>& scans, Modifiers modifiers);

// The label of Insert or Delete: the first three characters of the key's name.
std::string ShortKeyName(const std::string& name);

}  // namespace minikb
