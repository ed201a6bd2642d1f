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
#include "system/Fonts.h"
#include "base/ErrorText.h"

namespace install {

using base::DirectoryExists;
using base::ErrorText;
using files::ListSubDirs;
using sys::TitleFromNameTable;

namespace {

using MediumLayout::FileGroup;

struct NamedGroup {
    const wchar_t* name;
    const FileGroup& group;
};

// Every group the run can copy; the Firebird runtime in both of its lists.
const NamedGroup kGroups[] = {
    {L"1 база данных", MediumLayout::Group1Database},
    {L"2A Firebird (Windows 7, Windows 8)", MediumLayout::Group2AFirebird},
    {L"2B Firebird (Windows XP)", MediumLayout::Group2BFirebird},
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

// The CompareStringW order the database step sorts backups by.
int CompareIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(),
                          static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size())) -
           CSTR_EQUAL;
}

class MediumChecker {
  public:
    explicit MediumChecker(const std::wstring& sourcePath) { report_.medium = sourcePath; }

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

    // The run chooses among the subdirectories of the copied "backup" by
    // the same rule; a name it cannot read as a date abandons it.
    void CheckBackups() {
        const std::wstring backups = Join(report_.medium, MediumLayout::BackupDir) + L"\\";
        if (!DirectoryExists(backups)) {
            Problem(backups, L"нет каталога резервных копий", TMediumEffect::Abandons);
            return;
        }
        std::vector<std::wstring> found;
        ListSubDirs(backups, found);
        try {
            report_.backup = ChooseNewestBackup(found, CompareIgnoringCase);
        } catch (...) {
            Problem(backups,
                    L"нет резервной копии, которую можно выбрать: " +
                        ErrorText(std::current_exception()),
                    TMediumEffect::Abandons);
            return;
        }
        report_.releaseLevel = BackupLevel(report_.backup);
        const std::wstring script = Join(report_.backup + L"\\", MediumLayout::BackupScript);
        std::uint64_t size = 0;
        if (!FileSize(script, size)) {
            Problem(script, L"в выбранной резервной копии нет сценария установки",
                    TMediumEffect::Abandons);
        }
        SummariseDirectory(L"backup", backups);
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
            Problem(config, L"нет файла", TMediumEffect::StepFails);
        }
        SummariseDirectory(L"Updater", updater);
    }

    // The font step ends at a font it cannot copy; a font without a full
    // name is installed under an empty title.
    void CheckFonts() {
        const std::wstring fonts = Join(report_.medium, MediumLayout::FontsDir);
        TMediumFiles files{L"fonts"};
        for (const std::wstring_view name : MediumLayout::FontFiles) {
            const std::wstring path = Join(fonts, name);
            std::uint64_t size = 0;
            if (!FileSize(path, size)) {
                Problem(path, L"нет файла", TMediumEffect::StepFails);
                continue;
            }
            if (TitleFromNameTable(path).empty()) {
                Problem(path, L"не читается как шрифт TrueType с полным именем",
                        TMediumEffect::StepFails);
            }
            ++files.files;
            files.bytes += size;
        }
        report_.summary.push_back(files);
    }

    void CheckDriver() {
        const std::wstring driverDir = Join(report_.medium, MediumLayout::DriverDir);
        if (!DirectoryExists(driverDir)) {
            return;
        }
        const std::wstring program = Join(report_.medium, MediumLayout::DriverProgram);
        std::uint64_t size = 0;
        if (!FileSize(program, size)) {
            Problem(program, L"нет программы установки драйвера", TMediumEffect::StepFails);
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

TMediumReport CheckMedium(const std::wstring& sourcePath) {
    return MediumChecker(sourcePath).Run();
}

int MediumExitCode(const TMediumReport& report) {
    const auto& problems = report.problems;
    if (std::any_of(problems.begin(), problems.end(), [](const TMediumProblem& problem) {
            return problem.effect == TMediumEffect::Abandons;
        })) {
        return 2;
    }
    return problems.empty() ? 0 : 3;
}

std::wstring FormatMediumReport(const TMediumReport& report) {
    std::wstring text = L"Проверка носителя " + report.medium + L"\r\n";
    text += L"Найдено ошибок: " + std::to_wstring(report.problems.size()) + L"\r\n";
    for (const TMediumProblem& problem : report.problems) {
        text += problem.path + L": " + problem.what + L"\r\n";
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
