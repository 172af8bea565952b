// The style editor on a test dialog, opened by the real shortcut (the library's mouse hook on this
// thread, Ctrl+Alt and a click), driven through its controls from template 4 of the host's
// resource module. The common dialogs are answered by the editor's dialog table; message boxes
// by a hook on their initialisation. The library module is a copy in a scratch folder, with "kvfonds.ini" and "BMP\".
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "controls/core/hover.h"
#include "controls/core/library.h"
#include "controls/core/style_editor.h"
#include "controls/core/style_record.h"
#include "controls/widgets/drawing.h"
#include "controls/widgets/host_settings.h"
#include "record_view.h"
#include "shortcut_input.h"
#include "wintest.h"

namespace {

#define PROP_TARGET MAKEINTATOM(0xBEBE)
#define PROP_MODIFIED MAKEINTATOM(123)

// ---- Answers of the common dialogs and message boxes ------------------------------------------

constexpr long long kCancel = -1;

struct Answers {
  std::vector<long long> colours;   // chosen colours, kCancel for Cancel
  std::vector<std::string> files;   // chosen files, "" for Cancel
  std::vector<int> boxes;           // IDYES or IDNO
  std::vector<CHOOSECOLORA> colourCalls;
  std::vector<OPENFILENAMEA> fileCalls;
  std::vector<std::string> boxTexts;
  std::string wander;  // where the file dialog moves the current folder
};
Answers answers;

BOOL WINAPI FakeChooseColor(LPCHOOSECOLORA cc) {
  answers.colourCalls.push_back(*cc);
  if (answers.colours.empty()) return FALSE;
  const long long c = answers.colours.front();
  answers.colours.erase(answers.colours.begin());
  if (c == kCancel) return FALSE;
  cc->rgbResult = static_cast<COLORREF>(c);
  cc->lpCustColors[0] = static_cast<COLORREF>(c);
  return TRUE;
}

BOOL WINAPI FakeFileDialog(LPOPENFILENAMEA ofn) {
  answers.fileCalls.push_back(*ofn);
  if (!answers.wander.empty()) SetCurrentDirectoryA(answers.wander.c_str());
  if (answers.files.empty()) return FALSE;
  const std::string f = answers.files.front();
  answers.files.erase(answers.files.begin());
  if (f.empty()) return FALSE;
  lstrcpynA(ofn->lpstrFile, f.c_str(), static_cast<int>(ofn->nMaxFile));
  return TRUE;
}

// The longest static text of a message box: its question.
BOOL CALLBACK BoxText(HWND w, LPARAM out) {
  char cls[16] = {}, text[512] = {};
  GetClassNameA(w, cls, sizeof cls);
  GetWindowTextA(w, text, sizeof text);
  auto* question = reinterpret_cast<std::string*>(out);
  if (lstrcmpiA(cls, "Static") == 0 && std::strlen(text) > question->size()) *question = text;
  return TRUE;
}

HHOOK cbtHook = nullptr;

// Answers a message box as it initialises, before it is shown (a message box costs Wine about two
// seconds all the same).
LRESULT CALLBACK AnswerBoxes(int code, WPARAM wp, LPARAM lp) {
  const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lp);
  if (code == HC_ACTION && call->message == WM_INITDIALOG && GetDlgItem(call->hwnd, IDYES) &&
      !GetPropA(call->hwnd, PROP_TARGET)) {
    std::string text;
    EnumChildWindows(call->hwnd, BoxText, reinterpret_cast<LPARAM>(&text));
    answers.boxTexts.push_back(text);
    const int answer = answers.boxes.empty() ? IDNO : answers.boxes.front();
    if (!answers.boxes.empty()) answers.boxes.erase(answers.boxes.begin());
    EndDialog(call->hwnd, answer);
  }
  return CallNextHookEx(cbtHook, code, wp, lp);
}

// ---- The editor run ---------------------------------------------------------------------------

std::function<void(HWND)> script;
HWND editorSeen = nullptr;

