#pragma once
// Types shared by the installer and the installed suite.
#include <cstdint>
#include <string>

namespace shared {

enum THViewType : std::uint8_t {
    hvtStandart = 0,
    hvtFragment = 1,
    hvtOnline = 2,
    hvtTest = 3,
    hvtSaveSkr = 4,
    hvtSaveDin = 5,
    hvtAD = 6,
    hvtNone = 7
};

// The recorder models the suite works with.
enum Tregtype : std::uint8_t {
    rtKardioTehnika = 0,
    rtKardioTehnika3 = 1,
    rtKardioTehnika4 = 2,
    rtKt07 = 3,
    rtKtResp = 4,
    rtKtBpLab = 5,
    rtUniversal = 6,
    rtKtChild = 7
};

// The suite's shared settings (holter.ini, section "options").
struct TSettings {
    THViewType HViewType = hvtStandart;
    bool DebugPrint = false;
    bool DebugMy = false;
    bool PoverkaView = false;
    bool HviewDebug = false;
    bool GroupProcess = false;
    bool doformshow = false;
    bool EnabledScrining = false;
    bool ECGAtRestWork = false;
    bool OnlyDecode = false;
    bool SaveSwap = false;
    double ChannelGain = 0.0;
    double ChannelGain12 = 0.0;
    std::int32_t HardwareType = 0;
    std::uint8_t FilterType = 0;
    bool CorrectProbeli = false;
    bool forMVD = false;
    bool forGE = false;
    std::uint8_t Person = 0;
    std::wstring LanguageSetting;
    std::uint8_t New_Reg = 0;
    Tregtype DefaultRegType = rtKardioTehnika;
    bool NurseMode = false;
    bool DoctorMode = false;
    bool EMIASTESTINGMODE = false;
    bool EMIASEMULATINGMODE = false;
    bool RegEmulating = false;
    bool AriadnaSearchTesting = false;
    bool UserIsMS = false;
    bool PraktikaSearchTesting = false;
    bool PraktikaTesting = false;
};

// A patient-data record.
struct TStartXmlObject {
    std::wstring filename, Code, Amcart, FIO, Birthday, Birthday_YY, Birthday_MM, Birthday_DD, Pol,
        Constitution, AD;
    std::int32_t ADS = 0;
    std::int32_t ADD = 0;
    std::wstring Doctor, Diagnosys, Otdel, Area, Palata, Address, Workplace, Policy, Medic;
    std::int32_t IWR = 0;

    void clear();
};

} // namespace shared
