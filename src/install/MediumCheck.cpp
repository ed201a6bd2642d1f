#include "install/MediumCheck.h"

#include <algorithm>
#include <exception>

#include <windows.h>

#include "install/DatabaseUpdate.h"
#include "files/DirectoryTree.h"
#include "files/FileCopy.h"
#include "base/FileQueries.h"
#include "files/FileReplace.h"
#include "install/MediumLayout.h"
#include "install/portable/BackupChoice.h"
#include "install/FontStep.h"
#include "system/Fonts.h"
#include "base/ErrorText.h"

namespace install {

using base::DirectoryExists;
using base::FileExists;
using base::ErrorText;
using files::ListSubDirs;

using sys::TitleFromNameTable;

namespace {

using MediumLayout::FileGroup;

struct NamedGroup {
    const wchar_t* name;
    const FileGroup& group;
};

// An unattended run takes the CBWindows index the components page starts
// with and nothing changes it.
constexpr int kUnattendedWindowsIndex = 0;

// Every group an unattended run copies, in its order.
const NamedGroup kGroups[] = {
    {L"1 база данных", MediumLayout::Group1Database},
    {L"2A Firebird (Windows 7, Windows 8)",
     MediumLayout::FirebirdGroupFor(kUnattendedWindowsIndex)},
    {L"3 наборы символов", MediumLayout::Group3CharacterSets},
    {L"4 стандартные функции", MediumLayout::Group4StandardUdf},
    {L"5 библиотеки расширений", MediumLayout::Group5InHouseUdf},
};

std::wstring Join(const std::wstring& directory, std::wstring_view name) {
    return directory + std::wstring(name);
}

// The size of a file, or nothing when it is not a file (missing, a directory).
bool FileSize(const std::wstring& path, std::uint64_t& size) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

// A directory that CopyDirTree descends into: neither hidden nor system.
bool VisibleDirectory(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

// The CompareStringW order the database step sorts backups by.
int CompareIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(),
                          static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size())) -
           CSTR_EQUAL;
}

class MediumChecker {
  public:
    MediumChecker(const std::wstring& sourcePath, bool runDriver) : runDriver_(runDriver) {
        report_.medium = sourcePath;
    }

    TMediumReport Run() {
        for (const NamedGroup& named : kGroups) {
            CheckGroup(named);
        }
        CheckBackups();
        CheckUpdater();
        CheckFonts();
        CheckDriver();
        return std::move(report_);
    }

  private:
    void Problem(const std::wstring& path, const std::wstring& what, TMediumEffect effect) {
        report_.problems.push_back({path, what, effect});
    }

    // A missing file of any group raises in CopyFileKeepDate and abandons the run.
    void CheckGroup(const NamedGroup& named) {
        TMediumFiles files{named.name};
        for (const std::wstring_view name : named.group.files) {
            const std::wstring path = Join(Join(report_.medium, named.group.sourceDir), name);
            std::uint64_t size = 0;
            if (!FileSize(path, size)) {
                Problem(path, L"нет файла", TMediumEffect::Abandons);
                continue;
            }
            ++files.files;
            files.bytes += size;
        }
        report_.summary.push_back(files);
    }

    // One backup as the target's "backup" will hold it: `path` below the
    // medium's "backup" (the one prefix the run's sorted list shares), `dir`
    // where the medium has it.
    struct Backup {
        std::wstring path;
        std::wstring dir;
    };

    // The run fills the target's "backup" from the medium's "backup" and
    // then from the updater tree, which may carry a "backup" of its own;
    // a name met twice is one directory there.
    std::vector<Backup> BackupsTheRunWillSee(const std::wstring& backups) const {
        std::vector<std::wstring> sources = {backups};
        const std::wstring updaterBackups =
            Join(Join(report_.medium, MediumLayout::UpdaterDir) + L"\\", MediumLayout::BackupDir);
        if (VisibleDirectory(updaterBackups)) {
            sources.push_back(updaterBackups + L"\\");
        }
        std::vector<Backup> found;
        for (const std::wstring& source : sources) {
            std::vector<std::wstring> dirs;
            ListSubDirs(source, dirs);
            for (const std::wstring& dir : dirs) {
                const std::wstring path = backups + dir.substr(source.size());
                const bool seen = std::any_of(found.begin(), found.end(), [&](const Backup& b) {
                    return CompareIgnoringCase(b.path, path) == 0;
                });
                if (!seen) {
                    found.push_back({path, dir});
                }
            }
        }
        return found;
    }

