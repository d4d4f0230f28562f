#include "http/IdGlobal.h"

#include <array>
#include <chrono>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "http/IdException.h"
#include "http/IdResourceStrings.h"

std::string IdFormat(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  va_list ap2;
  va_copy(ap2, ap);
  int n = std::vsnprintf(nullptr, 0, fmt, ap);
  va_end(ap);
  std::string s;
  if (n > 0) {
    s.resize(static_cast<size_t>(n) + 1);
    std::vsnprintf(s.data(), s.size(), fmt, ap2);
    s.resize(static_cast<size_t>(n));
  }
  va_end(ap2);
  return s;
}

// Code page 1251: ASCII letters, the Cyrillic block 0xC0-0xFF and the few
// letters below it that have a case partner.
char IdUpCase(char ch) {
  unsigned char c = static_cast<unsigned char>(ch);
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 32);
  if (c >= 0xE0) return static_cast<char>(c - 32);
  switch (c) {
    case 0x90:
      return static_cast<char>(0x80);
    case 0x83:
      return static_cast<char>(0x81);
    case 0x9A:
      return static_cast<char>(0x8A);
    case 0x9C:
      return static_cast<char>(0x8C);
    case 0x9D:
      return static_cast<char>(0x8D);
    case 0x9E:
      return static_cast<char>(0x8E);
    case 0x9F:
      return static_cast<char>(0x8F);
    case 0xA2:
      return static_cast<char>(0xA1);
    case 0xBC:
      return static_cast<char>(0xA3);
    case 0xB4:
      return static_cast<char>(0xA5);
    case 0xB8:
      return static_cast<char>(0xA8);
    case 0xBA:
      return static_cast<char>(0xAA);
    case 0xBF:
      return static_cast<char>(0xAF);
    case 0xB3:
      return static_cast<char>(0xB2);
    case 0xBE:
      return static_cast<char>(0xBD);
    default:
      return ch;
  }
}

char IdLowCase(char ch) {
  static const auto kLower = [] {
    std::array<char, 256> t{};
    for (int i = 0; i < 256; ++i) t[i] = static_cast<char>(i);
    for (int i = 255; i >= 0; --i) {
      unsigned char u = static_cast<unsigned char>(IdUpCase(static_cast<char>(i)));
      if (u != i) t[u] = static_cast<char>(i);
    }
    return t;
  }();
  return kLower[static_cast<unsigned char>(ch)];
}

// The upper-case mapping as a table: comparisons run on every header lookup.
static const std::array<char, 256>& UpperTable() {
  static const auto table = [] {
    std::array<char, 256> t{};
    for (int i = 0; i < 256; ++i) t[i] = IdUpCase(static_cast<char>(i));
    return t;
  }();
  return table;
}

std::string UpperCase(std::string_view s) {
  std::string r(s);
  const std::array<char, 256>& up = UpperTable();
  for (char& c : r) c = up[static_cast<unsigned char>(c)];
  return r;
}

std::string LowerCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = IdLowCase(c);
  return r;
}

bool TextIsSame(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  const std::array<char, 256>& up = UpperTable();
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i] &&
        up[static_cast<unsigned char>(a[i])] != up[static_cast<unsigned char>(b[i])])
      return false;
  return true;
}

bool TextStartsWith(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && TextIsSame(s.substr(0, prefix.size()), prefix);
}

static bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

std::string TrimLeft(std::string_view s) {
  size_t b = 0;
  while (b < s.size() && IsBlank(s[b])) ++b;
  return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s) {
  size_t e = s.size();
  while (e > 0 && IsBlank(s[e - 1])) --e;
  return std::string(s.substr(0, e));
}

bool TryStrToInt(std::string_view s, int32_t& value) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool neg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  int base = 10;
  if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= s.size()) return false;
  const int64_t limit = neg ? 2147483648LL : 2147483647LL;
  int64_t v = 0;
  for (; i < s.size(); ++i) {
    char c = s[i];
    int d;
    if (c >= '0' && c <= '9')
      d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      d = c - 'A' + 10;
    else
      return false;
    v = v * base + d;
    if (v > limit) return false;
  }
  value = static_cast<int32_t>(neg ? -v : v);
  return true;
}

