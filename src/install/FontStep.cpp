// Installs the suite's TrueType fonts that the Windows fonts directory
// lacks: copy, machine registration, a short load so that running programs
// hear of it, and a line in the progress log.
#include "install/FontStep.h"

#include <windows.h>

#include "files/FileCopy.h"
#include "files/FileReplace.h"
#include "install/ProgressLog.h"
#include "system/FontRegistry.h"
#include "system/Fonts.h"
#include "base/AppError.h"
#include "install/MediumLayout.h"
#include "shared/VS_Common_Proc.h"
#include "base/FileQueries.h"
#include "base/SysResult.h"

namespace install {

using base::AppError;
using base::FileExists;
using base::TRunBlocking;
using base::SysFailure;
using base::SysResult;
using files::CopyFileKeepDate;
using shared::GetWindowsDir;
using sys::CurrentFontRegistry;
using sys::GetFontTitle;

namespace {

constexpr wchar_t kTrueTypeSuffix[] = L" (TrueType)";

// The last word of the log line: its second letter is the Latin "c",
// the others are Cyrillic.
constexpr wchar_t kInstalledWord[] = L"у"
                                     L"c"
                                     L"тановлен";

// A window that does not answer WM_FONTCHANGE within this time, or is hung
// already, is passed over instead of holding up the installation.
constexpr UINT kFontChangeTimeoutMs = 5000;

// Registers the font for the machine: value "<title> (TrueType)" holding
// the bare file name.
void RegisterFont(const std::wstring& title, const std::wstring& fileName) {
    CurrentFontRegistry().SetFontValue(title + kTrueTypeSuffix, fileName);
}

void BroadcastFontChange() {
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG, kFontChangeTimeoutMs,
                        &answer);
}

// Loads the installed font briefly so that running programs see the change.
void AnnounceFont(const std::wstring& path) {
    AddFontResourceW(path.c_str());
    BroadcastFontChange();
    RemoveFontResourceW(path.c_str());
    BroadcastFontChange();
}

void InstallFont(IProgressLog& log, const std::wstring& sourceDir, const std::wstring& name,
                 const TRunBlocking& runBlocking) {
    const std::wstring installed = InstalledFontPath(name);
    if (FileExists(installed)) {
        return;
    }
    const std::wstring title = GetFontTitle(sourceDir + name);
    // A font whose content did not arrive is neither registered nor
    // reported as installed.
    if (const SysResult copied = CopyFileKeepDate(sourceDir + name, installed); !copied) {
        throw SysFailure(L"Cannot copy file \"" + sourceDir + name + L"\" to \"" + installed +
                             L"\".",
                         copied.code());
    }
    RegisterFont(title, name);
    runBlocking([&installed] { AnnounceFont(installed); });
    log.Add(L"Шрифт <" + title + L"> " + kInstalledWord);
}

} // namespace

void InstallFonts(IProgressLog& log, const std::wstring& sourcePath,
                  const TRunBlocking& runBlocking) {
    const std::wstring sourceDir = sourcePath + std::wstring(MediumLayout::FontsDir);
    for (const std::wstring_view name : MediumLayout::FontFiles) {
        InstallFont(log, sourceDir, std::wstring(name), runBlocking);
    }
}

std::wstring InstalledFontPath(const std::wstring& name) {
    return GetWindowsDir() + L"fonts\\" + name;
}

} // namespace install
