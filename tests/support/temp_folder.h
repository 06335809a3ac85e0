// temp_folder.h - a fresh folder for a test's files, removed with them when
// the test ends.
#pragma once

#include <gtest/gtest.h>  // TempDir, failures
#include <stdlib.h>       // mkdtemp
#include <unistd.h>       // rmdir

#include <cstdio>   // remove, rename
#include <fstream>  // writing the files
#include <set>      // the names to remove
#include <string>   // paths

class Ttemp_folder {
 public:
  Ttemp_folder() {
    std::string pattern = testing::TempDir() + "vorpane_test_XXXXXX";
    if (mkdtemp(&pattern[0])) folder_ = pattern;
    else ADD_FAILURE() << "no scratch folder in " << testing::TempDir();
  }
  ~Ttemp_folder() {
    for (const std::string& name : names_) std::remove(PATH(name).c_str());
    rmdir(folder_.c_str());
  }
  Ttemp_folder(const Ttemp_folder&) = delete;
  Ttemp_folder& operator=(const Ttemp_folder&) = delete;

  std::string PATH(const std::string& name) const { return folder_ + "/" + name; }

  // Writes `text` in place (the file keeps its inode when it exists).
  std::string WRITE(const std::string& name, const std::string& text) {
    names_.insert(name);
    std::ofstream(PATH(name), std::ios::binary | std::ios::trunc) << text;
    return PATH(name);
  }

  // Writes a new file and renames it over `name`, as many editors save.
  std::string REPLACE(const std::string& name, const std::string& text) {
    WRITE(name + ".new", text);
    names_.erase(name + ".new");
    names_.insert(name);
    if (std::rename(PATH(name + ".new").c_str(), PATH(name).c_str()) != 0) ADD_FAILURE() << "cannot rename over " << name;
    return PATH(name);
  }

  void REMOVE(const std::string& name) {
    std::remove(PATH(name).c_str());
    names_.erase(name);
  }

 private:
  std::string folder_;
  std::set<std::string> names_;
};
