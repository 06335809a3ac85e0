// textfile.h - a text file read line by line, with position report and seek;
// a small file read whole.
//
// Rules:
//  - A line is returned without its line end ("\n", "\r\n" or a lone "\r"
//    before "\n"); a last line without a line end still counts.
//  - Lines may be of any length; nothing is cut.
//  - Operations that can fail return 0 on success and an error code of the
//    run-time error facility otherwise; the caller decides whether it is fatal.
#pragma once

#include <cstddef>  // size_t
#include <cstdio>   // FILE
#include <string>   // the line buffer, a whole file

class Ttextfile {
 public:
  Ttextfile() = default;
  ~Ttextfile();
  Ttextfile(const Ttextfile&) = delete;
  Ttextfile& operator=(const Ttextfile&) = delete;

  int OPEN(const char* name);
  bool READ_LINE(std::string& line);  // false once nothing is left
  bool AT_END();                      // true when the next READ_LINE would find nothing
  long POSITION() const;              // -1 when no file is open
  int SEEK(long position);
  int CLOSE();
  bool IS_OPEN() const { return file_ != nullptr; }

 private:
  std::FILE* file_ = nullptr;
};

// The whole regular file at `path` into `text`, when it holds at most `most`
// bytes; else false with `why`: the system's reason, "not a regular file",
// or "larger than MOST bytes, the most KIND may hold". What is not a regular
// file is refused before it is opened: a directory would read as empty, a
// FIFO would block until a writer came and a device such as /dev/zero never
// ends.
bool READ_WHOLE_FILE(const std::string& path, std::size_t most, const char* kind, std::string& text, std::string& why);
