// The style editor's window-free rules: kind changes, model names and the safe copy's decisions
// (the command table and the editor's bottom edge are exercised through the editor under Wine).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "controls/core/style_models.h"

namespace {

using style::EditorAction;

TEST(StyleEditorCommands, ColourCommandsSetTheKindTheirChooserShows) {
  struct Row {
    EditorAction action;
    int element, kind, expected;
  } rows[] = {
      {EditorAction::kFirstColour, 0, 0, 1},  {EditorAction::kFirstColour, 0, 2, 2},
      {EditorAction::kFirstColour, 1, 4, 1},  {EditorAction::kFirstColour, 3, 0, 1},
      {EditorAction::kFirstColour, 3, 4, 4},  {EditorAction::kVerticalGradient, 2, 2, 1},
      {EditorAction::kHorizontalGradient, 0, 4, 2}, {EditorAction::kTextColour, 1, 0, 0},
      {EditorAction::kTextColour, 0, 4, 4},
  };
  for (const Row& r : rows)
    EXPECT_EQ(style::KindForColourCommand(r.action, r.element, r.kind), r.expected)
        << static_cast<int>(r.action) << " " << r.element << " " << r.kind;
}

TEST(StyleModels, ListedAsUpperCaseStemsWithoutThePictureTheme) {
  const std::vector<std::string> files = {"CAF\xC9.MDL", "BLUE.MDL", "PICTOS0.MDL", "MYPICTOS.MDL", ".MDL",
                                          "NOTES.TXT",   "BLUE.mdl", "A.B.MDL"};
  const std::vector<std::string> expected = {"A.B", "BLUE", "CAF\xC9"};
  EXPECT_EQ(style::ModelNames(files), expected);
  EXPECT_EQ(style::ModelStem("x.Mdl"), "x");
  EXPECT_EQ(style::ModelStem("mdl"), "");
}

TEST(StyleModels, ASavedNameGetsTheModelExtension) {
  struct Row {
    const char* chosen;
    const char* path;
    const char* name;
  } rows[] = {
      {"C:\\LIB\\BMP\\BLUE", "C:\\LIB\\BMP\\BLUE.MDL", "BLUE"},
      {"C:\\LIB\\BMP\\BLUE.MDL", "C:\\LIB\\BMP\\BLUE.MDL", "BLUE"},
      {"C:\\LIB\\BMP\\BLUE.INI", "C:\\LIB\\BMP\\BLUE.MDL", "BLUE"},
      {"C:\\L.D\\BMP\\CAF\xC9", "C:\\L.D\\BMP\\CAF\xC9.MDL", "CAF\xC9"},
      {"C:\\LIB\\BMP\\", "", ""},
      {"C:\\LIB\\BMP\\.MDL", "", ""},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(style::ModelSavePath(r.chosen), r.path) << r.chosen;
    EXPECT_EQ(style::ModelNameOfPath(r.path), r.name) << r.chosen;
  }
}

// A copy whose steps fail where the case says; it records what reached the destination.
class FakeCopy : public style::CopySteps {
 public:
  std::string source = "[Global]\r\n";
  bool readable = true, tempOk = true, closeOk = true, replaceOk = true;
  size_t writeLimit = 1000;  // bytes the temporary file takes in all
  size_t chunk = 3;          // bytes one write takes at most
  std::string temp, destination = "old";
  bool tempExists = false;

  bool ReadSource(std::vector<char>* bytes) override {
    if (!readable) return false;
    bytes->assign(source.begin(), source.end());
    return true;
  }
  bool CreateTemporary() override { return tempExists = tempOk; }
  size_t WriteTemporary(const char* data, size_t size) override {
    size_t n = std::min({size, chunk, writeLimit - std::min(writeLimit, temp.size())});
    temp.append(data, n);
    return n;
  }
  bool CloseTemporary() override { return closeOk; }
  bool ReplaceDestination() override {
    if (!replaceOk) return false;
    destination = temp;
    tempExists = false;
    return true;
  }
  void RemoveTemporary() override { tempExists = false; }
};

TEST(StyleModels, TheCopyReplacesTheDestinationOnlyWhenEveryByteWasWritten) {
  using style::CopyOutcome;
  struct Row {
    const char* name;
    void (*setUp)(FakeCopy&);
    CopyOutcome outcome;
  } rows[] = {
      {"copied in pieces", [](FakeCopy&) {}, CopyOutcome::kCopied},
      {"unreadable source", [](FakeCopy& f) { f.readable = false; }, CopyOutcome::kSourceUnreadable},
      {"empty source", [](FakeCopy& f) { f.source.clear(); }, CopyOutcome::kSourceEmpty},
      {"no temporary file", [](FakeCopy& f) { f.tempOk = false; }, CopyOutcome::kTemporaryFailed},
      {"disk full", [](FakeCopy& f) { f.writeLimit = 4; }, CopyOutcome::kWriteFailed},
      {"flush fails", [](FakeCopy& f) { f.closeOk = false; }, CopyOutcome::kWriteFailed},
      {"replace refused", [](FakeCopy& f) { f.replaceOk = false; }, CopyOutcome::kReplaceFailed},
  };
  for (const Row& r : rows) {
    FakeCopy f;
    r.setUp(f);
    EXPECT_EQ(style::SafeCopy(f), r.outcome) << r.name;
    EXPECT_EQ(f.destination, r.outcome == CopyOutcome::kCopied ? f.source : "old") << r.name;
    EXPECT_FALSE(f.tempExists) << r.name;  // never left behind
  }
}

}  // namespace
