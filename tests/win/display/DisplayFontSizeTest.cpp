#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>
#include <windows.h>

#include "common/TestFiles.h"
#include "shared/VS_Common_Proc.h"
#include "system/DisplayFontSize.h"
#include "system/RealSystemActions.h"
#include "shared/UserDialogs.h"

using shared::IsSmallFonts;
using shared::IUserDialogs;
using shared::ShutdownWindows;
using shared::TMessageType;
using sys::ChangeFontSize;
using sys::ISystemActions;
using sys::RealSystemActions;
using sys::ScreenHasSmallFonts;
using ui::TModalResult;
using ui::TMsgDlgButtons;
using ui::TMsgDlgType;

namespace {

using testfiles::OwnDirectory;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Return;
using ::testing::StrictMock;

const std::wstring kRestartQuestion =
    L"Изменения в настройки внесены, для того чтобы они\r\n"
    L"вступили в силу, требуется перзагрузить операционную систему.\r\n"
    L"Выполнить перезагрузку сейчас?";

class MockUserDialogs : public IUserDialogs {
  public:
    MOCK_METHOD(TModalResult, MessageDlg, (const std::wstring&, TMsgDlgType, TMsgDlgButtons),
                (override));
    MOCK_METHOD(std::optional<std::wstring>, BrowseForFolder, (const std::wstring&), (override));
    MOCK_METHOD(bool, ShowTimedMessage,
                (const std::wstring&, TMessageType, const std::wstring&, int), (override));
};

// Records what the font-size page asks of the system, in order.
class RecordingSystem : public ISystemActions {
  public:
    int ScreenLogPixelsX() override { return pixelsPerInch; }
    bool SetLargeFonts() override {
        events.push_back(L"SetLargeFonts");
        return setUpSucceeds;
    }
    bool ShutdownWindows(UINT exitFlags) override {
        events.push_back(L"ShutdownWindows " + std::to_wstring(exitFlags));
        return shutdownSucceeds;
    }

    int pixelsPerInch = 96;
    bool shutdownSucceeds = true;
    bool setUpSucceeds = true;
    std::vector<std::wstring> events;
};

// The real display set-up routine, with the restart only recorded.
class RealSetUpSystem : public RecordingSystem {
  public:
    bool SetLargeFonts() override {
        RecordingSystem::SetLargeFonts();
        return real.SetLargeFonts();
    }
    RealSystemActions real;
};

const std::wstring kRestart = L"ShutdownWindows " + std::to_wstring(EWX_REBOOT | EWX_FORCEIFHUNG);

class ChangeFontSizeTest : public ::testing::Test {
  protected:
    void ExpectRestartQuestion(TModalResult answer) {
        EXPECT_CALL(dialogs_,
                    MessageDlg(kRestartQuestion, TMsgDlgType::mtWarning, TMsgDlgButtons::mbYesNo))
            .WillOnce(Return(answer));
    }
    void Press(ISystemActions& system) {
        ChangeFontSize(system, dialogs_, [this] { system_.events.push_back(L"Close"); });
    }

