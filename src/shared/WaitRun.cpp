#include "shared/WaitRun.h"

#include "ui/Application.h"

namespace shared {

using ui::kFixedNoIconsFrameStyle;
using ui::ProcessMessages;
using ui::TAlign;
using ui::TFontSpec;
using ui::TForm;

namespace {
constexpr int kClientWidth = 314;
constexpr int kClientHeight = 39;
constexpr int kInnerMargin = 2;
constexpr int kBarHeight = 20;
constexpr int kBarSteps = 25;
constexpr BYTE kCyrillicCharset = RUSSIAN_CHARSET;
} // namespace

std::wstring WaitRunTitle(std::uint8_t typemessage) {
    switch (typemessage) {
    case 2:
        return L"Запись данных ЭКГ";
    case 3:
        return L"Преобразование данных ЭКГ в формат Вестар";
    case 4:
        return L"";
    default:
        return L"Launching ";
    }
}

TFWaitRun::TFWaitRun()
    : TForm(kWaitRunClass, kFixedNoIconsFrameStyle, WS_EX_TOPMOST), ProgressBar(*this),
      LblProgress(*this) {
    SetFont(TFontSpec{L"Tahoma", 13, false, kCyrillicCharset});
    SetClientSize(kClientWidth, kClientHeight);
    ProgressBar.SetRange(0, kBarSteps);
    ProgressBar.SetStep(1);
    ProgressBar.SetHeight(kBarHeight);
    ProgressBar.SetAlign(TAlign::alBottom);
    LblProgress.SetAlign(TAlign::alClient);
    CenterOnScreen();
    OnShow = [this] { FormShow(); };
    FormCreate();
}

TFWaitRun::~TFWaitRun() {
    FormDestroy();
}

RECT TFWaitRun::DockArea() const {
    RECT r = TForm::DockArea();
    InflateRect(&r, -kInnerMargin, -kInnerMargin);
    return r;
}

void TFWaitRun::FormCreate() {
    ProgressBar.SetPosition(0);
    SetCaption(WaitRunTitle(typemessage));
}

void TFWaitRun::FormShow() {
    SetCaption(WaitRunTitle(typemessage));
    CenterOnScreen();
}

void TFWaitRun::FormDestroy() {}

void TFWaitRun::Next(const std::wstring& msg) noexcept {
    try {
        ProgressBar.StepIt();
        LblProgress.SetCaption(msg);
        ProcessMessages();
    } catch (...) {
        // The progress display is a courtesy: its failures are dropped.
    }
}

} // namespace shared
