#include "app/Main.h"

#include <shlwapi.h>

#include "base/LongPath.h"
#include "app/LoadPngResource.h"
#include "app/SessionEnd.h"
#include "install/portable/TargetPath.h"
#include "app/portable/BackgroundComposer.h"
#include "files/DirectoryTree.h"
#include "install/InstallLog.h"
#include "install/InstallRun.h"
#include "install/WorkerWait.h"
#include "base/AppError.h"
#include "base/Resources.h"
#include "ResourceIds.h"
#include "shared/VS_Common_Proc.h"
#include "shared/VS_Common_Var.h"
#include "system/DisplayFontSize.h"
#include "ui/Application.h"
#include "shared/UserDialogs.h"

using base::AppError;
using base::FullPathOf;
using base::ResourceBytes;
using files::CreateDirectoryIfMissing;
using install::CheckTargetPath;
using install::InstallEnvironment;
using install::RunInstallLogged;
using install::RunOnWorker;
using install::TTargetPath;
using install::TTargetPathVerdict;
using install::TUnattended;
using install::TWizardPage;
using shared::BaseDir;
using shared::GetResString;
using shared::IUserDialogs;
using shared::mtMessage;
using sys::ChangeFontSize;
using sys::ISystemActions;

namespace app {

using ui::Application;
using ui::Image32;
using ui::kOpaqueWhite;
using ui::kSingleFrameStyle;
using ui::SetScreenCursor;
using ui::TAlign;
using ui::TButtonStyle;
using ui::TCursor;
using ui::TFontSpec;
using ui::TForm;
using ui::TGlyphButton;
using ui::TMemo;
using ui::TModalResult;
using ui::TMsgDlgButtons;
using ui::TMsgDlgType;
using ui::TPanel;
using ui::TTabSheet;
using ui::TWindow;

bool IsSisterBrand = false;

namespace {

constexpr COLORREF kNavy = RGB(0, 0, 128);
constexpr COLORREF kMaroon = RGB(128, 0, 0);
constexpr COLORREF kBarBorder = RGB(190, 200, 212);
constexpr int kBarBorderWidth = 2;

// Docked controls are ordered by their places: a control docked next to
// another starts just inside it, so that the other stays the outer one.

TFontSpec FontOf(const wchar_t* name, int height, BYTE charset = DEFAULT_CHARSET) {
    TFontSpec font;
    font.Name = name;
    font.Height = height;
    font.Charset = charset;
    return font;
}

void DockButton(TGlyphButton& button, TAlign align, int width, const TWindow* outer = nullptr) {
    const int left = outer != nullptr ? outer->Left() - width : button.Parent()->ClientWidth();
    button.SetBounds(align == TAlign::alRight ? left : 0, 0, width, button.Height());
    button.SetAlign(align);
}

// A panel docked at the bottom: at the page's edge, or above `outer`.
void DockAtBottom(TPanel& panel, int height, const TWindow* outer = nullptr) {
    const int top = outer != nullptr ? outer->Top() - height : panel.Parent()->ClientHeight();
    panel.SetBounds(0, top, panel.Parent()->ClientWidth(), height);
    panel.SetAlign(TAlign::alBottom);
}

void MakeSpacer(TPanel& spacer, int height, const TWindow& outer) {
    DockAtBottom(spacer, height, &outer);
    spacer.SetTabStop(false);
}

void MakeMemo(TMemo& memo, const TFontSpec& font, COLORREF textColor,
              const std::vector<std::wstring>& lines) {
    memo.SetFont(font);
    memo.SetFontColor(textColor);
    memo.SetParentColor();
    memo.SetReadOnly(true);
    memo.SetBorder(false);
    memo.SetTabStop(false);
    memo.SetLines(lines);
}

// Upper case by the system's case mapping (Cyrillic included).
std::wstring UpperCase(std::wstring text) {
    if (!text.empty()) {
        CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    }
    return text;
}

} // namespace

void CreateTargetDirectories(const std::wstring& path) {
    for (const std::wstring& directory : {path, path + L"Settings\\"}) {
        CreateDirectoryIfMissing(directory);
    }
}

std::wstring TargetAgainstInstaller(const std::wstring& path) {
    return FullPathOf(PathIsRelativeW(path.c_str()) ? BaseDir + path : path);
}

bool IsSisterBrandName(const std::wstring& productName) {
    return UpperCase(productName) == UpperCase(L"Тиресан");
}

TButtonBar::TButtonBar(TWindow& page, int height) : TPanel(page) {
    DockAtBottom(*this, height);
    SetBorderWidth(kBarBorderWidth);
    SetBorderColor(kBarBorder);
}

int TLogListLog::Add(const std::wstring& line) {
    const int index = list_.Add(line);
    list_.MakeVisible(index);
    return index;
}

TFMain::TFMain(IUserDialogs& dialogs, ISystemActions& system)
    : TFMain(dialogs, system, shellTaskbar_) {}

TFMain::TFMain(IUserDialogs& dialogs, ISystemActions& system, ITaskbarButton& taskbar)
    : TForm(kMainFormClass, kSingleFrameStyle), dialogs_(dialogs), system_(system),
      taskbar_(taskbar) {
    SetCaption(L"Установка комплекса");
    SetFont(FontOf(L"MS Sans Serif", 13));
    SetClientSize(954, 579);
    CenterOnScreen();
    // Every control on the pages without a font of its own (the bar buttons,
    // the path field, the check box, the log) is drawn in the pages' font.
    InsatallPages.SetFont(FontOf(L"Tahoma", 15));
    CreateStartPage();
    CreateInputPathPage();
    CreateInputComponentsPage();
    CreateProgressPage();
    CreateCancelPage();
    CreateChangeFontSizePage();
    WireHandlers();
    FormCreate();
}

void TFMain::CreateStartPage() {
    DockButton(BtnCancel, TAlign::alLeft, 99);
    DockButton(BtnStartNext, TAlign::alRight, 98);
    MakeSpacer(PnlStartSpacer, 4, PnlStartBar);
    MakeMemo(MemoStart, FontOf(L"Times New Roman", 20), kNavy,
             {L"Добро пожаловать в программу установки комплекса ", L"\"ВЕСТАР\"!", L"",
              L"Для продолжения установки, нажмите кнопку \"Далее\".", L"",
              L"Для выхода из программы установки нажмите кнопку \"Отмена\"."});
    MemoStart.SetAlign(TAlign::alClient);
}

void TFMain::CreateInputPathPage() {
    MakeMemo(MemoInputPath, FontOf(L"Times New Roman", 20), RGB(0, 0, 0),
             {L"Пожалуйста, задайте путь куда устанавливать программную часть ",
              L"комплекса \"Вестар\""});
    MemoInputPath.SetHeight(60);
    MemoInputPath.SetAlign(TAlign::alTop);
    PnlPath.SetHeight(32);
    PnlPath.SetAlign(TAlign::alTop);
    PnlPath.SetBorderWidth(2);
    ePath.SetFrameColor(GetSysColor(COLOR_BTNFACE));
    TButtonStyle selectStyle;
    selectStyle.HotTrack = RGB(255, 199, 60);
    selectStyle.Highlight = RGB(106, 141, 244);
    BtnSelectPath.SetButtonStyle(selectStyle);
    PnlPath.OnResize = [this] { PlacePathControls(); };
    PlacePathControls();
    DockButton(BtnCancel2, TAlign::alLeft, 99);
    DockButton(BtnInputPathNext, TAlign::alRight, 98);
}

// The path field fills the panel; "Выбрать" (91 x 24) sits at its right.
void TFMain::PlacePathControls() {
    const int border = PnlPath.BorderWidth();
    const int inner = PnlPath.ClientWidth() - 2 * border;
    const int height = PnlPath.ClientHeight() - 2 * border;
    BtnSelectPath.SetBounds(border + inner - 91, (PnlPath.ClientHeight() - 24) / 2, 91, 24);
    ePath.SetBounds(border, border, std::max(inner - 91 - 4, 0), height);
}

void TFMain::CreateInputComponentsPage() {
    DockButton(BtnCancel4, TAlign::alLeft, 99);
    DockButton(BtnInsatall, TAlign::alRight, 168);
    DockButton(BtnInputComponentsBack, TAlign::alRight, 98, &BtnInsatall);
    MakeSpacer(PnlComponentsSpacer, 4, PnlComponentsBar);
    DockAtBottom(PnlOptions, 123, &PnlComponentsSpacer);
    PnlOptions.SetBorderWidth(2);
    PnlOptions.SetBorderColor(kBarBorder);
    CBWindows.SetBounds(0, 95, 207, 26);
    SendMessageW(CBWindows.Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), 20);
    CBWindows.Add(L"Windows 7, Windows 8");
    CBWindows.Add(L"Windows XP");
    CBWindows.SetItemIndex(0);
    CBWindows.Hide();
    CbDriverInstal.SetBounds(246, 101, 184, 20);
    CbDriverInstal.SetChecked(true);
    MakeMemo(
        MemoInputComponents, FontOf(L"Tahoma", 15), RGB(0, 0, 0),
        {L" - Если у Вас есть 2-х канальный кабель для регистрации детских ЭКГ, поставьте ",
         L"галочку в поле \"Регистрация 2-х канальной ЭКГ\".",
         L" - Если у Вас есть универсальный регистратор, поставьте галочку в поле ",
         L"\"Универсальный регистратор\".",
         L" - Если у Вас установлен монитор АД \"BPLab\", поставьте галочку в поле \"установлен ",
         L"монитор АД \"BPLab\"\".", L"",
         L" - Задайте, пожалуйста, тип ЭКГ, который Вы чаще всего будете регистрировать.", L"",
         L" - Нажмите кнопку \"Начать установку\", для того чтобы установить программное ",
         L"обеспечение на Ваш компъютер.", L"",
         L"Все настройки можно изменить позже, во время работы с программой ",
         L"\"Вестар\" в меню \"Настройки\"."});
    MemoInputComponents.SetAlign(TAlign::alClient);
}

