# Cross build for 32-bit Windows with mingw-w64 (posix thread model: GoogleTest needs std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(SUITE_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Doubles computed in SSE2 registers as on x86_64: the x87 unit's wider intermediates could change
# truncated blend results. Every processor the supported Windows versions run on has SSE2. Callers
# (window procedures, hooks, exports) may enter with a 4-byte aligned stack: realign where needed.
set(CMAKE_C_FLAGS_INIT   "-msse2 -mfpmath=sse -mstackrealign")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
