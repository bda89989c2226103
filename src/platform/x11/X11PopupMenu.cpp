// Popup menus as real pop-up windows: drawn in the framework's dialog font, chosen with the
// mouse or the keyboard while the menu holds the pointer and the keyboard.
#include <X11/keysym.h>

#include <algorithm>

#include "framework/gdi/DeviceContext.h"
#include "framework/gdi/DialogFont.h"
#include "platform/x11/X11Internal.h"

namespace kestrix {

namespace {

constexpr int kPadX = 12;
constexpr int kPadY = 3;
constexpr int kAcceleratorGap = 24;
constexpr uint32_t kFace = 0xF0F0F0;
constexpr uint32_t kBorder = 0x646464;
constexpr uint32_t kHot = 0x3399FF;

struct MenuLayout {
  std::shared_ptr<const DialogFont> font;
  std::vector<std::string> labels, accelerators;
  int itemHeight = 0, width = 0, height = 0, acceleratorX = 0;
};

MenuLayout LayOut(const std::vector<MenuItem>& items) {
  MenuLayout m;
  m.font = DialogFont::Get("MS Shell Dlg", 8);
  m.itemHeight = m.font->Height() + 2 * kPadY;
  int labelWidth = 0, acceleratorWidth = 0;
  for (const MenuItem& item : items) {
    size_t tab = item.text.find('\t');
    m.labels.push_back(item.text.substr(0, tab));
    m.accelerators.push_back(tab == std::string::npos ? "" : item.text.substr(tab + 1));
    labelWidth = std::max(labelWidth, m.font->TextWidth(m.labels.back()));
    acceleratorWidth = std::max(acceleratorWidth, m.font->TextWidth(m.accelerators.back()));
  }
  m.acceleratorX = kPadX + labelWidth + kAcceleratorGap;
  m.width = m.acceleratorX + acceleratorWidth + kPadX;
  m.height = static_cast<int>(items.size()) * m.itemHeight + 2;
  return m;
}

Surface Draw(const MenuLayout& m, int hot) {
  Surface s(m.width, m.height, kFace);
  DeviceContext dc(&s, POINT{0, 0}, {RECT{0, 0, m.width, m.height}});
  dc.bkMode = 1;  // transparent
  for (size_t i = 0; i < m.labels.size(); ++i) {
    int top = 1 + static_cast<int>(i) * m.itemHeight;
    bool isHot = static_cast<int>(i) == hot;
    if (isHot) s.Fill(RECT{1, top, m.width - 1, top + m.itemHeight}, kHot);
    dc.textColor = isHot ? RGB(255, 255, 255) : RGB(0, 0, 0);
    m.font->Draw(dc, kPadX, top + kPadY, m.labels[i]);
    m.font->Draw(dc, m.acceleratorX, top + kPadY, m.accelerators[i]);
  }
  s.Fill(RECT{0, 0, m.width, 1}, kBorder);
  s.Fill(RECT{0, m.height - 1, m.width, m.height}, kBorder);
  s.Fill(RECT{0, 0, 1, m.height}, kBorder);
  s.Fill(RECT{m.width - 1, 0, m.width, m.height}, kBorder);
  return s;
}

void Show(X11Window::Impl& x, XWindow menu, const Surface& s) {
  XImage* image = XCreateImage(x.x, x.visual, 24, ZPixmap, 0,
                               const_cast<char*>(reinterpret_cast<const char*>(s.Pixels().data())),
                               static_cast<unsigned>(s.Width()), static_cast<unsigned>(s.Height()), 32,
                               s.Width() * 4);
  if (!image) return;
  image->byte_order = LSBFirst;
  XPutImage(x.x, menu, x.gc, image, 0, 0, 0, 0, static_cast<unsigned>(s.Width()),
            static_cast<unsigned>(s.Height()));
  image->data = nullptr;
  XDestroyImage(image);
  XFlush(x.x);
}

}  // namespace

UINT RunPopupMenuWindow(X11Window::Impl& x, const std::vector<MenuItem>& items, POINT at) {
  if (items.empty()) return 0;
  MenuLayout m = LayOut(items);
  int rootX = 0, rootY = 0;
  XWindow child = 0;
  XTranslateCoordinates(x.x, x.window, RootWindow(x.x, x.screen), at.x, at.y, &rootX, &rootY, &child);
  // The menu stays on the screen.
  rootX = std::clamp(rootX, 0, std::max(0, DisplayWidth(x.x, x.screen) - m.width));
  rootY = std::clamp(rootY, 0, std::max(0, DisplayHeight(x.x, x.screen) - m.height));

  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.save_under = True;
  attributes.background_pixmap = 0;
  attributes.border_pixel = 0;
  attributes.colormap = x.colormap;
  attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask;
  XWindow menu = XCreateWindow(x.x, RootWindow(x.x, x.screen), rootX, rootY,
                               static_cast<unsigned>(m.width), static_cast<unsigned>(m.height), 0, 24,
                               InputOutput, x.visual,
                               CWOverrideRedirect | CWSaveUnder | CWBackPixmap | CWBorderPixel |
                                   CWColormap | CWEventMask,
                               &attributes);
  XMapRaised(x.x, menu);
  XGrabPointer(x.x, menu, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
               GrabModeAsync, GrabModeAsync, 0, x.arrowCursor, CurrentTime);
  XGrabKeyboard(x.x, menu, False, GrabModeAsync, GrabModeAsync, CurrentTime);

  int hot = -1;
  const int count = static_cast<int>(items.size());
  auto itemAt = [&](int rx, int ry) {
    int mx = rx - rootX, my = ry - rootY - 1;
    if (mx < 0 || mx >= m.width || my < 0) return -1;
    int i = my / m.itemHeight;
    return i < count ? i : -1;
  };
  UINT chosen = 0;
  for (bool open = true; open;) {
    XEvent event;
    XNextEvent(x.x, &event);
    switch (event.type) {
      case Expose:
        if (event.xexpose.window == menu)
          Show(x, menu, Draw(m, hot));
        else
          HandleBackgroundEvent(x, event);
        break;
      case MotionNotify: {
        int now = itemAt(event.xmotion.x_root, event.xmotion.y_root);
        if (now != hot) {
          hot = now;
          Show(x, menu, Draw(m, hot));
        }
        break;
      }
      case ButtonPress:
        x.lastTime = event.xbutton.time;
        // A press outside dismisses the menu.
        if (itemAt(event.xbutton.x_root, event.xbutton.y_root) < 0) open = false;
        break;
      case ButtonRelease: {
        x.lastTime = event.xbutton.time;
        // The release of the button that opened the menu, outside it, leaves it open.
        int i = itemAt(event.xbutton.x_root, event.xbutton.y_root);
        if (i >= 0) {
          chosen = items[static_cast<size_t>(i)].id;
          open = false;
        }
        break;
      }
      case KeyPress: {
        x.lastTime = event.xkey.time;
        KeySym sym = XLookupKeysym(&event.xkey, 0);
        if (sym == XK_Escape) {
          open = false;
        } else if (sym == XK_Down || sym == XK_Up) {
          hot = sym == XK_Down ? (hot + 1) % count : (hot <= 0 ? count - 1 : hot - 1);
          Show(x, menu, Draw(m, hot));
        } else if ((sym == XK_Return || sym == XK_KP_Enter) && hot >= 0) {
          chosen = items[static_cast<size_t>(hot)].id;
          open = false;
        }
        break;
      }
      default:
        HandleBackgroundEvent(x, event);
        break;
    }
  }
  XUngrabKeyboard(x.x, CurrentTime);
  XUngrabPointer(x.x, CurrentTime);
  XDestroyWindow(x.x, menu);
  XFlush(x.x);
  return chosen;
}

}  // namespace kestrix