void TFMain::CreateProgressPage() {
    DockButton(BtnExit, TAlign::alRight, 99);
    MakeSpacer(PnlProgressSpacer, 4, PnlProgressBar);
    LogList.SetItemHeight(18);
    // The log lies on its page's colour, not on the list box's white.
    LogList.SetParentColor();
    LogList.SetTabStop(false);
    LogList.SetAlign(TAlign::alClient);
    LogList.Hide();
}

void TFMain::CreateCancelPage() {
    MakeMemo(MemoCancel, FontOf(L"Times New Roman", 20), kMaroon,
             {L"Установка комплекса \"Вестар\" отменена!", L"",
              L"Нажмите кнопку \"Выход\", для выхода из программы установки."});
    MemoCancel.SetHeight(177);
    MemoCancel.SetAlign(TAlign::alTop);
    DockButton(BtnExitCancel, TAlign::alRight, 99);
}

void TFMain::CreateChangeFontSizePage() {
    DockButton(BtnExitOnChangefont, TAlign::alRight, 99);
    DockButton(BtnChangeFont, TAlign::alRight, 196, &BtnExitOnChangefont);
    MakeSpacer(PnlFontSizeSpacer, 3, PnlFontSizeBar);
    MakeMemo(MemoChangeFontSize, FontOf(L"Tahoma", 15), RGB(0, 0, 0),
             {L"В настройках операционной системы Вашего компьютера выбрано использование ",
              L"\"мелкого\" размера шрифта.", L"",
              L"Для корректной работы программы \"Вестар\" требуется использование ",
              L"\"крупного\" размера шрифта.", L"",
              L"Рекомендуется произвести изменения. Для этого надо нажать кнопку \"Изменить ",
              L"настройки\". В появившемся окне надо ответить \"Да\".", L"",
              L"Если Вы считаете, что установка \"крупного\" размера шрифта Вам не нужна, ",
              L"нажмите кнопку \"Выход\"."});
    MemoChangeFontSize.SetAlign(TAlign::alClient);
}

