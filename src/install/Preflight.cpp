#include "install/Preflight.h"

#include <restartmanager.h>

#include "base/FileQueries.h"
#include "base/Handles.h"
#include "base/SysError.h"
#include "base/portable/PathText.h"
#include "files/DirectoryTree.h"
#include "install/MediumLayout.h"

namespace install {

using base::DirectoryExists;
using base::FileSize;
using base::JoinPath;
using base::ParentDirectory;
using base::SysErrorMessage;
using base::UniqueHandle;
using base::UniqueModule;
using files::TreeFiles;

namespace {

constexpr std::uint64_t kMiB = 1ull << 20;

// Each file the run copies, as a pair of its path on the medium and its path
// in the target.
template <typename Visit> void ForEachCopiedFile(const TRunFiles& run, const Visit& visit) {
    const MediumLayout::FileGroup* groups[] = {
        &MediumLayout::Group1Database, &MediumLayout::FirebirdGroupFor(run.windowsIndex),
        &MediumLayout::Group3CharacterSets, &MediumLayout::Group4StandardUdf,
        &MediumLayout::Group5InHouseUdf};
    for (const MediumLayout::FileGroup* group : groups) {
        for (const std::wstring_view name : group->files) {
            visit(run.source + std::wstring(group->sourceDir) + std::wstring(name),
                  run.target + std::wstring(group->targetDir) + std::wstring(name));
        }
    }
    // The trees' files land below the target as the tree copies put them:
    // the backups in "backup\", the updater's files in the target itself,
    // the driver installer in its own directory.
    struct Tree {
        std::wstring_view from;
        std::wstring to;
    };
    std::vector<Tree> trees = {
        {MediumLayout::BackupDir, std::wstring(MediumLayout::BackupDir) + L"\\"},
        {MediumLayout::UpdaterDir, L""},
    };
    if (run.withDriver) {
        trees.push_back({MediumLayout::DriverDir, std::wstring(MediumLayout::DriverDir) + L"\\"});
    }
    for (const Tree& tree : trees) {
        const std::wstring root = run.source + std::wstring(tree.from);
        const std::wstring sourceDir = root + L"\\";
        const std::wstring targetDir = run.target + tree.to;
        for (const std::wstring& relative : TreeFiles(root)) {
            visit(sourceDir + relative, targetDir + relative);
        }
    }
}

// The system's error when the file cannot be opened as its replacement
// needs it, 0 when it can. A read-only file is made writable by the run
// before it is replaced, so only its attributes need to be writable now.
DWORD ReplaceOpenError(const std::wstring& path, DWORD attributes) {
    const DWORD access =
        DELETE |
        ((attributes & FILE_ATTRIBUTE_READONLY) != 0 ? FILE_WRITE_ATTRIBUTES : GENERIC_WRITE);
    const UniqueHandle file(CreateFileW(path.c_str(), access, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    return file ? 0 : GetLastError();
}

// The Restart Manager, loaded from the system directory when it is used:
// Windows does not keep it among its known libraries, and a library of that
// name beside the program must never be taken.
class RestartManager {
  public:
    RestartManager()
        : module_(LoadLibraryExW(L"rstrtmgr.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        if (module_) {
            start_ = Function<decltype(&RmStartSession)>("RmStartSession");
            register_ = Function<decltype(&RmRegisterResources)>("RmRegisterResources");
            list_ = Function<decltype(&RmGetList)>("RmGetList");
            end_ = Function<decltype(&RmEndSession)>("RmEndSession");
        }
    }

    // The names of the programs that hold `path`; empty when nobody can tell.
    std::vector<std::wstring> Holders(const std::wstring& path) const {
        std::vector<std::wstring> names;
        if (start_ == nullptr || register_ == nullptr || list_ == nullptr || end_ == nullptr) {
            return names;
        }
        DWORD session = 0;
        WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
        if (start_(&session, 0, key) != ERROR_SUCCESS) {
            return names;
        }
        LPCWSTR files[] = {path.c_str()};
        std::vector<RM_PROCESS_INFO> processes(16);
        UINT needed = 0;
        UINT count = static_cast<UINT>(processes.size());
        DWORD reasons = 0;
        if (register_(session, 1, files, 0, nullptr, 0, nullptr) == ERROR_SUCCESS &&
            list_(session, &needed, &count, processes.data(), &reasons) == ERROR_SUCCESS) {
            for (UINT i = 0; i < count && i < processes.size(); ++i) {
                // An entry the list did not fill (no process) names nobody.
                if (processes[i].Process.dwProcessId == 0) {
                    continue;
                }
                names.push_back(processes[i].strAppName[0] != L'\0'
                                    ? std::wstring(processes[i].strAppName)
                                    : L"процесс " +
                                          std::to_wstring(processes[i].Process.dwProcessId));
            }
        }
        end_(session);
        return names;
    }

  private:
    template <typename Fn> Fn Function(const char* name) const {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_.get(), name)));
    }

