#include "base/LongPath.h"

#include <string_view>

#include <windows.h>

namespace base {

namespace {

constexpr std::wstring_view kExtendedPrefix = L"\\\\?\\";
constexpr std::wstring_view kExtendedUncPrefix = L"\\\\?\\UNC\\";

} // namespace

std::wstring FullPathOf(const std::wstring& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return path;
    }
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) {
        return path;
    }
    full.resize(length);
    return full;
}

std::wstring LongPathForm(const std::wstring& path) {
    if (path.size() < MAX_PATH || path.starts_with(kExtendedPrefix)) {
        return path;
    }
    // The extended-length form takes the path literally: it must be full.
    const std::wstring full = FullPathOf(path);
    if (full.starts_with(L"\\\\")) {
        return std::wstring(kExtendedUncPrefix) + full.substr(2);
    }
    return std::wstring(kExtendedPrefix) + full;
}

} // namespace base
