#pragma once
// The program's real modal windows behind IUserDialogs: our own message
// dialog, the shell's folder browser and the timed message window.
#include <optional>
#include <string>

#include "shared/MessageForm.h"
#include "shared/UserDialogs.h"
#include "ui/FolderBrowser.h"
#include "ui/MessageDialog.h"

namespace app {

class TWin32UserDialogs final : public shared::IUserDialogs {
  public:
    ui::TModalResult MessageDlg(const std::wstring& text, ui::TMsgDlgType type,
                                ui::TMsgDlgButtons buttons) override {
        return ui::MessageDlg(text, type, buttons);
    }

    std::optional<std::wstring> BrowseForFolder(const std::wstring& instruction) override {
        return ui::BrowseForFolderDialog(instruction);
    }

    bool ShowTimedMessage(const std::wstring& text, shared::TMessageType kind,
                          const std::wstring& caption, int seconds) override {
        return shared::ShowTimedMessage(text, kind, caption, seconds);
    }
};

} // namespace app
