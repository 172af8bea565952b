#include "retouch/imaging/selection_library.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace sellib {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool SameWithoutCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

// The first line and what follows its line end.
std::string_view FirstLine(std::string_view text, std::string_view* rest) {
  const size_t end = text.find('\n');
  std::string_view line = end == std::string_view::npos ? text : text.substr(0, end);
  *rest = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

}  // namespace

int NumberOfName(std::string_view name) {
  if (name.size() != 12 || !SameWithoutCase(name.substr(0, 5), "seld_") || !SameWithoutCase(name.substr(8), ".tif")) {
    return 0;
  }
  int n = 0;
  for (size_t i = 5; i < 8; ++i) {
    if (!IsDigit(name[i])) return 0;
    n = n * 10 + (name[i] - '0');
  }
  return n;
}

std::string NameOfNumber(int number) {
  char name[32];
  std::snprintf(name, sizeof name, "seld_%03d.tif", number);
  return name;
}

int NextNumber(std::string_view listFile, const std::vector<std::string>& folderNames) {
  // The counter: the decimal value of the first three characters (digits up to the first other).
  int highest = 0;
  for (size_t i = 0; i < 3 && i < listFile.size() && IsDigit(listFile[i]); ++i) {
    highest = highest * 10 + (listFile[i] - '0');
  }
  std::string_view rest;
  FirstLine(listFile, &rest);
  while (!rest.empty()) {
    highest = std::max(highest, NumberOfName(FirstLine(rest, &rest)));
  }
  for (const std::string& name : folderNames) highest = std::max(highest, NumberOfName(name));
  return highest < kMaxNumber ? highest + 1 : 0;
}

std::string ListFileAfterSave(std::string_view listFile, int number) {
  char counter[16];
  std::snprintf(counter, sizeof counter, "%03d\r\n", number);
  std::string out = counter;
  std::string_view rest;
  FirstLine(listFile, &rest);
  out.append(rest);
  if (!rest.empty() && rest.back() != '\n') out += "\r\n";
  out += NameOfNumber(number);
  out += "\r\n";
  return out;
}

bool JoinPath(std::string_view folder, std::string_view name, char* out) {
  if (!out || folder.size() >= kPathBuffer || name.size() >= kPathBuffer - folder.size()) return false;
  std::memcpy(out, folder.data(), folder.size());
  std::memcpy(out + folder.size(), name.data(), name.size());
  out[folder.size() + name.size()] = '\0';
  return true;
}

bool NameBefore(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    if (Lower(a[i]) != Lower(b[i])) return static_cast<unsigned char>(Lower(a[i])) < static_cast<unsigned char>(Lower(b[i]));
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

namespace {

// Neighbours 1 to 8 in image directions (y down): up-left, left, down-left, down, down-right,
// right, up-right, up.
constexpr int kStepX[9] = {0, -1, -1, -1, 0, 1, 1, 1, 0};
constexpr int kStepY[9] = {0, -1, 0, 1, 1, 1, 0, -1, -1};
// First and last neighbour searched after a step in direction d.
constexpr int kFirst[9] = {0, 7, 1, 1, 3, 3, 5, 5, 7};
constexpr int kLast[9] = {0, 5, 6, 7, 8, 1, 2, 3, 4};

bool Black(const dib::View& mask, int64_t x, int64_t y) {
  if (x < 0 || y < 0 || x >= mask.width || y >= mask.height) return false;
  const uint8_t* p = mask.Pixel24(static_cast<int32_t>(x), static_cast<int32_t>(y));
  return p[0] == 0 && p[1] == 0 && p[2] == 0;
}

}  // namespace

bool TraceMask(const dib::View& mask, std::vector<Point>* outline) {
  if (!outline || !mask.valid() || mask.bitsPerPixel != 24) return false;
  outline->clear();
  Point start{-1, -1};
  for (int32_t y = 0; y < mask.height && start.x < 0; ++y) {
    for (int32_t x = 0; x < mask.width; ++x) {
      if (Black(mask, x, y)) {
        start = {x, y};
        break;
      }
    }
  }
  if (start.x < 0) return false;
  outline->push_back(start);
  // A boundary passes each pixel from at most eight sides: more steps than that is a loop that
  // never comes back to the start.
  const uint64_t bound = uint64_t{8} * static_cast<uint64_t>(mask.width) * static_cast<uint64_t>(mask.height) + 8;
  Point at = start;
  int d = 4;
  for (uint64_t steps = 0; steps < bound; ++steps) {
    int found = 0;
    for (int k = kFirst[d];; k = k % 8 + 1) {
      if (Black(mask, int64_t{at.x} + kStepX[k], int64_t{at.y} + kStepY[k])) {
        found = k;
        break;
      }
      if (k == kLast[d]) break;
    }
    if (found == 0) return false;
    at = {at.x + kStepX[found], at.y + kStepY[found]};
    d = found;
    outline->push_back(at);
    if (at.x == start.x && at.y == start.y) return true;
  }
  return false;
}

bool PlaceSelection(const dib::View& mask, int32_t imageWidth, int32_t imageHeight, int32_t x, int32_t y,
                    Placement* out) {
  if (!out || !mask.valid() || mask.bitsPerPixel != 24 || imageWidth <= 0 || imageHeight <= 0) return false;
  const int64_t hw = mask.width / 2, hh = mask.height / 2;
  // Inside with a pixel to spare, or not at all: a selection that large is refused rather than
  // placed over the edges.
  if (int64_t{mask.width} + 2 > imageWidth || int64_t{mask.height} + 2 > imageHeight) return false;
  const int64_t cx = std::clamp<int64_t>(std::max(x, 0), hw + 1, int64_t{imageWidth} - hw - 1);
  const int64_t cy = std::clamp<int64_t>(std::max(y, 0), hh + 1, int64_t{imageHeight} - hh - 1);
  std::vector<Point> traced;
  if (!TraceMask(mask, &traced)) return false;
  out->left = static_cast<int32_t>(cx - hw);
  out->top = static_cast<int32_t>(cy - hh);
  out->outline.clear();
  out->outline.reserve(traced.size());
  for (const Point& p : traced) out->outline.push_back({out->left + p.x, out->top + p.y});
  return true;
}

}  // namespace sellib
