// A real TFMain under Wine with scripted answers in place of the dialogs:
// its creation, its background and the wizard's state table.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>
#include <windows.h>

#include <richedit.h>

#include "app/LoadPngResource.h"
#include "app/Main.h"
#include "app/portable/BackgroundComposer.h"
#include "files/BlockWriter.h"
#include "common/HeldWriter.h"
#include "installrun/SmallMedium.h"
#include "common/ScriptedDialogs.h"
#include "common/TestFiles.h"
#include "common/WindowText.h"
#include "base/AppError.h"
#include "shared/VS_Common_Var.h"
#include "ui/Application.h"

using app::BackgroundImages;
using app::ComposeBackground;
using app::IsSisterBrand;
using app::IsSisterBrandName;
using app::LoadPngResource;
using app::TFMain;
using base::AppError;
using files::ScopedBlockWriter;
using install::TWizardPage;
using shared::InitializeCommonVar;
using shared::mtMessage;
using testwindows::ComboItem;
using testwindows::HasStyle;
using testwindows::PixelOf;
using ui::Image32;
using ui::kOpaqueWhite;
using ui::ProcessMessages;
using ui::ScreenCursor;
using ui::TCursor;
using ui::TGlyphButton;
using ui::TModalResult;
using ui::TMsgDlgButtons;
using ui::TMsgDlgType;
using ui::TTabSheet;
using ui::TWindow;

using testfiles::Exists;
using ::testing::ElementsAre;

namespace {

constexpr COLORREF kTitleGround = RGB(236, 236, 235);

struct Rect {
    int left, top, width, height;
    bool operator==(const Rect&) const = default;
};

Rect BoundsOf(const TWindow& window) {
    return {window.Left(), window.Top(), window.Width(), window.Height()};
}

// The taskbar as the main window drives it: each call with its window.
struct RecordingTaskbar : app::ITaskbarButton {
    struct Call {
        HWND window;
        uint64_t done, total;
    };
    void ShowProgress(HWND window, uint64_t done, uint64_t total) override {
        calls.push_back({window, done, total});
    }
    std::vector<Call> calls;
};

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        GetCurrentDirectoryW(MAX_PATH, savedDirectory_);
        main_.Show();
        ProcessMessages();
    }
    void TearDown() override { SetCurrentDirectoryW(savedDirectory_); }

    // The page on show: the one sheet of InsatallPages that is visible.
    const TTabSheet* Page() const {
        for (const TTabSheet* sheet :
             {&main_.tsStart, &main_.tsInputPath, &main_.tsInputComponents,
              &main_.tsProgressInstall, &main_.tsCancel, &main_.tsChangeFontSize}) {
            if (sheet->Visible()) {
                return sheet;
            }
        }
        return nullptr;
    }

    void GoToPathPage() { main_.BtnStartNext.Click(); }

    // Readies a run from `medium` into the work directory, whose Settings
    // directory is there already.
    void PrepareRunFrom(const std::wstring& medium) {
        InitializeCommonVar(medium);
        main_.ePath.SetText(work_.path());
        CreateDirectoryW((work_.path() + L"Settings").c_str(), nullptr);
    }

    // Types `text` into the path field and presses "Далее".
    void SubmitPath(const std::wstring& text) {
        main_.ePath.SetText(text);
        main_.BtnInputPathNext.Click();
        ProcessMessages();
    }

    ScriptedDialogs dialogs_;
    FakeSystem system_;
    RecordingTaskbar taskbar_;
    TFMain main_{dialogs_, system_, taskbar_};
    testfiles::ScratchDir work_{L"main"};
    wchar_t savedDirectory_[MAX_PATH] = {};
};

