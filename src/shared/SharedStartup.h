#pragma once
// Start-up of the modules the installer shares with the suite. The program
// runs it first, before it creates any window.
#include <string>

namespace shared {

// VS_Common_Var (program directory, number format, holter.ini, language),
// then VS_Common_Proc (message catalogue), for the running program.
void InitializeSharedModules();

// The same for a program whose directory is `baseDir` (ending in a
// backslash).
void InitializeSharedModules(const std::wstring& baseDir);

} // namespace shared
