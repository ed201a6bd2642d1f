#include "install/Uninstall.h"

#include <algorithm>
#include <set>

#include "base/LongPath.h"
#include "ResourceIds.h"
#include "base/FileQueries.h"
#include "base/SysError.h"
#include "files/FileAttributes.h"
#include "install/InstalledFiles.h"
#include "install/Registration.h"
#include "install/SelfRemoval.h"
#include "install/Shortcut.h"
#include "install/UninstallEntry.h"
#include "shared/VS_Common_Proc.h"

namespace install {

using base::FileExists;
using base::SysErrorMessage;
using files::SetReadOnlyAttr;
using shared::GetResString;

namespace {

// Every directory that holds a recorded file, below the target, deepest
// first: each is removed when the removal has left it empty.
std::vector<std::wstring> DirectoriesOf(const std::vector<std::wstring>& files) {
    std::set<std::wstring> seen;
    std::vector<std::wstring> directories;
    for (const std::wstring& file : files) {
        for (std::size_t end = file.find(L'\\'); end != std::wstring::npos;
             end = file.find(L'\\', end + 1)) {
            std::wstring directory = file.substr(0, end);
            std::wstring key = directory;
            CharLowerBuffW(key.data(), static_cast<DWORD>(key.size()));
            if (seen.insert(key).second) {
                directories.push_back(std::move(directory));
            }
        }
    }
    const auto depth = [](const std::wstring& path) {
        return std::count(path.begin(), path.end(), L'\\');
    };
    std::stable_sort(
        directories.begin(), directories.end(),
        [&](const std::wstring& a, const std::wstring& b) { return depth(a) > depth(b); });
    return directories;
}

bool StartsWithPath(const std::wstring& path, const std::wstring& directory) {
    return path.size() >= directory.size() && SamePath(path.substr(0, directory.size()), directory);
}

// The path with every short (8.3) name spelt out, so that the program's own
// file is recognised however it was started.
std::wstring LongPath(const std::wstring& path) {
    std::wstring full(MAX_PATH * 4, L'\0');
    const DWORD length =
        GetLongPathNameW(path.c_str(), full.data(), static_cast<DWORD>(full.size()));
    if (length == 0 || length >= full.size()) {
        return path;
    }
    full.resize(length);
    return full;
}

class UninstallRun {
  public:
    explicit UninstallRun(const TUninstallRequest& request)
        : request_(request), self_(LongPath(ModulePath(request.program))) {}

    TUninstallOutcome Run() {
        const std::optional<std::vector<std::wstring>> recorded =
            ReadInstalledFiles(request_.target);
        if (!recorded) {
            Log(L"Нет списка установленных файлов (" + std::wstring(kInstalledFilesName) +
                L"): установка сделана прежней программой установки, ничего не удалено");
            outcome_.exitCode = kUninstallIncomplete;
            return outcome_;
        }
        RemoveFiles(*recorded);
        RemoveEmptyDirectories(*recorded);
        RemoveDesktopLink();
        std::vector<std::wstring> left = outcome_.notRemoved;
        if (left.empty()) {
            RemoveEntry();
            RemoveSelf();
        } else if (selfRecorded_) {
            // The entry stays for a retry, and so does the uninstaller it names.
            left.push_back(selfRelative_);
        }
        if (const DWORD error = WriteInstalledFiles(request_.target, left)) {
            Log(L"Список установленных файлов не записан: " + SysErrorMessage(error));
        }
        Log(L"Оставлены: база данных (DTAfb\\), настройки (Settings\\), журнал " +
            std::wstring(kInstallLogName) + L" и файлы, созданные при работе комплекса");
        outcome_.exitCode =
            outcome_.notRemoved.empty() && !failed_ ? kUninstallDone : kUninstallIncomplete;
        return outcome_;
    }

    const std::vector<TLoggedLine>& Lines() const { return lines_; }

  private:
    void Log(const std::wstring& text) { lines_.push_back({LocalStamp(), text}); }

    bool IsSelf(const std::wstring& path) const { return SamePath(path, self_); }

    void RemoveFiles(const std::vector<std::wstring>& recorded) {
        int removed = 0;
        for (const std::wstring& relative : recorded) {
            const std::wstring path = request_.target + relative;
            if (IsSelf(LongPath(path))) {
                selfRecorded_ = true;
                selfRelative_ = relative;
                continue;
            }
            if (!FileExists(path)) {
                continue;
            }
            SetReadOnlyAttr(path, false);
            if (DeleteFileW(path.c_str())) {
                ++removed;
            } else {
                Log(L"Файл не удалён: " + relative + L": " + SysErrorMessage(GetLastError()));
                outcome_.notRemoved.push_back(relative);
            }
        }
        Log(L"Удалено файлов: " + std::to_wstring(removed));
    }