void TFMain::WireHandlers() {
    BG.OnResize = [this] { BGResize(); };
    BtnStartNext.OnClick = [this] { BtnStartNextClick(BtnStartNext); };
    BtnSelectPath.OnClick = [this] { BtnSelectPathClick(BtnSelectPath); };
    BtnInputPathNext.OnClick = [this] { BtnInputPathNextClick(BtnInputPathNext); };
    tsInputComponents.OnShow = [this] { tsInputComponentsShow(tsInputComponents); };
    BtnInputComponentsBack.OnClick = [this] {
        BtnInputComponentsBackClick(BtnInputComponentsBack);
    };
    BtnInsatall.OnClick = [this] { BtnInsatallClick(BtnInsatall); };
    for (TGlyphButton* cancel : {&BtnCancel, &BtnCancel2, &BtnCancel4}) {
        cancel->OnClick = [this, cancel] { BtnCancelClick(*cancel); };
    }
    for (TGlyphButton* exit : {&BtnExit, &BtnExitCancel, &BtnExitOnChangefont}) {
        exit->OnClick = [this, exit] { BtnExitClick(*exit); };
    }
    BtnChangeFont.OnClick = [this] { BtnChangeFontClick(BtnChangeFont); };
    OnCloseQuery = [this](bool& canClose) { FormCloseQuery(*this, canClose); };
}

