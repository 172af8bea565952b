// The relay with real processes: Velcast.exe and Velcast64.dll copied into a fresh folder beside
// the stand-in main application, which logs what it receives to qz32.log.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wintest.h"

namespace {

constexpr long kStandInAnswer = 77;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    out.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

// Closes every command window and waits for its process to end.
void EndMainApplication() {
  for (int i = 0; i < 20; ++i) {
    HWND w = FindWindowA("QzLinkWndClass", nullptr);
    if (w == nullptr) return;
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    PostMessageA(w, WM_CLOSE, 0, 0);
    if (process != nullptr) {
      WaitForSingleObject(process, 5000);
      CloseHandle(process);
    }
  }
}

class Relay : public ::testing::Test {
 protected:
  void SetUp() override { EndMainApplication(); }
  void TearDown() override { EndMainApplication(); }

  // A folder holding the relay and, unless told otherwise, the stand-in application.
  std::string Install(const wintest::TempDir& dir, bool withApplication = true) {
    const std::string bin = wintest::ProgramDir();
    EXPECT_TRUE(wintest::CopyFileTo(bin + "Velcast.exe", dir.path() + "Velcast.exe"));
    EXPECT_TRUE(wintest::CopyFileTo(bin + "Velcast64.dll", dir.path() + "Velcast64.dll"));
    if (withApplication) {
      EXPECT_TRUE(wintest::CopyFileTo(bin + "qz32.exe", dir.path() + "qz32.exe"));
    }
    return dir.path();
  }

  static long Launch(const std::string& folder, const std::string& command) {
    return wintest::RunProcess("\"" + folder + "Velcast.exe\" " + command, 60000);
  }

  static std::vector<std::string> Log(const std::string& folder) {
    return Lines(wintest::ReadFileText(folder + "qz32.log"));
  }

  // Starts the stand-in directly and waits for its window.
  static void StartApplication(const std::string& folder) {
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string line = "\"" + folder + "qz32.exe\"";
    ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    ASSERT_TRUE(wintest::PumpUntil([] { return FindWindowA("QzLinkWndClass", nullptr) != nullptr; }, 10000));
  }
};

TEST_F(Relay, StartsTheApplicationAndSendsTheCommandUpperCased) {
  wintest::TempDir dir("relay");
  const std::string f = Install(dir);
  EXPECT_EQ(Launch(f, "open patient 12"), kStandInAnswer);
  const auto log = Log(f);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0], "START " + f + "qz32.exe OPEN PATIENT 12");  // no blank in the path: unquoted
  EXPECT_EQ(log[1], "TEXT OPEN PATIENT 12");
}

TEST_F(Relay, SendsToTheRunningApplicationWithoutStartingAnother) {
  wintest::TempDir dir("relay");
  const std::string f = Install(dir);
  StartApplication(f);
  EXPECT_EQ(Launch(f, "/end"), kStandInAnswer);  // delivered as an ordinary command while it runs
  EXPECT_EQ(Launch(f, ""), kStandInAnswer);      // the empty command is sent as an empty text
  EXPECT_EQ(Launch(f, "x/hidey"), kStandInAnswer);
  const auto log = Log(f);
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[1], "TEXT /END");
  EXPECT_EQ(log[2], "TEXT ");
  EXPECT_EQ(log[3], "TEXT X/HIDEY");
}

TEST_F(Relay, EndNeverStartsTheApplicationInAnyCaseOrInsideWords) {
  wintest::TempDir dir("relay");
  const std::string f = Install(dir);
  for (const char* command : {"/END", "/end", "/EnD", "shut/ENDnow", "a /end b"}) {
    EXPECT_EQ(Launch(f, command), 0) << command;
  }
  EXPECT_EQ(wintest::ReadFileText(f + "qz32.log"), "");
  EXPECT_EQ(FindWindowA("QzLinkWndClass", nullptr), nullptr);
}

