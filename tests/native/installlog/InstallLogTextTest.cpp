#include <gtest/gtest.h>

#include "install/portable/InstallLogText.h"

using install::FormatInstallLog;
using install::FormatStamp;
using install::TInstallLogBlock;
using install::TLogKind;
using install::ToUtf8;
using install::WithCrLf;

namespace {

TEST(InstallLogText, StampIsDayMonthYearAndTimeWithLeadingZeros) {
    EXPECT_EQ(FormatStamp({2026, 3, 7, 9, 5, 1}), L"07.03.2026 09:05:01");
}

TEST(InstallLogText, Utf8OfCyrillicAndPairedAndLoneSurrogates) {
    EXPECT_EQ(ToUtf8(L"Ок"), "\xD0\x9E\xD0\xBA");
    const wchar_t pair[] = {0xD83D, 0xDE00, 0};     // U+1F600 in UTF-16
    const wchar_t lone[] = {L'a', 0xDC00, L'b', 0}; // a low surrogate alone
    if constexpr (sizeof(wchar_t) == 2) {
        EXPECT_EQ(ToUtf8(pair), "\xF0\x9F\x98\x80");
    }
    EXPECT_EQ(ToUtf8(lone), "a\xEF\xBF\xBD"
                            "b");
}

TEST(InstallLogText, EveryKindOfLineBreakBecomesCrLf) {
    EXPECT_EQ(WithCrLf(L"a\rb\nc\r\nd\n\r"), L"a\r\nb\r\nc\r\nd\r\n\r\n");
}

// A failed step's cause follows its line in brackets.
TEST(InstallLogText, BlockHasHeaderStampedLinesErrorReportAndExitCode) {
    TInstallLogBlock block;
    block.started = {2026, 12, 10, 15, 4, 5};
    block.version = L"1.0.0.0";
    block.medium = L"D:\\";
    block.target = L"C:\\Holter\\";
    block.switches = L"/VERYSILENT";
    block.lines = {{{2026, 12, 10, 15, 4, 6}, L"Каталог создан..."},
                   {{2026, 12, 10, 15, 4, 6},
                    L"Копирование файла Birch.Dll....ОШИБКА!!!",
                    L"Недостаточно места на диске."},
                   {{2026, 12, 10, 15, 4, 7}, L"Копирование файла QZ7.FDB...."}};
    block.errorReport = L"Cannot open file \"D:\\DTAfb\\QZ7.FDB\".\nNo such file.";
    block.exitCode = 2;
    const std::string expected =
        ToUtf8(L"==== Установка комплекса \"Вестар\", 10.12.2026 15:04:05\r\n"
               L"Версия программы установки: 1.0.0.0\r\n"
               L"Носитель: D:\\\r\n"
               L"Каталог установки: C:\\Holter\\\r\n"
               L"Параметры: /VERYSILENT\r\n"
               L"10.12.2026 15:04:06  Каталог создан...\r\n"
               L"10.12.2026 15:04:06  Копирование файла Birch.Dll....ОШИБКА!!! "
               L"(Недостаточно места на диске.)\r\n"
               L"10.12.2026 15:04:07  Копирование файла QZ7.FDB....\r\n"
               L"Установка прервана ошибкой:\r\n"
               L"Cannot open file \"D:\\DTAfb\\QZ7.FDB\".\r\nNo such file.\r\n"
               L"Код завершения: 2\r\n");
    EXPECT_EQ(FormatInstallLog(block), expected);
}

TEST(InstallLogText, AnUninstallsBlockSaysSoInItsHeadingAndErrorSection) {
    TInstallLogBlock block;
    block.kind = TLogKind::Uninstall;
    block.errorReport = L"x";
    const std::string text = FormatInstallLog(block);
    EXPECT_EQ(text.rfind(ToUtf8(L"==== Удаление комплекса \"Вестар\", "), 0), 0u);
    EXPECT_NE(text.find(ToUtf8(L"\r\nУдаление прервано ошибкой:\r\nx\r\n")), std::string::npos);
    EXPECT_EQ(text.find(ToUtf8(L"Установка")), std::string::npos);
}

TEST(InstallLogText, WithoutAnErrorThereIsNoErrorSection) {
    TInstallLogBlock block;
    block.lines = {{{}, L"x"}};
    const std::string text = FormatInstallLog(block);
    EXPECT_EQ(text.find(ToUtf8(L"прервана")), std::string::npos);
    EXPECT_NE(text.find("Код завершения: 0\r\n"), std::string::npos);
}

} // namespace
