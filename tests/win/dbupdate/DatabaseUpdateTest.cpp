// The database update step against real directories, scripts and release
// files in scratch directories.
#include "install/DatabaseUpdate.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include <msxml2.h>

#include "common/TestFiles.h"
#include "base/AppError.h"
#include "base/SysError.h"
#include "base/Handles.h"

using base::AppError;
using base::ComApartment;
using base::ComPtr;
using base::SysErrorMessage;
using base::UniqueHandle;
using install::UpdateDatabaseFromBackup;
using install::WriteReleaseLevel;

namespace fs = std::filesystem;

namespace {

constexpr CLSID kDomDocumentClass = {
    0xF6D90F11, 0x9C73, 0x11D3, {0xB3, 0x2E, 0x00, 0xC0, 0x4F, 0x99, 0x0B, 0xB4}};
constexpr IID kDomDocument2Interface = {
    0x2933BF95, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

const std::wstring kPrefix = L"Cannot get release information, error: ";

// Writes %CD% of the script into ran.txt in the directory it runs in, and
// fails, which the step does not look at.
const std::string kScript = "@echo %CD%>ran.txt\r\n@exit /b 3\r\n";

std::string ReleaseInfoXml(const std::string& versionElement, const std::string& level) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
           "<ROOT>\r\n" +
           versionElement +
           "\r\n"
           "  <Product name=\"Вестар\">Holter ECG</Product>\r\n"
           "  <Level>" +
           level +
           "</Level>\r\n"
           "  <Notes><Item kind=\"a\">первый</Item><Item kind=\"b\"/></Notes>\r\n"
           "</ROOT>\r\n";
}

const std::string kVersion1 = "  <Version>1</Version>";

using testfiles::CurrentDirectory;
using testfiles::Exists;
using testfiles::ReadBytes;
constexpr auto WriteBytes = testfiles::WriteFileCreatingDirs;

bool IsReadOnly(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

// The bytes cmd writes for `text` when its output goes to a file: the OEM
// code page, 866 in the clinics' locale, which holds the Cyrillic letters.
std::string InConsoleCodePage(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_OEMCP, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_OEMCP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    return bytes;
}

std::wstring WithoutTrailingBackslash(std::wstring path) {
    if (!path.empty() && path.back() == L'\\') {
        path.pop_back();
    }
    return path;
}

std::set<std::wstring> FileNamesIn(const std::wstring& directory) {
    std::set<std::wstring> names;
    for (const auto& entry : fs::directory_iterator(fs::path(directory))) {
        names.insert(entry.path().filename().wstring());
    }
    return names;
}

// A document's root element as the DOM serialises it after loading with the
// defaults the step uses, so that two files compare by content.
std::wstring ParsedXml(const std::wstring& path) {
    ComPtr<IXMLDOMDocument2> document;
    EXPECT_EQ(CoCreateInstance(kDomDocumentClass, nullptr, CLSCTX_INPROC_SERVER,
                               kDomDocument2Interface, document.put_void()),
              S_OK);
    if (!document) {
        return {};
    }
    document->put_async(VARIANT_FALSE);
    VARIANT file;
    VariantInit(&file);
    file.vt = VT_BSTR;
    file.bstrVal = SysAllocString(path.c_str());
    VARIANT_BOOL loaded = VARIANT_FALSE;
    document->load(file, &loaded);
    VariantClear(&file);
    EXPECT_EQ(loaded, VARIANT_TRUE) << "cannot parse the release file";
    ComPtr<IXMLDOMElement> root;
    document->get_documentElement(root.put());
    if (!root) {
        return {};
    }
    BSTR xml = nullptr;
    root->get_xml(&xml);
    std::wstring text(xml, SysStringLen(xml));
    SysFreeString(xml);
    return text;
}

class DatabaseUpdateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(com_.result()));
        savedDirectory_ = CurrentDirectory();
        medium_ = scratch_ / L"medium\\";
        target_ = scratch_ / L"Вестар\\";
        fs::create_directories(fs::path(medium_));
        fs::create_directories(fs::path(target_));
        WriteMediumUpdater(ReleaseInfoXml(kVersion1, "000000"));
    }

    void TearDown() override { SetCurrentDirectoryW(savedDirectory_.c_str()); }

    // The updater tree of the medium, with its files read-only as on a CD.
    void WriteMediumUpdater(const std::string& releaseInfo) {
        WriteBytes(medium_ + L"Updater\\ReleaseInfo", releaseInfo);
        WriteBytes(medium_ + L"Updater\\Updater.exe.cfg", "<configuration/>\r\n");
        WriteBytes(medium_ + L"Updater\\Tools\\helper.txt", "helper");
        SetFileAttributesW((medium_ + L"Updater\\ReleaseInfo").c_str(), FILE_ATTRIBUTE_READONLY);
        SetFileAttributesW((medium_ + L"Updater\\Updater.exe.cfg").c_str(),
                           FILE_ATTRIBUTE_READONLY);
    }

    void AddBackup(const std::wstring& name, bool withScript = true) {
        const std::wstring directory = medium_ + L"backup\\" + name + L"\\";
        fs::create_directories(fs::path(directory));
        WriteBytes(directory + L"data.sql", "-- " + std::to_string(name.size()));
        if (withScript) {
            WriteBytes(directory + L"Install.cmd", kScript);
        }
    }

    // A directory placed straight into the target's backup directory.
    std::wstring AddTargetBackup(const std::wstring& name, DWORD attributes) {
        std::wstring directory = target_ + L"backup\\" + name;
        fs::create_directories(fs::path(directory));
        WriteBytes(directory + L"\\Install.cmd", kScript);
        SetFileAttributesW(directory.c_str(), attributes);
        return directory;
    }

    std::wstring TargetBackup(const std::wstring& name) const {
        return target_ + L"backup\\" + name;
    }

    bool ScriptRanIn(const std::wstring& name) const {
        return Exists(TargetBackup(name) + L"\\ran.txt");
    }

    // The text of the raised error, or empty when the step succeeded.
    std::wstring RunStep() {
        try {
            UpdateDatabaseFromBackup(target_, medium_, base::RunHere);
        } catch (const AppError& error) {
            return error.text();
        }
        return {};
    }

    std::wstring ReleaseInfo() const { return target_ + L"ReleaseInfo"; }

    // The target's ReleaseInfo must equal the medium's with the given level.
    void ExpectReleaseLevel(const std::string& level) {
        WriteBytes(scratch_ / L"expected.xml", ReleaseInfoXml(kVersion1, level));
        EXPECT_EQ(ParsedXml(ReleaseInfo()), ParsedXml(scratch_ / L"expected.xml"));
    }

    ComApartment com_;
    std::wstring savedDirectory_;
    testfiles::ScratchDir scratch_{L"vestar-dbupdate"};
    std::wstring medium_;
    std::wstring target_;
};

} // namespace

