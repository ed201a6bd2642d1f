#include "install/portable/TargetPath.h"

#include "base/portable/BlankText.h"

namespace install {

using base::TrimmedBlanks;

namespace {

constexpr std::size_t kLongestRoot = 3;

} // namespace

TTargetPath CheckTargetPath(std::wstring_view text) {
    std::wstring path(TrimmedBlanks(text));
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

} // namespace install
