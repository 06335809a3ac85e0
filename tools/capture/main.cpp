// vorpane-capture - chosen frames of the show into PNG files, without a
// desktop.
//
//   vorpane-capture --frames LIST [--scene FILE] [--rank R] [--target X,Y] [--out DIR] [--atlas FILE]
//                   [--glow ALPHA | --bloom PASSES] [--sheet FILE]
//                   [--video FILE] [--hud] [--fast-forward] [--visible]
//
// Frame N of a capture is frame N of the show: the show is started through
// its own module (show/show.h), so the scene, the screen (640 x 480, depth
// 32, 2 samples) and the drawing are the program's, and every frame from 1
// on is the show's own SHOW_FRAME with the target point held. Only the
// pacing wait, the swap and the console reports are left out. A chosen frame
// is read back right after it is drawn.
//
// --fast-forward steps the frames that are not captured without drawing
// them. The result is bit-identical, because drawing never feeds back into
// the simulation and every frame starts with a clear; it turns a capture
// deep into the show from minutes into seconds under a software renderer.
// The tool tests hold it to that.
//
// --video encodes the frames A to B into one file at the show's 60 frames a
// second (capture/video.h); like --sheet, without --out it writes nothing
// else.
//
// The window is hidden: a hidden window's back buffer reads back the same
// as a visible one's (--visible opens a visible one, for the test that
// checks exactly this).
#include <cerrno>   // the reason a folder cannot be written
#include <cstdio>   // stderr, stdout
#include <cstdlib>  // exit, getenv
#include <cstring>  // strerror
#include <memory>   // the optional sheet
#include <string>   // paths and option values
#include <vector>   // frames

#include "capture/frame_files.h"  // frame-NNNNNN.png
#include "capture/frame_list.h"   // --frames
#include "capture/outputs.h"      // folders probed before drawing
#include "capture/progress.h"     // the line on a terminal
#include "capture/sheet.h"        // --sheet
#include "capture/video.h"        // --video
#include "cli/args.h"             // the option walk, numbers on the command line
#include "cli/scene_option.h"     // --scene
#include "image/png.h"            // SAVE_PNG
#include "platform/console.h"     // CONSOLE_SILENCE
#include "platform/data_path.h"   // where the atlas is looked for
#include "show/show.h"            // the show's start-up, frame and read-back
#include "vorpane_version.h"      // --version

