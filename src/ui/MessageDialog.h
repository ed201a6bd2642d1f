#pragma once
// Our own modal message box (not MessageBoxW, whose buttons would carry the
// system's own names): English title and buttons whatever the system
// language, the system's icon of its kind, the text sized to fit. It is
// modal over the whole program, owned by the active window, centred on the
// screen, and a window of class "TMessageForm" whose buttons are real
// BUTTON children with the captions "OK", "Yes", "No", "Повтор", "Отмена".
//
// An "OK" box closed by its close box counts as "OK", a "Повтор"/"Отмена"
// box as "Отмена"; a "Yes"/"No" box has no working close box and must be
// answered.
#include <string>

#include "ui/ModalResult.h"

namespace ui {

constexpr wchar_t kMessageDialogClass[] = L"TMessageForm";

enum class TMsgDlgIcon { Warning, Error, Question };

TModalResult ShowMessageDialog(const std::wstring& title, const std::wstring& text,
                               TMsgDlgIcon icon, TMsgDlgButtons buttons);

// The toolkit's message box: the kind sets the icon and the title
// ("Warning", "Error", "Confirm").
TModalResult MessageDlg(const std::wstring& text, TMsgDlgType type, TMsgDlgButtons buttons);

std::wstring MessageDlgTitle(TMsgDlgType type);

// The program's top-level error report (TApplication::OnErrorReport): the
// message box titled with the application's title, the error icon and "OK".
void ShowErrorReportDialog(const std::wstring& text);

} // namespace ui
