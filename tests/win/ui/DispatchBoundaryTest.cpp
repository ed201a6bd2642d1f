// An error escaping a handler becomes the application's top-level error
// report (our own message box titled with the application's title, the
// error's text with the full-stop rule, "OK"), and the program goes on.
#include <gtest/gtest.h>
#include <algorithm>
#include <stdexcept>
#include <variant>

#include "UiDriver.h"
#include "base/AppError.h"
#include "ui/Button.h"
#include "ui/Form.h"
#include "ui/MessageDialog.h"
#include "ui/Timer.h"

using base::AppError;
using ui::Application;
using ui::kMessageDialogClass;
using ui::kSingleFrameStyle;
using ui::ShowErrorReportDialog;
using ui::TButton;
using ui::TForm;
using ui::TTimer;

using namespace uidriver;

namespace {

const wchar_t kTitle[] = L"Установка комплекса \"Вестар\"";

class TRaisingForm : public TForm {
  public:
    TRaisingForm() : TForm(L"TRaisingForm", kSingleFrameStyle) {
        SetClientSize(300, 120);
        Raise.SetBounds(10, 10, 120, 30);
        Raise.OnClick = [this] {
            ++clicks;
            if (std::holds_alternative<std::wstring>(error)) {
                throw AppError(std::get<std::wstring>(error));
            }
            throw std::runtime_error(std::get<std::string>(error));
        };
    }
    TButton Raise{*this, L"Raise"};
    std::variant<std::wstring, std::string> error;
    int clicks = 0;
};

struct ReportCase {
    std::variant<std::wstring, std::string> error;
    std::wstring shown;
};

// Clicks the raising button and answers the report; the report's title and
// texts as seen while it was open.
struct SeenReport {
    bool found = false;
    std::vector<std::wstring> statics;
    std::vector<std::wstring> buttons;
    bool ownerDisabled = false;
    HICON icon = nullptr;
};

SeenReport ClickAndAnswer(TRaisingForm& form) {
    SeenReport seen;
    Script script;
    script
        .Then([&] {
            Click(form.Raise.Handle());
            return true;
        })
        .Then([&] {
            const HWND report = FindWindowOf(kMessageDialogClass, std::wstring(kTitle));
            if (report == nullptr) {
                return false;
            }
            seen.found = true;
            seen.statics = VisibleTexts(report, L"Static");
            seen.buttons = VisibleTexts(report, L"Button");
            seen.ownerDisabled = !IsWindowEnabled(form.Handle());
            seen.icon = IconOf(report);
            Click(FindChild(report, L"OK", L"Button"));
            return true;
        })
        .Then([&] { return FindWindowOf(kMessageDialogClass) == nullptr; });
    script.Start();
    EXPECT_TRUE(PumpUntil([&] { return script.Done() || script.TimedOut(); }, 10000));
    return seen;
}

} // namespace

// The report as the program sets it up: the application's title and the
// message box behind the window layer's hook.
class DispatchBoundary : public testing::Test {
  protected:
    void SetUp() override {
        Application().Title = kTitle;
        Application().OnErrorReport = ShowErrorReportDialog;
    }
    void TearDown() override { Application().OnErrorReport = nullptr; }
};

TEST_F(DispatchBoundary, ErrorsFromAHandlerBecomeTheTopLevelReportAndTheProgramGoesOn) {
    TRaisingForm form;
    form.Show();
    const std::vector<ReportCase> cases = {
        {std::wstring(L"abc"), L"abc."},    {std::wstring(L"abc!"), L"abc!"},
        {std::wstring(L"abc "), L"abc "},   {std::wstring(L"Ошибка"), L"Ошибка."},
        {std::wstring(L"done."), L"done."}, {std::string("plain failure"), L"plain failure."},
    };
    int expectedClicks = 0;
    for (const ReportCase& c : cases) {
        form.error = c.error;
        const SeenReport seen = ClickAndAnswer(form);
        ++expectedClicks;
        ASSERT_TRUE(seen.found) << "no report for case " << expectedClicks;
        EXPECT_EQ(seen.buttons, std::vector<std::wstring>{L"OK"});
        // The icon's static has no text; the message's static has the text.
        EXPECT_NE(std::find(seen.statics.begin(), seen.statics.end(), c.shown), seen.statics.end())
            << "case " << expectedClicks;
        EXPECT_TRUE(seen.ownerDisabled);
        EXPECT_EQ(seen.icon, LoadIconW(nullptr, IDI_ERROR));
        // The program goes on: the form is usable again.
        EXPECT_TRUE(IsWindowEnabled(form.Handle()));
        EXPECT_TRUE(form.Visible());
        EXPECT_EQ(form.clicks, expectedClicks);
    }
}

TEST_F(DispatchBoundary, ErrorsFromATimerReachTheReportToo) {
    TTimer timer(10, true);
    int fired = 0;
    timer.OnTimer = [&] {
        timer.SetEnabled(false);
        ++fired;
        throw AppError(L"timer failed");
    };
    bool reported = false;
    Script script;
    script.Then([&] {
        const HWND report = FindWindowOf(kMessageDialogClass, std::wstring(kTitle));
        if (report == nullptr) {
            return false;
        }
        reported = FindChild(report, L"timer failed.", L"Static") != nullptr;
        Click(FindChild(report, L"OK", L"Button"));
        return true;
    });
    script.Start();
    EXPECT_TRUE(
        PumpUntil([&] { return script.Done() && FindWindowOf(kMessageDialogClass) == nullptr; }));
    EXPECT_EQ(fired, 1);
    EXPECT_TRUE(reported);
}

// The window layer alone: an escaped error reaches whatever the program hung
// on the hook, once, with the full-stop rule applied, and opens no window.
TEST(DispatchBoundaryHook, PassesTheErrorsTextToTheProgramsReport) {
    std::vector<std::wstring> reported;
    Application().OnErrorReport = [&](const std::wstring& text) { reported.push_back(text); };
    Application().RunGuarded([] { throw AppError(L"abc"); });
    Application().RunGuarded([] { throw std::runtime_error("plain failure"); });
    Application().RunGuarded([] {});
    Application().OnErrorReport = nullptr;
    EXPECT_EQ(reported, (std::vector<std::wstring>{L"abc.", L"plain failure."}));
    EXPECT_EQ(FindWindowOf(kMessageDialogClass), nullptr);
}
