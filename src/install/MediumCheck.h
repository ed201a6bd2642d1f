#pragma once
// The check of a distribution medium (/CHECK): everything the install run
// takes from it, by the run's own lists and rules, every problem in one pass.
// It predicts an unattended run into a new target directory on this
// machine: the runtime list of CBWindows index 0 (the only one such a run
// takes), the fonts this machine lacks, the driver only with /DRIVER.
#include <cstdint>
#include <string>
#include <vector>

namespace install {

// What a problem would do to an installation from the medium.
enum class TMediumEffect {
    Abandons,  // the run stops or is abandoned (exit code 2)
    StepFails, // the run finishes, but a step fails or leaves a part out (exit code 3)
    Noted      // worth knowing, but the run goes through as if it were not there
};

struct TMediumProblem {
    std::wstring path; // the full path concerned
    std::wstring what;
    TMediumEffect effect;
};

struct TMediumFiles {
    std::wstring name; // a group or a directory of the medium
    int files = 0;
    std::uint64_t bytes = 0;
};

struct TMediumReport {
    std::wstring medium; // ending in a backslash
    std::vector<TMediumProblem> problems;
    std::vector<TMediumFiles> summary;
    std::wstring backup;       // the backup the run would choose, empty when none
    std::wstring releaseLevel; // the level it would record
};

// `sourcePath` is the medium's directory ending in a backslash; `runDriver`
// predicts a run with /DRIVER.
TMediumReport CheckMedium(const std::wstring& sourcePath, bool runDriver);

// The exit code an unattended installation from the medium would have: 0
// when it would run through, 2 when it would stop or be abandoned, 3 when
// it would finish with errors.
int MediumExitCode(const TMediumReport& report);

// Every problem with its path, the remarks apart, then the summary: files and sizes, the backup
// and its release level, the verdict.
std::wstring FormatMediumReport(const TMediumReport& report);

} // namespace install
