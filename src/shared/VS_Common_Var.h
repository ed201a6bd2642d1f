#pragma once
// Process-wide variables shared by the suite's programs, among them the
// settings record read at start-up from Settings\holter.ini next to the
// program.
#include <cstdint>
#include <string>

#include "shared/VS_Common_Types.h"

namespace shared {

// The directory of the program's own file, with a trailing backslash.
extern std::wstring BaseDir;
// The shared settings as read from BaseDir + "Settings\holter.ini".
extern TSettings GlobalSettings;
// The English language file when the settings ask for English, else empty.
extern std::wstring MessageFile;
// "ENG" or "RUS".
extern std::wstring LanguageCode;
extern std::wstring AtesInDir;
extern std::wstring AtesOutDir;
extern TStartXmlObject StartXmlObject;

// Size and zoom of a fresh ECG view, and the view's first and shown leads.
extern std::int32_t DefaultViewWidth;
extern std::int32_t DefaultViewHeight;
extern std::int32_t DefaultViewZoom;
extern std::uint8_t CurrentLead;
extern std::uint8_t ShownLeads;

// Fixes the process-wide number format (decimal point, a space between
// thousands) and reads BaseDir + "Settings\holter.ini" into GlobalSettings.
// The file is optional: what it lacks takes its default. Nothing is written.
void LoadSettings();

// The module's start-up for a program whose directory is `baseDir` (ending in
// a backslash): settings, language choice, the exchange directories and the
// module's other variables.
void InitializeCommonVar(const std::wstring& baseDir);

// The directory of the running program's file, ending in a backslash.
std::wstring ProgramDirectory();

} // namespace shared
