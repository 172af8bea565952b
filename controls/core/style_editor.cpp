// The style editor's dialog procedure: per element colours, gradients, textures and flags of the
// target dialog (or of the global style), saved to "kvfonds.ini" by OK and undone by Cancel, and
// the style models.
#include "controls/core/style_editor.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "controls/core/ini_file.h"
#include "controls/core/style_record.h"
#include "controls/widgets/dib_file.h"
#include "controls/widgets/host_settings.h"
#include "winkit/global_lock.h"

StyleEditorDialogs styleEditorDialogs = {};

namespace {

using style::EditorAction;

// Properties of the editor.
#define PROP_EDITOR_TARGET MAKEINTATOM(0xBEBE)
#define PROP_EDITOR_MODIFIED MAKEINTATOM(123)
#define PROP_EDITOR_SNAPSHOT MAKEINTATOM(321)

constexpr int kDeleteModel = 10, kSaveModel = 12, kModelList = 109, kApplyModel = 110, kPreviewList = 3000;
constexpr int kBackgroundGlobal = 199, kBackgroundVertical = 103;
constexpr int kGlobalBoxes[] = {199, 1011, 2011};
constexpr int kRemovedControls[] = {211, 1010, 2010, 3010};
constexpr int kModelControls[] = {IDOK, IDCANCEL, kDeleteModel, kSaveModel, kModelList, kApplyModel};
constexpr UINT kDeleteQuestion = 31164, kApplyQuestion = 31165;
constexpr UINT kOpenFlags = 0x281801 | OFN_NOCHANGEDIR;
constexpr UINT kSaveFlags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
// The model list holds names of at most this length.
constexpr int kNameSize = MAX_PATH;

HMODULE commonDialogs = nullptr;

template <class F>
F CommonDialog(F* slot, const char* name) {
  if (!*slot) {
    if (!commonDialogs) commonDialogs = LoadLibraryA("comdlg32.dll");
    if (commonDialogs) *slot = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(commonDialogs, name)));
  }
  return *slot;
}

// The file dialogs move the current folder; other files are found relative to it.
class KeepCurrentFolder {
 public:
  KeepCurrentFolder() {
    const DWORD n = GetCurrentDirectoryA(MAX_PATH, saved_);
    ok_ = n > 0 && n < MAX_PATH;
  }
  ~KeepCurrentFolder() {
    if (ok_) SetCurrentDirectoryA(saved_);
  }
  KeepCurrentFolder(const KeepCurrentFolder&) = delete;
  KeepCurrentFolder& operator=(const KeepCurrentFolder&) = delete;

 private:
  char saved_[MAX_PATH] = {};
  bool ok_ = false;
};

// Runs a file dialog on `file` (its initial name), keeping the current folder.
bool RunFileDialog(BOOL(WINAPI* run)(LPOPENFILENAMEA), HWND editor, const char* filter, const char* folder,
                   const char* extension, DWORD flags, char (&file)[MAX_PATH]) {
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = editor;
  ofn.lpstrFilter = filter;
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrInitialDir = folder;
  ofn.lpstrDefExt = extension;
  ofn.Flags = flags;
  KeepCurrentFolder keep;
  const bool chosen = run(&ofn) != 0;
  file[MAX_PATH - 1] = '\0';
  return chosen;
}

HWND Target(HWND editor) { return static_cast<HWND>(GetPropA(editor, PROP_EDITOR_TARGET)); }
bool Modified(HWND editor) { return GetPropA(editor, PROP_EDITOR_MODIFIED) != nullptr; }
void SetModified(HWND editor, bool modified) {
  if (modified) SetPropA(editor, PROP_EDITOR_MODIFIED, reinterpret_cast<HANDLE>(1));
  else RemovePropA(editor, PROP_EDITOR_MODIFIED);
}
int DialogNumber(HWND dialog) { return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropA(dialog, PROP_DLG_TEXTURE))); }
StyleElement Element(int e) { return static_cast<StyleElement>(e); }

// A dialog's own record block (not the 0xFFFF marker).
HGLOBAL RecordBlock(HWND dialog) {
  HANDLE h = dialog ? GetPropA(dialog, PROP_DLG_STYLE) : nullptr;
  return !IsNoHandle(h) && GlobalSize(h) >= sizeof(StyleRecord) ? static_cast<HGLOBAL>(h) : nullptr;
}

