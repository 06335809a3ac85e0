// textfile.cpp - stdio underneath; binary mode so positions are byte offsets.
#include "platform/textfile.h"

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
