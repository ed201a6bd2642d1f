#pragma once

namespace ui {
// What a modal window was closed with, and the kinds and button sets of the
// message box.

// The kind sets the icon and the English title ("Warning", "Error",
// "Confirm").
enum class TMsgDlgType { mtWarning, mtError, mtConfirmation };

// "OK" alone, or "Yes" and "No".
enum class TMsgDlgButtons { mbOK, mbYesNo };

enum class TModalResult { mrNone, mrOk, mrYes, mrNo };

} // namespace ui
