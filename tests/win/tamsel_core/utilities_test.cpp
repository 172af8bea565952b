// The small utilities and the colour exports as a host binds them: by ordinal from Tamsel.dll,
// with threads of their own for the trimmer's buffer.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "wintest.h"

namespace {

using AscToQw = int64_t*(WINAPI*)(int64_t*, const char*);
using QwMod = int(WINAPI*)(const int64_t*, const int64_t*, int64_t*);
using StrTrim = char*(WINAPI*)(const char*);

struct Utilities {
  HMODULE module = LoadLibraryA("Tamsel.dll");
  AscToQw asc = wintest::ProcAs<AscToQw>(module, MAKEINTRESOURCEA(100));
  QwMod mod = wintest::ProcAs<QwMod>(module, MAKEINTRESOURCEA(102));
  StrTrim trim = wintest::ProcAs<StrTrim>(module, MAKEINTRESOURCEA(109));
  ~Utilities() { FreeLibrary(module); }
};

TEST(TamselUtilities, OrdinalsAndNamesGiveTheSameFunctions) {
  Utilities u;
  ASSERT_NE(u.module, nullptr);
  const struct {
    int ordinal;
    const char* name;
  } exports[] = {{3, "SetButtonBitmap"},          {31, "SetBKStatColor"},     {34, "SetTexteStatColor"},
                 {53, "GetTextColorItemListBox"}, {55, "GetBkColorListBox"}, {100, "asc_to_qw"},
                 {102, "qw_mod"},                 {109, "strtrim"}};
  for (const auto& e : exports) {
    FARPROC byOrdinal = GetProcAddress(u.module, MAKEINTRESOURCEA(e.ordinal));
    EXPECT_NE(byOrdinal, nullptr) << e.name;
    EXPECT_EQ(byOrdinal, GetProcAddress(u.module, e.name)) << e.name;
  }
}

TEST(TamselUtilities, SixtyFourBitValuesThroughPointers) {
  Utilities u;
  int64_t v = 5;
  EXPECT_EQ(u.asc(&v, "18446744073709551615"), &v);
  EXPECT_EQ(v, -1);
  EXPECT_EQ(u.asc(nullptr, "12"), nullptr);
  const int64_t min = INT64_MIN, minusOne = -1, seven = -7, three = 3;
  int64_t out = 9;
  u.mod(&min, &minusOne, &out);
  EXPECT_EQ(out, 0);
  EXPECT_EQ(u.mod(&seven, &three, &out), -1);
  EXPECT_EQ(out, -1);
  EXPECT_EQ(u.mod(&seven, nullptr, &out), 0);
}

// Busy blocks of the trimmer's size on the process heap, where the library's blocks live.
size_t HeapBlocksOf(size_t size) {
  HANDLE heap = GetProcessHeap();
  size_t n = 0;
  if (!HeapLock(heap)) return 0;
  PROCESS_HEAP_ENTRY e = {};
  while (HeapWalk(heap, &e))
    if ((e.wFlags & PROCESS_HEAP_ENTRY_BUSY) && e.cbData == size) ++n;
  HeapUnlock(heap);
  return n;
}

struct TrimThread {
  StrTrim trim = nullptr;
  HANDLE go = nullptr, started = nullptr;
  std::string text;
  const char* result = nullptr;
  std::string copy;
};

DWORD WINAPI TrimOnce(LPVOID p) {
  auto* t = static_cast<TrimThread*>(p);
  t->result = t->trim(t->text.c_str());
  SetEvent(t->started);
  WaitForSingleObject(t->go, INFINITE);  // every thread holds its result while the others trim
  t->copy = t->result;
  return 0;
}

TEST(TamselUtilities, EachThreadTrimsIntoItsOwnBufferWhichGoesWithTheThread) {
  Utilities u;
  ASSERT_NE(u.trim, nullptr);
  EXPECT_STREQ(u.trim("  main  "), "main");
  const size_t before = HeapBlocksOf(1024);
  constexpr int kThreads = 8;
  HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::vector<TrimThread> work(kThreads);
  std::vector<HANDLE> threads;
  for (int i = 0; i < kThreads; ++i) {
    work[i].trim = u.trim;
    work[i].go = go;
    work[i].started = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    work[i].text = "  thread " + std::to_string(i) + " ";
    threads.push_back(CreateThread(nullptr, 0, TrimOnce, &work[i], 0, nullptr));
  }
  for (auto& w : work) WaitForSingleObject(w.started, 10000);
  EXPECT_EQ(HeapBlocksOf(1024), before + kThreads) << "one buffer per thread";
  SetEvent(go);
  WaitForMultipleObjects(kThreads, threads.data(), TRUE, 10000);
  for (int i = 0; i < kThreads; ++i) {
    EXPECT_EQ(work[i].copy, "thread " + std::to_string(i));
    for (int j = 0; j < i; ++j) EXPECT_NE(work[i].result, work[j].result);
    CloseHandle(threads[i]);
    CloseHandle(work[i].started);
  }
  CloseHandle(go);
  EXPECT_EQ(HeapBlocksOf(1024), before) << "the buffers went with their threads";
  EXPECT_STREQ(u.trim(std::string(1024, 'x').c_str()), "");
  EXPECT_STREQ(u.trim(nullptr), "");
}

}  // namespace