VOID CALLBACK RunScript(HWND, UINT, UINT_PTR id, DWORD) {
  HWND editor = FindStyleEditor();
  if (!editor) return;
  KillTimer(nullptr, id);
  editorSeen = editor;
  // Beside the target, so that both can be seen.
  SetWindowPos(editor, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  auto run = std::move(script);
  script = nullptr;
  run(editor);
}

// A click on the editor's control, as the dialog manager's mnemonic would press it.
void Press(HWND editor, int id) { SendMessageA(GetDlgItem(editor, id), BM_CLICK, 0, 0); }
void SelectModel(HWND editor, int index) {
  SendDlgItemMessageA(editor, 109, CB_SETCURSEL, index, 0);
  SendMessageA(editor, WM_COMMAND, MAKEWPARAM(109, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(editor, 109)));
}
std::vector<std::string> ListedModels(HWND editor) {
  std::vector<std::string> items;
  const LRESULT n = SendDlgItemMessageA(editor, 109, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    char text[MAX_PATH] = {};
    SendDlgItemMessageA(editor, 109, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    items.emplace_back(text);
  }
  return items;
}

LRESULT CALLBACK TargetProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_ERASEBKGND) {
    FillDlgWithTexture(w, reinterpret_cast<HDC>(wp), static_cast<int>(GetWindowLongPtrA(w, GWLP_USERDATA)));
    return 1;
  }
  return DefWindowProcA(w, m, wp, lp);
}

std::string Bytes(const std::string& path) { return wintest::ReadFileText(path); }