TEST_F(DatabaseUpdateTest, RunsTheNewestBackupsScriptAndRecordsItsLevel) {
    AddBackup(L"b311213");
    AddBackup(L"a010114");
    AddBackup(L"k311299");
    AddBackup(L"WithOutAnswer");
    AddTargetBackup(L"h010120", FILE_ATTRIBUTE_HIDDEN);
    AddTargetBackup(L"s010121", FILE_ATTRIBUTE_SYSTEM);
    WriteBytes(TargetBackup(L"f010122"), "a file, not a backup");

    ASSERT_EQ(RunStep(), L"");

    ASSERT_TRUE(ScriptRanIn(L"a010114"));
    ASSERT_EQ(GetOEMCP(), 866u) << "the tests run in the clinics' locale";
    const std::string seen = Trimmed(ReadBytes(TargetBackup(L"a010114") + L"\\ran.txt"));
    EXPECT_EQ(seen, InConsoleCodePage(TargetBackup(L"a010114")));
    EXPECT_EQ(seen.find('?'), std::string::npos) << "the script sees the Cyrillic path whole";
    for (const wchar_t* other :
         {L"b311213", L"k311299", L"WithOutAnswer", L"h010120", L"s010121"}) {
        EXPECT_FALSE(ScriptRanIn(other)) << "script ran in another backup";
    }
    ExpectReleaseLevel("010114");
    EXPECT_EQ(CurrentDirectory(), WithoutTrailingBackslash(target_));
}

TEST_F(DatabaseUpdateTest, CopiesTheTreesAndMakesTheUpdaterFilesWritable) {
    AddBackup(L"r150613");
    ASSERT_EQ(RunStep(), L"");

    EXPECT_EQ(ReadBytes(TargetBackup(L"r150613") + L"\\Install.cmd"), kScript);
    EXPECT_EQ(ReadBytes(target_ + L"Tools\\helper.txt"), "helper");
    EXPECT_EQ(ReadBytes(target_ + L"Updater.exe.cfg"), "<configuration/>\r\n");
    EXPECT_FALSE(IsReadOnly(ReleaseInfo()));
    EXPECT_FALSE(IsReadOnly(target_ + L"Updater.exe.cfg"));
    EXPECT_TRUE(IsReadOnly(medium_ + L"Updater\\ReleaseInfo"));
    EXPECT_EQ(ReadBytes(medium_ + L"Updater\\ReleaseInfo"), ReleaseInfoXml(kVersion1, "000000"));
    ExpectReleaseLevel("150613");
}

