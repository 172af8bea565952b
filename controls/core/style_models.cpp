#include "controls/core/style_models.h"

#include <algorithm>

namespace style {

namespace {

struct CommandRow {
  int id;
  EditorAction action;
  int element;
};

// The editor's template: per element its colour, gradient, text and texture buttons, its flag
// check boxes and its global check box.
constexpr CommandRow kCommands[] = {
    {102, EditorAction::kFirstColour, 0},         {1001, EditorAction::kFirstColour, 1},
    {2001, EditorAction::kFirstColour, 2},        {3001, EditorAction::kFirstColour, 3},
    {103, EditorAction::kVerticalGradient, 0},    {1003, EditorAction::kVerticalGradient, 1},
    {2003, EditorAction::kVerticalGradient, 2},   {3003, EditorAction::kVerticalGradient, 3},
    {105, EditorAction::kHorizontalGradient, 0},  {1002, EditorAction::kHorizontalGradient, 1},
    {2002, EditorAction::kHorizontalGradient, 2}, {3002, EditorAction::kHorizontalGradient, 3},
    {204, EditorAction::kTextColour, 0},          {1008, EditorAction::kTextColour, 1},
    {2008, EditorAction::kTextColour, 2},         {3008, EditorAction::kTextColour, 3},
    {104, EditorAction::kTexture, 0},             {1009, EditorAction::kTexture, 1},
    {2009, EditorAction::kTexture, 2},            {3009, EditorAction::kTexture, 3},
    {201, EditorAction::kRounded, 0},             {1004, EditorAction::kRelief, 1},
    {1005, EditorAction::kRounded, 1},            {1006, EditorAction::kTransparent, 1},
    {1007, EditorAction::kEmbossed, 1},           {2005, EditorAction::kRounded, 2},
    {2006, EditorAction::kTransparent, 2},        {2007, EditorAction::kEmbossed, 2},
    {199, EditorAction::kGlobalFlag, 0},          {1011, EditorAction::kGlobalFlag, 1},
    {2011, EditorAction::kGlobalFlag, 2},
};

constexpr int kListElement = 3;

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool EndsWithNoCase(std::string_view text, std::string_view tail) {
  if (text.size() < tail.size()) return false;
  for (size_t i = 0; i < tail.size(); ++i) {
    if (Upper(text[text.size() - tail.size() + i]) != Upper(tail[i])) return false;
  }
  return true;
}

size_t NameStart(std::string_view path) {
  const size_t slash = path.find_last_of("\\/:");
  return slash == std::string_view::npos ? 0 : slash + 1;
}

}  // namespace

EditorCommand DecodeEditorCommand(int id) {
  for (const CommandRow& row : kCommands) {
    if (row.id == id) return EditorCommand{row.action, row.element};
  }
  return EditorCommand{};
}

int KindForColourCommand(EditorAction action, int element, int kind) {
  switch (action) {
    case EditorAction::kFirstColour:
      if (element == kListElement) return kind == 0 ? 1 : kind;
      return kind == 1 || kind == 2 ? kind : 1;
    case EditorAction::kVerticalGradient:
      return 1;
    case EditorAction::kHorizontalGradient:
      return 2;
    default:
      return kind;
  }
}

std::string_view ModelStem(std::string_view fileName) {
  if (!EndsWithNoCase(fileName, kModelExtension)) return {};
  return fileName.substr(0, fileName.size() - kModelExtension.size());
}

std::vector<std::string> ModelNames(const std::vector<std::string>& upperFileNames) {
  std::vector<std::string> names;
  for (const std::string& file : upperFileNames) {
    const std::string_view stem = ModelStem(file);
    if (stem.empty() || stem.find("PICTOS") != std::string_view::npos) continue;
    names.emplace_back(stem);
  }
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

std::string ModelSavePath(std::string_view chosenUpper) {
  const size_t start = NameStart(chosenUpper);
  std::string_view name = chosenUpper.substr(start);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string_view::npos) name = name.substr(0, dot);
  if (name.empty()) return {};
  std::string path(chosenUpper.substr(0, start));
  path.append(name);
  path.append(".MDL");
  return path;
}

std::string_view ModelNameOfPath(std::string_view path) {
  std::string_view name = path.substr(NameStart(path));
  const size_t dot = name.find_last_of('.');
  return dot == std::string_view::npos ? name : name.substr(0, dot);
}

int EditorBottom(bool pictosOnly, int globalBoxTop, int gradientButtonBottom, int border) {
  return pictosOnly ? globalBoxTop + border : gradientButtonBottom + 2 * border;
}

CopyOutcome SafeCopy(CopySteps& steps) {
  std::vector<char> bytes;
  if (!steps.ReadSource(&bytes)) return CopyOutcome::kSourceUnreadable;
  // An empty model is no style: copying it would wipe the settings.
  if (bytes.empty()) return CopyOutcome::kSourceEmpty;
  if (!steps.CreateTemporary()) return CopyOutcome::kTemporaryFailed;
  size_t done = 0;
  while (done < bytes.size()) {
    const size_t n = steps.WriteTemporary(bytes.data() + done, bytes.size() - done);
    if (n == 0 || n > bytes.size() - done) break;
    done += n;
  }
  const bool closed = steps.CloseTemporary();
  if (done != bytes.size() || !closed) {
    steps.RemoveTemporary();
    return CopyOutcome::kWriteFailed;
  }
  if (!steps.ReplaceDestination()) {
    steps.RemoveTemporary();
    return CopyOutcome::kReplaceFailed;
  }
  return CopyOutcome::kCopied;
}

}  // namespace style
