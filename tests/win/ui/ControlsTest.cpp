// The controls as real child windows: captions are window texts, the list
// box's line protocol, the glyph button's look, docking, pages, colours.
#include <gtest/gtest.h>

#include <functional>
#include <windows.h>

#include <commctrl.h>
#include <richedit.h>

#include "UiDriver.h"
#include "base/AppError.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/ComboBox.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Label.h"
#include "ui/ListBox.h"
#include "ui/PageControl.h"
#include "ui/Panel.h"
#include "ui/PixelSurface.h"
#include "ui/ProgressBar.h"
#include "ui/RichEdit.h"
#include "ui/Timer.h"

using base::AppError;
using ui::Image32;
using ui::kSingleFrameStyle;
using ui::ScreenCursor;
using ui::SetScreenCursor;
using ui::TAlign;
using ui::TCheckBox;
using ui::TComboBox;
using ui::TCursor;
using ui::TEdit;
using ui::TForm;
using ui::TGlyph;
using ui::TGlyphButton;
using ui::TLabel;
using ui::TListBox;
using ui::TMemo;
using ui::TPageControl;
using ui::TPanel;
using ui::TPixelSurface;
using ui::TProgressBar;
using ui::TRichEdit;
using ui::TTabSheet;
using ui::TTimer;

using namespace uidriver;

