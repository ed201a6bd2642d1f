#include <gtest/gtest.h>

#include "FailingWriter.h"
#include "common/TestFiles.h"
#include "base/AppError.h"
#include "base/LongPath.h"
#include "base/SysError.h"
#include "files/FileCopy.h"
#include "files/FileReplace.h"
#include "common/RaisedErrors.h"

using files::CopyFileKeepDate;
using files::IBlockWriter;
using files::IsInstallerTempName;
using files::kCopyBlockSize;
using files::ScopedBlockWriter;

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
    EXPECT_EQ(RaisedText([&] { (void)CopyFileKeepDate(source, destination); }),
              CannotOpen(source, ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(Names(dir.path()).empty());
}

TEST_F(CopyFileKeepDateTest, LockedSourceRaisesTheOpenError) {
    ASSERT_TRUE(WriteBytes(source, "locked"));
    const FileLock lock(source);
    ASSERT_TRUE(lock.locked());

    EXPECT_EQ(RaisedText([&] { (void)CopyFileKeepDate(source, destination); }),
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

    EXPECT_EQ(RaisedText([&] { (void)CopyFileKeepDate(source, destination); }),
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
        EXPECT_EQ(RaisedText([&] { (void)CopyFileKeepDate(source, destination); }),
                  CannotCreate(destination, ERROR_SHARING_VIOLATION));
    }
    EXPECT_EQ(ReadBytes(destination), "earlier content");
}

TEST_F(CopyFileKeepDateTest, MissingDestinationDirectoryRaisesAndReleasesTheSource) {
    ASSERT_TRUE(WriteBytes(source, "content"));
    const std::wstring nowhere = dir / L"нет каталога\\file.dat";

    EXPECT_EQ(RaisedText([&] { (void)CopyFileKeepDate(source, nowhere); }),
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

// The database's replacement: the earlier file is kept under a backup name
// only once the copy is whole.
class KeepingCopyTest : public CopyFileKeepDateTest {
  protected:
    std::wstring Backup(int attempt) const {
        return dir / (L"копия.bak" + (attempt == 1 ? std::wstring() : std::to_wstring(attempt)));
    }
    bool Copy() {
        return CopyFileKeepDate(
                   source, destination, [this](int attempt) { return Backup(attempt); }, kept)
            .ok();
    }
    std::wstring kept = L"<unset>";
};

TEST_F(KeepingCopyTest, KeepsTheEarlierFileUnderTheFirstFreeBackupName) {
    ASSERT_TRUE(WriteBytes(source, "medium database"));
    EXPECT_TRUE(Copy());
    EXPECT_EQ(kept, L"") << "nothing to keep on a first installation";

    ASSERT_TRUE(WriteBytes(destination, "clinic database"));
    ASSERT_TRUE(WriteBytes(Backup(1), "an older backup"));
    EXPECT_TRUE(Copy());
    EXPECT_EQ(kept, Backup(2));
    EXPECT_EQ(ReadBytes(destination), "medium database");
    EXPECT_EQ(ReadBytes(Backup(1)), "an older backup");
    EXPECT_EQ(ReadBytes(Backup(2)), "clinic database");
    EXPECT_EQ(Names(dir.path()).size(), 4u) << "no temporary file is left";
}

TEST_F(KeepingCopyTest, FailedContentCopyLeavesTheEarlierFileAtItsNameAndNoOtherFile) {
    ASSERT_TRUE(WriteBytes(source, std::string(300000, 'n')));
    ASSERT_TRUE(WriteBytes(destination, "clinic database"));
    FailingWriter failing(100000);
    {
        const ScopedBlockWriter replaced(failing);
        EXPECT_FALSE(Copy());
    }
    EXPECT_EQ(kept, L"");
    EXPECT_EQ(ReadBytes(destination), "clinic database");
    EXPECT_EQ(Names(dir.path()), (std::vector<std::wstring>{L"источник.dat", L"копия файла.dat"}));
}

// Counts the blocks written, and writes them.
class CountingWriter final : public IBlockWriter {
  public:
    base::SysResult WriteBlock(HANDLE file, const void* data, DWORD size) override {
        ++blocks;
        DWORD written = 0;
        return WriteFile(file, data, size, &written, nullptr) && written == size
                   ? base::SysResult()
                   : base::SysResult::LastError();
    }
    int blocks = 0;
};

// The suite keeps its database open with read and write sharing but not
// delete sharing: it could be neither renamed nor replaced, which is found
// out before anything is copied.
TEST_F(KeepingCopyTest, DatabaseOpenWithoutDeleteSharingRaisesBeforeAnyWrite) {
    ASSERT_TRUE(WriteBytes(source, "medium database"));
    ASSERT_TRUE(WriteBytes(destination, "clinic database"));
    CountingWriter counting;
    const ScopedBlockWriter replaced(counting);
    for (const DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}}) {
        const FileLock lock(destination, share);
        ASSERT_TRUE(lock.locked());
        EXPECT_EQ(RaisedText([&] { (void)Copy(); }),
                  CannotCreate(destination, ERROR_SHARING_VIOLATION));
    }
    EXPECT_EQ(counting.blocks, 0);
    EXPECT_EQ(ReadBytes(destination), "clinic database");
    EXPECT_EQ(Names(dir.path()).size(), 2u);
}

TEST(InstallerTempName, MatchesOnlyTheInstallersOwnPattern) {
    const struct {
        const wchar_t* name;
        bool matches;
    } cases[] = {
        {L"~vestar123-4.tmp", true}, {L"~VESTAR7-1.TMP", true},    {L"~vestar-4.tmp", false},
        {L"~vestar123-.tmp", false}, {L"~vestar12x-4.tmp", false}, {L"~vestar123-4.tmp.bak", false},
        {L"vestar123-4.tmp", false}, {L"~vestar123_4.tmp", false}, {L"~rel1A2B.tmp", false},
        {L"QZ7.FDB", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsInstallerTempName(c.name), c.matches) << c.name;
    }
}

// What an interrupted run left is removed by the next copy into the
// directory; a temporary file still open (a run in progress) and every
// other name stay.
TEST_F(CopyFileKeepDateTest, FirstCopyIntoADirectoryRemovesStaleTemporaryFilesOnly) {
    ScratchDir target;
    for (const wchar_t* name : {L"~vestar4242-1.tmp", L"~vestar4242-2.tmp", L"~vestar1-9.tmp",
                                L"~vestar-1.tmp", L"keep.tmp", L"~vestar1-1.tmp.txt"}) {
        ASSERT_TRUE(WriteBytes(target / name, "left over"));
    }
    ASSERT_TRUE(SetFileAttributesW((target / L"~vestar1-9.tmp").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(WriteBytes(source, "content"));
    {
        const FileLock inProgress(target / L"~vestar4242-2.tmp");
        ASSERT_TRUE(inProgress.locked());
        EXPECT_TRUE(CopyFileKeepDate(source, target / L"QZ7.FDB"));
    }
    EXPECT_EQ(Names(target.path()),
              (std::vector<std::wstring>{L"QZ7.FDB", L"keep.tmp", L"~vestar-1.tmp",
                                         L"~vestar1-1.tmp.txt", L"~vestar4242-2.tmp"}));
}

} // namespace

TEST(LongPathForm, OnlyPathsFromMaxPathOnTakeTheExtendedLengthForm) {
    const std::wstring share = L"\\\\server\\share\\";
    const std::wstring deep = std::wstring(MAX_PATH, L'д');
    const struct {
        const char* name;
        std::wstring path;
        std::wstring form;
    } rows[] = {
        {"short", L"C:\\Holter\\QZ7.FDB", L"C:\\Holter\\QZ7.FDB"},
        {"one under the limit", L"C:\\" + std::wstring(MAX_PATH - 4, L'a'),
         L"C:\\" + std::wstring(MAX_PATH - 4, L'a')},
        {"at the limit", L"C:\\" + std::wstring(MAX_PATH - 3, L'a'),
         L"\\\\?\\C:\\" + std::wstring(MAX_PATH - 3, L'a')},
        {"dots and slashes resolved", L"C:/Holter/..\\" + deep + L"\\.\\x.tmp",
         L"\\\\?\\C:\\" + deep + L"\\x.tmp"},
        {"network share", share + deep, L"\\\\?\\UNC\\server\\share\\" + deep},
        {"already extended", L"\\\\?\\C:\\" + deep, L"\\\\?\\C:\\" + deep},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(base::LongPathForm(row.path), row.form);
    }
}

// Destinations whose own paths are just under MAX_PATH: the temporary file
// beside each (and the database's backup name) is longer, and the copies
// and the whole-file write still go through and leave no temporary file.
TEST_F(CopyFileKeepDateTest, DestinationsJustUnderMaxPathAreReached) {
    std::wstring directory = dir.path();
    while (directory.size() < MAX_PATH - 40) {
        directory += std::wstring(20, L'ж') + L"\\";
        ASSERT_TRUE(CreateDirectoryW(directory.c_str(), nullptr)) << GetLastError();
    }
    const std::wstring target = directory + std::wstring(MAX_PATH - 1 - directory.size(), L'f');
    ASSERT_EQ(target.size(), size_t{MAX_PATH - 1});
    const std::string content = "medium file\r\n" + std::string(100000, 'm');
    ASSERT_TRUE(WriteBytes(source, content));

    EXPECT_TRUE(CopyFileKeepDate(source, target));
    EXPECT_EQ(ReadBytes(target), content);

    ASSERT_TRUE(WriteBytes(target, "clinic file"));
    std::wstring kept;
    EXPECT_TRUE(CopyFileKeepDate(
        source, target,
        [&](int attempt) { return target + L"." + std::to_wstring(attempt) + L".bak"; }, kept));
    EXPECT_EQ(kept, target + L".1.bak");
    EXPECT_EQ(ReadBytes(target), content);
    EXPECT_EQ(ReadBytes(base::LongPathForm(kept)), "clinic file");

    files::WriteWholeFile(target, {'w', 'h', 'o', 'l', 'e'});
    EXPECT_EQ(ReadBytes(target), "whole");
    for (const std::wstring& name : Names(directory)) {
        EXPECT_FALSE(IsInstallerTempName(name)) << Utf8(name) << " was left behind";
    }
}
