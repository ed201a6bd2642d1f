#pragma once
// The suite's entry in the system's list of installed programs ("Apps and
// Features"), by which deployment tools find and remove it: one key under
// Software\Microsoft\Windows\CurrentVersion\Uninstall, on the machine (its
// 64-bit view) where the user may write there, else the user's own.
#include <cstdint>
#include <optional>
#include <string>
#include <windows.h>

namespace install {

struct TUninstallEntry {
    std::wstring displayName;
    std::wstring displayVersion;
    std::wstring publisher;
    std::wstring installLocation; // the target, ending in a backslash
    std::wstring installDate;     // yyyymmdd
    std::wstring displayIcon;
    std::uint32_t estimatedSizeKiB = 0;
    std::wstring uninstallString;
    std::wstring quietUninstallString;
};

// The key's full name below the machine or the user: the product's fixed
// key, the sister brand's own.
std::wstring UninstallKeyName(bool sisterBrand);

// Where an entry was written.
enum class TEntryPlace { Machine, User };

// Writes the entry (replacing an earlier one of the same key) to the
// machine's key, or to the user's when the machine's is denied; an entry of
// the same installation in the other place is removed, so that there is one.
// The place written, or the system's error code.
struct TEntryWrite {
    DWORD error = 0;
    TEntryPlace place = TEntryPlace::Machine;
};
TEntryWrite WriteUninstallEntry(const std::wstring& keyName, const TUninstallEntry& entry);

// InstallLocation of the entry, the machine's first; nothing without one.
std::optional<std::wstring> EntryInstallLocation(const std::wstring& keyName);

// Removes the entries (machine and user) whose InstallLocation is
// `installLocation`. 0, or the system's error code of a removal that failed.
DWORD RemoveUninstallEntry(const std::wstring& keyName, const std::wstring& installLocation);

// The program's CompanyName from its version resource; empty without one.
std::wstring CompanyNameOf(HMODULE module);

} // namespace install
