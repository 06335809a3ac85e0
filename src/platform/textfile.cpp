// textfile.cpp - stdio underneath; binary mode so positions are byte offsets.
#include "platform/textfile.h"

#include <sys/stat.h>  // what kind of file a path names

#include <cerrno>   // why a file cannot be read
#include <cstring>  // strerror
#include <fstream>  // a file read whole

#include "platform/runtime_error.h"  // error codes

Ttextfile::~Ttextfile() { CLOSE(); }

int Ttextfile::OPEN(const char* name) {
  CLOSE();
  file_ = name ? std::fopen(name, "rb") : nullptr;
  return file_ ? 0 : VP_ERR_ILLEGAL_CALL;
}

bool Ttextfile::READ_LINE(std::string& line) {
  line.clear();
  if (!file_) return false;
  int c = std::getc(file_);
  if (c == EOF) return false;
  while (c != EOF && c != '\n') {
    line.push_back(static_cast<char>(c));
    c = std::getc(file_);
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

bool Ttextfile::AT_END() {
  if (!file_) return true;
  int c = std::getc(file_);
  if (c == EOF) return true;
  std::ungetc(c, file_);
  return false;
}

long Ttextfile::POSITION() const { return file_ ? std::ftell(file_) : -1; }

int Ttextfile::SEEK(long position) {
  if (!file_ || position < 0) return VP_ERR_ILLEGAL_CALL;
  return std::fseek(file_, position, SEEK_SET) == 0 ? 0 : VP_ERR_ILLEGAL_CALL;
}

int Ttextfile::CLOSE() {
  if (!file_) return 0;
  int result = std::fclose(file_);
  file_ = nullptr;
  return result == 0 ? 0 : VP_ERR_ILLEGAL_CALL;
}

bool READ_WHOLE_FILE(const std::string& path, std::size_t most, const char* kind, std::string& text, std::string& why) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) {
    why = std::strerror(errno);
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    why = "not a regular file";
    return false;
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    why = std::strerror(errno);
    return false;
  }
  // One byte past the limit is asked for, so that a file that grew since
  // the look above is refused too.
  text.assign(most + 1, '\0');
  file.read(&text[0], static_cast<std::streamsize>(text.size()));
  if (file.bad()) {
    why = std::strerror(errno);
    return false;
  }
  text.resize(static_cast<std::size_t>(file.gcount()));
  if (text.size() > most) {
    why = "larger than " + std::to_string(most) + " bytes, the most " + kind + " may hold";
    return false;
  }
  return true;
}
