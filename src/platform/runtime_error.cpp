// runtime_error.cpp - the fatal report and its replaceable handler.
#include "platform/runtime_error.h"

#include <cstdio>   // snprintf, the default handler writes to stderr
#include <cstdlib>  // exit

namespace {

const char* error_text(int code) {
  switch (code) {
    case VP_ERR_ILLEGAL_CALL: return "illegal function call";
    case VP_ERR_OUT_OF_BOUNDS: return "out of bounds array access";
    case VP_ERR_NULL_POINTER: return "null pointer access";
    default: return "unknown error";
  }
}

[[noreturn]] void default_handler(int code, const std::string& report) {
  // Console text that is still buffered belongs before the report.
  std::fflush(stdout);
  std::fwrite(report.data(), 1, report.size(), stderr);
  std::fflush(stderr);
  std::exit(code);
}

Tfatal_handler g_handler = default_handler;

}  // namespace

Tfatal_handler SET_FATAL_HANDLER(Tfatal_handler handler) {
  Tfatal_handler previous = g_handler;
  g_handler = handler ? handler : default_handler;
  return previous;
}

std::string RUNTIME_ERROR_REPORT(int code, int line, const char* module, const char* operation) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer,
                "\r\nAborting due to runtime error %d (%s) at line %d of %s::%s()\r\n\r\n", code,
                error_text(code), line, module ? module : "?", operation ? operation : "?");
  return buffer;
}

void RUNTIME_ERROR(int code, int line, const char* module, const char* operation) {
  g_handler(code, RUNTIME_ERROR_REPORT(code, line, module, operation));
  default_handler(code, RUNTIME_ERROR_REPORT(code, line, module, operation));
}

void THROW_RUNTIME_ERROR(int code, const std::string& report) { throw Truntime_error(code, report); }
