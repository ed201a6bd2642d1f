#include "ui/MessageDialog.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "ui/Application.h"
#include "ui/Button.h"
#include "ui/Form.h"
#include "ui/Label.h"

using base::SelectedObject;
using base::WindowDc;

namespace ui {

namespace {

constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kTextGap = 12;
constexpr int kButtonGap = 8;
constexpr int kButtonsTopGap = 16;
constexpr int kButtonHeight = 25;
constexpr int kMinButtonWidth = 75;
constexpr int kMinTextWidth = 120;
constexpr int kTextSlack = 4;

LPCWSTR SystemIconOf(TMsgDlgIcon icon) {
    switch (icon) {
    case TMsgDlgIcon::Warning:
        return IDI_WARNING;
    case TMsgDlgIcon::Error:
        return IDI_ERROR;
    case TMsgDlgIcon::Question:
        break;
    }
    return IDI_QUESTION;
}

// The system's shared icon of the message's kind in a STATIC control.
class TIconImage : public TControl {
  public:
    TIconImage(TWindow& parent, TMsgDlgIcon icon) : TControl(parent) {
        CreateControl(L"STATIC", SS_ICON);
        // A shared system icon: never destroyed.
        SendMessageW(Handle(), STM_SETICON,
                     reinterpret_cast<WPARAM>(LoadIconW(nullptr, SystemIconOf(icon))), 0);
    }
};

struct TButtonSpec {
    const wchar_t* caption;
    TModalResult result;
};

std::vector<TButtonSpec> ButtonsOf(TMsgDlgButtons buttons) {
    switch (buttons) {
    case TMsgDlgButtons::mbYesNo:
        return {{L"Yes", TModalResult::mrYes}, {L"No", TModalResult::mrNo}};
    case TMsgDlgButtons::mbRetryCancel:
        return {{L"Повтор", TModalResult::mrRetry}, {L"Отмена", TModalResult::mrCancel}};
    case TMsgDlgButtons::mbOK:
        break;
    }
    return {{L"OK", TModalResult::mrOk}};
}

// The window the box belongs to: the thread's active window, else the main form.
HWND DialogOwner() {
    if (const HWND active = GetActiveWindow(); active != nullptr) {
        return active;
    }
    TForm* main = Application().MainForm;
    return main != nullptr ? main->Handle() : nullptr;
}

class TMessageDialogForm : public TForm {
  public:
    TMessageDialogForm(const std::wstring& title, const std::wstring& text, TMsgDlgIcon icon,
                       TMsgDlgButtons buttons)
        : TForm(kMessageDialogClass, kDialogFrameStyle, WS_EX_DLGMODALFRAME, DialogOwner()),
          icon_(*this, icon), text_(*this, text), buttons_(buttons) {
        SetFont(MessageFontSpec());
        SetCaption(title);
        text_.SetWordWrap(true);
        for (const TButtonSpec& entry : ButtonsOf(buttons)) {
            auto button = std::make_unique<TButton>(*this, entry.caption);
            button->OnClick = [this, result = entry.result] { SetModalResult(result); };
            buttonControls_.push_back(std::move(button));
        }
        SetActiveControl(buttonControls_.front().get());
        if (buttons == TMsgDlgButtons::mbYesNo) {
            EnableMenuItem(GetSystemMenu(Handle(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
            OnCloseQuery = [](bool& canClose) { canClose = false; };
        }
        Arrange();
    }

    TModalResult Run() {
        const TModalResult result = ShowModal();
        if (result != TModalResult::mrNone) {
            return result;
        }
        switch (buttons_) {
        case TMsgDlgButtons::mbYesNo:
            return TModalResult::mrNo;
        case TMsgDlgButtons::mbRetryCancel:
            return TModalResult::mrCancel;
        case TMsgDlgButtons::mbOK:
            break;
        }
        return TModalResult::mrOk;
    }

  private:
    SIZE MeasureText(int maxWidth) const {
        std::wstring text = text_.Caption();
        if (text.empty()) {
            text = L" ";
        }
        WindowDc screen(Handle());
        SelectedObject font(screen.get(), Font().Handle());
        RECT r{0, 0, maxWidth, 0};
        DrawTextW(screen.get(), text.c_str(), static_cast<int>(text.size()), &r,
                  DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS);
        // A few pixels to spare: the static control breaks a line that the
        // measurement says fits exactly (seen with "...программы!" under Wine).
        return SIZE{std::max<LONG>(r.right + kTextSlack, kMinTextWidth), r.bottom};
    }

    int ButtonWidth() const {
        WindowDc screen(Handle());
        SelectedObject font(screen.get(), Font().Handle());
        int width = kMinButtonWidth;
        for (const auto& button : buttonControls_) {
            const std::wstring caption = button->Caption();
            SIZE size{};
            GetTextExtentPoint32W(screen.get(), caption.c_str(), static_cast<int>(caption.size()),
                                  &size);
            width = std::max<int>(width, size.cx + 2 * kMargin);
        }
        return width;
    }

    void Arrange() {
        const int maxTextWidth = std::max(kMinTextWidth, GetSystemMetrics(SM_CXSCREEN) / 2);
        const SIZE text = MeasureText(maxTextWidth);
        const int textLeft = kMargin + kIconSize + kTextGap;
        const int contentHeight = std::max<int>(kIconSize, text.cy);
        icon_.SetBounds(kMargin, kMargin, kIconSize, kIconSize);
        text_.SetBounds(textLeft, kMargin + (contentHeight - text.cy) / 2, text.cx, text.cy);

        const int buttonWidth = ButtonWidth();
        const int count = static_cast<int>(buttonControls_.size());
        const int buttonsWidth = count * buttonWidth + (count - 1) * kButtonGap;
        const int clientWidth =
            std::max<int>(textLeft + text.cx + kMargin, buttonsWidth + 2 * kMargin);
        const int buttonsTop = kMargin + contentHeight + kButtonsTopGap;
        int left = (clientWidth - buttonsWidth) / 2;
        for (const auto& button : buttonControls_) {
            button->SetBounds(left, buttonsTop, buttonWidth, kButtonHeight);
            left += buttonWidth + kButtonGap;
        }
        SetClientSize(clientWidth, buttonsTop + kButtonHeight + kMargin);
        CenterOnScreen();
    }

    TIconImage icon_;
    TLabel text_;
    TMsgDlgButtons buttons_;
    std::vector<std::unique_ptr<TButton>> buttonControls_;
};

TMsgDlgIcon IconOf(TMsgDlgType type) {
    switch (type) {
    case TMsgDlgType::mtWarning:
        return TMsgDlgIcon::Warning;
    case TMsgDlgType::mtError:
        return TMsgDlgIcon::Error;
    case TMsgDlgType::mtConfirmation:
        break;
    }
    return TMsgDlgIcon::Question;
}

} // namespace

TModalResult ShowMessageDialog(const std::wstring& title, const std::wstring& text,
                               TMsgDlgIcon icon, TMsgDlgButtons buttons) {
    TMessageDialogForm dialog(title, text, icon, buttons);
    return dialog.Run();
}

std::wstring MessageDlgTitle(TMsgDlgType type) {
    switch (type) {
    case TMsgDlgType::mtWarning:
        return L"Warning";
    case TMsgDlgType::mtError:
        return L"Error";
    case TMsgDlgType::mtConfirmation:
        break;
    }
    return L"Confirm";
}

TModalResult MessageDlg(const std::wstring& text, TMsgDlgType type, TMsgDlgButtons buttons) {
    return ShowMessageDialog(MessageDlgTitle(type), text, IconOf(type), buttons);
}

void ShowErrorReportDialog(const std::wstring& text) {
    ShowMessageDialog(Application().Title, text, TMsgDlgIcon::Error, TMsgDlgButtons::mbOK);
}

} // namespace ui
