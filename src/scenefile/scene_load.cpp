// scene_load.cpp - either kind of file into a scene description.
#include "scenefile/scene_load.h"

#include <sys/stat.h>  // stat: only a regular file is looked into

#include <fstream>  // the first characters of the file
#include <memory>   // the pattern, shared by every copy of the description
#include <vector>   // a pattern's mistakes

#include "bulletml/bulletml_read.h"  // the pattern reader
#include "core/mistakes.h"           // MISTAKE_TEXT
#include "scenefile/scene_file.h"    // the scene reader

bool SCENE_FILE_IS_PATTERN(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  std::ifstream file(path, std::ios::binary);
  std::string start;
  char c = 0;
  // Up to the first character that is not white space, and within the most
  // a pattern file may hold.
  while (start.size() <= static_cast<std::size_t>(VP_BULLETML_MAX_FILE_BYTES) && file.get(c)) {
    start += c;
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && !(start.size() <= 3 && (c & 0x80))) break;
  }
  return BULLETML_LOOKS_LIKE(start);
}

namespace {

// The reading of either kind; a pattern's mistakes as they come, a scene
// file's as its reader's records.
bool load(const std::string& path, Tscene_desc& desc, std::vector<Tmistake>& mistakes,
          const Tscene_text_source& files) {
  mistakes.clear();
  if (!SCENE_FILE_IS_PATTERN(path)) return SCENE_FILE_CHECK(path, desc, mistakes, files);
  auto pattern = std::make_shared<Tpattern>();
  std::vector<Tbulletml_mistake> found;
  if (!BULLETML_READ_FILE(path, *pattern, found)) {
    for (const Tbulletml_mistake& m : found) mistakes.push_back(Tmistake{m.file, m.line, m.column, m.message});
    return false;
  }
  Tscene_desc loaded;
  loaded.start_angles.clear();
  loaded.movement.clear();
  loaded.firing.clear();
  Tscene_pattern source;
  source.pattern = std::move(pattern);
  source.file = path;
  loaded.patterns.push_back(std::move(source));
  loaded.files.assign(1, path);
  desc = std::move(loaded);
  return true;
}

}  // namespace

bool SCENE_LOAD(const std::string& path, Tscene_desc& desc, std::string& errors) {
  errors.clear();
  if (!SCENE_FILE_IS_PATTERN(path)) return SCENE_FILE_READ(path, desc, errors);
  std::vector<Tmistake> mistakes;
  if (load(path, desc, mistakes, nullptr)) return true;
  for (const Tmistake& m : mistakes) errors += MISTAKE_TEXT(m) + "\n";
  return false;
}

bool SCENE_LOAD_CHECK(const std::string& path, Tscene_desc& desc, std::vector<Tmistake>& mistakes,
                      const Tscene_text_source& source) {
  return load(path, desc, mistakes, source);
}
