// The style editor: a modal dialog (template 4 of the resource module) on a target dialog, and
// the style models beside the library ("BMP\*.mdl", byte copies of "kvfonds.ini").
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "controls/core/style_models.h"

constexpr int kStyleEditorTemplate = 4;

INT_PTR CALLBACK StyleEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The common dialogs the editor runs. An entry left null is taken from COMDLG32, loaded on first
// use (the library does not import it); tests put their own answers here.
struct StyleEditorDialogs {
  BOOL(WINAPI* chooseColor)(LPCHOOSECOLORA);
  BOOL(WINAPI* getOpenFileName)(LPOPENFILENAMEA);
  BOOL(WINAPI* getSaveFileName)(LPOPENFILENAMEA);
};
extern StyleEditorDialogs styleEditorDialogs;

// ---- Models and the sister applications (style_editor_files.cpp) ----------------------------
// The models folder: the library's folder followed by "BMP\".
bool ModelsFolder(char* out, DWORD capacity);
// The model names found there, upper-cased in the ANSI code page, without the picture theme.
std::vector<std::string> ListModelNames();
// Copies `from` over `to` through a temporary file beside `to`, which it replaces only once every
// byte was written; the copy takes the source's file times.
style::CopyOutcome CopyStyleFile(const char* from, const char* to);

enum class SisterVisit { kRedraw, kRelease };
// Visits the windows of the sister applications: redraws those that are not controls, or
// releases their style records (only windows of this process own a record here). Without any
// sister application the redraw form redraws `fallback` instead.
void VisitSisterApplications(SisterVisit form, HWND fallback);
// Invalidates, erases and repaints a window with all its children.
void RedrawWithChildren(HWND window);
