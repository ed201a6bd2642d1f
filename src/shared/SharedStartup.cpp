#include "shared/SharedStartup.h"

#include "shared/VS_Common_Proc.h"
#include "shared/VS_Common_Var.h"

namespace shared {

void InitializeSharedModules() {
    InitializeSharedModules(ProgramDirectory());
}

void InitializeSharedModules(const std::wstring& baseDir) {
    InitializeCommonVar(baseDir);
    InitializeCommonProc();
}

} // namespace shared
