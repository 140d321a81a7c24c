#include "virtual_display.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <thread>
#include <vector>

namespace keln::velmscope::testing {

namespace {

// Xlib reports protocol errors (such as a window that went away) through a
// process-wide handler whose default ends the process; tests want a failed
// call instead.
int last_x_error = 0;

int remember_x_error(Display*, XErrorEvent* event) {
  last_x_error = event->error_code;
  return 0;
}

// Reads the display number that Xvfb writes to -displayfd, up to the line end.
bool read_display_number(int fd, std::chrono::milliseconds timeout, std::string& number) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd p = {fd, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left.count())) <= 0) return false;
    char c;
    if (read(fd, &c, 1) != 1) return false;
    if (c == '\n') return !number.empty();
    number += c;
  }
}

x_window_t find_titled(Display* display, Window parent, const std::string& title) {
  Window root_return, parent_return;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, parent, &root_return, &parent_return, &children, &count)) return 0;
  x_window_t found = 0;
  for (unsigned int i = 0; i < count && !found; ++i) {
    char* name = nullptr;
    XWindowAttributes attributes;
    if (XFetchName(display, children[i], &name) && name) {
      if (title == name && XGetWindowAttributes(display, children[i], &attributes) &&
          attributes.map_state == IsViewable) {
        found = children[i];
      }
      XFree(name);
    }
    if (!found) found = find_titled(display, children[i], title);
  }
  if (children) XFree(children);
  return found;
}

// Position of the lowest set bit of a colour mask.
int mask_shift(unsigned long mask) {
  int shift = 0;
  while (mask && !(mask & 1)) {
    mask >>= 1;
    ++shift;
  }
  return shift;
}

}  // namespace

virtual_display_t::~virtual_display_t() { stop(); }

void virtual_display_t::stop() {
  if (m_display) {
    XCloseDisplay(m_display);
    m_display = nullptr;
  }
  m_server.stop();
}

bool virtual_display_t::start(const std::string& log_path) {
  int number_pipe[2];
  if (pipe(number_pipe) != 0) {
    m_error = "pipe failed";
    return false;
  }
  fcntl(number_pipe[0], F_SETFD, FD_CLOEXEC);
  const bool started = m_server.start(
      {"Xvfb", "-displayfd", std::to_string(number_pipe[1]), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
       "-noreset"},
      "/", {}, log_path, log_path);
  close(number_pipe[1]);
  std::string number;
  const bool numbered = started && read_display_number(number_pipe[0], std::chrono::seconds(20), number);
  close(number_pipe[0]);
  if (!started) {
    m_error = m_server.error();
    return false;
  }
  if (!numbered) {
    m_error = "Xvfb did not report its display number (see " + log_path + ")";
    stop();
    return false;
  }
  m_name = ":" + number;
  XSetErrorHandler(remember_x_error);
  m_display = XOpenDisplay(m_name.c_str());
  if (!m_display) {
    m_error = "cannot connect to Xvfb on " + m_name;
    stop();
    return false;
  }
  return true;
}

