#include "install/portable/CommandLine.h"

std::wstring QuotedCommandLine(std::wstring_view commandLine) {
    if (!commandLine.empty() && commandLine.front() == L'"') {
        return std::wstring(commandLine);
    }
    return L"\"" + std::wstring(commandLine) + L"\"";
}

std::wstring ProgramCommandLine(std::wstring_view programPath, std::wstring_view parameters) {
    return QuotedCommandLine(programPath) + L" " + std::wstring(parameters);
}

std::wstring ProgramDirectory(std::wstring_view programPath) {
    const std::size_t separator = programPath.find_last_of(L"\\:");
    if (separator == std::wstring_view::npos) {
        return {};
    }
    std::wstring directory(programPath.substr(0, separator + 1));
    const bool driveRoot = directory.size() >= 2 && directory[directory.size() - 2] == L':';
    if (directory.back() == L'\\' && directory.size() > 1 && !driveRoot) {
        directory.pop_back();
    }
    return directory;
}

std::wstring JoinPath(std::wstring_view directory, std::wstring_view name) {
    std::wstring joined(directory);
    if (!joined.empty() && joined.back() != L'\\') {
        joined.push_back(L'\\');
    }
    joined.append(name);
    return joined;
}
