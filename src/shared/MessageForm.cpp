#include "shared/MessageForm.h"

#include <cmath>

#include "base/AppError.h"
#include "ui/Font.h"

using base::AppError;

namespace shared {

using ui::kSizeableFrameStyle;
using ui::MakeGlyph;
using ui::PointsToPixels;
using ui::TAlign;
using ui::TAlignment;
using ui::TFontSpec;
using ui::TForm;
using ui::TGlyph;

namespace {

constexpr int kClientWidth = 446;
constexpr int kClientHeight = 138;
constexpr int kDefaultStopInterval = 20000;
constexpr int kMaxSeconds = 2147483; // Seconds x 1000 stays a signed 32-bit value
constexpr double kSecondsPerDay = 24.0 * 60 * 60;

// The local date and time as a day count with the time of day as fraction.
double Now() {
    SYSTEMTIME local{};
    GetLocalTime(&local);
    FILETIME asFileTime{};
    SystemTimeToFileTime(&local, &asFileTime);
    ULARGE_INTEGER ticks{};
    ticks.LowPart = asFileTime.dwLowDateTime;
    ticks.HighPart = asFileTime.dwHighDateTime;
    constexpr double kTicksPerDay = 864000000000.0; // 100-ns ticks
    constexpr double kDaysFrom1601To1899 = 109205.0;
    return static_cast<double>(ticks.QuadPart) / kTicksPerDay - kDaysFrom1601To1899;
}

// Rounds to the nearest whole number, ties to even.
long long RoundHalfEven(double value) {
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction > 0.5) {
        return static_cast<long long>(floor) + 1;
    }
    if (fraction < 0.5) {
        return static_cast<long long>(floor);
    }
    const auto lower = static_cast<long long>(floor);
    return lower % 2 == 0 ? lower : lower + 1;
}

} // namespace

TFMessageform::TFMessageform()
    : TForm(kMessageFormClass, kSizeableFrameStyle, WS_EX_TOPMOST), lblMessage(*this),
      pnlButtons(*this), btnCancel(pnlButtons, L"Отмена"), btnOK(pnlButtons, L"OK"),
      RzBorder1(pnlButtons), pnlClose(*this), btnStop(pnlClose, L"остановить"),
      lblClose(pnlClose, L"Окно закроется через"), lblSec(pnlClose, L"  сек"),
      StayUpTimer(1000, false), StopTimer(kDefaultStopInterval, false) {
    SetFont(TFontSpec{L"Tahoma", 10});
    SetClientSize(kClientWidth, kClientHeight);

    ImageList1.Add(MakeGlyph(TGlyph::Cancel, false));
    ImageList1.Add(MakeGlyph(TGlyph::Cancel, true));
    ImageList1.Add(MakeGlyph(TGlyph::Tick, false));
    ImageList1.Add(MakeGlyph(TGlyph::Tick, true));

    lblMessage.SetWordWrap(true);
    lblMessage.SetAutoSize(true);
    lblMessage.SetAlign(TAlign::alTop);

    pnlButtons.SetBounds(0, kClientHeight - 40, kClientWidth, 24);
    pnlButtons.SetAlign(TAlign::alBottom);
    btnCancel.SetBounds(0, 0, 73, 24);
    btnCancel.SetAlign(TAlign::alLeft);
    btnCancel.SetGlyph(ImageList1, 0, 1);
    btnOK.SetBounds(0, 0, 70, 24);
    btnOK.SetAlign(TAlign::alRight);
    btnOK.SetGlyph(ImageList1, 2, 3);
    RzBorder1.SetBounds(0, 0, 10, 24);
    RzBorder1.SetAlign(TAlign::alRight);

    pnlClose.SetBounds(0, kClientHeight - 16, kClientWidth, 16);
    pnlClose.SetAlign(TAlign::alBottom);
    btnStop.SetBounds(0, 0, 80, 16);
    btnStop.SetAlign(TAlign::alLeft);
    lblClose.SetBounds(80, 0, 150, 16);
    lblClose.SetAlignment(TAlignment::taCenter);
    lblSec.SetBounds(230, 0, 60, 16);

    // Tab order: OK, Cancel, Stop.
    btnOK.BringToFront();
    SetActiveControl(&btnOK);

    OnShow = [this] { FormShow(); };
    OnClose = [this] { FormClose(); };
    btnOK.OnClick = [this] { btnOKClick(); };
    btnCancel.OnClick = [this] { btnCancelClick(); };
    btnStop.OnClick = [this] { btnStopClick(); };
    StayUpTimer.OnTimer = [this] { StayUpTimerTimer(); };
    StopTimer.OnTimer = [this] { StopTimerTimer(); };
}

