#include <gtest/gtest.h>

#include <cstring>

#include "FailingWriter.h"
#include "common/TestFiles.h"
#include "install/CreateNSI.h"
#include "install/portable/SettingsRecords.h"
#include "base/AppError.h"
#include "base/SysError.h"
#include "common/RaisedErrors.h"

using files::ScopedBlockWriter;
using install::CreateNsiFiles;
using install::DaysSince18991230;
using install::LocalDateTime;
using install::WriteBtoothIni;
using install::WriteInitialOptions;
using install::WriteLastNumFile;

namespace {

using namespace testfiles;
using namespace std::string_literals;
using Names_ = std::vector<std::wstring>;

std::string Utf16LE(std::u16string_view text) {
    std::string bytes = "\xFF\xFE"s;
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

const std::string kFreshHolterIni = "[options]\r\nFilterType=0\r\nHardwareType=1\r\n\r\n";

class SettingsFilesTest : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(CreateDirectoryW(settings.c_str(), nullptr)); }

    ScratchDir target;
    std::wstring settings = target / L"Settings\\";
    std::wstring holterIni = settings + L"holter.ini";
    std::wstring btoothIni = target / L"btooth.ini";
};

TEST_F(SettingsFilesTest, FreshHolterIniIsExactlyTheFortyThreeBytes) {
    WriteInitialOptions(target.path());

    EXPECT_EQ(ReadBytes(holterIni), kFreshHolterIni);
    EXPECT_EQ(Names(settings), Names_{L"holter.ini"});
}

TEST_F(SettingsFilesTest, ExistingHolterIniKeepsItsKeysAndSectionsAndGetsTheTwoOptions) {
    ASSERT_TRUE(WriteBytes(holterIni, "; suite settings\r\n[Common]\r\nLanguage=1\r\n\r\n"
                                      "[OPTIONS]\r\nEnabledScrining=1\r\nfiltertype = 3\r\n"
                                      "HARDWARETYPE=7\r\nPrinter=HP\r\n[Tail]\r\nx=y\r\n"));

    WriteInitialOptions(target.path());

    EXPECT_EQ(ReadBytes(holterIni), "[Common]\r\nLanguage=1\r\n\r\n"
                                    "[OPTIONS]\r\nEnabledScrining=1\r\nFilterType=0\r\n"
                                    "HardwareType=1\r\nPrinter=HP\r\n\r\n[Tail]\r\nx=y\r\n\r\n");
}

// An earlier installation on a Russian Windows leaves holter.ini without a
// mark, in code page 1251: its Cyrillic names and values stay byte for byte
// and read back through the system as the same letters.
TEST_F(SettingsFilesTest, UnmarkedCodePage1251HolterIniKeepsItsCyrillicText) {
    ASSERT_EQ(GetACP(), 1251u) << "the tests run in the clinics' locale";
    // "[Клиника]\r\nИмя=Городская больница\r\n" in code page 1251.
    const std::string clinic = "[\xCA\xEB\xE8\xED\xE8\xEA\xE0]\r\n\xC8\xEC\xFF=\xC3\xEE\xF0\xEE\xE4"
                               "\xF1\xEA\xE0\xFF \xE1\xEE\xEB\xFC\xED\xE8\xF6\xE0\r\n\r\n";
    ASSERT_TRUE(WriteBytes(holterIni, clinic + "[options]\r\nFilterType=2\r\n"));

    WriteInitialOptions(target.path());

    EXPECT_EQ(ReadBytes(holterIni), clinic + "[options]\r\nFilterType=0\r\nHardwareType=1\r\n\r\n");
    wchar_t value[64] = {};
    GetPrivateProfileStringW(L"Клиника", L"Имя", L"", value, 64, holterIni.c_str());
    EXPECT_EQ(std::wstring(value), L"Городская больница");
}

TEST_F(SettingsFilesTest, Utf16HolterIniStaysUtf16WithItsMark) {
    ASSERT_TRUE(WriteBytes(holterIni, Utf16LE(u"[options]\r\nИмя=Вестар\r\nFilterType=2\r\n")));

    WriteInitialOptions(target.path());

    EXPECT_EQ(ReadBytes(holterIni), Utf16LE(u"[options]\r\nИмя=Вестар\r\nFilterType=0\r\n"
                                            u"HardwareType=1\r\n\r\n"));
}

