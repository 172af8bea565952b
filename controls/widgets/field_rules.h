// Editing rules of the input field "SAISIE", without the window: the field's state goes in, an
// operation is applied, and the new state comes out with the ordered list of what the window
// must do (beep, store the text, notify, move the focus, fill the clipboard, repaint). Portable.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace field {

// The per-thread scratch buffer of the window layer, and the characters it holds with the
// terminator: every text of a field is bounded by it.
constexpr size_t kScratchBytes = 8192;
constexpr size_t kMaxText = kScratchBytes - 1;
constexpr size_t kMaxMask = 1022;

// Low style bits.
enum StyleBits : uint32_t {
  kNumeric = 0x001,
  kAmount = 0x007,      // all three bits
  kUpper = 0x008,       // with kDateTime: day/month
  kHoursMinutes = 0x010,
  kPassword = 0x020,
  kDateTime = 0x040,
  kSeconds = 0x080,
  kLongDate = 0x200,    // with kDateTime and kNumeric
  kStringMask = 0x400,
};

enum class Format { Text, Numeric, Amount, Date8, Date10, DayMonth, HoursMinutes, HoursMinutesSeconds, Mask };

struct Locale {
  char dateSeparator = '/';
  char decimalSeparator = ',';
  bool monthFirst = false;
  // Upper case of each byte (CharUpperA on Windows); ASCII and Latin-1 by default.
  unsigned char upper[256];
  Locale();
};

struct State {
  std::string text;  // the window text: "_" at the empty positions of a mask
  std::string mask;  // empty: no mask
  uint32_t style = 0;
  uint16_t limit = 0;  // highest caret position + 1 at which typing is accepted
  uint16_t caret = 0;
  uint16_t anchor = 0;
  uint16_t end = 0;
  bool modified = false;
  bool insertMode = false;
  bool noDateCheck = false;
  bool framed = true;
  bool mouseSelecting = false;
  bool focused = false;
};

enum class Effect : uint8_t {
  Beep,             // MessageBeep(0)
  StoreText,        // write State::text into the window
  Update,           // EN_UPDATE
  Change,           // EN_CHANGE
  NextControl,      // WM_NEXTDLGCTL forwards
  PreviousControl,  // WM_NEXTDLGCTL backwards
  Clipboard,        // put Result::clipboard on the clipboard as CF_TEXT
  Repaint,
  PlaceCaret,       // position (and shape) of the caret follow the state
  CaretCreate,      // focus gained: create and show the caret
  CaretDestroy,
  NotifySetFocus,   // EN_SETFOCUS
  NotifyKillFocus,  // EN_KILLFOCUS
};

enum class Key : uint8_t { Back, Delete, End, Home, Left, Right, Up, Down, Insert, Other };

struct Operation {
  enum class Kind : uint8_t {
    Char,          // WM_CHAR: ch
    Key,           // WM_KEYDOWN: key
    Paste,         // delete the selection, then paste text (the clipboard's CF_TEXT)
    FocusGained,
    FocusLost,
    SetText,       // WM_SETTEXT: text
    SetMask,       // SetSaisieStringMask: text
    Limit,         // EM_LIMITTEXT: number
    MousePress,    // number = character position under the press; hadFocus
    MouseMove,     // number = character position
    MouseRelease,
    DoubleClick,
    RightPress,
  };
  Kind kind = Kind::Char;
  unsigned char ch = 0;
  Key key = Key::Other;
  bool shift = false;
  bool ctrl = false;
  bool hadFocus = false;
  unsigned number = 0;
  std::string_view text;
};

struct Result {
  std::vector<Effect> effects;
  std::string clipboard;  // with Effect::Clipboard
  unsigned value = 0;     // SetMask: the mask length, 0 when refused

  bool Has(Effect e) const;
};

Format FormatOf(const State& s);
bool IsDateOrTime(Format f);
// "00/00/00" and the like; empty for other formats.
std::string_view TemplateOf(Format f);

// A new field from its creation text (bounded to the scratch buffer) and style.
State Create(std::string_view creationText, uint32_t style);

// Applies one operation. A refused one beeps and leaves the text as it was.
Result Apply(State& s, const Operation& op, const Locale& locale);

// True when the window layer must read the clipboard into Operation::text first: the operation
// is then a paste.
bool IsPasteKey(const Operation& op);

// What the field shows: "*" per character in password fields.
std::string DisplayText(const State& s);

// Whole-date check of a date text: 0 valid, 1 day invalid, 2 month invalid (also for a text
// that does not have the template's shape).
int CheckWholeDate(std::string_view text, Format f, const Locale& locale, bool noDateCheck);

// Selection as (start, end) with start <= end.
inline uint16_t SelStart(const State& s) { return s.anchor < s.end ? s.anchor : s.end; }
inline uint16_t SelEnd(const State& s) { return s.anchor < s.end ? s.end : s.anchor; }

}  // namespace field