TEST_F(Relay, HideAndTheEmptyCommandOnlyStartTheApplication) {
  {
    wintest::TempDir dir("relay");
    const std::string f = Install(dir);
    EXPECT_EQ(Launch(f, "quiet/hideNOW"), 1);
    const auto log = Log(f);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "START " + f + "qz32.exe QUIET/HIDENOW");
    EndMainApplication();
  }
  {
    wintest::TempDir dir("relay");
    const std::string f = Install(dir);
    EXPECT_EQ(Launch(f, ""), 1);
    const auto log = Log(f);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "START " + f + "qz32.exe ");  // the trailing blank stays
  }
}

TEST_F(Relay, AProgramFolderWithABlankIsQuoted) {
  wintest::TempDir dir("relay");
  const std::string sub = dir.path() + "with blank\\";
  ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
  for (const char* name : {"Velcast.exe", "qz32.exe"}) {
    ASSERT_TRUE(wintest::CopyFileTo(wintest::ProgramDir() + name, sub + name));
  }
  EXPECT_EQ(Launch(sub, "go"), kStandInAnswer);
  const auto log = Log(sub);
  ASSERT_GE(log.size(), 1u);
  EXPECT_EQ(log[0], "START \"" + sub + "qz32.exe\" GO");
}

TEST_F(Relay, FailsWithZeroWhenTheApplicationIsMissingOrCannotStart) {
  wintest::TempDir dir("relay");
  const std::string f = Install(dir, /*withApplication=*/false);
  EXPECT_EQ(Launch(f, "go"), 0);
  // A file of that name that is no program.
  FILE* fake = std::fopen((f + "qz32.exe").c_str(), "wb");
  ASSERT_NE(fake, nullptr);
  std::fputs("not a program", fake);
  std::fclose(fake);
  EXPECT_EQ(Launch(f, "go"), 0);
  EXPECT_EQ(FindWindowA("QzLinkWndClass", nullptr), nullptr);
}

TEST_F(Relay, AnApplicationThatEndsOrNeverShowsItsWindowIsAFailedStart) {
  wintest::TempDir dir("relay");
  const std::string f = Install(dir);
  EXPECT_EQ(Launch(f, "standin:exit"), 0);
  const DWORD start = GetTickCount();
  EXPECT_EQ(Launch(f, "standin:nowindow"), 0);  // gives up after its bounded wait
  const DWORD waited = GetTickCount() - start;
  EXPECT_GE(waited, 29000u);
  EXPECT_LT(waited, 50000u);
}

TEST_F(Relay, OverlongCommandsAreRefusedWhole) {
  wintest::TempDir dir("relay");
  const std::string f = Install(dir);
  EXPECT_EQ(Launch(f, std::string(256, 'A')), 0);  // one over the launcher's 255
  EXPECT_EQ(wintest::ReadFileText(f + "qz32.log"), "");
  EXPECT_EQ(Launch(f, std::string(255, 'b')), kStandInAnswer);
  const auto log = Log(f);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[1], "TEXT " + std::string(255, 'B'));
}

TEST_F(Relay, ASecondLauncherWhileTheFirstRunsDropsItsCommand) {
  wintest::TempDir dir("relay");
  const std::string f = Install(dir);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION first = {};
  std::string line = "\"" + f + "Velcast.exe\" first";
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &first));
  // The first one holds the mutex through the start, the window wait and the one-second pause.
  ASSERT_TRUE(wintest::PumpUntil([&] { return !wintest::ReadFileText(f + "qz32.log").empty(); }, 10000));
  EXPECT_EQ(Launch(f, "second"), 0);
  ASSERT_EQ(WaitForSingleObject(first.hProcess, 30000), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeProcess(first.hProcess, &code);
  CloseHandle(first.hThread);
  CloseHandle(first.hProcess);
  EXPECT_EQ(static_cast<long>(code), kStandInAnswer);
  const auto log = Log(f);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[1], "TEXT FIRST");
}

TEST_F(Relay, AnExistingMutexMeansAnotherLauncherRuns) {
  wintest::TempDir dir("relay");
  const std::string f = Install(dir);
  HANDLE mutex = CreateMutexA(nullptr, TRUE, "Velcast__Mutex");
  ASSERT_NE(mutex, nullptr);
  EXPECT_EQ(Launch(f, "go"), 0);
  CloseHandle(mutex);
  EXPECT_EQ(wintest::ReadFileText(f + "qz32.log"), "");
}

