#include "ui/FolderBrowser.h"

#include <shlobj.h>

#include "ui/Application.h"
#include "ui/Form.h"

using base::CoTaskMemPtr;

namespace ui {

namespace {

// SetErrorMode for the lifetime of the object, then the previous mode.
class ErrorModeScope {
  public:
    explicit ErrorModeScope(UINT mode) : previous_(SetErrorMode(mode)) {}
    ~ErrorModeScope() { SetErrorMode(previous_); }
    ErrorModeScope(const ErrorModeScope&) = delete;
    ErrorModeScope& operator=(const ErrorModeScope&) = delete;

  private:
    UINT previous_;
};

} // namespace

std::optional<std::wstring> BrowseForFolderDialog(const std::wstring& instruction) {
    TForm* main = Application().MainForm;
    const HWND owner = main != nullptr ? main->Handle() : GetActiveWindow();

    BROWSEINFOW browse{};
    browse.hwndOwner = owner;
    browse.pidlRoot = nullptr;
    browse.lpszTitle = instruction.c_str();
    browse.ulFlags = BIF_NEWDIALOGSTYLE | BIF_RETURNONLYFSDIRS | BIF_NONEWFOLDERBUTTON;

    PIDLIST_ABSOLUTE browsed = nullptr;
    {
        ErrorModeScope noCriticalErrorBoxes(SEM_FAILCRITICALERRORS);
        TThreadWindowsDisabled modal(nullptr);
        browsed = SHBrowseForFolderW(&browse);
    }
    const CoTaskMemPtr<ITEMIDLIST> chosen(browsed);
    if (!chosen) {
        return std::nullopt;
    }
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(chosen.get(), path)) {
        return std::nullopt;
    }
    return std::wstring(path);
}

} // namespace ui