    UniqueModule module_;
    decltype(&RmStartSession) start_ = nullptr;
    decltype(&RmRegisterResources) register_ = nullptr;
    decltype(&RmGetList) list_ = nullptr;
    decltype(&RmEndSession) end_ = nullptr;
};

// The nearest directory of `path` (itself or a parent) that exists.
std::wstring ExistingDirectoryOf(std::wstring path) {
    while (!path.empty() && !DirectoryExists(path)) {
        const std::wstring parent = ParentDirectory(path);
        if (parent.size() >= path.size()) {
            return L"";
        }
        path = parent;
    }
    return path;
}

std::wstring VolumeRoot(const std::wstring& directory) {
    wchar_t root[MAX_PATH + 1] = {};
    if (GetVolumePathNameW(directory.c_str(), root, MAX_PATH)) {
        return root;
    }
    return directory.substr(0, 3);
}

} // namespace

std::vector<TFileInUse> FilesInUse(const std::vector<std::wstring>& paths) {
    std::vector<TFileInUse> inUse;
    // Loaded only when there is something to ask it about.
    std::optional<RestartManager> restartManager;
    for (const std::wstring& path : paths) {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            continue;
        }
        if (const DWORD error = ReplaceOpenError(path, attributes); error != 0) {
            if (!restartManager) {
                restartManager.emplace();
            }
            inUse.push_back({path, error, restartManager->Holders(path)});
        }
    }
    return inUse;
}

std::vector<std::wstring> FilesTheRunReplaces(const TRunFiles& run) {
    std::vector<std::wstring> replaced;
    ForEachCopiedFile(run, [&](const std::wstring&, const std::wstring& to) {
        if (GetFileAttributesW(to.c_str()) != INVALID_FILE_ATTRIBUTES) {
            replaced.push_back(to);
        }
    });
    const std::wstring uninstaller = run.target + kUninstallerName;
    if (GetFileAttributesW(uninstaller.c_str()) != INVALID_FILE_ATTRIBUTES) {
        replaced.push_back(uninstaller);
    }
    return replaced;
}

std::uint64_t BytesTheRunCopies(const TRunFiles& run) {
    std::uint64_t total = 0;
    ForEachCopiedFile(
        run, [&](const std::wstring& from, const std::wstring&) { total += FileSize(from); });
    return total;
}

std::optional<TRoomShortage> RoomShortage(const std::wstring& target, std::uint64_t bytes) {
    const std::wstring existing = ExistingDirectoryOf(target);
    ULARGE_INTEGER available{};
    if (existing.empty() ||
        !GetDiskFreeSpaceExW(JoinPath(existing, L"").c_str(), &available, nullptr, nullptr)) {
        return std::nullopt; // the run's own steps report a drive that cannot be reached
    }
    const std::uint64_t needed = bytes + kRoomMargin;
    if (available.QuadPart >= needed) {
        return std::nullopt;
    }
    return TRoomShortage{VolumeRoot(JoinPath(existing, L"")), needed, available.QuadPart};
}

std::wstring RoomShortageText(const TRoomShortage& shortage) {
    return L"Недостаточно места на диске " + shortage.drive + L": нужно " +
           std::to_wstring((shortage.needed + kMiB - 1) / kMiB) + L" МБ, свободно " +
           std::to_wstring(shortage.free / kMiB) + L" МБ.";
}

std::vector<std::wstring> FilesInUseLines(const std::vector<TFileInUse>& files) {
    std::vector<std::wstring> lines;
    for (const TFileInUse& file : files) {
        std::wstring line = L"  " + file.path + L" — ";
        if (file.holders.empty()) {
            line += SysErrorMessage(file.error);
        } else {
            line += L"занят: ";
            for (std::size_t i = 0; i < file.holders.size(); ++i) {
                line += (i == 0 ? L"" : L", ") + file.holders[i];
            }
        }
        lines.push_back(line);
    }
    return lines;
}

} // namespace install
