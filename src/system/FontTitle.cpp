// The title a font is registered under: its full name as GDI describes it,
// else as its 'name' table gives it, else its file name.
#include "system/Fonts.h"

#include <vector>
#include <windows.h>

#include "system/portable/FontNameReader.h"
#include "base/Handles.h"

namespace sys {

using base::UniqueHandle;

namespace {

constexpr DWORD QFR_DESCRIPTION = 1;
constexpr DWORD kLongestDescriptionBytes = 64 * 1024;
constexpr LONGLONG kLargestFontFileBytes = 128LL * 1024 * 1024;

using GetFontResourceInfoProc = BOOL(WINAPI*)(LPCWSTR, DWORD*, LPVOID, DWORD);

// A font file added to the system's font table for the holder's lifetime.
class AddedFontResource {
  public:
    explicit AddedFontResource(const std::wstring& path)
        : path_(path), added_(AddFontResourceW(path.c_str()) != 0) {}
    ~AddedFontResource() {
        if (added_) {
            RemoveFontResourceW(path_.c_str());
        }
    }
    AddedFontResource(const AddedFontResource&) = delete;
    AddedFontResource& operator=(const AddedFontResource&) = delete;
    bool added() const { return added_; }

  private:
    std::wstring path_;
    bool added_;
};

GetFontResourceInfoProc FindGetFontResourceInfo() {
    const HMODULE gdi = GetModuleHandleW(L"gdi32.dll");
    if (gdi == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<GetFontResourceInfoProc>(
        reinterpret_cast<void*>(GetProcAddress(gdi, "GetFontResourceInfoW")));
}

// GetFontResourceInfoW is not documented; Wine only has a stub of it.
std::wstring TitleFromGdi(const std::wstring& path) {
    const GetFontResourceInfoProc getFontResourceInfo = FindGetFontResourceInfo();
    if (getFontResourceInfo == nullptr) {
        return {};
    }
    const AddedFontResource font(path);
    if (!font.added()) {
        return {};
    }
    DWORD size = 0;
    getFontResourceInfo(path.c_str(), &size, nullptr, QFR_DESCRIPTION);
    if (size == 0 || size > kLongestDescriptionBytes) {
        return {};
    }
    // One element more than asked for, so the text always ends in a NUL.
    std::vector<wchar_t> description(size / sizeof(wchar_t) + 1, L'\0');
    if (!getFontResourceInfo(path.c_str(), &size, description.data(), QFR_DESCRIPTION)) {
        return {};
    }
    return std::wstring(description.data());
}

std::vector<std::uint8_t> ReadWholeFile(const std::wstring& path) {
    const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > kLargestFontFileBytes) {
        return {};
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        const auto wanted = static_cast<DWORD>(bytes.size() - done);
        if (!ReadFile(file.get(), bytes.data() + done, wanted, &read, nullptr) || read == 0) {
            return {};
        }
        done += read;
    }
    return bytes;
}

// The file name without directory and extension.
std::wstring FileNameStem(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/:");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos && dot > 0) {
        name.erase(dot);
    }
    return name;
}

} // namespace

std::wstring TitleFromNameTable(const std::wstring& path) {
    const std::vector<std::uint8_t> bytes = ReadWholeFile(path);
    const std::u16string name = ReadFontFullName(bytes.data(), bytes.size());
    return std::wstring(name.begin(), name.end());
}

std::wstring GetFontTitle(const std::wstring& path) {
    std::wstring title = TitleFromGdi(path);
    if (title.empty()) {
        title = TitleFromNameTable(path);
    }
    if (title.empty()) {
        title = FileNameStem(path);
    }
    return title;
}

} // namespace sys
