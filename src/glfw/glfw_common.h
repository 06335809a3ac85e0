// glfw_common.h - what both GLFW backends of show/window.h share: the keys
// the show takes from GLFW, the queue their presses wait in, and Escape
// read held. The desktop's src/window/window_glfw.cpp and
// the browser's src/webgl/window_web.cpp (emscripten's GLFW) differ in
// everything else.
//
// Rules:
//  - Header only, in a folder of its own that every build with a window
//    compiles: the desktop's gives it to vorpane_window, the browser's to
//    vorpane_webgl (src/CMakeLists.txt). Each backend holds its own queue.
//  - A queue holds 64 presses between two reads: more than a frame's worth of
//    keys is dropped rather than grown without bound.
#pragma once

#include <GLFW/glfw3.h>  // key codes

#include "platform/keys.h"  // Tkey, VP_SCANCODE_ESCAPE

// The show's key for a GLFW key; false for the keys the show ignores.
inline bool SHOW_KEY_OF(int glfw_key, Tkey& key) {
  static const struct {
    int glfw;
    Tkey show;
  } k_keys[] = {{GLFW_KEY_ESCAPE, VP_KEY_ESCAPE},       {GLFW_KEY_SPACE, VP_KEY_SPACE},
                {GLFW_KEY_RIGHT, VP_KEY_RIGHT},         {GLFW_KEY_PERIOD, VP_KEY_PERIOD},
                {GLFW_KEY_PAGE_DOWN, VP_KEY_PAGE_DOWN}, {GLFW_KEY_PAGE_UP, VP_KEY_PAGE_UP},
                {GLFW_KEY_H, VP_KEY_H},                 {GLFW_KEY_MINUS, VP_KEY_MINUS},
                {GLFW_KEY_KP_SUBTRACT, VP_KEY_MINUS},   {GLFW_KEY_EQUAL, VP_KEY_PLUS},
                {GLFW_KEY_KP_ADD, VP_KEY_PLUS}};
  for (const auto& entry : k_keys) {
    if (entry.glfw != glfw_key) continue;
    key = entry.show;
    return true;
  }
  return false;
}

class Tkey_queue {
 public:
  // A GLFW key event: presses of the show's keys are queued, repeats and
  // releases are not presses.
  void EVENT(int glfw_key, int action) {
    Tkey key;
    if (action == GLFW_PRESS && SHOW_KEY_OF(glfw_key, key)) PUSH(key);
  }
  // A press that came from elsewhere than the keyboard (the page's
  // buttons), queued as a key's would be.
  void PUSH(Tkey key) {
    if (count_ < k_capacity) presses_[count_++] = key;
  }
  // The oldest press not yet read; false, and the queue emptied, when none is left.
  bool POP(Tkey& key) {
    if (read_ >= count_) {
      read_ = count_ = 0;
      return false;
    }
    key = presses_[read_++];
    return true;
  }

 private:
  static constexpr int k_capacity = 64;
  Tkey presses_[k_capacity] = {};
  int count_ = 0;
  int read_ = 0;
};

// Escape held, as KEY_HELD answers it: only VP_SCANCODE_ESCAPE is asked.
inline int GLFW_ESCAPE_HELD(GLFWwindow* window, int scancode) {
  if (!window || scancode != VP_SCANCODE_ESCAPE) return 0;
  return glfwGetKey(window, GLFW_KEY_ESCAPE) == GLFW_PRESS ? -1 : 0;
}