TEST_F(DatabaseUpdateTest, UsesAnExistingBackupDirectoryWhateverItsLetterCase) {
    fs::create_directories(fs::path(target_ + L"BACKUP"));
    AddBackup(L"r150613");
    ASSERT_EQ(RunStep(), L"");
    EXPECT_EQ(FileNamesIn(target_).count(L"BACKUP"), 1u);
    EXPECT_TRUE(ScriptRanIn(L"r150613"));
}

TEST_F(DatabaseUpdateTest, OfEqualDatesTheFirstInCaseInsensitiveOrderRuns) {
    AddBackup(L"Y150613");
    AddBackup(L"x150613");
    ASSERT_EQ(RunStep(), L"");
    EXPECT_TRUE(ScriptRanIn(L"x150613"));
    EXPECT_FALSE(ScriptRanIn(L"Y150613"));
}

TEST_F(DatabaseUpdateTest, TwoDigitYearsAreTakenAsTheirRealCentury) {
    AddBackup(L"k311299");
    AddBackup(L"k010115");
    ASSERT_EQ(RunStep(), L"");
    EXPECT_TRUE(ScriptRanIn(L"k010115"));
    ExpectReleaseLevel("010115");
}

TEST_F(DatabaseUpdateTest, NoBackupRaisesTheIndexErrorAndRunsNothing) {
    AddBackup(L"WithOutAnswer");
    EXPECT_EQ(RunStep(), L"List index out of bounds (0)");
    EXPECT_FALSE(ScriptRanIn(L"WithOutAnswer"));
    ExpectReleaseLevel("000000");
}

TEST_F(DatabaseUpdateTest, NoBackupTreeOnTheMediumRaisesTheIndexError) {
    EXPECT_EQ(RunStep(), L"List index out of bounds (0)");
    EXPECT_TRUE(fs::is_directory(fs::path(target_ + L"backup")));
}

TEST_F(DatabaseUpdateTest, ABackupNameWithoutADateRaisesAndRunsNothing) {
    AddBackup(L"r010114");
    AddBackup(L"rel15x613");
    EXPECT_EQ(RunStep(), L"'13x615' is not a valid integer value");
    EXPECT_FALSE(ScriptRanIn(L"r010114"));
    ExpectReleaseLevel("000000");
}

TEST_F(DatabaseUpdateTest, AMissingScriptRaisesAndLeavesTheTargetCurrent) {
    AddBackup(L"a010114", false);
    EXPECT_EQ(RunStep(),
              L"не смог создать процесс: " + TargetBackup(L"a010114") + L"\\Install.cmd");
    EXPECT_EQ(CurrentDirectory(), WithoutTrailingBackslash(target_));
    ExpectReleaseLevel("000000");
}

TEST_F(DatabaseUpdateTest, AMissingReleaseInfoRaisesAfterTheScriptRan) {
    SetFileAttributesW((medium_ + L"Updater\\ReleaseInfo").c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove(fs::path(medium_ + L"Updater\\ReleaseInfo"));
    AddBackup(L"a010114");
    EXPECT_EQ(RunStep(), L"Release info file does not exist");
    EXPECT_TRUE(ScriptRanIn(L"a010114"));
    EXPECT_FALSE(Exists(ReleaseInfo()));
}

TEST_F(DatabaseUpdateTest, UnreadableReleaseInfoRaisesWithThePrefixAndStaysUnchanged) {
    struct Case {
        const char* name;
        std::string content;
        std::wstring text; // empty: only the prefix is fixed
    };
    const std::vector<Case> cases = {
        {"version 2", ReleaseInfoXml("  <Version>2</Version>", "000000"),
         kPrefix + L"unknown release file version"},
        {"no version", ReleaseInfoXml("", "000000"), kPrefix + L"unknown release file version"},
        {"version 0", ReleaseInfoXml("  <Version>0</Version>", "000000"),
         kPrefix + L"unknown release file version"},
        {"version text", ReleaseInfoXml("  <Version>один</Version>", "000000"),
         kPrefix + L"Could not convert variant of type (OleStr) into type (Integer)"},
        {"malformed", "<ROOT><Version>1</Version><Level>000000</Level>", L""},
        {"not XML", "ReleaseInfo", L""},
        {"no Level", "<ROOT><Version>1</Version></ROOT>", kPrefix + L"element Level not found"},
        {"other root", "<RELEASE><Version>1</Version><Level>0</Level></RELEASE>",
         kPrefix + L"element ROOT not found"},
    };
    AddBackup(L"a010114");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetFileAttributesW((medium_ + L"Updater\\ReleaseInfo").c_str(), FILE_ATTRIBUTE_NORMAL);
        WriteMediumUpdater(c.content);
        const std::wstring text = RunStep();
        if (c.text.empty()) {
            EXPECT_EQ(text.substr(0, kPrefix.size()), kPrefix);
            EXPECT_GT(text.size(), kPrefix.size());
        } else {
            EXPECT_EQ(text, c.text);
        }
        EXPECT_EQ(ReadBytes(ReleaseInfo()), c.content);
        EXPECT_EQ(FileNamesIn(target_).size(), 4u) << "a temporary file was left behind";
    }
}

