#pragma once
// The install run's font step: installs the suite's fonts that the Windows
// fonts directory lacks.
#include <string>

#include "base/BlockingWork.h"

namespace install {

class IProgressLog;

// `sourcePath` is the medium's directory ending in a backslash; the fonts
// are taken from its "fonts\". Each installed font gets a log line. An
// error ends the work at that font and passes to the caller. The font-change
// broadcasts, which may each wait up to 5 s on windows that do not answer,
// run through `runBlocking`.
void InstallFonts(IProgressLog& log, const std::wstring& sourcePath,
                  const base::TRunBlocking& runBlocking);

// Where InstallFonts puts the font file `name`; a font already there is
// left as it is, whatever the medium holds.
std::wstring InstalledFontPath(const std::wstring& name);

} // namespace install
