// window_web.cpp - show/window.h in a browser: the page's canvas, its WebGL
// context through emscripten's GLFW, and the keys and pointer over it.
//
// What differs from the desktop's window (src/window/window_glfw.cpp) and
// why:
//  - the canvas keeps the picture's 640 x 480 pixels whatever the scale: the
//    page enlarges it with CSS, and emscripten maps the pointer back to
//    canvas pixels, so the scale is the page's alone;
//  - the pointer counts as over the window from its first move over the
//    canvas until it leaves it: this GLFW never reports focus;
//  - no swap interval: the browser presents after each animation callback,
//    and this GLFW would retime the page's loop;
//  - SCREEN_FLIP presents nothing; the browser does when the frame's
//    callback returns.
#include <GLFW/glfw3.h>  // emscripten's GLFW: the WebGL context and the page's events

#include <cstdio>  // the one-line reason when the canvas has no WebGL

#include "glfw/glfw_common.h"         // keys, their queue, the request record
#include "platform/runtime_error.h"  // error codes
#include "show/window.h"             // the interface implemented here
#include "webgl/window_web.h"        // the page's own input

namespace {

Tscreen_requests g_requests = {};
GLFWwindow* g_window = nullptr;
int g_width = 0;
int g_height = 0;

Tkey_queue g_presses;

bool g_pointer_over = false;
double g_pointer_x = -1.0;
double g_pointer_y = -1.0;

void on_key(GLFWwindow*, int key, int, int action, int) { g_presses.EVENT(key, action); }

// Only moves over the canvas arrive here.
void on_pointer(GLFWwindow*, double x, double y) {
  g_pointer_over = true;
  g_pointer_x = x;
  g_pointer_y = y;
}

void on_pointer_enter(GLFWwindow*, int entered) { g_pointer_over = entered != 0; }

}  // namespace

void SCREEN_GL_REQUEST(Tscreen_attribute attribute, int value) { SCREEN_REQUEST_RECORD(g_requests, attribute, value); }

const Tscreen_requests& SCREEN_GL_REQUESTS() { return g_requests; }
void SCREEN_GL_REQUESTS_CLEAR() { SCREEN_REQUEST_CLEAR(g_requests); }

void SCREEN_WINDOW_SCALE(int) {}

int SCREEN_VALIDATE(int width, int height, int depth) { return SCREEN_MODE_ERROR(width, height, depth); }

int SCREEN_OPEN(int width, int height, int depth, int, int flags, int) {
  if (SCREEN_VALIDATE(width, height, depth) != 0 || g_window) return VP_ERR_ILLEGAL_CALL;
  if (!glfwInit()) return VP_ERR_ILLEGAL_CALL;
  glfwDefaultWindowHints();
  glfwWindowHint(GLFW_ALPHA_BITS, g_requests.value[VP_GL_ALPHA_BITS]);
  glfwWindowHint(GLFW_DEPTH_BITS, g_requests.value[VP_GL_DEPTH_BITS]);
  glfwWindowHint(GLFW_SAMPLES, (flags & VP_SCREEN_MULTISAMPLE) ? g_requests.value[VP_GL_SAMPLES] : 0);
  g_window = glfwCreateWindow(width, height, "", nullptr, nullptr);
  if (!g_window) {
    std::fprintf(stderr, "Vorpane: this browser gives the page no WebGL\n");
    return VP_ERR_ILLEGAL_CALL;
  }
  g_width = width;
  g_height = height;
  glfwMakeContextCurrent(g_window);
  glfwSetKeyCallback(g_window, on_key);
  glfwSetCursorPosCallback(g_window, on_pointer);
  glfwSetCursorEnterCallback(g_window, on_pointer_enter);
  return 0;
}

bool SCREEN_IS_OPEN() { return g_window != nullptr; }

void WINDOW_TITLE(const char* title) {
  if (g_window) glfwSetWindowTitle(g_window, title);
}

void SCREEN_FLIP() {}

int KEY_HELD(int scancode) { return GLFW_ESCAPE_HELD(g_window, scancode); }

void MOUSE_POSITION(int& x, int& y) {
  x = y = -1;
  if (!g_pointer_over || g_pointer_x < 0.0 || g_pointer_y < 0.0 || g_pointer_x >= g_width || g_pointer_y >= g_height)
    return;
  x = static_cast<int>(g_pointer_x);
  y = static_cast<int>(g_pointer_y);
}

bool KEY_PRESS(Tkey& key) { return g_presses.POP(key); }

void WINDOW_WEB_PRESS(Tkey key) { g_presses.PUSH(key); }

void WINDOW_WEB_AIM(double x, double y) {
  g_pointer_over = true;
  g_pointer_x = x;
  g_pointer_y = y;
}
