#include "install/UninstallEntry.h"

#include <vector>

#include "base/Handles.h"
#include "install/InstalledFiles.h"

namespace install {

using base::UniqueRegKey;

namespace {

constexpr wchar_t kUninstallRoot[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

struct Hive {
    HKEY root;
    REGSAM view; // the machine's programs are listed in its 64-bit view
};

const Hive kMachine{HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY};
const Hive kUser{HKEY_CURRENT_USER, 0};

LSTATUS SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

LSTATUS SetDword(HKEY key, const wchar_t* name, DWORD value) {
    return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof(value));
}

LSTATUS SetValues(HKEY key, const TUninstallEntry& entry) {
    const std::pair<const wchar_t*, const std::wstring*> strings[] = {
        {L"DisplayName", &entry.displayName},
        {L"DisplayVersion", &entry.displayVersion},
        {L"Publisher", &entry.publisher},
        {L"InstallLocation", &entry.installLocation},
        {L"InstallDate", &entry.installDate},
        {L"DisplayIcon", &entry.displayIcon},
        {L"UninstallString", &entry.uninstallString},
        {L"QuietUninstallString", &entry.quietUninstallString},
    };
    for (const auto& [name, value] : strings) {
        if (const LSTATUS status = SetString(key, name, *value)) {
            return status;
        }
    }
    const std::pair<const wchar_t*, DWORD> numbers[] = {
        {L"EstimatedSize", entry.estimatedSizeKiB}, {L"NoModify", 1}, {L"NoRepair", 1}};
    for (const auto& [name, value] : numbers) {
        if (const LSTATUS status = SetDword(key, name, value)) {
            return status;
        }
    }
    return ERROR_SUCCESS;
}

LSTATUS WriteTo(const Hive& hive, const std::wstring& keyName, const TUninstallEntry& entry) {
    UniqueRegKey key;
    const LSTATUS status =
        RegCreateKeyExW(hive.root, keyName.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE | KEY_QUERY_VALUE | hive.view, nullptr, key.put(), nullptr);
    return status != ERROR_SUCCESS ? status : SetValues(key.get(), entry);
}

std::optional<std::wstring> LocationIn(const Hive& hive, const std::wstring& keyName) {
    UniqueRegKey key;
    if (RegOpenKeyExW(hive.root, keyName.c_str(), 0, KEY_QUERY_VALUE | hive.view, key.put()) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::vector<wchar_t> text(2048);
    DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegGetValueW(key.get(), nullptr, L"InstallLocation", RRF_RT_REG_SZ, nullptr, text.data(),
                     &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(text.data());
}

// Removes the hive's entry when it is the installation's. 0 when removed or
// absent, or the system's error code.
LSTATUS RemoveFrom(const Hive& hive, const std::wstring& keyName,
                   const std::wstring& installLocation) {
    const std::optional<std::wstring> location = LocationIn(hive, keyName);
    if (!location || !SamePath(*location, installLocation)) {
        return ERROR_SUCCESS;
    }
    UniqueRegKey parent;
    LSTATUS status =
        RegOpenKeyExW(hive.root, kUninstallRoot, 0,
                      DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | hive.view, parent.put());
    if (status != ERROR_SUCCESS) {
        return status;
    }
    const std::wstring leaf = keyName.substr(std::wstring(kUninstallRoot).size());
    // The entry has values only, no subkeys of its own.
    status = RegDeleteKeyExW(parent.get(), leaf.c_str(), hive.view, 0);
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

} // namespace

std::wstring UninstallKeyName(bool sisterBrand) {
    return std::wstring(kUninstallRoot) + (sisterBrand ? L"TiresanHolter" : L"VestarHolter");
}

TEntryWrite WriteUninstallEntry(const std::wstring& keyName, const TUninstallEntry& entry) {
    // The program asks for no elevation: a standard user cannot write the
    // machine's list and gets the entry in the own one.
    const LSTATUS machine = WriteTo(kMachine, keyName, entry);
    if (machine == ERROR_SUCCESS) {
        RemoveFrom(kUser, keyName, entry.installLocation);
        return {0, TEntryPlace::Machine};
    }
    if (machine != ERROR_ACCESS_DENIED) {
        return {static_cast<DWORD>(machine), TEntryPlace::Machine};
    }
    const LSTATUS user = WriteTo(kUser, keyName, entry);
    if (user == ERROR_SUCCESS) {
        RemoveFrom(kMachine, keyName, entry.installLocation);
    }
    return {static_cast<DWORD>(user), TEntryPlace::User};
}

std::optional<std::wstring> EntryInstallLocation(const std::wstring& keyName) {
    if (std::optional<std::wstring> location = LocationIn(kMachine, keyName)) {
        return location;
    }
    return LocationIn(kUser, keyName);
}

DWORD RemoveUninstallEntry(const std::wstring& keyName, const std::wstring& installLocation) {
    const LSTATUS machine = RemoveFrom(kMachine, keyName, installLocation);
    const LSTATUS user = RemoveFrom(kUser, keyName, installLocation);
    return static_cast<DWORD>(machine != ERROR_SUCCESS ? machine : user);
}

std::wstring CompanyNameOf(HMODULE module) {
    wchar_t path[MAX_PATH * 4] = {};
    if (GetModuleFileNameW(module, path, MAX_PATH * 4) == 0) {
        return {};
    }
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    std::vector<BYTE> info(size);
    if (size == 0 || !GetFileVersionInfoW(path, 0, size, info.data())) {
        return {};
    }
    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &length) ||
        length < sizeof(Translation)) {
        return {};
    }
    wchar_t query[64];
    swprintf(query, 64, L"\\StringFileInfo\\%04x%04x\\CompanyName", translation->language,
             translation->codePage);
    wchar_t* company = nullptr;
    if (!VerQueryValueW(info.data(), query, reinterpret_cast<void**>(&company), &length) ||
        company == nullptr) {
        return {};
    }
    return company;
}

} // namespace install
