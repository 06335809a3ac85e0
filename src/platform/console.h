// console.h - the text console beside the window, addressed by row and column.
//
// Rules:
//  - Rows and columns are 1-based; placement is an ANSI cursor move.
//  - Every line ends in CR LF. An integer is printed as a blank (or "-"),
//    its digits and CR LF: " 99\r\n", "-1\r\n".
//  - All console traffic goes through one sink so that tests can capture it
//    and tools can silence it. The default sink writes to stdout and rings
//    the terminal bell for a beep.
//  - The default key wait reads stdin. On a terminal it ends on one key
//    press, without Enter and without echo, and leaves the terminal's modes
//    as it found them, also when a signal ends the process during the wait.
//    Otherwise it reads one byte; end of input counts as a key.
//
// No GL or GLFW here: the simulation library prints through this.
#pragma once

#include <cstddef>  // size_t
#include <string>   // Tconsole_capture keeps what was printed

struct Tconsole_sink {
  void (*write)(void* context, const char* text, std::size_t length);
  void (*beep)(void* context);
  void (*wait_key)(void* context);
  void* context;
};

// Installs a sink (copied); null restores stdout. Returns nothing: sinks nest
// through Tconsole_capture, which restores what it replaced.
void CONSOLE_SET_SINK(const Tconsole_sink* sink);
const Tconsole_sink& CONSOLE_SINK();

void CONSOLE_LOCATE(int row, int column);
void CONSOLE_PRINT(const char* text);       // no line end
void CONSOLE_PRINT_LINE(const char* text);  // text and CR LF
void CONSOLE_PRINT_INT(int value);          // sign or blank, digits, CR LF
void CONSOLE_BEEP();
void CONSOLE_WAIT_KEY();
void CONSOLE_FLUSH();  // pushes buffered stdout text out once per frame

// One line, and '\n', on stderr, past the sink: what playing found wrong
// (a pattern's fault) reaches the person even when the console is silenced
// or stdout carries a tool's data.
void CONSOLE_WARN_LINE(const char* text);

// Swallows all console traffic (tools whose stdout carries data).
void CONSOLE_SILENCE();

// Swallows all console traffic for the life of the object, then restores
// the sink it replaced (frames stepped unseen, tests that only need quiet).
class Tconsole_quiet {
 public:
  Tconsole_quiet();
  ~Tconsole_quiet();
  Tconsole_quiet(const Tconsole_quiet&) = delete;
  Tconsole_quiet& operator=(const Tconsole_quiet&) = delete;

 private:
  Tconsole_sink previous_;
};

// Collects console text for the life of the object; beeps and key waits are
// counted and answered at once.
class Tconsole_capture {
 public:
  Tconsole_capture();
  ~Tconsole_capture();
  Tconsole_capture(const Tconsole_capture&) = delete;
  Tconsole_capture& operator=(const Tconsole_capture&) = delete;

  std::string text;
  int beeps = 0;
  int key_waits = 0;

 private:
  Tconsole_sink previous_;
};
