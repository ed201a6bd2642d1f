#pragma once
// Shared procedures of the suite and the message catalogue.
#include <string>
#include <windows.h>

namespace shared {

// Catalogue variables (keys of section VS_Common_Proc).
extern std::wstring Sbo;
extern std::wstring Met;
extern std::wstring nnn;
extern std::wstring sss;

// Reads the catalogue from MessageFile into the lists and variables: each key
// with its Russian default, which every entry takes when MessageFile is empty
// or missing. A key present with an empty value gives an empty text.
void LoadMessages();

// The module's start-up, after that of VS_Common_Var: loads the catalogue.
void InitializeCommonProc();

// The string resource `id` of `module`: at most 254 characters, up to the
// first zero.
std::wstring GetResString(HINSTANCE module, UINT id);

// The Windows directory with a trailing backslash, or empty.
std::wstring GetWindowsDir();

// Copies a directory with the shell's file operation; true when it returned 0.
bool ShellCopyDir(const std::wstring& source, const std::wstring& destination);

// The screen's logical pixels per inch across; 0 when the screen cannot be
// asked.
int ScreenPixelsPerInch();

// The one small-fonts threshold: true for fewer than 100 pixels per inch.
// 0 (a screen that could not be asked) is not small: it is not offered the
// switch to large fonts.
bool IsSmallFontsAt(int pixelsPerInch);

// True when the screen has fewer than 100 logical pixels per inch. Part of
// the shared procedures' interface; the install run asks through its
// system-actions seam (ScreenHasSmallFonts), which applies the same test.
bool IsSmallFonts();

// Enables the shutdown privilege and calls ExitWindowsEx; true on success.
bool ShutdownWindows(UINT exitFlags);

} // namespace shared
