// console.cpp - console text through a replaceable sink.
#include "platform/console.h"

#include <termios.h>  // single-key mode of the terminal
#include <unistd.h>   // isatty, read

#include <cstdio>  // stdout, the default sink

#include "platform/signals.h"  // the terminal put back when a signal ends the wait

namespace {

void stdout_write(void*, const char* text, std::size_t length) { std::fwrite(text, 1, length, stdout); }
void stdout_beep(void*) {
  std::fputc('\a', stdout);
  std::fflush(stdout);
}

// While a key wait holds the terminal in single-key mode, a signal that ends
// the process must not leave the user's shell without echo and line editing.
termios g_terminal_modes;  // the modes to put back, read by the handler

void restore_terminal() { tcsetattr(STDIN_FILENO, TCSANOW, &g_terminal_modes); }

// One key press on a terminal, without Enter and without echo. A key that
// sends a sequence (arrows, function keys) is one press: the rest of it is
// dropped. An interrupting signal that does not end the process ends the wait.
void wait_terminal_key() {
  if (tcgetattr(STDIN_FILENO, &g_terminal_modes) != 0) {
    std::getchar();  // modes unknown, so none are changed
    return;
  }
  Tsignal_hooks hooks(restore_terminal);  // a signal that does not end us ends the read
  termios single_key = g_terminal_modes;
  single_key.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
  single_key.c_cc[VMIN] = 1;
  single_key.c_cc[VTIME] = 0;
  if (tcsetattr(STDIN_FILENO, TCSANOW, &single_key) != 0) {
    std::getchar();  // the terminal keeps its line mode: Enter ends the wait
  } else {
    char key;
    if (read(STDIN_FILENO, &key, 1) == 1) tcflush(STDIN_FILENO, TCIFLUSH);
  }
  restore_terminal();
}

void stdout_wait_key(void*) {
  std::fflush(stdout);
  if (isatty(STDIN_FILENO)) {
    wait_terminal_key();
  } else {
    std::getchar();  // one byte; EOF (closed stdin) counts as a key
  }
}

const Tconsole_sink k_stdout_sink = {stdout_write, stdout_beep, stdout_wait_key, nullptr};

void null_write(void*, const char*, std::size_t) {}
void null_event(void*) {}
const Tconsole_sink k_silent_sink = {null_write, null_event, null_event, nullptr};

Tconsole_sink g_sink = k_stdout_sink;

void emit(const char* text, std::size_t length) { g_sink.write(g_sink.context, text, length); }

void capture_write(void* context, const char* text, std::size_t length) {
  static_cast<Tconsole_capture*>(context)->text.append(text, length);
}
void capture_beep(void* context) { ++static_cast<Tconsole_capture*>(context)->beeps; }
void capture_wait_key(void* context) { ++static_cast<Tconsole_capture*>(context)->key_waits; }

// Writes the decimal digits of `value` ending just before `end`; returns
// where they start. Two reports per schedule per frame go through here, so
// it stays off the C library's format parser.
char* digits_before(char* end, unsigned value) {
  do {
    *--end = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  return end;
}

}  // namespace

void CONSOLE_SET_SINK(const Tconsole_sink* sink) { g_sink = sink ? *sink : k_stdout_sink; }
const Tconsole_sink& CONSOLE_SINK() { return g_sink; }
void CONSOLE_SILENCE() { g_sink = k_silent_sink; }

void CONSOLE_LOCATE(int row, int column) {
  char buffer[32];
  char* end = buffer + sizeof buffer;
  char* p = end;
  *--p = 'H';
  p = digits_before(p, static_cast<unsigned>(column));
  *--p = ';';
  p = digits_before(p, static_cast<unsigned>(row));
  *--p = '[';
  *--p = '\x1b';
  emit(p, static_cast<std::size_t>(end - p));
}

void CONSOLE_PRINT(const char* text) {
  std::size_t length = 0;
  while (text[length] != '\0') ++length;
  emit(text, length);
}

void CONSOLE_PRINT_LINE(const char* text) {
  CONSOLE_PRINT(text);
  emit("\r\n", 2);
}

void CONSOLE_PRINT_INT(int value) {
  char buffer[16];
  char* end = buffer + sizeof buffer;
  char* p = end;
  *--p = '\n';
  *--p = '\r';
  // The magnitude in unsigned arithmetic: -2147483648 has no positive int.
  unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
  p = digits_before(p, magnitude);
  *--p = value < 0 ? '-' : ' ';
  emit(p, static_cast<std::size_t>(end - p));
}

void CONSOLE_BEEP() { g_sink.beep(g_sink.context); }
void CONSOLE_WAIT_KEY() { g_sink.wait_key(g_sink.context); }
void CONSOLE_WARN_LINE(const char* text) {
  std::fputs(text, stderr);
  std::fputc('\n', stderr);
}

void CONSOLE_FLUSH() {
  if (g_sink.write == stdout_write) std::fflush(stdout);
}

Tconsole_capture::Tconsole_capture() : previous_(g_sink) {
  g_sink = Tconsole_sink{capture_write, capture_beep, capture_wait_key, this};
}
Tconsole_capture::~Tconsole_capture() { g_sink = previous_; }

Tconsole_quiet::Tconsole_quiet() : previous_(g_sink) { g_sink = k_silent_sink; }
Tconsole_quiet::~Tconsole_quiet() { g_sink = previous_; }
