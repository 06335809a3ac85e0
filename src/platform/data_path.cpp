// data_path.cpp - data folders from the working folder and the program's
// own place.
#include "platform/data_path.h"

#include <limits.h>  // PATH_MAX
#include <stdlib.h>  // realpath
#include <unistd.h>  // readlink, access, getcwd

#include <algorithm>  // max

// Set by src/CMakeLists.txt from the install layout and the build tree; the
// defaults are the usual layout and no build tree.
#ifndef VP_DATA_FROM_PROGRAMS
#define VP_DATA_FROM_PROGRAMS "../share/vorpane"
#endif
#ifndef VP_BUILD_PROGRAMS
#define VP_BUILD_PROGRAMS ""
#endif
#ifndef VP_BUILD_DATA
#define VP_BUILD_DATA ""
#endif

namespace {

// An absolute path without ".", ".." or repeated slashes, worked out on the
// text alone: its folders are already free of symbolic links.
std::string plain_path(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t at = 0;
  while (at <= path.size()) {
    std::size_t slash = path.find('/', at);
    if (slash == std::string::npos) slash = path.size();
    const std::string part = path.substr(at, slash - at);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    at = slash + 1;
  }
  std::string plain;
  for (const std::string& part : parts) plain += "/" + part;
  return plain.empty() ? "/" : plain;
}

// The folder of the program's file, links resolved; "" when unknown.
std::string program_folder() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return "";
  const std::string exe(path, static_cast<std::size_t>(length));
  const std::size_t slash = exe.rfind('/');
  return slash == std::string::npos ? "" : exe.substr(0, std::max<std::size_t>(slash, 1));
}

// The build tree's programs folder with its links resolved, as the kernel
// names the program's; "" when there is none.
std::string build_programs() {
  if (VP_BUILD_PROGRAMS[0] == '\0') return "";
  char* real = realpath(VP_BUILD_PROGRAMS, nullptr);
  if (!real) return "";
  const std::string folder(real);
  free(real);
  return folder;
}

std::string working_folder() {
  char path[PATH_MAX];
  return getcwd(path, sizeof path) ? std::string(path) : std::string(".");
}

}  // namespace

std::vector<std::string> DATA_FOLDERS(const std::string& working, const std::string& program) {
  std::vector<std::string> folders = {working};
  if (program.empty()) return folders;
  if (program == build_programs())
    folders.push_back(plain_path(VP_BUILD_DATA));
  else
    folders.push_back(plain_path(program + "/" + VP_DATA_FROM_PROGRAMS));
  return folders;
}

std::vector<std::string> DATA_FOLDERS() { return DATA_FOLDERS(working_folder(), program_folder()); }

std::string DATA_FILE_FIND(const std::string& name, std::vector<std::string>& tried) {
  tried.clear();
  const std::size_t slash = name.rfind('/');
  if (slash != std::string::npos) {
    tried.push_back(slash == 0 ? "/" : name[0] == '/' ? plain_path(name.substr(0, slash)) : working_folder());
    return name;
  }
  for (const std::string& folder : DATA_FOLDERS()) {
    tried.push_back(folder);
    const std::string path = folder + "/" + name;
    if (access(path.c_str(), F_OK) == 0) return tried.size() == 1 ? name : path;
  }
  return name;
}

std::string DATA_PLACES(const std::vector<std::string>& tried) {
  std::string places;
  for (std::size_t i = 0; i < tried.size(); ++i)
    places += (i == 0 ? "" : i + 1 == tried.size() ? " or " : ", ") + tried[i];
  return places;
}
