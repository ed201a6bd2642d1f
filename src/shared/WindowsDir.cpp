#include "shared/WindowsDir.h"

#include <vector>

#include "base/portable/PathText.h"

using base::JoinPath;

namespace shared {

namespace {

constexpr UINT kWindowsDirBufferLength = 260;

// The Windows directory as GetWindowsDirectoryW gives it; a directory longer
// than the usual buffer is read again into one of the size it asks for.
std::wstring ReadWindowsDirectory() {
    std::vector<wchar_t> buffer(kWindowsDirBufferLength);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const UINT length = GetWindowsDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            return std::wstring(buffer.data(), length);
        }
        buffer.resize(length); // `length` counts the terminator here
    }
    return {};
}

} // namespace

std::wstring GetWindowsDir() {
    return JoinPath(ReadWindowsDirectory(), L"");
}

} // namespace shared
