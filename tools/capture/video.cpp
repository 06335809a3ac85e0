// video.cpp - the ffmpeg process behind Tvideo, the file it writes and the
// hooks that leave nothing of it however the run ends.
#include "capture/video.h"

#include <fcntl.h>      // open: O_TMPFILE, fcntl: F_SETPIPE_SZ, F_DUPFD_CLOEXEC
#include <signal.h>     // kill, the encoder's signal sets
#include <spawn.h>      // posix_spawn: no shell between us and ffmpeg
#include <sys/mman.h>   // memfd_create: ffmpeg's messages
#include <sys/stat.h>   // stat, fchmod, umask
#include <sys/wait.h>   // waitid, waitpid
#include <unistd.h>     // pipe2, write, unlink, linkat, fsync, access

#include <algorithm>  // max
#include <cerrno>     // EINTR, EPIPE, EEXIST
#include <cstdlib>    // atexit, getenv, mkstemp
#include <cstring>    // strerror, memcpy
#include <string>     // arguments and messages
#include <vector>     // argv

#include "capture/outputs.h"  // IS_FOLDER, FOLDER_OF: the partial file sits beside its target

extern char** environ;  // ffmpeg sees the caller's environment

namespace {

// ---- what the signal handler and the exit hook may touch ----
//
// Plain statics written with the ending signals blocked, read by the
// clean-up, which uses only kill, waitpid and unlink.

volatile pid_t g_child = 0;
char g_partial[4096];  // empty when there is no partial file
bool g_exit_hook = false;

void remove_partial_now() {
  pid_t child = g_child;
  if (child > 0) {
    kill(child, SIGKILL);
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    g_child = 0;
  }
  // After the reap: a dying ffmpeg could otherwise still create the name.
  if (g_partial[0] != '\0') unlink(g_partial);
  g_partial[0] = '\0';
}

void remove_at_exit() { remove_partial_now(); }

// ---- files and programs ----

// What execvp would run, found first so that a missing ffmpeg gets its own
// answer instead of a failed start.
std::string find_on_path(const char* name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/bin:/usr/bin";
  std::size_t start = 0;
  for (;;) {
    std::size_t colon = dirs.find(':', start);
    std::string dir = dirs.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
    std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + name;
    struct stat info;
    if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(candidate.c_str(), X_OK) == 0)
      return candidate;
    if (colon == std::string::npos) return "";
    start = colon + 1;
  }
}

// The descriptor ffmpeg finds the unnamed file at: past its standard ones.
constexpr int k_output_fd = 3;

// Starts `program` with `input` as its stdin, `messages` (when >= 0) as its
// stderr, /dev/null as its stdout and `output` (when >= 0) as its
// k_output_fd; 0 or the error number.
int spawn(const std::string& program, std::vector<std::string>& args, int input, int messages, int output,
          pid_t& child) {
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(&arg[0]);
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, input, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  if (messages >= 0) posix_spawn_file_actions_adddup2(&actions, messages, 2);
  // Last, so that it lands on a descriptor already copied where it belongs.
  if (output >= 0) posix_spawn_file_actions_adddup2(&actions, output, k_output_fd);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  // Its own process group: a terminal's Ctrl-C reaches only us. Default
  // dispositions and an empty mask: it must not inherit our ignored SIGPIPE
  // or the signals blocked right now.
  sigset_t defaults = SIGNALS_ENDING_SET();
  sigaddset(&defaults, SIGPIPE);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);
  const int error = posix_spawn(&child, program.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  return error;
}

// Gives the open unnamed file `fd` the name `path`: through /proc, which
// anyone may, or as a file descriptor, which needs a privilege. 0 or errno.
int link_open_file(int fd, const std::string& path) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
  if (errno != ENOENT || access("/proc/self/fd", F_OK) == 0) return errno;
  return linkat(fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0 ? 0 : errno;
}

}  // namespace

Tvideo::~Tvideo() { ABORT(); }

