// The install run's step for backups, updater and database: the medium's
// backup and updater trees go into the target directory, the newest backup's
// Install.cmd runs in its own directory, and its release level is recorded.
#include "install/DatabaseUpdate.h"

#include <string_view>
#include <utility>
#include <vector>

#include <windows.h>

#include "files/DirectoryTree.h"
#include "files/FileAttributes.h"
#include "install/ProcessRun.h"
#include "files/FileReplace.h"
#include "install/MediumLayout.h"
#include "install/portable/BackupChoice.h"
#include "base/FileQueries.h"

namespace install {

using base::TRunBlocking;
using files::CopyDirTree;
using files::CreateDirectoryIfMissing;
using files::ListSubDirs;
using files::SetReadOnlyAttr;

namespace {

// The system's case-insensitive order in the user's locale.
int CompareIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(),
                          static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size())) -
           CSTR_EQUAL;
}

std::wstring Join(const std::wstring& directory, std::wstring_view name) {
    return directory + std::wstring(name);
}

void CopyTreesFromMedium(const std::wstring& targetPath, const std::wstring& sourcePath) {
    const std::wstring targetBackups = Join(targetPath, MediumLayout::BackupDir);
    CreateDirectoryIfMissing(targetBackups + L"\\");
    CopyDirTree(Join(sourcePath, MediumLayout::BackupDir), targetBackups);
    CopyDirTree(Join(sourcePath, MediumLayout::UpdaterDir), targetPath);
    SetReadOnlyAttr(Join(targetPath, MediumLayout::ReleaseInfoFile), false);
    SetReadOnlyAttr(Join(targetPath, MediumLayout::UpdaterConfigFile), false);
}

std::wstring NewestBackup(const std::wstring& targetPath) {
    std::vector<std::wstring> backups;
    ListSubDirs(Join(targetPath, MediumLayout::BackupDir) + L"\\", backups);
    return ChooseNewestBackup(std::move(backups), CompareIgnoringCase);
}

// Makes `directory` the current directory until the scope ends; then the
// given final directory, also when an error passes.
class CurrentDirectoryScope {
  public:
    CurrentDirectoryScope(const std::wstring& directory, std::wstring finalDirectory)
        : finalDirectory_(std::move(finalDirectory)) {
        SetCurrentDirectoryW(directory.c_str());
    }
    ~CurrentDirectoryScope() { SetCurrentDirectoryW(finalDirectory_.c_str()); }
    CurrentDirectoryScope(const CurrentDirectoryScope&) = delete;
    CurrentDirectoryScope& operator=(const CurrentDirectoryScope&) = delete;

  private:
    std::wstring finalDirectory_;
};

void RunInstallScript(const std::wstring& backup, const std::wstring& targetPath) {
    CurrentDirectoryScope scope(backup + L"\\", targetPath);
    RunInOwnDir(Join(backup + L"\\", MediumLayout::BackupScript), L"", SW_HIDE);
}

} // namespace

void UpdateDatabaseFromBackup(const std::wstring& targetPath, const std::wstring& sourcePath,
                              const TRunBlocking& runBlocking) {
    runBlocking([&] { CopyTreesFromMedium(targetPath, sourcePath); });
    const std::wstring backup = NewestBackup(targetPath);
    runBlocking([&] { RunInstallScript(backup, targetPath); });
    WriteReleaseLevel(targetPath, BackupLevel(backup));
}

} // namespace install