TEST_F(SettingsFilesTest, MissingSettingsDirectoryRaisesTheCreateError) {
    RemoveDirectoryW(settings.c_str());

    EXPECT_EQ(RaisedText([&] { WriteInitialOptions(target.path()); }),
              CannotCreate(holterIni, ERROR_PATH_NOT_FOUND));
    EXPECT_TRUE(Names(target.path()).empty());
}

TEST_F(SettingsFilesTest, ReadOnlyHolterIniRaisesAndStaysAsItWas) {
    ASSERT_TRUE(WriteBytes(holterIni, "[options]\r\nFilterType=3\r\n"));
    ASSERT_TRUE(SetFileAttributesW(holterIni.c_str(), FILE_ATTRIBUTE_READONLY));

    EXPECT_EQ(RaisedText([&] { WriteInitialOptions(target.path()); }),
              CannotCreate(holterIni, ERROR_ACCESS_DENIED));

    EXPECT_EQ(ReadBytes(holterIni), "[options]\r\nFilterType=3\r\n");
    EXPECT_EQ(Names(settings), Names_{L"holter.ini"});
    SetFileAttributesW(holterIni.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(SettingsFilesTest, HolterIniLockedByAnotherRaisesTheOpenError) {
    ASSERT_TRUE(WriteBytes(holterIni, "[options]\r\nFilterType=3\r\n"));
    {
        const FileLock lock(holterIni);
        ASSERT_TRUE(lock.locked());
        EXPECT_EQ(RaisedText([&] { WriteInitialOptions(target.path()); }),
                  CannotOpen(holterIni, ERROR_SHARING_VIOLATION));
    }
    EXPECT_EQ(ReadBytes(holterIni), "[options]\r\nFilterType=3\r\n");
}

TEST_F(SettingsFilesTest, HolterIniOpenForReadingElsewhereRaisesTheCreateError) {
    ASSERT_TRUE(WriteBytes(holterIni, "[options]\r\nFilterType=3\r\n"));
    {
        const FileLock lock(holterIni, FILE_SHARE_READ, GENERIC_READ);
        ASSERT_TRUE(lock.locked());
        EXPECT_EQ(RaisedText([&] { WriteInitialOptions(target.path()); }),
                  CannotCreate(holterIni, ERROR_SHARING_VIOLATION));
    }
    EXPECT_EQ(ReadBytes(holterIni), "[options]\r\nFilterType=3\r\n");
}

TEST_F(SettingsFilesTest, FailedWriteLeavesTheEarlierFileWhole) {
    const std::string earlier =
        "[options]\r\nFilterType=3\r\nComment=" + std::string(500, 'c') + "\r\n";
    ASSERT_TRUE(WriteBytes(holterIni, earlier));
    ASSERT_TRUE(WriteBytes(btoothIni, "[Common]\r\nDisk=C\r\n"));
    FailingWriter failing(10);
    const ScopedBlockWriter replaced(failing);

    EXPECT_EQ(RaisedText([&] { WriteInitialOptions(target.path()); }),
              CannotCreate(holterIni, ERROR_DISK_FULL));
    EXPECT_EQ(RaisedText([&] { WriteBtoothIni(target.path()); }),
              CannotCreate(btoothIni, ERROR_DISK_FULL));

    EXPECT_EQ(ReadBytes(holterIni), earlier);
    EXPECT_EQ(ReadBytes(btoothIni), "[Common]\r\nDisk=C\r\n");
    EXPECT_EQ(Names(target.path()), (Names_{L"Settings", L"btooth.ini"}));
    EXPECT_EQ(Names(settings), Names_{L"holter.ini"});
}

TEST_F(SettingsFilesTest, FailedWriteOfANewFileLeavesNoFile) {
    FailingWriter failing(10);
    const ScopedBlockWriter replaced(failing);

    EXPECT_EQ(RaisedText([&] { WriteInitialOptions(target.path()); }),
              CannotCreate(holterIni, ERROR_DISK_FULL));
    EXPECT_TRUE(Names(settings).empty());
}

TEST_F(SettingsFilesTest, FreshBtoothIniIsExactlyTheTwentyBytes) {
    WriteBtoothIni(target.path());
    EXPECT_EQ(ReadBytes(btoothIni), "[Common]\r\nDisk=I\r\n\r\n");
}

TEST_F(SettingsFilesTest, ExistingBtoothIniKeepsItsOtherSections) {
    ASSERT_TRUE(WriteBytes(btoothIni, "[Port]\r\nCom=3\r\n[COMMON]\r\ndisk=E\r\n"));
    WriteBtoothIni(target.path());
    EXPECT_EQ(ReadBytes(btoothIni), "[Port]\r\nCom=3\r\n\r\n[COMMON]\r\nDisk=I\r\n\r\n");
}

bool IsEmptyNsiTable(const std::string& bytes) {
    return bytes == std::string(840, '\0');
}

TEST_F(SettingsFilesTest, NsiTablesAreSixtyEmptyEntriesAndLaterRunsLeaveThem) {
    CreateNsiFiles(settings);

    EXPECT_TRUE(IsEmptyNsiTable(ReadBytes(settings + L"uca.nsi")));
    EXPECT_TRUE(IsEmptyNsiTable(ReadBytes(settings + L"wra.nsi")));

    const std::string used = "\x05Ivan" + std::string(835, 'x');
    ASSERT_TRUE(WriteBytes(settings + L"uca.nsi", used));
    ASSERT_TRUE(WriteBytes(settings + L"wra.nsi", "short"));
    CreateNsiFiles(settings);

    EXPECT_EQ(ReadBytes(settings + L"uca.nsi"), used);
    EXPECT_EQ(ReadBytes(settings + L"wra.nsi"), "short");
    EXPECT_EQ(Names(settings), (Names_{L"uca.nsi", L"wra.nsi"}));
}

TEST_F(SettingsFilesTest, OnlyTheMissingNsiTableIsCreated) {
    ASSERT_TRUE(WriteBytes(settings + L"uca.nsi", "kept as it is"));
    CreateNsiFiles(settings);
    EXPECT_EQ(ReadBytes(settings + L"uca.nsi"), "kept as it is");
    EXPECT_TRUE(IsEmptyNsiTable(ReadBytes(settings + L"wra.nsi")));
}

TEST_F(SettingsFilesTest, NsiTablesMakeAMissingSettingsDirectory) {
    RemoveDirectoryW(settings.c_str());
    CreateNsiFiles(settings);
    EXPECT_TRUE(IsEmptyNsiTable(ReadBytes(settings + L"uca.nsi")));
    EXPECT_TRUE(IsEmptyNsiTable(ReadBytes(settings + L"wra.nsi")));
}

TEST_F(SettingsFilesTest, FailedNsiWriteLeavesNoShortFileSoTheNextRunWritesIt) {
    {
        FailingWriter failing(100);
        const ScopedBlockWriter replaced(failing);
        CreateNsiFiles(settings);
        EXPECT_EQ(failing.failures(), 2);
    }
    EXPECT_TRUE(Names(settings).empty());

    CreateNsiFiles(settings);
    EXPECT_TRUE(IsEmptyNsiTable(ReadBytes(settings + L"uca.nsi")));
    EXPECT_TRUE(IsEmptyNsiTable(ReadBytes(settings + L"wra.nsi")));
}

double LocalNowInDays() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return DaysSince18991230(LocalDateTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
                                           now.wSecond, now.wMilliseconds});
}

