// vorpane-capture - chosen frames of the show into PNG files, without a
// desktop.
//
//   vorpane-capture --frames LIST [--target X,Y] [--out DIR] [--atlas FILE]
//                   [--glow ALPHA | --bloom PASSES] [--sheet FILE]
//                   [--fast-forward] [--visible]
//
// Frame N of a capture is frame N of the show: the scene is built from the
// random source's fixed initial state, every frame from 1 on writes the
// target point and runs FRAME_RENDER in a screen opened exactly as the
// program opens it (640 x 480, depth 32, 2 samples). Only the pacing wait,
// the swap and the console reports are left out. A chosen frame is read from
// the back buffer right after it is drawn.
//
// --fast-forward steps the frames that are not captured with STEP_SCENE
// instead of drawing them. The result is bit-identical, because drawing
// never feeds back into the simulation and every frame starts with a clear;
// it turns a capture deep into the show from minutes into seconds under a
// software renderer. The e2e tests hold it to that.
//
// The window is hidden: a hidden window's back buffer reads back the same
// as a visible one's (--visible opens a visible one, for the test that
// checks exactly this).
#include <GL/gl.h>      // the viewport after the bloom pass
#include <sys/stat.h>   // mkdir, stat
#include <unistd.h>     // isatty, mkstemp, unlink

#include <algorithm>  // sort, unique, min
#include <cerrno>     // range errors, mkdir's EEXIST
#include <cmath>      // isfinite, ceil, sqrt
#include <cstdint>    // pixel bytes
#include <cstdio>     // stderr, stdout
#include <cstdlib>    // strtol, strtof, getenv
#include <cstring>    // option names, strerror
#include <string>     // paths and option values
#include <vector>     // frames, pixels

#include "game/atlas.h"        // the sprites
#include "game/frame.h"        // FRAME_RENDER, FRAME_REDRAW
#include "game/scene.h"        // the show
#include "platform/console.h"  // CONSOLE_SILENCE
#include "platform/random.h"   // RANDOM_RESET before the build
#include "platform/window.h"   // VP_SCREEN_GL, VP_SCREEN_HIDDEN
#include "render/picture.h"    // read-back and PNG files
#include "render/screen.h"     // the screen, glow and bloom
#include "tool_args.h"         // numbers on the command line