    void RemoveEmptyDirectories(const std::vector<std::wstring>& recorded) {
        for (const std::wstring& directory : DirectoriesOf(recorded)) {
            // Fails, as wanted, for a directory that still holds a file.
            RemoveDirectoryW((request_.target + directory).c_str());
        }
    }

    // The desktop link by its known name, only when it points into this
    // installation: a link of another installation stays.
    void RemoveDesktopLink() {
        const std::wstring link = DesktopLinkPath(GetResString(request_.program, IDS_PRODUCT_NAME));
        if (link.empty() || !FileExists(link) ||
            !StartsWithPath(LinkTargetPath(link), request_.target)) {
            return;
        }
        if (DeleteFileW(link.c_str())) {
            Log(L"Ярлык удалён: " + link);
        } else {
            Fail(L"Ярлык не удалён: " + link + L": " + SysErrorMessage(GetLastError()));
        }
    }

    void RemoveEntry() {
        const DWORD error =
            RemoveUninstallEntry(UninstallKeyName(request_.sisterBrand), request_.target);
        if (error == 0) {
            Log(L"Запись в списке установленных программ удалена");
        } else {
            Fail(L"Запись в списке установленных программ не удалена: " + SysErrorMessage(error));
        }
    }

    // The installation's uninstaller, when it is the running program, goes
    // right after the program ends.
    void RemoveSelf() {
        if (!selfRecorded_) {
            return;
        }
        if (const DWORD error = RemoveAfterExit(self_)) {
            Fail(L"Программа удаления не будет удалена после завершения: " +
                 SysErrorMessage(error));
        } else {
            Log(L"Программа удаления будет удалена после завершения: " +
                std::wstring(kUninstallerName));
        }
    }

    void Fail(const std::wstring& text) {
        Log(text);
        failed_ = true;
    }

    const TUninstallRequest& request_;
    std::wstring self_;
    bool selfRecorded_ = false;
    std::wstring selfRelative_;
    bool failed_ = false;
    TUninstallOutcome outcome_;
    std::vector<TLoggedLine> lines_;
};

} // namespace

std::optional<std::vector<std::wstring>> FilesToRemove(const std::wstring& target,
                                                       const std::wstring& runningProgram) {
    const std::optional<std::vector<std::wstring>> recorded = ReadInstalledFiles(target);
    if (!recorded) {
        return std::nullopt;
    }
    std::vector<std::wstring> files;
    for (const std::wstring& relative : *recorded) {
        const std::wstring path = target + relative;
        if (FileExists(path) && !SamePath(path, runningProgram)) {
            files.push_back(path);
        }
    }
    return files;
}

std::wstring UninstallQuestion(const TUninstallRequest& request) {
    const std::wstring product = GetResString(request.program, IDS_PRODUCT_NAME);
    return L"Удалить комплекс \"" + product + L"\" из каталога " + request.target +
           L"?\r\n\r\nБудут удалены программы комплекса, ярлык на рабочем столе и запись в "
           L"списке установленных программ.\r\nОстанутся база данных (DTAfb\\), настройки "
           L"(Settings\\), журнал Install.log и файлы, созданные при работе комплекса.";
}

namespace {

// The uninstall's block in Install.log and in the /LOG file. Writing the log
// never changes the outcome; a /LOG file that cannot be written is the only
// way a deployment tool would learn of it.
void WriteUninstallLog(const TUninstallRequest& request, const TLogTargets& targets,
                       std::vector<TLoggedLine> lines, int exitCode) {
    TInstallLogBlock block;
    block.kind = TLogKind::Uninstall;
    block.started = LocalStamp();
    block.version = InstallerVersion(request.program);
    block.medium = request.medium;
    block.target = request.target;
    block.switches = targets.switches;
    block.lines = std::move(lines);
    block.exitCode = exitCode;
    const std::string bytes = FormatInstallLog(block);
    AppendToLogFile(request.target + kInstallLogName, bytes);
    if (targets.logFile) {
        ReplaceLogFile(base::FullPathOf(*targets.logFile), bytes);
    }
}

} // namespace

TUninstallOutcome RunUninstallLogged(const TUninstallRequest& request, const TLogTargets& targets) {
    UninstallRun run(request);
    TUninstallOutcome outcome = run.Run();
    WriteUninstallLog(request, targets, run.Lines(), outcome.exitCode);
    return outcome;
}

int RefuseUninstallLogged(const TUninstallRequest& request, const TLogTargets& targets,
                          const std::vector<std::wstring>& lines) {
    std::vector<TLoggedLine> logged;
    logged.reserve(lines.size());
    for (const std::wstring& line : lines) {
        logged.push_back({LocalStamp(), line});
    }
    WriteUninstallLog(request, targets, std::move(logged), kUninstallNothingChanged);
    return kUninstallNothingChanged;
}

} // namespace install
