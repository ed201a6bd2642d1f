#pragma once
// The program's real modal windows behind IUserDialogs: our own message
// dialog, the shell's folder browser and the timed message window.
//
// The class is defined here in full so that the timed message window (in
// the shared windows' library, which builds on this one) is reached from
// the program's own code.
#include <optional>
#include <string>

#include "shared/MessageForm.h"
#include "ui/MessageDialog.h"
#include "shared/UserDialogs.h"

// The system's folder browser, modal over the whole program and owned by the
// main form: the newer style, file-system folders only, no new-folder button,
// no edit box, the tree from the desktop with nothing preselected, and the
// system's critical-error boxes suppressed while it is open. The chosen
// folder's full path, or nothing when cancelled.
std::optional<std::wstring> BrowseForFolderDialog(const std::wstring& instruction);

class TWin32UserDialogs final : public IUserDialogs {
  public:
    TModalResult MessageDlg(const std::wstring& text, TMsgDlgType type,
                            TMsgDlgButtons buttons) override {
        return ::MessageDlg(text, type, buttons);
    }

    std::optional<std::wstring> BrowseForFolder(const std::wstring& instruction) override {
        return BrowseForFolderDialog(instruction);
    }

    bool ShowTimedMessage(const std::wstring& text, TMessageType kind, const std::wstring& caption,
                          int seconds) override {
        return ::ShowTimedMessage(text, kind, caption, seconds);
    }
};
