#include "install/portable/BackupChoice.h"

#include <algorithm>

#include "base/AppError.h"

namespace install {

using base::AppError;

namespace {

constexpr std::size_t kDateLength = 6;

// ddmmyy -> yymmdd.
std::wstring YearFirst(const std::wstring& backupPath) {
    if (backupPath.size() < kDateLength) {
        return backupPath;
    }
    const std::wstring date = backupPath.substr(backupPath.size() - kDateLength);
    return date.substr(4, 2) + date.substr(2, 2) + date.substr(0, 2);
}

bool AllDecimalDigits(const std::wstring& text) {
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

int Century(int twoDigitYear) {
    return twoDigitYear < 80 ? 2000 : 1900;
}

} // namespace

int BackupDateKey(const std::wstring& backupPath) {
    const std::wstring key = YearFirst(backupPath);
    if (key.size() != kDateLength || !AllDecimalDigits(key)) {
        throw AppError(L"'" + key + L"' is not a valid integer value");
    }
    const int yymmdd = std::stoi(key);
    const int year = yymmdd / 10000;
    return (Century(year) + year) * 10000 + yymmdd % 10000;
}

std::wstring ChooseNewestBackup(std::vector<std::wstring> backupPaths, const PathCompare& compare) {
    if (backupPaths.empty()) {
        throw AppError(L"List index out of bounds (0)");
    }
    std::stable_sort(
        backupPaths.begin(), backupPaths.end(),
        [&compare](const std::wstring& a, const std::wstring& b) { return compare(a, b) < 0; });
    std::size_t newest = 0;
    int newestKey = BackupDateKey(backupPaths[0]);
    for (std::size_t i = 1; i < backupPaths.size(); ++i) {
        const int key = BackupDateKey(backupPaths[i]);
        if (key > newestKey) {
            newestKey = key;
            newest = i;
        }
    }
    return backupPaths[newest];
}

std::wstring BackupLevel(const std::wstring& backupPath) {
    const std::size_t separator = backupPath.find_last_of(L"\\/");
    const std::wstring name =
        separator == std::wstring::npos ? backupPath : backupPath.substr(separator + 1);
    return name.empty() ? name : name.substr(1);
}

} // namespace install