TEST_F(MainWindowTest, StartsOnTheWelcomePageWithItsFieldsSet) {
    EXPECT_EQ(main_.Caption(), L"Установка комплекса");
    EXPECT_EQ(main_.ClientWidth(), 954);
    EXPECT_EQ(main_.ClientHeight(), 579);
    EXPECT_EQ(Page(), &main_.tsStart);
    EXPECT_EQ(main_.ePath.Text(), L"C:\\Holter");
    EXPECT_EQ(main_.AppNameStr, L"Holter");
    EXPECT_TRUE(main_.FCanClose);
    EXPECT_FALSE(IsSisterBrand);
    EXPECT_TRUE(main_.Fcopyfrom.empty());
    EXPECT_FALSE(main_.BtnExit.Enabled());
    EXPECT_FALSE(main_.LogList.Visible());
    EXPECT_FALSE(main_.CBWindows.Visible());
    EXPECT_EQ(main_.CBWindows.ItemIndex(), 0);
    EXPECT_EQ(ComboItem(main_.CBWindows.Handle(), 1), L"Windows XP");
    EXPECT_TRUE(main_.CbDriverInstal.Checked());
    EXPECT_EQ(main_.RichEdit1.Color(), kTitleGround);
    EXPECT_EQ(main_.InsatallPages.Color(), kTitleGround);
    EXPECT_EQ(main_.tsInputPath.Color(), kTitleGround);
    EXPECT_NE(main_.RichEdit1.Text().find(L"Вестар"), std::wstring::npos);
    EXPECT_EQ(main_.LogList.ItemHeight(), 18);
    EXPECT_FALSE(HasStyle(main_.LogList.Handle(), WS_TABSTOP));

    // The path's panel has its border in the page's colour (a border would
    // otherwise be drawn in the panels' dark blue).
    GoToPathPage();
    ProcessMessages();
    EXPECT_EQ(PixelOf(main_.PnlPath.Handle(), main_.PnlPath.Width() / 2, 0), kTitleGround);
}

// The font a control draws with, read from the control itself.
LOGFONTW DrawnFont(const TWindow& control) {
    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(SendMessageW(control.Handle(), WM_GETFONT, 0, 0));
    GetObjectW(handle, sizeof(font), &font);
    return font;
}

// Every control on the pages that has no font of its own is drawn in Tahoma
// of 15 pixels, and the log lies on its page's colour.
TEST_F(MainWindowTest, ThePagesControlsHaveThePagesFontAndTheLogItsColour) {
    const TWindow* const controls[] = {
        &main_.BtnCancel,     &main_.BtnStartNext,   &main_.ePath,
        &main_.BtnSelectPath, &main_.BtnCancel2,     &main_.BtnInputPathNext,
        &main_.BtnCancel4,    &main_.BtnInsatall,    &main_.BtnInputComponentsBack,
        &main_.CBWindows,     &main_.CbDriverInstal, &main_.BtnExit,
        &main_.LogList,       &main_.BtnExitCancel,  &main_.BtnExitOnChangefont,
        &main_.BtnChangeFont,
    };
    for (const TWindow* control : controls) {
        const LOGFONTW font = DrawnFont(*control);
        EXPECT_STREQ(font.lfFaceName, L"Tahoma") << control->Caption();
        EXPECT_EQ(font.lfHeight, -15) << control->Caption();
    }
    EXPECT_EQ(main_.LogList.Color(), kTitleGround);
}

