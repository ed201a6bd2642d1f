#pragma once
// A progress bar (msctls_progress32), drawn as a continuous bar.
#include "ui/Window.h"

namespace ui {

class TProgressBar : public TControl {
  public:
    explicit TProgressBar(TWindow& parent);

    void SetRange(int minimum, int maximum);
    void SetStep(int step);
    void SetPosition(int position);
    // Advances by the step; a step past the maximum starts the bar over from
    // the beginning (the control's own rule).
    void StepIt();

  private:
    int step_ = 10;
};

} // namespace ui