bool Tvideo::OPEN(const std::string& path, Tvideo_format format, int width, int height, int fps,
                  std::string& why) {
  if (IS_OPEN()) {
    why = "a video is already being written";
    return false;
  }
  if (format == Tvideo_format::none || width <= 0 || height <= 0 || fps <= 0)
    return fail(why, "cannot write \"" + path + "\" as a video");
  const std::string ffmpeg = find_on_path("ffmpeg");
  if (ffmpeg.empty())
    return fail(why, "ffmpeg not found on the PATH; install Debian's package ffmpeg (scripts/setup --capture does)");
  if (IS_FOLDER(path)) return fail(why, "\"" + path + "\" is a folder");
  if (FOLDER_OF(path).size() + sizeof "/.vorpane-video-XXXXXX" > sizeof g_partial)
    return fail(why, "the path \"" + path + "\" is too long");

  path_ = path;
  width_ = width;
  height_ = height;
  frames_ = 0;
  Tsignals_blocked blocked;
  hook();
  open_ = true;  // from here every failure goes through ABORT
  return make_partial(why) && start_encoder(ffmpeg, format, fps, why);
}

void Tvideo::hook() {
  if (!g_exit_hook) g_exit_hook = std::atexit(remove_at_exit) == 0;
  hooks_.reset(new Tsignal_hooks(remove_partial_now));
  broken_pipes_.reset(new Tsignal_ignored(SIGPIPE));
}

void Tvideo::unhook() {
  hooks_.reset();
  broken_pipes_.reset();
}

// The file is made here, not by ffmpeg, so that it is ours alone and a
// folder that takes no file is reported before any work. Unnamed where the
// file system can (O_TMPFILE), so that a run killed outright (SIGKILL, a
// power cut) leaves nothing; else a hidden name beside the target, which
// every other end of the run removes.
bool Tvideo::make_partial(std::string& why) {
  const std::string folder = FOLDER_OF(path_);
  const auto refuse = [&](int error) {
    return fail(why, "cannot write into the folder \"" + folder + "\" (" + std::strerror(error) + ")");
  };
  // ffmpeg reaches the unnamed file as /dev/fd/3, and it is named through
  // /proc/self/fd: without /proc, or on a file system that cannot make
  // one, it is a named file.
  int fd = -1;
  if (access("/proc/self/fd", F_OK) == 0) {
    fd = open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return refuse(errno);
  }
  if (fd >= 0) {
    // Not on k_output_fd itself: a descriptor copied onto itself would keep
    // its close-on-exec flag in the child.
    if (fd <= k_output_fd) {
      const int moved = fcntl(fd, F_DUPFD_CLOEXEC, k_output_fd + 1);
      const int error = errno;
      close(fd);
      if (moved < 0) return refuse(error);
      fd = moved;
    }
    unnamed_ = fd;
    return true;
  }
  const std::string pattern = folder + "/.vorpane-video-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  fd = mkstemp(name.data());
  if (fd < 0) return refuse(errno);
  partial_ = name.data();
  std::memcpy(g_partial, name.data(), name.size());
  // mkstemp makes it private; the video gets what any new file gets.
  mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  close(fd);
  return true;
}