int32_t StrToIntDef(std::string_view s, int32_t def) {
  int32_t v;
  return TryStrToInt(s, v) ? v : def;
}

int32_t StrToInt(std::string_view s) {
  int32_t v;
  if (!TryStrToInt(s, v)) throw EConvertError(IdFormat(RSInvalidInteger, std::string(s).c_str()));
  return v;
}

size_t TextPos(std::string_view sub, std::string_view s) {
  if (sub.empty()) return 0;
  size_t p = s.find(sub);
  return p == std::string_view::npos ? 0 : p + 1;
}

size_t LastPos(std::string_view sub, std::string_view s, int64_t start) {
  if (sub.empty() || sub.size() > s.size()) return 0;
  int64_t last = static_cast<int64_t>(s.size() - sub.size()) + 1;  // 1-based
  if (start >= 0 && start < last) last = start;
  for (int64_t p = last; p >= 1; --p)
    if (TextIsSame(s.substr(static_cast<size_t>(p - 1), sub.size()), sub))
      return static_cast<size_t>(p);
  return 0;
}

std::string CutToken(std::string& input, std::string_view delimiter, bool remove,
                     bool caseSensitive) {
  size_t p =
      caseSensitive ? TextPos(delimiter, input) : TextPos(UpperCase(delimiter), UpperCase(input));
  std::string result;
  if (p == 0) {
    result = input;
    if (remove) input.clear();
  } else {
    result = input.substr(0, p - 1);
    if (remove) input.erase(0, p - 1 + delimiter.size());
  }
  return result;
}

std::string NormalizeSlashes(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c == '\\') c = '/';
  return r;
}

// ---- dates -------------------------------------------------------------

static bool IsLeap(int y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

static int DaysInMonth(int y, int m) {
  static const int d[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : d[m - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month))
    return false;
  // Days from 0001-01-01 to the date, then shifted to the 1899-12-30 epoch.
  int y = year - 1;
  int64_t days = int64_t(y) * 365 + y / 4 - y / 100 + y / 400;
  for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
  days += day - 1;
  date = static_cast<double>(days - 693593);
  return true;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time) {
  if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999)
    return false;
  time = (hour * 3600000.0 + min * 60000.0 + sec * 1000.0 + msec) / 86400000.0;
  return true;
}

void DecodeDateTime(TDateTime dt, int& year, int& month, int& day, int& hour, int& min, int& sec,
                    int& dayOfWeek) {
  int64_t ms = std::llround(dt * 86400000.0);
  int64_t days = ms >= 0 ? ms / 86400000 : -((-ms + 86399999) / 86400000);
  int64_t rest = ms - days * 86400000;
  hour = static_cast<int>(rest / 3600000);
  min = static_cast<int>(rest / 60000 % 60);
  sec = static_cast<int>(rest / 1000 % 60);
  // 1899-12-30 was a Saturday.
  dayOfWeek = static_cast<int>(((days + 6) % 7 + 7) % 7) + 1;
  // Civil date from days since 1970-01-01 (Howard Hinnant's algorithm).
  int64_t z = days - 25569 + 719468;
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

TDateTime OffsetFromUTC() {
  // Asking the system costs a look at the zone files; within one second the
  // answer cannot change in any way that matters here.
  thread_local std::time_t cachedAt = -1;
  thread_local TDateTime cached = 0;
  std::time_t now = std::time(nullptr);
  if (now != static_cast<std::time_t>(-1) && now == cachedAt) return cached;
  std::tm utc{};
  std::tm* g = std::gmtime(&now);
  if (now == static_cast<std::time_t>(-1) || !g) throw EIdFailedToRetreiveTimeZoneInfo();
  utc = *g;
  utc.tm_isdst = -1;  // let the system decide whether daylight saving applies
  std::time_t asLocal = std::mktime(&utc);
  if (asLocal == static_cast<std::time_t>(-1)) throw EIdFailedToRetreiveTimeZoneInfo();
  cached = std::difftime(now, asLocal) / 86400.0;
  cachedAt = now;
  return cached;
}

TDateTime IdNow() {
  using namespace std::chrono;
  int64_t ms = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
  return ms / 86400000.0 + 25569.0 + OffsetFromUTC();
}

std::string DateTimeGMTToHttpStr(TDateTime dt) {
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  int y, mo, d, h, mi, s, dow;
  DecodeDateTime(dt, y, mo, d, h, mi, s, dow);
  int offset = static_cast<int>(std::lround(OffsetFromUTC() * 1440.0));
  char sign = offset < 0 ? '-' : '+';
  if (offset < 0) offset = -offset;
  std::string time = IdFormat("%.2d:%.2d:%.2d", h, mi, s);
  std::string zone = IdFormat("%c%.2d%.2d", sign, offset / 60, offset % 60);
  return IdFormat("%s, %d %s %d %s %s", kDays[dow - 1], d, kMonths[mo - 1], y, time.c_str(),
                  zone.c_str());
}

static int DayIndex(std::string_view s) {
  static const char* const kDays[] = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};
  for (int i = 0; i < 7; ++i)
    if (TextIsSame(s, kDays[i])) return i + 1;
  return 0;
}

