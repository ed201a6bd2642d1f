#pragma once
// The modal windows that the wizard and the install run open. The program
// shows real windows (our own message dialog, the shell's folder browser,
// the timed message window); tests give scripted answers.
#include <optional>
#include <string>

#include "shared/MessageType.h"
#include "ui/ModalResult.h"

namespace shared {

class IUserDialogs {
  public:
    virtual ~IUserDialogs() = default;

    // A modal message box over the main window; returns the button pressed.
    virtual ui::TModalResult MessageDlg(const std::wstring& text, ui::TMsgDlgType type,
                                        ui::TMsgDlgButtons buttons) = 0;

    // The folder browser with `instruction` above the tree; the chosen
    // folder's full path, or nothing when the user cancelled.
    virtual std::optional<std::wstring> BrowseForFolder(const std::wstring& instruction) = 0;

    // The timed message window; true when OK was pressed.
    virtual bool ShowTimedMessage(const std::wstring& text, TMessageType kind,
                                  const std::wstring& caption, int seconds) = 0;
};

} // namespace shared