void TFMain::FormCreate() {
    LoadBitmaps();
    app::IsSisterBrand =
        IsSisterBrandName(GetResString(GetModuleHandleW(nullptr), IDS_PRODUCT_NAME));
    LoadInfo();
    AppNameStr = GetResString(GetModuleHandleW(nullptr), IDS_APP_DIR_NAME);
    ePath.SetText(L"C:\\" + AppNameStr);
    FCanClose = true;
    InsatallPages.ShowPage(tsStart);
    BtnExit.SetEnabled(false);
    ApplyTitleColor();
    BG.SetAlign(TAlign::alClient);
    BG.SendToBack();
}

void TFMain::LoadBitmaps() {
    LoadPngResource(BG_bmp, L"BACKGROUND");
    LoadPngResource(Panels_bmp, L"MAIN");
    LoadPngResource(Logo_bmp, L"LOGO");
    LoadPngResource(Title_pnl_l_bmp, L"TITLE_PNL_L");
    LoadPngResource(Title_pnl_r_bmp, L"TITLE_PNL_R");
    LoadPngResource(Title_pnl_m_bmp, L"TITLE_PNL_M");
    LoadPngResource(Title_bmp, L"TITLE");
}

// The information panel shows the INFO document, its formatting kept.
void TFMain::LoadInfo() {
    RichEdit1.SetFont(FontOf(L"MS Sans Serif", 13, RUSSIAN_CHARSET));
    RichEdit1.SetBevel(true);
    RichEdit1.SetInnerBorder(4);
    RichEdit1.SetTabStop(false);
    const std::span<const std::uint8_t> document =
        ResourceBytes(GetModuleHandleW(nullptr), L"INFO", RT_RCDATA);
    if (document.data() == nullptr) {
        throw AppError(L"Resource INFO not found");
    }
    // At its final width before the document streams in: laid out at the
    // width it is created with, the document took three times as long.
    PlaceRichEdit();
    RichEdit1.LoadRtf(document.data(), document.size());
}

// The title's ground colour for the information panel and the pages, and
// for the path panel's border, so that the frame vanishes into the page.
void TFMain::ApplyTitleColor() {
    const COLORREF color = TitleColor(Title_bmp);
    RichEdit1.SetColor(color);
    InsatallPages.SetColor(color);
    PnlPath.SetBorderColor(InsatallPages.Color());
}

// Composes straight into the surface's off-screen buffer, then shows it with
// one repaint.
void TFMain::BGResize() {
    Image32& surface = BG.Buffer();
    surface = Image32(BG.ClientWidth(), BG.ClientHeight(), kOpaqueWhite);
    ComposeBackground(surface, BackgroundImages{BG_bmp, Panels_bmp, Logo_bmp, Title_pnl_l_bmp,
                                                Title_pnl_r_bmp, Title_pnl_m_bmp, Title_bmp});
    PlaceRichEdit();
    InsatallPages.SetBounds(kInsatallPagesRect.left, kInsatallPagesRect.top,
                            kInsatallPagesRect.width, kInsatallPagesRect.height);
    BG.Present();
}

void TFMain::PlaceRichEdit() {
    RichEdit1.SetBounds(kRichEdit1Rect.left, kRichEdit1Rect.top, kRichEdit1Rect.width,
                        kRichEdit1Rect.height);
}

void TFMain::BtnStartNextClick(TWindow&) {
    InsatallPages.ShowPage(tsInputPath);
    ePath.TakeFocus();
}

void TFMain::BtnSelectPathClick(TWindow&) {
    if (auto folder = dialogs_.BrowseForFolder(L"Выберете путь для установки программ")) {
        ePath.SetText(*folder);
    }
}

