#pragma once
// The check made before a run writes anything: every file of an earlier
// installation that the run will replace can be replaced now, and the
// target's drive has room for what the run writes. A run that fails it
// changes nothing on the disk.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>
#include <windows.h>

#include "install/InstalledFiles.h" // kUninstallerName

namespace install {

// Room kept free beyond what the run writes (logs, settings files, the
// file system's own records).
inline constexpr std::uint64_t kRoomMargin = 16ull << 20;

// A file that cannot be replaced now.
struct TFileInUse {
    std::wstring path;
    DWORD error = 0;                   // why it could not be opened
    std::vector<std::wstring> holders; // the programs holding it, where Windows can tell
};

// The files among `paths` (full paths; missing ones and directories are
// skipped) that cannot be opened now as a replacement or a removal needs
// them: a rename over the file asks for DELETE and write access with no
// sharing. The holders come from the Restart Manager.
std::vector<TFileInUse> FilesInUse(const std::vector<std::wstring>& paths);

// What an install from `source` into `target` (both ending in a backslash)
// writes: the Firebird group is the one for the components page's Windows
// index, and the driver directory counts only when the driver step copies it.
struct TRunFiles {
    std::wstring source;
    std::wstring target;
    int windowsIndex = 0;
    bool withDriver = false;
};

// The existing files in the target that the run will replace.
std::vector<std::wstring> FilesTheRunReplaces(const TRunFiles& run);

// The bytes the run copies to the target's drive (sizes on the medium). The
// earlier database stays beside the new one under its dated name, so its
// room is never given back during the run.
std::uint64_t BytesTheRunCopies(const TRunFiles& run);

struct TRoomShortage {
    std::wstring drive; // the drive's root, "C:\"
    std::uint64_t needed = 0;
    std::uint64_t free = 0;
};

// Nothing when the drive of `target` (which need not exist yet) has room for
// `bytes` and the margin.
std::optional<TRoomShortage> RoomShortage(const std::wstring& target, std::uint64_t bytes);

// "Недостаточно места на диске C:\: нужно N МБ, свободно M МБ." (MiB, the
// need rounded up, the free room down).
std::wstring RoomShortageText(const TRoomShortage& shortage);

// One line per file: its path, then its holders or the system's reason.
std::vector<std::wstring> FilesInUseLines(const std::vector<TFileInUse>& files);

} // namespace install
