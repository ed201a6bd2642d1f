// The real Install.exe started from a medium on which a stand-in DLL lies
// beside it under the names of the system libraries the program loads by
// name. The program makes the medium's directory current and loads those
// libraries from the system directory only: the stand-in must never be
// loaded, and the main window must work with the system's rich-text control.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "WizardDriver.h"
#include "common/TestFiles.h"

using namespace std::chrono_literals;
using wizard::WizardDriver;

namespace {

// msftedit.dll: the information panel's rich-text control, loaded when the
// main window is created. syssetup.dll: the display set-up library of the
// font-size switch; the walk below does not reach the switch, and nothing
// before it may load the library either.
const wchar_t* const kPlantedNames[] = {L"msftedit.dll", L"syssetup.dll"};

std::wstring MarkerOf(const std::wstring& library) {
    return library + L".loaded";
}

// A scratch medium: a copy of Install.exe and the stand-in under each of
// the planted names beside it.
class PlantedMedium {
  public:
    PlantedMedium() {
        const std::wstring installer = testfiles::FromUnixEnvironment("VESTAR_INSTALL_EXE");
        const std::wstring standIn = testfiles::FromUnixEnvironment("VESTAR_PLANTED_DLL");
        copied_ = CopyFileW(installer.c_str(), Installer().c_str(), FALSE) != FALSE;
        for (const wchar_t* name : kPlantedNames) {
            copied_ = copied_ && CopyFileW(standIn.c_str(), (dir_ / name).c_str(), FALSE) != FALSE;
        }
    }

    bool Ready() const { return copied_; }
    const std::wstring& Directory() const { return dir_.path(); }
    std::wstring Installer() const { return dir_ / L"Install.exe"; }

    // The planted libraries that were loaded by any process.
    std::vector<std::wstring> LoadedLibraries() const {
        std::vector<std::wstring> loaded;
        for (const wchar_t* name : kPlantedNames) {
            if (testfiles::Exists(MarkerOf(dir_ / name))) {
                loaded.emplace_back(name);
            }
        }
        return loaded;
    }

  private:
    testfiles::ScratchDir dir_{L"planted-medium"};
    bool copied_ = false;
};

// Sets this process's current directory for the life of the object.
class CurrentDirectory {
  public:
    explicit CurrentDirectory(const std::wstring& directory) {
        const DWORD size = GetCurrentDirectoryW(0, nullptr);
        previous_.resize(size);
        previous_.resize(GetCurrentDirectoryW(size, previous_.data()));
        changed_ = SetCurrentDirectoryW(directory.c_str()) != FALSE;
    }
    ~CurrentDirectory() { SetCurrentDirectoryW(previous_.c_str()); }
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

    bool Changed() const { return changed_; }

  private:
    std::wstring previous_;
    bool changed_ = false;
};

class DllPlanting : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(medium_.Ready()); }

    // Starts the planted medium's installer, checks that its main window
    // shows the information panel, and leaves through the cancel page.
    void RunAndCancel() {
        WizardDriver driver;
        driver.Launch(medium_.Installer());
        driver.WaitForMainWindow();
        const HWND info = driver.FindVisibleByClass(L"RichEdit50W");
        ASSERT_NE(info, nullptr) << testing::PrintToString(driver.DescribeWindows());
        EXPECT_FALSE(wizard::WindowText(info).empty()) << "the information panel is empty";

        driver.Click(L"Отмена");
        driver.Answer(driver.WaitForDialog(L"Confirm"), L"Yes");
        driver.WaitForVisibleControl(L"Выход");
        driver.Click(L"Выход");
        EXPECT_EQ(driver.WaitForExit(20s), std::optional<DWORD>(0));
    }

    PlantedMedium medium_;
};

// The checks below mean something only if a loaded stand-in does leave its
// mark: each copy, loaded by its full path, does (and refuses to stay).
TEST_F(DllPlanting, StandInLeavesItsMarkWhenLoaded) {
    std::vector<std::wstring> all;
    for (const wchar_t* name : kPlantedNames) {
        const std::wstring planted = medium_.Directory() + name;
        EXPECT_EQ(LoadLibraryExW(planted.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH), nullptr);
        all.emplace_back(name);
    }
    EXPECT_EQ(medium_.LoadedLibraries(), all);
}

TEST_F(DllPlanting, LibrariesBesideTheProgramAreNeverLoaded) {
    RunAndCancel();
    EXPECT_EQ(medium_.LoadedLibraries(), std::vector<std::wstring>{});
}

// Started from a process whose current directory is the planted medium, as
// from a console opened there.
TEST_F(DllPlanting, LibrariesInTheStartingDirectoryAreNeverLoaded) {
    const CurrentDirectory current(medium_.Directory());
    ASSERT_TRUE(current.Changed());
    RunAndCancel();
    EXPECT_EQ(medium_.LoadedLibraries(), std::vector<std::wstring>{});
}

} // namespace
