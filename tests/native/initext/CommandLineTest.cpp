#include <gtest/gtest.h>

#include "base/portable/PathText.h"
#include "install/portable/CommandLine.h"

using base::JoinPath;
using base::ParentDirectory;
using install::ProgramCommandLine;
using install::QuotedCommandLine;

namespace {

TEST(CommandLine, AnUnquotedLineIsOneProgramPathAndGetsQuoted) {
    EXPECT_EQ(
        QuotedCommandLine(L"C:\\Program Files\\Holter\\FTDIDriverInstall\\FTDIDriverInstall.exe"),
        L"\"C:\\Program Files\\Holter\\FTDIDriverInstall\\FTDIDriverInstall.exe\"");
    EXPECT_EQ(QuotedCommandLine(L"\"C:\\a b\\x.exe\" -y"), L"\"C:\\a b\\x.exe\" -y");
}

TEST(CommandLine, ProgramLineEndsInABlankWithoutParameters) {
    EXPECT_EQ(ProgramCommandLine(L"C:\\a b\\Install.cmd", L""), L"\"C:\\a b\\Install.cmd\" ");
    EXPECT_EQ(ProgramCommandLine(L"C:\\x.exe", L"/s /q"), L"\"C:\\x.exe\" /s /q");
}

TEST(CommandLine, LongLinesPassWhole) {
    const std::wstring path = L"C:\\" + std::wstring(600, L'd') + L"\\p.exe";
    EXPECT_EQ(ProgramCommandLine(path, std::wstring(400, L'a')).size(), path.size() + 403);
}

struct DirectoryCase {
    const wchar_t* program;
    const wchar_t* directory;
};

class ParentDirectoryTest : public testing::TestWithParam<DirectoryCase> {};

TEST_P(ParentDirectoryTest, IsThePathWithoutItsLastComponent) {
    EXPECT_EQ(ParentDirectory(GetParam().program), GetParam().directory);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ParentDirectoryTest,
    testing::Values(DirectoryCase{L"C:\\Vestar\\backup\\r150613\\Install.cmd",
                                  L"C:\\Vestar\\backup\\r150613"},
                    DirectoryCase{L"C:\\Install.cmd", L"C:\\"},
                    DirectoryCase{L"C:Install.cmd", L"C:"},
                    DirectoryCase{L"\\\\server\\share\\x.exe", L"\\\\server\\share"},
                    DirectoryCase{L"\\x.exe", L"\\"}, DirectoryCase{L"x.exe", L""}));

TEST(JoinPath, InsertsOneBackslashOnlyWhenMissing) {
    EXPECT_EQ(JoinPath(L"C:\\a", L"b"), L"C:\\a\\b");
    EXPECT_EQ(JoinPath(L"C:\\a\\", L"b"), L"C:\\a\\b");
    EXPECT_EQ(JoinPath(L"", L"b"), L"b");
    EXPECT_EQ(JoinPath(L"C:", L"b"), L"C:b");
    EXPECT_EQ(JoinPath(L"C:\\a", L""), L"C:\\a\\");
}

} // namespace
