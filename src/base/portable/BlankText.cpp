#include "base/portable/BlankText.h"

namespace base {

namespace {

bool IsBlank(wchar_t c) {
    return c <= L' ';
}

} // namespace

std::wstring_view TrimmedBlanks(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    return WithoutTrailingBlanks(text);
}

std::wstring_view WithoutTrailingBlanks(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace base
