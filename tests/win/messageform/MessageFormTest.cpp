// The timed message window, driven on the test's thread by a timer script
// while ShowTimedMessage waits in its modal loop.
#include <gtest/gtest.h>

#include "UiDriver.h"
#include "base/AppError.h"
#include "shared/MessageForm.h"
#include "ui/Application.h"
#include "ui/MessageDialog.h"

using base::AppError;
using shared::kMessageFormClass;
using shared::mtDialog;
using shared::mtMessage;
using shared::ShowTimedMessage;
using shared::TFMessageform;
using shared::TMessageType;
using ui::Application;
using ui::kMessageDialogClass;
using ui::kSingleFrameStyle;
using ui::MessageDlg;
using ui::PointsToPixels;
using ui::TForm;
using ui::TMsgDlgButtons;
using ui::TMsgDlgType;

using namespace uidriver;

namespace {

const std::wstring kWarning = L"Внимание!\r Если на вашем компьютере уже установлен комплекс "
                              L"\"Вестар\",\r снимите галочку установки драйвера!";

HWND MessageWindow() {
    return FindWindowOf(kMessageFormClass);
}

// A step that waits for the window and stores it.
std::function<bool()> WaitForWindow(HWND& window) {
    return [&window] {
        window = MessageWindow();
        return window != nullptr;
    };
}

std::function<bool()> Press(HWND& window, const std::wstring& caption) {
    return [&window, caption] {
        const HWND button = FindChild(window, caption, L"Button");
        EXPECT_NE(button, nullptr) << "no button " << testing::PrintToString(caption);
        Click(button);
        return true;
    };
}

std::function<bool()> Closed() {
    return [] { return MessageWindow() == nullptr; };
}

bool Contains(const std::vector<std::wstring>& texts, const std::wstring& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

} // namespace

TEST(TimedMessage, OkGivesTrueAndTheTimersStop) {
    TFMessageform form;
    form.StopTimer.SetInterval(1000);
    HWND window = nullptr;
    HWND focused = nullptr;
    Script script;
    script.Then(WaitForWindow(window))
        .Then([&] {
            focused = GetFocus();
            return true;
        })
        .Then(Press(window, L"OK"));
    script.Start();
    EXPECT_TRUE(form.Showmes(kWarning, mtMessage, L"", true));
    EXPECT_EQ(focused, form.btnOK.Handle());
    EXPECT_FALSE(form.Visible());
    EXPECT_FALSE(form.StayUpTimer.Enabled());
    EXPECT_FALSE(form.StopTimer.Enabled());
    // No late Cancel: the stop timer, now due every 10 ms, stays quiet.
    form.StopTimer.SetInterval(10);
    PumpFor(150);
    EXPECT_TRUE(form.FShowResult);

    Script again;
    again.Then(WaitForWindow(window)).Then(Press(window, L"OK"));
    again.Start();
    EXPECT_TRUE(ShowTimedMessage(L"Готово", mtDialog, L"Вестар", 5));
    EXPECT_EQ(MessageWindow(), nullptr); // released
}

TEST(TimedMessage, TimeRunningOutGivesFalseEvenWithOnlyOk) {
    HWND window = nullptr;
    std::vector<std::wstring> buttons;
    Script script;
    script.Then(WaitForWindow(window))
        .Then([&] {
            buttons = VisibleTexts(window, L"Button");
            return true;
        })
        .Then(Closed());
    script.Start();
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(ShowTimedMessage(kWarning, mtMessage, L"", 1));
    const ULONGLONG elapsed = GetTickCount64() - start;
    EXPECT_GE(elapsed, 900u);
    EXPECT_LT(elapsed, 10000u); // generous: a loaded machine delays timers
    EXPECT_FALSE(Contains(buttons, L"Отмена"));
    EXPECT_TRUE(Contains(buttons, L"OK"));
}

TEST(TimedMessage, TheStripCountsDownFromTheDefaultTwentySeconds) {
    TFMessageform form;
    HWND window = nullptr;
    std::wstring closeText;
    std::wstring firstSeconds;
    std::wstring secondsAfterATick;
    Script script;
    script.Then(WaitForWindow(window))
        .Then([&] {
            const HWND seconds = FindChild(window, L"  сек", L"Static");
            firstSeconds = WindowText(seconds);
            closeText = FindChild(window, L"Окно закроется через", L"Static") != nullptr
                            ? L"Окно закроется через"
                            : L"";
            // A second has passed for the strip, which is redrawn at once.
            form.tt -= 1.0 / (24 * 60 * 60);
            form.StayUpTimer.SetInterval(10);
            return true;
        })
        .Then([&] {
            for (HWND child : Descendants(window)) {
                const std::wstring text = WindowText(child);
                if (text.size() > 2 && text.back() == L'с' && text.starts_with(L"  ")) {
                    secondsAfterATick = text;
                    return true;
                }
            }
            return false;
        })
        .Then(Press(window, L"OK"));
    script.Start();
    EXPECT_TRUE(form.Showmes(kWarning, mtMessage, L"", true));
    EXPECT_EQ(closeText, L"Окно закроется через");
    EXPECT_EQ(firstSeconds, L"  сек");
    EXPECT_EQ(secondsAfterATick, L"  19с");
}

TEST(TimedMessage, StopKeepsTheWindowOpenThenOkIsTrueAndTheCloseBoxFalse) {
    for (const bool pressOk : {true, false}) {
        TFMessageform form;
        form.StopTimer.SetInterval(1000);
        HWND window = nullptr;
        bool stripHidden = false;
        bool stillOpen = false;
        Script script;
        script.Then(WaitForWindow(window))
            .Then(Press(window, L"остановить"))
            .Then([&] {
                stripHidden = !IsWindowVisible(FindChild(window, L"остановить", L"Button"));
                // Were the countdown still running, it would now end at once.
                form.StopTimer.SetInterval(10);
                return stripHidden;
            })
            .Wait(150)
            .Then([&] {
                stillOpen = MessageWindow() == window;
                if (pressOk) {
                    Click(FindChild(window, L"OK", L"Button"));
                } else {
                    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
                }
                return true;
            });
        script.Start();
        EXPECT_EQ(form.Showmes(kWarning, mtDialog, L"", true), pressOk);
        EXPECT_TRUE(stripHidden);
        EXPECT_TRUE(stillOpen);
        EXPECT_FALSE(script.TimedOut());
    }
}

TEST(TimedMessage, ButtonsByKind) {
    struct KindCase {
        TMessageType kind;
        bool cancelShown;
    };
    for (const KindCase& c : {KindCase{mtMessage, false}, KindCase{mtDialog, true},
                              KindCase{static_cast<TMessageType>(5), true}}) {
        HWND window = nullptr;
        std::vector<std::wstring> buttons;
        Script script;
        script.Then(WaitForWindow(window))
            .Then([&] {
                buttons = VisibleTexts(window, L"Button");
                return true;
            })
            .Then(Press(window, c.cancelShown ? L"Отмена" : L"OK"));
        script.Start();
        EXPECT_EQ(ShowTimedMessage(L"text", c.kind, L"", 5), !c.cancelShown);
        EXPECT_TRUE(Contains(buttons, L"OK"));
        EXPECT_TRUE(Contains(buttons, L"остановить"));
        EXPECT_EQ(Contains(buttons, L"Отмена"), c.cancelShown) << static_cast<int>(c.kind);
    }
}

TEST(TimedMessage, SecondsOutsideTheRangeRaiseBeforeAnythingIsShown) {
    bool shown = false;
    Script watch(1500);
    watch.Then([&] {
        shown = shown || MessageWindow() != nullptr;
        return false;
    });
    watch.Start();
    for (const int seconds : {-1, 2147484, -2147483647 - 1}) {
        try {
            ShowTimedMessage(L"text", mtMessage, L"", seconds);
            ADD_FAILURE() << "no error for " << seconds;
        } catch (const AppError& error) {
            EXPECT_EQ(error.text(), L"Range check error");
        }
    }
    PumpFor(50);
    EXPECT_FALSE(shown);

    // The largest value is accepted.
    HWND window = nullptr;
    Script script;
    script.Then(WaitForWindow(window)).Then(Press(window, L"OK"));
    script.Start();
    EXPECT_TRUE(ShowTimedMessage(L"text", mtMessage, L"", 2147483));
}

TEST(TimedMessage, PositionHeightAndTitle) {
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    std::wstring tall;
    for (int i = 0; i < 50; ++i) {
        tall += L"строка\r";
    }
    int shortWidth = 0;
    for (const std::wstring& text : {kWarning, tall}) {
        TFMessageform form;
        HWND window = nullptr;
        RECT r{};
        std::wstring title = L"?";
        Script script;
        script.Then(WaitForWindow(window))
            .Then([&] {
                GetWindowRect(window, &r);
                title = WindowText(window);
                return true;
            })
            .Then(Press(window, L"OK"));
        script.Start();
        form.Showmes(text, mtMessage, text == tall ? L"Вестар" : L"", true);
        const int height = r.bottom - r.top;
        const int width = r.right - r.left;
        EXPECT_EQ(height, form.lblMessage.Height() + 100);
        EXPECT_EQ(r.top, screenHeight / 2 - height);
        EXPECT_EQ(r.left, (screenWidth - width) / 2);
        EXPECT_EQ(form.lblMessage.Font().Style().Height, PointsToPixels(10));
        if (text == kWarning) {
            shortWidth = width;
            EXPECT_EQ(title, L"");
            // Three lines, broken at the carriage returns.
            EXPECT_LT(form.lblMessage.Height(), 4 * PointsToPixels(10) + 8);
            EXPECT_GT(form.lblMessage.Height(), 3 * PointsToPixels(10));
        } else {
            EXPECT_EQ(title, L"Вестар");
            EXPECT_EQ(width, shortWidth);
            EXPECT_GT(height, screenHeight / 2);
            EXPECT_LT(r.top, 0);
        }
    }
}

TEST(TimedMessage, TabOrderOkCancelStopEnterPressesEscapeDoesNothing) {
    HWND window = nullptr;
    std::vector<std::wstring> focusOrder;
    Script script;
    script.Then(WaitForWindow(window))
        .Then([&] {
            focusOrder.push_back(WindowText(GetFocus()));
            PostKey(GetFocus(), VK_TAB);
            return true;
        })
        .Then([&] {
            focusOrder.push_back(WindowText(GetFocus()));
            PostKey(GetFocus(), VK_TAB);
            return true;
        })
        .Then([&] {
            focusOrder.push_back(WindowText(GetFocus()));
            PostKey(GetFocus(), VK_TAB);
            return true;
        })
        .Then([&] {
            focusOrder.push_back(WindowText(GetFocus()));
            PostKey(GetFocus(), VK_ESCAPE);
            return true;
        })
        .Wait(100)
        .Then([&] {
            EXPECT_EQ(MessageWindow(), window); // Esc closed nothing
            PostKey(GetFocus(), VK_RETURN);     // presses OK
            return true;
        });
    script.Start();
    EXPECT_TRUE(ShowTimedMessage(L"text", mtDialog, L"", 5));
    EXPECT_EQ(focusOrder, (std::vector<std::wstring>{L"OK", L"Отмена", L"остановить", L"OK"}));
}

TEST(TimedMessage, ANonModalNoticeHasNoButtonsNoCountdownAndReturnsAtOnce) {
    TFMessageform form;
    EXPECT_FALSE(form.Showmes(L"Подождите...", mtMessage, L"Вестар", false));
    EXPECT_TRUE(form.Visible());
    EXPECT_TRUE(VisibleTexts(form.Handle(), L"Button").empty());
    EXPECT_FALSE(form.lblClose.Visible());
    EXPECT_FALSE(form.lblSec.Visible());
    EXPECT_FALSE(form.StayUpTimer.Enabled());
    EXPECT_FALSE(form.StopTimer.Enabled());
    EXPECT_NE(GetWindowLongW(form.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

// The program has one taskbar button, titled with the application's title
// and not with the main form's caption, also while the timed message window
// or a message box is open over the main form.
TEST(TaskbarButton, OneTitledWithTheApplicationsTitleWhateverIsOpen) {
    Application().Title = L"Установка комплекса \"Вестар\"";
    struct TMainStandIn : TForm {
        TMainStandIn() : TForm(L"TTaskbarMain", kSingleFrameStyle) {}
    } main;
    main.SetCaption(L"Установка комплекса");
    Application().MainForm = &main;
    main.Show();
    Application().ShowTaskbarButton();
    const std::vector<std::wstring> one{Application().Title};
    EXPECT_EQ(TaskbarButtons(), one);

    std::vector<std::wstring> whileTimed;
    HWND window = nullptr;
    Script timed;
    timed.Then(WaitForWindow(window))
        .Then([&] {
            whileTimed = TaskbarButtons();
            return true;
        })
        .Then(Press(window, L"OK"));
    timed.Start();
    ShowTimedMessage(kWarning, mtMessage, L"", 20);
    EXPECT_EQ(whileTimed, one);

    std::vector<std::wstring> whileBox;
    Script box;
    box.Then([&] {
        const HWND dialog = FindWindowOf(kMessageDialogClass);
        if (dialog == nullptr) {
            return false;
        }
        whileBox = TaskbarButtons();
        Click(FindChild(dialog, L"OK", L"Button"));
        return true;
    });
    box.Start();
    MessageDlg(L"Внимание!", TMsgDlgType::mtWarning, TMsgDlgButtons::mbOK);
    EXPECT_EQ(whileBox, one);

    Application().MainForm = nullptr;
    ShowWindow(Application().Handle(), SW_HIDE);
}
