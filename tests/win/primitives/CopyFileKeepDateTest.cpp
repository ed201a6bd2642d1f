#include <gtest/gtest.h>

#include "FailingWriter.h"
#include "common/TestFiles.h"
#include "install/FilePrimitives.h"
#include "shared/AppError.h"
#include "shared/SysError.h"
#include "common/RaisedErrors.h"

namespace {

using namespace testfiles;

// The text of the error `action` raises, or "<nothing raised>".
constexpr DWORD kUnwantedAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

class CopyFileKeepDateTest : public testing::Test {
  protected:
    ScratchDir dir;
    std::wstring source = dir / L"источник.dat";
    std::wstring destination = dir / L"копия файла.dat";
};

TEST_F(CopyFileKeepDateTest, CopiesContentAndRoundsTheTimeDownToAnEvenSecond) {
    const std::string content = "QZ7 database stand-in\r\n" + std::string(200000, '\x5A');
    ASSERT_TRUE(WriteBytes(source, content));
    ASSERT_TRUE(SetWriteTime(source, LocalTimeAsFileTime(2015, 6, 13, 13, 45, 37, 120)));

    EXPECT_TRUE(CopyFileKeepDate(source, destination));

    EXPECT_EQ(ReadBytes(destination), content);
    const SYSTEMTIME copied = LocalWriteTime(destination);
    EXPECT_EQ(copied.wYear, 2015);
    EXPECT_EQ(copied.wMonth, 6);
    EXPECT_EQ(copied.wDay, 13);
    EXPECT_EQ(copied.wHour, 13);
    EXPECT_EQ(copied.wMinute, 45);
    EXPECT_EQ(copied.wSecond, 36);
    EXPECT_EQ(copied.wMilliseconds, 0);
    EXPECT_EQ(Names(dir.path()), (std::vector<std::wstring>{L"источник.dat", L"копия файла.dat"}));
}

TEST_F(CopyFileKeepDateTest, EmptyFileGivesEmptyCopyWithTheSourceTime) {
    ASSERT_TRUE(WriteBytes(source, ""));
    ASSERT_TRUE(SetWriteTime(source, LocalTimeAsFileTime(2001, 2, 3, 4, 5, 7, 999)));

    EXPECT_TRUE(CopyFileKeepDate(source, destination));

    EXPECT_EQ(ReadBytes(destination), "");
    const SYSTEMTIME copied = LocalWriteTime(destination);
    EXPECT_EQ(copied.wHour, 4);
    EXPECT_EQ(copied.wMinute, 5);
    EXPECT_EQ(copied.wSecond, 6);
}

TEST_F(CopyFileKeepDateTest, ReplacesALongerDestinationWhole) {
    ASSERT_TRUE(WriteBytes(source, "short"));
    ASSERT_TRUE(WriteBytes(destination, "a much longer earlier content"));

    EXPECT_TRUE(CopyFileKeepDate(source, destination));

    EXPECT_EQ(ReadBytes(destination), "short");
}

TEST_F(CopyFileKeepDateTest, CopyOfAReadOnlyHiddenSourceHasNormalAttributes) {
    ASSERT_TRUE(WriteBytes(source, "font"));
    ASSERT_TRUE(
        SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));

    EXPECT_TRUE(CopyFileKeepDate(source, destination));

