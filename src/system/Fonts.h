#pragma once
// Installs the suite's fonts that the Windows fonts directory lacks.
#include <string>

#include "base/BlockingWork.h"

namespace files {
class IProgressLog;
}

namespace sys {

// `sourcePath` is the medium's directory ending in a backslash; the fonts
// are taken from its "fonts\". Each installed font gets a log line. An
// error ends the work at that font and passes to the caller. The font-change
// broadcasts, which may each wait up to 5 s on windows that do not answer,
// run through `runBlocking`.
void InstallFonts(files::IProgressLog& log, const std::wstring& sourcePath,
                  const base::TRunBlocking& runBlocking);

// Where InstallFonts puts the font file `name`; a font already there is
// left as it is, whatever the medium holds.
std::wstring InstalledFontPath(const std::wstring& name);

// The font's full name, or empty.
std::wstring GetFontTitle(const std::wstring& path);

// The full name in the font file's own 'name' table, or empty when the file
// cannot be read or is no TrueType or OpenType font.
std::wstring TitleFromNameTable(const std::wstring& path);

} // namespace sys