// Called with the ending signals blocked, so that the child's pid reaches
// the clean-up before any signal can.
bool Tvideo::start_encoder(const std::string& ffmpeg, Tvideo_format format, int fps, std::string& why) {
  int frames_pipe[2];
  if (pipe2(frames_pipe, O_CLOEXEC) != 0)
    return fail(why, std::string("cannot make a pipe (") + std::strerror(errno) + ")");
  pipe_ = frames_pipe[1];
  // A pipe of one megabyte (the usual ceiling) holds a whole 640 x 480
  // frame, so the renderer and the encoder overlap; a refusal costs only speed.
  fcntl(pipe_, F_SETPIPE_SZ, 1 << 20);
  messages_ = memfd_create("ffmpeg-messages", MFD_CLOEXEC);

  std::vector<std::string> args = {"ffmpeg", "-hide_banner", "-loglevel", "error", "-nostats", "-y",
                                   "-f", "rawvideo", "-pix_fmt", "rgb24",
                                   "-video_size", std::to_string(width_) + "x" + std::to_string(height_),
                                   "-framerate", VIDEO_INPUT_RATE(format, fps), "-i", "pipe:0", "-an"};
  const std::vector<std::string> encoder = VIDEO_ENCODER_ARGUMENTS(format);
  args.insert(args.end(), encoder.begin(), encoder.end());
  // "file:": a name with a colon is not a protocol. The muxers that seek
  // back (MP4's index, WebM's cues) and reopen the file to move its index
  // first (faststart) do so on the unnamed file as on a named one.
  args.push_back(unnamed_ >= 0 ? "file:/dev/fd/" + std::to_string(k_output_fd) : "file:" + partial_);
  pid_t child = 0;
  const int error = spawn(ffmpeg, args, frames_pipe[0], messages_, unnamed_, child);
  close(frames_pipe[0]);
  if (error != 0) return fail(why, "cannot start " + ffmpeg + " (" + std::strerror(error) + ")");
  child_ = child;
  g_child = child;
  return true;
}

bool Tvideo::WRITE_FRAME(const Tpicture& picture, std::string& why) {
  if (!IS_OPEN()) return fail(why, "no video is being written");
  const std::size_t size = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 3;
  if (picture.width != width_ || picture.height != height_ || picture.rgb.size() != size)
    return fail(why, "a frame of " + std::to_string(picture.width) + " x " + std::to_string(picture.height) +
                         " in a video of " + std::to_string(width_) + " x " + std::to_string(height_));
  const std::uint8_t* bytes = picture.rgb.data();
  std::size_t done = 0;
  while (done < size) {
    ssize_t written = write(pipe_, bytes + done, size - done);
    if (written >= 0) {
      done += static_cast<std::size_t>(written);
    } else if (errno == EPIPE) {
      // ffmpeg has gone; its exit status and message say why.
      std::string ending = end_encoder();
      return fail(why, ending.empty() ? "ffmpeg stopped reading frames" : ending);
    } else if (errno != EINTR) {
      return fail(why, std::string("cannot send a frame to ffmpeg (") + std::strerror(errno) + ")");
    }
  }
  ++frames_;
  return true;
}

bool Tvideo::FINISH(std::string& why) {
  if (!IS_OPEN()) return fail(why, "no video is being written");
  if (frames_ == 0) return fail(why, "no frames for \"" + path_ + "\"");
  std::string ending = end_encoder();
  if (!ending.empty()) return fail(why, ending);

  Tsignals_blocked blocked;
  // The data first, then the name: after a crash the name shows the whole
  // file or the old one, and a full disk that the file system reports only
  // now is still caught before the name moves.
  int fd = unnamed_ >= 0 ? unnamed_ : open(partial_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 || fsync(fd) != 0) {
    std::string reason = std::strerror(errno);
    if (fd >= 0 && fd != unnamed_) close(fd);
    return fail(why, "cannot write \"" + path_ + "\" (" + reason + ")");
  }
  if (fd != unnamed_) close(fd);
  if (!put_in_place(why)) return false;
  g_partial[0] = '\0';
  partial_.clear();
  if (unnamed_ >= 0) close(unnamed_);
  unnamed_ = -1;
  int folder = open(FOLDER_OF(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    fsync(folder);
    close(folder);
  }
  unhook();
  open_ = false;
  if (messages_ >= 0) close(messages_);
  messages_ = -1;
  return true;
}

// The finished file gets its name. A named partial file is renamed onto the
// target. An unnamed one is linked as the target when there is none yet;
// else under a hidden name of its own, which is then renamed over the
// target, so that an older file stays whole until the new one replaces it.
// Between the link and the rename is the one moment a run killed outright
// leaves a hidden file.
bool Tvideo::put_in_place(std::string& why) {
  const auto refuse = [&](int error) {
    return fail(why, "cannot put \"" + path_ + "\" in place (" + std::strerror(error) + ")");
  };
  if (unnamed_ >= 0) {
    int error = link_open_file(unnamed_, path_);
    if (error == 0) return true;
    if (error != EEXIST) return refuse(error);
    // A fresh hidden name: mkstemp's, freed again for the link to take.
    const std::string pattern = FOLDER_OF(path_) + "/.vorpane-video-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    do {
      std::copy(pattern.begin(), pattern.end(), name.begin());
      const int fd = mkstemp(name.data());
      if (fd < 0) return refuse(errno);
      close(fd);
      unlink(name.data());
      error = link_open_file(unnamed_, name.data());
    } while (error == EEXIST);
    if (error != 0) return refuse(error);
    partial_ = name.data();
    std::memcpy(g_partial, name.data(), name.size());
  }
  if (rename(partial_.c_str(), path_.c_str()) != 0) return refuse(errno);
  return true;
}

