#include "app/TaskbarProgress.h"

namespace app {

ITaskbarList3* TaskbarProgress::List() {
    if (!tried_) {
        tried_ = true;
        if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_ITaskbarList3, list_.put_void())) ||
            FAILED(list_->HrInit())) {
            list_.reset();
        }
    }
    return list_.get();
}

void TaskbarProgress::ShowProgress(HWND window, uint64_t done, uint64_t total) {
    if (total == 0 && !tried_) {
        return; // nothing was shown, so nothing to remove
    }
    ITaskbarList3* const list = List();
    if (list == nullptr) {
        return;
    }
    if (total == 0) {
        list->SetProgressState(window, TBPF_NOPROGRESS);
        return;
    }
    list->SetProgressValue(window, done, total);
}

} // namespace app