void TFMain::BtnInputPathNextClick(TWindow&) {
    const TTargetPath target = CheckTargetPath(ePath.Text());
    if (target.verdict == TTargetPathVerdict::Empty) {
        dialogs_.MessageDlg(kEmptyPathText, TMsgDlgType::mtError, TMsgDlgButtons::mbOK);
        ePath.TakeFocus();
        return;
    }
    ePath.SetText(target.path);
    if (target.verdict == TTargetPathVerdict::Root) {
        dialogs_.MessageDlg(kRootPathText, TMsgDlgType::mtWarning, TMsgDlgButtons::mbOK);
        ePath.TakeFocus();
        return;
    }
    const std::wstring path = TargetAgainstInstaller(target.path);
    ePath.SetText(path);
    CreateTargetDirectories(path);
    InsatallPages.ShowPage(tsInputComponents);
}

void TFMain::tsInputComponentsShow(TWindow&) {
    dialogs_.ShowTimedMessage(L"Внимание!\r Если на вашем компьютере уже установлен комплекс "
                              L"\"Вестар\",\r снимите галочку установки драйвера!",
                              mtMessage, L"", 0);
}

void TFMain::BtnInputComponentsBackClick(TWindow&) {
    InsatallPages.ShowPage(tsInputPath);
}

// The run processes messages while it copies; a click that reaches the
// hidden button meanwhile (a key press, or a message from another program)
// must not start a second run inside the first.
void TFMain::BtnInsatallClick(TWindow&) {
    if (installing_) {
        return;
    }
    RunLoggedInstall(std::nullopt);
}

int TFMain::RunLoggedInstall(const std::optional<TUnattended>& unattended) {
    installing_ = true;
    const struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{installing_};
    ExitCode = 2; // what an error passing through leaves
    ExitCode = RunInstallLogged(InstallEnvironment{*this, dialogs_, system_,
                                                   GetModuleHandleW(nullptr), BaseDir, unattended},
                                LogTargets);
    return ExitCode;
}

void TFMain::BtnCancelClick(TWindow&) {
    if (dialogs_.MessageDlg(L"Вы уверены, что хотите отменить процесс установки?",
                            TMsgDlgType::mtConfirmation,
                            TMsgDlgButtons::mbYesNo) == TModalResult::mrYes) {
        FCanClose = true;
        InsatallPages.ShowPage(tsCancel);
    }
}

void TFMain::BtnExitClick(TWindow&) {
    TForm::Close();
}

void TFMain::BtnChangeFontClick(TWindow&) {
    ChangeFontSize(system_, dialogs_, [this] { TForm::Close(); });
}

void TFMain::FormCloseQuery(TWindow&, bool& canClose) {
    canClose = FCanClose && (!installing_ || runCloses_);
}

void TFMain::Close() {
    runCloses_ = true;
    TForm::Close();
    runCloses_ = false;
}

void TFMain::SetCanClose(bool canClose) {
    FCanClose = canClose;
    SetShutdownBlock(Handle(), !canClose);
}

LRESULT TFMain::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_QUERYENDSESSION) {
        return AnswerQueryEndSession(FCanClose);
    }
    if (message == WM_ENDSESSION) {
        AnswerEndSession(wParam);
        return 0;
    }
    return TForm::WndProc(message, wParam, lParam);
}

TTabSheet& TFMain::Sheet(TWizardPage page) {
    switch (page) {
    case TWizardPage::tsStart:
        return tsStart;
    case TWizardPage::tsInputPath:
        return tsInputPath;
    case TWizardPage::tsInputComponents:
        return tsInputComponents;
    case TWizardPage::tsProgressInstall:
        return tsProgressInstall;
    case TWizardPage::tsCancel:
        return tsCancel;
    case TWizardPage::tsChangeFontSize:
        break;
    }
    return tsChangeFontSize;
}

void TFMain::ShowPage(TWizardPage page) {
    InsatallPages.ShowPage(Sheet(page));
}

void TFMain::ClearAndShowLog() {
    LogList.Clear();
    LogList.Show();
}

void TFMain::SetHourglass(bool hourglass) {
    SetScreenCursor(hourglass ? TCursor::crHourGlass : TCursor::crDefault);
}

void TFMain::ProcessMessages() {
    ui::ProcessMessages();
}

void TFMain::WaitFor(const std::function<void()>& work, const std::function<void()>& tick) {
    RunOnWorker(
        work, [this] { ProcessMessages(); }, tick);
}

void TFMain::ShowProgress(uint64_t done, uint64_t total) {
    taskbar_.ShowProgress(Application().Handle(), done, total);
}

} // namespace app
