#pragma once
// The path page's rules for the target path, shared by the page's "Далее"
// and by /DIR. No Windows calls: plain text rules.
#include <string>
#include <string_view>

namespace install {

enum class TTargetPathVerdict {
    Accepted,
    Empty, // nothing but blanks and control characters
    Root   // three characters or fewer once normalised ("C:\", "ab\")
};

struct TTargetPath {
    TTargetPathVerdict verdict;
    std::wstring path; // trimmed, ending in one backslash; empty when Empty
};

// Trims leading and trailing blanks and control characters and appends a
// backslash when the path does not end in one. Whether the directory exists,
// whether the path is absolute and which characters it holds is not checked:
// a relative path resolves against the installer's own directory.
TTargetPath CheckTargetPath(std::wstring_view text);

} // namespace install
