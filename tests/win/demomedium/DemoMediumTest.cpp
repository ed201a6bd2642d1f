// The demo medium under Wine, through the installer's own primitives and
// layout names: every group file is there, copies show the two-second
// rounding, the backup scripts and the driver stand-in leave their markers,
// the updater files come read-only, and the fonts load and unload as fonts
// Windows does not have yet.
#include <gtest/gtest.h>

#include "common/TestFiles.h"
#include "files/DirectoryTree.h"
#include "files/FileCopy.h"
#include "install/ProcessRun.h"
#include "install/MediumLayout.h"
#include "system/Fonts.h"
#include "shared/VS_Common_Proc.h"

using files::CopyDirTree;
using files::CopyFileKeepDate;
using files::ListSubDirs;
using install::RunInOwnDir;
using install::RunProgram;
using shared::ShellCopyDir;
using sys::GetFontTitle;

namespace {

using namespace testfiles;
namespace layout = install::MediumLayout;

std::wstring W(std::wstring_view text) {
    return std::wstring(text);
}

// The medium as Wine sees it, ending in a backslash.
std::wstring MediumPath() {
    const std::string unix = DEMO_MEDIUM_UNIX_DIR;
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, unix.data(), static_cast<int>(unix.size()), nullptr, 0);
    std::wstring path(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, unix.data(), static_cast<int>(unix.size()), path.data(),
                        length);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return L"Z:" + path + L"\\";
}

class DemoMediumTest : public testing::Test {
  protected:
    std::wstring medium = MediumPath();
    ScratchDir target;
};

TEST_F(DemoMediumTest, HoldsEveryFileOfEveryGroup) {
    for (const layout::FileGroup* group :
         {&layout::Group1Database, &layout::Group2AFirebird, &layout::Group2BFirebird,
          &layout::Group3CharacterSets, &layout::Group4StandardUdf, &layout::Group5InHouseUdf}) {
        for (const std::wstring_view name : group->files) {
            EXPECT_TRUE(Exists(medium + W(group->sourceDir) + W(name)))
                << std::string(name.begin(), name.end());
        }
    }
    for (const std::wstring_view name : layout::FontFiles) {
        EXPECT_TRUE(Exists(medium + W(layout::FontsDir) + W(name)));
    }
}

TEST_F(DemoMediumTest, CopiesShowTheTwoSecondRounding) {
    const std::wstring source = medium + W(layout::DatabaseDir) + L"QZ7.FDB";
    const std::wstring copy = target / L"QZ7.FDB";
    ASSERT_TRUE(CopyFileKeepDate(source, copy));

    const SYSTEMTIME original = LocalWriteTime(source);
    const SYSTEMTIME copied = LocalWriteTime(copy);
    EXPECT_EQ(original.wSecond % 2, 1);
    EXPECT_EQ(copied.wSecond, original.wSecond - 1);
    EXPECT_EQ(copied.wMinute, original.wMinute);
    EXPECT_EQ(ReadBytes(copy), ReadBytes(source));
}

TEST_F(DemoMediumTest, NewestBackupScriptLeavesItsMarkerInTheTarget) {
    const std::wstring backup = target / L"backup";
    CopyDirTree(medium + W(layout::BackupDir), backup);
    std::vector<std::wstring> backups;
    ListSubDirs(backup + L"\\", backups);
    std::sort(backups.begin(), backups.end());
    ASSERT_EQ(backups, (std::vector<std::wstring>{backup + L"\\r010115", backup + L"\\r150613"}));

    EXPECT_EQ(RunInOwnDir(backups[0] + L"\\" + W(layout::BackupScript), L"", SW_HIDE), 0u);

    EXPECT_EQ(ReadBytes(target / L"backup-ran.txt"), "r010115\r\n");
    EXPECT_FALSE(Exists(target / L"withoutanswer-ran.txt"));
}

TEST_F(DemoMediumTest, DriverInstallerStandInLeavesItsMarker) {
    ASSERT_TRUE(ShellCopyDir(medium + W(layout::DriverDir), target / W(layout::DriverDir)));

    EXPECT_EQ(RunProgram(target / W(layout::DriverProgram), SW_HIDE, true), 0);

    const std::string marker = ReadBytes(target / L"FTDIDriverInstall\\driver-installed.txt");
    EXPECT_EQ(marker.rfind("FTDIDriverInstall stand-in ran\r\n", 0), 0u) << marker;
    EXPECT_TRUE(Exists(target / L"FTDIDriverInstall\\amd64\\ftdibus.inf"));
}

// The medium's read-only updater files land in the target root writable.
TEST_F(DemoMediumTest, UpdaterTreeBringsItsReadOnlyFilesIntoTheTargetRootWritable) {
    CopyDirTree(medium + W(layout::UpdaterDir), target.path());

    for (const std::wstring_view name : {layout::ReleaseInfoFile, layout::UpdaterConfigFile}) {
        const std::wstring onMedium = medium + W(layout::UpdaterDir) + L"\\" + W(name);
        EXPECT_EQ(ReadBytes(target.path() + W(name)), ReadBytes(onMedium));
        EXPECT_EQ(Attributes(target.path() + W(name)) & FILE_ATTRIBUTE_READONLY, 0u);
    }
    EXPECT_NE(Attributes(medium + W(layout::UpdaterDir) + L"\\" + W(layout::UpdaterConfigFile)) &
                  FILE_ATTRIBUTE_READONLY,
              0u);
    EXPECT_NE(ReadBytes(target.path() + L"ReleaseInfo").find("<Version>1</Version>"),
              std::string::npos);
    EXPECT_TRUE(Exists(target / L"Scripts\\Help\\readme.txt"));
}

// The fonts carry names of their own, so that installing them never replaces
// a font the system already has; each loads as a font.
TEST_F(DemoMediumTest, FontsAreFontsUnderNamesOfTheirOwn) {
    for (const std::wstring_view name : layout::FontFiles) {
        const std::wstring copy = target / W(name);
        ASSERT_TRUE(CopyFileKeepDate(medium + W(layout::FontsDir) + W(name), copy));
        EXPECT_EQ(GetFontTitle(copy).rfind(L"Vestar Demo ", 0), 0u)
            << std::string(name.begin(), name.end());
        EXPECT_EQ(AddFontResourceW(copy.c_str()), 1) << std::string(name.begin(), name.end());
        RemoveFontResourceW(copy.c_str());
    }
}

} // namespace
