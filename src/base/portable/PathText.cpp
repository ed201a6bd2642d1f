#include "base/portable/PathText.h"

namespace base {

std::wstring ParentDirectory(std::wstring_view path) {
    const std::size_t separator = path.find_last_of(L"\\:");
    if (separator == std::wstring_view::npos) {
        return {};
    }
    std::wstring directory(path.substr(0, separator + 1));
    const bool driveRoot = directory.size() >= 2 && directory[directory.size() - 2] == L':';
    if (directory.back() == L'\\' && directory.size() > 1 && !driveRoot) {
        directory.pop_back();
    }
    return directory;
}

std::wstring JoinPath(std::wstring_view directory, std::wstring_view name) {
    std::wstring joined(directory);
    if (!joined.empty() && joined.back() != L'\\' && joined.back() != L':') {
        joined.push_back(L'\\');
    }
    joined.append(name);
    return joined;
}

} // namespace base
