// SetReadOnlyAttr: switches the read-only attribute, other attributes kept.
#include "files/FileAttributes.h"

#include <windows.h>

namespace files {

void SetReadOnlyAttr(const std::wstring& path, bool set) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return;
    }
    const DWORD changed =
        set ? (attributes | FILE_ATTRIBUTE_READONLY) : (attributes & ~FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(path.c_str(), changed);
}

} // namespace files
