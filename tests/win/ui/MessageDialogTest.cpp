// Our own message box: English titles and buttons by kind, real BUTTON
// children, the result of the button pressed, modal over the program.
#include <gtest/gtest.h>

#include "UiDriver.h"
#include "ui/Form.h"
#include "ui/MessageDialog.h"
#include "app/Win32UserDialogs.h"

using app::TWin32UserDialogs;
using ui::kMessageDialogClass;
using ui::kSingleFrameStyle;
using ui::MessageDlg;
using ui::TForm;
using ui::TModalResult;
using ui::TMsgDlgButtons;
using ui::TMsgDlgType;

using namespace uidriver;

namespace {

class TOwnerForm : public TForm {
  public:
    TOwnerForm() : TForm(L"TOwnerForm", kSingleFrameStyle) { SetClientSize(200, 100); }
};

struct DialogCase {
    TMsgDlgType type;
    TMsgDlgButtons buttons;
    std::wstring press;
    std::wstring title;
    std::vector<std::wstring> captions;
    TModalResult result;
    LPCWSTR icon;
};

struct SeenDialog {
    std::wstring title;
    std::vector<std::wstring> buttons;
    bool textShown = false;
    bool ownerDisabled = false;
    HWND owner = nullptr;
    HICON icon = nullptr;
};

// Opens the box through `open` and presses `press` once it is there.
SeenDialog Answer(const std::wstring& text, const std::wstring& press, HWND ownerForm,
                  const std::function<void()>& open) {
    SeenDialog seen;
    Script script;
    script.Then([&] {
        const HWND box = FindWindowOf(kMessageDialogClass);
        if (box == nullptr) {
            return false;
        }
        seen.title = WindowText(box);
        seen.buttons = VisibleTexts(box, L"Button");
        seen.textShown = FindChild(box, text, L"Static") != nullptr;
        seen.ownerDisabled = ownerForm != nullptr && !IsWindowEnabled(ownerForm);
        seen.owner = GetWindow(box, GW_OWNER);
        seen.icon = IconOf(box);
        Click(FindChild(box, press, L"Button"));
        return true;
    });
    script.Start();
    open();
    EXPECT_FALSE(script.TimedOut());
    return seen;
}

} // namespace

TEST(MessageDialog, TitlesButtonsAndResultsByKind) {
    TOwnerForm owner;
    owner.Show();
    SetActiveWindow(owner.Handle());
    using enum TMsgDlgType;
    using enum TMsgDlgButtons;
    using enum TModalResult;
    // clang-format off
    const std::vector<DialogCase> cases = {
        {mtWarning,      mbOK,    L"OK",  L"Warning", {L"OK"},         mrOk,  IDI_WARNING},
        {mtError,        mbOK,    L"OK",  L"Error",   {L"OK"},         mrOk,  IDI_ERROR},
        {mtConfirmation, mbYesNo, L"Yes", L"Confirm", {L"Yes", L"No"}, mrYes, IDI_QUESTION},
        {mtConfirmation, mbYesNo, L"No",  L"Confirm", {L"Yes", L"No"}, mrNo,  IDI_QUESTION},
        {mtWarning,      mbYesNo, L"Yes", L"Warning", {L"Yes", L"No"}, mrYes, IDI_WARNING},
        {mtError,        mbYesNo, L"No",  L"Error",   {L"Yes", L"No"}, mrNo,  IDI_ERROR},
        {mtWarning, mbRetryCancel, L"Повтор", L"Warning", {L"Повтор", L"Отмена"}, mrRetry,  IDI_WARNING},
        {mtWarning, mbRetryCancel, L"Отмена", L"Warning", {L"Повтор", L"Отмена"}, mrCancel, IDI_WARNING},
    };
    // clang-format on
    const std::wstring text = L"Вы уверены, что хотите отменить процесс установки?";
    for (const DialogCase& c : cases) {
        TModalResult result = TModalResult::mrNone;
        const SeenDialog seen = Answer(text, c.press, owner.Handle(),
                                       [&] { result = MessageDlg(text, c.type, c.buttons); });
        EXPECT_EQ(seen.title, c.title);
        EXPECT_EQ(seen.buttons, c.captions);
        EXPECT_TRUE(seen.textShown);
        EXPECT_TRUE(seen.ownerDisabled);
        EXPECT_EQ(seen.owner, owner.Handle());
        EXPECT_EQ(seen.icon, LoadIconW(nullptr, c.icon));
        EXPECT_EQ(result, c.result);
        EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
        EXPECT_EQ(FindWindowOf(kMessageDialogClass), nullptr);
    }
}

