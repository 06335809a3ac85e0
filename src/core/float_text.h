// float_text.h - the shortest text that reads back to the same float or double.
//
// Rules:
//  - Programs print floats and doubles this way so that a diff of two runs
//    shows only real changes; the traces' bytes depend on it, so every build
//    must print the same digits.
//  - The text is std::to_chars's: the fewest significant digits that read
//    back to the same value, the closest such digits to it, laid out
//    plainly or with an exponent, whichever is shorter (plainly on a tie).
//  - A C++ library without to_chars for floating point (the browser build's)
//    prints through FLOAT_TEXT_BY_PRINTF and DOUBLE_TEXT_BY_PRINTF, which a
//    unit test holds to to_chars's text over millions of values.
//  - Room for 32 characters at `out`, for both.
#pragma once

#include <algorithm>     // max of two lengths
#include <charconv>      // to_chars: shortest round-trip text
#include <cmath>         // signbit, fabs
#include <cstdio>        // snprintf: the digits where to_chars has no floating point
#include <cstdlib>       // strtof, strtod: does a candidate read back? abs, atoi
#include <cstring>       // memcpy, memset of the laid-out text
#include <limits>        // how many digits each type can need
#include <string>        // the text as a string
#include <system_error>  // errc from to_chars
#include <type_traits>   // float or double

// Writes what to_chars writes for a float or a double, found with printf
// alone: the fewest significant digits (1 to 9 for a float, 1 to 17 for a double)
// whose correctly rounded text reads back to the same value. The correctly
// rounded text of n digits is the closest text of n digits, so when it reads
// back it is the digits to_chars picks among the shortest; when it does not,
// only its neighbour on the other side of the value can.
template <typename Tvalue>
char* SHORTEST_TEXT_BY_PRINTF(char* out, Tvalue value) {
  static_assert(std::is_same<Tvalue, float>::value || std::is_same<Tvalue, double>::value, "float or double");
  char* o = out;
  if (std::signbit(value)) *o++ = '-';
  // Infinities and NaN have no digits to lay out, and NaN never reads back.
  if (value != value) return o + std::snprintf(o, 4, "nan");
  if (value - value != Tvalue(0)) return o + std::snprintf(o, 4, "inf");

  // Whether some text of `count` significant digits reads back; if so its
  // digits and the exponent of the first.
  const Tvalue target = std::fabs(value);
  const double magnitude = static_cast<double>(target);
  auto read = [](const char* text) -> Tvalue {
    if constexpr (std::is_same<Tvalue, float>::value) {
      return std::strtof(text, nullptr);
    } else {
      return std::strtod(text, nullptr);
    }
  };
  char digits[24];
  int exponent = 0;
  int filled = 0;  // the length `digits` and `exponent` are of
  auto reads_back = [&](int count) {
    filled = count;
    char text[32];  // d.ddde+XX, the sign left out
    std::snprintf(text, sizeof text, "%.*e", count - 1, magnitude);
    const char* e = std::strchr(text, 'e');
    exponent = std::atoi(e + 1);
    for (int i = 0, at = 0; text + at != e; ++at)
      if (text[at] != '.') digits[i++] = text[at];
    if (read(text) == target) return true;
    // Just above a power of two the values below lie half as far apart, so
    // the nearest text below can miss while the next one above still reads
    // back: to_chars then takes that one. No other text of this length can.
    if (std::strtod(text, nullptr) > magnitude) return false;
    int last = count - 1;
    while (last >= 0 && digits[last] == '9') digits[last--] = '0';
    if (last < 0) {
      digits[0] = '1';
      ++exponent;
    } else {
      ++digits[last];
    }
    std::snprintf(text, sizeof text, "%c.%.*se%d", digits[0], count - 1, digits + 1, exponent);
    return read(text) == target;
  };
  // A text that reads back still does with a digit more (a zero), so the
  // shortest is found from any length; the search starts where most values
  // of a run end (7 or 8 digits for a float's, 16 or 17 for a double's).
  // max_digits10 digits always read back.
  int count = std::numeric_limits<Tvalue>::digits10 + 1;
  if (reads_back(count)) {
    while (count > 1 && reads_back(count - 1)) --count;
  } else {
    while (!reads_back(++count)) {
    }
  }
  if (filled != count) reads_back(count);

  // Plainly: the point moved, padded with zeros; with an exponent:
  // d[.ddd]e+XX, at least two exponent digits, as printf writes them.
  const int plain_length = exponent >= 0 ? std::max(count + (count > exponent + 1 ? 1 : 0), exponent + 1)
                                         : count + 1 - exponent;
  const int exponent_digits = std::abs(exponent) >= 100 ? 3 : 2;
  const int scientific_length = count + (count > 1 ? 1 : 0) + 2 + exponent_digits;
  if (plain_length > scientific_length) {
    *o++ = digits[0];
    if (count > 1) *o++ = '.';
    std::memcpy(o, digits + 1, count - 1);
    o += count - 1;
    return o + std::snprintf(o, 8, "e%c%0*d", exponent < 0 ? '-' : '+', exponent_digits, std::abs(exponent));
  }
  // A whole number too long for its shortest digits is printed exactly, as
  // to_chars does: 33565872, not 33565870.
  if (exponent >= count) return o + std::snprintf(o, 32, "%.0f", magnitude);
  if (exponent < 0) {
    *o++ = '0';
    *o++ = '.';
    std::memset(o, '0', -exponent - 1);
    o += -exponent - 1;
  }
  for (int i = 0; i < count; ++i) {
    if (exponent >= 0 && i == exponent + 1) *o++ = '.';
    *o++ = digits[i];
  }
  return o;
}

inline char* FLOAT_TEXT_BY_PRINTF(char* out, float value) { return SHORTEST_TEXT_BY_PRINTF(out, value); }
inline char* DOUBLE_TEXT_BY_PRINTF(char* out, double value) { return SHORTEST_TEXT_BY_PRINTF(out, value); }

// Writes the shortest round-trip text of `value` at `out` (room for 32
// characters) and returns the end of what was written. A library announces
// to_chars for floating point with __cpp_lib_to_chars (libstdc++ from g++ 11);
// the browser's (emscripten's libc++ 13) has none and announces none, and
// both types take the same route.
inline char* FLOAT_TEXT(char* out, float value) {
#if defined(__cpp_lib_to_chars)
  std::to_chars_result result = std::to_chars(out, out + 32, value);
  return result.ec == std::errc() ? result.ptr : out;
#else
  return FLOAT_TEXT_BY_PRINTF(out, value);
#endif
}

inline char* DOUBLE_TEXT(char* out, double value) {
#if defined(__cpp_lib_to_chars)
  std::to_chars_result result = std::to_chars(out, out + 32, value);
  return result.ec == std::errc() ? result.ptr : out;
#else
  return DOUBLE_TEXT_BY_PRINTF(out, value);
#endif
}

inline std::string FLOAT_TEXT(float value) {
  char buffer[32];
  return std::string(buffer, FLOAT_TEXT(buffer, value));
}

inline std::string DOUBLE_TEXT(double value) {
  char buffer[32];
  return std::string(buffer, DOUBLE_TEXT(buffer, value));
}
