#include <gtest/gtest.h>
#include <windows.h>

TEST(WineSmoke, RunsWindowsCode) {
    wchar_t dir[MAX_PATH];
    ASSERT_GT(GetWindowsDirectoryW(dir, MAX_PATH), 0u);
}
