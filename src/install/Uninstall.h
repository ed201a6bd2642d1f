#pragma once
// The uninstall: removes what the installations placed in a target (the
// files of its record, the directories left empty by that, the desktop link
// and the entry in the list of installed programs) and keeps everything
// else: the database, the settings, Install.log and every file the suite
// or the clinic created. Its own block goes to Install.log.
#include <optional>
#include <string>
#include <vector>
#include <windows.h>

#include "install/InstallLog.h"

namespace install {

struct TUninstallRequest {
    std::wstring target;       // absolute, ending in a backslash
    HMODULE program = nullptr; // the running program: its file and resources
    bool sisterBrand = false;
    std::wstring medium; // the program's own directory, for the log's header
};

inline constexpr int kUninstallDone = 0;
inline constexpr int kUninstallIncomplete = 2;
inline constexpr int kUninstallNothingChanged = 4; // files in use: nothing was removed

// The files this uninstall of `target` will remove, as full paths of those
// that exist now; nothing when the target has no record. The running
// program's own file is left out: it goes after the program has ended.
// Called before anything is removed, so that files in use can be named
// while nothing has changed yet.
std::optional<std::vector<std::wstring>> FilesToRemove(const std::wstring& target,
                                                       const std::wstring& runningProgram);

// The one question an uninstall started by a person asks: what goes and
// what stays.
std::wstring UninstallQuestion(const TUninstallRequest& request);

struct TUninstallOutcome {
    int exitCode = kUninstallDone;
    std::vector<std::wstring> notRemoved; // relative paths, for the person who started it
};

// Removes, logs to Install.log and the /LOG file, and starts the removal of
// the running program's own file when it is the installation's uninstaller.
TUninstallOutcome RunUninstallLogged(const TUninstallRequest& request, const TLogTargets& targets);

// An uninstall refused before it removed anything: its block, with `lines`,
// in Install.log and the /LOG file. Gives kUninstallNothingChanged.
int RefuseUninstallLogged(const TUninstallRequest& request, const TLogTargets& targets,
                          const std::vector<std::wstring>& lines);

} // namespace install
