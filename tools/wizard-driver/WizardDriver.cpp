#include "WizardDriver.h"

#include <functional>
#include <stdexcept>
#include <thread>

#include "common/PollUntil.h"

namespace wizard {

namespace {

std::runtime_error Failure(const std::wstring& what) {
    std::string narrow;
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, what.c_str(), -1, nullptr, 0, nullptr, nullptr);
    narrow.resize(size > 0 ? size - 1 : 0);
    WideCharToMultiByte(CP_UTF8, 0, what.c_str(), -1, narrow.data(), size, nullptr, nullptr);
    return std::runtime_error(narrow);
}

bool WaitUntil(const std::function<bool()>& ready, std::chrono::milliseconds timeout) {
    return testwait::PollUntil(ready, timeout, testwait::Sleeping(50));
}

struct ChildSearch {
    std::wstring text;
    const wchar_t* className;
    HWND found;
    LONG_PTR excludedStyle = 0; // windows with any of these style bits are skipped
    bool visibleOnly = true;
};

BOOL CALLBACK FindChild(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<ChildSearch*>(param);
    if (search.visibleOnly && !IsWindowVisible(window)) {
        return TRUE;
    }
    if (search.className != nullptr && _wcsicmp(ClassName(window).c_str(), search.className) != 0) {
        return TRUE;
    }
    if (!search.text.empty() && WindowText(window) != search.text) {
        return TRUE;
    }
    if ((GetWindowLongPtrW(window, GWL_STYLE) & search.excludedStyle) != 0) {
        return TRUE;
    }
    search.found = window;
    return FALSE;
}

HWND FindChildOf(HWND parent, const std::wstring& text, const wchar_t* className) {
    ChildSearch search{text, className, nullptr};
    EnumChildWindows(parent, FindChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct TopLevelSearch {
    DWORD processId;
    HWND exclude;
    std::wstring title;
    HWND found;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<TopLevelSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId || window == search.exclude || !IsWindowVisible(window)) {
        return TRUE;
    }
    if (WindowText(window) != search.title) {
        return TRUE;
    }
    search.found = window;
    return FALSE;
}

BOOL CALLBACK CollectStaticText(HWND window, LPARAM param) {
    auto& text = *reinterpret_cast<std::wstring*>(param);
    if (_wcsicmp(ClassName(window).c_str(), L"Static") == 0 && IsWindowVisible(window)) {
        const std::wstring part = WindowText(window);
        if (!part.empty()) {
            if (!text.empty()) {
                text += L'\n';
            }
            text += part;
        }
    }
    return TRUE;
}

// The visible one-line edit field (the memos are multi-line EDIT controls).
HWND PathField(HWND main) {
    ChildSearch search{L"", L"Edit", nullptr, ES_MULTILINE};
    EnumChildWindows(main, FindChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace

void WizardDriver::Launch(const std::wstring& exePath, const std::wstring& workingDir,
                          const std::wstring& arguments) {
    const std::wstring directory =
        workingDir.empty() ? exePath.substr(0, exePath.find_last_of(L'\\')) : workingDir;
    std::wstring commandLine =
        L"\"" + exePath + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.c_str(), &startup, &info)) {
        throw Failure(L"cannot start " + exePath);
    }
    CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    processId_ = info.dwProcessId;
}

WizardDriver::~WizardDriver() {
    if (Running()) {
        TerminateProcess(process_.get(), 99);
        WaitForSingleObject(process_.get(), 5000);
    }
}

void WizardDriver::WaitForMainWindow(std::chrono::milliseconds timeout) {
    const bool found = WaitUntil(
        [&] {
            TopLevelSearch search{processId_, nullptr, L"Установка комплекса", nullptr};
            EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&search));
            main_ = search.found;
            return main_ != nullptr;
        },
        timeout);
    if (!found) {
        throw Failure(L"the main window did not appear");
    }
    Settle();
}

HWND WizardDriver::FindVisibleControl(const std::wstring& text, const wchar_t* className) const {
    return FindChildOf(main_, text, className);
}

