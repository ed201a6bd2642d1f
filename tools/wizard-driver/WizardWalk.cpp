// Walks the wizard through a complete installation, as a person would:
//   wizard-walk <Install.exe on the medium> <target directory> <screenshot directory>
// Prints each page as it is reached; exits 0 when the installer ended after
// "Yes" to the closing question (or stayed on the font-size page).
#include <cstdio>
#include <string>

#include "WizardDriver.h"

namespace {

void Shot(wizard::WizardDriver& driver, const std::wstring& directory, const wchar_t* name,
          HWND window = nullptr) {
    const std::wstring path = directory + L"\\" + name + L".png";
    wizard::SaveScreenShot(window != nullptr ? window : driver.MainWindow(), path);
    wprintf(L"  %ls\n", name);
}

int Walk(const std::wstring& installer, const std::wstring& target, const std::wstring& shots) {
    using namespace std::chrono_literals;
    wizard::WizardDriver driver;
    driver.Launch(installer);
    driver.WaitForMainWindow();
    Shot(driver, shots, L"01-welcome");

    driver.Click(L"Далее");
    driver.WaitForVisibleControl(L"Выбрать");
    driver.SetPathText(target);
    Shot(driver, shots, L"02-path");

    driver.Click(L"Далее");
    auto warning = driver.WaitForDialog(L"");
    Shot(driver, shots, L"03-components-warning", warning.window);
    driver.Answer(warning, L"OK");
    Shot(driver, shots, L"04-components");

    driver.Click(L"Начать установку");
    auto connect = driver.WaitForDialog(L"Confirm", 120s);
    Shot(driver, shots, L"05-driver-question");
    driver.Answer(connect, L"Yes");

    for (int waited = 0; waited < 600; ++waited) {
        if (auto done = driver.FindDialog(L"Confirm")) {
            Shot(driver, shots, L"06-progress-finished");
            driver.Answer(*done, L"Yes");
            return driver.WaitForExit(30s).has_value() ? 0 : 1;
        }
        if (driver.FindVisibleControl(L"Изменить настройки") != nullptr) {
            Shot(driver, shots, L"06-font-size");
            driver.Click(L"Выход");
            return driver.WaitForExit(30s).has_value() ? 0 : 1;
        }
        if (auto error = driver.FindDialog(L"Установка комплекса \"Вестар\"")) {
            Shot(driver, shots, L"06-error");
            fwprintf(stderr, L"the installer reported: %ls\n", error->text.c_str());
            driver.Answer(*error, L"OK");
            return 1;
        }
        driver.Settle(200ms);
    }
    fwprintf(stderr, L"the installation did not finish\n");
    return 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        fwprintf(stderr, L"usage: wizard-walk <Install.exe> <target> <screenshots>\n");
        return 2;
    }
    try {
        return Walk(argv[1], argv[2], argv[3]);
    } catch (const std::exception& error) {
        fprintf(stderr, "wizard-walk: %s\n", error.what());
        return 1;
    }
}
