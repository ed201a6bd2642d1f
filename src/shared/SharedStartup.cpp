#include "shared/SharedStartup.h"

#include "shared/VS_Common_Proc.h"
#include "shared/VS_Common_Var.h"

void InitializeSharedModules() {
    InitializeSharedModules(ProgramDirectory());
}

void InitializeSharedModules(const std::wstring& baseDir) {
    InitializeCommonVar(baseDir);
    InitializeCommonProc();
}
