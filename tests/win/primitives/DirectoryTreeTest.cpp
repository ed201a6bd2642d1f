#include <gtest/gtest.h>

#include "common/TestFiles.h"
#include "files/DirectoryTree.h"
#include "files/FileAttributes.h"

using files::ClearReadOnlyTree;
using files::CopyDirTree;
using files::ListSubDirs;
using files::SetReadOnlyAttr;

namespace {

using namespace testfiles;
using Names_ = std::vector<std::wstring>;

class DirectoryTreeTest : public testing::Test {
  protected:
    void MakeDir(const std::wstring& relative, DWORD attributes = 0) {
        ASSERT_TRUE(CreateDirectoryW((dir / relative).c_str(), nullptr));
        if (attributes != 0) {
            ASSERT_TRUE(SetFileAttributesW((dir / relative).c_str(), attributes));
        }
    }
    void MakeFile(const std::wstring& relative, const std::string& content, DWORD attributes = 0) {
        ASSERT_TRUE(WriteBytes(dir / relative, content));
        if (attributes != 0) {
            ASSERT_TRUE(SetFileAttributesW((dir / relative).c_str(), attributes));
        }
    }

    ScratchDir dir;
};

TEST_F(DirectoryTreeTest, CopyDirTreeCopiesAllFilesAndOnlyVisibleSubdirectories) {
    MakeDir(L"src");
    MakeFile(L"src\\plain.txt", "plain");
    MakeFile(L"src\\hidden.txt", "hidden", FILE_ATTRIBUTE_HIDDEN);
    MakeFile(L"src\\system.txt", "system", FILE_ATTRIBUTE_SYSTEM);
    MakeFile(L"src\\Updater.exe.cfg", "read-only", FILE_ATTRIBUTE_READONLY);
    MakeDir(L"src\\Подкаталог");
    MakeFile(L"src\\Подкаталог\\inner.txt", "inner");
    MakeDir(L"src\\Подкаталог\\deeper");
    MakeFile(L"src\\Подкаталог\\deeper\\deep.txt", "deep");
    MakeDir(L"src\\hiddendir");
    MakeFile(L"src\\hiddendir\\no.txt", "no");
    MakeDir(L"src\\systemdir");
    MakeFile(L"src\\systemdir\\no.txt", "no");
    // Attributes last: Wine stores them, and they hide the directory only now.
    ASSERT_TRUE(SetFileAttributesW((dir / L"src\\hiddendir").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesW((dir / L"src\\systemdir").c_str(), FILE_ATTRIBUTE_SYSTEM));

    const std::wstring target = dir / L"новый\\уровень\\цель";
    CopyDirTree(dir / L"src", target);

    EXPECT_EQ(Names(target), (Names_{L"Updater.exe.cfg", L"hidden.txt", L"plain.txt", L"system.txt",
                                     L"Подкаталог"}));
    EXPECT_EQ(ReadBytes(target + L"\\hidden.txt"), "hidden");
    EXPECT_EQ(ReadBytes(target + L"\\Подкаталог\\deeper\\deep.txt"), "deep");
    EXPECT_EQ(ReadBytes(target + L"\\Подкаталог\\inner.txt"), "inner");
    EXPECT_EQ(Attributes(target + L"\\Updater.exe.cfg") & FILE_ATTRIBUTE_READONLY, 0u)
        << "a read-only medium's attribute is not carried into the target";
    EXPECT_NE(Attributes(target + L"\\hidden.txt") & FILE_ATTRIBUTE_HIDDEN, 0u);
}

// A read-only file of an earlier installation is replaced (the system's copy
// would refuse it on Windows); a hidden one is left as it was.
TEST_F(DirectoryTreeTest, CopyDirTreeReplacesPlainAndReadOnlyFilesButNotHiddenOnes) {
    MakeDir(L"src");
    MakeFile(L"src\\ReleaseInfo", "new release");
    MakeFile(L"src\\plain.txt", "new plain");
    MakeFile(L"src\\hidden.txt", "new hidden");
    MakeDir(L"dst");
    MakeFile(L"dst\\ReleaseInfo", "old release", FILE_ATTRIBUTE_READONLY);
    MakeFile(L"dst\\plain.txt", "old plain and longer");
    MakeFile(L"dst\\hidden.txt", "old hidden", FILE_ATTRIBUTE_HIDDEN);

    // A destination given with its trailing backslash, as the target path is.
    CopyDirTree(dir / L"src", dir / L"dst\\");

    EXPECT_EQ(ReadBytes(dir / L"dst\\plain.txt"), "new plain");
    EXPECT_EQ(ReadBytes(dir / L"dst\\ReleaseInfo"), "new release");
    EXPECT_EQ(Attributes(dir / L"dst\\ReleaseInfo") & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(ReadBytes(dir / L"dst\\hidden.txt"), "old hidden");
}

TEST_F(DirectoryTreeTest, ClearReadOnlyTreeClearsOnlyTheReadOnlyBitThroughTheTree) {
    MakeDir(L"tree");
    MakeDir(L"tree\\Lang");
    MakeFile(L"tree\\a.exe", "a", FILE_ATTRIBUTE_READONLY);
    MakeFile(L"tree\\Lang\\ru.lng", "ru", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    MakeFile(L"tree\\plain.txt", "plain");

    ClearReadOnlyTree(dir / L"tree");

    constexpr DWORD kShown = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
    EXPECT_EQ(Attributes(dir / L"tree\\a.exe") & kShown, 0u);
    EXPECT_EQ(Attributes(dir / L"tree\\Lang\\ru.lng") & kShown, DWORD{FILE_ATTRIBUTE_HIDDEN});
    EXPECT_EQ(ReadBytes(dir / L"tree\\plain.txt"), "plain");
}

TEST_F(DirectoryTreeTest, CopyDirTreeFromAMissingSourceMakesAnEmptyDestination) {
    CopyDirTree(dir / L"нет такого", dir / L"a\\b\\c");

    EXPECT_EQ(Names(dir.path()), Names_{L"a"});
    EXPECT_EQ(Attributes(dir / L"a\\b\\c") & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(Names(dir / L"a\\b\\c").empty());
}

TEST_F(DirectoryTreeTest, ListSubDirsLeavesOutWithOutAnswerFilesAndHiddenOrSystemDirectories) {
    MakeDir(L"backup");
    MakeDir(L"backup\\r150613");
    MakeDir(L"backup\\WithOutAnswer");
    MakeDir(L"backup\\h010101");
    MakeDir(L"backup\\s010101");
    MakeFile(L"backup\\f311299", "a file");
    ASSERT_TRUE(SetFileAttributesW((dir / L"backup\\h010101").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesW((dir / L"backup\\s010101").c_str(), FILE_ATTRIBUTE_SYSTEM));
    const std::wstring backup = dir / L"backup\\";
    std::vector<std::wstring> list{L"kept"};

    ListSubDirs(backup, list);

    EXPECT_EQ(list, (Names_{L"kept", backup + L"r150613"}));
}

TEST_F(DirectoryTreeTest, ListSubDirsComparesWithOutAnswerWithLetterCase) {
    MakeDir(L"backup");
    MakeDir(L"backup\\withoutanswer");
    MakeDir(L"backup\\WithOutAnswer2");
    const std::wstring backup = dir / L"backup\\";
    std::vector<std::wstring> list;

    ListSubDirs(backup, list);

    std::sort(list.begin(), list.end());
    EXPECT_EQ(list, (Names_{backup + L"WithOutAnswer2", backup + L"withoutanswer"}));
}

TEST_F(DirectoryTreeTest, ListSubDirsOfAMissingDirectoryAddsNothing) {
    std::vector<std::wstring> list;
    ListSubDirs(dir / L"missing\\", list);
    EXPECT_TRUE(list.empty());
}

TEST_F(DirectoryTreeTest, SetReadOnlyAttrSwitchesOnlyTheReadOnlyBit) {
    MakeFile(L"ReleaseInfo", "x", FILE_ATTRIBUTE_HIDDEN);
    const std::wstring path = dir / L"ReleaseInfo";
    const DWORD before = Attributes(path);

    SetReadOnlyAttr(path, true);
    SetReadOnlyAttr(path, true);
    EXPECT_EQ(Attributes(path), before | FILE_ATTRIBUTE_READONLY);

    SetReadOnlyAttr(path, false);
    SetReadOnlyAttr(path, false);
    EXPECT_EQ(Attributes(path), before);
    EXPECT_NE(before & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST_F(DirectoryTreeTest, SetReadOnlyAttrOnAMissingFileDoesNothing) {
    SetReadOnlyAttr(dir / L"missing", true);
    SetReadOnlyAttr(dir / L"missing", false);
    EXPECT_TRUE(Names(dir.path()).empty());
}

} // namespace
