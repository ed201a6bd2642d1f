// The program: the setup wizard of the "Вестар" suite, started from the
// suite's distribution medium.
#include <windows.h>

#include <memory>

#include "base/LongPath.h"
#include "app/CommandLineRun.h"
#include "app/Main.h"
#include "install/InstallLog.h"
#include "app/SingleRun.h"
#include "shared/SharedStartup.h"
#include "shared/VS_Common_Var.h"
#include "shared/WaitRun.h"
#include "system/RealSystemActions.h"
#include "ui/Application.h"
#include "ui/MessageDialog.h"
#include "app/Win32UserDialogs.h"
#include "app/UninstallRun.h"

using app::ArgumentsOf;
using app::CheckMediumBesideProgram;
using app::DescribeSwitches;
using app::InstallWithoutWindow;
using app::InstallWithProgressPage;
using app::kExitAbandoned;
using app::ParseRemovalRequest;
using app::ParseSwitches;
using app::RefuseCommandLine;
using app::RefuseSecondRun;
using app::RemoveUninstallerAfterExit;
using app::ShowSwitchesHelp;
using app::TFMain;
using app::TRunMode;
using app::TSingleRun;
using app::TSwitches;
using app::TSwitchesParse;
using app::TWin32UserDialogs;
using app::UninstallSuite;
using base::ComApartment;
using base::FullPathOf;
using install::TLogTargets;
using shared::BaseDir;
using shared::InitializeSharedModules;
using shared::TFWaitRun;
using sys::RealSystemActions;
using ui::Application;
using ui::ShowErrorReportDialog;
using ui::TApplication;

namespace {

// Libraries loaded by name come from the system directory only: the program
// makes the medium's directory current, and a DLL planted there must never
// be loaded.
void RestrictDllSearch() {
    SetDllDirectoryW(L"");
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault != nullptr) {
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    RestrictDllSearch();
    // The hidden helper that deletes an ended uninstaller: no window, no
    // settings, and not one of the runs that wait for each other.
    if (const auto removal = ParseRemovalRequest(ArgumentsOf(GetCommandLineW()))) {
        return RemoveUninstallerAfterExit(*removal);
    }
    // Parsed while the directory the program was started from is current: a
    // relative /LOG names a file there, wherever the run leaves the process.
    TSwitchesParse parsed = ParseSwitches(ArgumentsOf(GetCommandLineW()));
    if (parsed.switches.log) {
        parsed.switches.log = FullPathOf(*parsed.switches.log);
    }
    InitializeSharedModules();
    SetCurrentDirectoryW(BaseDir.c_str());
    ComApartment com(COINIT_APARTMENTTHREADED);

    TApplication& application = Application();
    application.Title = L"Установка комплекса \"Вестар\"";
    application.OnErrorReport = ShowErrorReportDialog;
    const TSwitches& switches = parsed.switches;
    if (!parsed.error.empty()) {
        return RefuseCommandLine(parsed);
    }
    if (switches.help) {
        return ShowSwitchesHelp();
    }
    if (switches.check) {
        return CheckMediumBesideProgram(switches, BaseDir);
    }
    // Held until the program ends; taken after the switches are checked, so
    // that a refused command line, /? and /CHECK never wait for a run.
    const TSingleRun singleRun;
    if (!singleRun.Taken()) {
        return RefuseSecondRun(switches.mode != TRunMode::Interactive);
    }
    if (switches.uninstall) {
        TWin32UserDialogs dialogs;
        return UninstallSuite(switches, dialogs);
    }
    RealSystemActions system;
    if (switches.mode == TRunMode::VerySilent) {
        return InstallWithoutWindow(switches, system, BaseDir);
    }
    TWin32UserDialogs dialogs;
    std::unique_ptr<TFMain> main;
    application.RunGuarded([&] { main = std::make_unique<TFMain>(dialogs, system); });
    if (!main) {
        return kExitAbandoned;
    }
    application.MainForm = main.get();
    main->LogTargets = TLogTargets{DescribeSwitches(switches), switches.log};
    if (switches.dir) {
        main->ePath.SetText(*switches.dir); // the path page checks it as ever
    }
    // The suite's progress window lives as long as the main window; the
    // installer never shows it.
    TFWaitRun waitRun;
    if (switches.mode == TRunMode::Silent) {
        return InstallWithProgressPage(*main, switches);
    }
    main->Show();
    application.Run();
    return main->ExitCode;
}
