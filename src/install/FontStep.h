#pragma once
// The install run's font step: installs the suite's fonts that the Windows
// fonts directory lacks.
#include <string>

namespace install {

class IProgressLog;

// `sourcePath` is the medium's directory ending in a backslash; the fonts
// are taken from its "fonts\". Each installed font gets a log line. An
// error ends the work at that font and passes to the caller.
void InstallFonts(IProgressLog& log, const std::wstring& sourcePath);

} // namespace install
