// The message catalogue of the shared procedures: every entry read from the
// language file, or its Russian default.
#include "shared/MessageCatalogue.h"

#include <array>

#include "shared/ProfileReader.h"
#include "shared/VS_Common_Const.h"
#include "shared/VS_Common_Var.h"

namespace shared {

std::wstring Sbo;
std::wstring Met;
std::wstring nnn;
std::wstring sss;

namespace {

struct CatalogueEntry {
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* russianDefault;
    std::wstring* target;
};

const wchar_t* const kMessages = L"VS_Messages";
const wchar_t* const kCommonProc = L"VS_Common_Proc";

// The catalogue in its reading order.
const std::array<CatalogueEntry, 41> kCatalogue = {{
    {kMessages, L"Normo", L"Нормостеник", &ConstitutionNames[0]},
    {kMessages, L"Giper", L"Гиперстеник", &ConstitutionNames[1]},
    {kMessages, L"Asten", L"Астеник", &ConstitutionNames[2]},
    {kMessages, L"Gip", L"Гипертония", &DiseaseNames[0]},
    {kMessages, L"NIP", L"Нефрит или пиелонефрит", &DiseaseNames[1]},
    {kMessages, L"NMK", L"Нарушение мозгового кровообращения", &DiseaseNames[2]},
    {kMessages, L"IBS", L"ИБС", &DiseaseNames[3]},
    {kMessages, L"Ste", L"Стенокардия", &DiseaseNames[4]},
    {kMessages, L"PKa", L"Постинфарктный кардиосклероз", &DiseaseNames[5]},
    {kMessages, L"IPF", L"Инфаркт, подострая фаза", &DiseaseNames[6]},
    {kMessages, L"Rev", L"Ревматизм", &DiseaseNames[7]},
    {kMessages, L"NCD", L"НЦД", &DiseaseNames[8]},
    {kMessages, L"HNZ", L"Хрон. неспецифич. заболевания легких", &DiseaseNames[9]},
    {kMessages, L"BAs", L"Бронхиальная астма", &DiseaseNames[10]},
    {kMessages, L"IOF", L"Инфаркт, острая фаза", &DiseaseNames[11]},
    {kMessages, L"MSt", L"Митральный стеноз", &DiseaseNames[12]},
    {kMessages, L"API", L"Аортальный порок или митр. недостат", &DiseaseNames[13]},
    {kMessages, L"DMP", L"Дефект межжелудочковой перегородки", &DiseaseNames[14]},
    {kMessages, L"DMPP", L"Дефект межпредсердной перегородки", &DiseaseNames[15]},
    {kMessages, L"OAP", L"Общий артериальный проток", &DiseaseNames[16]},
    {kMessages, L"SAo", L"Стеноз аорты", &DiseaseNames[17]},
    {kMessages, L"KAo", L"Коарктация аорты", &DiseaseNames[18]},
    {kMessages, L"SLA", L"Стеноз лег. арт, тетр. и триада Фало", &DiseaseNames[19]},
    {kMessages, L"IVR", L"Искусственный водитель ритма", &DiseaseNames[20]},
    {kMessages, L"SGl", L"сердечные гликозиды", &DrugNames[0]},
    {kMessages, L"Hin", L"хинидин", &DrugNames[1]},
    {kMessages, L"Kor", L"кордарон", &DrugNames[2]},
    {kMessages, L"PAn", L"пр. антиритмические", &DrugNames[3]},
    {kMessages, L"NPr", L"нитропрепараты", &DrugNames[4]},
    {kMessages, L"ACA", L"Антогонисты Ca", &DrugNames[5]},
    {kMessages, L"BBl", L"Б-блокаторы", &DrugNames[6]},
    {kMessages, L"Ant", L"антигипертензионные", &DrugNames[7]},
    {kMessages, L"Diu", L"диуретики", &DrugNames[8]},
    {kMessages, L"Norm", L"Норма", &ConductionNames[0]},
    {kMessages, L"BLN", L"БЛН", &ConductionNames[1]},
    {kMessages, L"BPN", L"БПН", &ConductionNames[2]},
    {kMessages, L"nOp", L"Не определен", &ConductionNames[4]},
    {kCommonProc, L"Sbo", L"СБОЙ", &Sbo},
    {kCommonProc, L"Met", L"МЕТКА", &Met},
    {kCommonProc, L"nnn", L"н", &nnn},
    {kCommonProc, L"sss", L"с", &sss},
}};

} // namespace

void LoadMessages() {
    for (const CatalogueEntry& entry : kCatalogue) {
        // Without a language file every entry takes its Russian default.
        *entry.target = MessageFile.empty() ? std::wstring(entry.russianDefault)
                                            : ReadProfileString(MessageFile, entry.section,
                                                                entry.key, entry.russianDefault);
    }
}

void InitializeCommonProc() {
    LoadMessages();
}

} // namespace shared
