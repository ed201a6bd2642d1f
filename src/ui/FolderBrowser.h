#pragma once
#include <optional>
#include <string>

namespace ui {

// The system's folder browser, modal over the whole program and owned by the
// main form: the newer style, file-system folders only, no new-folder button,
// no edit box, the tree from the desktop with nothing preselected, and the
// system's critical-error boxes suppressed while it is open. The chosen
// folder's full path, or nothing when cancelled.
std::optional<std::wstring> BrowseForFolderDialog(const std::wstring& instruction);

} // namespace ui