namespace {

const char k_usage[] =
    "usage: vorpane-capture --frames LIST [--target X,Y] [--out DIR] [--atlas FILE] "
    "[--glow ALPHA | --bloom PASSES] [--sheet FILE] [--fast-forward] [--visible]";

const char k_help[] =
    "Renders chosen frames of the show into PNG files, offscreen.\n"
    "\n"
    "  --frames LIST    frames to capture, counted from 1: numbers and ranges,\n"
    "                   comma-separated; A-B takes every frame from A to B,\n"
    "                   A-B:S every S-th (e.g. 1,120,600 or 100-160:10)\n"
    "  --target X,Y     the mouse point for every frame (default -1,-1: no mouse)\n"
    "  --out DIR        folder for frame-NNNNNN.png files (default: captures;\n"
    "                   created if missing)\n"
    "  --atlas FILE     the sprite atlas (default: parts.png in this folder)\n"
    "  --glow ALPHA     lay the library's glow over each captured frame\n"
    "  --bloom PASSES   lay the library's bloom over each captured frame\n"
    "  --sheet FILE     also write the captured frames tiled at half size into\n"
    "                   one PNG, each labelled with its frame number; without\n"
    "                   --out only the sheet is written\n"
    "  --fast-forward   step the frames that are not captured without drawing\n"
    "                   them (same pictures, much faster)\n"
    "  --visible        open a visible window instead of a hidden one\n"
    "\n"
    "Needs a display: run it under xvfb-run without one (scripts/capture does).\n"
    "Exit status 0 when every file was written, 2 on a bad option.\n";

constexpr int k_width = 640;
constexpr int k_height = 480;
constexpr long k_last_frame = 100000000;  // about 19 days of show at 60 frames a second
constexpr std::size_t k_sheet_tiles = 256;

enum class Toverlay { none, glow, bloom };

struct Toptions {
  std::vector<long> frames;  // ascending, no repeats
  float target_x = -1.0f;
  float target_y = -1.0f;
  std::string out = "captures";
  bool out_given = false;
  std::string atlas = "parts.png";
  Toverlay overlay = Toverlay::none;
  float glow_alpha = 0.0f;
  int bloom_passes = 0;
  std::string sheet;
  bool fast_forward = false;
  bool visible = false;
};

[[noreturn]] void usage_error(const std::string& what) {
  std::fprintf(stderr, "vorpane-capture: %s (vorpane-capture --help lists the options)\n", what.c_str());
  std::exit(2);
}

[[noreturn]] void setup_error(const std::string& what) {
  std::fprintf(stderr, "vorpane-capture: %s\n", what.c_str());
  std::exit(2);
}

bool parse_target(const std::string& text, Toptions& options) {
  float target[2];
  if (!PARSE_FLOATS(text, target, 2)) return false;
  options.target_x = target[0];
  options.target_y = target[1];
  return true;
}

// "1,120,600", "100-160:10": every item names frames from 1 to k_last_frame.
bool parse_frames(const std::string& text, std::vector<long>& frames, std::string& why) {
  frames.clear();
  std::size_t start = 0;
  for (;;) {
    std::size_t comma = text.find(',', start);
    std::string item = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    long first = 0, last = 0, step = 1;
    std::size_t dash = item.find('-');
    std::size_t colon = item.find(':');
    bool ok;
    if (dash == std::string::npos) {
      ok = colon == std::string::npos && PARSE_WHOLE(item, first);
      last = first;
    } else {
      std::string to = item.substr(dash + 1, colon == std::string::npos ? std::string::npos : colon - dash - 1);
      ok = colon == std::string::npos || colon > dash;
      ok = ok && PARSE_WHOLE(item.substr(0, dash), first) && PARSE_WHOLE(to, last);
      if (ok && colon != std::string::npos) ok = PARSE_WHOLE(item.substr(colon + 1), step) && step >= 1;
    }
    if (!ok) {
      why = "\"" + item + "\" is not a frame, A-B or A-B:S";
      return false;
    }
    if (first > last) {
      why = "\"" + item + "\" runs backwards";
      return false;
    }
    if (first < 1 || last > k_last_frame) {
      why = "\"" + item + "\" is outside frames 1 to " + std::to_string(k_last_frame);
      return false;
    }
    for (long f = first; f <= last; f += step) {
      frames.push_back(f);
      if (frames.size() > 1000000) {
        why = "more than a million frames";
        return false;
      }
    }
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  std::sort(frames.begin(), frames.end());
  frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
  return true;
}

Toptions parse_options(int argc, char** argv) {
  Toptions options;
  bool frames_given = false, glow_given = false, bloom_given = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::printf("%s\n\n%s", k_usage, k_help);
      std::exit(0);
    }
    if (arg == "--fast-forward") {
      options.fast_forward = true;
      continue;
    }
    if (arg == "--visible") {
      options.visible = true;
      continue;
    }
    // "--name VALUE" or "--name=VALUE"; the value is taken whole even when it
    // starts with a minus sign (--target -5,-7).
    std::string name = arg, value;
    std::size_t equals = arg.find('=');
    if (arg.compare(0, 2, "--") == 0 && equals != std::string::npos) {
      name = arg.substr(0, equals);
      value = arg.substr(equals + 1);
    } else {
      bool known = name == "--frames" || name == "--target" || name == "--out" || name == "--atlas" ||
                   name == "--glow" || name == "--bloom" || name == "--sheet";
      if (!known) usage_error("unknown option \"" + arg + "\"");
      if (i + 1 >= argc) usage_error(name + " needs a value");
      value = argv[++i];
    }
    if (name == "--frames") {
      std::string why;
      if (!parse_frames(value, options.frames, why)) usage_error("bad frame list: " + why);
      frames_given = true;
    } else if (name == "--target") {
      if (!parse_target(value, options))
        usage_error("--target wants two numbers X,Y, not \"" + value + "\"");
    } else if (name == "--out") {
      if (value.empty()) usage_error("--out needs a folder");
      options.out = value;
      options.out_given = true;
    } else if (name == "--atlas") {
      if (value.empty()) usage_error("--atlas needs a file");
      options.atlas = value;
    } else if (name == "--glow") {
      if (!PARSE_FLOATS(value, &options.glow_alpha, 1) || options.glow_alpha < 0.0f)
        usage_error("--glow wants an alpha of 0 or more, not \"" + value + "\"");
      glow_given = true;
    } else if (name == "--bloom") {
      long passes = 0;
      if (!PARSE_WHOLE(value, passes) || passes > 1000)
        usage_error("--bloom wants a number of passes from 0 to 1000, not \"" + value + "\"");
      options.bloom_passes = static_cast<int>(passes);
      bloom_given = true;
    } else if (name == "--sheet") {
      if (value.empty()) usage_error("--sheet needs a file");
      options.sheet = value;
    } else {
      usage_error("unknown option \"" + arg + "\"");
    }
  }
  if (!frames_given) usage_error("no frames chosen (--frames LIST)");
  if (glow_given && bloom_given) usage_error("--glow and --bloom cannot be combined");
  if (glow_given) options.overlay = Toverlay::glow;
  if (bloom_given) options.overlay = Toverlay::bloom;
  if (!options.sheet.empty() && options.frames.size() > k_sheet_tiles)
    usage_error("a sheet holds at most " + std::to_string(k_sheet_tiles) + " frames");
  return options;
}

