#pragma once
// CopyFileKeepDate: single-file copies that carry the source's date and
// never leave a half-written destination behind.
#include <functional>
#include <string>

#include "base/SysResult.h"
#include "files/CopyEngine.h"

namespace files {

// Copies a file keeping the source's last-write time (DOS-rounded). The
// system's error code when copying the content failed (a write, a read, the
// flush); raises when the source cannot be opened or the destination cannot
// be created or replaced. `progress` follows the
// content's copy on the calling thread.
base::SysResult CopyFileKeepDate(const std::wstring& source, const std::wstring& destination,
                                 const CopyProgress& progress = {});

// CopyFileKeepDate that keeps the destination it replaces: once the copy is
// whole and flushed, an existing destination is renamed to the first free
// name `backupName` gives and the copy is moved into its place at once.
// `keptPath` gets the name it was kept under, empty when there was none.
base::SysResult CopyFileKeepDate(const std::wstring& source, const std::wstring& destination,
                                 const std::function<std::wstring(int attempt)>& backupName,
                                 std::wstring& keptPath, const CopyProgress& progress = {});

} // namespace files