// An edit of the dialog's own style starts from what it shows: a dialog without a record gets
// the one it would load (a record made by a setter would be all zeros, painted black).
void PrepareOwnEntry(HWND target, StyleElement element) {
  if (!GetGlobalFlag(element) && !RecordBlock(target)) LoadDialogStyle(target, DialogNumber(target));
}

void SetCheck(HWND editor, int id, bool on) { CheckDlgButton(editor, id, on ? BST_CHECKED : BST_UNCHECKED); }
bool Checked(HWND editor, int id) { return IsDlgButtonChecked(editor, id) == BST_CHECKED; }

void ShowFlags(HWND editor) {
  for (int e = 0; e < 3; ++e) SetCheck(editor, kGlobalBoxes[e], GetGlobalFlag(Element(e)) != 0);
}

void ShowEntryValues(HWND editor, HWND target) {
  ShowFlags(editor);
  SetCheck(editor, 201, GetStyleRounded(target, kStyleBackground));
  SetCheck(editor, 1004, GetStyleRelief(target, kStyleButtons));
  SetCheck(editor, 1005, GetStyleRounded(target, kStyleButtons));
  SetCheck(editor, 1006, GetStyleTransparent(target, kStyleButtons));
  SetCheck(editor, 1007, GetStyleEmbossed(target, kStyleButtons));
  SetCheck(editor, 2005, GetStyleRounded(target, kStyleInputs));
  SetCheck(editor, 2006, GetStyleTransparent(target, kStyleInputs));
  SetCheck(editor, 2007, GetStyleEmbossed(target, kStyleInputs));
}

// ---- Colours, textures, flags ---------------------------------------------------------------

bool ChooseColour(HWND editor, COLORREF* colour) {
  auto choose = CommonDialog(&styleEditorDialogs.chooseColor, "ChooseColorA");
  if (!choose) return false;
  COLORREF custom[16];
  ReadCustomColours(custom, *colour);
  CHOOSECOLORA cc = {};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = editor;
  cc.rgbResult = *colour;
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (!choose(&cc)) return false;
  WriteCustomColours(custom);
  *colour = cc.rgbResult;
  return true;
}

COLORREF EditedColour(HWND target, EditorAction action, StyleElement element) {
  switch (action) {
    case EditorAction::kFirstColour: return GetStyleFirstColour(target, element);
    case EditorAction::kTextColour: return GetStyleTextColour(target, element);
    default: return GetStyleSecondColour(target, element);
  }
}

void SetEditedColour(HWND target, EditorAction action, StyleElement element, COLORREF colour) {
  switch (action) {
    case EditorAction::kFirstColour: SetStyleFirstColour(target, element, colour); break;
    case EditorAction::kTextColour: SetStyleTextColour(target, element, colour); break;
    default: SetStyleSecondColour(target, element, colour); break;
  }
}

// The list brush follows the list's first colour; the one it replaces is deleted.
void RenewListBrush(HWND target) {
  HBRUSH old = GetListBrush(target);
  HBRUSH brush = CreateSolidBrush(GetStyleFirstColour(target, kStyleLists));
  SetListBrush(target, brush);
  if (GetListBrush(target) != brush) DeleteObject(brush);
  else if (old && old != brush) DeleteObject(old);
}

bool ColourCommand(HWND editor, HWND target, EditorAction action, StyleElement element) {
  PrepareOwnEntry(target, element);
  const int kind = GetStyleKind(target, element);
  const COLORREF start = EditedColour(target, action, element);
  SetStyleKind(target, element, style::KindForColourCommand(action, element, kind));
  COLORREF chosen = start;
  if (!ChooseColour(editor, &chosen)) {
    SetStyleKind(target, element, kind);
    SetEditedColour(target, action, element, start);
    return false;
  }
  SetEditedColour(target, action, element, chosen);
  if (element == kStyleLists) RenewListBrush(target);
  return true;
}

void ReplaceTexture(StyleEntry* entry, HGLOBAL dib, const char* file) {
  if (!IsNoHandle(entry->texture)) GlobalFree(entry->texture);
  FreeStyleText(entry->textureFile);
  entry->texture = nullptr;
  entry->textureFile = nullptr;
  entry->hueShift = 0;
  if (!dib) return;
  entry->textureFile = NewStyleText(file);
  if (entry->textureFile) entry->texture = dib;
  else GlobalFree(dib);
}