// The texts with fonts of their own, on every page: face, height, ink and
// the page's colour as their ground.
TEST_F(MainWindowTest, ThePagesTextsHaveTheirOwnFontsAndInks) {
    struct Text {
        const TWindow* control;
        const wchar_t* face;
        LONG height;
        std::optional<COLORREF> ink;
    };
    const Text texts[] = {
        {&main_.MemoStart, L"Times New Roman", 20, RGB(0, 0, 128)},
        {&main_.MemoInputPath, L"Times New Roman", 20, RGB(0, 0, 0)},
        {&main_.MemoInputComponents, L"Tahoma", 15, std::nullopt},
        {&main_.MemoCancel, L"Times New Roman", 20, RGB(128, 0, 0)},
        {&main_.MemoChangeFontSize, L"Tahoma", 15, std::nullopt},
    };
    for (const Text& text : texts) {
        SCOPED_TRACE(text.face);
        const LOGFONTW font = DrawnFont(*text.control);
        EXPECT_STREQ(font.lfFaceName, text.face);
        EXPECT_EQ(font.lfHeight, -text.height);
        if (text.ink) {
            EXPECT_EQ(text.control->FontColor(), *text.ink);
        }
        EXPECT_EQ(text.control->Color(), kTitleGround);
    }
    // The rich edit keeps the font as its default character format.
    CHARFORMAT2W info{};
    info.cbSize = sizeof(info);
    SendMessageW(main_.RichEdit1.Handle(), EM_GETCHARFORMAT, SCF_DEFAULT,
                 reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(info.szFaceName, L"MS Sans Serif");
    EXPECT_EQ(info.bCharSet, RUSSIAN_CHARSET);
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(info.yHeight, MulDiv(13, 1440, dpi)) << "13 pixels in twips";
}

TEST(SisterBrand, IsTheWordInAnyLetterCaseButNotWithBlanks) {
    EXPECT_TRUE(IsSisterBrandName(L"Тиресан"));
    EXPECT_TRUE(IsSisterBrandName(L"тИРЕСАН"));
    EXPECT_TRUE(IsSisterBrandName(L"ТИРЕСАН"));
    EXPECT_FALSE(IsSisterBrandName(L" Тиресан"));
    EXPECT_FALSE(IsSisterBrandName(L"Тиресан "));
    EXPECT_FALSE(IsSisterBrandName(L"Вестар"));
}

TEST_F(MainWindowTest, ControlsSitWhereThePagesPutThem) {
    EXPECT_EQ(BoundsOf(main_.RichEdit1), (Rect{16, 110, 282, 441}));
    EXPECT_EQ(BoundsOf(main_.InsatallPages), (Rect{320, 110, 619, 441}));
    EXPECT_EQ(BoundsOf(main_.CBWindows), (Rect{0, 95, 207, 26}));
    EXPECT_EQ(BoundsOf(main_.CbDriverInstal), (Rect{246, 101, 184, 20}));
    EXPECT_EQ(main_.BtnSelectPath.Width(), 91);
    EXPECT_EQ(main_.BtnSelectPath.Height(), 24);

    struct ButtonCase {
        TGlyphButton& button;
        const wchar_t* caption;
        int width;
        int height;
        bool atRight;
    };
    const ButtonCase buttons[] = {
        {main_.BtnCancel, L"Отмена", 99, 38, false},
        {main_.BtnStartNext, L"Далее", 98, 38, true},
        {main_.BtnCancel2, L"Отмена", 99, 33, false},
        {main_.BtnInputPathNext, L"Далее", 98, 33, true},
        {main_.BtnCancel4, L"Отмена", 99, 33, false},
        {main_.BtnInputComponentsBack, L"Назад", 98, 33, false},
        {main_.BtnInsatall, L"Начать установку", 168, 33, true},
        {main_.BtnExit, L"Выход", 99, 33, true},
        {main_.BtnExitCancel, L"Выход", 99, 33, true},
        {main_.BtnChangeFont, L"Изменить настройки", 196, 33, false},
        {main_.BtnExitOnChangefont, L"Выход", 99, 33, true},
    };
    for (const ButtonCase& c : buttons) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.caption)));
        auto& page = static_cast<TTabSheet&>(*c.button.Parent()->Parent());
        main_.InsatallPages.ShowPage(page);
        EXPECT_EQ(c.button.Caption(), c.caption);
        EXPECT_EQ(c.button.Width(), c.width);
        EXPECT_EQ(c.button.Height(), c.height);
        EXPECT_TRUE(c.button.Visible());
        const int parentWidth = c.button.Parent()->ClientWidth();
        EXPECT_GE(c.button.Left(), 0);
        EXPECT_LE(c.button.Left() + c.button.Width(), parentWidth);
        if (c.atRight) {
            EXPECT_GE(c.button.Left() + c.button.Width(), parentWidth - 4);
        }
    }
    // Bars at the very bottom, spacers and the options panel above them.
    EXPECT_EQ(BoundsOf(main_.PnlStartBar), (Rect{0, 399, 619, 42}));
    EXPECT_EQ(BoundsOf(main_.PnlStartSpacer), (Rect{0, 395, 619, 4}));
    EXPECT_EQ(BoundsOf(main_.PnlOptions), (Rect{0, 277, 619, 123}));
    EXPECT_EQ(main_.MemoInputComponents.Height(), 277);
    EXPECT_EQ(BoundsOf(main_.MemoInputPath), (Rect{0, 0, 619, 60}));
    EXPECT_EQ(BoundsOf(main_.PnlPath), (Rect{0, 60, 619, 32}));
    EXPECT_EQ(main_.MemoCancel.Height(), 177);
    EXPECT_EQ(main_.MemoChangeFontSize.Height(), 441 - 37 - 3);
    EXPECT_LT(main_.BtnInputComponentsBack.Left(), main_.BtnInsatall.Left());
    EXPECT_LT(main_.BtnChangeFont.Left(), main_.BtnExitOnChangefont.Left());
}

