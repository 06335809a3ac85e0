// main.cpp - the show: start it, run it until Escape.
#include "game/show.h"  // the show's start-up and loop

int main() {
  Tshow show;
  SHOW_START(show);
  SHOW_RUN(show);
  // The scene is destroyed with `show` (emitters 3, 2, 1, 0); the window,
  // textures and display lists go with the process.
  return 0;
}
