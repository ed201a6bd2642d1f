#include "app/UninstallRun.h"

#include <optional>

#include <windows.h>

#include "base/LongPath.h"
#include "ResourceIds.h"
#include "app/CommandLineRun.h"
#include "app/ConsoleText.h"
#include "app/Main.h"
#include "base/FileQueries.h"
#include "install/InstallLog.h"
#include "install/InstalledFiles.h"
#include "install/Preflight.h"
#include "install/Registration.h"
#include "install/SelfRemoval.h"
#include "install/Uninstall.h"
#include "install/UninstallEntry.h"
#include "install/portable/TargetPath.h"
#include "shared/UserDialogs.h"
#include "shared/VS_Common_Proc.h"
#include "shared/VS_Common_Var.h"

using base::FileExists;
using base::FullPathOf;
using install::CheckTargetPath;
using install::EntryInstallLocation;
using install::FilesInUse;
using install::FilesInUseLines;
using install::FilesToRemove;
using install::kInstalledFilesName;
using install::kUninstallIncomplete;
using install::ModulePath;
using install::RefuseUninstallLogged;
using install::RunRemovalHelper;
using install::RunUninstallLogged;
using install::TFileInUse;
using install::TLogTargets;
using install::TTargetPath;
using install::TTargetPathVerdict;
using install::TUninstallOutcome;
using install::TUninstallRequest;
using install::UninstallKeyName;
using install::UninstallQuestion;
using shared::BaseDir;
using shared::GetResString;
using shared::IUserDialogs;
using ui::TModalResult;
using ui::TMsgDlgButtons;
using ui::TMsgDlgType;

namespace app {

namespace {

bool SisterBrand() {
    return IsSisterBrandName(GetResString(GetModuleHandleW(nullptr), IDS_PRODUCT_NAME));
}

// /DIR (under the path page's rules, made absolute against the program's
// directory); else the program's own directory when it is an installation
// (the uninstaller placed there); else the entry's InstallLocation.
std::optional<std::wstring> UninstallTarget(const TSwitches& switches) {
    if (switches.dir) {
        const TTargetPath target = CheckTargetPath(*switches.dir);
        if (target.verdict != TTargetPathVerdict::Accepted) {
            return std::nullopt;
        }
        return FullPathOf(target.path);
    }
    if (FileExists(BaseDir + kInstalledFilesName)) {
        return BaseDir;
    }
    const std::optional<std::wstring> location =
        EntryInstallLocation(UninstallKeyName(SisterBrand()));
    if (!location || location->empty()) {
        return std::nullopt;
    }
    return location->back() == L'\\' ? *location : *location + L"\\";
}

std::wstring NotRemovedText(const TUninstallOutcome& outcome) {
    std::wstring text = L"Удаление завершено с ошибками. Не удалены:";
    for (const std::wstring& file : outcome.notRemoved) {
        text += L"\r\n" + file;
    }
    return text + L"\r\nПодробности в журнале Install.log.";
}

} // namespace

namespace {

const wchar_t* const kFilesInUseText =
    L"Удаление не начато, ничего не изменено: файлы установленного комплекса заняты:";

// The files the uninstall will remove that cannot be removed now, one line
// each; empty when nothing is in the way. Interactively the person may close
// the programs holding them and try again.
std::vector<std::wstring> FilesInTheWay(const TUninstallRequest& request, bool interactive,
                                        IUserDialogs& dialogs) {
    for (;;) {
        const auto paths = FilesToRemove(request.target, ModulePath(request.program));
        if (!paths) {
            return {}; // no record: the uninstall itself says so
        }
        const std::vector<TFileInUse> inUse = FilesInUse(*paths);
        if (inUse.empty()) {
            return {};
        }
        std::vector<std::wstring> lines = FilesInUseLines(inUse);
        std::wstring text = kFilesInUseText;
        for (const std::wstring& line : lines) {
            text += L"\r\n" + line;
        }
        if (!interactive ||
            dialogs.MessageDlg(text + L"\r\n\r\nЗакройте программы, которые их используют, "
                                      L"и нажмите \"Повтор\".",
                               TMsgDlgType::mtWarning,
                               TMsgDlgButtons::mbRetryCancel) != TModalResult::mrRetry) {
            lines.insert(lines.begin(), kFilesInUseText);
            return lines;
        }
    }
}

} // namespace

int UninstallSuite(const TSwitches& switches, IUserDialogs& dialogs) {
    const std::optional<std::wstring> target = UninstallTarget(switches);
    if (!target) {
        const std::wstring refusal =
            switches.dir ? L"Неверный каталог установки: /DIR=\"" + *switches.dir + L"\""
                         : std::wstring(L"Установка комплекса не найдена: укажите каталог "
                                        L"параметром /DIR");
        if (switches.mode == TRunMode::Interactive) {
            dialogs.MessageDlg(refusal, TMsgDlgType::mtError, TMsgDlgButtons::mbOK);
        }
        return RefuseCommandLine(TSwitchesParse{switches, refusal});
    }
    const TUninstallRequest request{*target, GetModuleHandleW(nullptr), SisterBrand(), BaseDir};
    const bool interactive = switches.mode == TRunMode::Interactive;
    if (interactive && dialogs.MessageDlg(UninstallQuestion(request), TMsgDlgType::mtConfirmation,
                                          TMsgDlgButtons::mbYesNo) != TModalResult::mrYes) {
        return kUninstallIncomplete;
    }
    const TLogTargets logTargets{DescribeSwitches(switches), switches.log};
    if (const std::vector<std::wstring> inTheWay = FilesInTheWay(request, interactive, dialogs);
        !inTheWay.empty()) {
        std::wstring text;
        for (const std::wstring& line : inTheWay) {
            text += (text.empty() ? L"" : L"\r\n") + line;
        }
        WriteConsoleText(text);
        return RefuseUninstallLogged(request, logTargets, inTheWay);
    }
    const TUninstallOutcome outcome = RunUninstallLogged(request, logTargets);
    if (outcome.exitCode != 0) {
        const std::wstring text = outcome.notRemoved.empty()
                                      ? L"Удаление не выполнено полностью; подробности в журнале " +
                                            *target + L"Install.log"
                                      : NotRemovedText(outcome);
        WriteConsoleText(text);
        if (interactive) {
            dialogs.MessageDlg(text, TMsgDlgType::mtError, TMsgDlgButtons::mbOK);
        }
    }
    return outcome.exitCode;
}

int RemoveUninstallerAfterExit(const TRemovalRequest& request) {
    return RunRemovalHelper(reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(request.process)),
                            request.file);
}

} // namespace app