void Tvideo::ABORT() {
  if (!open_) return;
  {
    Tsignals_blocked blocked;
    remove_partial_now();
    unhook();
  }
  open_ = false;
  child_ = 0;
  partial_.clear();
  // The unnamed file goes with its last descriptor, ffmpeg's having gone.
  if (unnamed_ >= 0) close(unnamed_);
  unnamed_ = -1;
  if (pipe_ >= 0) close(pipe_);
  pipe_ = -1;
  if (messages_ >= 0) close(messages_);
  messages_ = -1;
}

// Closes ffmpeg's stdin, waits for it to exit and reaps it; "" when it
// exited with status 0, else what went wrong. The file stays for FINISH to
// put in place or for ABORT to remove.
std::string Tvideo::end_encoder() {
  close(pipe_);
  pipe_ = -1;
  // Waited for without reaping, with the signals open so that Ctrl-C still
  // works on a stuck encoder; the zombie keeps the pid from being reused
  // before the handler's kill could reach it.
  siginfo_t info{};
  while (waitid(P_PID, static_cast<id_t>(child_), &info, WEXITED | WNOWAIT) != 0 && errno == EINTR) {
  }
  int status = 0;
  {
    Tsignals_blocked blocked;
    if (g_child == 0) return "interrupted";  // the handler reaped it and returned
    while (waitpid(child_, &status, 0) < 0 && errno == EINTR) {
    }
    g_child = 0;
  }
  child_ = 0;  // reaped; the video stays open until FINISH or ABORT
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return "";
  std::string how = WIFEXITED(status) ? "exit status " + std::to_string(WEXITSTATUS(status))
                                      : "signal " + std::to_string(WTERMSIG(status));
  std::string message = encoder_message();
  return "ffmpeg failed (" + how + ")" + (message.empty() ? "" : ": " + message);
}

std::string Tvideo::encoder_message() {
  if (messages_ < 0) return "";
  struct stat info;
  if (fstat(messages_, &info) != 0) return "";
  const off_t keep = 4096;
  off_t from = std::max<off_t>(0, info.st_size - keep);
  std::string text(static_cast<std::size_t>(info.st_size - from), '\0');
  ssize_t got = pread(messages_, &text[0], text.size(), from);
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  // The cause often comes a line or two before the last ("width not
  // divisible by 2", then "Error initializing output stream"): the last
  // three lines, on one line of our own.
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    if (end > start) lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  std::string message;
  for (std::size_t i = lines.size() > 3 ? lines.size() - 3 : 0; i < lines.size(); ++i)
    message += (message.empty() ? "" : "; ") + lines[i];
  return message;
}

bool Tvideo::fail(std::string& why, const std::string& what) {
  ABORT();
  why = what;
  return false;
}
