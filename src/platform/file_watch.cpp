// file_watch.cpp - file identities from stat.
#include "platform/file_watch.h"

#include <sys/stat.h>  // stat: identity and modification time

Tfile_watch::Tfile_watch(const std::string& path) : path_(path) {
  loaded_ = look();
  seen_ = loaded_;
}

Tfile_watch::Tidentity Tfile_watch::look() const {
  Tidentity id;
  struct stat info;
  if (stat(path_.c_str(), &info) != 0) return id;
  id.device = info.st_dev;
  id.inode = info.st_ino;
  id.size = static_cast<unsigned long long>(info.st_size);
  id.seconds = info.st_mtim.tv_sec;
  id.nanoseconds = info.st_mtim.tv_nsec;
  id.exists = true;
  return id;
}

bool Tfile_watch::SAVED() {
  const Tidentity now = look();
  const bool settled = now == seen_;
  seen_ = now;
  if (!settled || !now.exists || now == loaded_) return false;
  loaded_ = now;
  return true;
}
