#pragma once
// Keeps the prefix's fonts directory and machine font registrations as they
// were: the suite's seven font files are moved aside for the test and put
// back afterwards, and the registry values the test adds or changes are
// restored.
#include <map>
#include <string>
#include <vector>
#include <windows.h>

struct RegistryValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    bool operator==(const RegistryValue&) const = default;
};
using RegistryValues = std::map<std::wstring, RegistryValue>;

// All values of HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts.
RegistryValues ReadFontRegistrations();

class FontsDirectoryGuard {
  public:
    // `scratch` is an existing directory for the moved files.
    FontsDirectoryGuard(std::wstring fontsDir, std::wstring scratch,
                        std::vector<std::wstring> names);
    ~FontsDirectoryGuard();
    FontsDirectoryGuard(const FontsDirectoryGuard&) = delete;
    FontsDirectoryGuard& operator=(const FontsDirectoryGuard&) = delete;

  private:
    void RestoreRegistry() const;

    std::wstring fontsDir_;
    std::wstring scratch_;
    std::vector<std::wstring> names_;
    std::vector<std::wstring> movedAside_;
    RegistryValues registrations_;
};
