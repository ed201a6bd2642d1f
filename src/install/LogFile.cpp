#include "install/LogFile.h"

#include <algorithm>

#include "base/Handles.h"
#include "install/portable/InstallLogText.h"

namespace install {

using base::UniqueHandle;

namespace {

DWORD WriteAll(HANDLE file, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        const auto wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        if (!WriteFile(file, bytes.data() + done, wanted, &written, nullptr)) {
            return GetLastError();
        }
        done += written;
    }
    return FlushFileBuffers(file) ? 0 : GetLastError();
}

DWORD WriteLogFile(const std::wstring& path, const std::string& bytes, DWORD disposition) {
    const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                        disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return GetLastError();
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) {
        return GetLastError();
    }
    const LARGE_INTEGER none{};
    if (!SetFilePointerEx(file.get(), none, nullptr, FILE_END)) {
        return GetLastError();
    }
    return WriteAll(file.get(),
                    size.QuadPart == 0 ? std::string(kUtf8ByteOrderMark) + bytes : bytes);
}

} // namespace

TLogStamp LocalStamp() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

DWORD AppendToLogFile(const std::wstring& path, const std::string& bytes) {
    return WriteLogFile(path, bytes, OPEN_ALWAYS);
}

DWORD ReplaceLogFile(const std::wstring& path, const std::string& bytes) {
    return WriteLogFile(path, bytes, CREATE_ALWAYS);
}

} // namespace install
