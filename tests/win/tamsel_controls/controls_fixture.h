// The library's code built into the test program, its classes registered for a copy of a
// module in a temporary folder (so that no settings file is found), the host's resource module
// as the application module, and a parent whose background is one known colour.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "controls/core/library.h"
#include "controls/core/style_record.h"
#include "controls/widgets/host_settings.h"
#include "wintest.h"

namespace ctltest {

constexpr COLORREF kParentColour = RGB(51, 102, 153);

HMODULE HostRes();
// Live GDI objects of the process.
size_t LiveGdiObjects();

class Controls : public testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;
  void TearDown() override;

  // A child of the parent; `instance` is where the names of its text are looked up after the
  // program's own module.
  HWND Make(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id = 100,
            HINSTANCE instance = nullptr);
  // The control painted through WM_PRINTCLIENT into a canvas of its client size.
  static void Print(HWND control, wintest::Canvas32& canvas);

  HWND parent = nullptr;
};

inline int Red(COLORREF c) { return GetRValue(c); }

}  // namespace ctltest
