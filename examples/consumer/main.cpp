// where-at-600 - the built-in show's emitters after 600 frames, with the
// mouse outside the window, as vorpane-trace prints them:
//   E,600,EMITTER,-1,X,Y
#include <cstdio>  // printf

#include "core/float_text.h"   // the shortest text of a float
#include "platform/console.h"  // the schedules' status lines, silenced
#include "scene/play.h"        // the frame step
#include "scene/scene.h"       // the show

int main() {
  CONSOLE_SILENCE();  // every frame reports on the console, as in the show
  Tscene scene;
  BUILD_SCENE(scene);  // or BUILD_SCENE(scene, desc) for a scene of your own
  Tplay play;
  Tframe_input input;  // the mouse outside the window, no key pressed
  for (int frame = 1; frame <= 600; ++frame) {
    input.target = VP_NO_TARGET;  // a program with a window writes the mouse here
    PLAY_STEP(scene, play, input);
  }
  for (int i = 0; i < scene.emitter_count; ++i)
    std::printf("E,%ld,%d,-1,%s,%s\n", play.frame, i, FLOAT_TEXT(scene.emitters[i].X()).c_str(),
                FLOAT_TEXT(scene.emitters[i].Y()).c_str());
  return 0;
}
