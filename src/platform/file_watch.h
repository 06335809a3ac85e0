// file_watch.h - noticing that a file was saved, by looking at it now and
// then (a scene file the show plays, any file a program reads again).
//
// Rules:
//  - The file is looked up by its path every time, so an editor that writes
//    a new file and renames it over the old one is seen like one that
//    writes in place.
//  - A save counts once its identity (device, inode, size, modification
//    time) has stayed the same for two looks in a row: a file caught half
//    written is read only when the writing is over.
//  - A file that is missing for a moment (deleted, then written again) is
//    not a save; its return is.
//  - Needs no display: a stat call a look, so it is cheap enough for every
//    few frames.
#pragma once

#include <string>  // the path

class Tfile_watch {
 public:
  // Takes the file's present state as the one already loaded.
  explicit Tfile_watch(const std::string& path);

  // True once for each save that has settled since the last true.
  bool SAVED();

 private:
  struct Tidentity {
    unsigned long long device = 0, inode = 0, size = 0;
    long long seconds = 0, nanoseconds = 0;
    bool exists = false;
    bool operator==(const Tidentity& o) const {
      return device == o.device && inode == o.inode && size == o.size && seconds == o.seconds &&
             nanoseconds == o.nanoseconds && exists == o.exists;
    }
  };
  Tidentity look() const;

  std::string path_;
  Tidentity loaded_;  // what was last reported (or found at the start)
  Tidentity seen_;    // what the last look found
};
