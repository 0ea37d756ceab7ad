// The framework's date and time type: TDateTime, a count of days since 30 December 1899 whose
// fraction is the time of day (0.5 is noon), with conversions to and from calendar fields and
// the system's SYSTEMTIME. The day is the count rounded down and the time of day what is left
// (so -0.25 is 1899-12-29 18:00); times are kept to the millisecond.
#pragma once

#include <windows.h>

#include <string>

namespace vex::host {

using TDateTime = double;

// The day count of a calendar date; throws std::out_of_range for a date that does not exist.
TDateTime EncodeDate(int year, int month, int day);
// The fraction of a day of a time of day.
TDateTime EncodeTime(int hour, int minute, int second, int millisecond = 0);
void DecodeDate(TDateTime t, int& year, int& month, int& day);
void DecodeTime(TDateTime t, int& hour, int& minute, int& second, int& millisecond);
SYSTEMTIME DateTimeToSystemTime(TDateTime t);
TDateTime SystemTimeToDateTime(const SYSTEMTIME& st);
// The date part (whole days) and the time part (the fraction).
TDateTime DateOf(TDateTime t);
TDateTime TimeOf(TDateTime t);
// "YYYY-MM-DD" and "HH:MM:SS" (what stored forms hold); parsing throws std::invalid_argument.
std::wstring DateToIso(TDateTime t);
std::wstring TimeToIso(TDateTime t);
TDateTime IsoToDate(const std::wstring& s);
TDateTime IsoToTime(const std::wstring& s);

}  // namespace vex::host