bool TextureCommand(HWND editor, HWND target, StyleElement element) {
  auto open = CommonDialog(&styleEditorDialogs.getOpenFileName, "GetOpenFileNameA");
  if (!open) return false;
  char file[MAX_PATH] = "*.bmp";
  if (!RunFileDialog(open, editor, "bitmap\0*.bmp;*.dib\0", ".\\bmp\\", nullptr, kOpenFlags, file)) return false;
  // The style line separates its fields with commas: such a name could not be read back.
  if (std::strchr(file, ',') || !file[0]) return false;
  HGLOBAL dib = LoadDibFromFile(file);
  if (GetGlobalFlag(element)) {
    ReplaceTexture(&GlobalStyle().entries[element], dib, file);
    return GlobalStyle().entries[element].texture != nullptr;
  }
  PrepareOwnEntry(target, element);
  winkit::GlobalBlockLock lock(RecordBlock(target));
  auto* record = lock.as<StyleRecord>();
  if (!record) {
    if (dib) GlobalFree(dib);
    return false;
  }
  StyleEntry* entry = &record->entries[element];
  ReplaceTexture(entry, dib, file);
  if (!entry->texture) return false;
  entry->kind = kKindTexture;
  return true;
}

void FlagCommand(HWND editor, HWND target, int id, EditorAction action, StyleElement element) {
  PrepareOwnEntry(target, element);
  const int on = Checked(editor, id) ? 1 : 0;
  switch (action) {
    case EditorAction::kRelief: SetStyleRelief(target, element, on); break;
    case EditorAction::kRounded: SetStyleRounded(target, element, on); break;
    case EditorAction::kTransparent: SetStyleTransparent(target, element, on); break;
    default: SetStyleEmbossed(target, element, on); break;
  }
}

void ShowChange(HWND editor) {
  if (GetGlobalFlag(kStyleBackground) || GetGlobalFlag(kStyleButtons) || GetGlobalFlag(kStyleInputs))
    VisitSisterApplications(SisterVisit::kRedraw, GetWindow(editor, GW_OWNER));
  RedrawWithChildren(GetWindow(editor, GW_OWNER));
  RedrawWithChildren(Target(editor));
}

void EditCommand(HWND editor, int id, style::EditorCommand command) {
  HWND target = Target(editor);
  if (!target || !IsWindow(target)) return;
  const StyleElement element = Element(command.element);
  bool done = true;
  switch (command.action) {
    case EditorAction::kFirstColour:
    case EditorAction::kVerticalGradient:
    case EditorAction::kHorizontalGradient:
    case EditorAction::kTextColour:
      done = ColourCommand(editor, target, command.action, element);
      break;
    case EditorAction::kTexture:
      done = TextureCommand(editor, target, element);
      break;
    default:
      FlagCommand(editor, target, id, command.action, element);
      break;
  }
  if (done) SetModified(editor, true);
  ShowChange(editor);
}

void GlobalBoxCommand(HWND editor) {
  for (int e = 0; e < 3; ++e) SetGlobalFlag(Element(e), Checked(editor, kGlobalBoxes[e]));
  WriteGlobalFlags();
  ShowFlags(editor);
  VisitSisterApplications(SisterVisit::kRedraw, GetWindow(editor, GW_OWNER));
  RedrawWithChildren(Target(editor));
}

// ---- Saving and undoing -----------------------------------------------------------------------

void WriteUnderKey(const char* section, const StyleEntry& entry, const char* key) {
  StyleEntry keyed = entry;  // shares the texture name for the write only
  std::memset(keyed.key, 0, sizeof keyed.key);
  std::strncpy(keyed.key, key, sizeof keyed.key - 1);
  WriteStyleEntry(section, keyed);
}

void SaveStyle(HWND editor) {
  HWND target = Target(editor);
  // A dialog without a number has no section anybody reads: only the global entries are saved.
  const int number = target ? DialogNumber(target) : 0;
  char section[16];
  DialogSection(number, section, sizeof section);
  winkit::GlobalBlockLock lock(number ? RecordBlock(target) : nullptr);
  const auto* record = lock.as<StyleRecord>();
  for (int e = 0; e < kStyleElementCount; ++e) {
    if (GetGlobalFlag(Element(e))) WriteUnderKey(kGlobalSection, GlobalStyle().entries[e], kStyleElementKeys[e].global);
    else if (record) WriteUnderKey(section, record->entries[e], kStyleElementKeys[e].dialog);
  }
}

