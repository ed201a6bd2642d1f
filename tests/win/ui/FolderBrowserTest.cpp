// The real folder browser behind IUserDialogs, answered from a timer script.
#include <gtest/gtest.h>
#include <shlobj.h>

#include "UiDriver.h"
#include "ui/Form.h"
#include "app/Win32UserDialogs.h"

using app::TWin32UserDialogs;
using base::ComApartment;
using ui::Application;
using ui::kSingleFrameStyle;
using ui::TForm;

using namespace uidriver;

namespace {

const std::wstring kInstruction = L"Выберете путь для установки программ";

class TMainForm : public TForm {
  public:
    TMainForm() : TForm(L"TMainForm", kSingleFrameStyle) {
        SetClientSize(300, 200);
        Show();
        Application().MainForm = this;
    }
    ~TMainForm() override { Application().MainForm = nullptr; }
};

struct SeenBrowser {
    bool instructionShown = false;
    bool editBox = false;
    bool mainDisabled = false;
    HWND owner = nullptr;
    UINT errorMode = 0;
};

// Opens the browser; once it is there, selects `folder` (if any) and
// presses OK, or presses Cancel.
std::optional<std::wstring> Browse(const std::optional<std::wstring>& folder, TMainForm& main,
                                   SeenBrowser& seen) {
    HWND browser = nullptr;
    Script script;
    script
        .Then([&] {
            browser = FindWindowOf(L"#32770");
            return browser != nullptr && FindChild(browser, kInstruction) != nullptr;
        })
        .Then([&] {
            seen.instructionShown = true;
            for (HWND child : Descendants(browser)) {
                seen.editBox =
                    seen.editBox || (ClassName(child) == L"Edit" && IsWindowVisible(child));
            }
            seen.mainDisabled = !IsWindowEnabled(main.Handle());
            seen.owner = GetWindow(browser, GW_OWNER);
            seen.errorMode = GetErrorMode();
            if (folder) {
                SendMessageW(browser, BFFM_SETSELECTIONW, TRUE,
                             reinterpret_cast<LPARAM>(folder->c_str()));
            }
            return true;
        })
        .Wait(200)
        .Then([&] {
            PostMessageW(browser, WM_COMMAND, folder ? IDOK : IDCANCEL, 0);
            return true;
        });
    script.Start();
    TWin32UserDialogs dialogs;
    std::optional<std::wstring> chosen = dialogs.BrowseForFolder(kInstruction);
    EXPECT_FALSE(script.TimedOut());
    return chosen;
}

} // namespace

TEST(FolderBrowser, CancelChangesNothingAndAChosenFolderGivesItsPath) {
    ComApartment com;
    TMainForm main;
    wchar_t windows[MAX_PATH];
    ASSERT_GT(GetWindowsDirectoryW(windows, MAX_PATH), 0u);

    // GoogleTest turns the system's error boxes off for its whole run.
    const UINT previousMode = SetErrorMode(0);
    SeenBrowser seen;
    EXPECT_EQ(Browse(std::nullopt, main, seen), std::nullopt);
    EXPECT_TRUE(seen.instructionShown);
    EXPECT_FALSE(seen.editBox);
    EXPECT_TRUE(seen.mainDisabled);
    EXPECT_EQ(seen.owner, main.Handle());
    EXPECT_NE(seen.errorMode & SEM_FAILCRITICALERRORS, 0u);
    EXPECT_TRUE(IsWindowEnabled(main.Handle()));
    EXPECT_EQ(GetErrorMode() & SEM_FAILCRITICALERRORS, 0u);

    SeenBrowser chosen;
    const std::optional<std::wstring> path = Browse(std::wstring(windows), main, chosen);
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(_wcsicmp(path->c_str(), windows), 0) << testing::PrintToString(*path);
    EXPECT_TRUE(IsWindowEnabled(main.Handle()));
    SetErrorMode(previousMode);
}
