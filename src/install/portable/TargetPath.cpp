#include "install/portable/TargetPath.h"

namespace {

constexpr std::size_t kLongestRoot = 3;

bool IsBlankOrControl(wchar_t c) {
    return c <= L' ';
}

std::wstring_view Trimmed(std::wstring_view text) {
    while (!text.empty() && IsBlankOrControl(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlankOrControl(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

TTargetPath CheckTargetPath(std::wstring_view text) {
    std::wstring path(Trimmed(text));
    if (path.empty()) {
        return {TTargetPathVerdict::Empty, {}};
    }
    if (path.back() != L'\\') {
        path += L'\\';
    }
    const auto verdict =
        path.size() <= kLongestRoot ? TTargetPathVerdict::Root : TTargetPathVerdict::Accepted;
    return {verdict, path};
}
