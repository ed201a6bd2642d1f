#include "install/portable/SettingsRecords.h"

#include <bit>

namespace install {

namespace {

constexpr double kMillisecondsPerDay = 86400000.0;
constexpr std::size_t kDateTimeOffset = 6;

// Days from 1 March of year 0 (proleptic Gregorian) to the given date.
long long DayNumber(int year, int month, int day) {
    const long long y = month <= 2 ? year - 1 : year;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yearOfEra = y - era * 400;
    const long long shiftedMonth = month > 2 ? month - 3 : month + 9;
    const long long dayOfYear = (153 * shiftedMonth + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra;
}

} // namespace

std::array<std::uint8_t, kNsiTableSize> EmptyNsiTable() {
    return {};
}

double DaysSince18991230(const LocalDateTime& when) {
    const long long days = DayNumber(when.year, when.month, when.day) - DayNumber(1899, 12, 30);
    const long long milliseconds =
        ((when.hour * 60LL + when.minute) * 60LL + when.second) * 1000LL + when.millisecond;
    return static_cast<double>(days) + static_cast<double>(milliseconds) / kMillisecondsPerDay;
}

std::array<std::uint8_t, kLastNumRecordSize> InitialLastNumRecord(const LocalDateTime& now) {
    std::array<std::uint8_t, kLastNumRecordSize> record{};
    const auto bits = std::bit_cast<std::uint64_t>(DaysSince18991230(now));
    for (std::size_t i = 0; i < 8; ++i) {
        record[kDateTimeOffset + i] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
    return record;
}

} // namespace install
