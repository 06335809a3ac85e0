// where-at-600 - the built-in show's emitters after 600 frames, with the
// mouse outside the window, as vorpane-trace prints them:
//   E,600,EMITTER,-1,X,Y
#include <cstdio>  // printf

#include "core/float_text.h"   // the shortest text of a float
#include "platform/console.h"  // the show's status lines, silenced
#include "scene/play.h"        // the frame step
#include "scene/scene.h"       // the show

int main() {
  CONSOLE_SILENCE();
  Tscene scene;
  BUILD_SCENE(scene);  // or BUILD_SCENE(scene, desc) for a scene of your own
  Tplay play;
  PLAY_SKIP_TO(scene, play, 600);
  for (int i = 0; i < scene.emitter_count; ++i)
    std::printf("E,600,%d,-1,%s,%s\n", i, FLOAT_TEXT(scene.emitters[i].X()).c_str(),
                FLOAT_TEXT(scene.emitters[i].Y()).c_str());
  return 0;
}
