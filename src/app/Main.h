#pragma once
// The installer's main window: the painted background, the information
// panel and the wizard's pages with their buttons.
#include <string>

#include "app/TaskbarProgress.h"
#include "ui/portable/Image32.h"
#include "install/InstallHost.h"
#include "install/InstallLog.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/ComboBox.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/ListBox.h"
#include "ui/PageControl.h"
#include "ui/Panel.h"
#include "ui/PixelSurface.h"
#include "ui/RichEdit.h"

namespace sys {
class ISystemActions;
}
namespace shared {
class IUserDialogs;
}

namespace app {

constexpr wchar_t kMainFormClass[] = L"TFMain";

// Whether the program is the sister brand's build (string resource 1 is
// "Тиресан" in any letter case); fixed when the main window is created.
extern bool IsSisterBrand;

// Whether a product name names the sister brand: "Тиресан" in any letter
// case (the system's case mapping), nothing trimmed.
bool IsSisterBrandName(const std::wstring& productName);

// The path page's answers to a target path it refuses.
inline constexpr wchar_t kEmptyPathText[] = L"Не выбран путь для установки программы!";
inline constexpr wchar_t kRootPathText[] = L"Программу нелзя устанавливать в корневой каталог!";

// What the path page makes of an accepted target path (ending in a
// backslash): the directory and its "Settings\", each one level, when
// missing; whether that worked is not examined (the install run meets it).
void CreateTargetDirectories(const std::wstring& path);

// A target path as every step of the run takes it: a relative one (as the
// path page and /DIR accept) made absolute against the installer's own
// directory, once, whatever the current directory is later.
std::wstring TargetAgainstInstaller(const std::wstring& path);

class TFMain;

// A page's button bar along its bottom edge: a panel with a flat rounded
// border in the page's colour.
class TButtonBar : public ui::TPanel {
  public:
    TButtonBar(ui::TWindow& page, int height);
};

// The progress log on the progress page.
class TLogListLog : public install::IProgressLog {
  public:
    explicit TLogListLog(ui::TListBox& list) : list_(list) {}
    int Add(const std::wstring& line) override;
    std::wstring Line(int index) const override { return list_.Line(index); }
    void SetLine(int index, const std::wstring& line) override { list_.SetLine(index, line); }
    void Repaint() override { list_.Repaint(); }
    // The page shows the line as it stands; the cause goes to Install.log.
    void SetCause(int, const std::wstring&) override {}

  private:
    ui::TListBox& list_;
};

class TFMain : public ui::TForm, public install::IInstallHost {
  public:
    TFMain(shared::IUserDialogs& dialogs, sys::ISystemActions& system);
    // With the run's progress shown through `taskbar` instead of the shell's list.
    TFMain(shared::IUserDialogs& dialogs, sys::ISystemActions& system, ITaskbarButton& taskbar);

    // The seven bitmaps.
    ui::Image32 BG_bmp;
    ui::Image32 Panels_bmp;
    ui::Image32 Logo_bmp;
    ui::Image32 Title_pnl_l_bmp;
    ui::Image32 Title_pnl_r_bmp;
    ui::Image32 Title_pnl_m_bmp;
    ui::Image32 Title_bmp;
    bool FCanClose = true;
    std::wstring AppNameStr;
    std::wstring Fcopyfrom;

    ui::TPixelSurface BG{*this};
    ui::TRichEdit RichEdit1{*this};
    ui::TPageControl InsatallPages{*this};

    // tsStart
    ui::TTabSheet tsStart{InsatallPages};
    TButtonBar PnlStartBar{tsStart, 42};
    ui::TGlyphButton BtnCancel{PnlStartBar, L"Отмена", ui::TGlyph::Cancel};
    ui::TGlyphButton BtnStartNext{PnlStartBar, L"Далее", ui::TGlyph::Next};
    ui::TPanel PnlStartSpacer{tsStart};
    ui::TMemo MemoStart{tsStart};

    // tsInputPath
    ui::TTabSheet tsInputPath{InsatallPages};
    ui::TMemo MemoInputPath{tsInputPath};
    ui::TPanel PnlPath{tsInputPath};
    ui::TEdit ePath{PnlPath};
    ui::TGlyphButton BtnSelectPath{PnlPath, L"Выбрать"};
    TButtonBar PnlInputPathBar{tsInputPath, 37};
    ui::TGlyphButton BtnCancel2{PnlInputPathBar, L"Отмена", ui::TGlyph::Cancel};
    ui::TGlyphButton BtnInputPathNext{PnlInputPathBar, L"Далее", ui::TGlyph::Next};

