#include "shared/VS_Common_Var.h"

#include <vector>
#include <windows.h>

#include "base/portable/PathText.h"
#include "shared/ProfileReader.h"
#include "shared/portable/NumberFormat.h"
#include "shared/portable/SettingsValues.h"

using base::JoinPath;
using base::ParentDirectory;

namespace shared {

std::wstring BaseDir;
TSettings GlobalSettings;
std::wstring MessageFile;
std::wstring LanguageCode;
std::wstring AtesInDir;
std::wstring AtesOutDir;
TStartXmlObject StartXmlObject;

std::int32_t DefaultViewWidth = 0;
std::int32_t DefaultViewHeight = 0;
std::int32_t DefaultViewZoom = 0;
std::uint8_t CurrentLead = 0;
std::uint8_t ShownLeads = 0;

namespace {

const wchar_t* const kSettingsFileName = L"Settings\\holter.ini";
const wchar_t* const kEnglishMessageFileName = L"Settings\\EngView.lng";

} // namespace

void LoadSettings() {
    SetProcessNumberFormat(L'.', L' ');
    const std::wstring file = BaseDir + kSettingsFileName;
    const std::wstring section(kOptionsSection);
    ReadOptionsInto(GlobalSettings, [&](std::wstring_view key) {
        return ReadProfileString(file, section, std::wstring(key), L"");
    });
}

void InitializeCommonVar(const std::wstring& baseDir) {
    BaseDir = baseDir;
    LoadSettings();
    MessageFile.clear();
    LanguageCode = L"RUS";
    if (GlobalSettings.LanguageSetting == L"ENG") {
        MessageFile = BaseDir + kEnglishMessageFileName;
        LanguageCode = L"ENG";
    }
    AtesInDir = BaseDir + L"AtesIn\\";
    AtesOutDir = BaseDir + L"AtesOut\\";
    DefaultViewWidth = 640;
    DefaultViewHeight = 480;
    DefaultViewZoom = 1;
    CurrentLead = 1;
    ShownLeads = 1;
}

std::wstring ProgramDirectory() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            return JoinPath(ParentDirectory(std::wstring(buffer.data(), length)), L"");
        }
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace shared
