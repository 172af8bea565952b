// Stand-in of the outside library Corvane: only what the control library uses of it, the class
// CLog and its constructor.
#pragma once

#include <windows.h>

#ifdef CORVANE_BUILD
#define CORVANE_API __declspec(dllexport)
#else
#define CORVANE_API __declspec(dllimport)
#endif

enum e_Manufacturer { e_ManufacturerNone = 0, e_ManufacturerDefault = 1 };

class CORVANE_API CLog {
 public:
  CLog(HINSTANCE module, const char* name, e_Manufacturer manufacturer);
  ~CLog();
  CLog(const CLog&) = delete;
  CLog& operator=(const CLog&) = delete;

 private:
  HINSTANCE module_;
  char name_[16];
  e_Manufacturer manufacturer_;
};

// What the stand-in saw, for tests: live instances and the arguments of the last constructor.
extern "C" CORVANE_API int WINAPI CorvaneLiveLogs();
extern "C" CORVANE_API int WINAPI CorvaneLastLog(HINSTANCE* module, char* name, int capacity, int* manufacturer);