bool SameText(const char* a, const char* b) { return (!a || !*a) ? (!b || !*b) : (b && std::strcmp(a, b) == 0); }

// Puts back what the snapshot holds; the font (never edited here) and a texture that kept its
// file stay, a texture of another file is read again.
void RestoreEntry(StyleEntry* to, const StyleEntry& from, StyleElement element) {
  HFONT font = to->font;
  to->font = nullptr;
  HGLOBAL kept = nullptr;
  if (SameText(to->textureFile, from.textureFile) && !IsNoHandle(to->texture)) {
    kept = to->texture;
    to->texture = nullptr;
  }
  CopyStyleEntry(to, from);
  to->font = font;
  if (kept) to->texture = kept;
  else if (element != kStyleBackground && to->textureFile && *to->textureFile) to->texture = LoadDibFromFile(to->textureFile);
}

void UndoTargetEdits(HWND editor) {
  HWND target = Target(editor);
  if (!target || !IsWindow(target)) return;
  if (!GetWindowLongPtrA(editor, GWLP_USERDATA)) {
    // It had no record of its own: it gets the one it loads on its next paint.
    ReleaseDialogStyle(target);
  } else if (Modified(editor)) {
    winkit::GlobalBlockLock snapshot(static_cast<HGLOBAL>(GetPropA(editor, PROP_EDITOR_SNAPSHOT)));
    winkit::GlobalBlockLock own(RecordBlock(target));
    const auto* from = snapshot.as<StyleRecord>();
    auto* to = own.as<StyleRecord>();
    if (from && to) {
      for (int e = 0; e < kStyleElementCount; ++e) RestoreEntry(&to->entries[e], from->entries[e], Element(e));
    }
  }
  if (!GetGlobalFlag(kStyleLists) && RecordBlock(target)) RenewListBrush(target);
  if (Modified(editor)) VisitSisterApplications(SisterVisit::kRedraw, GetWindow(editor, GW_OWNER));
  RedrawWithChildren(target);
}

void TakeSnapshot(HWND editor, HWND target) {
  HGLOBAL snapshot = GlobalAlloc(GHND, sizeof(StyleRecord));
  HGLOBAL own = RecordBlock(target);
  if (snapshot && own) {
    winkit::GlobalBlockLock to(snapshot), from(own);
    if (to && from) CopyStyleRecord(to.as<StyleRecord>(), *from.as<StyleRecord>());
  }
  if (snapshot && !SetPropA(editor, PROP_EDITOR_SNAPSHOT, snapshot)) GlobalFree(snapshot);
  SetWindowLongPtrA(editor, GWLP_USERDATA, own ? 1 : 0);
}

void FreeSnapshot(HWND editor) {
  HGLOBAL snapshot = static_cast<HGLOBAL>(RemovePropA(editor, PROP_EDITOR_SNAPSHOT));
  if (!snapshot) return;
  {
    winkit::GlobalBlockLock lock(snapshot);
    if (auto* record = lock.as<StyleRecord>())
      for (StyleEntry& e : record->entries) FreeStyleEntryObjects(&e);
  }
  GlobalFree(snapshot);
}

// ---- Models -----------------------------------------------------------------------------------

bool LoadQuestion(UINT id, char* out, int capacity) {
  return tamsel::resourceModule && LoadStringA(tamsel::resourceModule, id, out, capacity) > 0;
}

bool Ask(const char* question) { return MessageBoxA(nullptr, question, "", MB_YESNO | MB_TASKMODAL) == IDYES; }

bool SelectedModel(HWND editor, LRESULT* index, char (&name)[kNameSize]) {
  HWND list = GetDlgItem(editor, kModelList);
  *index = list ? SendMessageA(list, CB_GETCURSEL, 0, 0) : CB_ERR;
  name[0] = '\0';
  if (*index < 0) return false;
  const LRESULT length = SendMessageA(list, CB_GETLBTEXTLEN, *index, 0);
  if (length < 0 || length >= kNameSize) return false;
  SendMessageA(list, CB_GETLBTEXT, *index, reinterpret_cast<LPARAM>(name));
  return true;
}

