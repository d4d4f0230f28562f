// Text, number and time helpers shared by every unit of the HTTP client.
//
// Texts are 8-bit strings (code page 1251). Case-insensitive operations use the
// code page's upper/lower mapping (ASCII and Cyrillic); trimming removes every
// byte up to and including the space from the ends. Positions returned by the
// search helpers are 1-based, 0 meaning "not found".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/Types.h"

// printf-style formatting into a std::string (the client's own, so the client
// needs no library beyond the platform).
std::string IdFormat(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

char IdUpCase(char c);
char IdLowCase(char c);
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
// Equality without regard to case.
bool TextIsSame(std::string_view a, std::string_view b);
bool TextStartsWith(std::string_view s, std::string_view prefix);

std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

// The shared integer text conversion: leading spaces, an optional sign, decimal
// digits or hexadecimal digits after "$", "x", "X", "0x" or "0X", nothing after;
// the value must fit in 32 signed bits. Returns false when the text does not
// qualify (an empty text never does).
bool TryStrToInt(std::string_view s, int32_t& value);
// Lenient form: the default when the text does not qualify.
int32_t StrToIntDef(std::string_view s, int32_t def);
// Strict form: raises EConvertError "'%s' is not a valid integer value".
int32_t StrToInt(std::string_view s);

// First occurrence of sub in s (plain byte search: the code page has no
// double-byte characters), 0 when absent.
size_t TextPos(std::string_view sub, std::string_view s);
// Last occurrence of sub beginning at or before start (-1: the end of s),
// compared without regard to case; 0 when none.
size_t LastPos(std::string_view sub, std::string_view s, int64_t start = -1);
// Splits input at the first delimiter: returns the text before it; with remove,
// input keeps only the text after it (or becomes empty when it is absent).
std::string CutToken(std::string& input, std::string_view delimiter, bool remove = true,
                     bool caseSensitive = true);
std::string NormalizeSlashes(std::string_view s);

// Days since 1899-12-30, the fraction being the time of day.
using TDateTime = double;

// false when the date does not exist.
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time);
void DecodeDateTime(TDateTime dt, int& year, int& month, int& day, int& hour, int& min, int& sec,
                    int& dayOfWeek /* 1 = Sunday */);
// Local time now.
TDateTime IdNow();
// Local time minus UTC, in days; raises EIdFailedToRetreiveTimeZoneInfo when the
// system cannot tell.
TDateTime OffsetFromUTC();
// "Sun, 6 Nov 1994 08:49:37 +0000" for a local time.
std::string DateTimeGMTToHttpStr(TDateTime dt);
// Reads the three internet date forms into local time (0 plus the local offset
// when the text cannot be read).
TDateTime GMTToLocalDateTime(std::string s);

// A growable byte stream with a position: the target of body reads.
class TIdStream {
 public:
  virtual ~TIdStream() = default;
  int64_t Position() const { return FPosition; }
  void SetPosition(int64_t p) { FPosition = p < 0 ? 0 : p; }
  int64_t Size() const { return static_cast<int64_t>(FData.size()); }
  // Grows with zero bytes or cuts; the position stays.
  void SetSize(int64_t n) { FData.resize(static_cast<size_t>(n < 0 ? 0 : n)); }
  // Writes at the position, growing the stream as needed.
  void Write(const void* buf, size_t count);
  const std::string& DataString() const { return FData; }

 private:
  std::string FData;
  int64_t FPosition = 0;
};
