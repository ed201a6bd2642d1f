#pragma once
// Writing the installation log's blocks to disk.
#include <string>
#include <windows.h>

#include "install/portable/InstallLogText.h"

namespace install {

inline constexpr wchar_t kInstallLogName[] = L"Install.log";

// The local date and time, for a log line or a block's start.
TLogStamp LocalStamp();

// Appends one block to a log file, beginning a new file with the byte-order
// mark, or replaces the file with it. The system's error code, 0 on success.
DWORD AppendToLogFile(const std::wstring& path, const std::string& bytes);
DWORD ReplaceLogFile(const std::wstring& path, const std::string& bytes);

} // namespace install