bool TFMessageform::Showmes(const std::wstring& Text, TMessageType tip,
                            const std::wstring& CaptionText, bool smodal) {
    FShowResult = false;
    FMessageTtype = tip;
    FMessageText = Text;
    FCaptionText = CaptionText;
    Fsmodal = smodal;
    if (tip == mtMessage) {
        btnCancel.Hide();
        btnOK.Show();
    } else if (tip == mtDialog) {
        btnCancel.Show();
        btnOK.Show();
    }
    if (!smodal) {
        btnOK.Hide();
        btnStop.Hide();
        btnCancel.Hide();
    }
    if (smodal) {
        ShowModal();
    } else {
        Show();
    }
    const bool result = FShowResult;
    Repaint();
    return result;
}

void TFMessageform::FormShow() {
    if (Fsmodal) {
        StayUpTimer.SetEnabled(true);
        StopTimer.SetEnabled(true);
    } else {
        StayUpTimer.SetEnabled(false);
        StopTimer.SetEnabled(false);
        lblClose.Hide();
        lblSec.Hide();
    }
    pnlClose.Show();
    pnlClose.SetTop(pnlButtons.Top() + pnlButtons.Height() + 2);

    lblMessage.SetFont(TFontSpec{L"Tahoma", PointsToPixels(10)});
    lblMessage.SetCaption(FMessageText);
    SetCaption(FCaptionText);

    const int height = lblMessage.Height() + pnlButtons.Height() + pnlClose.Height() + 60;
    const int top = GetSystemMetrics(SM_CYSCREEN) / 2 - height;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - Width()) / 2;
    SetBounds(left, top, Width(), height);

    BringToFront();
    tt = Now();
}

void TFMessageform::FormClose() {
    StayUpTimer.SetEnabled(false);
    StopTimer.SetEnabled(false);
}

void TFMessageform::btnOKClick() {
    FShowResult = true;
    Close();
}

void TFMessageform::btnCancelClick() {
    FShowResult = false;
    Close();
}

void TFMessageform::btnStopClick() {
    StopTimer.SetEnabled(false);
    pnlClose.Hide();
}

void TFMessageform::StayUpTimerTimer() {
    if (!Visible()) {
        return;
    }
    BringToFront();
    // Whole seconds of the interval (integer division); the rest in floating point.
    const double left =
        static_cast<double>(StopTimer.Interval() / 1000) // NOLINT(bugprone-integer-division)
        - (Now() - tt) * kSecondsPerDay;
    lblSec.SetCaption(L"  " + std::to_wstring(RoundHalfEven(left)) + L"с");
}

void TFMessageform::StopTimerTimer() {
    btnCancel.Click();
}

bool ShowTimedMessage(const std::wstring& Text, TMessageType Kind, const std::wstring& Caption,
                      int Seconds) {
    if (Seconds < 0 || Seconds > kMaxSeconds) {
        throw AppError(L"Range check error");
    }
    TFMessageform form;
    if (Seconds != 0) {
        form.StopTimer.SetInterval(static_cast<UINT>(Seconds) * 1000);
    }
    return form.Showmes(Text, Kind, Caption, true);
}

} // namespace shared
