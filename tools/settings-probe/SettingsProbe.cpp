// settings_probe <output file>
// Runs the start-up of the shared modules for its own directory and writes
// every variable they set, one "name=value" line each, in UTF-8.
#include <cstdio>
#include <memory>
#include <string>
#include <windows.h>

#include "shared/SharedStartup.h"
#include "shared/VS_Common_Const.h"
#include "shared/VS_Common_Proc.h"
#include "shared/VS_Common_Var.h"
#include "shared/portable/NumberFormat.h"

using shared::AtesInDir;
using shared::AtesOutDir;
using shared::BaseDir;
using shared::ConductionNames;
using shared::ConstitutionNames;
using shared::CurrentLead;
using shared::DefaultViewHeight;
using shared::DefaultViewWidth;
using shared::DefaultViewZoom;
using shared::DiseaseNames;
using shared::DrugNames;
using shared::FloatToText;
using shared::FormatSettings;
using shared::GlobalSettings;
using shared::InitializeSharedModules;
using shared::LanguageCode;
using shared::MessageFile;
using shared::Met;
using shared::nnn;
using shared::Sbo;
using shared::ShownLeads;
using shared::sss;
using shared::StartXmlObject;
using shared::TSettings;

namespace {

std::string Utf8(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

class StateWriter {
  public:
    void Put(const std::wstring& name, const std::wstring& value) {
        text_ += Utf8(name) + "=" + Utf8(value) + "\n";
    }
    void Put(const std::wstring& name, long long value) { Put(name, std::to_wstring(value)); }
    void Put(const std::wstring& name, bool value) {
        Put(name, std::wstring(value ? L"true" : L"false"));
    }
    void PutFloat(const std::wstring& name, double value) { Put(name, FloatToText(value)); }
    template <typename List> void PutList(const std::wstring& name, const List& list) {
        for (std::size_t i = 0; i < list.size(); ++i) {
            Put(name + L"[" + std::to_wstring(i) + L"]", list[i]);
        }
    }
    const std::string& text() const { return text_; }

  private:
    std::string text_;
};

void PutSettings(StateWriter& out, const TSettings& s) {
    out.Put(L"HViewType", static_cast<long long>(s.HViewType));
    out.Put(L"DebugPrint", s.DebugPrint);
    out.Put(L"DebugMy", s.DebugMy);
    out.Put(L"PoverkaView", s.PoverkaView);
    out.Put(L"HviewDebug", s.HviewDebug);
    out.Put(L"GroupProcess", s.GroupProcess);
    out.Put(L"doformshow", s.doformshow);
    out.Put(L"EnabledScrining", s.EnabledScrining);
    out.Put(L"ECGAtRestWork", s.ECGAtRestWork);
    out.Put(L"OnlyDecode", s.OnlyDecode);
    out.Put(L"SaveSwap", s.SaveSwap);
    out.PutFloat(L"ChannelGain", s.ChannelGain);
    out.PutFloat(L"ChannelGain12", s.ChannelGain12);
    out.Put(L"HardwareType", static_cast<long long>(s.HardwareType));
    out.Put(L"FilterType", static_cast<long long>(s.FilterType));
    out.Put(L"CorrectProbeli", s.CorrectProbeli);
    out.Put(L"forMVD", s.forMVD);
    out.Put(L"forGE", s.forGE);
    out.Put(L"Person", static_cast<long long>(s.Person));
    out.Put(L"LanguageSetting", s.LanguageSetting);
    out.Put(L"New_Reg", static_cast<long long>(s.New_Reg));
    out.Put(L"DefaultRegType", static_cast<long long>(s.DefaultRegType));
    out.Put(L"NurseMode", s.NurseMode);
    out.Put(L"DoctorMode", s.DoctorMode);
    out.Put(L"EMIASTESTINGMODE", s.EMIASTESTINGMODE);
    out.Put(L"EMIASEMULATINGMODE", s.EMIASEMULATINGMODE);
    out.Put(L"RegEmulating", s.RegEmulating);
    out.Put(L"AriadnaSearchTesting", s.AriadnaSearchTesting);
    out.Put(L"UserIsMS", s.UserIsMS);
    out.Put(L"PraktikaSearchTesting", s.PraktikaSearchTesting);
    out.Put(L"PraktikaTesting", s.PraktikaTesting);
}

void PutModuleState(StateWriter& out) {
    out.Put(L"BaseDir", BaseDir);
    out.Put(L"MessageFile", MessageFile);
    out.Put(L"LanguageCode", LanguageCode);
    out.Put(L"AtesInDir", AtesInDir);
    out.Put(L"AtesOutDir", AtesOutDir);
    out.Put(L"DecimalSeparator", std::wstring(1, FormatSettings.DecimalSeparator));
    out.Put(L"ThousandSeparator", std::wstring(1, FormatSettings.ThousandSeparator));
    out.Put(L"DefaultViewWidth", static_cast<long long>(DefaultViewWidth));
    out.Put(L"DefaultViewHeight", static_cast<long long>(DefaultViewHeight));
    out.Put(L"DefaultViewZoom", static_cast<long long>(DefaultViewZoom));
    out.Put(L"CurrentLead", static_cast<long long>(CurrentLead));
    out.Put(L"ShownLeads", static_cast<long long>(ShownLeads));
    out.Put(L"StartXmlObject.FIO", StartXmlObject.FIO);
    out.Put(L"StartXmlObject.IWR", static_cast<long long>(StartXmlObject.IWR));
    PutSettings(out, GlobalSettings);
}

void PutCatalogue(StateWriter& out) {
    out.PutList(L"ConstitutionNames", ConstitutionNames);
    out.PutList(L"DiseaseNames", DiseaseNames);
    out.PutList(L"DrugNames", DrugNames);
    out.PutList(L"ConductionNames", ConductionNames);
    out.Put(L"Sbo", Sbo);
    out.Put(L"Met", Met);
    out.Put(L"nnn", nnn);
    out.Put(L"sss", sss);
}

bool WriteAll(const std::wstring& path, const std::string& bytes) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(_wfopen(path.c_str(), L"wb"), &std::fclose);
    if (!file) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    return std::fclose(file.release()) == 0 && written;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fputs("usage: settings_probe <output file>\n", stderr);
        return 2;
    }
    InitializeSharedModules();
    StateWriter out;
    PutModuleState(out);
    PutCatalogue(out);
    return WriteAll(argv[1], out.text()) ? 0 : 1;
}