HWND WizardDriver::FindVisibleByClass(const wchar_t* className) const {
    return FindChildOf(main_, L"", className);
}

HWND WizardDriver::WaitForVisibleControl(const std::wstring& text,
                                         std::chrono::milliseconds timeout) {
    HWND control = nullptr;
    if (!WaitUntil([&] { return (control = FindVisibleControl(text)) != nullptr; }, timeout)) {
        throw Failure(L"no visible control \"" + text + L"\"");
    }
    return control;
}

void WizardDriver::ClickWindow(HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
}

void WizardDriver::Click(const std::wstring& caption) {
    ClickWindow(WaitForVisibleControl(caption, 10s));
    Settle();
}

std::wstring WizardDriver::PathText() const {
    const HWND edit = PathField(main_);
    return edit != nullptr ? WindowText(edit) : std::wstring();
}

HWND WizardDriver::WalkToComponents(const std::wstring& target) {
    Click(L"Далее");
    WaitForVisibleControl(L"Выбрать");
    SetPathText(target);
    Click(L"Далее");
    Answer(WaitForDialog(L""), L"OK");
    return WaitForVisibleControl(L"Начать установку");
}

void WizardDriver::SetPathText(const std::wstring& text) {
    const HWND edit = PathField(main_);
    if (edit == nullptr) {
        throw Failure(L"no visible path field");
    }
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::optional<DialogInfo> WizardDriver::FindDialog(const std::wstring& title) const {
    TopLevelSearch search{processId_, main_, title, nullptr};
    EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) {
        return std::nullopt;
    }
    DialogInfo info{search.found, title, {}};
    EnumChildWindows(search.found, CollectStaticText, reinterpret_cast<LPARAM>(&info.text));
    return info;
}

DialogInfo WizardDriver::WaitForDialog(const std::wstring& title,
                                       std::chrono::milliseconds timeout) {
    std::optional<DialogInfo> dialog;
    if (!WaitUntil([&] { return (dialog = FindDialog(title)).has_value(); }, timeout)) {
        throw Failure(L"no window titled \"" + title + L"\"; open: " + DescribeWindows());
    }
    Settle(200ms);
    return *FindDialog(title);
}

// The program's visible top-level windows with their titles and texts.
std::wstring WizardDriver::DescribeWindows() const {
    struct Collect {
        DWORD processId;
        std::wstring text;
    } collect{processId_, {}};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto& c = *reinterpret_cast<Collect*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == c.processId && IsWindowVisible(window)) {
                std::wstring statics;
                EnumChildWindows(window, CollectStaticText, reinterpret_cast<LPARAM>(&statics));
                c.text += L"[" + WindowText(window) + L": " + statics + L"] ";
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&collect));
    return collect.text;
}

void WizardDriver::Answer(const DialogInfo& dialog, const std::wstring& caption) {
    const HWND button = FindChildOf(dialog.window, caption, nullptr);
    if (button == nullptr) {
        throw Failure(L"no button \"" + caption + L"\" in \"" + dialog.title + L"\"");
    }
    ClickWindow(button);
    if (!WaitUntil([&] { return !IsWindow(dialog.window) || !IsWindowVisible(dialog.window); },
                   10s)) {
        throw Failure(L"\"" + dialog.title + L"\" did not close");
    }
    Settle();
}

std::vector<std::wstring> WizardDriver::LogLines() const {
    // The log stays on its page when the run ends on the font-size page.
    std::vector<std::wstring> lines;
    ChildSearch search{L"", L"ListBox", nullptr, 0, false};
    EnumChildWindows(main_, FindChild, reinterpret_cast<LPARAM>(&search));
    const HWND list = search.found;
    if (list == nullptr) {
        return lines;
    }
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        lines.push_back(ListBoxLine(list, i));
    }
    return lines;
}

std::optional<DWORD> WizardDriver::WaitForExit(std::chrono::milliseconds timeout) {
    if (WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

bool WizardDriver::Running() const {
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

void WizardDriver::Settle(std::chrono::milliseconds pause) const {
    std::this_thread::sleep_for(pause);
}

} // namespace wizard
