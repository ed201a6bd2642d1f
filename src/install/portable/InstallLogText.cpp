#include "install/portable/InstallLogText.h"

#include <cstdio>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool IsHighSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

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
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<char32_t>(text[i]);
        if (IsHighSurrogate(c) && i + 1 < text.size() &&
            IsLowSurrogate(static_cast<char32_t>(text[i + 1]))) {
            const auto low = static_cast<char32_t>(text[++i]);
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c) || c > 0x10FFFF) {
            c = kReplacement;
        }
        AppendUtf8(out, c);
    }
    return out;
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
    AppendLine(text, L"==== Установка комплекса \"Вестар\", " + FormatStamp(block.started));
    AppendLine(text, L"Версия программы установки: " + block.version);
    AppendLine(text, L"Носитель: " + block.medium);
    AppendLine(text, L"Каталог установки: " + block.target);
    AppendLine(text, L"Параметры: " + block.switches);
    for (const TLoggedLine& line : block.lines) {
        AppendLine(text, FormatStamp(line.time) + L"  " + WithCrLf(line.text));
    }
    if (!block.errorReport.empty()) {
        AppendLine(text, L"Установка прервана ошибкой:");
        AppendLine(text, WithCrLf(block.errorReport));
    }
    AppendLine(text, L"Код завершения: " + std::to_wstring(block.exitCode));
    return ToUtf8(text);
}