// ---- files ----

bool is_folder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// mkdir -p: every missing folder along the path.
bool make_folders(const std::string& path) {
  for (std::size_t at = 1; at <= path.size(); ++at) {
    if (at < path.size() && path[at] != '/') continue;
    std::string prefix = path.substr(0, at);
    if (is_folder(prefix)) continue;
    if (mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) return false;
  }
  return is_folder(path);
}

// Permission bits do not tell the whole truth (root, read-only mounts), so
// the folder is asked to hold a file.
bool folder_takes_files(const std::string& folder) {
  std::string probe = folder + "/.vorpane-capture-XXXXXX";
  std::vector<char> name(probe.begin(), probe.end());
  name.push_back('\0');
  int fd = mkstemp(name.data());
  if (fd < 0) return false;
  close(fd);
  unlink(name.data());
  return true;
}

std::string folder_of(const std::string& file) {
  std::size_t slash = file.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return file.substr(0, slash);
}

void check_outputs(const Toptions& options) {
  if (options.out_given || options.sheet.empty()) {
    if (!make_folders(options.out))
      setup_error("cannot create the folder \"" + options.out + "\" (" + std::strerror(errno) + ")");
    if (!folder_takes_files(options.out))
      setup_error("cannot write into the folder \"" + options.out + "\" (" + std::strerror(errno) + ")");
  }
  if (!options.sheet.empty()) {
    if (is_folder(options.sheet)) setup_error("the sheet \"" + options.sheet + "\" is a folder");
    std::string folder = folder_of(options.sheet);
    if (!make_folders(folder) || !folder_takes_files(folder))
      setup_error("cannot write the sheet into \"" + folder + "\" (" + std::strerror(errno) + ")");
  }
}

// ---- pictures ----

// Digits 0-9 on a 3 x 5 grid, one row per entry, bit 2 the left column.
const std::uint8_t k_digits[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 3, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 2, 2, 2}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};

void fill(Tpicture& image, int x0, int y0, int w, int h, std::uint8_t grey) {
  for (int y = std::max(0, y0); y < std::min(image.height, y0 + h); ++y)
    for (int x = std::max(0, x0); x < std::min(image.width, x0 + w); ++x) {
      std::uint8_t* p = image.at(x, y);
      p[0] = p[1] = p[2] = grey;
    }
}

// The number at (x0, y0), each font cell `scale` pixels square, on a black
// box so that it reads over bright bullets too.
void draw_number(Tpicture& image, int x0, int y0, long number, int scale) {
  const std::string text = std::to_string(number);
  const int advance = 4 * scale;
  const int pad = scale;
  fill(image, x0, y0, static_cast<int>(text.size()) * advance - scale + 2 * pad, 5 * scale + 2 * pad, 0);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::uint8_t* glyph = k_digits[text[i] - '0'];
    for (int row = 0; row < 5; ++row)
      for (int column = 0; column < 3; ++column)
        if (glyph[row] & (4 >> column))
          fill(image, x0 + pad + static_cast<int>(i) * advance + column * scale, y0 + pad + row * scale, scale,
               scale, 235);
  }
}

// A 2 x 2 box average: half the size, nothing aliased away entirely.
Tpicture half_size(const Tpicture& image) {
  Tpicture half(image.width / 2, image.height / 2, 0);
  for (int y = 0; y < half.height; ++y)
    for (int x = 0; x < half.width; ++x)
      for (int c = 0; c < 3; ++c) {
        int sum = image.at(2 * x, 2 * y)[c] + image.at(2 * x + 1, 2 * y)[c] + image.at(2 * x, 2 * y + 1)[c] +
                  image.at(2 * x + 1, 2 * y + 1)[c];
        half.at(x, y)[c] = static_cast<std::uint8_t>((sum + 2) / 4);
      }
  return half;
}

// Tiles in reading order, at most six to a row, on a dark grey ground.
class Tsheet {
 public:
  explicit Tsheet(std::size_t count) {
    columns_ = std::max(1, std::min(6, static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))))));
    int rows = static_cast<int>((count + columns_ - 1) / columns_);
    image_ = Tpicture(k_gap + columns_ * (k_width / 2 + k_gap), k_gap + rows * (k_height / 2 + k_gap), 48);
  }

  void ADD(const Tpicture& frame, long number) {
    Tpicture tile = half_size(frame);
    int x0 = k_gap + (placed_ % columns_) * (tile.width + k_gap);
    int y0 = k_gap + (placed_ / columns_) * (tile.height + k_gap);
    for (int y = 0; y < tile.height; ++y)
      for (int x = 0; x < tile.width; ++x) {
        const std::uint8_t* in = tile.at(x, y);
        std::uint8_t* out = image_.at(x0 + x, y0 + y);
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
      }
    draw_number(image_, x0 + 3, y0 + 3, number, 2);
    ++placed_;
  }

  const Tpicture& IMAGE() const { return image_; }

 private:
  static constexpr int k_gap = 4;
  int columns_ = 1;
  int placed_ = 0;
  Tpicture image_;
};

