#include <gtest/gtest.h>

#include "app/portable/Switches.h"

using app::ArgumentsOf;
using app::DescribeSwitches;
using app::ParseRemovalRequest;
using app::ParseSwitches;
using app::SwitchesHelpText;
using app::TRemovalRequest;
using app::TRunMode;
using app::TSwitches;
using app::TSwitchesParse;

namespace {

struct AcceptedCase {
    const wchar_t* arguments;
    TRunMode mode;
    const wchar_t* dir; // nullptr: no /DIR
    const wchar_t* log; // nullptr: no /LOG
    bool driver;
    bool check;
    bool help;
};

class SwitchesAccepted : public ::testing::TestWithParam<AcceptedCase> {};

TEST_P(SwitchesAccepted, GiveTheirSettings) {
    const AcceptedCase& c = GetParam();
    const TSwitchesParse parsed = ParseSwitches(c.arguments);
    ASSERT_EQ(parsed.error, L"");
    const TSwitches& s = parsed.switches;
    EXPECT_EQ(s.mode, c.mode);
    EXPECT_EQ(s.dir.has_value(), c.dir != nullptr);
    if (c.dir != nullptr && s.dir) {
        EXPECT_EQ(*s.dir, c.dir);
    }
    EXPECT_EQ(s.log.has_value(), c.log != nullptr);
    if (c.log != nullptr && s.log) {
        EXPECT_EQ(*s.log, c.log);
    }
    EXPECT_EQ(s.driver, c.driver);
    EXPECT_EQ(s.check, c.check);
    EXPECT_EQ(s.help, c.help);
}

using M = TRunMode;
INSTANTIATE_TEST_SUITE_P(
    CommandLines, SwitchesAccepted,
    ::testing::Values(
        AcceptedCase{L"", M::Interactive, nullptr, nullptr, false, false, false},
        AcceptedCase{L"   \t ", M::Interactive, nullptr, nullptr, false, false, false},
        // Any letter case and order; a quoted value keeps its blanks and its
        // trailing backslash (no escape before the closing quote).
        AcceptedCase{L"/dir=\"C:\\Program Files\\Вестар\\\" /verysilent /Log=\"C:\\a b\\x.log\"",
                     M::VerySilent, L"C:\\Program Files\\Вестар\\", L"C:\\a b\\x.log", false, false,
                     false},
        AcceptedCase{L"/SILENT /DRIVER /DIR=D:\\Holter", M::Silent, L"D:\\Holter", nullptr, true,
                     false, false},
        // Quotes around the whole argument, and an equals sign inside the value.
        AcceptedCase{L"\"/DIR=C:\\a=b\"", M::Interactive, L"C:\\a=b", nullptr, false, false, false},
        // The quieter mode wins whatever the order.
        AcceptedCase{L"/VERYSILENT /SILENT", M::VerySilent, nullptr, nullptr, false, false, false},
        AcceptedCase{L"/SILENT /VERYSILENT", M::VerySilent, nullptr, nullptr, false, false, false},
        AcceptedCase{L"/check /LOG=c.txt", M::Interactive, nullptr, L"c.txt", false, true, false},
        AcceptedCase{L"/CHECK /driver", M::Interactive, nullptr, nullptr, true, true, false},
        AcceptedCase{L"/?", M::Interactive, nullptr, nullptr, false, false, true},
        // Help is given whatever else the line holds.
        AcceptedCase{L"/Help /CHECK /SILENT", M::Silent, nullptr, nullptr, false, true, true}));

struct RefusedCase {
    const wchar_t* arguments;
    const wchar_t* error;
};

class SwitchesRefused : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(SwitchesRefused, NameTheFaultyArgument) {
    EXPECT_EQ(ParseSwitches(GetParam().arguments).error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, SwitchesRefused,
    ::testing::Values(
        RefusedCase{L"/SILENT /NORESTART", L"Неизвестный параметр: /NORESTART"},
        RefusedCase{L"C:\\Holter", L"Неизвестный параметр: C:\\Holter"},
        RefusedCase{L"/", L"Неизвестный параметр: /"},
        RefusedCase{L"-SILENT", L"Неизвестный параметр: -SILENT"},
        RefusedCase{L"/DIR", L"Не задано значение параметра: /DIR"},
        RefusedCase{L"/LOG=", L"Не задано значение параметра: /LOG="},
        RefusedCase{L"/DIR=\"\"", L"Не задано значение параметра: /DIR="},
        RefusedCase{L"/DIR=a /dir=b", L"Параметр задан дважды: /dir=b"},
        RefusedCase{L"/SILENT=1", L"Параметр без значения: /SILENT=1"},
        RefusedCase{L"/BOGUS=1", L"Неизвестный параметр: /BOGUS=1"},
        RefusedCase{L"/CHECK /DIR=C:\\x", L"Параметр /CHECK сочетается только с /LOG и /DRIVER"},
        RefusedCase{L"/CHECK /VERYSILENT", L"Параметр /CHECK сочетается только с /LOG и /DRIVER"},
        RefusedCase{L"/UNINSTALL /DRIVER",
                    L"Параметр /UNINSTALL сочетается только с /SILENT, /VERYSILENT, /DIR и /LOG"},
        RefusedCase{L"/LOG=x /CHECK /UNINSTALL",
                    L"Параметр /UNINSTALL сочетается только с /SILENT, /VERYSILENT, /DIR и /LOG"},
        RefusedCase{L"/UNINSTALL=1", L"Параметр без значения: /UNINSTALL=1"}));

TEST(SwitchesCommandLine, UninstallTakesTheRunSwitchesAndIsDescribed) {
    const TSwitchesParse parsed =
        ParseSwitches(L"/uninstall /VERYSILENT /DIR=\"C:\\a b\" /LOG=u.log");
    ASSERT_EQ(parsed.error, L"");
    EXPECT_TRUE(parsed.switches.uninstall);
    EXPECT_EQ(parsed.switches.mode, TRunMode::VerySilent);
    EXPECT_EQ(DescribeSwitches(parsed.switches),
              L"/VERYSILENT /DIR=\"C:\\a b\" /LOG=\"u.log\" /UNINSTALL");
    EXPECT_FALSE(ParseSwitches(L"/SILENT").switches.uninstall);
}

struct RemovalCase {
    const wchar_t* arguments;
    bool taken;
    std::uint64_t process;
    const wchar_t* file;
};

TEST(SwitchesCommandLine, OnlyTheHelpersExactLineIsARemovalRequest) {
    const RemovalCase cases[] = {
        {L" /REMOVEAFTER=1234 /REMOVEFILE=\"C:\\Holter Тест\\Uninstall.exe\"", true, 1234,
         L"C:\\Holter Тест\\Uninstall.exe"},
        {L"/removeafter=7 /removefile=C:\\u.exe", true, 7, L"C:\\u.exe"},
        {L"/REMOVEFILE=C:\\u.exe /REMOVEAFTER=7", false, 0, nullptr},
        {L"/REMOVEAFTER=7", false, 0, nullptr},
        {L"/REMOVEAFTER= /REMOVEFILE=C:\\u.exe", false, 0, nullptr},
        {L"/REMOVEAFTER=0x10 /REMOVEFILE=C:\\u.exe", false, 0, nullptr},
        {L"/REMOVEAFTER=7 /REMOVEFILE=", false, 0, nullptr},
        {L"/REMOVEAFTER=7 /REMOVEFILE=C:\\u.exe /SILENT", false, 0, nullptr},
        {L"/UNINSTALL /VERYSILENT", false, 0, nullptr},
    };
    for (const RemovalCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        const std::optional<TRemovalRequest> request = ParseRemovalRequest(c.arguments);
        ASSERT_EQ(request.has_value(), c.taken);
        if (request) {
            EXPECT_EQ(request->process, c.process);
            EXPECT_EQ(request->file, c.file);
        }
    }
}

TEST(SwitchesCommandLine, ALogAfterAWrongArgumentIsStillTaken) {
    const TSwitchesParse parsed = ParseSwitches(L"/BOGUS /DIR /LOG=\"C:\\x.log\"");
    EXPECT_EQ(parsed.error, L"Неизвестный параметр: /BOGUS");
    ASSERT_TRUE(parsed.switches.log.has_value());
    EXPECT_EQ(*parsed.switches.log, L"C:\\x.log");
}

TEST(SwitchesCommandLine, ProgramNameIsDroppedQuotedOrNot) {
    EXPECT_EQ(ArgumentsOf(L"\"D:\\my medium\\Install.exe\" /SILENT"), L" /SILENT");
    EXPECT_EQ(ArgumentsOf(L"Install.exe /DIR=\"a b\""), L" /DIR=\"a b\"");
    EXPECT_EQ(ArgumentsOf(L"\"D:\\x\\Install.exe\""), L"");
}

TEST(SwitchesCommandLine, DescriptionRepeatsWhatWasGiven) {
    TSwitches switches;
    EXPECT_EQ(DescribeSwitches(switches), L"(нет)");
    switches.mode = TRunMode::VerySilent;
    switches.dir = L"C:\\a b\\";
    switches.driver = true;
    EXPECT_EQ(DescribeSwitches(switches), L"/VERYSILENT /DIR=\"C:\\a b\\\" /DRIVER");
}

TEST(SwitchesCommandLine, HelpListsEverySwitchAndExitCode) {
    const std::wstring help = SwitchesHelpText();
    for (const wchar_t* part :
         {L"/SILENT", L"/VERYSILENT", L"/DIR=", L"/LOG=", L"/DRIVER", L"/CHECK", L"/?", L"/HELP",
          L"/UNINSTALL", L"\r\n0 ", L"\r\n1 ", L"\r\n2 ", L"\r\n3 ", L"\r\n4 ", L"\r\n1618 "}) {
        EXPECT_NE(help.find(part), std::wstring::npos) << testing::PrintToString(part);
    }
}

} // namespace
