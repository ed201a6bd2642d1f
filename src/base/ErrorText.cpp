#include "base/ErrorText.h"

#include <windows.h>

#include "base/AppError.h"

namespace base {

namespace {

std::wstring FromUtf8(const char* text) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (size <= 1) {
        return {};
    }
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), size);
    wide.resize(static_cast<size_t>(size - 1));
    return wide;
}

} // namespace

std::wstring ErrorText(const std::exception_ptr& error) {
    if (!error) {
        return L"Unknown error";
    }
    try {
        std::rethrow_exception(error);
    } catch (const AppError& e) {
        return e.text();
    } catch (const std::exception& e) {
        return FromUtf8(e.what());
    } catch (...) {
        return L"Unknown error";
    }
}

} // namespace base
