// Shell links written by CreateShortcut, read back through IShellLinkW.
#include "install/Shortcut.h"

#include "common/ShellLinks.h"
#include "common/TestFiles.h"

#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include <objidl.h>
#include <shlobj.h>

#include "base/AppError.h"
#include "base/FileQueries.h"
#include "base/Handles.h"

using base::AppError;
using base::ComApartment;
using base::FileExists;
using base::UniqueHandle;
using install::CreateShortcut;

namespace {

constexpr wchar_t kShellFoldersKey[] =
    L"Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr wchar_t kMapGroupsKey[] =
    L"Software\\MicroSoft\\Windows\\CurrentVersion\\GrpConv\\MapGroups";
const std::wstring kProduct = L"Вестар";
const std::wstring kDescription =
    L"Комплекс суточного мониторирования электрокардиограмм \"Вестар\"";

using testfiles::LinkContent;

// Every link the tests read must load.
LinkContent ReadLink(const std::wstring& linkFile) {
    LinkContent content = testfiles::ReadLink(linkFile);
    EXPECT_TRUE(content.loaded) << testfiles::Utf8(linkFile);
    return content;
}

std::optional<std::wstring> ReadRegistryText(const wchar_t* keyPath, const wchar_t* name) {
    wchar_t buffer[1024];
    DWORD size = sizeof(buffer);
    if (RegGetValueW(HKEY_CURRENT_USER, keyPath, name, RRF_RT_REG_SZ | RRF_NOEXPAND, nullptr,
                     buffer, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(buffer);
}

// Sets a value of the current user's registry for the test's duration and puts
// the old state back afterwards.
class RegistryValueOverride {
  public:
    RegistryValueOverride(const wchar_t* keyPath, const wchar_t* name, const std::wstring& value)
        : keyPath_(keyPath), name_(name), old_(ReadRegistryText(keyPath, name)) {
        Write(value);
    }
    ~RegistryValueOverride() {
        if (old_) {
            Write(*old_);
        } else {
            RegDeleteKeyValueW(HKEY_CURRENT_USER, keyPath_, name_);
        }
    }
    RegistryValueOverride(const RegistryValueOverride&) = delete;
    RegistryValueOverride& operator=(const RegistryValueOverride&) = delete;

  private:
    void Write(const std::wstring& value) {
        EXPECT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, keyPath_, name_, REG_SZ, value.c_str(),
                                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }

    const wchar_t* keyPath_;
    const wchar_t* name_;
    std::optional<std::wstring> old_;
};

class ShortcutTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(com_.result()));
        target_ = scratch_ / L"Вестар программа\\";
        std::filesystem::create_directories(std::filesystem::path(target_));
        CreateEmptyFile(target_ + L"Portal.exe");
        desktop_ = ReadRegistryText(kShellFoldersKey, L"Desktop").value_or(L"");
        ASSERT_FALSE(desktop_.empty());
        std::filesystem::create_directories(std::filesystem::path(desktop_));
    }

    void TearDown() override {
        for (const std::wstring& path : desktopEntries_) {
            std::error_code ignored;
            std::filesystem::remove_all(std::filesystem::path(path), ignored);
        }
    }

    static void CreateEmptyFile(const std::wstring& path) {
        UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file);
    }

    // Removed from the desktop when the test ends.
    std::wstring OnDesktop(const std::wstring& relative) {
        desktopEntries_.push_back(desktop_ + L"\\" + relative);
        return desktopEntries_.back();
    }

    std::wstring MakeFolder(const std::wstring& name) {
        std::wstring folder = scratch_ / name;
        std::filesystem::create_directories(std::filesystem::path(folder));
        return folder;
    }

    ComApartment com_;
    testfiles::ScratchDir scratch_{L"vestar-shortcut"};
    std::wstring target_;
    std::wstring desktop_;
    std::vector<std::wstring> desktopEntries_;
};

} // namespace

