// keys.h - the keys the show reacts to, as every window backend delivers
// them and the frame step reads them.
//
// Rules:
//  - No window system here: each backend maps its own key codes onto Tkey
//    (the GLFW backends in glfw/glfw_common.h), so the simulation and the
//    window interface share the enum without either naming the other.
//  - Escape is read held, through KEY_HELD(VP_SCANCODE_ESCAPE), not queued:
//    the loop that owns the window ends the show while it is down.
#pragma once

// The keys queued as presses; VP_KEY_ESCAPE is mapped too but never acted on.
// VP_KEY_MINUS and VP_KEY_PLUS (= or +) lower and raise the scene's rank.
enum Tkey {
  VP_KEY_ESCAPE,
  VP_KEY_SPACE,
  VP_KEY_RIGHT,
  VP_KEY_PERIOD,
  VP_KEY_PAGE_DOWN,
  VP_KEY_PAGE_UP,
  VP_KEY_H,
  VP_KEY_MINUS,
  VP_KEY_PLUS
};

// The scan code KEY_HELD answers for; the only one ever asked.
constexpr int VP_SCANCODE_ESCAPE = 1;
