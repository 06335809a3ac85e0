// glfw_common.h - what both GLFW backends of window.h share: the keys the show
// takes from GLFW, the queue their presses wait in, and the record of the
// pixel-format requests. The desktop's window_glfw.cpp and the browser's
// src/webgl/window_web.cpp (emscripten's GLFW) differ in everything else.
//
// Rules:
//  - Header only, so the browser's build, which has no vorpane_window, uses
//    the same code; each backend holds its own queue and record.
//  - A queue holds 64 presses between two reads: more than a frame's worth of
//    keys is dropped rather than grown without bound.
#pragma once

#include <GLFW/glfw3.h>  // key codes

#include <cstring>  // memset of the record

#include "scene/play.h"     // Tkey
#include "platform/runtime_error.h"  // VP_ERR_ILLEGAL_CALL
#include "window/window.h"           // the request record's types

// The show's key for a GLFW key; false for the keys the show ignores.
inline bool SHOW_KEY_OF(int glfw_key, Tkey& key) {
  static const struct {
    int glfw;
    Tkey show;
  } k_keys[] = {{GLFW_KEY_ESCAPE, VP_KEY_ESCAPE},       {GLFW_KEY_SPACE, VP_KEY_SPACE},
                {GLFW_KEY_RIGHT, VP_KEY_RIGHT},         {GLFW_KEY_PERIOD, VP_KEY_PERIOD},
                {GLFW_KEY_PAGE_DOWN, VP_KEY_PAGE_DOWN}, {GLFW_KEY_PAGE_UP, VP_KEY_PAGE_UP},
                {GLFW_KEY_H, VP_KEY_H}};
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

inline void SCREEN_REQUEST_RECORD(Tscreen_requests& requests, Tscreen_attribute attribute, int value) {
  if (attribute < 0 || attribute >= VP_GL_ATTRIBUTE_COUNT) return;
  requests.value[attribute] = value;
  if (requests.count < static_cast<int>(sizeof requests.order / sizeof requests.order[0]))
    requests.order[requests.count++] = attribute;
}

inline void SCREEN_REQUEST_CLEAR(Tscreen_requests& requests) { std::memset(&requests, 0, sizeof requests); }

// 0 when a screen may open in this mode, else VP_ERR_ILLEGAL_CALL (see
// SCREEN_VALIDATE).
inline int SCREEN_MODE_ERROR(int width, int height, int depth) {
  if (width <= 0 || height <= 0) return VP_ERR_ILLEGAL_CALL;
  switch (depth) {
    case 1: case 2: case 4: case 8: case 15: case 16: case 24: case 32: return 0;
    default: return VP_ERR_ILLEGAL_CALL;
  }
}
