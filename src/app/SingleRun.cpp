#include "app/SingleRun.h"

#include <windows.h>

#include "app/ConsoleText.h"
#include "ui/Application.h"
#include "ui/MessageDialog.h"

namespace app {

using ui::Application;
using ui::ShowMessageDialog;
using ui::TMsgDlgButtons;
using ui::TMsgDlgIcon;

TSingleRun::TSingleRun() : mutex_(CreateMutexW(nullptr, FALSE, kSingleRunMutexName)) {
    if (mutex_) {
        // A run that ended without releasing it (WAIT_ABANDONED) holds
        // nothing any more: the mutex is ours then too.
        const DWORD wait = WaitForSingleObject(mutex_.get(), 0);
        taken_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    }
}

TSingleRun::~TSingleRun() {
    if (taken_) {
        ReleaseMutex(mutex_.get());
    }
}

int RefuseSecondRun(bool unattended) {
    if (unattended) {
        WriteConsoleText(kAnotherRunText);
    } else {
        ShowMessageDialog(Application().Title, kAnotherRunText, TMsgDlgIcon::Warning,
                          TMsgDlgButtons::mbOK);
    }
    return kExitAnotherRunning;
}

} // namespace app
