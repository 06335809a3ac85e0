// window_glfw.cpp - show/window.h on the desktop's GLFW 3.
#include "show/window.h"

#include <GLFW/glfw3.h>  // window, context, input

#include <cstdio>   // the one-line reason when the window cannot open

#include "glfw/glfw_common.h"        // keys, their queue, the request record
#include "platform/runtime_error.h"  // error codes

namespace {

Tscreen_requests g_requests = {};
GLFWwindow* g_window = nullptr;
int g_window_scale = 1;

Tkey_queue g_presses;
char g_last_error[256] = "";
// Set once this process has asked for a GL context: from then on the GL
// driver (and its threads) may live in it.
bool g_gl_driver_loaded = false;

void on_glfw_error(int, const char* description) {
  std::snprintf(g_last_error, sizeof g_last_error, "%s", description ? description : "unknown");
}

// The close button only raises a flag that nothing reads; clearing it keeps
// the window open until the program itself ends.
void on_close_request(GLFWwindow* window) { glfwSetWindowShouldClose(window, GLFW_FALSE); }

void on_key(GLFWwindow*, int key, int, int action, int) { g_presses.EVENT(key, action); }

}  // namespace

// LeakSanitizer's leak check at exit stops every thread through a ptrace
// tracer, and in a process holding the GL driver's threads that tracer now
// and then dies ("Tracer caught signal 11 ... LeakSanitizer has encountered
// a fatal error"), failing a run that has no leak. So sanitizer builds skip
// the leak check in exactly the processes that asked for a GL context; the
// runtime asks this hook just before the check. AddressSanitizer's other
// checks stay on there, valgrind's memcheck looks for their leaks
// (scripts/valgrind), and every process that never opens a window keeps
// LeakSanitizer.
#if defined(__SANITIZE_ADDRESS__)
#define VP_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VP_ADDRESS_SANITIZER 1
#endif
#endif
#ifdef VP_ADDRESS_SANITIZER
extern "C" int __lsan_is_turned_off() { return g_gl_driver_loaded ? 1 : 0; }
#endif

void SCREEN_GL_REQUEST(Tscreen_attribute attribute, int value) { SCREEN_REQUEST_RECORD(g_requests, attribute, value); }

const Tscreen_requests& SCREEN_GL_REQUESTS() { return g_requests; }
void SCREEN_GL_REQUESTS_CLEAR() { SCREEN_REQUEST_CLEAR(g_requests); }

void SCREEN_WINDOW_SCALE(int scale) { g_window_scale = scale < 1 ? 1 : scale > 4 ? 4 : scale; }

int SCREEN_VALIDATE(int width, int height, int depth) { return SCREEN_MODE_ERROR(width, height, depth); }

int SCREEN_OPEN(int width, int height, int depth, int pages, int flags, int refresh) {
  (void)pages;  // always double-buffered
  if (SCREEN_VALIDATE(width, height, depth) != 0) return VP_ERR_ILLEGAL_CALL;
  if (g_window) return VP_ERR_ILLEGAL_CALL;  // one window per process
  glfwSetErrorCallback(on_glfw_error);
  if (!glfwInit()) {
    std::fprintf(stderr, "Vorpane: cannot open a window (%s)\n", g_last_error);
    return VP_ERR_ILLEGAL_CALL;
  }
  glfwDefaultWindowHints();
  glfwWindowHint(GLFW_RED_BITS, g_requests.value[VP_GL_RED_BITS]);
  glfwWindowHint(GLFW_GREEN_BITS, g_requests.value[VP_GL_GREEN_BITS]);
  glfwWindowHint(GLFW_BLUE_BITS, g_requests.value[VP_GL_BLUE_BITS]);
  glfwWindowHint(GLFW_ALPHA_BITS, g_requests.value[VP_GL_ALPHA_BITS]);
  glfwWindowHint(GLFW_DEPTH_BITS, g_requests.value[VP_GL_DEPTH_BITS]);
  glfwWindowHint(GLFW_SAMPLES, (flags & VP_SCREEN_MULTISAMPLE) ? g_requests.value[VP_GL_SAMPLES] : 0);
  glfwWindowHint(GLFW_DOUBLEBUFFER, GLFW_TRUE);
  glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
  glfwWindowHint(GLFW_VISIBLE, (flags & VP_SCREEN_HIDDEN) ? GLFW_FALSE : GLFW_TRUE);
  glfwWindowHint(GLFW_REFRESH_RATE, refresh > 0 ? refresh : GLFW_DONT_CARE);
  // A compatibility context of version 1.x: the drawing is fixed-function.
  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 1);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 2);
  g_gl_driver_loaded = true;  // GLFW loads the driver with the first context
  g_window = glfwCreateWindow(width * g_window_scale, height * g_window_scale, "", nullptr, nullptr);
  if (!g_window) {
    std::fprintf(stderr, "Vorpane: cannot open a window (%s)\n", g_last_error);
    glfwTerminate();
    return VP_ERR_ILLEGAL_CALL;
  }
  glfwMakeContextCurrent(g_window);
  glfwSwapInterval(0);  // the frame loop paces itself; a vsync wait would double it
  glfwSetWindowCloseCallback(g_window, on_close_request);
  glfwSetKeyCallback(g_window, on_key);
  return 0;
}

bool SCREEN_IS_OPEN() { return g_window != nullptr; }

void WINDOW_TITLE(const char* title) {
  if (g_window) glfwSetWindowTitle(g_window, title);
}

void SCREEN_FLIP() {
  if (!g_window) return;
  glfwSwapBuffers(g_window);
  glfwPollEvents();
}

int KEY_HELD(int scancode) { return GLFW_ESCAPE_HELD(g_window, scancode); }

void MOUSE_POSITION(int& x, int& y) {
  x = y = -1;
  if (!g_window || !glfwGetWindowAttrib(g_window, GLFW_FOCUSED)) return;
  double fx = 0.0, fy = 0.0;
  int width = 0, height = 0;
  glfwGetCursorPos(g_window, &fx, &fy);
  glfwGetWindowSize(g_window, &width, &height);
  if (fx < 0.0 || fy < 0.0 || fx >= width || fy >= height) return;
  x = static_cast<int>(fx);
  y = static_cast<int>(fy);
}

bool KEY_PRESS(Tkey& key) { return g_presses.POP(key); }
