// Starts Install.exe from the demo medium and walks it as a person would,
// saving a screenshot of every page under the build directory.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <shlobj.h>

#include "WizardDriver.h"
#include "common/ShellLinks.h"
#include "common/TestFiles.h"

using base::ComApartment;

using namespace std::chrono_literals;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;
using wizard::WizardDriver;

namespace {

const std::wstring kRootWarning = L"Программу нелзя устанавливать в корневой каталог!";

std::wstring BuildDir() {
    return testfiles::FromUnixEnvironment("VESTAR_BUILD_DIR");
}

std::wstring ShotsDir() {
    std::wstring dir = BuildDir() + L"\\screens";
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

void Shot(HWND window, const std::wstring& name) {
    wizard::SaveScreenShot(window, ShotsDir() + L"\\" + name + L".png");
}

// The demo medium's fonts are in the prefix's fonts directory and registered
// for the machine (by this run, or by an earlier one in the same prefix).
void ExpectFontsRegistered() {
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    for (const wchar_t* font : {L"ARIAL.TTF", L"ARIALN.TTF", L"COUR.TTF", L"MICROSS.TTF",
                                L"TAHOMA.TTF", L"TIMES.TTF", L"verdana.TTF"}) {
        EXPECT_TRUE(testfiles::Exists(std::wstring(windows) + L"\\fonts\\" + font));
    }
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                            L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", 0, KEY_READ,
                            &key),
              ERROR_SUCCESS);
    const std::pair<const wchar_t*, const wchar_t*> registrations[] = {
        {L"Vestar Demo Sans (TrueType)", L"ARIAL.TTF"},
        {L"Vestar Demo Sans Narrow (TrueType)", L"ARIALN.TTF"},
        {L"Vestar Demo Mono (TrueType)", L"COUR.TTF"},
        {L"Vestar Demo Screen (TrueType)", L"MICROSS.TTF"},
        {L"Vestar Demo Heading Bold (TrueType)", L"TAHOMA.TTF"},
        {L"Vestar Demo Serif (TrueType)", L"TIMES.TTF"},
        {L"Vestar Demo Wide (TrueType)", L"verdana.TTF"}};
    for (const auto& [name, file] : registrations) {
        wchar_t data[MAX_PATH] = {};
        DWORD size = sizeof(data);
        EXPECT_EQ(
            RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size),
            ERROR_SUCCESS);
        EXPECT_EQ(std::wstring(data), file);
    }
    RegCloseKey(key);
}

class WizardEndToEnd : public ::testing::Test {
  protected:
    // Started from a directory other than its own, as from a shortcut.
    void SetUp() override {
        installer_ = BuildDir() + L"\\demo-medium\\Install.exe";
        ASSERT_TRUE(testfiles::Exists(installer_));
        driver_.Launch(installer_, work_.path());
        driver_.WaitForMainWindow();
    }

    void ExpectDialog(const std::wstring& title, const std::wstring& text,
                      const std::wstring& shot) {
        auto dialog = driver_.WaitForDialog(title);
        EXPECT_EQ(dialog.text, text);
        Shot(dialog.window, shot);
        driver_.Answer(dialog, title == L"Confirm" ? L"Yes" : L"OK");
    }

    void PassComponentsWarning(const std::wstring& shot) {
        auto warning = driver_.WaitForDialog(L"");
        EXPECT_THAT(warning.text, HasSubstr(L"Внимание!"));
        Shot(warning.window, shot);
        driver_.Answer(warning, L"OK");
        driver_.WaitForVisibleControl(L"Начать установку");
    }

    // Waits for a dialog; when none comes the failure shows the progress log.
    wizard::DialogInfo WaitForDialogShowingLog(const std::wstring& title,
                                               std::chrono::milliseconds timeout) {
        try {
            return driver_.WaitForDialog(title, timeout);
        } catch (...) {
            std::wstring log;
            for (const auto& line : driver_.LogLines()) {
                log += line + L"\n";
            }
            ADD_FAILURE() << "progress log:\n" << testing::PrintToString(log);
            Shot(driver_.MainWindow(), L"failure");
            throw;
        }
    }

