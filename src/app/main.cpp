// main.cpp - the show: start it, run it until Escape.
//
//   vorpane [--scene FILE] [--rank R] [--start-frame N] [--paused] [--scale K] [--quiet] [--sleep-wait] [--help]
//           [--version]
//
// With no option the show runs from frame 1 in a 640 x 480 window, as it
// always has; the options only add ways to look at it (show/show.h).
#include <cstdio>   // usage and help
#include <cstdlib>  // exit
#include <string>   // option values

#include "cli/args.h"          // the option walk
#include "cli/scene_option.h"  // --scene
#include "scenefile/scene_load.h"  // the reader each save is read again with
#include "platform/console.h"  // --quiet
#include "show/show.h"         // the show's start-up and loop
#include "vorpane_version.h"   // --version

namespace {

const char k_usage[] =
    "usage: vorpane [--scene FILE] [--rank R] [--start-frame N] [--paused] [--scale K] [--quiet] [--sleep-wait] "
    "[--help] "
    "[--version]";

const char k_help[] =
    "A real-time bullet-pattern show. The sprite atlas parts.png is read from this\n"
    "folder, else from the installed data folder or the build tree.\n"
    "\n"
    "  --scene FILE     play the show written in FILE (docs/SCENES.md), or the\n"
    "                   BulletML pattern in it (a file whose first character is\n"
    "                   '<'); every save of FILE is shown at once, a mistake on\n"
    "                   the HUD and stderr\n"
    "  --rank R         a BulletML pattern's $rank, 0 to 1 (default 0.5); - and =\n"
    "                   change it while it plays\n"
    "  --start-frame N  open on frame N; the frames before it are stepped unseen\n"
    "                   (with the mouse outside the window), in well under a second\n"
    "  --paused         open paused (on frame N with --start-frame)\n"
    "  --scale K        a window K times 640 x 480 (K from 1 to 4), the same picture larger\n"
    "  --quiet          no status lines on the console (for a desktop launcher)\n"
    "  --sleep-wait     sleep between frames instead of busy-waiting, waking shortly\n"
    "                   before each is due: the same frames at the same rate, most of\n"
    "                   a core left idle (the desktop entry starts the show so)\n"
    "  --version        the version\n"
    "\n"
    "Keys:\n"
    "  Escape           end the show\n"
    "  Space            pause or resume\n"
    "  Right or .       step one frame while paused\n"
    "  Page Down / Up   jump to the next / previous frame at which an emitter or\n"
    "                   a turret enters a phase (a BulletML pattern has none)\n"
    "  - / = or +       lower / raise the rank by 0.1, within 0 to 1\n"
    "  H                show or hide the HUD (frame, phases, bullets, rank,\n"
    "                   timings)\n"
    "\n"
    "The mouse is the target of every turret.\n";

[[noreturn]] void usage_error(const std::string& what) {
  std::fprintf(stderr, "vorpane: %s; %s\n", what.c_str(), k_usage);
  std::exit(2);
}

void parse_options(int argc, char** argv, Tshow_setup& setup, Tshow_controls& controls, Tscene_desc& scene,
                   double& rank) {
  Toption_walk walk(argc, argv, usage_error);
  while (walk.NEXT()) {
    std::string value;
    long number = 0;
    if (walk.FLAG("--help") || walk.FLAG("-h")) {
      std::printf("%s\n\n%s", k_usage, k_help);
      std::exit(0);
    } else if (walk.FLAG("--version")) {
      std::printf("vorpane %s\n", VP_VERSION);
      std::exit(0);
    } else if (walk.VALUE("--scene", value)) {
      if (value.empty()) usage_error("--scene needs a file");
      scene = SCENE_OPTION(value);  // a bad scene ends here, before any window
      setup.scene = &scene;
      controls.scene_file = value;
      controls.scene_loader = SCENE_LOAD;
    } else if (walk.VALUE("--rank", value)) {
      if (!PARSE_UNIT(value, rank)) usage_error("--rank wants a number from 0 to 1, not \"" + value + "\"");
    } else if (walk.FLAG("--quiet")) {
      CONSOLE_SILENCE();
    } else if (walk.FLAG("--sleep-wait")) {
      controls.wait = Tframe_wait::sleep;
    } else if (walk.FLAG("--paused")) {
      controls.paused = true;
    } else if (walk.VALUE("--start-frame", value)) {
      if (!PARSE_WHOLE(value, number) || number < 1 || number > VP_LAST_FRAME)
        usage_error("--start-frame wants a frame from 1 to " + std::to_string(VP_LAST_FRAME) + ", not \"" +
                    value + "\"");
      controls.start_frame = number;
    } else if (walk.VALUE("--scale", value)) {
      if (!PARSE_WHOLE(value, number) || number < 1 || number > 4)
        usage_error("--scale wants 1, 2, 3 or 4, not \"" + value + "\"");
      setup.draw.scale = static_cast<int>(number);
    } else {
      walk.UNKNOWN();
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  Tshow_setup setup;
  Tshow_controls controls;
  Tscene_desc scene;
  double rank = 0.5;
  parse_options(argc, argv, setup, controls, scene, rank);
  Tshow show;
  SHOW_START(show, setup);
  show.scene.rank = rank;  // before the first frame, which SHOW_RUN steps
  SHOW_RUN(show, 0, nullptr, controls);
  // The scene is destroyed with `show` (emitters last to first); the window,
  // textures and display lists go with the process.
  return 0;
}