TEST_F(ShortcutTest, InstallRunsDesktopLinkPointsToTheMainExecutable) {
    const std::wstring expectedLink = OnDesktop(kProduct + L".lnk");
    std::wstring linkPath;
    CreateShortcut(target_ + L"Portal.exe", 0, L"", L"", L"", kDescription, kProduct, linkPath);

    EXPECT_EQ(linkPath, expectedLink);
    ASSERT_TRUE(FileExists(expectedLink));
    const LinkContent link = ReadLink(expectedLink);
    EXPECT_EQ(link.path, target_ + L"Portal.exe");
    EXPECT_EQ(link.storedPath, target_ + L"Portal.exe");
    EXPECT_EQ(link.workingDirectory, target_);
    EXPECT_EQ(link.description, kDescription);
    EXPECT_EQ(link.arguments, L"");
}

TEST_F(ShortcutTest, GivenWorkingDirectoryAndArgumentsAreStored) {
    const std::wstring folder = MakeFolder(L"links");
    const std::wstring asciiTarget = MakeFolder(L"ascii") + L"\\Portal.exe";
    CreateEmptyFile(asciiTarget);
    std::wstring linkPath;
    CreateShortcut(asciiTarget, 4, folder, L"D:\\Данные", L"/quiet \"x y\"", L"", L"Запуск",
                   linkPath);

    ASSERT_EQ(linkPath, folder + L"\\Запуск.lnk");
    const LinkContent link = ReadLink(linkPath);
    EXPECT_EQ(link.path, asciiTarget);
    EXPECT_EQ(link.storedPath, asciiTarget);
    EXPECT_EQ(link.workingDirectory, L"D:\\Данные");
    EXPECT_EQ(link.arguments, L"/quiet \"x y\"");
    EXPECT_EQ(link.description, L"");
}

TEST_F(ShortcutTest, LinkFileNameRules) {
    struct Case {
        std::wstring linkName;
        std::wstring targetName;
        std::wstring fileName;
    };
    const std::vector<Case> cases = {
        {L"Вестар 2.5", L"Portal.exe", L"Вестар 2.lnk"},
        {L"", L"Portal.exe", L"Portal.lnk"},
        {L"", L"Portal", L"Portal.lnk"},
        {L"Вестар", L"Portal.exe", L"Вестар.lnk"},
        {L"Старый.lnk", L"Portal.exe", L"Старый.lnk"},
        {L"Папка.1\\Имя", L"Portal.exe", L"Имя.lnk"},
        {L"C:\\Каталог\\Имя.txt", L"Portal.exe", L"Имя.lnk"},
    };
    const std::wstring folder = MakeFolder(L"names");
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "link name index " << (&c - cases.data()));
        CreateEmptyFile(target_ + c.targetName);
        std::wstring linkPath;
        CreateShortcut(target_ + c.targetName, 4, folder, L"", L"", L"", c.linkName, linkPath);
        EXPECT_EQ(linkPath, folder + L"\\" + c.fileName);
        EXPECT_TRUE(FileExists(folder + L"\\" + c.fileName));
    }
}

TEST_F(ShortcutTest, CallersFolderIsTheWholeFolder) {
    const std::wstring folder = MakeFolder(L"Мои ярлыки");
    std::wstring linkPath;
    CreateShortcut(target_ + L"Portal.exe", 4, folder, L"", L"", kDescription, kProduct, linkPath);

    EXPECT_EQ(linkPath, folder + L"\\" + kProduct + L".lnk");
    ASSERT_TRUE(FileExists(linkPath));
    EXPECT_EQ(ReadLink(linkPath).path, target_ + L"Portal.exe");
}

TEST_F(ShortcutTest, SubFolderOfTheDesktop) {
    const std::wstring subFolder = L"Вестар тест";
    std::filesystem::create_directories(std::filesystem::path(OnDesktop(subFolder)));
    std::wstring linkPath;
    CreateShortcut(target_ + L"Portal.exe", 0, subFolder, L"", L"", kDescription, kProduct,
                   linkPath);

    EXPECT_EQ(linkPath, desktop_ + L"\\" + subFolder + L"\\" + kProduct + L".lnk");
    ASSERT_TRUE(FileExists(linkPath));
    EXPECT_EQ(ReadLink(linkPath).workingDirectory, target_);
}