x_window_t virtual_display_t::find_window(const std::string& title, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const x_window_t window = find_titled(m_display, DefaultRootWindow(m_display), title);
    if (window || std::chrono::steady_clock::now() >= deadline) return window;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

bool virtual_display_t::window_exists(x_window_t window) {
  XWindowAttributes attributes;
  last_x_error = 0;
  const Status ok = XGetWindowAttributes(m_display, window, &attributes);
  XSync(m_display, False);
  return ok && last_x_error == 0;
}

bool virtual_display_t::place(x_window_t window, int x, int y, std::chrono::milliseconds timeout) {
  XMoveWindow(m_display, window, x, y);
  XSync(m_display, False);
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    Window child;
    int screen_x = 0, screen_y = 0;
    last_x_error = 0;
    XTranslateCoordinates(m_display, window, DefaultRootWindow(m_display), 0, 0, &screen_x, &screen_y, &child);
    XSync(m_display, False);
    if (last_x_error != 0) return false;
    if (screen_x == x && screen_y == y) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

bool virtual_display_t::type(x_window_t window, const std::string& text) {
  for (const char c : text) {
    if (c < 0x20 || c > 0x7e) return false;
    // Printable ASCII keysyms have the character's own code.
    const KeySym keysym = static_cast<unsigned char>(c);
    const KeyCode keycode = XKeysymToKeycode(m_display, keysym);
    if (keycode == 0) return false;
    unsigned int state = 0;
    if (XkbKeycodeToKeysym(m_display, keycode, 0, 0) != keysym) {
      if (XkbKeycodeToKeysym(m_display, keycode, 0, 1) != keysym) return false;
      state = ShiftMask;
    }
    XKeyEvent key = {};
    key.display = m_display;
    key.window = window;
    key.root = DefaultRootWindow(m_display);
    key.time = CurrentTime;
    key.x = key.y = key.x_root = key.y_root = 1;
    key.same_screen = True;
    key.keycode = keycode;
    key.state = state;
    key.type = KeyPress;
    XSendEvent(m_display, window, True, KeyPressMask, reinterpret_cast<XEvent*>(&key));
    key.type = KeyRelease;
    XSendEvent(m_display, window, True, KeyReleaseMask, reinterpret_cast<XEvent*>(&key));
  }
  XSync(m_display, False);
  return true;
}

void virtual_display_t::drag(x_window_t window, int from_x, int from_y, int to_x, int to_y) {
  // Sends one pointer event at (x, y) of the window; state holds the buttons
  // down before it.
  auto send = [&](int type, long mask, int x, int y, unsigned int state) {
    // Button and motion events share their fields up to state.
    XEvent event = {};
    XButtonEvent& pointer = event.xbutton;
    pointer.type = type;
    pointer.display = m_display;
    pointer.window = window;
    pointer.root = DefaultRootWindow(m_display);
    pointer.time = CurrentTime;
    pointer.x = x;
    pointer.y = y;
    pointer.state = state;
    if (type == MotionNotify) {
      event.xmotion.is_hint = NotifyNormal;
      event.xmotion.same_screen = True;
    } else {
      pointer.button = Button1;
      pointer.same_screen = True;
    }
    XSendEvent(m_display, window, True, mask, &event);
  };

  send(ButtonPress, ButtonPressMask, from_x, from_y, 0);
  const int dx = to_x - from_x, dy = to_y - from_y;
  const int distance = std::max(std::abs(dx), std::abs(dy));
  const int steps = std::max(1, (distance + 9) / 10);
  for (int i = 1; i <= steps; ++i) {
    send(MotionNotify, ButtonMotionMask | PointerMotionMask, from_x + dx * i / steps, from_y + dy * i / steps,
         Button1Mask);
  }
  send(ButtonRelease, ButtonReleaseMask, to_x, to_y, Button1Mask);
  XSync(m_display, False);
}

void virtual_display_t::request_close(x_window_t window) {
  XEvent event = {};
  XClientMessageEvent& message = event.xclient;
  message.type = ClientMessage;
  message.display = m_display;
  message.window = window;
  message.message_type = XInternAtom(m_display, "WM_PROTOCOLS", False);
  message.format = 32;
  message.data.l[0] = static_cast<long>(XInternAtom(m_display, "WM_DELETE_WINDOW", False));
  message.data.l[1] = CurrentTime;
  // With an empty event mask the message goes to the window's own client.
  XSendEvent(m_display, window, False, NoEventMask, &event);
  XSync(m_display, False);
}

rgb_image_t virtual_display_t::capture(x_window_t window) {
  rgb_image_t image;
  XWindowAttributes attributes;
  last_x_error = 0;
  if (!XGetWindowAttributes(m_display, window, &attributes)) return image;
  XImage* x_image = XGetImage(m_display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
  XSync(m_display, False);
  if (!x_image || last_x_error != 0) {
    if (x_image) XDestroyImage(x_image);
    return image;
  }
  const unsigned long masks[3] = {x_image->red_mask, x_image->green_mask, x_image->blue_mask};
  image.width = attributes.width;
  image.height = attributes.height;
  image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const unsigned long pixel = XGetPixel(x_image, x, y);
      std::uint8_t c[3];
      for (int k = 0; k < 3; ++k) {
        const unsigned long mask = masks[k];
        const unsigned long max = mask >> mask_shift(mask);
        c[k] = static_cast<std::uint8_t>(((pixel & mask) >> mask_shift(mask)) * 255 / (max ? max : 1));
      }
      image.pixels[static_cast<std::size_t>(y) * image.width + x] = {c[0], c[1], c[2]};
    }
  }
  XDestroyImage(x_image);
  return image;
}

}  // namespace keln::velmscope::testing
