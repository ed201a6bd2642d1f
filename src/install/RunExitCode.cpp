#include "install/RunExitCode.h"

namespace install {

int RunExitCode(TRunEnd end, bool failedLine, bool unattended) {
    if (end == TRunEnd::Refused) {
        return kExitNothingChanged;
    }
    if (end == TRunEnd::Stopped) {
        return 2;
    }
    return failedLine && unattended ? 3 : 0;
}

} // namespace install
