#include "install/portable/CommandLine.h"

namespace install {

std::wstring QuotedCommandLine(std::wstring_view commandLine) {
    if (!commandLine.empty() && commandLine.front() == L'"') {
        return std::wstring(commandLine);
    }
    return L"\"" + std::wstring(commandLine) + L"\"";
}

std::wstring ProgramCommandLine(std::wstring_view programPath, std::wstring_view parameters) {
    return QuotedCommandLine(programPath) + L" " + std::wstring(parameters);
}

} // namespace install