class StyleEditor : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = TargetProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "TamselEditorTarget";
    RegisterClassA(&wc);
    dir = new wintest::TempDir("editor");
    const std::string copy = dir->path() + "tamselhost.dll";
    ASSERT_TRUE(wintest::CopyFileTo(wintest::ProgramDir() + "TamselTestRes.dll", copy));
    module = LoadLibraryA(copy.c_str());
    resources = LoadLibraryA("HostRes.dll");
    ASSERT_NE(module, nullptr);
    ASSERT_NE(resources, nullptr);
    // One target for the whole suite: destroying an activated top-level window costs Wine seconds.
    target = CreateWindowExA(0, "TamselEditorTarget", "Target", WS_POPUP | WS_VISIBLE, 700, 300, 300, 200, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(target, nullptr);
  }
  static void TearDownTestSuite() {
    // The target stays until the process ends: hiding or destroying the active window costs
    // Wine seconds.
    FreeLibrary(resources);
    FreeLibrary(module);
    delete dir;
  }

  static void ClearModels() {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((ModelsDir() + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
      DeleteFileA((ModelsDir() + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  // The library's load work on the current file.
  static void Reload() {
    if (press) DestroyWindow(press);  // its class goes with the library
    press = nullptr;
    tamsel::LibraryDetach();
    ResetGlobalStyle();
    ASSERT_TRUE(tamsel::LibraryAttach(module));
  }

  void SetUp() override {
    DeleteFileA(Ini().c_str());
    ClearModels();
    Reload();
    CtrlSetLanguageDllInstance(nullptr, resources);
    answers = Answers{};
    styleEditorDialogs = StyleEditorDialogs{FakeChooseColor, FakeFileDialog, FakeFileDialog};
    cbtHook = SetWindowsHookExA(WH_CALLWNDPROCRET, AnswerBoxes, nullptr, GetCurrentThreadId());
    mouseHook = SetWindowsHookExA(WH_MOUSE, MouseHookProc, nullptr, GetCurrentThreadId());
    GetCurrentDirectoryA(MAX_PATH, startFolder);
  }
  void TearDown() override {
    ReleaseDialogStyle(target);
    RemovePropA(target, PROP_DLG_TEXTURE);
    DestroyWindow(press);
    press = nullptr;
    UnhookWindowsHookEx(mouseHook);
    UnhookWindowsHookEx(cbtHook);
    CtrlSetLanguageDllInstance(nullptr, nullptr);
    SetOpenLibraryDialog(nullptr);
    tamsel::LibraryDetach();
    ResetGlobalStyle();
    SetCurrentDirectoryA(startFolder);
  }

  // The dialog the editor works on (dialog number 0: none), with a button to click on.
  void MakeTarget(int number) {
    ReleaseDialogStyle(target);
    RemovePropA(target, PROP_DLG_TEXTURE);
    SetWindowLongPtrA(target, GWLP_USERDATA, number);
    if (press) DestroyWindow(press);
    press = CreateWindowExA(0, "BOUTON", "Press", WS_CHILD | WS_VISIBLE, 10, 10, 100, 30, target, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(target);
    RedrawWindow(target, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    wintest::Pump(30);
  }

  // Opens the editor with Ctrl+Alt and a click on the target's button, runs `steps` in it, and
  // waits until it has closed.
  void RunEditor(std::function<void(HWND)> steps) {
    script = std::move(steps);
    editorSeen = nullptr;
    SetTimer(nullptr, 0, 30, RunScript);
    // The keys reach the thread whose window is in front.
    SetForegroundWindow(target);
    wintest::Pump(10);
    RECT r;
    GetWindowRect(press, &r);
    const POINT at = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    SetCursorPos(at.x, at.y);
    SendKey(VK_CONTROL, true);
    SendKey(VK_MENU, true);
    SendMouse(at, MOUSEEVENTF_LEFTDOWN);
    SendMouse(at, MOUSEEVENTF_LEFTUP);
    SendKey(VK_MENU, false);
    SendKey(VK_CONTROL, false);
    ASSERT_TRUE(wintest::PumpUntil([] { return editorSeen && !script && !FindStyleEditor(); }, 8000));
    wintest::Pump(30);
  }

  COLORREF TargetPixel() const {
    HDC dc = GetDC(target);
    const COLORREF c = GetPixel(dc, 150, 150);
    ReleaseDC(target, dc);
    return c;
  }
  static std::string Ini() { return dir->path() + "kvfonds.ini"; }
  static std::string ModelsDir() { return dir->path() + "BMP\\"; }
  static std::string Value(const char* section, const char* key) {
    char text[1024] = {};
    GetPrivateProfileStringA(section, key, "", text, sizeof text, Ini().c_str());
    return text;
  }
  StyleEntry Own(StyleElement e) const { return DialogEntry(target, e); }

  static wintest::TempDir* dir;
  static HMODULE module;
  static HMODULE resources;
  HHOOK mouseHook = nullptr;
  static HWND target;
  static HWND press;
  char startFolder[MAX_PATH] = {};
};
wintest::TempDir* StyleEditor::dir = nullptr;
HMODULE StyleEditor::module = nullptr;
HMODULE StyleEditor::resources = nullptr;
HWND StyleEditor::target = nullptr;
HWND StyleEditor::press = nullptr;

constexpr COLORREF kRed = 0x0000FF;
constexpr const char* kBackgroundLine = ",1,0xFF,0xFF,0xC0C0C0,0x0,1,0,0,0,-11,200,0,0,Arial";

TEST_F(StyleEditor, OkWritesTheEditedEntriesAndEachChangeShowsAtOnce) {
  struct Case {
    int number;
    bool ownSection;  // D<number> written
  } cases[] = {{42, true}, {0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.number);
    DeleteFileA(Ini().c_str());
    Reload();
    answers = Answers{};
    MakeTarget(c.number);
    COLORREF shown = 0;
    HBRUSH firstBrush = nullptr, secondBrush = nullptr;
    answers.colours = {kRed, kRed, 0x00FF00, 0x0000FF};
    RunEditor([&](HWND editor) {
      char caption[64] = {};
      GetWindowTextA(editor, caption, sizeof caption);
      EXPECT_STREQ(caption, "Target");
      EXPECT_EQ(GetOpenLibraryDialog(), editor);
      for (int id : {211, 1010, 2010, 3010}) EXPECT_EQ(GetDlgItem(editor, id), nullptr) << id;
      EXPECT_EQ(SendDlgItemMessageA(editor, 3000, LB_GETCOUNT, 0, 0), 3);
      EXPECT_EQ(IsDlgButtonChecked(editor, 199), BST_CHECKED);
      Press(editor, 199);  // the background of this dialog only
      Press(editor, 102);  // first colour: a vertical gradient
      Press(editor, 103);  // second colour
      shown = TargetPixel();
      Press(editor, 1007);  // the buttons' embossing, globally
      Press(editor, 3001);  // the list brush follows the list colour; the one replaced is freed
      firstBrush = GetListBrush(target);
      Press(editor, 3001);
      secondBrush = GetListBrush(target);
      Press(editor, IDOK);
    });
    EXPECT_EQ(GetObjectType(firstBrush), 0u);
    EXPECT_EQ(GetObjectType(secondBrush), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_EQ(shown, kRed);
    EXPECT_EQ(TargetPixel(), kRed);
    ASSERT_EQ(answers.colourCalls.size(), 4u);
    EXPECT_EQ(answers.colourCalls[0].Flags, static_cast<DWORD>(CC_RGBINIT | CC_FULLOPEN));
    EXPECT_EQ(answers.colourCalls[0].rgbResult, 0xC0C0C0u);
    EXPECT_EQ(answers.colourCalls[0].hwndOwner, editorSeen);
    EXPECT_EQ(Value("Aspect Global", "Fond"), "0");
    EXPECT_EQ(Value("Aspect Global", "Bouton"), "1");
    EXPECT_EQ(Value("D42", "Fonds"), c.ownSection ? kBackgroundLine : "");
    EXPECT_EQ(Value("D0", "Fonds"), "");
    EXPECT_EQ(Value("Global", "Fonds"), "");
    EXPECT_EQ(Value("Global", "Boutons"), ",0,0xE4E4E4,0xC0C0C0,0xC0C0C0,0x0,1,0,0,0,-11,200,0,0,Arial");
    EXPECT_EQ(Value("Global", "Saisies"), ",0,0xFFFFFF,0xFFFFFF,0xFFFFFF,0x0,1,0,0,1,-11,800,0,0,Arial");
    EXPECT_EQ(Value("Global", "Liste"), ",1,0xFF,0xFFFFFF,0xFFFFFF,0x0,1,0,0,1,-11,800,0,0,Arial");
    EXPECT_EQ(Value("Fonds", "CustColor").substr(0, 12), "255,000,000|");
    EXPECT_EQ(GetOpenLibraryDialog(), nullptr);
  }
}

TEST_F(StyleEditor, CancelPutsTheTargetBackAndACancelledChooserChangesNothing) {
  struct Case {
    int number;
    bool recordBefore;
  } cases[] = {{42, true}, {0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.number);
    DeleteFileA(Ini().c_str());
    Reload();
    MakeTarget(c.number);
    ASSERT_EQ(GetPropA(target, PROP_DLG_STYLE) != nullptr, c.recordBefore);
    const COLORREF before = TargetPixel();
    const int embossed = GetStyleEmbossed(nullptr, kStyleButtons);
    answers.colours = {kCancel, kRed, kRed};
    COLORREF shown = 0;
    RunEditor([&](HWND editor) {
      Press(editor, 199);
      Press(editor, 102);  // cancelled: the kind stays, nothing is modified
      EXPECT_EQ(GetStyleKind(target, kStyleBackground), 0);
      EXPECT_EQ(GetPropA(editor, PROP_MODIFIED), nullptr);
      Press(editor, 102);
      Press(editor, 103);
      shown = TargetPixel();
      Press(editor, 1007);  // global: stays in memory, unwritten
      Press(editor, IDCANCEL);
    });
    EXPECT_EQ(shown, kRed);
    EXPECT_EQ(TargetPixel(), before);
    EXPECT_EQ(GetStyleEmbossed(nullptr, kStyleButtons), !embossed);
    EXPECT_EQ(Value("Global", "Boutons"), "");
    if (c.recordBefore) {
      EXPECT_EQ(Own(kStyleBackground).kind, 0);
      EXPECT_EQ(Own(kStyleBackground).firstColour, 0xC0C0C0u);
    } else {
      EXPECT_EQ(GetPropA(target, PROP_DLG_STYLE), nullptr);  // released, not zeroed
    }
  }
}

// A 2 x 2 24-bit BMP file.
void WriteBmp(const std::string& path) {
  unsigned char file[54 + 16] = {'B', 'M'};
  auto put32 = [&](int at, uint32_t v) { std::memcpy(file + at, &v, 4); };
  put32(2, sizeof file);
  put32(10, 54);
  put32(14, 40);
  put32(18, 2);
  put32(22, 2);
  file[26] = 1;
  file[28] = 24;
  for (int i = 54; i < 70; ++i) file[i] = 0x40;
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD n = 0;
  WriteFile(f, file, sizeof file, &n, nullptr);
  CloseHandle(f);
}

TEST_F(StyleEditor, TexturesComeFromTheFileDialogWhichLeavesTheCurrentFolder) {
  MakeTarget(42);
  const std::string good = dir->path() + "wood.bmp";
  const std::string comma = dir->path() + "wood,old.bmp";
  WriteBmp(good);
  WriteBmp(comma);
  answers.wander = dir->path();
  answers.files = {comma, good};
  RunEditor([&](HWND editor) {
    Press(editor, 199);
    Press(editor, 104);  // refused: the name would break the style line
    EXPECT_EQ(Own(kStyleBackground).kind, 0);
    EXPECT_EQ(GetPropA(editor, PROP_MODIFIED), nullptr);
    Press(editor, 104);
    EXPECT_NE(GetPropA(editor, PROP_MODIFIED), nullptr);
    Press(editor, IDOK);
  });
  char folder[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, folder);
  EXPECT_STREQ(folder, startFolder);
  ASSERT_EQ(answers.fileCalls.size(), 2u);
  EXPECT_EQ(answers.fileCalls[0].Flags, 0x281801u | OFN_NOCHANGEDIR);
  EXPECT_STREQ(answers.fileCalls[0].lpstrInitialDir, ".\\bmp\\");
  EXPECT_EQ(Own(kStyleBackground).kind, kKindTexture);
  EXPECT_EQ(Value("D42", "Fonds").substr(0, good.size() + 3), good + ",4,");
}

TEST_F(StyleEditor, ModelsAreSavedInUpperCaseListedAppliedAndDeleted) {
  WritePrivateProfileStringA("Global", "Fonds", ",1,0x112233,0x445566,0x0,0x0,1,0,0,0,-11,200,0,0,Arial", Ini().c_str());
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, Ini().c_str());
  MakeTarget(42);
  const std::string saved = Bytes(Ini());
  const std::string cafe = ModelsDir() + "CAF\xC9.MDL";
  answers.files = {ModelsDir() + "caf\xe9", ModelsDir() + "blue.mdl"};
  answers.boxes = {IDNO};
  RunEditor([&](HWND editor) {
    Press(editor, 12);
    Press(editor, 12);
    EXPECT_EQ(ListedModels(editor), (std::vector<std::string>{"( Th\xE8me pictos )", "BLUE", "CAF\xC9"}));
    EXPECT_EQ(SendDlgItemMessageA(editor, 109, CB_GETCURSEL, 0, 0), 1);
    Press(editor, 1007);  // unsaved: the apply asks first (No: apply all the same)
    SelectModel(editor, 2);
    Press(editor, 110);
  });
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((ModelsDir() + "caf*").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  FindClose(search);
  EXPECT_STREQ(found.cFileName, "CAF\xC9.MDL");
  ASSERT_EQ(answers.fileCalls.size(), 2u);
  EXPECT_EQ(answers.fileCalls[0].Flags, static_cast<DWORD>(OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR));
  EXPECT_STREQ(answers.fileCalls[0].lpstrDefExt, "mdl");
  ASSERT_EQ(answers.boxTexts.size(), 1u);
  char question[256] = {};
  LoadStringA(resources, 31165, question, sizeof question);
  EXPECT_EQ(answers.boxTexts[0], question);
  // The model is a byte copy of the settings; applied, the settings are its own and name it.
  EXPECT_EQ(Bytes(cafe), saved);
  EXPECT_EQ(Value("Fonds", "Model"), "CAF\xC9");
  EXPECT_EQ(Value("Global", "Fonds"), ",1,0x112233,0x445566,0x0,0x0,1,0,0,0,-11,200,0,0,Arial");
  EXPECT_EQ(Value("Global", "Boutons"), "");  // the unsaved change is gone
  EXPECT_EQ(GlobalStyle().entries[kStyleBackground].firstColour, 0x112233u);

  // Opened again: the named model is selected; deleting it asks with its name.
  answers.boxes = {IDYES};
  LoadStringA(resources, 31164, question, sizeof question);
  int bottom = 0, boxTop = 0;
  RunEditor([&](HWND editor) {
    EXPECT_EQ(SendDlgItemMessageA(editor, 109, CB_GETCURSEL, 0, 0), 2);
    Press(editor, 10);
    EXPECT_EQ(ListedModels(editor), (std::vector<std::string>{"( Th\xE8me pictos )", "BLUE"}));
    EXPECT_EQ(SendDlgItemMessageA(editor, 109, CB_GETCURSEL, 0, 0), 1);
    SelectModel(editor, 0);  // the picture theme: nothing to edit
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(editor, 102)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(editor, 110)));
    RECT r;
    GetWindowRect(editor, &r);
    bottom = r.bottom;
    GetWindowRect(GetDlgItem(editor, 199), &r);
    boxTop = r.top;
    Press(editor, IDCANCEL);
  });
  ASSERT_EQ(answers.boxTexts.size(), 2u);
  EXPECT_EQ(answers.boxTexts[1], std::string(question) + "CAF\xC9");
  EXPECT_EQ(GetFileAttributesA(cafe.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(bottom, boxTop + GetSystemMetrics(SM_CYBORDER));
}

TEST_F(StyleEditor, AFailedModelCopyIsReportedAndLeavesTheDestinationAsItWas) {
  CreateDirectoryA(ModelsDir().c_str(), nullptr);
  const std::string kept = ModelsDir() + "KEPT.MDL";
  WritePrivateProfileStringA("Global", "Fonds", ",2,0x1,0x2,0x0,0x0,1,0,0,0,-11,200,0,0,Arial", kept.c_str());
  WritePrivateProfileStringA("Fonds", "Model", "BLUE", Ini().c_str());
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, kept.c_str());
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, Ini().c_str());
  const std::string keptBytes = Bytes(kept);
  MakeTarget(42);
  answers.files = {kept};
  // Held open without sharing: it can be neither replaced nor read.
  HANDLE busy = CreateFileA(kept.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(busy, INVALID_HANDLE_VALUE);
  RunEditor([&](HWND editor) {
    Press(editor, 1007);
    Press(editor, 12);  // save over the busy model: fails
    EXPECT_NE(GetPropA(editor, PROP_MODIFIED), nullptr);
    EXPECT_EQ(ListedModels(editor), (std::vector<std::string>{"( Th\xE8me pictos )", "KEPT"}));
    // Without the language module's questions: no deletion, and the apply does not ask.
    CtrlSetLanguageDllInstance(nullptr, nullptr);
    SelectModel(editor, 1);
    Press(editor, 10);
    EXPECT_EQ(SendDlgItemMessageA(editor, 109, CB_GETCOUNT, 0, 0), 2);
    Press(editor, 110);  // apply the unreadable model: fails, the editor still closes
  });
  EXPECT_TRUE(answers.boxTexts.empty());
  EXPECT_NE(GetFileAttributesA(kept.c_str()), INVALID_FILE_ATTRIBUTES);
  CloseHandle(busy);
  EXPECT_EQ(Bytes(kept), keptBytes);
  EXPECT_EQ(Value("Fonds", "Model"), "BLUE");
  EXPECT_EQ(Value("Global", "Fonds").substr(0, 3), ",0,");  // not the model's
  EXPECT_EQ(GlobalStyle().entries[kStyleBackground].kind, 0);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((ModelsDir() + "*.tmp").c_str(), &found);
  EXPECT_EQ(search, INVALID_HANDLE_VALUE);  // no temporary file left behind
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

}  // namespace

// ---- Sister applications -------------------------------------------------------------------

int agendaErases = 0;
LRESULT CALLBACK AgendaProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_ERASEBKGND) ++agendaErases;
  if (m == WM_DESTROY && GetPropA(w, "helper")) PostQuitMessage(0);
  return DefWindowProcA(w, m, wp, lp);
}

HWND MakeSister(const char* cls) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = AgendaProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = cls;
  RegisterClassA(&wc);
  HWND w = CreateWindowExA(0, cls, cls, WS_POPUP, 700, 600, 100, 100, nullptr, nullptr, GetModuleHandleA(nullptr),
                           nullptr);
  ShowWindow(w, SW_SHOWNOACTIVATE);  // a window that was active is slow to go under Wine
  return w;
}

// Run in a second process by the test below: a sister application's window with a record
// handle of its own, until it is closed.
TEST(StyleEditorHelper, DISABLED_ForeignSister) {
  HWND w = MakeSister("ROVIZU");
  SetPropA(w, "helper", reinterpret_cast<HANDLE>(1));
  SetPropA(w, PROP_DLG_STYLE, reinterpret_cast<HANDLE>(0x1234));
  const DWORD start = GetTickCount();
  MSG msg;
  while (GetTickCount() - start < 20000) {
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) break;
      DispatchMessageA(&msg);
    } else {
      Sleep(5);
    }
  }
}

TEST_F(StyleEditor, SistersAreRedrawnAndOnlyRecordsOfThisProcessReleased) {
  const std::string self = wintest::ProgramDir() + "win_tamsel_style.exe";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  std::string line = "\"" + self + "\" --gtest_also_run_disabled_tests --gtest_filter=StyleEditorHelper.*";
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  ASSERT_TRUE(wintest::PumpUntil([] { return FindWindowA("ROVIZU", nullptr) != nullptr; }, 10000));
  HWND foreign = FindWindowA("ROVIZU", nullptr);
  HWND agenda = MakeSister("KVAGENDA");
  LoadDialogStyle(agenda, 7);
  CreateDirectoryA(ModelsDir().c_str(), nullptr);
  WritePrivateProfileStringA("Global", "Fonds", ",2,0x1,0x2,0x0,0x0,1,0,0,0,-11,200,0,0,Arial",
                             (ModelsDir() + "pictos0.mdl").c_str());
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, (ModelsDir() + "pictos0.mdl").c_str());
  MakeTarget(42);
  int erasesAfterEdit = 0;
  answers.files = {ModelsDir() + "saved"};
  RunEditor([&](HWND editor) {
    agendaErases = 0;
    Press(editor, 1007);  // global: shown in the sister applications too
    erasesAfterEdit = agendaErases;
    Press(editor, 12);  // saved: the apply does not ask
    SelectModel(editor, 0);
    Press(editor, 110);
  });
  EXPECT_GE(erasesAfterEdit, 1);
  EXPECT_EQ(GetPropA(agenda, PROP_DLG_STYLE), nullptr);
  EXPECT_EQ(GetPropA(foreign, PROP_DLG_STYLE), reinterpret_cast<HANDLE>(0x1234));
  EXPECT_EQ(Value("Fonds", "Model"), "( Th\xE8me pictos )");
  EXPECT_EQ(GlobalStyle().entries[kStyleBackground].kind, 2);
  DestroyWindow(agenda);
  PostMessageA(foreign, WM_CLOSE, 0, 0);
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}
