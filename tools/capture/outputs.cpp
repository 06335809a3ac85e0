// outputs.cpp - folders made and probed before a capture starts.
#include "capture/outputs.h"

#include <sys/stat.h>  // mkdir, stat
#include <unistd.h>    // mkstemp, close, unlink

#include <cerrno>  // mkdir's EEXIST
#include <vector>  // the probe's writable name

bool IS_FOLDER(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool MAKE_FOLDERS(const std::string& path) {
  for (std::size_t at = 1; at <= path.size(); ++at) {
    if (at < path.size() && path[at] != '/') continue;
    std::string prefix = path.substr(0, at);
    if (IS_FOLDER(prefix)) continue;
    if (mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) return false;
  }
  return IS_FOLDER(path);
}

bool FOLDER_TAKES_FILES(const std::string& folder) {
  std::string probe = folder + "/.vorpane-capture-XXXXXX";
  std::vector<char> name(probe.begin(), probe.end());
  name.push_back('\0');
  int fd = mkstemp(name.data());
  if (fd < 0) return false;
  close(fd);
  unlink(name.data());
  return true;
}

std::string FOLDER_OF(const std::string& file) {
  std::size_t slash = file.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return file.substr(0, slash);
}
