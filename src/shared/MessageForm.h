#pragma once
// The timed message window: a small modal, stay-on-top window with a text,
// an OK button (or OK and Cancel) and a countdown strip; it closes itself
// when the time is up (counted as Cancel) unless the user stops the
// countdown.
#include <string>

#include "shared/MessageType.h"
#include "ui/Button.h"
#include "ui/Form.h"
#include "ui/Label.h"
#include "ui/Panel.h"
#include "ui/Timer.h"

namespace shared {

constexpr wchar_t kMessageFormClass[] = L"TFMessageform";

class TFMessageform : public ui::TForm {
  public:
    TFMessageform();

    // Fills the window and shows it: modally with the countdown (returns the
    // answer when it has closed) or, with smodal false, as a notice without
    // buttons or countdown (returns false at once; the window stays open
    // until its owner closes or releases it).
    bool Showmes(const std::wstring& Text, TMessageType tip, const std::wstring& CaptionText,
                 bool smodal);

    double tt = 0;                          // local time of the last showing, in days
    TMessageType FMessageTtype = mtMessage; // kind of the current message
    std::wstring FMessageText;
    std::wstring FCaptionText;
    bool FShowResult = false; // true only after OK was pressed
    bool Fsmodal = false;     // shown modally with countdown

    ui::TLabel lblMessage;
    ui::TPanel pnlButtons;
    ui::TGlyphButton btnCancel;
    ui::TGlyphButton btnOK;
    ui::TPanel RzBorder1;
    ui::TPanel pnlClose;
    ui::TButton btnStop;
    ui::TLabel lblClose;
    ui::TLabel lblSec;
    ui::TTimer StayUpTimer;
    ui::TTimer StopTimer;
    ui::TImageList ImageList1; // 0 red cross, 1 grey cross, 2 green tick, 3 grey tick

    void FormShow();
    void FormClose();
    void btnOKClick();
    void btnCancelClick();
    void btnStopClick();
    void StayUpTimerTimer();
    void StopTimerTimer();
};

// Shows Text in a new modal timed message window titled Caption with the
// buttons of Kind, which closes itself after Seconds seconds (0: 20 seconds);
// true when OK was pressed, false for Cancel, the close box or the time
// running out. Seconds outside 0..2147483 raise an error before anything is
// shown.
bool ShowTimedMessage(const std::wstring& Text, TMessageType Kind, const std::wstring& Caption,
                      int Seconds);

} // namespace shared
