// The display's font size: the small-fonts test at the end of the install
// run and the font-size page's "Изменить настройки".
#include "system/DisplayFontSize.h"

#include "system/SystemActions.h"
#include "shared/UserDialogs.h"
#include "shared/VS_Common_Proc.h"

namespace sys {

using shared::IsSmallFontsAt;
using shared::IUserDialogs;
using ui::TModalResult;
using ui::TMsgDlgButtons;
using ui::TMsgDlgType;

namespace {

// The restart lets running programs close themselves; only those that
// hang are ended.
constexpr UINT kRestartFlags = EWX_REBOOT | EWX_FORCEIFHUNG;

constexpr wchar_t kRestartQuestion[] =
    L"Изменения в настройки внесены, для того чтобы они\r\n"
    L"вступили в силу, требуется перзагрузить операционную систему.\r\n"
    L"Выполнить перезагрузку сейчас?";

constexpr wchar_t kChangeFailed[] =
    L"Не удалось изменить размер шрифта. Выберите крупный шрифт (120 точек на дюйм) в "
    L"настройках экрана Windows.";

} // namespace

bool ScreenHasSmallFonts(ISystemActions& system) {
    return IsSmallFontsAt(system.ScreenLogPixelsX());
}

void ChangeFontSize(ISystemActions& system, IUserDialogs& dialogs,
                    const std::function<void()>& closeMainWindow) {
    if (!system.SetLargeFonts()) {
        // Nothing was changed, so a restart would not help: the user is
        // told to make the change in the display settings instead.
        dialogs.MessageDlg(kChangeFailed, TMsgDlgType::mtError, TMsgDlgButtons::mbOK);
        return;
    }
    const TModalResult answer =
        dialogs.MessageDlg(kRestartQuestion, TMsgDlgType::mtWarning, TMsgDlgButtons::mbYesNo);
    if (answer != TModalResult::mrYes) {
        return;
    }
    system.ShutdownWindows(kRestartFlags);
    closeMainWindow();
}

} // namespace sys