namespace {

class TTestForm : public TForm {
  public:
    TTestForm() : TForm(L"TTestForm", kSingleFrameStyle) {
        SetClientSize(400, 300);
        Show();
    }
};

bool IsGrey(COLORREF c) {
    return std::abs(GetRValue(c) - GetGValue(c)) < 12 && std::abs(GetGValue(c) - GetBValue(c)) < 12;
}

// The count of clearly coloured (not grey) pixels of a button as it paints
// itself on the screen now.
// The count of a button's pixels, as it paints itself on the screen now, that
// `which` picks.
int CountPixels(TGlyphButton& button, const std::function<bool(COLORREF)>& which) {
    RedrawWindow(button.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HDC dc = GetDC(button.Handle());
    int count = 0;
    for (int y = 0; y < button.Height(); ++y) {
        for (int x = 0; x < button.Width(); ++x) {
            if (which(GetPixel(dc, x, y))) {
                ++count;
            }
        }
    }
    ReleaseDC(button.Handle(), dc);
    return count;
}

int ColouredPixels(TGlyphButton& button) {
    return CountPixels(button, [](COLORREF c) {
        return !IsGrey(c) && c != RGB(0, 60, 116) && c != RGB(244, 244, 240);
    });
}

// The count of a button's pixels of exactly `colour`.
int PixelsOf(TGlyphButton& button, COLORREF colour) {
    return CountPixels(button, [colour](COLORREF c) { return c == colour; });
}

} // namespace

TEST(ListBox, LinesAreAppendedReadAndRewrittenInPlace) {
    TTestForm form;
    TListBox log(form);
    log.SetBounds(0, 0, 300, 200);
    EXPECT_EQ(log.Add(L"Каталог создан..."), 0);
    EXPECT_EQ(log.Add(L"Копирование файла base.fdb...."), 1);
    EXPECT_EQ(log.Add(L"Копирование файла fbclient.dll...."), 2);
    log.SetLine(1, log.Line(1) + L"Завершено");
    EXPECT_EQ(log.Count(), 3);
    EXPECT_EQ(log.Line(0), L"Каталог создан...");
    EXPECT_EQ(log.Line(1), L"Копирование файла base.fdb....Завершено");
    EXPECT_EQ(log.Line(2), L"Копирование файла fbclient.dll....");
    EXPECT_EQ(log.Add(L"next"), 3);
    EXPECT_THROW(log.SetLine(4, L"x"), AppError);
    EXPECT_THROW(log.Line(-1), AppError);

    EXPECT_EQ(log.ItemHeight(), 18);
    EXPECT_EQ(uidriver::ClassName(log.Handle()), L"ListBox");
    EXPECT_FALSE(HasStyle(log.Handle(), WS_TABSTOP));
    log.Clear();
    EXPECT_EQ(log.Count(), 0);
    EXPECT_EQ(log.Add(L"again"), 0);
}

TEST(GlyphButton, CaptionIsTheWindowTextAndDisabledLooksGrey) {
    TTestForm form;
    TPanel bar(form);
    bar.SetBounds(0, 0, 400, 40);
    TGlyphButton next(bar, L"Далее", TGlyph::Next);
    next.SetBounds(10, 2, 98, 36);
    EXPECT_EQ(WindowText(next.Handle()), L"Далее");
    EXPECT_EQ(ClassName(next.Handle()), L"Button");
    next.SetCaption(L"Начать установку");
    next.SetBounds(10, 2, 168, 36);
    EXPECT_EQ(WindowText(next.Handle()), L"Начать установку");
    EXPECT_EQ(FindChild(form.Handle(), L"Начать установку", L"Button"), next.Handle());

    int clicks = 0;
    next.OnClick = [&] { ++clicks; };
    Click(next.Handle());
    PumpUntil([&] { return clicks == 1; }, 2000);
    EXPECT_EQ(clicks, 1);

    EXPECT_GT(ColouredPixels(next), 10); // the blue arrow
    // The pointer over the button lights it up until it leaves.
    constexpr COLORREF kHotTrack = RGB(255, 199, 60);
    EXPECT_EQ(PixelsOf(next, kHotTrack), 0);
    SendMessageW(next.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_GT(PixelsOf(next, kHotTrack), 100); // a frame two pixels wide
    SendMessageW(next.Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(PixelsOf(next, kHotTrack), 0);
    next.SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(next.Handle()));
    EXPECT_EQ(ColouredPixels(next), 0); // greyed glyph, grey text
    next.Click();                       // the programmatic click still runs
    EXPECT_EQ(clicks, 2);

    // Without a glyph: nothing coloured but the frames of the pointer and the
    // focus.
    TGlyphButton select(form, L"Выбрать");
    select.SetBounds(10, 50, 91, 24);
    EXPECT_EQ(ColouredPixels(select), 0);
    SendMessageW(select.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(ColouredPixels(select), PixelsOf(select, kHotTrack));
    EXPECT_GT(PixelsOf(select, kHotTrack), 0);
    SendMessageW(select.Handle(), WM_MOUSELEAVE, 0, 0);
    SetFocus(select.Handle());
    EXPECT_GT(PixelsOf(select, RGB(106, 141, 244)), 0);
}

TEST(Docking, BarsStackFromTheEdgesAndTheClientTakesTheRest) {
    TTestForm form;
    TPanel page(form);
    page.SetBounds(0, 0, 400, 300);
    TMemo memo(page);
    TPanel spacer(page);
    TPanel bar(page);
    bar.SetHeight(42);
    bar.SetAlign(TAlign::alBottom);
    spacer.SetBounds(0, 0, 400, 4);
    spacer.SetAlign(TAlign::alBottom);
    memo.SetAlign(TAlign::alClient);
    TGlyphButton cancel(bar, L"Отмена");
    cancel.SetBounds(0, 0, 99, 42);
    cancel.SetAlign(TAlign::alLeft);
    TGlyphButton next(bar, L"Далее");
    next.SetBounds(0, 0, 98, 42);
    next.SetAlign(TAlign::alRight);

    EXPECT_EQ(bar.Top(), 258);
    EXPECT_EQ(spacer.Top(), 254);
    EXPECT_EQ(memo.Height(), 254);
    EXPECT_EQ(cancel.Left(), 0);
    EXPECT_EQ(cancel.Height(), 42);
    EXPECT_EQ(next.Left(), 302);

    // Moving a bottom band below another makes it the lowest.
    spacer.SetTop(bar.Top() + bar.Height() + 2);
    EXPECT_EQ(spacer.Top(), 296);
    EXPECT_EQ(bar.Top(), 254);
    // Hidden bands give their room back.
    spacer.Hide();
    EXPECT_EQ(bar.Top(), 258);
    EXPECT_EQ(memo.Height(), 258);
}

TEST(Docking, ControlsDockedOnAHiddenPageArePlacedWhenItShows) {
    TTestForm form;
    TPageControl pages(form);
    TTabSheet page(pages);
    TPanel bar(page);
    bar.SetBounds(0, page.ClientHeight(), page.ClientWidth(), 42);
    bar.SetAlign(TAlign::alBottom);
    bar.SetBorderWidth(1);
    TGlyphButton cancel(bar, L"Отмена", TGlyph::Cancel);
    cancel.SetBounds(0, 0, 99, cancel.Height());
    cancel.SetAlign(TAlign::alLeft);
    TGlyphButton next(bar, L"Далее", TGlyph::Next);
    next.SetBounds(bar.ClientWidth() - 98, 0, 98, next.Height());
    next.SetAlign(TAlign::alRight);
    pages.SetBounds(10, 10, 380, 250);
    pages.ShowPage(page);
    EXPECT_EQ(bar.Top(), 208);
    EXPECT_EQ(bar.Width(), 380);
    EXPECT_EQ(cancel.Left(), 1);
    EXPECT_EQ(cancel.Height(), 40);
    EXPECT_EQ(next.Left(), 380 - 1 - 98);
    EXPECT_TRUE(cancel.Showing());
    EXPECT_TRUE(next.Showing());
}

TEST(PageControl, ShowsOnePageAndRunsItsOnShowEachTimeItBecomesVisible) {
    TTestForm form;
    TPageControl pages(form);
    pages.SetBounds(10, 10, 300, 200);
    TTabSheet tsStart(pages);
    TTabSheet tsInputPath(pages);
    int shown = 0;
    tsInputPath.OnShow = [&] {
        ++shown;
        EXPECT_TRUE(tsInputPath.Visible());
        EXPECT_FALSE(tsStart.Visible());
    };
    pages.ShowPage(tsStart);
    EXPECT_TRUE(tsStart.Visible());
    EXPECT_FALSE(tsInputPath.Visible());
    EXPECT_EQ(tsStart.Width(), 300);
    EXPECT_EQ(tsStart.Height(), 200);
    pages.ShowPage(tsInputPath);
    pages.ShowPage(tsInputPath);
    EXPECT_EQ(shown, 1);
    pages.ShowPage(tsStart);
    pages.ShowPage(tsInputPath);
    EXPECT_EQ(shown, 2);

    pages.SetColor(RGB(236, 236, 235));
    EXPECT_EQ(tsInputPath.Color(), RGB(236, 236, 235));
    EXPECT_EQ(PixelOf(tsInputPath.Handle(), 5, 5), RGB(236, 236, 235));
}

TEST(Colours, ControlsTakeTheirParentsColour) {
    TTestForm form;
    TPanel panel(form);
    panel.SetBounds(0, 0, 300, 100);
    panel.SetColor(RGB(200, 220, 240));
    TLabel label(panel, L"x");
    label.SetBounds(10, 10, 100, 20);
    TMemo memo(panel);
    memo.SetBounds(10, 40, 200, 50);
    memo.SetParentColor();
    memo.SetLines({L"Добро пожаловать ", L"", L"конец"});
    EXPECT_EQ(PixelOf(label.Handle(), 90, 10), RGB(200, 220, 240));
    EXPECT_EQ(PixelOf(memo.Handle(), 190, 45), RGB(200, 220, 240));
    EXPECT_EQ(memo.Lines(), (std::vector<std::wstring>{L"Добро пожаловать ", L"", L"конец"}));
    panel.SetColor(RGB(10, 120, 30));
    EXPECT_EQ(PixelOf(label.Handle(), 90, 10), RGB(10, 120, 30));

    // A bordered panel: the frame in its colour, the corner in the parent's.
    panel.SetBorderWidth(2);
    panel.SetBorderColor(RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(panel.Handle(), 150, 0), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(panel.Handle(), 0, 0), form.Color());
}

TEST(Label, AutoSizeFollowsTheWrappedText) {
    TTestForm form;
    TLabel label(form);
    label.SetBounds(0, 0, 200, 10);
    label.SetWordWrap(true);
    label.SetAutoSize(true);
    label.SetCaption(L"one");
    const int oneLine = label.Height();
    EXPECT_GT(oneLine, 8);
    label.SetCaption(L"one\rtwo\rthree");
    EXPECT_EQ(label.Height(), 3 * oneLine);
    label.SetCaption(std::wstring(200, L'w'));
    EXPECT_GT(label.Height(), 3 * oneLine);
    EXPECT_EQ(label.Width(), 200);
}

TEST(Controls, CheckBoxComboBoxEditProgressBar) {
    TTestForm form;
    TCheckBox driver(form, L"Устанавливать драйвер");
    driver.SetBounds(10, 10, 184, 20);
    driver.SetChecked(true);
    EXPECT_TRUE(driver.Checked());
    EXPECT_EQ(WindowText(driver.Handle()), L"Устанавливать драйвер");
    Click(driver.Handle());
    PumpFor(50);
    EXPECT_FALSE(driver.Checked());

    TComboBox windows(form);
    EXPECT_EQ(windows.Add(L"Windows 7, Windows 8"), 0);
    EXPECT_EQ(windows.Add(L"Windows XP"), 1);
    windows.SetItemIndex(0);
    EXPECT_EQ(windows.ItemIndex(), 0);
    EXPECT_EQ(ComboItem(windows.Handle(), 1), L"Windows XP");
    EXPECT_EQ(SendMessageW(windows.Handle(), CB_GETCOUNT, 0, 0), 2);

    TEdit path(form, L"C:\\Holter");
    EXPECT_EQ(path.Text(), L"C:\\Holter");
    path.SetFrameColor(GetSysColor(COLOR_BTNFACE));
    path.SetText(L"D:\\");
    EXPECT_EQ(WindowText(path.Handle()), L"D:\\");

    TProgressBar bar(form);
    bar.SetRange(0, 25);
    bar.SetStep(1);
    for (int i = 0; i < 25; ++i) {
        bar.StepIt();
    }
    EXPECT_EQ(SendMessageW(bar.Handle(), PBM_GETPOS, 0, 0), 25);
    bar.StepIt();
    EXPECT_EQ(SendMessageW(bar.Handle(), PBM_GETPOS, 0, 0), 1);
    EXPECT_EQ(SendMessageW(bar.Handle(), PBM_GETRANGE, FALSE, 0), 25);
}

TEST(Timer, FiresWhileEnabledAndNotAfter) {
    TTimer timer(20, false);
    int ticks = 0;
    timer.OnTimer = [&] { ++ticks; };
    PumpFor(80);
    EXPECT_EQ(ticks, 0);
    timer.SetEnabled(true);
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }, 2000));
    timer.SetEnabled(false);
    const int stopped = ticks;
    PumpFor(100);
    EXPECT_EQ(ticks, stopped);
}

