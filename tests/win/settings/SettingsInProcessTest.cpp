// The readers of the shared modules called in-process on scratch folders.
#include <gtest/gtest.h>

#include <string>
#include <windows.h>

#include "common/TestFiles.h"
#include "shared/ProfileReader.h"
#include "shared/SharedStartup.h"
#include "shared/VS_Common_Const.h"
#include "shared/VS_Common_Proc.h"
#include "shared/VS_Common_Var.h"

using shared::ActivityAdvice;
using shared::ADTags;
using shared::ConductionNames;
using shared::DecisionTags;
using shared::DiseaseNames;
using shared::GetResString;
using shared::GlobalSettings;
using shared::InitializeSharedModules;
using shared::LanguageCode;
using shared::LeadNames;
using shared::MessageFile;
using shared::nnn;
using shared::ReadProfileString;
using shared::SectionTags1;
using shared::SectionTags2;
using shared::sss;
using shared::ToleranceNames;
using shared::ViewItemNames;

namespace {

TEST(ProfileReader, MissingKeyGivesDefaultEmptyValueGivesEmpty) {
    testfiles::ScratchDir dir(L"profile");
    const std::wstring file = dir / L"a.ini";
    testfiles::WriteFileCreatingDirs(file, "[s]\r\nempty=\r\nfull = value \r\n");
    EXPECT_EQ(ReadProfileString(file, L"s", L"empty", L"dflt"), L"");
    EXPECT_EQ(ReadProfileString(file, L"S", L"FULL", L"dflt"), L"value");
    EXPECT_EQ(ReadProfileString(file, L"s", L"none", L"dflt"), L"dflt");
    EXPECT_EQ(ReadProfileString(file, L"other", L"full", L"dflt"), L"dflt");
    EXPECT_EQ(ReadProfileString(dir / L"missing.ini", L"s", L"full", L"dflt"), L"dflt");
}

TEST(SharedStartup, LongLanguageSettingKeepsTheBuffersLength) {
    testfiles::ScratchDir dir(L"long");
    testfiles::WriteFileCreatingDirs(dir / L"Settings\\holter.ini",
                                     "[options]\r\nLanguageSetting=" + std::string(3000, 'x') +
                                         "\r\n");
    InitializeSharedModules(dir.path());
    EXPECT_EQ(GlobalSettings.LanguageSetting, std::wstring(2047, L'x'));
    EXPECT_EQ(LanguageCode, L"RUS");
}

TEST(SharedStartup, UnicodeLanguageFileCarriesCyrillicTexts) {
    testfiles::ScratchDir dir(L"unicode");
    testfiles::WriteUtf16File(dir / L"Settings\\holter.ini",
                              L"[options]\r\nLanguageSetting=ENG\r\nChannel1Gain=0.75\r\n");
    testfiles::WriteUtf16File(dir / L"Settings\\EngView.lng",
                              L"[VS_Messages]\r\nBAs=Астма\r\nnOp=Не известен\r\n"
                              L"[VS_Common_Proc]\r\nsss=сек\r\n");
    InitializeSharedModules(dir.path());
    EXPECT_EQ(GlobalSettings.ChannelGain, 0.75);
    EXPECT_EQ(MessageFile, dir.path() + L"Settings\\EngView.lng");
    EXPECT_EQ(DiseaseNames[10], L"Астма");
    EXPECT_EQ(ConductionNames[4], L"Не известен");
    EXPECT_EQ(sss, L"сек");
    EXPECT_EQ(nnn, L"н");

    // A second start-up without the file puts the Russian defaults back.
    testfiles::ScratchDir bare(L"bare");
    InitializeSharedModules(bare.path());
    EXPECT_EQ(DiseaseNames[10], L"Бронхиальная астма");
    EXPECT_EQ(sss, L"с");
    EXPECT_EQ(GlobalSettings.ChannelGain, 1.0);
}

TEST(CommonConst, ListsHoldTheirLastEntries) {
    // A list whose initialiser ran short would end in empty texts.
    EXPECT_EQ(SectionTags1[22], L"Recomendation");
    EXPECT_EQ(SectionTags2[17], L"Screening");
    EXPECT_EQ(SectionTags2[18], L"Dynamics");
    EXPECT_EQ(DecisionTags[10], L"MarkOutIdx");
    EXPECT_EQ(ADTags[8], L"Rusults_Tag");
    EXPECT_EQ(LeadNames[14], L"J");
    EXPECT_EQ(ViewItemNames[44], L"Безответный ");
    EXPECT_EQ(ViewItemNames[66], L"Ритм \"Наджел.абер.тахикардия\"");
    EXPECT_EQ(ViewItemNames[70], L"Эпизод \"Бодрствование\"");
    EXPECT_EQ(ViewItemNames[73], L"Наджел. под вопросом");
    EXPECT_EQ(ToleranceNames[3], L"высокая");
    EXPECT_EQ(ActivityAdvice[7], L"Темп ходьбы 70 - 80 шагов/мин. (3 - 3.5 км/ч)");
}

TEST(GetResString, ReadsTheModulesStringTable) {
    const HINSTANCE self = GetModuleHandleW(nullptr);
    EXPECT_EQ(GetResString(self, 1), L"Вестар");
    EXPECT_EQ(GetResString(self, 999), L"");
    // At most 254 characters, and the text ends at the first zero.
    EXPECT_EQ(GetResString(self, 1000).size(), 254u);
    EXPECT_EQ(GetResString(self, 1000).substr(0, 12), L"012345678901");
    EXPECT_EQ(GetResString(self, 1001), L"до");
}

} // namespace
