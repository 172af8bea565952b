#include "controls/widgets/mini_keyboard_logic.h"

#include <algorithm>
#include <climits>

namespace minikb {

namespace {

int Bounded(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

// `value` * num / den, truncated, at least 1.
int Proportion(int value, int num, int den) {
  return std::max(1, Bounded(static_cast<int64_t>(value) * num / den));
}

std::string Printable(unsigned char c) {
  if (c < 32 || c == 127) return {};
  if (c == '&') return "&&";
  return std::string(1, static_cast<char>(c));
}

}  // namespace

Point PlaceUnder(const Rect& target, Size size, const Rect& screen) {
  Point p = {target.left, target.bottom};
  if (static_cast<int64_t>(p.x) + size.width > screen.right) p.x = Bounded(static_cast<int64_t>(screen.right) - size.width);
  if (static_cast<int64_t>(p.y) + size.height > screen.bottom) {
    p.y = Bounded(static_cast<int64_t>(screen.bottom) - size.height);
    if (p.y < target.bottom && static_cast<int64_t>(p.y) + size.height > target.top)
      p.y = Bounded(static_cast<int64_t>(target.top) - size.height);
  }
  p.x = std::max(p.x, screen.left);
  p.y = std::max(p.y, screen.top);
  return p;
}

Size KeepAspect(Size proposed, Size current, Size reference, Size frame, bool edgeDrag) {
  const int refW = reference.width - 2 * frame.width, refH = reference.height - 2 * frame.height;
  if (refW <= 0 || refH <= 0) return proposed;
  const bool widthChanged = proposed.width != current.width;
  const bool widthSets = edgeDrag ? widthChanged && proposed.height == current.height : widthChanged;
  int w = std::max(1, proposed.width - 2 * frame.width);
  int h = std::max(1, proposed.height - 2 * frame.height);
  if (widthSets)
    h = Proportion(w, refH, refW);
  else
    w = Proportion(h, refW, refH);
  return {Bounded(static_cast<int64_t>(w) + 2 * frame.width), Bounded(static_cast<int64_t>(h) + 2 * frame.height)};
}

bool IsTopOrBottomHit(int hitTest) { return hitTest >= 12 && hitTest <= 17; }

Hit HitTest(Size window, Point at, Size frame) {
  if (at.x < frame.width) return Hit::Left;
  if (at.x >= window.width - frame.width) return Hit::Right;
  if (at.y < frame.height) return Hit::Top;
  if (at.y >= window.height - frame.height) return Hit::Bottom;
  return Hit::Client;
}

std::optional<Size> SavedSize(int width, int height, Size reference, Size frame, Size workArea) {
  if (width <= 0 || height <= 0) return std::nullopt;
  constexpr int kMinPart = 8;
  const int fw = 2 * frame.width, fh = 2 * frame.height;
  const int refW = reference.width - fw, refH = reference.height - fh;
  const int maxW = std::max(kMinPart, workArea.width - fw), maxH = std::max(kMinPart, workArea.height - fh);
  int w = std::max(1, width - fw), h = std::max(1, height - fh);
  if (refW <= 0 || refH <= 0) {
    w = std::clamp(w, kMinPart, maxW);
    h = std::clamp(h, kMinPart, maxH);
  } else {
    h = Proportion(w, refH, refW);
    if (w > maxW) {
      w = maxW;
      h = Proportion(w, refH, refW);
    }
    if (h > maxH) {
      h = maxH;
      w = Proportion(h, refW, refH);
    }
    if (w < kMinPart || h < kMinPart) {
      if (refW < refH) {
        w = kMinPart;
        h = Proportion(w, refH, refW);
      } else {
        h = kMinPart;
        w = Proportion(h, refW, refH);
      }
    }
  }
  return Size{w + fw, h + fh};
}

void MoveDrag::Begin(const Rect& window, Point cursor) {
  active_ = true;
  rect_ = window;
  offset_ = {cursor.x - window.left, cursor.y - window.top};
}

bool MoveDrag::Follow(Point cursor, const Rect& screen) {
  if (!active_) return false;
  if (cursor.x < screen.left || cursor.x >= screen.right || cursor.y < screen.top || cursor.y >= screen.bottom)
    return false;
  const int left = cursor.x - offset_.x, top = cursor.y - offset_.y;
  if (left == rect_.left && top == rect_.top) return false;
  rect_ = {left, top, left + rect_.width(), top + rect_.height()};
  return true;
}

std::optional<Point> MoveDrag::Release() {
  if (!active_) return std::nullopt;
  active_ = false;
  return Point{rect_.left, rect_.top};
}

Command CommandOf(int id) {
  if (id >= kIdFirstCharacter && id <= kIdLastCharacter) return Command::Character;
  switch (id) {
    case kIdEnter: return Command::Enter;
    case kIdClose: return Command::Close;
    case kIdShift: return Command::Shift;
    case kIdAltGr: return Command::AltGr;
    case kIdBackspace: return Command::Backspace;
    case kIdTab: return Command::Tab;
    case kIdInsert: return Command::Insert;
    case kIdDelete: return Command::Delete;
    case kIdCopy: return Command::Copy;
    case kIdCut: return Command::Cut;
    case kIdPaste: return Command::Paste;
    default: return Command::None;
  }
}

uint32_t KeyDownParam(unsigned scan, bool extended) {
  return 1u | ((scan & 0xFFu) << 16) | (extended ? 1u << 24 : 0u);
}

uint32_t KeyUpParam(unsigned scan, bool extended) { return KeyDownParam(scan, extended) | 1u << 30 | 1u << 31; }

std::string LabelFor(const Translation& t) {
  if (t.count == 1) return Printable(t.chars[0]);
  if (t.count == 2) return Printable(t.chars[1]);
  return {};
}

std::vector<std::string> LabelKeys(Layout& layout, const std::vector<unsigned>& scans, Modifiers modifiers) {
  // A pending accent shows in the space bar's translation, which otherwise changes nothing.
  std::optional<unsigned char> pending;
  const Translation probe = layout.Translate(kVkSpace, kScanSpace, Modifiers::None);
  if (probe.count < 0)
    layout.Translate(kVkSpace, kScanSpace, Modifiers::None);
  else if (probe.count > 0 && !(probe.count == 1 && probe.chars[0] == ' '))
    pending = probe.chars[0];

  std::vector<std::string> labels;
  labels.reserve(scans.size());
  for (const unsigned scan : scans) {
    const unsigned vk = layout.VirtualKey(scan);
    if (!vk) {
      labels.emplace_back();
      continue;
    }
    const Translation t = layout.Translate(vk, scan, modifiers);
    if (t.count < 0) {
      // A dead key: its second translation gives the accent and clears it.
      const Translation again = layout.Translate(vk, scan, modifiers);
      labels.push_back(again.count > 0 ? Printable(again.chars[0]) : std::string());
    } else {
      labels.push_back(LabelFor(t));
    }
  }

  if (pending) {
    for (const Modifiers m : {Modifiers::None, Modifiers::Shift, Modifiers::AltGr}) {
      for (const unsigned scan : scans) {
        const unsigned vk = layout.VirtualKey(scan);
        if (!vk || layout.Translate(vk, scan, m).count >= 0) continue;
        const Translation accent = layout.Translate(kVkSpace, kScanSpace, Modifiers::None);
        if (accent.count > 0 && accent.chars[0] == *pending) {
          layout.Translate(vk, scan, m);
          return labels;
        }
      }
    }
  }
  return labels;
}

std::string ShortKeyName(const std::string& name) { return name.substr(0, 3); }

}  // namespace minikb
