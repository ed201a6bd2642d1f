#pragma once

namespace ui {
// What a modal window was closed with, and the kinds and button sets of the
// message box.

// The kind sets the icon and the English title ("Warning", "Error",
// "Confirm").
enum class TMsgDlgType { mtWarning, mtError, mtConfirmation };

// "OK" alone, "Yes" and "No", or "Повтор" and "Отмена" (a check to try
// again or give up).
enum class TMsgDlgButtons { mbOK, mbYesNo, mbRetryCancel };

enum class TModalResult { mrNone, mrOk, mrYes, mrNo, mrRetry, mrCancel };

} // namespace ui
