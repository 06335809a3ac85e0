// tool_args.h - the command-line numbers and float output the tools share.
//
// Rules:
//  - A number on the command line is the whole argument: no blanks, no
//    trailing text, nothing out of range; floats must be finite.
//  - Floats are printed as the shortest text that reads back to the same
//    float, so a diff of two runs shows only real changes.
#pragma once

#include <cerrno>        // range errors from strtol/strtof
#include <charconv>      // to_chars: shortest round-trip float text
#include <cmath>         // isfinite
#include <cstdlib>       // strtol, strtof
#include <string>        // option text
#include <system_error>  // errc from to_chars

// Decimal digits only (no sign): "0", "600".
inline bool PARSE_WHOLE(const std::string& text, long& out) {
  if (text.empty() || text[0] < '0' || text[0] > '9') return false;
  char* end = nullptr;
  errno = 0;
  long value = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0') return false;
  out = value;
  return true;
}

// `count` finite floats separated by commas: "2", "-1,-1", "1.5,0,3".
inline bool PARSE_FLOATS(const std::string& text, float* values, int count) {
  const char* p = text.c_str();
  for (int i = 0; i < count; ++i) {
    if (*p == '\0' || *p == ' ' || *p == '\t' || *p == '\n') return false;
    char* end = nullptr;
    errno = 0;
    values[i] = std::strtof(p, &end);
    if (end == p || errno != 0 || !std::isfinite(values[i])) return false;
    p = end;
    if (i + 1 < count) {
      if (*p != ',') return false;
      ++p;
    }
  }
  return *p == '\0';
}

// Writes the shortest round-trip text of `value` at `out` (room for 32
// characters) and returns the end of what was written.
inline char* FLOAT_TEXT(char* out, float value) {
  std::to_chars_result result = std::to_chars(out, out + 32, value);
  return result.ec == std::errc() ? result.ptr : out;
}

inline std::string FLOAT_TEXT(float value) {
  char buffer[32];
  return std::string(buffer, FLOAT_TEXT(buffer, value));
}
