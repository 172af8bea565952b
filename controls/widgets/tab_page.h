// Tab pages: child dialogs of class "KVTABPAGE" placed under their tab buttons, the navigation
// between a dialog and its visible page, and the modal loop of a tabbed dialog.
#pragma once

#include <windows.h>

// The page's property (atom 1) with its tab button, and the dialog's with its previous window
// procedure while its pages subclass it.
constexpr UINT kTabPageButtonAtom = 1;
constexpr const char kTabDialogProcProp[] = "FNPTRKV";

extern "C" {
// Creates the page of tab button `tabId` from integer template `templateId` as a hidden child of
// `dialog`, under the button. Null when the template gives no window, or for an identifier that
// cannot name a page (0, above 0xFFFF, one of the library's own atoms) or a missing button.
HWND WINAPI KvCreateTabPage(HINSTANCE instance, HWND dialog, UINT templateId, DLGPROC proc, int tabId);
// Runs a tabbed dialog modally; the value given to KvTabEndDialog, or 0.
INT_PTR WINAPI KvTabDialogBoxParam(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM param);
// Ends the tabbed dialog loop of `window`'s thread with `result`.
BOOL WINAPI KvTabEndDialog(HWND window, int result);
}

namespace tamsel {
// The page of a dialog's tab button, and the tab button of a page (null when none).
HWND TabPageOf(HWND dialog, int tabId);
HWND TabButtonOf(HWND page);
// Where the modal loop takes its messages from (GetMessageA unless a test replaces it); returns
// the previous source.
using MessageSource = BOOL(WINAPI*)(LPMSG, HWND, UINT, UINT);
MessageSource SetTabLoopMessageSource(MessageSource source);
}  // namespace tamsel
