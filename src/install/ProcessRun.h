#pragma once
// Starting programs: the driver installer, the backups' Install.cmd.
#include <string>
#include <windows.h>

namespace install {

// Starts a program; its exit code when waited for, -1 when it cannot start
// (then `startError`, when given, gets the system's error code; otherwise
// it gets 0).
int RunProgram(const std::wstring& commandLine, WORD showWindow, bool wait,
               DWORD* startError = nullptr);

// Starts a program in its own directory and waits; raises when it cannot start.
DWORD RunInOwnDir(const std::wstring& programPath, const std::wstring& parameters, WORD showWindow);

} // namespace install
