// runtime_error.h - the one place where a fatal run-time error is reported.
//
// Rules:
//  - A null pointer, an index outside a fixed array or a failed platform
//    operation stops the program at once; there is no recovery and no error
//    code travels back to the caller.
//  - The report text is fixed, byte for byte:
//      "\r\nAborting due to runtime error <code> (<text>) at line <line>
//       of <module>::<operation>()\r\n\r\n"
//    and the exit status is the error code.
//  - The handler can be replaced (tests, fuzzers, tools). A handler must not
//    return: it exits or throws. If it returns anyway, the default ending runs.
//
// No GL or GLFW here: the simulation library links this file.
#pragma once

#include <exception>  // Truntime_error derives from std::exception
#include <string>     // the report is built as text before it is handed on

enum {
  VP_ERR_ILLEGAL_CALL = 1,   // "illegal function call": a failed platform operation
  VP_ERR_OUT_OF_BOUNDS = 6,  // "out of bounds array access"
  VP_ERR_NULL_POINTER = 7    // "null pointer access"
};

// Receives the error code and the complete report text.
using Tfatal_handler = void (*)(int code, const std::string& report);

// Installs a handler; null restores the default (report on stderr, exit with
// the code). Returns the handler that was in force.
Tfatal_handler SET_FATAL_HANDLER(Tfatal_handler handler);

// The exact report text for an error, without side effects.
std::string RUNTIME_ERROR_REPORT(int code, int line, const char* module, const char* operation);

// Reports through the handler in force and never returns.
[[noreturn]] void RUNTIME_ERROR(int code, int line, const char* module, const char* operation);

// What THROW_RUNTIME_ERROR throws: lets tests and fuzzers unwind out of a
// fatal error and look at it instead of losing the process.
struct Truntime_error : std::exception {
  int code;
  std::string report;
  Truntime_error(int c, std::string r) : code(c), report(std::move(r)) {}
  const char* what() const noexcept override { return report.c_str(); }
};
[[noreturn]] void THROW_RUNTIME_ERROR(int code, const std::string& report);

// Installs THROW_RUNTIME_ERROR for the life of the object and restores the
// previous handler afterwards.
class Tfatal_trap {
 public:
  Tfatal_trap() : previous_(SET_FATAL_HANDLER(THROW_RUNTIME_ERROR)) {}
  ~Tfatal_trap() { SET_FATAL_HANDLER(previous_); }
  Tfatal_trap(const Tfatal_trap&) = delete;
  Tfatal_trap& operator=(const Tfatal_trap&) = delete;

 private:
  Tfatal_handler previous_;
};

// Checks that report through the facility with the caller's line number.
#define VP_CHECK_PTR(p, module, operation) \
  do {                                      \
    if ((p) == nullptr) RUNTIME_ERROR(VP_ERR_NULL_POINTER, __LINE__, module, operation); \
  } while (0)

#define VP_CHECK_INDEX(i, count, module, operation)                                  \
  do {                                                                                \
    if ((i) < 0 || (i) >= (count)) RUNTIME_ERROR(VP_ERR_OUT_OF_BOUNDS, __LINE__, module, operation); \
  } while (0)