    std::wstring installer_;
    WizardDriver driver_;
    testfiles::ScratchDir work_{L"e2e"};
};

TEST_F(WizardEndToEnd, PathChecksBackAndOnThenCancel) {
    Shot(driver_.MainWindow(), L"01-welcome");
    driver_.Click(L"Далее");
    driver_.WaitForVisibleControl(L"Выбрать");
    EXPECT_EQ(driver_.PathText(), L"C:\\Holter");
    Shot(driver_.MainWindow(), L"02-path");

    driver_.SetPathText(L"   ");
    driver_.Click(L"Далее");
    ExpectDialog(L"Error", L"Не выбран путь для установки программы!", L"03-empty-path-error");

    driver_.SetPathText(L"C:");
    driver_.Click(L"Далее");
    ExpectDialog(L"Warning", kRootWarning, L"04-root-warning");
    EXPECT_EQ(driver_.PathText(), L"C:\\");

    const std::wstring target = work_.path() + L"Holter";
    driver_.SetPathText(L"  " + target + L" ");
    driver_.Click(L"Далее");
    PassComponentsWarning(L"05-components-warning");
    Shot(driver_.MainWindow(), L"06-components");
    EXPECT_TRUE(testfiles::Exists(target + L"\\Settings"));

    driver_.Click(L"Назад");
    driver_.WaitForVisibleControl(L"Выбрать");
    EXPECT_EQ(driver_.PathText(), target + L"\\");
    driver_.Click(L"Далее");
    PassComponentsWarning(L"07-components-warning-again");

    // A relative name resolves below the installer's own directory, not
    // below the directory it was started from.
    const std::wstring relative = L"rel" + std::to_wstring(GetCurrentProcessId());
    const std::wstring created = BuildDir() + L"\\demo-medium\\" + relative;
    driver_.Click(L"Назад");
    driver_.SetPathText(relative);
    driver_.Click(L"Далее");
    PassComponentsWarning(L"07-components-warning-relative");
    EXPECT_TRUE(testfiles::Exists(created + L"\\Settings"));
    EXPECT_FALSE(testfiles::Exists(work_.path() + relative));
    RemoveDirectoryW((created + L"\\Settings").c_str());
    RemoveDirectoryW(created.c_str());

    driver_.Click(L"Отмена");
    ExpectDialog(L"Confirm", L"Вы уверены, что хотите отменить процесс установки?",
                 L"08-cancel-question");
    driver_.WaitForVisibleControl(L"Выход");
    Shot(driver_.MainWindow(), L"09-cancelled");
    driver_.Click(L"Выход");
    EXPECT_TRUE(driver_.WaitForExit(20s).has_value());
}

// The screen's logical pixels per inch as the next process sees them.
class ScreenDpi {
  public:
    explicit ScreenDpi(DWORD dpi) { Set(dpi); }
    ~ScreenDpi() { Set(96); }
    ScreenDpi(const ScreenDpi&) = delete;
    ScreenDpi& operator=(const ScreenDpi&) = delete;

  private:
    static void Set(DWORD dpi) {
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi,
                        sizeof(dpi));
    }
};

class CompleteInstallation : public WizardEndToEnd {
  protected:
    void SetUp() override {} // each step launches the installer itself

    void LaunchAndStart(const std::wstring& target, const std::wstring& shot) {
        WizardEndToEnd::SetUp();
        driver_.Click(L"Далее");
        driver_.WaitForVisibleControl(L"Выбрать");
        driver_.SetPathText(target);
        driver_.Click(L"Далее");
        PassComponentsWarning(shot + L"-components-warning");
        driver_.Click(L"Начать установку");
    }

    void AnswerDriverQuestion(const std::wstring& answer, const std::wstring& shot) {
        auto connect = WaitForDialogShowingLog(L"Confirm", 120s);
        EXPECT_EQ(connect.text, L"Подключите интерфейсный блок и нажмите \"Yes\"?");
        Shot(driver_.MainWindow(), shot);
        driver_.Answer(connect, answer);
    }
};