TEST(MessageDialog, TheRealUserDialogsShowOurBox) {
    TWin32UserDialogs dialogs;
    TModalResult result = TModalResult::mrNone;
    const SeenDialog seen = Answer(L"Не выбран путь для установки программы!", L"OK", nullptr, [&] {
        result = dialogs.MessageDlg(L"Не выбран путь для установки программы!",
                                    TMsgDlgType::mtError, TMsgDlgButtons::mbOK);
    });
    EXPECT_EQ(seen.title, L"Error");
    EXPECT_TRUE(seen.textShown);
    EXPECT_EQ(result, TModalResult::mrOk);
}

TEST(MessageDialog, AYesNoBoxIgnoresCloseRequestsOkAndRetryBoxesTakeThemAsOkAndCancel) {
    TModalResult yesNo = TModalResult::mrNone;
    bool stillOpenAfterClose = false;
    Script script;
    script
        .Then([&] {
            const HWND box = FindWindowOf(kMessageDialogClass);
            if (box == nullptr) {
                return false;
            }
            PostMessageW(box, WM_CLOSE, 0, 0);
            return true;
        })
        .Wait(100)
        .Then([&] {
            const HWND box = FindWindowOf(kMessageDialogClass);
            stillOpenAfterClose = box != nullptr;
            Click(FindChild(box, L"No", L"Button"));
            return true;
        });
    script.Start();
    yesNo = MessageDlg(L"Продолжить?", TMsgDlgType::mtConfirmation, TMsgDlgButtons::mbYesNo);
    EXPECT_TRUE(stillOpenAfterClose);
    EXPECT_EQ(yesNo, TModalResult::mrNo);

    Script closing;
    closing.Then([&] {
        const HWND box = FindWindowOf(kMessageDialogClass);
        if (box == nullptr) {
            return false;
        }
        PostMessageW(box, WM_CLOSE, 0, 0);
        return true;
    });
    closing.Start();
    EXPECT_EQ(MessageDlg(L"Готово", TMsgDlgType::mtWarning, TMsgDlgButtons::mbOK),
              TModalResult::mrOk);
    EXPECT_FALSE(closing.TimedOut());

    // A retry question closed by its close box gives up rather than retrying.
    Script closingRetry;
    closingRetry.Then([&] {
        const HWND box = FindWindowOf(kMessageDialogClass);
        if (box == nullptr) {
            return false;
        }
        PostMessageW(box, WM_CLOSE, 0, 0);
        return true;
    });
    closingRetry.Start();
    EXPECT_EQ(MessageDlg(L"Файлы заняты", TMsgDlgType::mtWarning, TMsgDlgButtons::mbRetryCancel),
              TModalResult::mrCancel);
    EXPECT_FALSE(closingRetry.TimedOut());
}

TEST(MessageDialog, LongTextsWrapAndTheBoxStaysOnTheScreen) {
    std::wstring text;
    for (int i = 0; i < 60; ++i) {
        text += L"Очень длинное сообщение об ошибке ";
    }
    RECT box{};
    Script script;
    script.Then([&] {
        const HWND window = FindWindowOf(kMessageDialogClass);
        if (window == nullptr) {
            return false;
        }
        GetWindowRect(window, &box);
        Click(FindChild(window, L"OK", L"Button"));
        return true;
    });
    script.Start();
    MessageDlg(text, TMsgDlgType::mtError, TMsgDlgButtons::mbOK);
    EXPECT_GE(box.left, 0);
    EXPECT_LE(box.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_GE(box.top, 0);
    EXPECT_GT(box.bottom - box.top, 100); // several lines
}