// The surface shows the composition of the seven images at its own size,
// also when the window is maximised.
TEST_F(MainWindowTest, BackgroundIsTheCompositionAtEverySize) {
    Image32 images[7];
    const wchar_t* names[] = {L"BACKGROUND",  L"MAIN",        L"LOGO", L"TITLE_PNL_L",
                              L"TITLE_PNL_R", L"TITLE_PNL_M", L"TITLE"};
    for (int i = 0; i < 7; ++i) {
        LoadPngResource(images[i], names[i]);
    }
    const BackgroundImages parts{images[0], images[1], images[2], images[3],
                                 images[4], images[5], images[6]};
    auto expectComposition = [&](int width, int height) {
        const Image32& shown = main_.BG.Buffer();
        ASSERT_EQ(shown.width, width);
        ASSERT_EQ(shown.height, height);
        Image32 expected(width, height, kOpaqueWhite);
        ComposeBackground(expected, parts);
        EXPECT_TRUE(
            std::equal(expected.pixels.begin(), expected.pixels.end(), shown.pixels.begin()));
    };
    expectComposition(954, 579);

    ShowWindow(main_.Handle(), SW_MAXIMIZE);
    ProcessMessages();
    ASSERT_GT(main_.BG.ClientWidth(), 954);
    expectComposition(main_.BG.ClientWidth(), main_.BG.ClientHeight());
    EXPECT_EQ(BoundsOf(main_.RichEdit1), (Rect{16, 110, 282, 441}));
    EXPECT_EQ(BoundsOf(main_.InsatallPages), (Rect{320, 110, 619, 441}));

    ShowWindow(main_.Handle(), SW_RESTORE);
    ProcessMessages();
    expectComposition(954, 579);
}

TEST_F(MainWindowTest, NextOnTheWelcomePageFocusesThePathField) {
    GoToPathPage();
    EXPECT_EQ(Page(), &main_.tsInputPath);
    EXPECT_EQ(GetFocus(), main_.ePath.Handle());
}

TEST_F(MainWindowTest, PathCheckRefusesEmptyAndRootPaths) {
    struct Case {
        std::wstring typed;
        std::wstring message;
        std::wstring fieldAfter;
    };
    const std::wstring empty = L"Не выбран путь для установки программы!";
    const std::wstring root = L"Программу нелзя устанавливать в корневой каталог!";
    const Case cases[] = {
        {L"", empty, L""},        {L"   \t ", empty, L"   \t "}, {L"C:", root, L"C:\\"},
        {L"C:\\", root, L"C:\\"}, {L" D:\\ ", root, L"D:\\"},    {L"ab", root, L"ab\\"},
    };
    GoToPathPage();
    SetCurrentDirectoryW(work_.path().c_str());
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.typed));
        dialogs_.asked.clear();
        SubmitPath(c.typed);
        ASSERT_EQ(dialogs_.asked.size(), 1u);
        EXPECT_EQ(dialogs_.asked[0].text, c.message);
        EXPECT_EQ(dialogs_.asked[0].type,
                  c.message == empty ? TMsgDlgType::mtError : TMsgDlgType::mtWarning);
        EXPECT_EQ(dialogs_.asked[0].buttons, TMsgDlgButtons::mbOK);
        EXPECT_EQ(main_.ePath.Text(), c.fieldAfter);
        EXPECT_EQ(Page(), &main_.tsInputPath);
        EXPECT_EQ(GetFocus(), main_.ePath.Handle());
    }
    EXPECT_FALSE(Exists(work_ / L"ab"));
    EXPECT_TRUE(dialogs_.timed.empty());
}