TEST_F(SettingsFilesTest, LastNumFileHoldsZerosAndTheLocalTimeOfWriting) {
    const double before = LocalNowInDays();
    WriteLastNumFile(target.path());
    const double after = LocalNowInDays();

    const std::string bytes = ReadBytes(settings + L"lastnum.dta");
    ASSERT_EQ(bytes.size(), 14u);
    EXPECT_EQ(bytes.substr(0, 6), std::string(6, '\0'));
    // The date-time field: an IEEE 754 double, little-endian like this machine.
    double written = 0;
    std::memcpy(&written, bytes.data() + 6, sizeof written);
    EXPECT_GE(written, before);
    EXPECT_LE(written, after);

    ASSERT_TRUE(WriteBytes(settings + L"lastnum.dta", "older record"));
    WriteLastNumFile(target.path());
    EXPECT_EQ(ReadBytes(settings + L"lastnum.dta"), "older record");
}

TEST_F(SettingsFilesTest, LastNumFileWithoutSettingsDirectoryDoesNothing) {
    RemoveDirectoryW(settings.c_str());
    WriteLastNumFile(target.path());
    EXPECT_TRUE(Names(target.path()).empty());
}

TEST_F(SettingsFilesTest, FailedLastNumWriteLeavesNoFile) {
    {
        FailingWriter failing(3);
        const ScopedBlockWriter replaced(failing);
        WriteLastNumFile(target.path());
    }
    EXPECT_TRUE(Names(settings).empty());
    WriteLastNumFile(target.path());
    EXPECT_EQ(ReadBytes(settings + L"lastnum.dta").size(), 14u);
}

} // namespace
