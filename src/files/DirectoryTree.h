#pragma once
// Directories: creating one, copying and listing trees.
#include <string>
#include <vector>

namespace files {

// Creates `directory` (its parent must exist) unless it is there already.
// Silent: a directory that could not be made shows when it is used.
void CreateDirectoryIfMissing(const std::wstring& directory);

// Creates `directory` with every missing parent; true when it exists after.
bool ForceDirectories(const std::wstring& directory);

// Copies a directory tree; hidden and system subdirectories are skipped.
// Copies are never read-only, and a read-only file they replace is made
// writable first.
void CopyDirTree(const std::wstring& source, const std::wstring& destination);

// The files CopyDirTree copies from the tree at `root` (no trailing
// backslash), as paths relative to it: hidden and system subdirectories
// are skipped.
std::vector<std::wstring> TreeFiles(const std::wstring& root);

// Clears the read-only attribute of every file in the tree.
void ClearReadOnlyTree(const std::wstring& directory);

// Appends the visible subdirectories of `directory` (ending in a backslash),
// except "WithOutAnswer", as full paths.
void ListSubDirs(const std::wstring& directory, std::vector<std::wstring>& list);

} // namespace files
