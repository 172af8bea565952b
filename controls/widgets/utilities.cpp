// The small exported utilities. The trimmer's buffer is per thread (a thread-local slot holding
// a block of the library's), made on a thread's first call and freed when the thread ends.
#include "controls/widgets/utilities.h"

#include "controls/widgets/qword_text.h"

namespace {

LONG volatile trimSlot = static_cast<LONG>(TLS_OUT_OF_INDEXES);
LONG volatile liveBuffers = 0;
// What a thread gets when its buffer cannot be made: always the empty text.
char emptyText[1] = {'\0'};

DWORD Slot() {
  const DWORD slot = static_cast<DWORD>(trimSlot);
  if (slot != TLS_OUT_OF_INDEXES) return slot;
  const DWORD fresh = TlsAlloc();
  if (fresh == TLS_OUT_OF_INDEXES) return fresh;
  // Two threads racing for the first call keep one slot.
  const LONG won = InterlockedCompareExchange(&trimSlot, static_cast<LONG>(fresh), static_cast<LONG>(TLS_OUT_OF_INDEXES));
  if (won == static_cast<LONG>(TLS_OUT_OF_INDEXES)) return fresh;
  TlsFree(fresh);
  return static_cast<DWORD>(won);
}

char* ThreadBuffer() {
  const DWORD slot = Slot();
  if (slot == TLS_OUT_OF_INDEXES) return nullptr;
  if (auto* buffer = static_cast<char*>(TlsGetValue(slot))) return buffer;
  auto* buffer = static_cast<char*>(GlobalAlloc(GPTR, qword::kTrimCapacity));
  if (!buffer) return nullptr;
  if (!TlsSetValue(slot, buffer)) {
    GlobalFree(buffer);
    return nullptr;
  }
  InterlockedIncrement(&liveBuffers);
  return buffer;
}

}  // namespace

namespace tamsel {

void FreeThreadTrimBuffer() {
  const DWORD slot = static_cast<DWORD>(trimSlot);
  if (slot == TLS_OUT_OF_INDEXES) return;
  if (void* buffer = TlsGetValue(slot)) {
    TlsSetValue(slot, nullptr);
    GlobalFree(buffer);
    InterlockedDecrement(&liveBuffers);
  }
}

void ReleaseTrimBuffers() {
  FreeThreadTrimBuffer();
  const LONG slot = InterlockedExchange(&trimSlot, static_cast<LONG>(TLS_OUT_OF_INDEXES));
  if (slot != static_cast<LONG>(TLS_OUT_OF_INDEXES)) TlsFree(static_cast<DWORD>(slot));
}

long LiveTrimBuffers() { return liveBuffers; }

}  // namespace tamsel

int64_t* WINAPI asc_to_qw(int64_t* out, const char* text) {
  if (!out) return nullptr;
  *out = qword::ParseDecimal(text);
  return out;
}

int WINAPI qw_mod(const int64_t* a, const int64_t* b, int64_t* out) {
  if (!a || !b || !out) return 0;
  *out = qword::Remainder(*a, *b);
  return static_cast<int>(static_cast<uint32_t>(static_cast<uint64_t>(*out)));
}

char* WINAPI strtrim(const char* text) {
  char* buffer = ThreadBuffer();
  if (!buffer) return emptyText;
  qword::TrimBlanks(text, buffer);
  return buffer;
}