// The model file of a list entry: entry 0 is the picture theme's.
bool ModelFile(LRESULT index, const char* name, char (&out)[MAX_PATH]) {
  char folder[MAX_PATH];
  if (!ModelsFolder(folder, MAX_PATH)) return false;
  const int n = index == 0 ? std::snprintf(out, MAX_PATH, "%s%s", folder, style::kPictosFile.data())
                           : std::snprintf(out, MAX_PATH, "%s%s%s", folder, name, style::kModelExtension.data());
  return n > 0 && n < MAX_PATH;
}

bool SettingsFile(char (&out)[MAX_PATH]) { return ini::BesideLibrary("kvfonds.ini", out, MAX_PATH); }

// Written settings reach the file before it is copied, and a replaced file is read afresh.
void FlushSettings(const char* settings) { WritePrivateProfileStringA(nullptr, nullptr, nullptr, settings); }

void FillModelList(HWND editor) {
  HWND list = GetDlgItem(editor, kModelList);
  if (!list) return;
  SendMessageA(list, CB_RESETCONTENT, 0, 0);
  SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(style::kPictosEntry.data()));
  for (const std::string& name : ListModelNames()) SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

void SelectModel(HWND editor, const char* name) {
  HWND list = GetDlgItem(editor, kModelList);
  const LRESULT found = SendMessageA(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name));
  if (found >= 0) SendMessageA(list, CB_SETCURSEL, found, 0);
}

bool IsModelControl(int id) {
  for (int c : kModelControls) {
    if (c == id) return true;
  }
  return false;
}

