#include "base/SysError.h"

#include <cwchar>
#include <iterator>

#include "base/AppError.h"
#include "base/portable/BlankText.h"

namespace base {

std::wstring SysErrorMessage(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                           FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text;
    if (length != 0 && buffer != nullptr) {
        text = WithoutTrailingBlanks(std::wstring_view(buffer, length));
    }
    LocalFree(buffer);
    return text;
}

std::wstring HresultDigits(HRESULT result) {
    wchar_t digits[16];
    std::swprintf(digits, std::size(digits), L"%08lX", static_cast<unsigned long>(result));
    return digits;
}

std::wstring HresultText(HRESULT result) {
    std::wstring text = SysErrorMessage(static_cast<DWORD>(result));
    return text.empty() ? L"OLE error " + HresultDigits(result) : text;
}

void RaiseCannotOpenFile(const std::wstring& path, DWORD code) {
    throw AppError(L"Cannot open file \"" + path + L"\". " + SysErrorMessage(code));
}

void RaiseCannotCreateFile(const std::wstring& path, DWORD code) {
    throw AppError(L"Cannot create file \"" + path + L"\". " + SysErrorMessage(code));
}

void RaiseCannotOpenRegistryKey(const std::wstring& keyName, LSTATUS code) {
    throw AppError(L"Cannot open registry key \"" + keyName + L"\". " +
                   SysErrorMessage(static_cast<DWORD>(code)));
}

void RaiseCannotWriteRegistryValue(const std::wstring& valueName, LSTATUS code) {
    throw AppError(L"Cannot write registry value \"" + valueName + L"\". " +
                   SysErrorMessage(static_cast<DWORD>(code)));
}

} // namespace base
