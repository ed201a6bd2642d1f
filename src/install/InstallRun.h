#pragma once
// The install run behind "Начать установку": creates the target tree, writes
// the first settings files, copies the suite's files from the medium,
// installs fonts, runs the driver installer, updates the database, places
// the desktop link and ends on the closing question or the font-size page.
#include <string>
#include <windows.h>

class IInstallHost;
class IUserDialogs;
class ISystemActions;

struct InstallEnvironment {
    IInstallHost& host;
    IUserDialogs& dialogs;
    ISystemActions& system;
    HINSTANCE resources;     // the module whose string table names the product
    std::wstring sourcePath; // the installer's own directory, ending in a backslash
};

// The whole run. Errors raised by its steps pass to the caller (the window
// layer's error report); the guarded stretch is left before they do.
void RunInstall(const InstallEnvironment& env);
