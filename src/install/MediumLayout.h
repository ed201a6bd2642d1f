#pragma once
// Names of the distribution medium's layout, of the install run's file groups
// and of the files the installer writes. Every name keeps its letter case.
// Directory names that end in a backslash are joined directly to a path
// that ends in one.
#include <array>
#include <span>
#include <string_view>

namespace install::MediumLayout {

// Below the source path (the installer's own directory).
inline constexpr std::wstring_view DatabaseDir = L"DTAfb\\";
inline constexpr std::wstring_view FirebirdDir = L"Firebird\\";
inline constexpr std::wstring_view FirebirdIntlDir = L"Firebird\\intl\\";
inline constexpr std::wstring_view FirebirdUdfDir = L"Firebird\\udf\\";
inline constexpr std::wstring_view InHouseUdfDir = L"UDF\\";
inline constexpr std::wstring_view DriverDir = L"FTDIDriverInstall"; // no backslash
inline constexpr std::wstring_view DriverProgram = L"FTDIDriverInstall\\FTDIDriverInstall.exe";
inline constexpr std::wstring_view BackupDir = L"backup";   // no backslash
inline constexpr std::wstring_view UpdaterDir = L"Updater"; // no backslash
inline constexpr std::wstring_view FontsDir = L"fonts\\";
inline constexpr std::wstring_view SettingsDir = L"Settings\\";

// Inside a backup directory, and the one subdirectory that is not a backup.
inline constexpr std::wstring_view BackupScript = L"Install.cmd";
inline constexpr std::wstring_view NotABackup = L"WithOutAnswer";

// Files of the updater tree whose read-only attribute the install clears.
inline constexpr std::wstring_view ReleaseInfoFile = L"ReleaseInfo";
inline constexpr std::wstring_view UpdaterConfigFile = L"Updater.exe.cfg";

// Below the target path.
inline constexpr std::wstring_view TargetIntlDir = L"intl\\";
inline constexpr std::wstring_view TargetUdfDir = L"udf\\";
inline constexpr std::wstring_view HolterIni = L"holter.ini";    // in SettingsDir
inline constexpr std::wstring_view UcaNsi = L"uca.nsi";          // in SettingsDir
inline constexpr std::wstring_view WraNsi = L"wra.nsi";          // in SettingsDir
inline constexpr std::wstring_view LastNumFile = L"lastnum.dta"; // in SettingsDir
inline constexpr std::wstring_view BtoothIni = L"btooth.ini";    // in the target itself

// The seven font files in FontsDir, in the order they are installed.
inline constexpr std::array<std::wstring_view, 7> FontFiles = {
    L"ARIAL.TTF",  L"ARIALN.TTF", L"COUR.TTF",   L"MICROSS.TTF",
    L"TAHOMA.TTF", L"TIMES.TTF",  L"verdana.TTF"};

// One group of files the install run copies, each file from
// source path + sourceDir to target path + targetDir (empty: the target
// directory itself).
struct FileGroup {
    std::wstring_view sourceDir;
    std::wstring_view targetDir;
    std::span<const std::wstring_view> files;
    bool stopOnError; // a failed copy stops the run (otherwise the run goes on)
};

inline constexpr std::array<std::wstring_view, 1> DatabaseFiles = {L"QZ7.FDB"};

// Firebird runtime for CBWindows index 0 ("Windows 7, Windows 8").
inline constexpr std::array<std::wstring_view, 12> FirebirdRuntimeFiles2A = {
    L"aliases.conf", L"firebird.conf", L"fbclient.Dll", L"ib_util.Dll",
    L"icudt30.Dll",  L"icuin30.Dll",   L"icuuc30.Dll",  L"msvcp80.Dll",
    L"msvcr80.Dll",  L"firebird.msg",  L"gbak.exe",     L"gds32.dll"};

// Firebird runtime for any other CBWindows index ("Windows XP").
inline constexpr std::array<std::wstring_view, 10> FirebirdRuntimeFiles2B = {
    L"aliases.conf", L"firebird.conf", L"fbclient.Dll", L"ib_util.Dll", L"icudt30.Dll",
    L"icuin30.Dll",  L"icuuc30.Dll",   L"msvcp71.Dll",  L"msvcr71.Dll", L"firebird.msg"};

inline constexpr std::array<std::wstring_view, 2> CharacterSetFiles = {L"fbintl.conf",
                                                                       L"fbintl.dll"};

inline constexpr std::array<std::wstring_view, 5> StandardUdfFiles = {
    L"fbudf.dll", L"ib_udf.dll", L"fbudf.sql", L"ib_udf.sql", L"ib_udf2.sql"};

inline constexpr std::array<std::wstring_view, 4> InHouseUdfFiles = {L"Alder.Dll", L"Birch.Dll",
                                                                     L"Cedar.Dll", L"Maple.Dll"};

inline constexpr FileGroup Group1Database{DatabaseDir, DatabaseDir, DatabaseFiles, true};
inline constexpr FileGroup Group2AFirebird{FirebirdDir, L"", FirebirdRuntimeFiles2A, true};
inline constexpr FileGroup Group2BFirebird{FirebirdDir, L"", FirebirdRuntimeFiles2B, true};
inline constexpr FileGroup Group3CharacterSets{FirebirdIntlDir, TargetIntlDir, CharacterSetFiles,
                                               true};
inline constexpr FileGroup Group4StandardUdf{FirebirdUdfDir, TargetUdfDir, StandardUdfFiles, true};
inline constexpr FileGroup Group5InHouseUdf{InHouseUdfDir, TargetUdfDir, InHouseUdfFiles, false};

// The Firebird runtime group for a CBWindows item index.
constexpr const FileGroup& FirebirdGroupFor(int windowsIndex) {
    return windowsIndex == 0 ? Group2AFirebird : Group2BFirebird;
}

} // namespace install::MediumLayout
