// The progress window: titles by kind, the bar's 25 steps, Next's message
// processing.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include "UiDriver.h"
#include "shared/WaitRun.h"

using shared::TFWaitRun;

using namespace uidriver;

TEST(WaitRun, CreatedHiddenWithKindZeroAndTheLaunchingTitle) {
    TFWaitRun wait;
    EXPECT_FALSE(wait.Visible());
    EXPECT_EQ(wait.typemessage, 0);
    EXPECT_EQ(WindowText(wait.Handle()), L"Launching ");
    EXPECT_EQ(SendMessageW(wait.ProgressBar.Handle(), PBM_GETPOS, 0, 0), 0);
    EXPECT_EQ(SendMessageW(wait.ProgressBar.Handle(), PBM_GETRANGE, FALSE, 0), 25);
    EXPECT_EQ(wait.ClientWidth(), 314);
    EXPECT_EQ(wait.ClientHeight(), 39);
    EXPECT_EQ(wait.ProgressBar.Height(), 20);
    const LONG style = GetWindowLongW(wait.Handle(), GWL_STYLE);
    EXPECT_EQ(style & (WS_SYSMENU | WS_THICKFRAME), 0);
    EXPECT_NE(style & WS_CAPTION, 0);
    EXPECT_NE(GetWindowLongW(wait.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

TEST(WaitRun, TitlesByKindTakeEffectAtTheNextShowing) {
    TFWaitRun wait;
    const std::vector<std::pair<std::uint8_t, std::wstring>> titles = {
        {4, L""},
        {0, L"Launching "},
        {1, L"Launching "},
        {5, L"Launching "},
        {2, L"Запись данных ЭКГ"},
        {3, L"Преобразование данных ЭКГ в формат Вестар"},
        {255, L"Launching "},
    };
    for (const auto& [kind, title] : titles) {
        wait.typemessage = kind;
        wait.Show();
        EXPECT_EQ(WindowText(wait.Handle()), title) << static_cast<int>(kind);
        // Changing the kind while shown changes nothing until the next showing.
        wait.typemessage = 2;
        EXPECT_EQ(WindowText(wait.Handle()), title);
        wait.Hide();
    }
    wait.Show();
    EXPECT_EQ(WindowText(wait.Handle()), L"Запись данных ЭКГ");
    // The window sits in the middle of the screen.
    RECT r{};
    GetWindowRect(wait.Handle(), &r);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2);
}

TEST(WaitRun, NextStepsTheBarWhichStartsOverAfterTwentyFiveSteps) {
    TFWaitRun wait;
    wait.Show();
    for (int step = 1; step <= 25; ++step) {
        wait.Next(L"Шаг " + std::to_wstring(step));
        EXPECT_EQ(SendMessageW(wait.ProgressBar.Handle(), PBM_GETPOS, 0, 0), step);
    }
    EXPECT_EQ(wait.LblProgress.Caption(), L"Шаг 25");
    wait.Next(L"снова");
    EXPECT_EQ(SendMessageW(wait.ProgressBar.Handle(), PBM_GETPOS, 0, 0), 1);
    EXPECT_EQ(wait.LblProgress.Caption(), L"снова");
}

TEST(WaitRun, NextProcessesPendingMessages) {
    TFWaitRun wait;
    int handled = 0;
    static int* counter = nullptr;
    counter = &handled;
    const UINT_PTR timer = SetTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR, DWORD) { ++*counter; });
    Sleep(20);
    wait.Next(L"x");
    KillTimer(nullptr, timer);
    counter = nullptr;
    EXPECT_GE(handled, 1);
    // A message posted to a window of the thread is handled inside Next.
    PostMessageW(wait.Handle(), WM_NULL, 0, 0);
    wait.Next(L"y");
    MSG left{};
    EXPECT_FALSE(PeekMessageW(&left, wait.Handle(), WM_NULL, WM_NULL, PM_NOREMOVE));
}