TEST_F(MainWindowTest, AcceptedPathIsNormalisedAndCreatedWithItsSettings) {
    GoToPathPage();
    SubmitPath(L"  " + work_.path() + L"Holter  ");
    EXPECT_EQ(main_.ePath.Text(), work_.path() + L"Holter\\");
    EXPECT_TRUE(Exists(work_ / L"Holter\\Settings"));
    EXPECT_EQ(Page(), &main_.tsInputComponents);
    EXPECT_TRUE(dialogs_.asked.empty());

    // A path that already ends in a backslash stays as it is.
    main_.BtnInputComponentsBack.Click();
    SubmitPath(work_.path() + L"Other\\");
    EXPECT_EQ(main_.ePath.Text(), work_.path() + L"Other\\");
    EXPECT_TRUE(Exists(work_ / L"Other\\Settings"));
}

// A relative name is taken below the installer's own directory, whatever
// the current directory is, and the field shows the full path every later
// step uses.
TEST_F(MainWindowTest, RelativeNameIsMadeFullBelowTheInstallersDirectory) {
    const std::wstring installer = shared::BaseDir;
    shared::BaseDir = work_.path();
    CreateDirectoryW((work_.path() + L"elsewhere").c_str(), nullptr);
    SetCurrentDirectoryW((work_.path() + L"elsewhere").c_str());
    GoToPathPage();
    SubmitPath(L"abc");
    shared::BaseDir = installer;
    EXPECT_EQ(main_.ePath.Text(), work_.path() + L"abc\\");
    EXPECT_EQ(Page(), &main_.tsInputComponents);
    EXPECT_TRUE(Exists(work_ / L"abc\\Settings"));
    EXPECT_FALSE(Exists(work_ / L"elsewhere\\abc"));
}

TEST_F(MainWindowTest, PathBelowAMissingParentIsAcceptedWithoutCreatingAnything) {
    GoToPathPage();
    SubmitPath(work_.path() + L"missing\\deeper");
    EXPECT_EQ(Page(), &main_.tsInputComponents);
    EXPECT_FALSE(Exists(work_ / L"missing"));
}

TEST_F(MainWindowTest, ComponentsPageWarnsEachTimeItIsShown) {
    GoToPathPage();
    SubmitPath(work_.path() + L"Holter");
    ASSERT_EQ(dialogs_.timed.size(), 1u);
    EXPECT_EQ(dialogs_.timed[0].text,
              L"Внимание!\r Если на вашем компьютере уже установлен комплекс \"Вестар\",\r"
              L" снимите галочку установки драйвера!");
    EXPECT_EQ(dialogs_.timed[0].kind, mtMessage);
    EXPECT_EQ(dialogs_.timed[0].caption, L"");
    EXPECT_EQ(dialogs_.timed[0].seconds, 0);

    main_.BtnInputComponentsBack.Click();
    EXPECT_EQ(Page(), &main_.tsInputPath);
    EXPECT_EQ(main_.ePath.Text(), work_.path() + L"Holter\\");
    main_.BtnInputPathNext.Click();
    EXPECT_EQ(Page(), &main_.tsInputComponents);
    EXPECT_EQ(dialogs_.timed.size(), 2u);
}