    EXPECT_EQ(Attributes(destination) & kUnwantedAttributes, 0u);
    SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(CopyFileKeepDateTest, MissingSourceRaisesTheOpenErrorAndCreatesNothing) {
    EXPECT_EQ(RaisedText([&] { CopyFileKeepDate(source, destination); }),
              CannotOpen(source, ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(Names(dir.path()).empty());
}

TEST_F(CopyFileKeepDateTest, LockedSourceRaisesTheOpenError) {
    ASSERT_TRUE(WriteBytes(source, "locked"));
    const FileLock lock(source);
    ASSERT_TRUE(lock.locked());

    EXPECT_EQ(RaisedText([&] { CopyFileKeepDate(source, destination); }),
              CannotOpen(source, ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(Exists(destination));
}

struct RefusedDestination {
    const char* name;
    DWORD attributes;
};

void PrintTo(const RefusedDestination& destination, std::ostream* out) {
    *out << destination.name;
}

class RefusedDestinationTest : public CopyFileKeepDateTest,
                               public testing::WithParamInterface<RefusedDestination> {};

TEST_P(RefusedDestinationTest, RaisesTheCreateErrorAndKeepsTheDestination) {
    ASSERT_TRUE(WriteBytes(source, "new content"));
    ASSERT_TRUE(WriteBytes(destination, "earlier content"));
    ASSERT_TRUE(SetFileAttributesW(destination.c_str(), GetParam().attributes));

    EXPECT_EQ(RaisedText([&] { CopyFileKeepDate(source, destination); }),
              CannotCreate(destination, ERROR_ACCESS_DENIED));

    EXPECT_EQ(ReadBytes(destination), "earlier content");
    EXPECT_EQ(Attributes(destination) & kUnwantedAttributes, GetParam().attributes);
    EXPECT_EQ(Names(dir.path()).size(), 2u);
    SetFileAttributesW(destination.c_str(), FILE_ATTRIBUTE_NORMAL);
}

INSTANTIATE_TEST_SUITE_P(Attributes, RefusedDestinationTest,
                         testing::Values(RefusedDestination{"ReadOnly", FILE_ATTRIBUTE_READONLY},
                                         RefusedDestination{"Hidden", FILE_ATTRIBUTE_HIDDEN},
                                         RefusedDestination{"System", FILE_ATTRIBUTE_SYSTEM}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CopyFileKeepDateTest, DestinationInUseRaisesTheCreateErrorAndKeepsIt) {
    ASSERT_TRUE(WriteBytes(source, "new content"));
    ASSERT_TRUE(WriteBytes(destination, "earlier content"));
    {
        const FileLock lock(destination);
        ASSERT_TRUE(lock.locked());
        EXPECT_EQ(RaisedText([&] { CopyFileKeepDate(source, destination); }),
                  CannotCreate(destination, ERROR_SHARING_VIOLATION));
    }
    EXPECT_EQ(ReadBytes(destination), "earlier content");
}

TEST_F(CopyFileKeepDateTest, MissingDestinationDirectoryRaisesAndReleasesTheSource) {
    ASSERT_TRUE(WriteBytes(source, "content"));
    const std::wstring nowhere = dir / L"нет каталога\\file.dat";

    EXPECT_EQ(RaisedText([&] { CopyFileKeepDate(source, nowhere); }),
              CannotCreate(nowhere, ERROR_PATH_NOT_FOUND));

    const FileLock reopened(source);
    EXPECT_TRUE(reopened.locked()) << "the source is still open";
}

// The failure comes in the second of three blocks, while the reader is a
// block ahead.
TEST_F(CopyFileKeepDateTest, FailedContentCopyReturnsFalseAndKeepsTheOldDestination) {
    const std::string content(2 * kCopyBlockSize + 1000, 'n');
    ASSERT_TRUE(WriteBytes(source, content));
    const std::string earlier = "earlier destination\r\n" + std::string(1000, 'e');
    ASSERT_TRUE(WriteBytes(destination, earlier));
    FailingWriter failing(kCopyBlockSize + 100000);
    {
        const ScopedBlockWriter replaced(failing);
        EXPECT_FALSE(CopyFileKeepDate(source, destination));
    }
    EXPECT_EQ(failing.failures(), 1);
    EXPECT_EQ(ReadBytes(destination), earlier);
    EXPECT_EQ(Names(dir.path()), (std::vector<std::wstring>{L"источник.dat", L"копия файла.dat"}))
        << "no temporary file is left behind";
    EXPECT_TRUE(FileLock(source).locked()) << "the source is still open";

    EXPECT_TRUE(CopyFileKeepDate(source, destination)) << "the writer is back to normal";
    EXPECT_EQ(ReadBytes(destination), content);
}

TEST_F(CopyFileKeepDateTest, FailedContentCopyWithoutDestinationLeavesNoFile) {
    ASSERT_TRUE(WriteBytes(source, "some content"));
    FailingWriter failing(0);
    const ScopedBlockWriter replaced(failing);

    EXPECT_FALSE(CopyFileKeepDate(source, destination));

    EXPECT_EQ(Names(dir.path()), std::vector<std::wstring>{L"источник.dat"});
}

} // namespace
