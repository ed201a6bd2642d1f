#include "app/WindowlessHost.h"

#include <windows.h>

#include "ResourceIds.h"
#include "app/Main.h"
#include "install/WorkerWait.h"
#include "shared/VS_Common_Proc.h"
#include "ui/Application.h"

using install::RunOnWorker;
using shared::GetResString;

namespace app {

bool WindowlessHost::IsSisterBrand() const {
    return IsSisterBrandName(GetResString(GetModuleHandleW(nullptr), IDS_PRODUCT_NAME));
}

void WindowlessHost::ProcessMessages() {
    ui::ProcessMessages();
}

void WindowlessHost::WaitFor(const std::function<void()>& work, const std::function<void()>& tick) {
    RunOnWorker(
        work, [this] { ProcessMessages(); }, tick);
}

} // namespace app
