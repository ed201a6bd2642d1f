#pragma once
// The progress window: a small stay-on-top window with a one-line message
// above a progress bar, stepped by a long job through Next. Its title names
// the job by the kind number `typemessage`, set before showing it.
#include <cstdint>
#include <string>

#include "ui/Form.h"
#include "ui/Label.h"
#include "ui/ProgressBar.h"

namespace shared {

constexpr wchar_t kWaitRunClass[] = L"TFWaitRun";

class TFWaitRun : public ui::TForm {
  public:
    TFWaitRun();
    ~TFWaitRun() override;

    // Advances the bar one step (after a full bar it starts over), shows
    // `msg` and processes the pending window messages. Never raises.
    void Next(const std::wstring& msg) noexcept;

    ui::TProgressBar ProgressBar; // 0 to 25, step 1
    ui::TLabel LblProgress;
    std::uint8_t typemessage = 0; // kind of job: the title

    void FormCreate();
    void FormShow();
    void FormDestroy();

  protected:
    RECT DockArea() const override;
};

// The title of the progress window for a kind of job.
std::wstring WaitRunTitle(std::uint8_t typemessage);

} // namespace shared
