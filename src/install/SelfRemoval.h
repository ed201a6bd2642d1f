#pragma once
// An uninstaller inside the installation cannot delete its own file while it
// runs. A hidden copy of the program, started from the temporary directory,
// waits for the uninstaller's process to end and deletes the file then; the
// copy itself is opened for deletion on close, so that it goes when it ends.
#include <string>
#include <windows.h>

namespace install {

// Starts the helper for `file` (the running program's file). 0, or the
// system's error code when no helper runs; the file is then marked for
// deletion at the next restart where Windows allows it.
DWORD RemoveAfterExit(const std::wstring& file);

// The helper's own work: waits for `process` to end, then deletes `file`,
// which must be an uninstaller of ours. The process's exit code.
int RunRemovalHelper(HANDLE process, const std::wstring& file);

} // namespace install
