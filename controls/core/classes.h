// The library's global window classes, registered at load for every dialog of the process.
#pragma once

#include <windows.h>

namespace tamsel {

// Registers "BOUTON", "SAISIE", "STATIQUE", "KVCOMBO", "KvPopupCmb", "KVTABPAGE" (stopping at
// the first failure) and the "KC_EDIT" superclass of "EDIT" (whose result does not count).
bool RegisterControlClasses(HINSTANCE module);
void UnregisterControlClasses(HINSTANCE module);

}  // namespace tamsel

// Window procedures of the classes.
LRESULT CALLBACK ButtonWndProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK SaisieWndProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK StatiqueWndProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK KvComboWndProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK KvPopupCmbWndProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK TabPageWndProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK KcEditWndProc(HWND, UINT, WPARAM, LPARAM);
