#include "ui/ProgressBar.h"

#include <commctrl.h>

namespace ui {

TProgressBar::TProgressBar(TWindow& parent) : TControl(parent) {
    CreateControl(PROGRESS_CLASSW, PBS_SMOOTH);
    SetStep(step_);
}

void TProgressBar::SetRange(int minimum, int maximum) {
    SendMessageW(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(minimum),
                 static_cast<LPARAM>(maximum));
}

void TProgressBar::SetStep(int step) {
    step_ = step;
    SendMessageW(Handle(), PBM_SETSTEP, static_cast<WPARAM>(step), 0);
}

void TProgressBar::SetPosition(int position) {
    SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void TProgressBar::StepIt() {
    SendMessageW(Handle(), PBM_STEPIT, 0, 0);
}

} // namespace ui
