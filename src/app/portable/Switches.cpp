#include "app/portable/Switches.h"

#include <vector>

namespace app {

namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

// Splits at blanks outside double quotes; the quotes themselves are dropped.
std::vector<std::wstring> SplitArguments(std::wstring_view text) {
    std::vector<std::wstring> arguments;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlank(text[i])) {
            ++i;
        }
        if (i == text.size()) {
            break;
        }
        std::wstring argument;
        bool quoted = false;
        for (; i < text.size() && (quoted || !IsBlank(text[i])); ++i) {
            if (text[i] == L'"') {
                quoted = !quoted;
            } else {
                argument.push_back(text[i]);
            }
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

std::wstring UpperAscii(std::wstring_view text) {
    std::wstring upper(text);
    for (wchar_t& c : upper) {
        if (c >= L'a' && c <= L'z') {
            c = static_cast<wchar_t>(c - L'a' + L'A');
        }
    }
    return upper;
}

class SwitchReader {
  public:
    // The error text for one argument, or empty when it was taken.
    std::wstring Take(const std::wstring& argument) {
        if (argument.size() < 2 || argument.front() != L'/') {
            return L"Неизвестный параметр: " + argument;
        }
        const std::size_t equals = argument.find(L'=');
        const std::wstring name = UpperAscii(argument.substr(1, equals - 1));
        const bool hasValue = equals != std::wstring::npos;
        const std::wstring value = hasValue ? argument.substr(equals + 1) : std::wstring();
        if (name == L"DIR" || name == L"LOG") {
            return TakeValue(name == L"DIR" ? parsed_.dir : parsed_.log, argument, hasValue, value);
        }
        if (hasValue) {
            return IsFlag(name) ? L"Параметр без значения: " + argument
                                : L"Неизвестный параметр: " + argument;
        }
        return TakeFlag(name, argument);
    }

    const TSwitches& Switches() const { return parsed_; }

  private:
    static bool IsFlag(const std::wstring& name) {
        return name == L"SILENT" || name == L"VERYSILENT" || name == L"DRIVER" ||
               name == L"CHECK" || name == L"UNINSTALL" || name == L"?" || name == L"HELP";
    }

    static std::wstring TakeValue(std::optional<std::wstring>& slot, const std::wstring& argument,
                                  bool hasValue, const std::wstring& value) {
        if (!hasValue || value.empty()) {
            return L"Не задано значение параметра: " + argument;
        }
        if (slot) {
            return L"Параметр задан дважды: " + argument;
        }
        slot = value;
        return {};
    }

    std::wstring TakeFlag(const std::wstring& name, const std::wstring& argument) {
        if (name == L"SILENT") {
            // /VERYSILENT is the quieter of the two and wins.
            if (parsed_.mode == TRunMode::Interactive) {
                parsed_.mode = TRunMode::Silent;
            }
        } else if (name == L"VERYSILENT") {
            parsed_.mode = TRunMode::VerySilent;
        } else if (name == L"DRIVER") {
            parsed_.driver = true;
        } else if (name == L"CHECK") {
            parsed_.check = true;
        } else if (name == L"UNINSTALL") {
            parsed_.uninstall = true;
        } else if (name == L"?" || name == L"HELP") {
            parsed_.help = true;
        } else {
            return L"Неизвестный параметр: " + argument;
        }
        return {};
    }

    TSwitches parsed_;
};

// /CHECK installs nothing: only /LOG goes with it, and /DRIVER, which
// makes it predict a run with the driver step.
std::wstring CheckCombination(const TSwitches& switches) {
    if (switches.check && (switches.mode != TRunMode::Interactive || switches.dir)) {
        return L"Параметр /CHECK сочетается только с /LOG и /DRIVER";
    }
    if (switches.uninstall && (switches.check || switches.driver)) {
        return L"Параметр /UNINSTALL сочетается только с /SILENT, /VERYSILENT, /DIR и /LOG";
    }
    return {};
}

} // namespace

TSwitchesParse ParseSwitches(std::wstring_view arguments) {
    // Every argument is read, so that a /LOG after a wrong one still gets
    // the reason; the first fault is the one reported.
    SwitchReader reader;
    std::wstring firstError;
    for (const std::wstring& argument : SplitArguments(arguments)) {
        std::wstring error = reader.Take(argument);
        if (firstError.empty()) {
            firstError = std::move(error);
        }
    }
    TSwitchesParse result{reader.Switches(), std::move(firstError)};
    if (result.error.empty() && !result.switches.help) {
        result.error = CheckCombination(result.switches);
    }
    return result;
}

std::optional<TRemovalRequest> ParseRemovalRequest(std::wstring_view arguments) {
    const std::vector<std::wstring> parts = SplitArguments(arguments);
    const std::wstring after = L"/REMOVEAFTER=";
    const std::wstring file = L"/REMOVEFILE=";
    if (parts.size() != 2 || UpperAscii(parts[0].substr(0, after.size())) != after ||
        UpperAscii(parts[1].substr(0, file.size())) != file || parts[1].size() == file.size()) {
        return std::nullopt;
    }
    const std::wstring digits = parts[0].substr(after.size());
    if (digits.empty() || digits.size() > 19 ||
        digits.find_first_not_of(L"0123456789") != std::wstring::npos) {
        return std::nullopt;
    }
    return TRemovalRequest{std::stoull(digits), parts[1].substr(file.size())};
}

std::wstring_view ArgumentsOf(std::wstring_view commandLine) {
    std::size_t i = 0;
    bool quoted = false;
    for (; i < commandLine.size() && (quoted || !IsBlank(commandLine[i])); ++i) {
        if (commandLine[i] == L'"') {
            quoted = !quoted;
        }
    }
    return commandLine.substr(i);
}

std::wstring DescribeSwitches(const TSwitches& switches) {
    std::wstring text;
    const auto add = [&text](const std::wstring& part) {
        text += (text.empty() ? L"" : L" ") + part;
    };
    if (switches.mode == TRunMode::Silent) {
        add(L"/SILENT");
    } else if (switches.mode == TRunMode::VerySilent) {
        add(L"/VERYSILENT");
    }
    if (switches.dir) {
        add(L"/DIR=\"" + *switches.dir + L"\"");
    }
    if (switches.log) {
        add(L"/LOG=\"" + *switches.log + L"\"");
    }
    if (switches.driver) {
        add(L"/DRIVER");
    }
    if (switches.check) {
        add(L"/CHECK");
    }
    if (switches.uninstall) {
        add(L"/UNINSTALL");
    }
    return text.empty() ? L"(нет)" : text;
}

std::wstring SwitchesHelpText() {
    return L"Install.exe [/SILENT | /VERYSILENT] [/DIR=\"путь\"] [/LOG=\"файл\"] [/DRIVER]\r\n"
           L"Install.exe /CHECK [/DRIVER] [/LOG=\"файл\"]\r\n"
           L"Uninstall.exe /UNINSTALL [/SILENT | /VERYSILENT] [/DIR=\"путь\"] [/LOG=\"файл\"]\r\n"
           L"\r\n"
           L"/SILENT       установка без страниц мастера и вопросов; видна только страница хода "
           L"установки\r\n"
           L"/VERYSILENT   установка без единого окна\r\n"
           L"/DIR=\"путь\"   каталог установки (по умолчанию C:\\Holter\\)\r\n"
           L"/LOG=\"файл\"   журнал установки также в этот файл\r\n"
           L"/DRIVER       в тихой установке установить драйвер интерфейсного блока (с /CHECK: "
           L"проверить и этот шаг)\r\n"
           L"/CHECK        проверить носитель рядом с программой, ничего не устанавливая\r\n"
           L"/UNINSTALL    удалить комплекс из каталога /DIR (по умолчанию из каталога "
           L"программы удаления или из записи в списке установленных программ); база данных, "
           L"настройки и журнал остаются\r\n"
           L"/? или /HELP  этот список\r\n"
           L"\r\n"
           L"Коды завершения:\r\n"
           L"0  установка завершена без строки \"ОШИБКА!!!\" (для /CHECK: носитель исправен)\r\n"
           L"1  неверная командная строка\r\n"
           L"2  установка остановлена или прервана ошибкой\r\n"
           L"3  установка завершена, но один из шагов не выполнен\r\n"
           L"4  ничего не изменено: файлы установленного комплекса заняты или на диске мало "
           L"места (какие и сколько, сказано в журнале)\r\n"
           L"1618  идёт другая установка или удаление; повторите позже\r\n"
           L"Удаление (/UNINSTALL): 0 удалено всё, 2 что-то не удалено (см. журнал), 1 неверная "
           L"командная строка, 4 файлы заняты (ничего не удалено), 1618 как выше\r\n";
}

} // namespace app
