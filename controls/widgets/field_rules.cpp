#include "controls/widgets/field_rules.h"

#include <algorithm>

namespace field {
namespace {

using Kind = Operation::Kind;

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsDate(Format f) { return f == Format::Date8 || f == Format::Date10 || f == Format::DayMonth; }
bool IsTime(Format f) { return f == Format::HoursMinutes || f == Format::HoursMinutesSeconds; }
bool IsNumber(Format f) { return f == Format::Numeric || f == Format::Amount; }
bool IsEditableMask(char m) { return m == 'X' || m == '9'; }
// Dates and times keep their templates even with the mask bit.
bool TakesMask(uint32_t style) { return (style & kStringMask) && !(style & kDateTime); }

uint16_t Clamp16(size_t v, size_t hi) { return static_cast<uint16_t>(std::min(v, hi)); }

void Emit(Result& r, std::initializer_list<Effect> effects) {
  r.effects.insert(r.effects.end(), effects.begin(), effects.end());
}

void Refuse(Result& r) { r.effects.push_back(Effect::Beep); }

// Blanks are the space character only (tabs stay), as the library's trimmer does.
std::string_view Trimmed(std::string_view t) {
  const size_t first = t.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return t.substr(first, t.find_last_not_of(' ') - first + 1);
}

// The value of the two digits at i, or -1 when either is missing or not a digit.
int TwoDigits(std::string_view t, size_t i) {
  if (i + 1 >= t.size() || !IsDigit(t[i]) || !IsDigit(t[i + 1])) return -1;
  return (t[i] - '0') * 10 + (t[i + 1] - '0');
}

// A mask position, date separator or time separator, which the caret skips and typing never
// replaces.
bool Skippable(const State& s, Format f, size_t pos) {
  if (f == Format::Mask) return pos < s.mask.size() && !IsEditableMask(s.mask[pos]);
  if (IsDateOrTime(f)) {
    const std::string_view tpl = TemplateOf(f);
    return pos < tpl.size() && tpl[pos] != '0';
  }
  return false;
}

// The first position from pos on that is not skipped; the text's length when there is none.
size_t NextEditable(const State& s, Format f, size_t pos) {
  while (pos < s.text.size() && Skippable(s, f, pos)) ++pos;
  return std::min(pos, s.text.size());
}

size_t StepLeft(const State& s, Format f, size_t c) {
  if (c == 0) return s.text.size();
  size_t p = std::min(c, s.text.size()) - 1;
  while (p > 0 && Skippable(s, f, p)) --p;
  return Skippable(s, f, p) ? s.text.size() : p;
}

size_t StepRight(const State& s, Format f, size_t c) {
  if (c >= s.text.size()) return NextEditable(s, f, 0);
  return NextEditable(s, f, c + 1);
}

size_t PreviousWord(const std::string& t, size_t c) {
  size_t p = std::min(c, t.size());
  while (p > 0 && t[p - 1] == ' ') --p;
  while (p > 0 && t[p - 1] != ' ') --p;
  return p;
}

size_t NextWord(const std::string& t, size_t c) {
  size_t p = std::min(c, t.size());
  while (p < t.size() && t[p] != ' ') ++p;
  while (p < t.size() && t[p] == ' ') ++p;
  return p;
}

// A date template takes the locale's separator where a deletion puts it back; a time template
// keeps ":".
std::string DeletedTemplate(Format f, const Locale& locale) {
  std::string t(TemplateOf(f));
  if (IsDate(f)) {
    for (char& c : t)
      if (c == '/') c = locale.dateSeparator;
  }
  return t;
}

bool IsDateSeparator(char c, const Locale& locale) { return c == '/' || c == locale.dateSeparator; }

// The mask laid over a text: editable positions take the text's characters in order ("_" when
// it runs out, and at a "9" for a non-digit); literals stay, consuming an equal character of
// the text when `matchLiterals`.
std::string Layout(std::string_view mask, std::string_view content, bool matchLiterals) {
  std::string out;
  out.reserve(mask.size());
  size_t j = 0;
  for (const char m : mask) {
    if (IsEditableMask(m)) {
      char c = j < content.size() ? content[j++] : '_';
      if (m == '9' && !IsDigit(c)) c = '_';
      out += c;
    } else {
      out += m;
      if (matchLiterals && j < content.size() && content[j] == m) ++j;
    }
  }
  return out;
}

// The text of the editable positions of a masked text, in order.
std::string MaskContent(const State& s) {
  std::string out;
  for (size_t i = 0; i < s.text.size() && i < s.mask.size(); ++i)
    if (IsEditableMask(s.mask[i])) out += s.text[i];
  return out;
}

void ClampPositions(State& s) {
  const size_t n = s.text.size();
  s.caret = Clamp16(s.caret, n);
  s.anchor = Clamp16(s.anchor, n);
  s.end = Clamp16(s.end, n);
}

// The selection as [from, to); empty at the caret when nothing is selected.
size_t From(const State& s) { return s.anchor != s.end ? SelStart(s) : s.caret; }
size_t To(const State& s) { return s.anchor != s.end ? SelEnd(s) : s.caret; }

void Collapse(State& s, size_t caret) {
  s.caret = s.anchor = s.end = Clamp16(caret, s.text.size());
}

void UpperCase(std::string& t, const Locale& locale) {
  for (char& c : t) c = static_cast<char>(locale.upper[static_cast<unsigned char>(c)]);
}

// Removes [a, b) the way the format does: mask positions become "_", a date or time returns
// to its template, other text goes.
void DeleteRange(State& s, Format f, size_t a, size_t b, const Locale& locale) {
  b = std::min(b, s.text.size());
  if (a >= b) return;
  if (f == Format::Mask) {
    for (size_t i = a; i < b; ++i)
      if (!Skippable(s, f, i)) s.text[i] = '_';
  } else if (IsDateOrTime(f)) {
    s.text = DeletedTemplate(f, locale);
  } else {
    s.text.erase(a, b - a);
  }
}

void Changed(Result& r) { Emit(r, {Effect::StoreText, Effect::Repaint, Effect::PlaceCaret, Effect::Change}); }

// ---- typing ----

struct Check {
  bool ok = true;
  int caret = -1;  // where a failed check puts the caret, -1: where it is
};

Check Fail(int caret) { return {false, caret}; }

// The checks of a date or time text after a digit was placed at p.
Check CheckTyped(std::string& t, Format f, size_t p, const Locale& locale, bool noDateCheck,
                 size_t* caretAfter) {
  const std::string_view tpl = TemplateOf(f);
  if (p >= tpl.size()) return Fail(-1);
  if (IsTime(f)) {
    // First digits as a paste accepts them: no "30:00" left behind by one key.
    if (p == 0 && t[0] > '2') return Fail(0);
    if (p == 3 && t[3] > '5') return Fail(3);
    if (p == 6 && t[6] > '5') return Fail(6);
    if (p == 1 && TwoDigits(t, 0) > 23) return Fail(0);
    if (p == 4 && TwoDigits(t, 3) > 59) return Fail(3);
    if (p == 7 && TwoDigits(t, 6) > 59) return Fail(6);
    return {};
  }
  const bool dayFirst = !locale.monthFirst;
  const bool check = !noDateCheck;
  switch (p) {
    case 0:
      if (check && dayFirst && t[0] > '3') return Fail(0);
      break;
    case 1:
      if (check) {
        const int first = TwoDigits(t, 0);
        if (first < 0 || first > (dayFirst ? 31 : 12)) return Fail(0);
      }
      break;
    case 3:
      if (check && dayFirst && t[3] > '1') return Fail(3);
      break;
    case 4:
      if (check) {
        const int second = TwoDigits(t, 3);
        if (dayFirst) {
          const int day = TwoDigits(t, 0);
          static const int kDays[13] = {31, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
          if (second < 0 || second > 12 || day < 0 || day > kDays[second]) return Fail(3);
        } else if (second < 0 || second > 31) {
          return Fail(3);
        }
      }
      break;
    case 6:
      if (f == Format::Date10 && t[6] >= '3' && t.size() >= 9) {
        t[8] = t[6];
        t[6] = '1';
        t[7] = '9';
        *caretAfter = 9;
      }
      break;
    case 9:
      if (f == Format::Date10) {
        const int bad = CheckWholeDate(t, f, locale, noDateCheck);
        if (bad == 1) return Fail(dayFirst ? 0 : 3);
        if (bad == 2) return Fail(dayFirst ? 3 : 0);
      }
      break;
    default:
      break;
  }
  return {};
}

void TypeChar(State& s, unsigned char ch, const Locale& locale, Result& r) {
  State w = s;
  const Format f = FormatOf(w);
  bool separator = false;
  if (f == Format::Amount) {
    separator = ch == '.' || ch == static_cast<unsigned char>(locale.decimalSeparator);
    if (separator) ch = static_cast<unsigned char>(locale.decimalSeparator);
    if (!separator && !IsDigit(ch)) return Refuse(r);
  } else if ((w.style & (kNumeric | kDateTime)) && !IsDigit(ch)) {
    return Refuse(r);
  }

  // The selection is shrunk by its last character, which the new one takes the place of.
  const size_t selStart = From(w), selEnd = To(w);
  if (selStart < selEnd) {
    DeleteRange(w, f, selStart, selEnd - 1, locale);
    Collapse(w, selStart);
  }
  if (separator) {
    // One separator only: every non-digit goes, and the caret keeps its place among the digits.
    std::string digits;
    size_t before = 0;
    for (size_t i = 0; i < w.text.size(); ++i) {
      if (IsDigit(w.text[i])) digits += w.text[i];
      else if (i < w.caret) ++before;
    }
    w.text = digits;
    w.caret = static_cast<uint16_t>(w.caret - before);
  }
  if (IsNumber(f) && !w.modified && w.caret == 0) w.text.clear();

  const size_t p = (f == Format::Mask || IsDateOrTime(f)) ? NextEditable(w, f, w.caret) : w.caret;
  if (p >= w.limit) return Refuse(r);
  size_t caretAfter = p + 1;

  if (f == Format::Mask) {
    if (p >= w.mask.size()) return Refuse(r);
    if (w.mask[p] == '9' && !IsDigit(ch)) return;  // ignored without a beep
    w.text[p] = static_cast<char>((w.style & kUpper) ? locale.upper[ch] : ch);
    caretAfter = NextEditable(w, f, p + 1);
  } else if (IsDateOrTime(f)) {
    if (p > w.text.size()) return Refuse(r);
    if (p == w.text.size()) w.text += static_cast<char>(ch);
    else w.text[p] = static_cast<char>(ch);
    if (p == 1 || p == 4) caretAfter = p + 2;
    if (f == Format::DayMonth || f == Format::HoursMinutes) caretAfter = std::min<size_t>(caretAfter, 4);
    if (f == Format::HoursMinutesSeconds) caretAfter = std::min<size_t>(caretAfter, 7);
    const Check c = CheckTyped(w.text, f, p, locale, w.noDateCheck, &caretAfter);
    if (!c.ok) {
      if (c.caret >= 0) Collapse(s, static_cast<size_t>(c.caret));
      return Refuse(r);
    }
  } else if (!w.insertMode || IsNumber(f)) {
    if (p < w.text.size()) w.text[p] = static_cast<char>(ch);
    else w.text += static_cast<char>(ch);
  } else {
    const size_t used = Trimmed(w.text).empty() ? 0 : w.text.find_last_not_of(' ') + 1;
    if (used >= w.limit) return Refuse(r);
    if (w.text.size() < std::max<size_t>(w.limit, s.text.size())) {
      w.text.insert(p, 1, static_cast<char>(ch));
    } else if (p < used) {
      // A full text gives up one of its trailing blanks.
      w.text.insert(p, 1, static_cast<char>(ch));
      w.text.pop_back();
    } else {
      w.text[p] = static_cast<char>(ch);  // among the trailing blanks
    }
  }
  if ((w.style & kUpper) && f != Format::Mask) UpperCase(w.text, locale);

  Collapse(w, caretAfter);
  w.modified = true;
  s = std::move(w);
  Emit(r, {Effect::StoreText, Effect::Update, Effect::Repaint, Effect::PlaceCaret, Effect::Change});
}

// ---- clipboard ----

void Copy(const State& s, Result& r) {
  const size_t a = From(s), b = std::min(To(s), s.text.size());
  if (a >= b) return;
  // The plain text of a password never leaves the field.
  if (s.style & kPassword) return Refuse(r);
  r.clipboard = s.text.substr(a, b - a);
  r.effects.push_back(Effect::Clipboard);
}

void DeleteSelection(State& s, const Locale& locale, Result& r) {
  const Format f = FormatOf(s);
  const size_t a = From(s), b = To(s);
  const std::string before = s.text;
  DeleteRange(s, f, a, b, locale);
  Collapse(s, a);
  s.modified = true;
  if (s.text != before) Changed(r);
  else Emit(r, {Effect::Repaint, Effect::PlaceCaret});
}

bool ValidTimePaste(std::string_view t, bool seconds) {
  if (t.size() <= (seconds ? 7u : 4u) || t[2] != ':') return false;
  const int h = TwoDigits(t, 0), m = TwoDigits(t, 3);
  if (h < 0 || h > 23 || m < 0 || m > 59) return false;
  if (!seconds) return true;
  const int sec = TwoDigits(t, 6);
  return t[5] == ':' && sec >= 0 && sec <= 59;
}

// A date or time from the clipboard: the template's length of it, or empty when refused.
std::string DateTimePaste(std::string_view t, Format f, const Locale& locale, bool noDateCheck) {
  const std::string_view tpl = TemplateOf(f);
  if (IsTime(f)) {
    return ValidTimePaste(t, f == Format::HoursMinutesSeconds) ? std::string(t.substr(0, tpl.size()))
                                                               : std::string();
  }
  if (t.size() < tpl.size()) return {};
  std::string d(t.substr(0, tpl.size()));
  for (size_t i = 0; i < tpl.size(); ++i) {
    if (tpl[i] == '/') {
      if (!IsDateSeparator(d[i], locale)) return {};
      d[i] = '/';
    } else if (!IsDigit(d[i])) {
      return {};
    }
  }
  return CheckWholeDate(d, f, locale, noDateCheck) == 0 ? d : std::string();
}

void Paste(State& s, std::string_view clip, const Locale& locale, Result& r) {
  clip = clip.substr(0, std::min(clip.size(), kMaxText));
  // A single-line field takes the first line.
  clip = clip.substr(0, std::min(clip.size(), clip.find_first_of(std::string_view("\0\r\n", 3))));
  if (clip.empty()) return Refuse(r);

  State w = s;
  const Format f = FormatOf(w);
  if (IsDateOrTime(f)) {
    const std::string d = DateTimePaste(clip, f, locale, w.noDateCheck);
    if (d.empty()) return Refuse(r);
    w.text = d;
    Collapse(w, w.text.size());
  } else if (f == Format::Mask) {
    DeleteRange(w, f, From(w), To(w), locale);
    size_t pos = NextEditable(w, f, From(w));
    size_t last = pos;
    bool placed = false;
    for (size_t i = 0; i < clip.size() && pos + i < w.mask.size(); ++i) {
      const size_t at = pos + i;
      const unsigned char c = static_cast<unsigned char>(clip[i]);
      if (!IsEditableMask(w.mask[at]) || (w.mask[at] == '9' && !IsDigit(c))) continue;
      w.text[at] = static_cast<char>((w.style & kUpper) ? locale.upper[c] : c);
      last = at + 1;
      placed = true;
    }
    if (!placed) return Refuse(r);
    Collapse(w, NextEditable(w, f, last));
  } else {
    std::string add(clip.substr(0, std::min<size_t>(clip.size(), w.limit)));
    const size_t a = From(w);
    w.text.erase(a, To(w) - a);
    Collapse(w, a);
    if (IsNumber(f)) {
      size_t separators = 0;
      for (char& c : add) {
        if (IsDigit(c)) continue;
        if (f != Format::Amount || (c != '.' && c != locale.decimalSeparator)) return Refuse(r);
        c = locale.decimalSeparator;
        ++separators;
      }
      if (!w.modified && w.caret == 0) w.text.clear();
      if (f == Format::Amount)
        for (const char c : w.text)
          if (!IsDigit(c)) ++separators;
      if (separators > 1) return Refuse(r);
    }
    // What fits: the text keeps all it held.
    const size_t room = w.limit > w.text.size() ? w.limit - w.text.size() : 0;
    if (room == 0) return Refuse(r);
    add.resize(std::min(add.size(), room));
    w.text.insert(w.caret, add);
    if (w.style & kUpper) UpperCase(w.text, locale);
    Collapse(w, w.caret + add.size());
  }
  w.modified = true;
  s = std::move(w);
  Changed(r);
}

// ---- keys ----

void DeleteOne(State& s, Key key, bool ctrl, const Locale& locale, Result& r) {
  if (s.text.empty()) return Refuse(r);
  const Format f = FormatOf(s);
  const std::string before = s.text;
  const bool back = key == Key::Back;
  if (f == Format::Mask) {
    if (ctrl) {
      DeleteRange(s, f, 0, s.text.size(), locale);
      Collapse(s, NextEditable(s, f, 0));
    } else if (back) {
      if (s.caret == 0) return Refuse(r);
      const size_t p = StepLeft(s, f, s.caret);
      Collapse(s, p < s.caret ? p : s.caret);
    } else {
      return;
    }
  } else if (IsDateOrTime(f)) {
    // A digit becomes "0": the separators stay where they are.
    if (ctrl) {
      s.text = DeletedTemplate(f, locale);
      Collapse(s, 0);
    } else if (back) {
      if (s.caret == 0) return Refuse(r);
      size_t p = s.caret - 1;
      while (p > 0 && Skippable(s, f, p)) --p;
      s.text[p] = '0';
      Collapse(s, p);
    } else {
      const size_t p = NextEditable(s, f, s.caret);
      if (p >= s.text.size()) return Refuse(r);
      s.text[p] = '0';
      Collapse(s, p);
    }
  } else {
    size_t from = s.caret;
    if (back) {
      if (from == 0) return Refuse(r);
      --from;
    } else if (from >= s.text.size()) {
      return Refuse(r);
    }
    s.text.erase(from, ctrl ? std::string::npos : 1);
    Collapse(s, from);
  }
  if (s.text != before) {
    s.modified = true;
    Changed(r);
  } else {
    Emit(r, {Effect::Repaint, Effect::PlaceCaret});
  }
}

void MoveCaret(State& s, size_t c, bool shift, Result& r) {
  s.caret = Clamp16(c, s.text.size());
  if (shift) s.end = s.caret;
  else s.anchor = s.end = s.caret;
  Emit(r, {Effect::Repaint, Effect::PlaceCaret});
}

void KeyDown(State& s, const Operation& op, const Locale& locale, Result& r) {
  const Format f = FormatOf(s);
  if (op.shift && op.key != Key::Delete && op.key != Key::Insert) {
    if (s.anchor == s.end) s.anchor = s.caret;
    s.end = s.caret;
  }
  switch (op.key) {
    case Key::Back:
    case Key::Delete:
      // A password's selection goes without a copy.
      if (op.shift && !(s.style & kPassword)) Copy(s, r);
      if (From(s) < To(s)) DeleteSelection(s, locale, r);
      else DeleteOne(s, op.key, op.ctrl, locale, r);
      break;
    case Key::End: {
      size_t c = s.text.size();
      if (f == Format::Mask) {
        while (c > 0 && (Skippable(s, f, c - 1) || s.text[c - 1] == '_')) --c;
        c = NextEditable(s, f, c);
      } else {
        c = Trimmed(s.text).empty() ? 0 : s.text.find_last_not_of(' ') + 1;
      }
      MoveCaret(s, c, op.shift, r);
      break;
    }
    case Key::Home:
      MoveCaret(s, NextEditable(s, f, 0), op.shift, r);
      break;
    case Key::Left:
      MoveCaret(s, op.ctrl && !IsDateOrTime(f) ? PreviousWord(s.text, s.caret) : StepLeft(s, f, s.caret),
                op.shift, r);
      break;
    case Key::Right:
      MoveCaret(s, op.ctrl && !IsDateOrTime(f) ? NextWord(s.text, s.caret) : StepRight(s, f, s.caret),
                op.shift, r);
      break;
    case Key::Up:
      r.effects.push_back(Effect::PreviousControl);
      break;
    case Key::Down:
      r.effects.push_back(Effect::NextControl);
      break;
    case Key::Insert:
      if (op.ctrl) {
        Copy(s, r);
      } else if (op.shift) {
        Paste(s, op.text, locale, r);
      } else if (f != Format::Mask) {
        s.insertMode = !s.insertMode;
        r.effects.push_back(Effect::PlaceCaret);
      }
      break;
    case Key::Other:
      break;
  }
}

void CharTyped(State& s, const Operation& op, const Locale& locale, Result& r) {
  switch (op.ch) {
    case 3:
      return Copy(s, r);
    case 24:
      if (From(s) >= To(s)) return;
      if (s.style & kPassword) return Refuse(r);
      Copy(s, r);
      return DeleteSelection(s, locale, r);
    case 22:
      return Paste(s, op.text, locale, r);
    case 9:
      r.effects.push_back(op.shift ? Effect::PreviousControl : Effect::NextControl);
      return;
    case 10:
    case 13:
      r.effects.push_back(Effect::NextControl);
      return;
    default:
      // Control codes and DEL (Ctrl+Back) type nothing.
      if (op.ch < 32 || op.ch == 127) return;
      return TypeChar(s, op.ch, locale, r);
  }
}

// ---- focus ----

bool IsEmptyDate(std::string_view t, Format f, const Locale& locale) {
  const std::string_view tpl = TemplateOf(f);
  if (t.size() != tpl.size()) return false;
  for (size_t i = 0; i < tpl.size(); ++i) {
    if (tpl[i] == '/' ? !IsDateSeparator(t[i], locale) : t[i] != '0') return false;
  }
  return true;
}

// Exactly two decimals after the separator; "" when the text's digits are all 0. A result that
// does not fit in the limit leaves the text as typed: no digit is cut.
std::string FormatAmount(const std::string& t, size_t limit, const Locale& locale) {
  std::string out;
  const size_t k = t.find_last_of(std::string{locale.decimalSeparator, '.'});
  std::string whole = t.substr(0, k == std::string::npos ? t.size() : k);
  const size_t zeros = whole.find_first_not_of('0');
  whole.erase(0, zeros == std::string::npos ? whole.size() : zeros);
  if (whole.empty()) whole = "0";
  if (k == std::string::npos) {
    out = whole + locale.decimalSeparator + "00";
  } else {
    std::string decimals = t.substr(k + 1, 2);
    decimals.resize(2, '0');
    out = whole + t[k] + decimals;
  }
  if (std::none_of(out.begin(), out.end(), [](char c) { return c >= '1' && c <= '9'; })) return {};
  return out.size() <= std::max(limit, t.size()) ? out : t;
}

void FocusGained(State& s, Result& r) {
  const Format f = FormatOf(s);
  const std::string before = s.text;
  if (f != Format::Mask && (s.style & (kNumeric | kDateTime))) {
    s.text = std::string(Trimmed(s.text));
    if (IsDateOrTime(f) && s.text.empty()) s.text = TemplateOf(f);
  } else if (f != Format::Mask) {
    s.insertMode = false;
  }
  s.anchor = s.end = 0;
  s.caret = f == Format::Mask ? Clamp16(NextEditable(s, f, 0), s.text.size()) : 0;
  s.modified = false;
  s.focused = true;
  if (s.text != before) r.effects.push_back(Effect::StoreText);
  Emit(r, {Effect::CaretCreate, Effect::PlaceCaret, Effect::Repaint, Effect::NotifySetFocus});
}

void FocusLost(State& s, const Locale& locale, Result& r) {
  const Format f = FormatOf(s);
  const std::string before = s.text;
  if (f != Format::Mask && (s.style & (kNumeric | kDateTime))) {
    if (f == Format::Amount) s.text = FormatAmount(s.text, s.limit, locale);
    if (IsDate(f) && (IsEmptyDate(s.text, f, locale) || CheckWholeDate(s.text, f, locale, s.noDateCheck) != 0))
      s.text.clear();
    // Right-justified: the blanks at both ends go to the front.
    const std::string_view core = Trimmed(s.text);
    s.text = std::string(s.text.size() - core.size(), ' ') + std::string(core);
  }
  s.anchor = s.end = 0;
  s.mouseSelecting = false;
  s.focused = false;
  ClampPositions(s);
  if (s.text != before) r.effects.push_back(Effect::StoreText);
  Emit(r, {Effect::CaretDestroy, Effect::Repaint, Effect::NotifyKillFocus});
}

// ---- programmatic changes ----

void SetText(State& s, std::string_view text, Result& r) {
  text = text.substr(0, std::min(text.size(), kMaxText));
  s.text = FormatOf(s) == Format::Mask ? Layout(s.mask, text, true) : std::string(text);
  ClampPositions(s);
  Emit(r, {Effect::StoreText, Effect::Repaint});
  if (s.focused) r.effects.push_back(Effect::PlaceCaret);
}

void SetMask(State& s, std::string_view mask, Result& r) {
  if (!TakesMask(s.style)) return;
  const bool hadMask = !s.mask.empty();
  const std::string content = hadMask ? MaskContent(s) : s.text;
  s.mask.clear();
  if (mask.empty() || mask.size() > kMaxMask) return;
  s.mask = std::string(mask);
  s.text = Layout(s.mask, content, !hadMask);
  s.limit = static_cast<uint16_t>(s.mask.size() + 1);
  Collapse(s, NextEditable(s, Format::Mask, 0));
  r.value = static_cast<unsigned>(s.mask.size());
  Emit(r, {Effect::StoreText, Effect::Repaint, Effect::PlaceCaret});
}

// ---- mouse ----

void Mouse(State& s, const Operation& op, Result& r) {
  const Format f = FormatOf(s);
  switch (op.kind) {
    case Kind::MousePress:
      Collapse(s, op.hadFocus ? op.number : 0);
      s.mouseSelecting = true;
      break;
    case Kind::MouseMove:
      if (!s.mouseSelecting) return;
      s.caret = s.end = Clamp16(op.number, s.text.size());
      break;
    case Kind::MouseRelease:
      s.mouseSelecting = false;
      if (f == Format::Mask || IsDateOrTime(f)) {
        const bool none = s.anchor == s.end;
        s.caret = Clamp16(NextEditable(s, f, s.caret), s.text.size());
        if (none) s.anchor = s.end = s.caret;
      }
      break;
    case Kind::DoubleClick:
      s.anchor = 0;
      s.caret = s.end = Clamp16(s.text.size(), s.text.size());
      break;
    case Kind::RightPress:
      if (!s.mouseSelecting) return;
      s.mouseSelecting = false;
      s.anchor = s.end = s.caret;
      break;
    default:
      return;
  }
  Emit(r, {Effect::Repaint, Effect::PlaceCaret});
}

}  // namespace

Locale::Locale() {
  for (int c = 0; c < 256; ++c) upper[c] = static_cast<unsigned char>(c);
  for (int c = 'a'; c <= 'z'; ++c) upper[c] = static_cast<unsigned char>(c - 32);
  for (int c = 0xE0; c <= 0xFE; ++c)
    if (c != 0xF7) upper[c] = static_cast<unsigned char>(c - 32);
  upper[0x9A] = 0x8A;
  upper[0x9C] = 0x8C;
  upper[0x9E] = 0x8E;
  upper[0xFF] = 0x9F;
}

bool Result::Has(Effect e) const { return std::find(effects.begin(), effects.end(), e) != effects.end(); }

Format FormatOf(const State& s) {
  const uint32_t st = s.style;
  if (st & kDateTime) {
    if (st & kUpper) return Format::DayMonth;
    if (st & kHoursMinutes) return Format::HoursMinutes;
    if (st & kSeconds) return Format::HoursMinutesSeconds;
    if ((st & kLongDate) && (st & kNumeric)) return Format::Date10;
    return Format::Date8;
  }
  if ((st & kStringMask) && !s.mask.empty()) return Format::Mask;
  if ((st & kAmount) == kAmount) return Format::Amount;
  if (st & kNumeric) return Format::Numeric;
  return Format::Text;
}

bool IsDateOrTime(Format f) { return IsDate(f) || IsTime(f); }

std::string_view TemplateOf(Format f) {
  switch (f) {
    case Format::Date8: return "00/00/00";
    case Format::Date10: return "00/00/0000";
    case Format::DayMonth: return "00/00";
    case Format::HoursMinutes: return "00:00";
    case Format::HoursMinutesSeconds: return "00:00:00";
    default: return {};
  }
}

int CheckWholeDate(std::string_view t, Format f, const Locale& locale, bool noDateCheck) {
  if (noDateCheck) return 0;
  const std::string_view tpl = TemplateOf(f);
  if (!IsDate(f) || t.size() != tpl.size()) return 1;
  const int first = TwoDigits(t, 0), second = TwoDigits(t, 3);
  const int day = locale.monthFirst ? second : first;
  const int month = locale.monthFirst ? first : second;
  if (day < 0) return 1;
  if (month < 0) return 2;
  // The year where it is: two digits in the short date, four in the long one, none in
  // day/month (where 29 February is always allowed).
  int year = -1;
  if (f == Format::Date8) {
    year = TwoDigits(t, 6);
    if (year < 0) return 1;
  } else if (f == Format::Date10) {
    const int hi = TwoDigits(t, 6), lo = TwoDigits(t, 8);
    if (hi < 0 || lo < 0) return 1;
    year = hi * 100 + lo;
  }
  if (day == 0 && month == 0) return 0;
  static const int kDays[13] = {31, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int days = month <= 12 ? kDays[month] : 31;
  if (month == 2 && (year < 0 || (year > 0 && year % 4 == 0))) days = 29;
  if (day < 1 || day > days) return 1;
  if (month < 1 || month > 12) return 2;
  return 0;
}

State Create(std::string_view creationText, uint32_t style) {
  State s;
  s.style = style;
  std::string_view t = creationText.substr(0, std::min(creationText.size(), kMaxText));
  // The prefixes come off first: the mask is what follows them.
  for (int i = 0; i < 2 && !t.empty(); ++i) {
    if (t[0] == '~' && s.framed) {
      s.framed = false;
      t.remove_prefix(1);
    } else if (static_cast<unsigned char>(t[0]) == 0xB5 && !s.noDateCheck) {
      s.noDateCheck = true;
      t.remove_prefix(1);
    }
  }
  if (TakesMask(style) && !t.empty() && t.size() <= kMaxMask) {
    s.mask = std::string(t);
    s.text = Layout(s.mask, {}, false);
  } else {
    s.text = std::string(t);
  }
  size_t limit = (t.empty() ? 1023 : t.size()) + 1;
  const Format f = FormatOf(s);
  if (f == Format::Date10) limit = 11;
  else if (IsDateOrTime(f)) limit = 9;
  s.limit = Clamp16(limit, kMaxText);
  return s;
}

Result Apply(State& s, const Operation& op, const Locale& locale) {
  Result r;
  switch (op.kind) {
    case Kind::Char: CharTyped(s, op, locale, r); break;
    case Kind::Key: KeyDown(s, op, locale, r); break;
    case Kind::Paste: Paste(s, op.text, locale, r); break;
    case Kind::FocusGained: FocusGained(s, r); break;
    case Kind::FocusLost: FocusLost(s, locale, r); break;
    case Kind::SetText: SetText(s, op.text, r); break;
    case Kind::SetMask: SetMask(s, op.text, r); break;
    case Kind::Limit: s.limit = Clamp16(op.number == 0 ? kMaxText : op.number, kMaxText); break;
    default: Mouse(s, op, r); break;
  }
  return r;
}

bool IsPasteKey(const Operation& op) {
  return (op.kind == Kind::Char && op.ch == 22) ||
         (op.kind == Kind::Key && op.key == Key::Insert && op.shift && !op.ctrl);
}

std::string DisplayText(const State& s) {
  return (s.style & kPassword) ? std::string(s.text.size(), '*') : s.text;
}

}  // namespace field