TEST_F(MainWindowTest, SelectPathPutsTheChosenFolderIntoTheField) {
    GoToPathPage();
    main_.BtnSelectPath.Click();
    EXPECT_THAT(dialogs_.browseInstructions, ElementsAre(L"Выберете путь для установки программ"));
    EXPECT_EQ(main_.ePath.Text(), L"C:\\Holter"); // cancelled: nothing changes

    dialogs_.folder = L"D:\\";
    main_.BtnSelectPath.Click();
    EXPECT_EQ(main_.ePath.Text(), L"D:\\");
    EXPECT_EQ(Page(), &main_.tsInputPath);
    SubmitPath(main_.ePath.Text());
    EXPECT_EQ(dialogs_.asked.back().text, L"Программу нелзя устанавливать в корневой каталог!");
}

TEST_F(MainWindowTest, CancelAsksAndOnYesShowsTheCancelledPage) {
    GoToPathPage();
    SubmitPath(work_.path() + L"Holter");
    struct Step {
        TGlyphButton& button;
        TTabSheet& page;
    };
    for (const Step& step :
         {Step{main_.BtnCancel, main_.tsStart}, Step{main_.BtnCancel2, main_.tsInputPath},
          Step{main_.BtnCancel4, main_.tsInputComponents}}) {
        main_.InsatallPages.ShowPage(step.page);
        dialogs_.asked.clear();
        step.button.Click();
        ASSERT_EQ(dialogs_.asked.size(), 1u);
        EXPECT_EQ(dialogs_.asked[0].text, L"Вы уверены, что хотите отменить процесс установки?");
        EXPECT_EQ(dialogs_.asked[0].type, TMsgDlgType::mtConfirmation);
        EXPECT_EQ(dialogs_.asked[0].buttons, TMsgDlgButtons::mbYesNo);
        EXPECT_EQ(Page(), &step.page); // answered "No"
    }
    main_.FCanClose = false;
    dialogs_.Answer(L"Вы уверены", TModalResult::mrYes);
    main_.BtnCancel4.Click();
    EXPECT_EQ(Page(), &main_.tsCancel);
    EXPECT_TRUE(main_.FCanClose);
    EXPECT_TRUE(Exists(work_ / L"Holter\\Settings"));
}

