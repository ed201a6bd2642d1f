#pragma once
// The display's font size: the small-fonts test and the switch to large fonts.
#include <functional>

namespace shared {
class IUserDialogs;
}

namespace sys {

class ISystemActions;

// IsSmallFonts through the system-actions seam: true when the screen has
// fewer than 100 logical pixels per inch.
bool ScreenHasSmallFonts(ISystemActions& system);

// "Изменить настройки": switch to large fonts, ask the restart question, and
// on "Yes" request the restart and close the main window. When the switch
// could not be made, an error box says so and nothing else happens.
void ChangeFontSize(ISystemActions& system, shared::IUserDialogs& dialogs,
                    const std::function<void()>& closeMainWindow);

} // namespace sys
