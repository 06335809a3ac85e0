// float_text.h - the shortest text that reads back to the same float.
//
// Rules:
//  - Programs print floats this way so that a diff of two runs shows only
//    real changes; the trace's bytes depend on it, so every build must print
//    the same digits.
#pragma once

#include <charconv>      // to_chars: shortest round-trip float text
#include <string>        // the text as a string
#include <system_error>  // errc from to_chars

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
