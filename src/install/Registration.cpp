#include "install/Registration.h"

#include "ResourceIds.h"
#include "base/SysError.h"
#include "files/FileAttributes.h"
#include "install/InstallLog.h"
#include "install/InstallRun.h"
#include "install/InstalledFiles.h"
#include "install/UninstallEntry.h"
#include "shared/VS_Common_Proc.h"

namespace install {

using base::SysErrorMessage;
using files::SetReadOnlyAttr;
using shared::GetResString;

namespace {

void Announce(IProgressLog& log, const std::wstring& text, DWORD error) {
    const int line = log.Add(text + L"....");
    log.SetLine(line, log.Line(line) +
                          (error == 0 ? std::wstring(L"Завершено")
                                      : std::wstring(kFailedMark) + L" " + SysErrorMessage(error)));
}

DWORD CopyUninstaller(const TRegistration& registration) {
    const std::wstring destination = registration.target + kUninstallerName;
    SetReadOnlyAttr(destination, false);
    return CopyFileW(ModulePath(registration.program).c_str(), destination.c_str(), FALSE)
               ? 0
               : GetLastError();
}

std::wstring Today() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    wchar_t date[16];
    swprintf(date, 16, L"%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
    return date;
}

TUninstallEntry EntryFor(const TRegistration& registration, std::uint32_t sizeKiB) {
    const std::wstring uninstaller = L"\"" + registration.target + kUninstallerName + L"\"";
    TUninstallEntry entry;
    entry.displayName = GetResString(registration.program, IDS_PRODUCT_DESCRIPTION);
    entry.displayVersion = InstallerVersion(registration.program);
    entry.publisher = CompanyNameOf(registration.program);
    entry.installLocation = registration.target;
    entry.installDate = Today();
    entry.displayIcon =
        registration.target + GetResString(registration.program, IDS_MAIN_EXECUTABLE);
    entry.estimatedSizeKiB = sizeKiB;
    entry.uninstallString = uninstaller + L" /UNINSTALL";
    entry.quietUninstallString = uninstaller + L" /UNINSTALL /VERYSILENT";
    return entry;
}

} // namespace

void RegisterInstallation(const TRegistration& registration, IProgressLog& log) {
    Announce(log, L"Размещение программы удаления", CopyUninstaller(registration));

    const std::vector<std::wstring> recorded = MergeInstalledFiles(
        ReadInstalledFiles(registration.target).value_or(std::vector<std::wstring>{}),
        FilesPlacedByRun(registration.target, registration.source, registration.windowsIndex));
    Announce(log, L"Запись списка установленных файлов",
             WriteInstalledFiles(registration.target, recorded));

    const TEntryWrite written =
        WriteUninstallEntry(UninstallKeyName(registration.sisterBrand),
                            EntryFor(registration, SizeInKiB(registration.target, recorded)));
    Announce(log,
             written.place == TEntryPlace::Machine
                 ? L"Регистрация в списке установленных программ компьютера"
                 : L"Регистрация в списке установленных программ пользователя",
             written.error);
}

std::wstring ModulePath(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

} // namespace install
