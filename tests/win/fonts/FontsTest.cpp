#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <string>
#include <vector>
#include <windows.h>

#include "FontsDirectoryGuard.h"
#include "common/ScriptedDialogs.h"
#include "common/TestFiles.h"
#include "files/BlockWriter.h"
#include "install/FontStep.h"
#include "install/ProgressLog.h"
#include "base/AppError.h"
#include "shared/VS_Common_Proc.h"
#include "system/FontRegistry.h"
#include "system/Fonts.h"

using base::AppError;
using files::IBlockWriter;
using files::ScopedBlockWriter;
using install::InstallFonts;
using shared::GetWindowsDir;
using sys::CurrentFontRegistry;
using sys::GetFontTitle;
using sys::IFontRegistry;
using sys::ScopedFontRegistry;

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Pair;
using ::testing::StartsWith;

const std::vector<std::wstring> kSuiteFonts = {
    L"ARIAL.TTF",  L"ARIALN.TTF", L"COUR.TTF",    L"MICROSS.TTF",
    L"TAHOMA.TTF", L"TIMES.TTF",  L"verdana.TTF",
};

// The medium's stand-ins: free fonts of the host under the suite's names.
struct StandIn {
    const wchar_t* name;
    const wchar_t* hostFont;
    const wchar_t* fullName;
};
const StandIn kStandIns[] = {
    {L"ARIAL.TTF", L"dejavu\\DejaVuSerifCondensed-BoldItalic.ttf",
     L"DejaVu Serif Condensed Bold Italic"},
    {L"ARIALN.TTF", L"dejavu\\DejaVuSansCondensed-Oblique.ttf", L"DejaVu Sans Condensed Oblique"},
    {L"COUR.TTF", L"liberation\\LiberationMono-BoldItalic.ttf", L"Liberation Mono Bold Italic"},
    {L"MICROSS.TTF", L"dejavu\\DejaVuSans-ExtraLight.ttf", L"DejaVu Sans ExtraLight"},
    {L"TAHOMA.TTF", L"liberation\\LiberationSansNarrow-BoldItalic.ttf",
     L"Liberation Sans Narrow Bold Italic"},
    {L"TIMES.TTF", L"dejavu\\DejaVuSerif-Italic.ttf", L"DejaVu Serif Italic"},
    {L"verdana.TTF", L"dejavu\\DejaVuSansMono-Oblique.ttf", L"DejaVu Sans Mono Oblique"},
};
const wchar_t kHostFonts[] = L"Z:\\usr\\share\\fonts\\truetype\\";

std::wstring InstalledLine(const std::wstring& title) {
    return L"Шрифт <" + title + L"> уcтановлен";
}

using testfiles::Exists;
using testfiles::ReadBytes;