// The library front end, loaded into this 64-bit process from the installed folder.
class RelayLibrary : public Relay {
 protected:
  using RunQZ = int(WINAPI*)(const char*);
  using ExecCmd = LRESULT(WINAPI*)(const char*);

  void Load(const std::string& folder) {
    module_ = LoadLibraryA((folder + "Velcast64.dll").c_str());
    ASSERT_NE(module_, nullptr);
  }
  void TearDown() override {
    Relay::TearDown();
    if (module_ != nullptr) FreeLibrary(module_);
  }
  HMODULE module_ = nullptr;
};

TEST_F(RelayLibrary, ExportsByNameAndByOrdinalAreTheSameFunctions) {
  wintest::TempDir dir("relay");
  Load(Install(dir));
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(module_, "Velcast_RunQZ")),
            reinterpret_cast<void*>(GetProcAddress(module_, MAKEINTRESOURCEA(1))));
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(module_, "Velcast_ExecCmd")),
            reinterpret_cast<void*>(GetProcAddress(module_, MAKEINTRESOURCEA(2))));
  EXPECT_NE(GetProcAddress(module_, "Velcast_RunQZ"), nullptr);
}

TEST_F(RelayLibrary, RunStartsOnceAndExecSendsOnlyToARunningApplication) {
  wintest::TempDir dir("relay");
  const std::string f = Install(dir);
  Load(f);
  auto run = wintest::ProcAs<RunQZ>(module_, MAKEINTRESOURCEA(1));
  auto exec = wintest::ProcAs<ExecCmd>(module_, MAKEINTRESOURCEA(2));
  ASSERT_NE(run, nullptr);
  ASSERT_NE(exec, nullptr);

  EXPECT_EQ(exec("nobody listens"), 0);  // never starts the application
  EXPECT_EQ(FindWindowA("QzLinkWndClass", nullptr), nullptr);

  EXPECT_EQ(run("/end from library"), 1);  // no special commands here
  EXPECT_EQ(run("again"), 0);              // already running: nothing sent
  EXPECT_EQ(exec("hello"), kStandInAnswer);
  EXPECT_EQ(exec(std::string(271, 'c').c_str()), kStandInAnswer);
  EXPECT_EQ(exec(std::string(272, 'c').c_str()), 0);  // refused whole
  EXPECT_EQ(exec(nullptr), 0);

  const auto log = Log(f);
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0], "START " + f + "qz32.exe /END FROM LIBRARY");
  EXPECT_EQ(log[1], "TEXT HELLO");
  EXPECT_EQ(log[2], "TEXT " + std::string(271, 'C'));
}

TEST_F(RelayLibrary, RunFailsWithoutTheApplicationBesideTheLibrary) {
  wintest::TempDir dir("relay");
  Load(Install(dir, /*withApplication=*/false));
  auto run = wintest::ProcAs<RunQZ>(module_, "Velcast_RunQZ");
  ASSERT_NE(run, nullptr);
  EXPECT_EQ(run("go"), 0);
  EXPECT_EQ(run(std::string(272, 'x').c_str()), 0);
}

}  // namespace

namespace {

TEST(RelayProgram, IsAWindowlessGuiProgramThatAsksForNoElevation) {
  const std::string path = wintest::ProgramDir() + "Velcast.exe";
  HMODULE image = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(image, nullptr);
  HRSRC res = FindResourceA(image, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // the manifest
  ASSERT_NE(res, nullptr);
  const char* text = static_cast<const char*>(LockResource(LoadResource(image, res)));
  const std::string manifest(text, SizeofResource(image, res));
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
  FreeLibrary(image);

  DWORD ignored = 0;
  EXPECT_GT(GetFileVersionInfoSizeA(path.c_str(), &ignored), 0u);

  const std::string bytes = wintest::ReadFileText(path);
  ASSERT_GT(bytes.size(), 0x100u);
  const auto peOffset = *reinterpret_cast<const LONG*>(bytes.data() + 0x3C);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(bytes.data() + peOffset);
  EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

}  // namespace