    // tsInputComponents
    ui::TTabSheet tsInputComponents{InsatallPages};
    TButtonBar PnlComponentsBar{tsInputComponents, 37};
    ui::TGlyphButton BtnCancel4{PnlComponentsBar, L"Отмена", ui::TGlyph::Cancel};
    ui::TGlyphButton BtnInsatall{PnlComponentsBar, L"Начать установку", ui::TGlyph::Tick};
    ui::TGlyphButton BtnInputComponentsBack{PnlComponentsBar, L"Назад", ui::TGlyph::Back};
    ui::TPanel PnlComponentsSpacer{tsInputComponents};
    ui::TPanel PnlOptions{tsInputComponents};
    ui::TComboBox CBWindows{PnlOptions};
    ui::TCheckBox CbDriverInstal{PnlOptions, L"Устанавливать драйвер"};
    ui::TMemo MemoInputComponents{tsInputComponents};

    // tsProgressInstall
    ui::TTabSheet tsProgressInstall{InsatallPages};
    TButtonBar PnlProgressBar{tsProgressInstall, 37};
    ui::TGlyphButton BtnExit{PnlProgressBar, L"Выход", ui::TGlyph::Exit};
    ui::TPanel PnlProgressSpacer{tsProgressInstall};
    ui::TListBox LogList{tsProgressInstall};

    // tsCancel
    ui::TTabSheet tsCancel{InsatallPages};
    ui::TMemo MemoCancel{tsCancel};
    TButtonBar PnlCancelBar{tsCancel, 37};
    ui::TGlyphButton BtnExitCancel{PnlCancelBar, L"Выход", ui::TGlyph::Exit};

    // tsChangeFontSize
    ui::TTabSheet tsChangeFontSize{InsatallPages};
    TButtonBar PnlFontSizeBar{tsChangeFontSize, 37};
    ui::TGlyphButton BtnExitOnChangefont{PnlFontSizeBar, L"Выход", ui::TGlyph::Exit};
    ui::TGlyphButton BtnChangeFont{PnlFontSizeBar, L"Изменить настройки", ui::TGlyph::Gear};
    ui::TPanel PnlFontSizeSpacer{tsChangeFontSize};
    ui::TMemo MemoChangeFontSize{tsChangeFontSize};

    // Where the install run's log goes besides Install.log, and the exit
    // code the program ends with: 0 until a run stops or is abandoned.
    install::TLogTargets LogTargets;
    int ExitCode = 0;

    // The install run with its log on disk; sets and gives ExitCode. An
    // error raised by the run passes on (ExitCode 2 then).
    int RunLoggedInstall(const std::optional<install::TUnattended>& unattended);

    // Handlers.
    void FormCreate();
    void BGResize();
    void BtnStartNextClick(ui::TWindow& sender);
    void BtnSelectPathClick(ui::TWindow& sender);
    void BtnInputPathNextClick(ui::TWindow& sender);
    void tsInputComponentsShow(ui::TWindow& sender);
    void BtnInputComponentsBackClick(ui::TWindow& sender);
    void BtnInsatallClick(ui::TWindow& sender);
    void BtnCancelClick(ui::TWindow& sender);
    void BtnExitClick(ui::TWindow& sender);
    void BtnChangeFontClick(ui::TWindow& sender);
    void FormCloseQuery(ui::TWindow& sender, bool& canClose);

    // What the install run uses of the window.
    std::wstring PathText() const override { return ePath.Text(); }
    int WindowsIndex() const override { return CBWindows.ItemIndex(); }
    bool DriverInstallChecked() const override { return CbDriverInstal.Checked(); }
    bool IsSisterBrand() const override { return app::IsSisterBrand; }
    void ShowPage(install::TWizardPage page) override;
    void ClearAndShowLog() override;
    install::IProgressLog& Log() override { return log_; }
    void EnableExit() override { BtnExit.SetEnabled(true); }
    void SetCanClose(bool canClose) override;
    void SetHourglass(bool hourglass) override;
    void SetCopyFrom(const std::wstring& sourcePath) override { Fcopyfrom = sourcePath; }
    void ProcessMessages() override;
    void Close() override;
    void WaitFor(const std::function<void()>& work, const std::function<void()>& tick) override;
    // On the application window: it has the program's taskbar button, the
    // main form (owned by it) has none.
    void ShowProgress(uint64_t done, uint64_t total) override;

    ui::TTabSheet& Sheet(install::TWizardPage page);

  protected:
    // The session's end: refused while FCanClose is false.
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void CreateStartPage();
    void CreateInputPathPage();
    void CreateInputComponentsPage();
    void CreateProgressPage();
    void CreateCancelPage();
    void CreateChangeFontSizePage();
    void WireHandlers();
    void LoadBitmaps();
    void LoadInfo();
    void PlaceRichEdit();
    void ApplyTitleColor();
    void PlacePathControls();

    shared::IUserDialogs& dialogs_;
    sys::ISystemActions& system_;
    TLogListLog log_{LogList};
    TaskbarProgress shellTaskbar_;
    ITaskbarButton& taskbar_;
    // The install run is under way: a close request is refused until it
    // returns (its waits process messages, and the window must outlive the
    // run), except the run's own after "Yes" to the closing question.
    bool installing_ = false;
    bool runCloses_ = false;
};

} // namespace app