TEST_F(DatabaseUpdateTest, ReleaseLevelReplacesOnlyTheLevelAndLeavesNoTemporaryFile) {
    WriteBytes(ReleaseInfo(), ReleaseInfoXml(kVersion1, "000000"));
    WriteReleaseLevel(target_, L"150613");
    ExpectReleaseLevel("150613");
    EXPECT_EQ(FileNamesIn(target_), std::set<std::wstring>{L"ReleaseInfo"});
}

// The fixture's thread holds COM already; a thread that never initialised it
// shows that the function sets COM up itself and leaves it as it found it.
TEST_F(DatabaseUpdateTest, ReleaseLevelIsWrittenFromAThreadWithoutCom) {
    WriteBytes(ReleaseInfo(), ReleaseInfoXml(kVersion1, "000000"));
    std::wstring error = L"<not run>";
    HRESULT afterwards = E_UNEXPECTED;
    std::thread([&] {
        try {
            WriteReleaseLevel(target_, L"150613");
            error.clear();
        } catch (const AppError& raised) {
            error = raised.text();
        }
        afterwards = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (SUCCEEDED(afterwards)) {
            CoUninitialize();
        }
    }).join();
    EXPECT_EQ(error, L"");
    EXPECT_EQ(afterwards, S_OK) << "COM was left initialised on the calling thread";
    ExpectReleaseLevel("150613");
}

// A release file that cannot be replaced keeps its content, and no temporary
// file stays beside it.
TEST_F(DatabaseUpdateTest, ReleaseFileThatCannotBeReplacedStaysWhole) {
    const std::string content = ReleaseInfoXml(kVersion1, "000000");
    WriteBytes(ReleaseInfo(), content);

    SetFileAttributesW(ReleaseInfo().c_str(), FILE_ATTRIBUTE_READONLY);
    try {
        WriteReleaseLevel(target_, L"150613");
        ADD_FAILURE() << "a read-only release file was replaced";
    } catch (const AppError& error) {
        EXPECT_EQ(error.text(), kPrefix + SysErrorMessage(ERROR_ACCESS_DENIED));
    }
    SetFileAttributesW(ReleaseInfo().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(ReleaseInfo()), content);

    {
        UniqueHandle reader(CreateFileW(ReleaseInfo().c_str(), GENERIC_READ, FILE_SHARE_READ,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(reader);
        try {
            WriteReleaseLevel(target_, L"150613");
            ADD_FAILURE() << "a release file in use was replaced";
        } catch (const AppError& error) {
            EXPECT_EQ(error.text(), kPrefix + SysErrorMessage(ERROR_SHARING_VIOLATION));
        }
    }
    EXPECT_EQ(ReadBytes(ReleaseInfo()), content);
    EXPECT_EQ(FileNamesIn(target_), std::set<std::wstring>{L"ReleaseInfo"});
}

TEST_F(DatabaseUpdateTest, MissingReleaseFileRaisesWithoutThePrefix) {
    try {
        WriteReleaseLevel(target_, L"150613");
        ADD_FAILURE() << "no error";
    } catch (const AppError& error) {
        EXPECT_EQ(error.text(), L"Release info file does not exist");
    }
    fs::create_directories(fs::path(ReleaseInfo()));
    try {
        WriteReleaseLevel(target_, L"150613");
        ADD_FAILURE() << "no error for a directory";
    } catch (const AppError& error) {
        EXPECT_EQ(error.text(), L"Release info file does not exist");
    }
}