FILETIME LastWriteTime(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

ULONGLONG Ticks(const FILETIME& time) {
    return (ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

FILETIME FromLocal(WORD hour, WORD minute, WORD second, WORD milliseconds) {
    return testfiles::LocalTimeAsFileTime(2021, 3, 4, hour, minute, second, milliseconds);
}

// Takes the font step's registrations in place of the machine's Fonts key.
class RecordingFontRegistry : public IFontRegistry {
  public:
    void SetFontValue(const std::wstring& name, const std::wstring& fileName) override {
        const auto* bytes = reinterpret_cast<const BYTE*>(fileName.c_str());
        values[name] = {REG_SZ, {bytes, bytes + (fileName.size() + 1) * sizeof(wchar_t)}};
    }
    RegistryValues values;
};

// A medium in a scratch directory, the prefix's fonts directory kept as it
// was, a log, and a
// recorder for the registrations.
class InstallFontsTest : public ::testing::Test {
  protected:
    InstallFontsTest()
        : medium_(root_ / L"medium\\"), mediumFonts_(medium_ + L"fonts\\"),
          fontsDir_(GetWindowsDir() + L"fonts\\"), saved_(MakeDirectory(root_ / L"saved\\")) {
        guard_.emplace(fontsDir_, saved_, kSuiteFonts);
        MakeDirectory(medium_);
        MakeDirectory(mediumFonts_);
    }
    // The fonts directory is put back before the scratch directory with the
    // saved fonts goes.
    ~InstallFontsTest() override { guard_.reset(); }

    static std::wstring MakeDirectory(const std::wstring& path) {
        CreateDirectoryW(path.c_str(), nullptr);
        return path;
    }

    // Puts the stand-ins on the medium, all of them but `except`.
    void FillMedium(const std::wstring& except = L"") {
        for (const StandIn& font : kStandIns) {
            if (font.name != except) {
                ASSERT_TRUE(CopyFileW((std::wstring(kHostFonts) + font.hostFont).c_str(),
                                      (mediumFonts_ + font.name).c_str(), FALSE))
                    << GetLastError();
            }
        }
    }

    // Fonts-directory files that only bear the suite's names.
    void PlaceInFontsDir(const std::vector<std::wstring>& names) {
        for (const std::wstring& name : names) {
            testfiles::WriteBytes(fontsDir_ + name, "placeholder, not a font");
        }
    }

    std::vector<std::wstring> AllBut(const std::wstring& except) const {
        std::vector<std::wstring> names;
        for (const std::wstring& name : kSuiteFonts) {
            if (name != except) {
                names.push_back(name);
            }
        }
        return names;
    }

    // What the font step registered.
    const RegistryValues& AddedRegistrations() const { return registry_.values; }

    static RegistryValue SzValue(const std::wstring& text) {
        const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
        return {REG_SZ, {bytes, bytes + (text.size() + 1) * sizeof(wchar_t)}};
    }

    testfiles::ScratchDir root_{L"vestar-fonts"};
    std::wstring medium_;
    std::wstring mediumFonts_;
    std::wstring fontsDir_;
    std::wstring saved_;
    std::optional<FontsDirectoryGuard> guard_;
    RecordingFontRegistry registry_;
    std::optional<ScopedFontRegistry> recording_{std::in_place, registry_};
    RecordingLog log_;
};

TEST(WindowsDir, EndsInOneBackslash) {
    wchar_t buffer[MAX_PATH];
    const UINT length = GetWindowsDirectoryW(buffer, MAX_PATH);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(GetWindowsDir(), std::wstring(buffer, length) + L"\\");
}

TEST_F(InstallFontsTest, FontsPresentByNameAreLeftAlone) {
    FillMedium();
    PlaceInFontsDir(kSuiteFonts);

    InstallFonts(log_, medium_, base::RunHere);

    EXPECT_THAT(log_.lines, IsEmpty());
    EXPECT_THAT(AddedRegistrations(), IsEmpty());
    for (const std::wstring& name : kSuiteFonts) {
        EXPECT_EQ(ReadBytes(fontsDir_ + name), "placeholder, not a font") << name;
    }
}

TEST_F(InstallFontsTest, InstallsTheOneMissingFont) {
    FillMedium();
    const FILETIME mediumTime = FromLocal(13, 45, 37, 120);
    {
        HANDLE file = CreateFileW((mediumFonts_ + L"TAHOMA.TTF").c_str(), FILE_WRITE_ATTRIBUTES, 0,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        SetFileTime(file, nullptr, nullptr, &mediumTime);
        CloseHandle(file);
    }
    PlaceInFontsDir(AllBut(L"TAHOMA.TTF"));

    InstallFonts(log_, medium_, base::RunHere);

    const std::wstring title = L"Liberation Sans Narrow Bold Italic";
    ASSERT_THAT(log_.lines, ElementsAre(InstalledLine(title)));
    const std::wstring& line = log_.lines[0];
    const std::wstring lastWord = line.substr(line.rfind(L' ') + 1);
    ASSERT_EQ(lastWord.size(), 10u);
    for (size_t i = 0; i < lastWord.size(); ++i) {
        if (i == 1) {
            EXPECT_EQ(lastWord[i], L'\x0063') << "the Latin c";
        } else {
            EXPECT_TRUE(lastWord[i] >= L'\x0430' && lastWord[i] <= L'\x044F')
                << "Cyrillic at " << i;
        }
    }
    EXPECT_THAT(AddedRegistrations(),
                ElementsAre(Pair(title + L" (TrueType)", SzValue(L"TAHOMA.TTF"))));
    EXPECT_EQ(ReadBytes(fontsDir_ + L"TAHOMA.TTF"), ReadBytes(mediumFonts_ + L"TAHOMA.TTF"));
    EXPECT_EQ(Ticks(LastWriteTime(fontsDir_ + L"TAHOMA.TTF")), Ticks(FromLocal(13, 45, 36, 0)))
        << "the medium's time, rounded down to the even second";
}

TEST_F(InstallFontsTest, AFontMissingFromTheMediumEndsTheWork) {
    FillMedium(L"COUR.TTF");

    try {
        InstallFonts(log_, medium_, base::RunHere);
        FAIL() << "the missing medium file raises";
    } catch (const AppError& error) {
        EXPECT_THAT(error.text(),
                    StartsWith(L"Cannot open file \"" + mediumFonts_ + L"COUR.TTF\". "));
    }

    EXPECT_THAT(log_.lines, ElementsAre(InstalledLine(L"DejaVu Serif Condensed Bold Italic"),
                                        InstalledLine(L"DejaVu Sans Condensed Oblique")));
    EXPECT_THAT(
        AddedRegistrations(),
        ElementsAre(Pair(L"DejaVu Sans Condensed Oblique (TrueType)", SzValue(L"ARIALN.TTF")),
                    Pair(L"DejaVu Serif Condensed Bold Italic (TrueType)", SzValue(L"ARIAL.TTF"))));
    EXPECT_TRUE(Exists(fontsDir_ + L"ARIAL.TTF"));
    EXPECT_TRUE(Exists(fontsDir_ + L"ARIALN.TTF"));
    for (const wchar_t* name :
         {L"COUR.TTF", L"MICROSS.TTF", L"TAHOMA.TTF", L"TIMES.TTF", L"verdana.TTF"}) {
        EXPECT_FALSE(Exists(fontsDir_ + name)) << name;
    }
}

// Every write fails, as on a full disk.
class FailingBlockWriter : public IBlockWriter {
  public:
    base::SysResult WriteBlock(HANDLE, const void*, DWORD) override {
        return base::SysResult::Failed(ERROR_DISK_FULL);
    }
};

TEST_F(InstallFontsTest, AFailedCopyIsNeitherRegisteredNorReported) {
    FillMedium();
    PlaceInFontsDir(AllBut(L"TAHOMA.TTF"));
    FailingBlockWriter failing;
    const ScopedBlockWriter diskFull(failing);

    try {
        InstallFonts(log_, medium_, base::RunHere);
        ADD_FAILURE() << "nothing raised";
    } catch (const base::SysFailure& failure) {
        EXPECT_EQ(failure.code(), static_cast<unsigned long>(ERROR_DISK_FULL))
            << "the copy's own error travels with the raised one";
    }

    EXPECT_THAT(log_.lines, IsEmpty());
    EXPECT_THAT(AddedRegistrations(), IsEmpty());
    EXPECT_FALSE(Exists(fontsDir_ + L"TAHOMA.TTF"));
}

TEST_F(InstallFontsTest, UnreadableTitlesDoNotShareOneRegistration) {
    testfiles::WriteBytes(mediumFonts_ + L"ARIAL.TTF", "no font here");
    testfiles::WriteBytes(mediumFonts_ + L"ARIALN.TTF", "nor here");
    PlaceInFontsDir(AllBut(L"ARIAL.TTF"));
    DeleteFileW((fontsDir_ + L"ARIALN.TTF").c_str());

    InstallFonts(log_, medium_, base::RunHere);

    EXPECT_THAT(log_.lines, ElementsAre(InstalledLine(L"ARIAL"), InstalledLine(L"ARIALN")));
    EXPECT_THAT(AddedRegistrations(),
                ElementsAre(Pair(L"ARIAL (TrueType)", SzValue(L"ARIAL.TTF")),
                            Pair(L"ARIALN (TrueType)", SzValue(L"ARIALN.TTF"))));
}

TEST_F(InstallFontsTest, TitleIsTheFontsFullNameWhateverItsFileIsCalled) {
    FillMedium();
    for (const StandIn& font : kStandIns) {
        EXPECT_EQ(GetFontTitle(mediumFonts_ + font.name), font.fullName) << font.name;
    }
}

TEST_F(InstallFontsTest, TitleFallsBackToTheFileName) {
    testfiles::WriteBytes(mediumFonts_ + L"ARIAL.TTF", "no font here");
    EXPECT_EQ(GetFontTitle(mediumFonts_ + L"ARIAL.TTF"), L"ARIAL");
    EXPECT_EQ(GetFontTitle(mediumFonts_ + L"TIMES.TTF"), L"TIMES") << "a missing file";
}

// With the recorder taken away, the registry in use is the machine's: the
// value lands in HKLM's Fonts key (the guard puts the key back as it was).
TEST_F(InstallFontsTest, TheMachinesRegistryGetsTheValueInItsFontsKey) {
    recording_.reset();
    const std::wstring name = L"Vestar Тест (TrueType)";
    CurrentFontRegistry().SetFontValue(name, L"VESTAR.TTF");
    const RegistryValues now = ReadFontRegistrations();
    ASSERT_TRUE(now.contains(name));
    EXPECT_EQ(now.at(name), SzValue(L"VESTAR.TTF"));
}

} // namespace