// The picture theme offers nothing to edit: the editing controls are disabled and cut off.
void ShowModelSelection(HWND editor) {
  const bool pictos = SendDlgItemMessageA(editor, kModelList, CB_GETCURSEL, 0, 0) == 0;
  for (HWND c = GetWindow(editor, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!IsModelControl(GetDlgCtrlID(c))) EnableWindow(c, !pictos);
  }
  HWND mark = GetDlgItem(editor, pictos ? kBackgroundGlobal : kBackgroundVertical);
  RECT control, window;
  if (!mark || !GetWindowRect(mark, &control) || !GetWindowRect(editor, &window)) return;
  const int bottom = style::EditorBottom(pictos, control.top, control.bottom, GetSystemMetrics(SM_CYBORDER));
  SetWindowPos(editor, nullptr, 0, 0, window.right - window.left, bottom - window.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ApplyModel(HWND editor) {
  char text[512];
  if (Modified(editor) && LoadQuestion(kApplyQuestion, text, sizeof text) && Ask(text)) {
    PostMessageA(editor, WM_COMMAND, kSaveModel, 0);
    return;
  }
  LRESULT index;
  char name[kNameSize];
  char model[MAX_PATH], settings[MAX_PATH];
  if (!SelectedModel(editor, &index, name) || !ModelFile(index, name, model) || !SettingsFile(settings)) return;
  FlushSettings(settings);
  if (CopyStyleFile(model, settings) == style::CopyOutcome::kCopied) {
    FlushSettings(settings);
    ini::WriteString(settings, "Fonds", "Model", name);
  }
  ReadGlobalFlags();
  LoadGlobalStyle();
  VisitSisterApplications(SisterVisit::kRelease, nullptr);
  // The target, here in this process, reads its own section of the new file on its next paint.
  HWND target = Target(editor);
  if (target && IsWindow(target) && DialogNumber(target)) ReleaseDialogStyle(target);
  VisitSisterApplications(SisterVisit::kRedraw, GetWindow(editor, GW_OWNER));
  RedrawWithChildren(target);
  EndDialog(editor, 0);
}

void SaveAsModel(HWND editor) {
  if (Modified(editor)) SaveStyle(editor);
  auto save = CommonDialog(&styleEditorDialogs.getSaveFileName, "GetSaveFileNameA");
  char folder[MAX_PATH], settings[MAX_PATH];
  if (!save || !ModelsFolder(folder, MAX_PATH) || !SettingsFile(settings)) return;
  CreateDirectoryA(folder, nullptr);
  char file[MAX_PATH] = "";
  if (!RunFileDialog(save, editor, "models\0*.mdl\0", folder, "mdl", kSaveFlags, file)) return;
  CharUpperA(file);
  const std::string path = style::ModelSavePath(file);
  if (path.empty() || path.size() >= MAX_PATH) return;
  FlushSettings(settings);
  // A failed copy keeps the old model file and the unsaved state.
  if (CopyStyleFile(settings, path.c_str()) != style::CopyOutcome::kCopied) return;
  FillModelList(editor);
  SelectModel(editor, std::string(style::ModelNameOfPath(path)).c_str());
  ShowModelSelection(editor);
  SetModified(editor, false);
}

void DeleteModel(HWND editor) {
  LRESULT index;
  char name[kNameSize];
  char model[MAX_PATH];
  if (!SelectedModel(editor, &index, name) || index == 0 || !ModelFile(index, name, model)) return;
  char question[512];
  if (!LoadQuestion(kDeleteQuestion, question, sizeof question)) return;
  const std::string text = std::string(question) + name;
  if (!Ask(text.c_str()) || !DeleteFileA(model)) return;
  HWND list = GetDlgItem(editor, kModelList);
  SendMessageA(list, CB_DELETESTRING, index, 0);
  SendMessageA(list, CB_SETCURSEL, index - 1, 0);
  ShowModelSelection(editor);
}

// ---- The dialog ---------------------------------------------------------------------------------

void Open(HWND editor, HWND target) {
  for (int id : kRemovedControls) {
    if (HWND c = GetDlgItem(editor, id)) DestroyWindow(c);
  }
  char caption[256] = {};
  if (!target || GetWindowTextA(target, caption, sizeof caption) == 0)
    std::snprintf(caption, sizeof caption, "%d", target ? DialogNumber(target) : 0);
  SetWindowTextA(editor, caption);
  TakeSnapshot(editor, target);
  LoadDialogStyle(editor, 0);
  ResetDialogStyle(editor);
  SetPropA(editor, PROP_EDITOR_TARGET, target);
  SetWindowLongPtrA(editor, DWLP_USER, reinterpret_cast<LONG_PTR>(target));
  SetModified(editor, false);
  ShowEntryValues(editor, target);
  FillModelList(editor);
  char settings[MAX_PATH], model[kNameSize] = {};
  if (SettingsFile(settings)) ini::ReadString(settings, "Fonds", "Model", "", model, sizeof model);
  if (model[0]) SelectModel(editor, model);
  for (int i = 0; i < 3; ++i) SendDlgItemMessageA(editor, kPreviewList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("List"));
  ShowModelSelection(editor);
  SetOpenLibraryDialog(editor);
}

void Close(HWND editor) {
  FreeSnapshot(editor);
  ReleaseDialogStyle(editor);
  RemovePropA(editor, PROP_EDITOR_TARGET);
  RemovePropA(editor, PROP_EDITOR_MODIFIED);
  RemovePropA(editor, PROP_DLG_TEXTURE);
  if (GetOpenLibraryDialog() == editor) SetOpenLibraryDialog(nullptr);
}

void Command(HWND editor, int id, int code) {
  switch (id) {
    case IDOK:
      if (Modified(editor)) SaveStyle(editor);
      EndDialog(editor, 1);
      return;
    case IDCANCEL:
      UndoTargetEdits(editor);
      EndDialog(editor, 0);
      return;
    case kModelList:
      if (code == CBN_SELCHANGE) ShowModelSelection(editor);
      return;
    case kApplyModel: ApplyModel(editor); return;
    case kSaveModel: SaveAsModel(editor); return;
    case kDeleteModel: DeleteModel(editor); return;
    default: break;
  }
  if (code != BN_CLICKED) return;
  const style::EditorCommand command = style::DecodeEditorCommand(id);
  if (command.action == EditorAction::kGlobalFlag) GlobalBoxCommand(editor);
  else if (command.action != EditorAction::kNone) EditCommand(editor, id, command);
}

}  // namespace

INT_PTR CALLBACK StyleEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      Open(dialog, reinterpret_cast<HWND>(lParam));
      return FALSE;
    case WM_NCHITTEST: {
      // The editor is dragged by any point of its surface.
      const LRESULT hit = DefWindowProcA(dialog, message, wParam, lParam);
      if (hit != HTCLIENT) return FALSE;
      SetWindowLongPtrA(dialog, DWLP_MSGRESULT, HTCAPTION);
      return TRUE;
    }
    case WM_COMMAND:
      Command(dialog, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_DESTROY:
      Close(dialog);
      return FALSE;
    default:
      return FALSE;
  }
}
