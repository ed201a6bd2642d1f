#pragma once
// File and process primitives of the install run, the database update and
// the font installation.
#include <functional>
#include <string>
#include <vector>
#include <windows.h>

#include "files/CopyEngine.h"

// Copies a file keeping the source's last-write time (DOS-rounded). False
// when copying the content failed; raises when the source cannot be opened
// or the destination cannot be created or replaced. `progress` follows the
// content's copy on the calling thread.
bool CopyFileKeepDate(const std::wstring& source, const std::wstring& destination,
                      const CopyProgress& progress = {});

// CopyFileKeepDate that keeps the destination it replaces: once the copy is
// whole and flushed, an existing destination is renamed to the first free
// name `backupName` gives and the copy is moved into its place at once.
// `keptPath` gets the name it was kept under, empty when there was none.
bool CopyFileKeepDate(const std::wstring& source, const std::wstring& destination,
                      const std::function<std::wstring(int attempt)>& backupName,
                      std::wstring& keptPath, const CopyProgress& progress = {});

// Copies a directory tree; hidden and system subdirectories are skipped.
// Copies are never read-only, and a read-only file they replace is made
// writable first.
void CopyDirTree(const std::wstring& source, const std::wstring& destination);

// Clears the read-only attribute of every file in the tree.
void ClearReadOnlyTree(const std::wstring& directory);

// Starts a program; its exit code when waited for, -1 when it cannot start
// (then `startError`, when given, gets the system's error code; otherwise
// it gets 0).
int RunProgram(const std::wstring& commandLine, WORD showWindow, bool wait,
               DWORD* startError = nullptr);

// Starts a program in its own directory and waits; raises when it cannot start.
DWORD RunInOwnDir(const std::wstring& programPath, const std::wstring& parameters, WORD showWindow);

// Sets or clears the read-only attribute; silent on failure.
void SetReadOnlyAttr(const std::wstring& path, bool set);

// Appends the visible subdirectories of `directory` (ending in a backslash),
// except "WithOutAnswer", as full paths.
void ListSubDirs(const std::wstring& directory, std::vector<std::wstring>& list);