TEST_F(MainWindowTest, CloseRequestsAreGrantedExactlyWhileCanCloseIsTrue) {
    main_.FCanClose = false;
    SendMessageW(main_.Handle(), WM_CLOSE, 0, 0);
    main_.BtnExitCancel.Click();
    EXPECT_TRUE(main_.Visible());

    main_.FCanClose = true;
    SendMessageW(main_.Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(main_.Visible());
}

TEST_F(MainWindowTest, ExitButtonsRequestTheClose) {
    for (TGlyphButton* exit : {&main_.BtnExit, &main_.BtnExitCancel, &main_.BtnExitOnChangefont}) {
        main_.Show();
        exit->Click();
        EXPECT_FALSE(main_.Visible());
    }
}

TEST_F(MainWindowTest, ChangeFontSizeRestartsOnYesAndClosesTheWindow) {
    main_.ShowPage(TWizardPage::tsChangeFontSize);
    main_.BtnChangeFont.Click();
    EXPECT_EQ(system_.largeFontRequests, 1);
    EXPECT_TRUE(system_.shutdownFlags.empty());
    EXPECT_TRUE(main_.Visible());

    dialogs_.Answer(L"Изменения в настройки внесены", TModalResult::mrYes);
    main_.BtnChangeFont.Click();
    EXPECT_EQ(system_.largeFontRequests, 2);
    EXPECT_THAT(system_.shutdownFlags, ElementsAre(UINT{EWX_REBOOT | EWX_FORCEIFHUNG}));
    EXPECT_FALSE(main_.Visible());
}

TEST_F(MainWindowTest, ChangeFontSizeThatFailsShowsTheErrorAndKeepsThePage) {
    system_.largeFontsChange = false;
    main_.ShowPage(TWizardPage::tsChangeFontSize);
    main_.BtnChangeFont.Click();
    ASSERT_EQ(dialogs_.asked.size(), 1u);
    EXPECT_EQ(dialogs_.asked[0].text, L"Не удалось изменить размер шрифта. Выберите крупный "
                                      L"шрифт (120 точек на дюйм) в настройках экрана Windows.");
    EXPECT_EQ(dialogs_.asked[0].type, TMsgDlgType::mtError);
    EXPECT_TRUE(system_.shutdownFlags.empty());
    EXPECT_TRUE(main_.Visible());
}

// A close request that arrives while the suite's files are copied meets the
// guarded stretch at the next pump and is refused.
HWND g_closeTarget = nullptr;
HHOOK g_hook = nullptr;

LRESULT CALLBACK PostCloseOnFirstStatusLine(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == LB_ADDSTRING &&
        std::wstring(reinterpret_cast<const wchar_t*>(message->lParam)) ==
            L"Создание настроечных файлов....") {
        PostMessageW(g_closeTarget, WM_CLOSE, 0, 0);
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

TEST_F(MainWindowTest, CloseDeliveredAtAPumpInsideTheStretchIsRefused) {
    testfiles::ScratchDir medium{L"medium"}; // holds nothing: the first copy raises
    PrepareRunFrom(medium.path());
    g_closeTarget = main_.Handle();
    g_hook = SetWindowsHookExW(WH_CALLWNDPROC, PostCloseOnFirstStatusLine, nullptr,
                               GetCurrentThreadId());
    std::wstring error;
    try {
        main_.BtnInsatall.Click();
    } catch (const AppError& raised) {
        error = raised.text();
    }
    UnhookWindowsHookEx(g_hook);
    EXPECT_NE(error.find(L"Cannot open file"), std::wstring::npos);
    EXPECT_TRUE(main_.Visible());
    EXPECT_TRUE(main_.FCanClose);
    EXPECT_EQ(Page(), &main_.tsProgressInstall);
    EXPECT_TRUE(main_.LogList.Visible());
    EXPECT_EQ(main_.Fcopyfrom, medium.path());
    EXPECT_EQ(main_.LogList.Line(0), L"Создание настроечных файлов....Завершено");
    EXPECT_FALSE(main_.BtnExit.Enabled());
}

// While the database is copied the window answers messages from other
// threads; a close request among them is refused, "Выход" stays off and a
// click on "Начать установку" starts no second run.
TEST_F(MainWindowTest, WindowAnswersDuringACopyAndRefusesToClose) {
    testfiles::ScratchDir medium{L"medium"}; // the database only: the next group raises
    ASSERT_TRUE(testfiles::WriteFileCreatingDirs(medium / L"DTAfb\\QZ7.FDB", "database"));
    PrepareRunFrom(medium.path());

    struct SeenDuringCopy {
        bool answered = false;
        bool closeAnswered = false;
        bool visibleAfterClose = false;
        bool exitEnabled = true;
        bool hourglass = false;
    } seen;
    testfiles::HeldWriter disk;
    const HWND window = main_.Handle();
    const HWND exit = main_.BtnExit.Handle();
    const HWND start = main_.BtnInsatall.Handle();
    bool probed = false;
    disk.whileHeld = [&] {
        if (std::exchange(probed, true)) {
            return; // the probes run once, at the first block
        }
        DWORD_PTR result = 0;
        seen.answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
        seen.closeAnswered =
            SendMessageTimeoutW(window, WM_CLOSE, 0, 0, SMTO_NORMAL, 10000, &result);
        seen.visibleAfterClose = IsWindowVisible(window);
        seen.exitEnabled = IsWindowEnabled(exit);
        seen.hourglass = ScreenCursor() == TCursor::crHourGlass;
        SendMessageTimeoutW(start, BM_CLICK, 0, 0, SMTO_NORMAL, 10000, &result);
        disk.Release();
    };
    std::wstring error;
    {
        const ScopedBlockWriter held(disk);
        try {
            main_.BtnInsatall.Click();
        } catch (const AppError& raised) {
            error = raised.text();
        }
    }
    EXPECT_TRUE(seen.answered) << "a message from another thread is answered during the copy";
    EXPECT_TRUE(seen.closeAnswered);
    EXPECT_TRUE(seen.visibleAfterClose) << "the close request is refused";
    EXPECT_FALSE(seen.exitEnabled);
    EXPECT_TRUE(seen.hourglass);
    std::vector<std::wstring> log;
    log.reserve(static_cast<size_t>(main_.LogList.Count()));
    for (int line = 0; line < main_.LogList.Count(); ++line) {
        log.push_back(main_.LogList.Line(line));
    }
    EXPECT_THAT(log,
                ElementsAre(L"Создание настроечных файлов....Завершено",
                            L"Каталог <DTAfb> создан...", L"Копирование файла QZ7.FDB....Завершено",
                            L"Копирование файла aliases.conf...."))
        << "one run, its lines in order";
    EXPECT_NE(error.find(L"Cannot open file"), std::wstring::npos);
    EXPECT_TRUE(main_.Visible());
}

// The copy's progress goes from the run, through the logging wrapper the
// program puts around the window, to the button of the application window,
// which owns the main form; it is removed when the stretch ends.
TEST_F(MainWindowTest, CopyProgressReachesTheTaskbarButtonOfTheApplicationWindow) {
    testfiles::ScratchDir medium{L"medium"}; // the database only: the next group raises
    ASSERT_TRUE(testfiles::WriteFileCreatingDirs(medium / L"DTAfb\\QZ7.FDB", "database"));
    PrepareRunFrom(medium.path());
    try {
        main_.BtnInsatall.Click();
    } catch (const AppError&) {
        // the missing group ends the run; the progress before it is what counts
    }
    const HWND button = ui::Application().Handle();
    EXPECT_EQ(GetWindow(main_.Handle(), GW_OWNER), button);
    ASSERT_GE(taskbar_.calls.size(), 2u);
    for (const auto& call : taskbar_.calls) {
        EXPECT_EQ(call.window, button);
    }
    const auto whole = std::find_if(taskbar_.calls.begin(), taskbar_.calls.end(),
                                    [](const auto& call) { return call.done == 8; });
    ASSERT_NE(whole, taskbar_.calls.end()) << "the database's 8 bytes are counted";
    EXPECT_EQ(whole->total, 8u);
    EXPECT_EQ(taskbar_.calls.back().done, 0u);
    EXPECT_EQ(taskbar_.calls.back().total, 0u);
}

// Windows asks before it ends the session: while the suite's files are
// copied the window refuses, and the run goes on to its end; after it the
// session may end.
TEST_F(MainWindowTest, SessionEndIsRefusedDuringTheCopyAndTheRunGoesThrough) {
    testfiles::ScratchDir medium{L"medium"};
    smallmedium::BuildMedium(medium.path());
    PrepareRunFrom(medium.path());
    dialogs_.Answer(L"Подключите", TModalResult::mrNo);
    const HWND window = main_.Handle();
    struct Answer {
        BOOL delivered = FALSE;
        DWORD_PTR result = 1;
    };
    std::optional<Answer> duringCopy;
    testfiles::HeldWriter disk;
    disk.whileHeld = [&] {
        if (!duringCopy) {
            duringCopy.emplace();
            duringCopy->delivered =
                SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL,
                                    10000, &duringCopy->result) != 0;
            disk.Release();
        }
    };
    {
        const ScopedBlockWriter held(disk);
        main_.BtnInsatall.Click();
    }
    DeleteFileW(smallmedium::DesktopLink().c_str());
    ASSERT_TRUE(duringCopy);
    EXPECT_TRUE(duringCopy->delivered);
    EXPECT_EQ(duringCopy->result, static_cast<DWORD_PTR>(FALSE)) << "refused during the copy";
    EXPECT_EQ(main_.ExitCode, 0);
    EXPECT_TRUE(main_.BtnExit.Enabled()) << "the run went through to its end";
    EXPECT_EQ(SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
}

} // namespace
