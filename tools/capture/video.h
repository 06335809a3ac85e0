// video.h - captured frames into one video file, encoded by an ffmpeg process.
//
// Use (the capture's frame loop):
//
//   Tvideo_format format = VIDEO_FORMAT(path);   // none: usage error, exit 2
//   Tvideo video;
//   std::string why;
//   if (!video.OPEN(path, format, VP_SHOW_WIDTH, VP_SHOW_HEIGHT, VP_FRAMES_PER_SECOND, why))
//     -> print why, exit 1
//   for each frame A..B:
//     if (!video.WRITE_FRAME(picture, why))       -> print why, exit 1
//   if (!video.FINISH(why))                       -> print why, exit 1
//
// Every failure of OPEN, WRITE_FRAME and FINISH is a run-time failure (exit
// status 1): no ffmpeg on the PATH (why names the Debian package), a folder
// that takes no file, ffmpeg exiting early or with an error (why carries its
// last message: a full disk shows up here), a failed rename. A failed call
// has already cleaned up; the caller only reports and exits. Only the file
// name's extension is a usage matter, and VIDEO_FORMAT (video_formats.h)
// settles it before anything starts.
//
// Rules:
//  - FILE appears complete or not at all. ffmpeg writes an unnamed file in
//    FILE's folder (O_TMPFILE, reached as /dev/fd/3), which only FINISH
//    names, after ffmpeg has exited with status 0 and the data are synced:
//    linked as FILE, or, over an older FILE, linked under a hidden name and
//    renamed onto it. Whatever ends the run before, SIGKILL included, the
//    file goes with its last descriptor and leaves nothing behind.
//  - Where the folder's file system has no unnamed files (or there is no
//    /proc), the file is a hidden partial one beside FILE
//    (".vorpane-video-XXXXXX", so the final rename cannot cross file
//    systems), which every end of the run but SIGKILL removes: a failed
//    call, ABORT, the destructor, exit() (an atexit hook), and SIGHUP,
//    SIGINT, SIGQUIT and SIGTERM. The hidden name of the rename over an
//    older FILE is removed the same way.
//  - Signals: while a video is open, SIGHUP, SIGINT, SIGQUIT and SIGTERM
//    (unless ignored when OPEN ran) are caught (platform/signals.h); the
//    clean-up kills and reaps ffmpeg and unlinks the partial file, then the
//    previous disposition is restored and the signal raised again, so the
//    process ends as it would have (Ctrl-C: status 130 in the shell). The
//    caller installs nothing and checks no flag. ffmpeg runs in its own
//    process group so that a terminal's Ctrl-C reaches only this process,
//    which alone decides what happens to the file. SIGPIPE is ignored while
//    a video is open (a dead encoder then shows up as EPIPE, with ffmpeg's
//    own message) and restored afterwards.
//  - One video at a time per process: the signal and exit hooks know one
//    child and one hidden file.
//  - ffmpeg is started from an argument vector with posix_spawn, never
//    through a shell; its stderr goes to an in-memory file that is read only
//    when something failed, so it can never block on a full pipe.
//  - Frames go down a pipe as raw top-row-first RGB, exactly the bytes of
//    Tpicture, one video frame per call. Every frame must have the size
//    given to OPEN.
#pragma once

#include <sys/types.h>  // pid_t

#include <memory>  // the signal hooks and SIGPIPE ignored, held while a video is open
#include <string>  // paths and reasons
#include <vector>  // program arguments

#include "capture/video_formats.h"  // Tvideo_format and its encoder arguments
#include "platform/signals.h"        // held while a video is open
#include "render/picture.h"          // Tpicture: the frames

class Tvideo {
 public:
  Tvideo() = default;
  ~Tvideo();  // ABORT unless FINISH succeeded
  Tvideo(const Tvideo&) = delete;
  Tvideo& operator=(const Tvideo&) = delete;

  // Finds ffmpeg on the PATH, creates the file in `path`'s folder and starts
  // the encoder for `fps` frames a second of width x height.
  bool OPEN(const std::string& path, Tvideo_format format, int width, int height, int fps, std::string& why);
  // Hands one frame to the encoder; blocks while the encoder is behind.
  bool WRITE_FRAME(const Tpicture& picture, std::string& why);
  // Ends the stream, waits for ffmpeg and puts the finished file in place.
  bool FINISH(std::string& why);
  // Kills ffmpeg and removes its file; no-op when nothing is open.
  void ABORT();

  bool IS_OPEN() const { return open_; }

 private:
  bool fail(std::string& why, const std::string& what);  // ABORT, then why = what
  void hook();    // the exit hook, the signal hooks, SIGPIPE ignored
  void unhook();  // the signals as they were before OPEN
  bool make_partial(std::string& why);
  bool put_in_place(std::string& why);  // the finished file named FILE
  bool start_encoder(const std::string& ffmpeg, Tvideo_format format, int fps, std::string& why);
  std::string end_encoder();      // "" when ffmpeg exited with status 0
  std::string encoder_message();  // ffmpeg's last lines of complaint

  bool open_ = false;  // from the hooks' installation to FINISH or ABORT
  std::string path_;
  std::string partial_;  // the hidden file's name, while there is one
  int unnamed_ = -1;     // the unnamed file, until FINISH or ABORT
  int width_ = 0;
  int height_ = 0;
  int frames_ = 0;
  pid_t child_ = 0;   // until reaped
  int pipe_ = -1;      // write end of ffmpeg's stdin
  int messages_ = -1;  // ffmpeg's stderr, in memory
  std::unique_ptr<Tsignal_hooks> hooks_;
  std::unique_ptr<Tsignal_ignored> broken_pipes_;
};
