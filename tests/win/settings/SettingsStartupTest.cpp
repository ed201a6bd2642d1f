// Copies of settings_probe run from scratch directories holding prepared
// Settings\holter.ini and Settings\EngView.lng; each writes the state the
// shared modules' start-up left, which the tests compare.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <windows.h>

#include "common/TestFiles.h"
#include "base/Handles.h"

using base::UniqueHandle;

namespace {

using State = std::map<std::wstring, std::wstring>;

std::wstring FromUtf8(const std::string& text) {
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
    return out;
}

State ParseState(const std::wstring& file) {
    std::ifstream in(std::filesystem::path(file), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    State state;
    std::wistringstream lines(FromUtf8(bytes.str()));
    std::wstring line;
    while (std::getline(lines, line)) {
        const std::size_t equals = line.find(L'=');
        if (equals != std::wstring::npos) {
            state[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return state;
}

// A scratch directory with a copy of the probe in it, as the installer lies
// on its medium.
class ProbeRun : public testing::Test {
  protected:
    ProbeRun() : dir_(L"настройки_probe") {
        std::filesystem::copy_file(testfiles::WinePath(SETTINGS_PROBE_EXE), dir_ / L"probe.exe");
    }

    void WriteHolterIni(std::string_view text) {
        testfiles::WriteFileCreatingDirs(dir_ / L"Settings\\holter.ini", text);
    }
    void WriteLanguageFile(std::string_view text) {
        testfiles::WriteFileCreatingDirs(dir_ / L"Settings\\EngView.lng", text);
    }

    // Runs the probe from another current directory and reads its report.
    State Run() {
        const std::wstring report = dir_ / L"report.txt";
        std::wstring commandLine = L"\"" + dir_ / L"probe.exe" + L"\" \"" + report + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        wchar_t windowsDir[MAX_PATH];
        GetWindowsDirectoryW(windowsDir, MAX_PATH);
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                            nullptr, windowsDir, &startup, &info)) {
            ADD_FAILURE() << "CreateProcessW failed: " << GetLastError();
            return {};
        }
        const UniqueHandle process(info.hProcess);
        const UniqueHandle thread(info.hThread);
        EXPECT_EQ(WaitForSingleObject(process.get(), 60000), WAIT_OBJECT_0);
        DWORD exitCode = 1;
        GetExitCodeProcess(process.get(), &exitCode);
        EXPECT_EQ(exitCode, 0u);
        return ParseState(report);
    }

    std::wstring base() const { return dir_.path(); }

  private:
    testfiles::ScratchDir dir_;
};

TEST_F(ProbeRun, WithoutSettingsEverythingTakesItsDefaultInRussian) {
    State s = Run();
    ASSERT_FALSE(s.empty());
    EXPECT_EQ(s[L"BaseDir"], base());
    EXPECT_EQ(s[L"AtesInDir"], base() + L"AtesIn\\");
    EXPECT_EQ(s[L"AtesOutDir"], base() + L"AtesOut\\");
    EXPECT_EQ(s[L"LanguageCode"], L"RUS");
    EXPECT_EQ(s[L"MessageFile"], L"");
    EXPECT_EQ(s[L"DecimalSeparator"], L".");
    EXPECT_EQ(s[L"ThousandSeparator"], L" ");
    EXPECT_EQ(s[L"DefaultViewWidth"], L"640");
    EXPECT_EQ(s[L"DefaultViewHeight"], L"480");
    EXPECT_EQ(s[L"DefaultViewZoom"], L"1");
    EXPECT_EQ(s[L"CurrentLead"], L"1");
    EXPECT_EQ(s[L"ShownLeads"], L"1");

    EXPECT_EQ(s[L"doformshow"], L"true");
    EXPECT_EQ(s[L"NurseMode"], L"true");
    EXPECT_EQ(s[L"DoctorMode"], L"true");
    EXPECT_EQ(s[L"DebugPrint"], L"false");
    EXPECT_EQ(s[L"ChannelGain"], L"1");
    EXPECT_EQ(s[L"ChannelGain12"], L"1");
    EXPECT_EQ(s[L"HardwareType"], L"1");
    EXPECT_EQ(s[L"FilterType"], L"0");
    EXPECT_EQ(s[L"LanguageSetting"], L"");

    EXPECT_EQ(s[L"DiseaseNames[9]"], L"Хрон. неспецифич. заболевания легких");
    EXPECT_EQ(s[L"DiseaseNames[19]"], L"Стеноз лег. арт, тетр. и триада Фало");
    EXPECT_EQ(s[L"DiseaseNames[21]"], L"Сахарный диабет");
    EXPECT_EQ(s[L"ConstitutionNames[2]"], L"Астеник");
    EXPECT_EQ(s[L"DrugNames[5]"], L"Антогонисты Ca");
    EXPECT_EQ(s[L"ConductionNames[3]"], L"WPW");
    EXPECT_EQ(s[L"ConductionNames[4]"], L"Не определен");
    EXPECT_EQ(s[L"Sbo"], L"СБОЙ");
    EXPECT_EQ(s[L"Met"], L"МЕТКА");
    EXPECT_EQ(s[L"nnn"], L"н");
    EXPECT_EQ(s[L"sss"], L"с");
}

TEST_F(ProbeRun, OptionsAreTypedByTheirKeys) {
    // Section and key names in other letter cases on purpose.
    WriteHolterIni("[OPTIONS]\r\n"
                   "channel1gain=1.5\r\n"
                   "Channel2Gain=1,5\r\n"
                   "FilterType=0x10\r\n"
                   "doformshow=0\r\n"
                   "DebugPrint=7\r\n"
                   "DefaultRegType=260\r\n"
                   "HardwareType=-3\r\n"
                   "new_reg=255\r\n"
                   "forGE=1\r\n"
                   "DoctorMode=\r\n"
                   "LanguageSetting=Eng\r\n");
    WriteLanguageFile("[VS_Messages]\r\nNormo=Normosthenic\r\n");
    State s = Run();
    EXPECT_EQ(s[L"ChannelGain"], L"1.5");
    EXPECT_EQ(s[L"ChannelGain12"], L"1");
    EXPECT_EQ(s[L"FilterType"], L"16");
    EXPECT_EQ(s[L"doformshow"], L"false");
    EXPECT_EQ(s[L"DebugPrint"], L"true");
    EXPECT_EQ(s[L"NurseMode"], L"true");
    EXPECT_EQ(s[L"DoctorMode"], L"true");
    EXPECT_EQ(s[L"DefaultRegType"], L"4");
    EXPECT_EQ(s[L"HardwareType"], L"-3");
    EXPECT_EQ(s[L"New_Reg"], L"255");
    EXPECT_EQ(s[L"forGE"], L"true");
    EXPECT_EQ(s[L"forMVD"], L"false");
    EXPECT_EQ(s[L"Person"], L"0");
    // Only "ENG" in capitals chooses English: the language file is not read.
    EXPECT_EQ(s[L"LanguageSetting"], L"Eng");
    EXPECT_EQ(s[L"LanguageCode"], L"RUS");
    EXPECT_EQ(s[L"MessageFile"], L"");
    EXPECT_EQ(s[L"ConstitutionNames[0]"], L"Нормостеник");
}

TEST_F(ProbeRun, EnglishFileReplacesOnlyTheKeysItDefines) {
    WriteHolterIni("[options]\r\n"
                   "LanguageSetting=ENG\r\n"
                   "FilterType=256\r\n"
                   "new_reg=-1\r\n"
                   "doformshow=7\r\n");
    WriteLanguageFile("[VS_Messages]\r\n"
                      "Normo=Normosthenic\r\n"
                      "Gip=Hypertension\r\n"
                      "HNZ=\r\n"
                      "nOp=Undefined\r\n"
                      "[VS_Common_Proc]\r\n"
                      "Sbo=FAULT\r\n");
    State s = Run();
    ASSERT_FALSE(s.empty());
    EXPECT_EQ(s[L"LanguageCode"], L"ENG");
    EXPECT_EQ(s[L"MessageFile"], base() + L"Settings\\EngView.lng");
    // Out-of-range one-byte values count as unreadable; start-up goes on.
    EXPECT_EQ(s[L"FilterType"], L"0");
    EXPECT_EQ(s[L"New_Reg"], L"0");
    EXPECT_EQ(s[L"doformshow"], L"true");

    EXPECT_EQ(s[L"ConstitutionNames[0]"], L"Normosthenic");
    EXPECT_EQ(s[L"DiseaseNames[0]"], L"Hypertension");
    EXPECT_EQ(s[L"DiseaseNames[9]"], L"");
    EXPECT_EQ(s[L"ConductionNames[4]"], L"Undefined");
    EXPECT_EQ(s[L"Sbo"], L"FAULT");

    EXPECT_EQ(s[L"ConstitutionNames[1]"], L"Гиперстеник");
    EXPECT_EQ(s[L"DiseaseNames[1]"], L"Нефрит или пиелонефрит");
    EXPECT_EQ(s[L"DiseaseNames[21]"], L"Сахарный диабет");
    EXPECT_EQ(s[L"ConductionNames[3]"], L"WPW");
    EXPECT_EQ(s[L"Met"], L"МЕТКА");
}

// Every key of the language file with a value of its own: a key read into
// another key's place shows as a wrong value there.
TEST_F(ProbeRun, EachCatalogueKeyFillsItsOwnPlace) {
    struct Key {
        const char* section;
        const char* key;
        const wchar_t* place;
    };
    const Key keys[] = {
        {"VS_Messages", "Normo", L"ConstitutionNames[0]"},
        {"VS_Messages", "Giper", L"ConstitutionNames[1]"},
        {"VS_Messages", "Asten", L"ConstitutionNames[2]"},
        {"VS_Messages", "Gip", L"DiseaseNames[0]"},
        {"VS_Messages", "NIP", L"DiseaseNames[1]"},
        {"VS_Messages", "NMK", L"DiseaseNames[2]"},
        {"VS_Messages", "IBS", L"DiseaseNames[3]"},
        {"VS_Messages", "Ste", L"DiseaseNames[4]"},
        {"VS_Messages", "PKa", L"DiseaseNames[5]"},
        {"VS_Messages", "IPF", L"DiseaseNames[6]"},
        {"VS_Messages", "Rev", L"DiseaseNames[7]"},
        {"VS_Messages", "NCD", L"DiseaseNames[8]"},
        {"VS_Messages", "HNZ", L"DiseaseNames[9]"},
        {"VS_Messages", "BAs", L"DiseaseNames[10]"},
        {"VS_Messages", "IOF", L"DiseaseNames[11]"},
        {"VS_Messages", "MSt", L"DiseaseNames[12]"},
        {"VS_Messages", "API", L"DiseaseNames[13]"},
        {"VS_Messages", "DMP", L"DiseaseNames[14]"},
        {"VS_Messages", "DMPP", L"DiseaseNames[15]"},
        {"VS_Messages", "OAP", L"DiseaseNames[16]"},
        {"VS_Messages", "SAo", L"DiseaseNames[17]"},
        {"VS_Messages", "KAo", L"DiseaseNames[18]"},
        {"VS_Messages", "SLA", L"DiseaseNames[19]"},
        {"VS_Messages", "IVR", L"DiseaseNames[20]"},
        {"VS_Messages", "SGl", L"DrugNames[0]"},
        {"VS_Messages", "Hin", L"DrugNames[1]"},
        {"VS_Messages", "Kor", L"DrugNames[2]"},
        {"VS_Messages", "PAn", L"DrugNames[3]"},
        {"VS_Messages", "NPr", L"DrugNames[4]"},
        {"VS_Messages", "ACA", L"DrugNames[5]"},
        {"VS_Messages", "BBl", L"DrugNames[6]"},
        {"VS_Messages", "Ant", L"DrugNames[7]"},
        {"VS_Messages", "Diu", L"DrugNames[8]"},
        {"VS_Messages", "Norm", L"ConductionNames[0]"},
        {"VS_Messages", "BLN", L"ConductionNames[1]"},
        {"VS_Messages", "BPN", L"ConductionNames[2]"},
        {"VS_Messages", "nOp", L"ConductionNames[4]"},
        {"VS_Common_Proc", "Sbo", L"Sbo"},
        {"VS_Common_Proc", "Met", L"Met"},
        {"VS_Common_Proc", "nnn", L"nnn"},
        {"VS_Common_Proc", "sss", L"sss"},
    };
    std::string file;
    for (const char* section : {"VS_Messages", "VS_Common_Proc"}) {
        file += std::string("[") + section + "]\r\n";
        for (const Key& k : keys) {
            if (std::string_view(k.section) == section) {
                file += std::string(k.key) + "=value of " + k.key + "\r\n";
            }
        }
    }
    WriteHolterIni("[options]\r\nLanguageSetting=ENG\r\n");
    WriteLanguageFile(file);
    State s = Run();
    ASSERT_FALSE(s.empty());
    for (const Key& k : keys) {
        const std::string key = k.key;
        EXPECT_EQ(s[k.place], L"value of " + std::wstring(key.begin(), key.end())) << k.key;
    }
    EXPECT_EQ(s[L"ConductionNames[3]"], L"WPW"); // no key of its own
}

TEST_F(ProbeRun, EnglishWithoutItsFileKeepsTheRussianCatalogue) {
    WriteHolterIni("[options]\r\nLanguageSetting=ENG\r\n");
    State s = Run();
    ASSERT_FALSE(s.empty());
    EXPECT_EQ(s[L"LanguageCode"], L"ENG");
    EXPECT_EQ(s[L"MessageFile"], base() + L"Settings\\EngView.lng");
    EXPECT_EQ(s[L"ConstitutionNames[0]"], L"Нормостеник");
    EXPECT_EQ(s[L"DiseaseNames[9]"], L"Хрон. неспецифич. заболевания легких");
    EXPECT_EQ(s[L"Sbo"], L"СБОЙ");
}

} // namespace
