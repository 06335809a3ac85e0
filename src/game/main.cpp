// main.cpp - the show: build the scene, open the screen, run until Escape.
#include "game/atlas.h"        // the sprites
#include "game/frame.h"        // the frame loop
#include "game/scene.h"        // the four emitters
#include "platform/random.h"   // seeded after the scene has drawn its points
#include "platform/window.h"   // timer, title
#include "render/screen.h"     // the window and its views

int main() {
  // The scene draws its spline points from the generator's fixed initial
  // state, so it is built before the generator is seeded.
  Tscene scene;
  BUILD_SCENE(scene);
  RANDOMIZE(TIMER());

  int flags = VP_SCREEN_GL;
  Tscreen screen(640, 480, 32, 1, 2, flags);
  screen.INIT_GL_SCREEN();
  Tatlas atlas = LOAD_ATLAS("parts.png");
  WINDOW_TITLE("Vorpane");

  RUN_FRAME_LOOP(scene, screen, atlas);

  DESTROY_SCENE(scene);
  // The window, textures and display lists go with the process.
  return 0;
}
