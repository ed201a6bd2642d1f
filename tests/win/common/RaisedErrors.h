#pragma once
// The texts of raised errors, for tests that compare them exactly.
#include <string>
#include <windows.h>

#include "base/AppError.h"
#include "base/SysError.h"

// The text of the AppError that `action` raises.
template <typename Action> std::wstring RaisedText(Action action) {
    try {
        action();
    } catch (const base::AppError& error) {
        return error.text();
    }
    return L"<nothing raised>";
}

inline std::wstring CannotOpen(const std::wstring& path, DWORD code) {
    return L"Cannot open file \"" + path + L"\". " + base::SysErrorMessage(code);
}

inline std::wstring CannotCreate(const std::wstring& path, DWORD code) {
    return L"Cannot create file \"" + path + L"\". " + base::SysErrorMessage(code);
}