static int MonthIndex(std::string_view s) {
  static const char* const kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                        "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  for (int i = 0; i < 12; ++i)
    if (TextIsSame(s, kMonths[i])) return i + 1;
  return 0;
}

// Steps 1 to 8: the date and time as written; false on any failure, leaving s
// as it was at that point.
static bool ParseDatePart(std::string& s, TDateTime& result) {
  s = Trim(s);
  if (s.empty()) return false;
  if (s.size() >= 3 && DayIndex(s.substr(0, 3)) > 0) {
    CutToken(s, " ");
    s = TrimLeft(s);
  }
  size_t dash = s.find('-'), space = s.find(' ');
  std::string sep = (dash != std::string::npos && dash >= 1 && dash < space) ? "-" : " ";
  int day, month;
  std::string first = s;
  first = CutToken(first, sep, false);
  if (MonthIndex(first) > 0) {
    month = MonthIndex(CutToken(s, sep));
    s = TrimLeft(s);
    day = StrToIntDef(CutToken(s, sep), 1);
    s = TrimLeft(s);
  } else {
    day = StrToIntDef(CutToken(s, sep), 1);
    s = TrimLeft(s);
    month = MonthIndex(CutToken(s, sep));
    s = TrimLeft(s);
  }
  std::string token = CutToken(s, " ");
  int year = StrToIntDef(token, 1900);
  if (year == 1900) {
    year = StrToIntDef(s, 1900);
    s = token;
  }
  if (year < 80)
    year += 2000;
  else if (year < 100)
    year += 1900;
  TDateTime date;
  if (!TryEncodeDate(year, month, day, date)) return false;
  if (s.find(':') != std::string::npos) {
    std::string t = CutToken(s, " ");
    int h = StrToIntDef(CutToken(t, ":"), 0);
    int m = StrToIntDef(CutToken(t, ":"), 0);
    int sec = StrToIntDef(CutToken(t, " "), 0);
    TDateTime time;
    if (!TryEncodeTime(h, m, sec, 0, time)) return false;
    date += time;
  }
  result = date;
  return true;
}

TDateTime GMTToLocalDateTime(std::string s) {
  TDateTime result = 0;
  if (!ParseDatePart(s, result)) result = 0;
  std::string zone = TrimLeft(s);
  if (zone.size() > 4 && (zone[0] == '+' || zone[0] == '-')) {
    int32_t h, m;
    if (TryStrToInt(zone.substr(1, 2), h) && TryStrToInt(zone.substr(3, 2), m)) {
      TDateTime off = (h * 60.0 + m) / 1440.0;
      result += zone[0] == '+' ? -off : off;
    }
  }
  return result + OffsetFromUTC();
}

void TIdStream::Write(const void* buf, size_t count) {
  if (count == 0) return;
  size_t end = static_cast<size_t>(FPosition) + count;
  if (end > FData.size()) FData.resize(end);
  std::memcpy(FData.data() + FPosition, buf, count);
  FPosition = static_cast<int64_t>(end);
}
