#pragma once
// Shell links in the current user's shell folders.
#include <cstdint>
#include <string>

namespace install {

// Location codes: 0 Desktop, 1 Quick Launch, 2 SendTo, 3 Start Menu,
// 4 the sub-folder is the whole folder. `linkPath` receives the link file's
// full path only when a folder was found. Expects COM on this thread.
void CreateShortcut(const std::wstring& targetFile, std::uint8_t location,
                    const std::wstring& subFolder, const std::wstring& workingDir,
                    const std::wstring& arguments, const std::wstring& description,
                    const std::wstring& linkName, std::wstring& linkPath);

// The path of the desktop link CreateShortcut makes for `linkName`; empty
// when the user has no desktop folder.
std::wstring DesktopLinkPath(const std::wstring& linkName);

// The file a link points to (through its item list, which keeps every
// letter of the path); empty when the file is no link. Expects COM.
std::wstring LinkTargetPath(const std::wstring& linkFile);

} // namespace install