TEST_F(ShortcutTest, MissingSubFolderIsNotCreatedAndTheLinkIsSilentlyAbsent) {
    const std::wstring subFolder = L"Нет такой папки";
    const std::wstring expected = OnDesktop(subFolder) + L"\\" + kProduct + L".lnk";
    std::wstring linkPath;
    CreateShortcut(target_ + L"Portal.exe", 0, subFolder, L"", L"", L"", kProduct, linkPath);

    EXPECT_EQ(linkPath, expected);
    EXPECT_FALSE(FileExists(expected));
    EXPECT_EQ(GetFileAttributesW((desktop_ + L"\\" + subFolder).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ShortcutTest, UnknownLocationWritesNothing) {
    const std::wstring folder = MakeFolder(L"unknown");
    for (const std::uint8_t location : {std::uint8_t{5}, std::uint8_t{255}}) {
        std::wstring linkPath = L"unchanged";
        CreateShortcut(target_ + L"Portal.exe", location, folder, L"", L"", L"", kProduct,
                       linkPath);
        EXPECT_EQ(linkPath, L"unchanged");
    }
    EXPECT_TRUE(std::filesystem::is_empty(std::filesystem::path(folder)));
    EXPECT_FALSE(FileExists(desktop_ + L"\\" + kProduct + L".lnk"));
}

TEST_F(ShortcutTest, CallersFolderWithoutSubFolderWritesNothing) {
    std::wstring linkPath = L"unchanged";
    CreateShortcut(target_ + L"Portal.exe", 4, L"", L"", L"", L"", kProduct, linkPath);
    EXPECT_EQ(linkPath, L"unchanged");
}

TEST_F(ShortcutTest, EachShellFolderComesFromItsRegistryValue) {
    struct Row {
        std::uint8_t location;
        const wchar_t* key;
        const wchar_t* value;
    };
    const Row rows[] = {
        {0, kShellFoldersKey, L"Desktop"},
        {1, kMapGroupsKey, L"Quick Launch"},
        {2, kShellFoldersKey, L"SendTo"},
        {3, kShellFoldersKey, L"Start Menu"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "location " << int(row.location));
        const std::wstring folder = MakeFolder(L"shell folder " + std::to_wstring(row.location));
        RegistryValueOverride value(row.key, row.value, folder);
        std::wstring linkPath;
        CreateShortcut(target_ + L"Portal.exe", row.location, L"", L"", L"", L"", kProduct,
                       linkPath);
        EXPECT_EQ(linkPath, folder + L"\\" + kProduct + L".lnk");
        EXPECT_TRUE(FileExists(linkPath));
    }
}

TEST_F(ShortcutTest, MissingRegistryValueWritesNothing) {
    const std::optional<std::wstring> old = ReadRegistryText(kMapGroupsKey, L"Quick Launch");
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kMapGroupsKey, L"Quick Launch");
    std::wstring linkPath = L"unchanged";
    CreateShortcut(target_ + L"Portal.exe", 1, L"", L"", L"", L"", kProduct, linkPath);
    EXPECT_EQ(linkPath, L"unchanged");
    if (old) {
        RegSetKeyValueW(HKEY_CURRENT_USER, kMapGroupsKey, L"Quick Launch", REG_SZ, old->c_str(),
                        static_cast<DWORD>((old->size() + 1) * sizeof(wchar_t)));
    }
}

TEST_F(ShortcutTest, AnExistingLinkIsReplaced) {
    const std::wstring folder = MakeFolder(L"replace");
    std::wstring linkPath;
    CreateShortcut(target_ + L"Portal.exe", 4, folder, L"", L"", L"первый", kProduct, linkPath);
    CreateShortcut(target_ + L"Portal.exe", 4, folder, L"", L"-второй", L"второй", kProduct,
                   linkPath);
    const LinkContent link = ReadLink(linkPath);
    EXPECT_EQ(link.description, L"второй");
    EXPECT_EQ(link.arguments, L"-второй");
}

TEST_F(ShortcutTest, WithoutComOnTheThreadTheLinkObjectCannotBeMade) {
    std::wstring text;
    std::wstring linkPath = L"unchanged";
    std::thread worker([&] {
        try {
            CreateShortcut(target_ + L"Portal.exe", 0, L"", L"", L"", L"", kProduct, linkPath);
        } catch (const AppError& error) {
            text = error.text();
        }
    });
    worker.join();
    EXPECT_EQ(text, L"Не удалось создать ярлык: 0x800401F0");
    EXPECT_EQ(linkPath, L"unchanged");
}