TEST_F(CompleteInstallation, FromTheDemoMediumThenAgainOverIt) {
    const std::wstring target = work_.path() + L"Вестар Holter\\";
    const std::wstring link = testfiles::DesktopFolder() + L"\\Вестар.lnk";
    DeleteFileW(link.c_str());
    {
        ScreenDpi large(120);
        LaunchAndStart(target, L"10");
        AnswerDriverQuestion(L"Yes", L"11-progress");
        auto done = WaitForDialogShowingLog(L"Confirm", 180s);
        EXPECT_EQ(done.text, L"Установка завершена. Выйти из программы установки?");
        Shot(driver_.MainWindow(), L"12-progress-finished");
        const auto log = driver_.LogLines();
        EXPECT_THAT(log, Contains(L"Копирование файла QZ7.FDB....Завершено"));
        EXPECT_THAT(log, Contains(L"Копирование файла Maple.Dll....Завершено"));
        EXPECT_THAT(log, Contains(L"Установка драйверов устройства завершена"));
        EXPECT_TRUE(IsWindowEnabled(driver_.FindVisibleControl(L"Выход")));
        driver_.Answer(done, L"Yes");
        EXPECT_TRUE(driver_.WaitForExit(30s).has_value());
    }

    EXPECT_TRUE(testfiles::Exists(target + L"DTAfb\\QZ7.FDB"));
    EXPECT_TRUE(testfiles::Exists(target + L"gds32.dll"));
    EXPECT_TRUE(testfiles::Exists(target + L"udf\\Maple.Dll"));
    EXPECT_EQ(testfiles::ReadBytes(target + L"Settings\\holter.ini"),
              "[options]\r\nFilterType=0\r\nHardwareType=1\r\n\r\n");
    EXPECT_THAT(testfiles::ReadBytes(target + L"ReleaseInfo"), HasSubstr("<Level>010115</Level>"));
    EXPECT_THAT(testfiles::ReadBytes(target + L"backup-ran.txt"), HasSubstr("r010115"));
    EXPECT_TRUE(testfiles::Exists(target + L"FTDIDriverInstall\\driver-installed.txt"));
    ExpectFontsRegistered();
    const ComApartment com;
    const testfiles::LinkContent contents = testfiles::ReadLink(link);
    EXPECT_TRUE(contents.loaded);
    EXPECT_EQ(contents.path, target + L"Portal.exe");
    EXPECT_EQ(contents.workingDirectory, target);
    EXPECT_EQ(contents.description,
              L"Комплекс суточного мониторирования электрокардиограмм \"Вестар\"");

    // Again over the same target on a small-fonts screen: the old database is
    // kept, and the run ends on the font-size page.
    const std::string database = testfiles::ReadBytes(target + L"DTAfb\\QZ7.FDB");
    testfiles::WriteFileCreatingDirs(target + L"DTAfb\\QZ7.FDB", "the clinic's patients");
    LaunchAndStart(target, L"20");
    AnswerDriverQuestion(L"No", L"21-progress-reinstall");
    driver_.WaitForVisibleControl(L"Изменить настройки", 180s);
    Shot(driver_.MainWindow(), L"22-font-size");
    const auto log = driver_.LogLines();
    EXPECT_THAT(log, Not(Contains(L"Установка драйверов устройства завершена")));
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const std::wstring& line) {
        return line.rfind(L"Прежняя база данных сохранена: QZ7.FDB.", 0) == 0;
    }));
    EXPECT_EQ(testfiles::ReadBytes(target + L"DTAfb\\QZ7.FDB"), database);

    // Wine has no display set-up routine: the change is not made, so the
    // error box comes in place of the restart question, and the page stays.
    driver_.Click(L"Изменить настройки");
    auto failed = driver_.WaitForDialog(L"Error");
    EXPECT_EQ(failed.text, L"Не удалось изменить размер шрифта. Выберите крупный шрифт (120 точек "
                           L"на дюйм) в настройках экрана Windows.");
    Shot(failed.window, L"23-font-size-not-changed");
    driver_.Answer(failed, L"OK");
    EXPECT_TRUE(driver_.Running());
    driver_.WaitForVisibleControl(L"Изменить настройки", 30s);
    driver_.Click(L"Выход");
    EXPECT_TRUE(driver_.WaitForExit(30s).has_value());
}

} // namespace
