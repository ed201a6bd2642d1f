#include "install/portable/InstallLogText.h"

#include <cstdio>

#include "install/portable/IniText.h"

namespace install {

namespace {

void AppendLine(std::wstring& out, std::wstring_view line) {
    out.append(line);
    out.append(L"\r\n");
}

} // namespace

std::wstring FormatStamp(const TLogStamp& time) {
    wchar_t text[32];
    std::swprintf(text, 32, L"%02d.%02d.%04d %02d:%02d:%02d", time.day, time.month, time.year,
                  time.hour, time.minute, time.second);
    return text;
}

std::string ToUtf8(std::wstring_view text) {
    // wchar_t is UTF-16 on Windows and UTF-32 elsewhere.
    std::u16string units;
    units.reserve(text.size());
    for (const wchar_t c : text) {
        const auto code = static_cast<char32_t>(c);
        if (code > 0x10FFFF) {
            units.push_back(u'\uFFFD');
        } else if (code > 0xFFFF) {
            units.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(code));
        }
    }
    return Utf8Of(units);
}

std::wstring WithCrLf(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' || text[i] == L'\n') {
            if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
                ++i;
            }
            out.append(L"\r\n");
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::string FormatInstallLog(const TInstallLogBlock& block) {
    std::wstring text;
    const bool install = block.kind == TLogKind::Install;
    AppendLine(text, std::wstring(install ? L"==== Установка" : L"==== Удаление") +
                         L" комплекса \"Вестар\", " + FormatStamp(block.started));
    AppendLine(text, L"Версия программы установки: " + block.version);
    AppendLine(text, L"Носитель: " + block.medium);
    AppendLine(text, L"Каталог установки: " + block.target);
    AppendLine(text, L"Параметры: " + block.switches);
    for (const TLoggedLine& line : block.lines) {
        const std::wstring cause = line.cause.empty() ? L"" : L" (" + line.cause + L")";
        AppendLine(text, FormatStamp(line.time) + L"  " + WithCrLf(line.text + cause));
    }
    if (!block.errorReport.empty()) {
        AppendLine(text, install ? L"Установка прервана ошибкой:" : L"Удаление прервано ошибкой:");
        AppendLine(text, WithCrLf(block.errorReport));
    }
    AppendLine(text, L"Код завершения: " + std::to_wstring(block.exitCode));
    return ToUtf8(text);
}

} // namespace install
