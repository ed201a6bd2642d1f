#pragma once
// Shared procedures of the suite and the message catalogue.
#include <string>
#include <windows.h>

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

// True when the screen has fewer than 100 logical pixels per inch.
bool IsSmallFonts();

// Enables the shutdown privilege and calls ExitWindowsEx; true on success.
bool ShutdownWindows(UINT exitFlags);