// ---- drawing ----

// The glow or bloom laid over the frame FRAME_RENDER has just drawn: the
// scene once more into the small corner area, that area into its texture
// (blurred for the bloom), then the full frame and the texture stretched
// over it.
void draw_overlay(const Toptions& options, const Tscene& scene, Tscreen& screen, const Tatlas& atlas) {
  screen.START_RENDER2TEXTURE();
  FRAME_REDRAW(scene, screen, atlas);
  if (options.overlay == Toverlay::glow) {
    screen.STOP_RENDER2TEXTURE();
  } else {
    screen.DO_BLOOM(options.bloom_passes);
    glViewport(0, 0, screen.WIDTH(), screen.HEIGHT());
  }
  FRAME_REDRAW(scene, screen, atlas);
  if (options.overlay == Toverlay::glow)
    screen.DRAW_GLOW(options.glow_alpha);
  else
    screen.DRAW_BLOOM(1.0f);
  // The overlays leave their colour current; the show's sprites are drawn
  // in white, and the frames after this one must look as in the show.
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

std::string frame_file(const std::string& folder, long frame) {
  char name[32];
  std::snprintf(name, sizeof name, "frame-%06ld.png", frame);
  return folder + "/" + name;
}

}  // namespace

int main(int argc, char** argv) {
  const Toptions options = parse_options(argc, argv);

  Tatlas_pixels probe;
  if (!ATLAS_DECODE_FILE(options.atlas.c_str(), probe))
    setup_error("cannot read the sprite atlas \"" + options.atlas + "\" (missing or not a PNG; --atlas FILE)");
  probe = Tatlas_pixels();
  check_outputs(options);
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if ((!display || !*display) && (!wayland || !*wayland)) {
    std::fprintf(stderr, "vorpane-capture: no display to render on; run it under xvfb-run (scripts/capture does)\n");
    return 1;
  }

  CONSOLE_SILENCE();
  // The show builds its scene before it seeds the random source and never
  // draws from it again, so the fixed initial state is all that matters.
  RANDOM_RESET();
  Tscene scene;
  BUILD_SCENE(scene);

  int flags = VP_SCREEN_GL | (options.visible ? 0 : VP_SCREEN_HIDDEN);
  Tscreen screen(k_width, k_height, 32, 1, 2, flags);
  screen.INIT_GL_SCREEN();
  Tatlas atlas = LOAD_ATLAS(options.atlas.c_str());

  const bool progress = isatty(2) != 0;
  const bool write_frames = options.out_given || options.sheet.empty();
  Tsheet* sheet = options.sheet.empty() ? nullptr : new Tsheet(options.frames.size());
  const long last = options.frames.back();
  std::size_t next = 0;
  int status = 0;
  for (long frame = 1; frame <= last; ++frame) {
    scene.target.x = options.target_x;
    scene.target.y = options.target_y;
    const bool chosen = options.frames[next] == frame;
    if (!chosen && options.fast_forward) {
      STEP_SCENE(scene);
    } else {
      FRAME_RENDER(scene, screen, atlas);
    }
    if (chosen) {
      if (options.overlay != Toverlay::none) draw_overlay(options, scene, screen, atlas);
      Tpicture image = READ_BACK_BUFFER(k_width, k_height);
      if (write_frames) {
        std::string path = frame_file(options.out, frame);
        if (!SAVE_PNG(image, path)) {
          std::fprintf(stderr, "%svorpane-capture: cannot write %s\n", progress ? "\n" : "", path.c_str());
          status = 1;
          break;
        }
        std::printf("%s\n", path.c_str());
      }
      if (sheet) sheet->ADD(image, frame);
      ++next;
    }
    if (progress && (frame % 50 == 0 || frame == last))
      std::fprintf(stderr, "\rvorpane-capture: frame %ld of %ld", frame, last);
  }
  if (progress) std::fprintf(stderr, "\n");
  if (sheet && status == 0) {
    if (SAVE_PNG(sheet->IMAGE(), options.sheet)) {
      std::printf("%s\n", options.sheet.c_str());
    } else {
      std::fprintf(stderr, "vorpane-capture: cannot write %s\n", options.sheet.c_str());
      status = 1;
    }
  }
  delete sheet;
  DESTROY_SCENE(scene);
  // The window and its textures go with the process, as in the show.
  return status;
}