namespace {

const char k_usage[] =
    "usage: vorpane-capture --frames LIST [--scene FILE] [--rank R] [--target X,Y] [--out DIR] [--atlas FILE] "
    "[--glow ALPHA | --bloom PASSES] [--sheet FILE] [--video FILE] [--hud] [--fast-forward] [--visible] [--help] "
    "[--version]";

const char k_help[] =
    "Renders chosen frames of the show into PNG files, offscreen.\n"
    "\n"
    "  --frames LIST    frames to capture, counted from 1: numbers and ranges,\n"
    "                   comma-separated; A-B takes every frame from A to B,\n"
    "                   A-B:S every S-th (e.g. 1,120,600 or 100-160:10)\n"
    "  --scene FILE     the show written in FILE (docs/SCENES.md), or the BulletML\n"
    "                   pattern in it (a file whose first character is '<')\n"
    "  --rank R         a BulletML pattern's $rank, 0 to 1 (default 0.5)\n"
    "  --target X,Y     the mouse point for every frame (default -1,-1: no mouse)\n"
    "  --out DIR        folder for frame-NNNNNN.png files (default: captures;\n"
    "                   created if missing)\n"
    "  --atlas FILE     the sprite atlas, used as given (default: parts.png from\n"
    "                   this folder, the installed data or the build tree)\n"
    "  --glow ALPHA     lay the library's glow over each captured frame\n"
    "  --bloom PASSES   lay the library's bloom over each captured frame\n"
    "  --sheet FILE     also write the captured frames tiled at half size into\n"
    "                   one PNG, each labelled with its frame number; without\n"
    "                   --out only the sheet is written\n"
    "  --video FILE     also encode the frames, one range A-B, into a video at\n"
    "                   60 frames a second: .mp4 (H.264), .webm (VP9), or an\n"
    "                   animated .gif or .webp; a GIF holds each frame 2/100 s\n"
    "                   (50 a second: its delays count hundredths). Needs the\n"
    "                   ffmpeg program; without --out only the video is written\n"
    "  --hud            lay the show's HUD over each captured frame (without the\n"
    "                   timings, which a capture does not have)\n"
    "  --fast-forward   step the frames that are not captured without drawing\n"
    "                   them (same pictures, much faster)\n"
    "  --visible        open a visible window instead of a hidden one\n"
    "\n"
    "Needs a display: run it under xvfb-run without one (scripts/capture does).\n"
    "Exit status 0 when every file was written; 2 on a bad option, an atlas\n"
    "that cannot be read, or a folder for frames or the sheet that cannot be\n"
    "made or written; 1 when there is no display, ffmpeg cannot start, the\n"
    "video's folder takes no file, or a file could not be written or encoded.\n";

constexpr std::size_t k_sheet_tiles = 256;

struct Toptions {
  std::vector<long> frames;  // ascending, no repeats
  float target_x = -1.0f;
  float target_y = -1.0f;
  std::string out = "captures";
  bool out_given = false;
  std::string atlas = VP_SHOW_ATLAS;
  bool atlas_given = false;
  std::string atlas_path;  // what is read: found, or as given
  Toverlay overlay;
  std::string sheet;
  std::string video;
  Tvideo_format video_format = Tvideo_format::none;
  bool hud = false;
  bool fast_forward = false;
  bool visible = false;
  std::string scene_file;
  Tscene_desc scene = SCENE_BUILTIN();
  double rank = 0.5;
};

[[noreturn]] void usage_error(const std::string& what) {
  std::fprintf(stderr, "vorpane-capture: %s (vorpane-capture --help lists the options)\n", what.c_str());
  std::exit(2);
}

[[noreturn]] void setup_error(const std::string& what) {
  std::fprintf(stderr, "vorpane-capture: %s\n", what.c_str());
  std::exit(2);
}

Toptions parse_options(int argc, char** argv) {
  Toptions options;
  bool frames_given = false, glow_given = false, bloom_given = false;
  Toption_walk walk(argc, argv, usage_error);
  while (walk.NEXT()) {
    std::string value;
    if (walk.FLAG("--help") || walk.FLAG("-h")) {
      std::printf("%s\n\n%s", k_usage, k_help);
      std::exit(0);
    } else if (walk.FLAG("--version")) {
      std::printf("vorpane-capture %s\n", VP_VERSION);
      std::exit(0);
    } else if (walk.FLAG("--fast-forward")) {
      options.fast_forward = true;
    } else if (walk.FLAG("--visible")) {
      options.visible = true;
    } else if (walk.FLAG("--hud")) {
      options.hud = true;
    } else if (walk.VALUE("--frames", value)) {
      std::string why;
      if (!PARSE_FRAMES(value, options.frames, why)) usage_error("bad frame list: " + why);
      frames_given = true;
    } else if (walk.VALUE("--scene", value)) {
      if (value.empty()) usage_error("--scene needs a file");
      options.scene_file = value;
      options.scene = SCENE_OPTION(value);
    } else if (walk.VALUE("--rank", value)) {
      if (!PARSE_UNIT(value, options.rank)) usage_error("--rank wants a number from 0 to 1, not \"" + value + "\"");
    } else if (walk.VALUE("--target", value)) {
      float target[2];
      if (!PARSE_FLOATS(value, target, 2)) usage_error("--target wants two numbers X,Y, not \"" + value + "\"");
      options.target_x = target[0];
      options.target_y = target[1];
    } else if (walk.VALUE("--out", value)) {
      if (value.empty()) usage_error("--out needs a folder");
      options.out = value;
      options.out_given = true;
    } else if (walk.VALUE("--atlas", value)) {
      if (value.empty()) usage_error("--atlas needs a file");
      options.atlas = value;
      options.atlas_given = true;
    } else if (walk.VALUE("--glow", value)) {
      if (!PARSE_FLOATS(value, &options.overlay.glow_alpha, 1) || options.overlay.glow_alpha < 0.0f)
        usage_error("--glow wants an alpha of 0 or more, not \"" + value + "\"");
      glow_given = true;
    } else if (walk.VALUE("--bloom", value)) {
      long passes = 0;
      if (!PARSE_WHOLE(value, passes) || passes > 1000)
        usage_error("--bloom wants a number of passes from 0 to 1000, not \"" + value + "\"");
      options.overlay.bloom_passes = static_cast<int>(passes);
      bloom_given = true;
    } else if (walk.VALUE("--video", value)) {
      options.video = value;
      options.video_format = VIDEO_FORMAT(value);
      if (options.video_format == Tvideo_format::none)
        usage_error("--video wants a file ending in " + VIDEO_ENDINGS() + ", not \"" + value + "\"");
    } else if (walk.VALUE("--sheet", value)) {
      if (value.empty()) usage_error("--sheet needs a file");
      options.sheet = value;
    } else {
      walk.UNKNOWN();
    }
  }
  if (!frames_given) usage_error("no frames chosen (--frames LIST)");
  if (glow_given && bloom_given) usage_error("--glow and --bloom cannot be combined");
  if (glow_given) options.overlay.kind = Toverlay::glow;
  if (bloom_given) options.overlay.kind = Toverlay::bloom;
  // One video frame per show frame: a video is one unbroken range.
  if (!options.video.empty() &&
      options.frames.back() - options.frames.front() + 1 != static_cast<long>(options.frames.size()))
    usage_error("--video wants one range of frames A-B, not a list with gaps");
  if (!options.sheet.empty() && options.frames.size() > k_sheet_tiles)
    usage_error("a sheet holds at most " + std::to_string(k_sheet_tiles) + " frames");
  return options;
}

// Frames go to PNG files with --out, or when nothing else was asked for.
bool writes_frames(const Toptions& options) {
  return options.out_given || (options.sheet.empty() && options.video.empty());
}

void check_outputs(const Toptions& options) {
  if (writes_frames(options)) {
    if (!MAKE_FOLDERS(options.out))
      setup_error("cannot create the folder \"" + options.out + "\" (" + std::strerror(errno) + ")");
    if (!FOLDER_TAKES_FILES(options.out))
      setup_error("cannot write into the folder \"" + options.out + "\" (" + std::strerror(errno) + ")");
  }
  if (!options.sheet.empty()) {
    if (IS_FOLDER(options.sheet)) setup_error("the sheet \"" + options.sheet + "\" is a folder");
    std::string folder = FOLDER_OF(options.sheet);
    if (!MAKE_FOLDERS(folder) || !FOLDER_TAKES_FILES(folder))
      setup_error("cannot write the sheet into \"" + folder + "\" (" + std::strerror(errno) + ")");
  }
}

// Everything a capture writes to, opened before the first frame is drawn.
struct Tcapture_sinks {
  bool frames = false;  // frame-NNNNNN.png files
  std::unique_ptr<Tsheet> sheet;
  Tvideo video;
};

// The atlas is found and checked before anything else: a capture of white
// squares would be written without a word. One given on the command line is
// read as given (a bare name from this folder), never looked for elsewhere.
void check_atlas(Toptions& options) {
  std::vector<std::string> tried;
  if (options.atlas_given) {
    options.atlas_path = options.atlas.find('/') == std::string::npos ? "./" + options.atlas : options.atlas;
  } else {
    options.atlas_path = DATA_FILE_FIND(options.atlas, tried);
  }
  Tatlas_pixels probe;
  if (ATLAS_DECODE_FILE(options.atlas_path.c_str(), probe)) return;
  const std::string places = tried.empty() ? "" : " in " + DATA_PLACES(tried);
  setup_error("cannot read the sprite atlas \"" + options.atlas + "\"" + places + " (missing or not a PNG; --atlas FILE)");
}

// Opened before the window: a missing encoder or a folder that takes no
// file is reported at once, not after minutes of drawing.
bool open_sinks(const Toptions& options, Tcapture_sinks& sinks) {
  sinks.frames = writes_frames(options);
  if (!options.sheet.empty()) sinks.sheet.reset(new Tsheet(options.frames.size(), VP_SHOW_WIDTH, VP_SHOW_HEIGHT));
  if (options.video.empty()) return true;
  std::string why;
  if (sinks.video.OPEN(options.video, options.video_format, VP_SHOW_WIDTH, VP_SHOW_HEIGHT, VP_FRAMES_PER_SECOND, why))
    return true;
  std::fprintf(stderr, "vorpane-capture: %s\n", why.c_str());
  return false;
}

bool has_display() {
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if ((display && *display) || (wayland && *wayland)) return true;
  std::fprintf(stderr, "vorpane-capture: no display to render on; run it under xvfb-run (scripts/capture does)\n");
  return false;
}

void start_show(Tshow& show, const Toptions& options) {
  Tshow_setup setup;
  setup.atlas = options.atlas_path.c_str();
  setup.scene = &options.scene;
  setup.draw.hidden = !options.visible;
  SHOW_START(show, setup);
  show.scene.rank = options.rank;
  show.overlay = options.overlay;
  show.play.hud = options.hud;
}

// One captured frame into every sink; false, with the reason in `why`, when
// one of them failed.
bool keep_frame(const Toptions& options, Tcapture_sinks& sinks, const Tpicture& image, long frame,
                std::string& why) {
  if (sinks.frames) {
    const std::string path = options.out + "/" + CAPTURE_FRAME_FILE(frame);
    if (!SAVE_PNG(image, path)) {
      why = "cannot write " + path;
      return false;
    }
    std::printf("%s\n", path.c_str());
  }
  if (sinks.sheet) sinks.sheet->ADD(image, frame);
  return !sinks.video.IS_OPEN() || sinks.video.WRITE_FRAME(image, why);
}

// Every frame from 1 is stepped; the chosen ones, and every other one unless
// --fast-forward, are drawn.
bool capture_frames(Tshow& show, const Toptions& options, Tcapture_sinks& sinks) {
  Tprogress progress("vorpane-capture", static_cast<long>(options.frames.size()));
  Tframe_input input;
  input.target = Ttarget_point{options.target_x, options.target_y};
  std::size_t next = 0;
  for (long frame = 1; frame <= options.frames.back(); ++frame) {
    const bool chosen = options.frames[next] == frame;
    SHOW_FRAME(show, input, chosen || !options.fast_forward);
    if (!chosen) continue;
    std::string why;
    if (!keep_frame(options, sinks, SHOW_READ_BACK(show), frame, why)) {
      progress.END();  // the reason goes on a line of its own
      std::fprintf(stderr, "vorpane-capture: %s\n", why.c_str());
      return false;
    }
    progress.SHOW(static_cast<long>(++next));
  }
  return true;
}

// The video and the sheet are written only when every frame was.
bool finish_sinks(const Toptions& options, Tcapture_sinks& sinks) {
  std::string why;
  if (sinks.video.IS_OPEN()) {
    if (!sinks.video.FINISH(why)) {
      std::fprintf(stderr, "vorpane-capture: %s\n", why.c_str());
      return false;
    }
    std::printf("%s\n", options.video.c_str());
  }
  if (sinks.sheet) {
    if (!SAVE_PNG(sinks.sheet->IMAGE(), options.sheet)) {
      std::fprintf(stderr, "vorpane-capture: cannot write %s\n", options.sheet.c_str());
      return false;
    }
    std::printf("%s\n", options.sheet.c_str());
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Toptions options = parse_options(argc, argv);
  check_atlas(options);
  check_outputs(options);
  Tcapture_sinks sinks;
  if (!open_sinks(options, sinks) || !has_display()) return 1;
  CONSOLE_SILENCE();
  Tshow show;
  start_show(show, options);
  if (!capture_frames(show, options, sinks) || !finish_sinks(options, sinks)) return 1;
  // The scene and the renderer go with `show`, the window with the process.
  return 0;
}
