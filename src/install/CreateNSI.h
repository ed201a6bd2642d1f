#pragma once
// The first settings files of an installation.
#include <string>

namespace install {

// Settings\holter.ini: FilterType=0 and HardwareType=1 in section "options".
// Raises when the file cannot be read or written.
void WriteInitialOptions(const std::wstring& targetPath);

// uca.nsi and wra.nsi in `settingsDir` (ending in a backslash), each only
// when missing. Reports nothing.
void CreateNsiFiles(const std::wstring& settingsDir);

// Settings\lastnum.dta, only when Settings\ exists and the file does not.
// Reports nothing.
void WriteLastNumFile(const std::wstring& targetPath);

// btooth.ini: Disk=I in section "Common". Raises when it cannot be written.
void WriteBtoothIni(const std::wstring& targetPath);

} // namespace install
