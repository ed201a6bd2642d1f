#pragma once
// A small distribution medium in a scratch directory for install-run tests:
// every file the run copies, two backups, the updater tree and the driver
// installer, each with a distinctive content.
#include <string>
#include <string_view>
#include <vector>
#include <windows.h>

#include <gtest/gtest.h>

#include "FakeHost.h"
#include "common/ShellLinks.h"
#include "common/TestFiles.h"
#include "files/BlockWriter.h"
#include "install/InstallRun.h"
#include "base/AppError.h"
#include "base/Handles.h"

namespace smallmedium {

using testfiles::WriteFileCreatingDirs;

inline const std::vector<std::wstring> kRuntime2A = {
    L"aliases.conf", L"firebird.conf", L"fbclient.Dll", L"ib_util.Dll",
    L"icudt30.Dll",  L"icuin30.Dll",   L"icuuc30.Dll",  L"msvcp80.Dll",
    L"msvcr80.Dll",  L"firebird.msg",  L"gbak.exe",     L"gds32.dll"};
inline const std::vector<std::wstring> kRuntime2BOnly = {L"msvcp71.Dll", L"msvcr71.Dll"};
inline const std::vector<std::wstring> kIntl = {L"fbintl.conf", L"fbintl.dll"};
inline const std::vector<std::wstring> kUdf = {L"fbudf.dll", L"ib_udf.dll", L"fbudf.sql",
                                               L"ib_udf.sql", L"ib_udf2.sql"};
inline const std::vector<std::wstring> kInHouse = {L"Alder.Dll", L"Birch.Dll", L"Cedar.Dll",
                                                   L"Maple.Dll"};

inline std::string ContentOf(const std::wstring& name) {
    return "medium copy of " + testfiles::Utf8(name) + "\r\n";
}

// A distribution medium with every file the run copies, one backup, the
// updater tree and the driver installer.
inline void BuildMedium(const std::wstring& root) {
    WriteFileCreatingDirs(root + L"DTAfb\\QZ7.FDB", "medium database\r\n");
    for (const auto* names : {&kRuntime2A, &kRuntime2BOnly}) {
        for (const auto& name : *names) {
            WriteFileCreatingDirs(root + L"Firebird\\" + name, ContentOf(name));
        }
    }
    for (const auto& name : kIntl) {
        WriteFileCreatingDirs(root + L"Firebird\\intl\\" + name, ContentOf(name));
    }
    for (const auto& name : kUdf) {
        WriteFileCreatingDirs(root + L"Firebird\\udf\\" + name, ContentOf(name));
    }
    for (const auto& name : kInHouse) {
        WriteFileCreatingDirs(root + L"UDF\\" + name, ContentOf(name));
    }
    WriteFileCreatingDirs(root + L"backup\\r150613\\Install.cmd",
                          "@echo off\r\necho old>..\\..\\script.txt\r\n");
    WriteFileCreatingDirs(root + L"backup\\r010115\\Install.cmd",
                          "@echo off\r\necho new>..\\..\\script.txt\r\n");
    WriteFileCreatingDirs(
        root + L"Updater\\ReleaseInfo",
        "<ROOT><Version>1</Version><Level>000000</Level><Name>demo</Name></ROOT>");
    WriteFileCreatingDirs(root + L"Updater\\Updater.exe.cfg", "updater settings\r\n");
    const std::wstring stub = testfiles::FromUnixEnvironment("VESTAR_BUILD_DIR") +
                              L"\\tools\\ftdi-driver-stub\\FTDIDriverInstall.exe";
    CreateDirectoryW((root + L"FTDIDriverInstall").c_str(), nullptr);
    CopyFileW(stub.c_str(), (root + L"FTDIDriverInstall\\FTDIDriverInstall.exe").c_str(), FALSE);
}

// The desktop link the run creates.
inline std::wstring DesktopLink() {
    return testfiles::DesktopFolder() + L"\\Вестар.lnk";
}

// A disk that fails while the content of one medium file is written.
class FailingOnContent : public files::IBlockWriter {
  public:
    explicit FailingOnContent(std::string content) : content_(std::move(content)) {}
    base::SysResult WriteBlock(HANDLE file, const void* data, DWORD size) override {
        if (std::string_view(static_cast<const char*>(data), size) == content_) {
            return base::SysResult::Failed(ERROR_DISK_FULL);
        }
        DWORD written = 0;
        return WriteFile(file, data, size, &written, nullptr) && written == size
                   ? base::SysResult()
                   : base::SysResult::LastError();
    }

  private:
    std::string content_;
};

// A medium and a target directory "Holter\" with its Settings\ directory,
// a recording host, scripted answers and a system without restart.
class InstallFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        GetCurrentDirectoryW(MAX_PATH, savedDirectory_);
        BuildMedium(medium_.path());
        target_ = work_.path() + L"Holter\\";
        CreateDirectoryW(target_.c_str(), nullptr);
        CreateDirectoryW((target_ + L"Settings").c_str(), nullptr);
        dialogs_.Answer(L"Подключите", ui::TModalResult::mrYes);
    }
    void TearDown() override {
        SetCurrentDirectoryW(savedDirectory_);
        DeleteFileW(DesktopLink().c_str());
    }

    // The run's error text, or empty when it returned normally.
    std::wstring RunExpectingError() {
        try {
            RunInstall(install::InstallEnvironment{host_, dialogs_, system_,
                                                   GetModuleHandleW(nullptr), medium_.path()});
        } catch (const base::AppError& error) {
            return error.text();
        }
        return {};
    }

    base::ComApartment com_; // as the program's start-up gives the thread
    testfiles::ScratchDir medium_{L"medium"};
    testfiles::ScratchDir work_{L"target"};
    std::wstring target_;
    FakeHost host_;
    ScriptedDialogs dialogs_;
    FakeSystem system_;
    wchar_t savedDirectory_[MAX_PATH] = {};
};

} // namespace smallmedium
