// Input field rules: a random field (style, locale, creation text) and a random sequence of
// operations; after each one the invariants of the field must hold.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "controls/widgets/field_rules.h"

namespace {

using field::Effect;
using field::Format;
using field::Operation;
using Kind = field::Operation::Kind;

struct Input {
  const uint8_t* p;
  size_t n;
  uint8_t Byte() {
    if (n == 0) return 0;
    --n;
    return *p++;
  }
  // Short texts from the data, or now and then one longer than any buffer.
  std::string Text() {
    const uint8_t len = Byte();
    if (len >= 250) return std::string(static_cast<size_t>(len - 249) * 1500, static_cast<char>(Byte()));
    std::string t;
    for (uint8_t i = 0; i < len && n > 0; ++i) t += static_cast<char>(Byte());
    return t;
  }
};

#define Check(ok)                                                           \
  do {                                                                      \
    if (!(ok)) {                                                            \
      std::fprintf(stderr, "invariant broken at line %d: %s\n", __LINE__, #ok); \
      std::abort();                                                         \
    }                                                                       \
  } while (0)

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A date or time text of its template's shape.
bool Shaped(const std::string& t, Format f) {
  const std::string_view tpl = field::TemplateOf(f);
  if (t.size() != tpl.size()) return false;
  for (size_t i = 0; i < t.size(); ++i)
    if ((tpl[i] == '0') != IsDigit(t[i])) return false;
  return true;
}

// What a numeric field may hold: digits, and in amounts one separator.
bool NumericText(const std::string& t, Format f, const field::Locale& l) {
  int separators = 0;
  for (const char c : t) {
    if (IsDigit(c)) continue;
    if (f != Format::Amount || (c != l.decimalSeparator && c != '.')) return false;
    ++separators;
  }
  return separators <= 1;
}

void CheckState(const field::State& s) {
  Check(s.text.size() <= field::kMaxText);
  Check(s.caret <= s.text.size() && s.anchor <= s.text.size() && s.end <= s.text.size());
  Check(s.limit >= 1 && s.limit <= field::kMaxText);
  Check(s.mask.size() <= field::kMaxMask);
  if (field::FormatOf(s) == Format::Mask) {
    Check(s.text.size() == s.mask.size());
    for (size_t i = 0; i < s.mask.size(); ++i) {
      const char m = s.mask[i];
      if (m != 'X' && m != '9') Check(s.text[i] == m);
      if (m == '9') Check(IsDigit(s.text[i]) || s.text[i] == '_');
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in{data, size};
  const uint32_t style = (in.Byte() | (in.Byte() << 8)) & 0x6FF;
  const uint8_t loc = in.Byte();
  field::Locale locale;
  locale.monthFirst = loc & 1;
  locale.dateSeparator = "/.-:"[(loc >> 1) & 3];
  locale.decimalSeparator = (loc & 8) ? '.' : ',';
  // FIELD_FUZZ_TRACE=1 prints each operation of a replayed input.
  static const bool trace = std::getenv("FIELD_FUZZ_TRACE") != nullptr;
  field::State s = field::Create(in.Text(), style);
  CheckState(s);

  for (int steps = 0; in.n > 0 && steps < 400; ++steps) {
    const uint8_t b = in.Byte();
    Operation op;
    op.shift = b & 0x10;
    op.ctrl = b & 0x20;
    op.hadFocus = b & 0x40;
    std::string text;
    switch (b & 15) {
      case 0: case 1: case 2:
        op.ch = in.Byte();
        break;
      case 3:
        op.ch = static_cast<unsigned char>('0' + in.Byte() % 10);
        break;
      case 4: case 5:
        op.kind = Kind::Key;
        op.key = static_cast<field::Key>(in.Byte() % 10);
        if (field::IsPasteKey(op)) text = in.Text();
        break;
      case 6: op.kind = Kind::Paste; text = in.Text(); break;
      case 7: op.kind = Kind::FocusGained; break;
      case 8: op.kind = Kind::FocusLost; break;
      case 9: op.kind = Kind::SetText; text = in.Text(); break;
      case 10: op.kind = Kind::SetMask; text = in.Text(); break;
      case 11: op.kind = Kind::Limit; op.number = in.Byte() | (in.Byte() << 8) | ((b & 0x80) << 9); break;
      case 12: op.kind = Kind::MousePress; op.number = in.Byte(); break;
      case 13: op.kind = Kind::MouseMove; op.number = in.Byte(); break;
      case 14: op.kind = Kind::MouseRelease; break;
      default: op.kind = (b & 0x10) ? Kind::DoubleClick : Kind::RightPress; break;
    }
    if (op.kind == Kind::Char && op.ch == 22) text = in.Text();
    op.text = text;

    const field::State before = s;
    const Format f = field::FormatOf(s);
    const field::Result r = field::Apply(s, op, locale);
    if (trace)
      std::fprintf(stderr, "op %d ch %d key %d n %u text %zu -> \"%s\" caret %d limit %d\n", int(op.kind), op.ch,
                   int(op.key), op.number, text.size(), s.text.substr(0, 40).c_str(), s.caret, s.limit);
    CheckState(s);
    Check(r.effects.size() <= 8);
    Check(r.value <= field::kMaxMask);
    const bool user = op.kind != Kind::SetText && op.kind != Kind::SetMask && op.kind != Kind::Limit;
    const bool changed = s.text != before.text;
    if (r.Has(Effect::Beep)) {
      Check(!changed && s.mask == before.mask && s.limit == before.limit);
      Check(!r.Has(Effect::StoreText) && !r.Has(Effect::Change) && !r.Has(Effect::Update));
    }
    if (r.Has(Effect::Clipboard)) Check(!(s.style & field::kPassword) && !r.clipboard.empty());
    if (op.kind == Kind::Char || op.kind == Kind::Key || op.kind == Kind::Paste) {
      // A change always notifies, after the text is stored.
      // (a digit typed over the same digit is an accepted key that changes nothing).
      if (changed) Check(r.Has(Effect::Change));
      if (r.Has(Effect::Change)) Check(r.effects.front() == Effect::StoreText || r.effects.front() == Effect::Clipboard);
    }
    if (!user) continue;
    // Beyond the limit only what was there, or a date's or time's template.
    if (op.kind != Kind::FocusGained)
      Check(s.text.size() <= std::max({size_t{s.limit}, before.text.size(), field::TemplateOf(f).size()}));
    if (field::IsDateOrTime(f) && Shaped(before.text, f)) Check(Shaped(s.text, f) || s.text.empty());
    if ((f == Format::Numeric || f == Format::Amount) && NumericText(before.text, f, locale))
      Check(NumericText(s.text, f, locale));
    if (op.kind == Kind::FocusLost && field::IsDateOrTime(f) && f != Format::HoursMinutes &&
        f != Format::HoursMinutesSeconds && !s.noDateCheck)
      Check(s.text.empty() || field::CheckWholeDate(s.text, f, locale, false) == 0);
  }
  return 0;
}
