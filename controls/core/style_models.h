// The style editor's rules that need no window: what each of its command identifiers does, how a
// colour command changes an element's kind, the names of style models, where the editor's bottom
// edge goes, and the safe file copy behind models. Portable.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace style {

// Elements in record order (background, buttons, input fields, lists).
constexpr int kEditorElements = 4;

enum class EditorAction {
  kNone,
  kFirstColour,
  kVerticalGradient,    // kind 1, second colour
  kHorizontalGradient,  // kind 2, second colour
  kTextColour,
  kTexture,
  kRelief,
  kRounded,
  kTransparent,
  kEmbossed,
  kGlobalFlag,
};

struct EditorCommand {
  EditorAction action = EditorAction::kNone;
  int element = -1;
};

// The editing command behind a control identifier of the editor (kNone for any other).
EditorCommand DecodeEditorCommand(int id);

// The kind an element takes while its colour chooser runs (restored when it is cancelled):
// a first colour turns a face that is no gradient into a vertical one (the list only from kind
// 0), a gradient button sets its own direction, the text colour keeps the kind.
int KindForColourCommand(EditorAction action, int element, int kind);

// ---- Style models ---------------------------------------------------------------------------
// The list's entry 0, which stands for the model "pictos0.mdl" (text in the ANSI code page).
constexpr std::string_view kPictosEntry = "( Th\xE8me pictos )";
constexpr std::string_view kPictosFile = "pictos0.mdl";
constexpr std::string_view kModelExtension = ".mdl";

// The model name of a file name found in the models folder: the name without its ".mdl"
// extension (any case); empty for another extension or a bare extension.
std::string_view ModelStem(std::string_view fileName);
// The names the list shows after entry 0, from upper-cased file names: their stems, without
// those of the picture theme ("PICTOS"), sorted and each once.
std::vector<std::string> ModelNames(const std::vector<std::string>& upperFileNames);
// The file a save writes for an upper-cased chosen path: its extension replaced by ".MDL" (or
// ".MDL" appended). Empty when the path names no file.
std::string ModelSavePath(std::string_view chosenUpper);
// The model name of such a path: the file name without folder and extension.
std::string_view ModelNameOfPath(std::string_view path);

// ---- Editor geometry ------------------------------------------------------------------------
// The editor's bottom edge (screen y): just below the global check box's top while only the
// picture theme is offered, else below the gradient button of the background.
int EditorBottom(bool pictosOnly, int globalBoxTop, int gradientButtonBottom, int border);

// ---- Safe copy ------------------------------------------------------------------------------
// A file copy over an existing file that never leaves the destination cut short: the source is
// read whole, written to a temporary file beside the destination, and only a temporary file that
// took every byte replaces the destination; otherwise it is removed and the destination stays.
class CopySteps {
 public:
  virtual ~CopySteps() = default;
  virtual bool ReadSource(std::vector<char>* bytes) = 0;  // the whole file
  virtual bool CreateTemporary() = 0;
  virtual size_t WriteTemporary(const char* data, size_t size) = 0;  // bytes written, 0 on failure
  virtual bool CloseTemporary() = 0;                                 // flushed, times set, closed
  virtual bool ReplaceDestination() = 0;
  virtual void RemoveTemporary() = 0;
};

enum class CopyOutcome { kCopied, kSourceUnreadable, kSourceEmpty, kTemporaryFailed, kWriteFailed, kReplaceFailed };

CopyOutcome SafeCopy(CopySteps& steps);

}  // namespace style
