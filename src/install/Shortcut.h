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

} // namespace install
