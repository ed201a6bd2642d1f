#pragma once
// Text for the person or the tool that started the program. Install.exe is
// a window program: it has a standard error only when its starter gave it
// one (a redirected handle) or when it can attach to its starter's console.
#include <string>

namespace app {

// Writes the text (and a line break) to the standard error or the starter's
// console: a console gets UTF-16, a redirected handle UTF-8. False when
// there is neither.
bool WriteConsoleText(const std::wstring& text);

} // namespace app
