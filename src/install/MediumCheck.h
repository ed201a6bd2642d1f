#pragma once
// The check of a distribution medium (/CHECK): everything the install run
// takes from it, by the run's own lists and rules, every problem in one pass.
#include <cstdint>
#include <string>
#include <vector>

namespace install {

// What a problem would do to an installation from the medium.
enum class TMediumEffect {
    Abandons, // the run stops or is abandoned (exit code 2)
    StepFails // the run finishes, but a step fails or leaves a part out (exit code 3)
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

// `sourcePath` is the medium's directory ending in a backslash.
TMediumReport CheckMedium(const std::wstring& sourcePath);

// 0 when an installation from the medium would run through, 2 when it would
// stop or be abandoned, 3 when it would finish with errors.
int MediumExitCode(const TMediumReport& report);

// Every problem with its path, then the summary: files and sizes, the backup
// and its release level, the verdict.
std::wstring FormatMediumReport(const TMediumReport& report);

} // namespace install
