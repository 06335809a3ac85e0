// data_path.cpp - data folders from the working folder and the program's
// own place.
#include "platform/data_path.h"

#include <limits.h>  // PATH_MAX
#include <unistd.h>  // readlink, access, getcwd

namespace {

// The program's own folder, as the kernel knows it; "" when unknown.
std::string program_folder() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return "";
  const std::string exe(path, static_cast<std::size_t>(length));
  const std::size_t slash = exe.rfind('/');
  return slash == std::string::npos ? "" : exe.substr(0, slash);
}

std::string working_folder() {
  char path[PATH_MAX];
  return getcwd(path, sizeof path) ? std::string(path) : std::string(".");
}

}  // namespace

std::vector<std::string> DATA_FOLDERS() {
  std::vector<std::string> folders = {working_folder()};
  const std::string bin = program_folder();
  if (!bin.empty()) {
    folders.push_back(bin + "/../share/vorpane");
    folders.push_back(bin + "/../../assets");
  }
  return folders;
}

std::string DATA_FILE_FIND(const std::string& name, std::vector<std::string>& tried) {
  tried.clear();
  if (name.find('/') != std::string::npos) return name;
  for (const std::string& folder : DATA_FOLDERS()) {
    tried.push_back(folder);
    const std::string path = folder + "/" + name;
    if (access(path.c_str(), F_OK) == 0) return tried.size() == 1 ? name : path;
  }
  return name;
}