    // Every name the run cannot read as a date abandons it: each is named.
    bool AllNamesAreDates(const std::vector<Backup>& found) {
        bool all = true;
        for (const Backup& backup : found) {
            try {
                BackupDateKey(backup.path);
            } catch (...) {
                Problem(backup.dir,
                        L"имя резервной копии не оканчивается датой ддммгг: " +
                            ErrorText(std::current_exception()),
                        TMediumEffect::Abandons);
                all = false;
            }
        }
        return all;
    }

    // The backup the run would choose, by the run's rule; its script must be
    // there after both copies.
    void CheckBackups() {
        const std::wstring backups = Join(report_.medium, MediumLayout::BackupDir) + L"\\";
        const std::vector<Backup> found = BackupsTheRunWillSee(backups);
        if (found.empty()) {
            Problem(
                backups,
                DirectoryExists(backups)
                    ? L"нет резервной копии, которую можно выбрать: List index out of bounds (0)"
                    : L"нет каталога резервных копий",
                TMediumEffect::Abandons);
            return;
        }
        if (AllNamesAreDates(found)) {
            std::vector<std::wstring> paths;
            for (const Backup& backup : found) {
                paths.push_back(backup.path);
            }
            const std::wstring chosen = ChooseNewestBackup(paths, CompareIgnoringCase);
            report_.releaseLevel = BackupLevel(chosen);
            CheckChosenScript(found, chosen);
        }
        if (DirectoryExists(backups)) {
            SummariseDirectory(L"backup", backups);
        }
    }

    // The chosen backup's directory on the medium, and the script that one
    // of its two sources must bring.
    void CheckChosenScript(const std::vector<Backup>& found, const std::wstring& chosen) {
        const auto backup = std::find_if(found.begin(), found.end(),
                                         [&](const Backup& b) { return b.path == chosen; });
        report_.backup = backup->dir;
        const std::wstring name = chosen.substr(chosen.find_last_of(L'\\') + 1);
        const std::wstring updaterCopy = Join(report_.medium, MediumLayout::UpdaterDir) + L"\\" +
                                         std::wstring(MediumLayout::BackupDir) + L"\\" + name;
        for (const std::wstring& dir : {chosen, updaterCopy}) {
            std::uint64_t size = 0;
            if (FileSize(Join(dir + L"\\", MediumLayout::BackupScript), size)) {
                return;
            }
        }
        Problem(Join(backup->dir + L"\\", MediumLayout::BackupScript),
                L"в выбранной резервной копии нет сценария установки", TMediumEffect::Abandons);
    }

    void CheckUpdater() {
        const std::wstring updater = Join(report_.medium, MediumLayout::UpdaterDir) + L"\\";
        if (!DirectoryExists(updater)) {
            Problem(updater, L"нет каталога программы обновления", TMediumEffect::Abandons);
            return;
        }
        try {
            CheckReleaseInfo(updater);
        } catch (...) {
            Problem(Join(updater, MediumLayout::ReleaseInfoFile),
                    ErrorText(std::current_exception()), TMediumEffect::Abandons);
        }
        std::uint64_t size = 0;
        const std::wstring config = Join(updater, MediumLayout::UpdaterConfigFile);
        if (!FileSize(config, size)) {
            // The run clears its read-only attribute only when it is there.
            Problem(config, L"нет файла (установка пройдёт без него)", TMediumEffect::Noted);
        }
        SummariseDirectory(L"Updater", updater);
    }

    // The font step leaves a font this machine has already; it ends at a
    // font it cannot copy, and installs one without a full name under its
    // file name.
    void CheckFonts() {
        const std::wstring fonts = Join(report_.medium, MediumLayout::FontsDir);
        TMediumFiles files{L"fonts"};
        for (const std::wstring_view name : MediumLayout::FontFiles) {
            const std::wstring path = Join(fonts, name);
            const bool installed = FileExists(InstalledFontPath(std::wstring(name)));
            std::uint64_t size = 0;
            if (!FileSize(path, size)) {
                Problem(path,
                        installed ? L"нет файла (шрифт на этом компьютере уже установлен)"
                                  : L"нет файла",
                        installed ? TMediumEffect::Noted : TMediumEffect::StepFails);
                continue;
            }
            if (TitleFromNameTable(path).empty()) {
                Problem(path, L"не читается как шрифт TrueType с полным именем",
                        TMediumEffect::Noted);
            }
            ++files.files;
            files.bytes += size;
        }
        report_.summary.push_back(files);
    }