TEST(PixelSurface, ShowsItsBufferAndItsColourBeyond) {
    TTestForm form;
    TPixelSurface surface(form);
    surface.SetBounds(0, 0, 100, 80);
    surface.SetColor(RGB(0, 0, 255));
    Image32& buffer = surface.Buffer();
    buffer.width = 50;
    buffer.height = 40;
    buffer.pixels.assign(std::size_t{50} * 40, 0xFF102030u);
    buffer.pixels[0] = 0xFFFF0000u;
    surface.Present();
    EXPECT_EQ(PixelOf(surface.Handle(), 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(surface.Handle(), 49, 39), RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(PixelOf(surface.Handle(), 60, 10), RGB(0, 0, 255));
    EXPECT_EQ(PixelOf(surface.Handle(), 10, 60), RGB(0, 0, 255));
}

TEST(RichEdit, LoadsRtfReadOnlyWithItsBackground) {
    TTestForm form;
    TRichEdit info(form);
    info.SetBounds(0, 0, 300, 200);
    const std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fcharset204 Tahoma;}}"
        "\\f0 \\'c2\\'e5\\'f1\\'f2\\'e0\\'f0 \\b bold\\b0\\par}";
    info.LoadRtf(rtf.data(), rtf.size());
    EXPECT_EQ(info.Text().substr(0, 11), L"Вестар bold");
    EXPECT_EQ(_wcsicmp(ClassName(info.Handle()).c_str(), L"RICHEDIT50W"), 0);
    EXPECT_TRUE(HasStyle(info.Handle(), ES_READONLY));
    info.SetColor(RGB(236, 236, 235));
    info.SetInnerBorder(4);
    EXPECT_EQ(PixelOf(info.Handle(), 1, 150), RGB(236, 236, 235));
}

TEST(ScreenCursor, TheHourglassShowsOverEveryWindowUntilReset) {
    TTestForm form;
    TListBox log(form);
    log.SetBounds(0, 0, 100, 100);
    const HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    SetScreenCursor(TCursor::crHourGlass);
    SetCursor(nullptr);
    SendMessageW(log.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(log.Handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), wait);
    SetScreenCursor(TCursor::crDefault);
    EXPECT_EQ(ScreenCursor(), TCursor::crDefault);
    SendMessageW(log.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(log.Handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_NE(GetCursor(), wait);
}
