#include <gtest/gtest.h>

#include "common/TestFiles.h"
#include "shared/VS_Common_Proc.h"

using shared::ShellCopyDir;

namespace {

using namespace testfiles;

class ShellCopyDirTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(CreateDirectoryW(source.c_str(), nullptr));
        ASSERT_TRUE(WriteBytes(source + L"\\FTDIDriverInstall.exe", "driver"));
        ASSERT_TRUE(CreateDirectoryW((source + L"\\amd64").c_str(), nullptr));
        ASSERT_TRUE(WriteBytes(source + L"\\amd64\\ftdibus.sys", "bus"));
        ASSERT_TRUE(CreateDirectoryW((dir / L"цель").c_str(), nullptr));
    }

    ScratchDir dir;
    std::wstring source = dir / L"FTDIDriverInstall";
    std::wstring destination = dir / L"цель\\FTDIDriverInstall";
};

TEST_F(ShellCopyDirTest, CopiesTheDirectoryWithItsSubdirectories) {
    EXPECT_TRUE(ShellCopyDir(source + L"\\", destination + L"\\"));

    EXPECT_EQ(ReadBytes(destination + L"\\FTDIDriverInstall.exe"), "driver");
    EXPECT_EQ(ReadBytes(destination + L"\\amd64\\ftdibus.sys"), "bus");
}

TEST_F(ShellCopyDirTest, CopyingAgainAsksNothing) {
    // Into an existing destination the shell copies the directory below it;
    // a third copy meets existing files and must not stop to ask.
    for (int run = 0; run < 3; ++run) {
        EXPECT_TRUE(ShellCopyDir(source, destination)) << run;
    }
    EXPECT_EQ(ReadBytes(destination + L"\\FTDIDriverInstall.exe"), "driver");
}

TEST_F(ShellCopyDirTest, MissingSourceGivesFalse) {
    EXPECT_FALSE(ShellCopyDir(dir / L"нет", destination));
}

} // namespace