    // Only a run with /DRIVER starts the driver installer, from the target's
    // copy of the medium's directory; a new target has no other.
    void CheckDriver() {
        const std::wstring driverDir = Join(report_.medium, MediumLayout::DriverDir);
        const std::wstring program = Join(report_.medium, MediumLayout::DriverProgram);
        const TMediumEffect effect = runDriver_ ? TMediumEffect::StepFails : TMediumEffect::Noted;
        std::uint64_t size = 0;
        if (!DirectoryExists(driverDir)) {
            if (runDriver_) {
                Problem(driverDir + L"\\", L"нет каталога программы установки драйвера", effect);
            }
            return;
        }
        if (!FileSize(program, size)) {
            Problem(program, L"нет программы установки драйвера", effect);
        }
        SummariseDirectory(L"FTDIDriverInstall", driverDir + L"\\");
    }

    // Files and bytes of a whole tree.
    void SummariseDirectory(const wchar_t* name, const std::wstring& directory) {
        TMediumFiles files{name};
        AddTree(directory, files);
        report_.summary.push_back(files);
    }

    static void AddTree(const std::wstring& directory, TMediumFiles& files) {
        WIN32_FIND_DATAW entry{};
        const HANDLE search = FindFirstFileW((directory + L"*").c_str(), &entry);
        if (search == INVALID_HANDLE_VALUE) {
            return;
        }
        do {
            const std::wstring name = entry.cFileName;
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                if (name != L"." && name != L"..") {
                    AddTree(directory + name + L"\\", files);
                }
                continue;
            }
            ++files.files;
            files.bytes +=
                (static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }

    bool runDriver_;
    TMediumReport report_;
};

std::wstring Kilobytes(std::uint64_t bytes) {
    return std::to_wstring((bytes + 1023) / 1024) + L" КБ";
}

const wchar_t* Verdict(int exitCode) {
    switch (exitCode) {
    case 0:
        return L"установка с этого носителя пройдёт";
    case 2:
        return L"установка с этого носителя будет остановлена";
    default:
        return L"установка с этого носителя завершится с ошибками";
    }
}

} // namespace

TMediumReport CheckMedium(const std::wstring& sourcePath, bool runDriver) {
    return MediumChecker(sourcePath, runDriver).Run();
}

int MediumExitCode(const TMediumReport& report) {
    const auto& problems = report.problems;
    if (std::any_of(problems.begin(), problems.end(), [](const TMediumProblem& problem) {
            return problem.effect == TMediumEffect::Abandons;
        })) {
        return 2;
    }
    return std::any_of(problems.begin(), problems.end(),
                       [](const TMediumProblem& problem) {
                           return problem.effect == TMediumEffect::StepFails;
                       })
               ? 3
               : 0;
}

std::wstring FormatMediumReport(const TMediumReport& report) {
    std::wstring text = L"Проверка носителя " + report.medium + L"\r\n";
    const auto noted = [](const TMediumProblem& problem) {
        return problem.effect == TMediumEffect::Noted;
    };
    const auto remarks = static_cast<std::size_t>(
        std::count_if(report.problems.begin(), report.problems.end(), noted));
    text += L"Найдено ошибок: " + std::to_wstring(report.problems.size() - remarks) + L"\r\n";
    for (const TMediumProblem& problem : report.problems) {
        if (!noted(problem)) {
            text += problem.path + L": " + problem.what + L"\r\n";
        }
    }
    if (remarks > 0) {
        text += L"Замечания (установку не остановят): " + std::to_wstring(remarks) + L"\r\n";
        for (const TMediumProblem& problem : report.problems) {
            if (noted(problem)) {
                text += problem.path + L": " + problem.what + L"\r\n";
            }
        }
    }
    text += L"\r\n";
    for (const TMediumFiles& files : report.summary) {
        text += files.name + L": " + std::to_wstring(files.files) + L" файл(ов), " +
                Kilobytes(files.bytes) + L"\r\n";
    }
    text += report.backup.empty() ? std::wstring(L"Резервная копия: нет\r\n")
                                  : L"Резервная копия: " + report.backup + L", уровень " +
                                        report.releaseLevel + L"\r\n";
    text += L"Итог: " + std::wstring(Verdict(MediumExitCode(report)));
    return text;
}

} // namespace install
