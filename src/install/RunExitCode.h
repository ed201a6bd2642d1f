#pragma once
// The exit code a run ends the program with.
#include "install/InstallRun.h"

namespace install {

// The exit code of a run that the check before it refused: nothing was
// changed (files in use, or too little room).
inline constexpr int kExitNothingChanged = 4;

// The exit code of a run that raised no error: 4 when the check before it
// refused it, 2 when it stopped, 3 when it finished with a failed step, 0
// otherwise (an interactive run: 0 unless it stopped or was refused).
int RunExitCode(TRunEnd end, bool failedLine, bool unattended);

} // namespace install
