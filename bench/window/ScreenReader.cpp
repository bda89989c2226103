#include "ScreenReader.h"

#include <X11/Xatom.h>
#include <X11/keysym.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <cstring>

namespace kestrix {

namespace bench {
namespace {

int IgnoreError(Display*, XErrorEvent*) { return 0; }

}  // namespace

ScreenReader::ScreenReader(const std::string& display) {
  x_ = XOpenDisplay(display.c_str());
  if (!x_) return;
  XSetErrorHandler(IgnoreError);
  int event = 0, error = 0, major = 0, minor = 0;
  xtest_ = XTestQueryExtension(x_, &event, &error, &major, &minor);
}

ScreenReader::~ScreenReader() {
  if (x_) XCloseDisplay(x_);
}

std::optional<Window> ScreenReader::TopLevelOf(pid_t pid) {
  Window root = DefaultRootWindow(x_), parent = 0, *children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(x_, root, &root, &parent, &children, &count)) return std::nullopt;
  const Atom pidAtom = XInternAtom(x_, "_NET_WM_PID", False);
  std::optional<Window> found, largest;
  long largestArea = 0;
  for (unsigned int i = 0; i < count && !found; ++i) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(x_, children[i], &a) || a.map_state != IsViewable || a.c_class != InputOutput) continue;
    const long area = static_cast<long>(a.width) * a.height;
    if (area > largestArea) {
      largestArea = area;
      largest = children[i];
    }
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(x_, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items, &after, &data) ==
            Success &&
        data) {
      if (format == 32 && items == 1 && static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == pid)
        found = children[i];
      XFree(data);
    }
  }
  if (children) XFree(children);
  return found ? found : largest;
}

std::optional<Pixels> ScreenReader::Read(Window window) {
  XWindowAttributes a;
  if (!XGetWindowAttributes(x_, window, &a) || a.map_state != IsViewable || a.width <= 0 || a.height <= 0)
    return std::nullopt;
  XImage* image = XGetImage(x_, window, 0, 0, static_cast<unsigned>(a.width), static_cast<unsigned>(a.height),
                            AllPlanes, ZPixmap);
  if (!image) return std::nullopt;
  Pixels pixels;
  pixels.width = a.width;
  pixels.height = a.height;
  pixels.rgb.resize(static_cast<size_t>(a.width) * static_cast<size_t>(a.height));
  for (int y = 0; y < a.height; ++y) {
    uint32_t* row = &pixels.rgb[static_cast<size_t>(y) * static_cast<size_t>(a.width)];
    if (image->bits_per_pixel == 32) {
      std::memcpy(row, image->data + static_cast<ptrdiff_t>(y) * image->bytes_per_line, static_cast<size_t>(a.width) * 4);
      for (int x = 0; x < a.width; ++x) row[x] &= 0xFFFFFFu;
    } else {
      for (int x = 0; x < a.width; ++x) row[x] = static_cast<uint32_t>(XGetPixel(image, x, y));
    }
  }
  XDestroyImage(image);
  return pixels;
}

void ScreenReader::Focus(Window window) {
  XSetInputFocus(x_, window, RevertToParent, CurrentTime);
  XSync(x_, False);
}

void ScreenReader::Press(const char* keysymName, bool control) {
  const KeyCode key = XKeysymToKeycode(x_, XStringToKeysym(keysymName));
  const KeyCode ctrl = XKeysymToKeycode(x_, XK_Control_L);
  if (control) XTestFakeKeyEvent(x_, ctrl, True, CurrentTime);
  XTestFakeKeyEvent(x_, key, True, CurrentTime);
  XTestFakeKeyEvent(x_, key, False, CurrentTime);
  if (control) XTestFakeKeyEvent(x_, ctrl, False, CurrentTime);
  XSync(x_, False);
}

}  // namespace bench

}  // namespace kestrix
