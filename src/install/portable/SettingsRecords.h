#pragma once
// The binary settings files the installer writes: the NSI tables (uca.nsi,
// wra.nsi) and the last-number record (lastnum.dta).
#include <array>
#include <cstddef>
#include <cstdint>

namespace install {

// NsiTable: 60 entries of 14 bytes; an entry is a length byte (0 to 13) and
// 13 bytes of 8-bit text.
inline constexpr std::size_t kNsiEntryCount = 60;
inline constexpr std::size_t kNsiEntrySize = 14;
inline constexpr std::size_t kNsiTableSize = kNsiEntryCount * kNsiEntrySize;

// A table of 60 empty entries: every byte zero.
std::array<std::uint8_t, kNsiTableSize> EmptyNsiTable();

// A local calendar date and time of day.
struct LocalDateTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// The date and time as days since 30 December 1899 00:00, the time of day
// being the fraction.
double DaysSince18991230(const LocalDateTime& when);

// LastNumRecord: 14 bytes, packed, little-endian: a 16-bit field, a 32-bit
// integer, and the date-time as an IEEE 754 double.
inline constexpr std::size_t kLastNumRecordSize = 14;

// The record the installer writes: 0, 0 and `now`.
std::array<std::uint8_t, kLastNumRecordSize> InitialLastNumRecord(const LocalDateTime& now);

} // namespace install