    StrictMock<MockUserDialogs> dialogs_;
    RecordingSystem system_;
};

TEST(IsSmallFonts, BelowOneHundredPixelsPerInch) {
    const struct {
        int pixelsPerInch;
        bool small;
    } cases[] = {{96, true}, {99, true}, {100, false}, {120, false}, {144, false}, {0, false}};
    for (const auto& c : cases) {
        RecordingSystem system;
        system.pixelsPerInch = c.pixelsPerInch;
        EXPECT_EQ(ScreenHasSmallFonts(system), c.small) << c.pixelsPerInch;
    }
}

TEST(IsSmallFonts, RealScreenAgreesWithTheSharedProcedure) {
    RealSystemActions real;
    const int pixelsPerInch = real.ScreenLogPixelsX();
    EXPECT_GT(pixelsPerInch, 0);
    EXPECT_EQ(ScreenHasSmallFonts(real), IsSmallFonts());
    EXPECT_EQ(IsSmallFonts(), pixelsPerInch < 100);
}

TEST_F(ChangeFontSizeTest, NoLeavesThePageAsItWas) {
    ExpectRestartQuestion(TModalResult::mrNo);
    Press(system_);
    EXPECT_THAT(system_.events, ElementsAre(L"SetLargeFonts"));
}

TEST_F(ChangeFontSizeTest, YesRestartsAndClosesTheWindow) {
    ExpectRestartQuestion(TModalResult::mrYes);
    Press(system_);
    EXPECT_THAT(system_.events, ElementsAre(L"SetLargeFonts", kRestart, L"Close"));
}

TEST_F(ChangeFontSizeTest, YesClosesEvenWhenTheRestartIsRefused) {
    system_.shutdownSucceeds = false;
    ExpectRestartQuestion(TModalResult::mrYes);
    Press(system_);
    EXPECT_THAT(system_.events, ElementsAre(L"SetLargeFonts", kRestart, L"Close"));
}

TEST_F(ChangeFontSizeTest, PressingAgainAsksAgain) {
    ExpectRestartQuestion(TModalResult::mrNo);
    Press(system_);
    ExpectRestartQuestion(TModalResult::mrYes);
    Press(system_);
    EXPECT_THAT(system_.events,
                ElementsAre(L"SetLargeFonts", L"SetLargeFonts", kRestart, L"Close"));
}

const std::wstring kChangeFailed = L"Не удалось изменить размер шрифта. Выберите крупный шрифт "
                                   L"(120 точек на дюйм) в настройках экрана Windows.";

// A change that was not made is not followed by the restart question: the
// error box, then the page as it was.
TEST_F(ChangeFontSizeTest, FailedChangeShowsTheErrorInsteadOfTheRestartQuestion) {
    ASSERT_EQ(LoadLibraryExW(L"syssetup.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32), nullptr)
        << "this check needs a system without syssetup.dll";
    RealSetUpSystem missingLibrary;
    RecordingSystem zeroAnswer;
    zeroAnswer.setUpSucceeds = false;
    for (RecordingSystem* system : {static_cast<RecordingSystem*>(&missingLibrary), &zeroAnswer}) {
        EXPECT_CALL(dialogs_, MessageDlg(kChangeFailed, TMsgDlgType::mtError, TMsgDlgButtons::mbOK))
            .WillOnce(Return(TModalResult::mrOk));
        ChangeFontSize(*system, dialogs_, [system] { system->events.push_back(L"Close"); });
        EXPECT_THAT(system->events, ElementsAre(L"SetLargeFonts"));
    }
}

std::wstring WindowsPath(const std::string& unixPath) {
    std::wstring path = L"Z:";
    for (char c : unixPath) {
        path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    }
    return path;
}

std::wstring FakeMark() {
    wchar_t buffer[32] = {};
    GetEnvironmentVariableW(L"VESTAR_FAKE_SYSSETUP", buffer, 32);
    return buffer;
}

// A syssetup.dll next to the program, as one could lie on a medium.
class PlantedSetUpLibrary : public ::testing::Test {
  protected:
    PlantedSetUpLibrary() : planted_(OwnDirectory() + L"syssetup.dll") {
        CopyFileW(WindowsPath(FAKE_SYSSETUP_PATH).c_str(), planted_.c_str(), FALSE);
        SetEnvironmentVariableW(L"VESTAR_FAKE_SYSSETUP", nullptr);
    }
    ~PlantedSetUpLibrary() override {
        SetEnvironmentVariableW(L"VESTAR_FAKE_SYSSETUP", nullptr);
        DeleteFileW(planted_.c_str());
    }
    std::wstring planted_;
};

TEST_F(PlantedSetUpLibrary, IsNeverLoaded) {
    {
        // The plain search order would take it.
        const HMODULE plain = LoadLibraryW(L"syssetup.dll");
        ASSERT_NE(plain, nullptr);
        EXPECT_EQ(FakeMark(), L"loaded");
        FreeLibrary(plain);
        SetEnvironmentVariableW(L"VESTAR_FAKE_SYSSETUP", nullptr);
    }
    RealSystemActions().SetLargeFonts();
    EXPECT_EQ(FakeMark(), L"");
    EXPECT_EQ(GetModuleHandleW(L"syssetup.dll"), nullptr);
}

} // namespace
