// args.h - the command line as every program reads it: the option walk,
// whole numbers and float lists.
//
// Rules:
//  - A number on the command line is the whole argument: no blanks, no
//    trailing text, nothing out of range; floats must be finite.
#pragma once

#include <cerrno>        // range errors from strtol/strtof
#include <cmath>         // isfinite
#include <cstdlib>       // strtol, strtof
#include <string>        // option text

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

// Walks the command line the way every tool reads it: flags ("--fast-
// forward"), options with a value ("--frames 1,2" or "--frames=1,2"; the
// value is taken whole even when it starts with a minus sign, as in
// "--target -5,-7") and plain arguments. What the walk cannot accept goes to
// the tool's own `fail`, which prints its usage line and exits.
class Toption_walk {
 public:
  using Tfail = void (*)(const std::string& why);  // must not return

  Toption_walk(int argc, char** argv, Tfail fail) : argc_(argc), argv_(argv), fail_(fail) {}

  // Moves to the next argument; false when none is left.
  bool NEXT() {
    if (++at_ >= argc_) return false;
    arg_ = argv_[at_];
    name_ = arg_;
    inline_value_ = false;
    const std::size_t equals = arg_.find('=');
    if (arg_.compare(0, 2, "--") == 0 && equals != std::string::npos) {
      name_ = arg_.substr(0, equals);
      value_ = arg_.substr(equals + 1);
      inline_value_ = true;
    }
    return true;
  }

  const std::string& ARG() const { return arg_; }

  bool FLAG(const char* name) const { return !inline_value_ && arg_ == name; }

  // True when the argument is option `name`; its value is then in `value`.
  bool VALUE(const char* name, std::string& value) {
    if (name_ != name) return false;
    if (!inline_value_) {
      if (at_ + 1 >= argc_) fail_(name_ + " needs a value");
      value_ = argv_[++at_];
    }
    value = value_;
    return true;
  }

  // True for an argument that is not an option ("-" alone counts as plain).
  bool PLAIN(std::string& value) const {
    if (arg_.size() > 1 && arg_[0] == '-') return false;
    value = arg_;
    return true;
  }

  [[noreturn]] void UNKNOWN() const {
    fail_("unknown option \"" + arg_ + "\"");
    std::abort();  // `fail` must not return
  }

 private:
  int argc_;
  char** argv_;
  Tfail fail_;
  int at_ = 0;
  std::string arg_, name_, value_;
  bool inline_value_ = false;
};
