#include "app/CommandLineRun.h"

#include <optional>
#include <vector>

#include <windows.h>

#include "base/LongPath.h"
#include "ResourceIds.h"
#include "app/ConsoleText.h"
#include "app/Main.h"
#include "app/WindowlessHost.h"
#include "install/InstallLog.h"
#include "install/MediumCheck.h"
#include "install/portable/TargetPath.h"
#include "base/AppError.h"
#include "shared/VS_Common_Proc.h"
#include "shared/VS_Common_Var.h"
#include "base/ErrorText.h"
#include "ui/Application.h"
#include "ui/MessageDialog.h"
#include "shared/UserDialogs.h"

using base::FullPathOf;
using base::WithFullStop;
using install::CheckMedium;
using install::CheckTargetPath;
using install::FormatInstallLog;
using install::FormatMediumReport;
using install::IInstallHost;
using install::InstallEnvironment;
using install::InstallerVersion;
using install::IProgressLog;
using install::LocalStamp;
using install::MediumExitCode;
using install::ReplaceLogFile;
using install::RunInstallLogged;
using install::TInstallLogBlock;
using install::TLoggedLine;
using install::TLogTargets;
using install::TMediumReport;
using install::TTargetPath;
using install::TTargetPathVerdict;
using install::TUnattended;
using install::TWizardPage;
using shared::BaseDir;
using shared::GetResString;
using shared::IUserDialogs;
using shared::TMessageType;
using sys::ISystemActions;

namespace app {

using base::ErrorText;
using ui::Application;
using ui::MessageDlg;
using ui::ProcessMessages;
using ui::ShowMessageDialog;
using ui::TModalResult;
using ui::TMsgDlgButtons;
using ui::TMsgDlgIcon;
using ui::TMsgDlgType;

namespace {

HMODULE Program() {
    return GetModuleHandleW(nullptr);
}

// A text for the starter: its console when there is one, else a window.
void Tell(const std::wstring& text, TMsgDlgIcon icon) {
    if (!WriteConsoleText(text)) {
        ShowMessageDialog(Application().Title, text, icon, TMsgDlgButtons::mbOK);
    }
}

// A log file of its own for what happened before or instead of a run.
void WriteLogBlock(const TSwitches& switches, std::vector<TLoggedLine> lines, int exitCode,
                   const std::wstring& target) {
    if (!switches.log) {
        return;
    }
    TInstallLogBlock block;
    block.started = LocalStamp();
    block.version = InstallerVersion(Program());
    block.medium = BaseDir;
    block.target = target;
    block.switches = DescribeSwitches(switches);
    block.lines = std::move(lines);
    block.exitCode = exitCode;
    if (const DWORD error = ReplaceLogFile(FullPathOf(*switches.log), FormatInstallLog(block))) {
        WriteConsoleText(L"Журнал установки не записан в \"" + *switches.log + L"\"");
    }
}

// The target of a run without the path page: /DIR, else the page's
// proposal, under the page's rules; nothing when the page would refuse it.
std::optional<std::wstring> SilentTarget(const TSwitches& switches, std::wstring& refusal) {
    const std::wstring text =
        switches.dir ? *switches.dir : L"C:\\" + GetResString(Program(), IDS_APP_DIR_NAME);
    const TTargetPath target = CheckTargetPath(text);
    switch (target.verdict) {
    case TTargetPathVerdict::Empty:
        refusal = kEmptyPathText;
        return std::nullopt;
    case TTargetPathVerdict::Root:
        refusal = kRootPathText + std::wstring(L" (/DIR=\"") + text + L"\")";
        return std::nullopt;
    case TTargetPathVerdict::Accepted:
        break;
    }
    // The run creates the directories once its check has passed.
    return TargetAgainstInstaller(target.path);
}

int RefuseTarget(const TSwitches& switches, const std::wstring& refusal) {
    WriteConsoleText(refusal);
    WriteLogBlock(switches, {{LocalStamp(), refusal}}, kExitWrongCommandLine,
                  switches.dir.value_or(L""));
    return kExitWrongCommandLine;
}

TLogTargets LogTargetsOf(const TSwitches& switches) {
    return TLogTargets{DescribeSwitches(switches), switches.log};
}

template <typename RunFn> int RunCatching(RunFn run) {
    try {
        return run();
    } catch (...) {
        WriteConsoleText(WithFullStop(ErrorText(std::current_exception())));
        return kExitAbandoned; // the error is in the log already
    }
}

} // namespace

int RefuseCommandLine(const TSwitchesParse& parsed) {
    WriteConsoleText(parsed.error);
    WriteLogBlock(parsed.switches, {{LocalStamp(), parsed.error}}, kExitWrongCommandLine, L"");
    return kExitWrongCommandLine;
}

int ShowSwitchesHelp() {
    Tell(SwitchesHelpText(), TMsgDlgIcon::Question);
    return 0;
}

int CheckMediumBesideProgram(const TSwitches& switches, const std::wstring& sourcePath) {
    const TMediumReport report = CheckMedium(sourcePath, switches.driver);
    const std::wstring text = FormatMediumReport(report);
    const int exitCode = MediumExitCode(report);
    const bool told = WriteConsoleText(text);
    if (switches.log) {
        WriteLogBlock(switches, {{LocalStamp(), text}}, exitCode, L"");
    } else if (!told) {
        ShowMessageDialog(Application().Title, text,
                          exitCode == 0 ? TMsgDlgIcon::Question : TMsgDlgIcon::Error,
                          TMsgDlgButtons::mbOK);
    }
    return exitCode;
}

int InstallWithoutWindow(const TSwitches& switches, ISystemActions& system,
                         const std::wstring& sourcePath) {
    std::wstring refusal;
    const std::optional<std::wstring> target = SilentTarget(switches, refusal);
    if (!target) {
        return RefuseTarget(switches, refusal);
    }
    WindowlessHost host(*target);
    NoDialogs dialogs;
    return RunCatching([&] {
        return RunInstallLogged(InstallEnvironment{host, dialogs, system, Program(), sourcePath,
                                                   TUnattended{switches.driver}},
                                LogTargetsOf(switches));
    });
}

int InstallWithProgressPage(TFMain& main, const TSwitches& switches) {
    std::wstring refusal;
    const std::optional<std::wstring> target = SilentTarget(switches, refusal);
    if (!target) {
        return RefuseTarget(switches, refusal);
    }
    main.ePath.SetText(*target);
    main.LogTargets = LogTargetsOf(switches);
    main.ShowPage(TWizardPage::tsProgressInstall);
    // The message loop, which shows the button in a wizard run, never runs here.
    Application().ShowTaskbarButton();
    main.Show();
    ProcessMessages();
    const int exitCode =
        RunCatching([&] { return main.RunLoggedInstall(TUnattended{switches.driver}); });
    main.Close();
    return exitCode;
}

} // namespace app
