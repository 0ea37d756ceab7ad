#include "host/date_time.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace vex::host {

namespace {

constexpr double kMsPerDay = 86400000.0;

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// Days from 0001-01-01 (day 1) in the proleptic Gregorian calendar.
long long DayNumber(int y, int m, int d) {
  const long long py = y - 1;
  long long n = py * 365 + py / 4 - py / 100 + py / 400;
  for (int i = 1; i < m; ++i) n += DaysInMonth(y, i);
  return n + d;
}

const long long kEpoch = DayNumber(1899, 12, 30);

// The whole milliseconds of a time, rounded so that 0.1-second steps survive the double.
long long TotalMs(TDateTime t) { return std::llround(t * kMsPerDay); }

}  // namespace

TDateTime EncodeDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
    throw std::out_of_range("not a date");
  return static_cast<double>(DayNumber(year, month, day) - kEpoch);
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 || millisecond > 999)
    throw std::out_of_range("not a time");
  return ((hour * 60 + minute) * 60 + second) * 1000.0 / kMsPerDay + millisecond / kMsPerDay;
}

void DecodeDate(TDateTime t, int& year, int& month, int& day) {
  long long ms = TotalMs(t);
  long long days = ms >= 0 ? ms / 86400000 : -((-ms + 86400000 - 1) / 86400000);
  long long n = days + kEpoch;  // day number from 0001-01-01 = 1
  int y = static_cast<int>((n - 1) / 365.2425) + 1;
  while (y > 1 && DayNumber(y, 1, 1) > n) --y;
  while (DayNumber(y + 1, 1, 1) <= n) ++y;
  int m = 1;
  while (m < 12 && DayNumber(y, m + 1, 1) <= n) ++m;
  year = y;
  month = m;
  day = static_cast<int>(n - DayNumber(y, m, 1) + 1);
}

void DecodeTime(TDateTime t, int& hour, int& minute, int& second, int& millisecond) {
  long long ms = TotalMs(t) % 86400000;
  if (ms < 0) ms += 86400000;
  millisecond = static_cast<int>(ms % 1000);
  second = static_cast<int>(ms / 1000 % 60);
  minute = static_cast<int>(ms / 60000 % 60);
  hour = static_cast<int>(ms / 3600000);
}

SYSTEMTIME DateTimeToSystemTime(TDateTime t) {
  int y, mo, d, h, mi, s, ms;
  DecodeDate(t, y, mo, d);
  DecodeTime(t, h, mi, s, ms);
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(y);
  st.wMonth = static_cast<WORD>(mo);
  st.wDay = static_cast<WORD>(d);
  st.wDayOfWeek = static_cast<WORD>(((DayNumber(y, mo, d) % 7) + 7) % 7);  // 0001-01-01 was a Monday: day 1 -> 1
  st.wHour = static_cast<WORD>(h);
  st.wMinute = static_cast<WORD>(mi);
  st.wSecond = static_cast<WORD>(s);
  st.wMilliseconds = static_cast<WORD>(ms);
  return st;
}

TDateTime SystemTimeToDateTime(const SYSTEMTIME& st) {
  return EncodeDate(st.wYear, st.wMonth, st.wDay) + EncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

TDateTime DateOf(TDateTime t) {
  int y, m, d;
  DecodeDate(t, y, m, d);
  return EncodeDate(y, m, d);
}

TDateTime TimeOf(TDateTime t) {
  int h, mi, s, ms;
  DecodeTime(t, h, mi, s, ms);
  return EncodeTime(h, mi, s, ms);
}

std::wstring DateToIso(TDateTime t) {
  int y, m, d;
  DecodeDate(t, y, m, d);
  wchar_t buf[16];
  swprintf(buf, 16, L"%04d-%02d-%02d", y, m, d);
  return buf;
}

std::wstring TimeToIso(TDateTime t) {
  int h, mi, s, ms;
  DecodeTime(t, h, mi, s, ms);
  wchar_t buf[16];
  swprintf(buf, 16, L"%02d:%02d:%02d", h, mi, s);
  return buf;
}

TDateTime IsoToDate(const std::wstring& s) {
  int y = 0, m = 0, d = 0;
  wchar_t tail = 0;
  if (swscanf(s.c_str(), L"%d-%d-%d%lc", &y, &m, &d, &tail) != 3) throw std::invalid_argument("not a date: YYYY-MM-DD");
  try {
    return EncodeDate(y, m, d);
  } catch (const std::out_of_range&) {
    throw std::invalid_argument("not a date: YYYY-MM-DD");
  }
}

TDateTime IsoToTime(const std::wstring& s) {
  int h = 0, mi = 0, sec = 0;
  wchar_t tail = 0;
  if (swscanf(s.c_str(), L"%d:%d:%d%lc", &h, &mi, &sec, &tail) != 3) throw std::invalid_argument("not a time: HH:MM:SS");
  try {
    return EncodeTime(h, mi, sec);
  } catch (const std::out_of_range&) {
    throw std::invalid_argument("not a time: HH:MM:SS");
  }
}

}  // namespace vex::host
