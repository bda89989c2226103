// The display itself: which one is current, the window records and their geometry, the
// visible parts of client areas, window frames and pixel captures.
#include "framework/window/Display.h"

#include <algorithm>
#include <stdexcept>

namespace {

// Displays alive on this thread, newest last. A stack rather than a single "previous" link so
// that displays destroyed out of order never leave a dangling current display.
thread_local std::vector<Display*> displays;

// Width of the non-client edge on each side of a window.
int EdgeWidth(const Window& w) {
  return ((w.style & WS_BORDER) ? 1 : 0) + ((w.exStyle & WS_EX_CLIENTEDGE) ? 2 : 0);
}

// The parts of a that are not covered by b.
std::vector<RECT> Subtract(const RECT& a, const RECT& b) {
  CRect overlap;
  if (!overlap.IntersectRect(a, b)) return {a};
  std::vector<RECT> out;
  if (a.top < overlap.top) out.push_back({a.left, a.top, a.right, overlap.top});
  if (overlap.bottom < a.bottom) out.push_back({a.left, overlap.bottom, a.right, a.bottom});
  if (a.left < overlap.left) out.push_back({a.left, overlap.top, overlap.left, overlap.bottom});
  if (overlap.right < a.right) out.push_back({overlap.right, overlap.top, a.right, overlap.bottom});
  return out;
}

constexpr uint32_t kBorderColor = 0x646464;
constexpr uint32_t kEdgeShadow = 0xA0A0A0;  // top and left of the sunken edge
constexpr uint32_t kEdgeLight = 0xE3E3E3;   // bottom and right

}  // namespace

Display::Display(int width, int height) : surface_(width, height) {
  previous_ = displays.empty() ? nullptr : displays.back();
  displays.push_back(this);
}

Display::~Display() {
  // Window objects may outlive the display; they must not keep handles into it.
  for (auto& w : windows_)
    if (w->owner && w->owner->m_hWnd == w.get()) w->owner->m_hWnd = nullptr;
  displays.erase(std::remove(displays.begin(), displays.end(), this), displays.end());
}

Display& Display::Current() {
  if (displays.empty()) throw std::logic_error("no display: construct a Display first");
  return *displays.back();
}

Display* Display::CurrentOrNull() { return displays.empty() ? nullptr : displays.back(); }

HWND Display::CreateWindowRecord(CWnd* owner, HWND parent, const CRect& rect, DWORD style,
                                 DWORD exStyle, UINT id) {
  if (parent && !IsWindow(parent)) return nullptr;
  auto w = std::make_unique<Window>();
  w->owner = owner;
  w->parent = parent;
  w->rect = rect;
  if (w->rect.right < w->rect.left) w->rect.right = w->rect.left;
  if (w->rect.bottom < w->rect.top) w->rect.bottom = w->rect.top;
  w->style = style;
  w->exStyle = exStyle;
  w->id = id;
  w->visible = (style & WS_VISIBLE) != 0;
  HWND hwnd = w.get();
  windows_.push_back(std::move(w));
  if (parent) parent->children.push_back(hwnd);
  return hwnd;
}

void Display::DestroyWindowRecord(HWND hwnd) {
  if (!IsWindow(hwnd)) return;
  for (HWND child : std::vector<HWND>(hwnd->children)) DestroyWindowRecord(child);
  hwnd->destroyed = true;
  if (hwnd->owner && hwnd->owner->m_hWnd == hwnd) hwnd->owner->m_hWnd = nullptr;
  hwnd->owner = nullptr;
  if (hwnd->parent) {
    auto& siblings = hwnd->parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), hwnd), siblings.end());
  }
  hwnd->children.clear();
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                               [hwnd](const TimerRecord& t) { return t.hwnd == hwnd; }),
                timers_.end());
  queue_.erase(std::remove_if(queue_.begin(), queue_.end(),
                              [hwnd](const MSG& m) { return m.hwnd == hwnd; }),
               queue_.end());
  if (focus_ == hwnd) focus_ = nullptr;
  if (capture_ == hwnd) capture_ = nullptr;
}

bool Display::IsWindow(HWND hwnd) const {
  if (!hwnd) return false;
  for (const auto& w : windows_)
    if (w.get() == hwnd) return !w->destroyed;
  return false;
}

CRect Display::ClientRect(HWND hwnd) const {
  if (!IsWindow(hwnd)) return CRect();
  int edge = EdgeWidth(*hwnd);
  return CRect(0, 0, std::max(0, hwnd->rect.Width() - 2 * edge),
               std::max(0, hwnd->rect.Height() - 2 * edge));
}

CRect Display::WindowRectOnSurface(HWND hwnd) const {
  if (!IsWindow(hwnd)) return CRect();
  CRect r = hwnd->rect;
  if (hwnd->parent) {
    POINT o = ClientOriginOnSurface(hwnd->parent);
    r.OffsetRect(o.x, o.y);
  }
  return r;
}

POINT Display::ClientOriginOnSurface(HWND hwnd) const {
  if (!IsWindow(hwnd)) return POINT{};
  CRect r = WindowRectOnSurface(hwnd);
  int edge = EdgeWidth(*hwnd);
  return POINT{r.left + edge, r.top + edge};
}

bool Display::IsVisibleOnScreen(HWND hwnd) const {
  if (!IsWindow(hwnd)) return false;
  for (HWND w = hwnd; w; w = w->parent)
    if (!w->visible) return false;
  return true;
}

std::vector<RECT> Display::VisibleClientRects(HWND hwnd) const {
  if (!IsVisibleOnScreen(hwnd)) return {};
  POINT origin = ClientOriginOnSurface(hwnd);
  CRect area = ClientRect(hwnd);
  area.OffsetRect(origin.x, origin.y);
  if (!area.IntersectRect(area, CRect(0, 0, surface_.Width(), surface_.Height()))) return {};
  for (HWND p = hwnd->parent; p; p = p->parent) {
    POINT po = ClientOriginOnSurface(p);
    CRect pc = ClientRect(p);
    pc.OffsetRect(po.x, po.y);
    if (!area.IntersectRect(area, pc)) return {};
  }
  std::vector<RECT> parts{area};
  for (HWND child : hwnd->children) {
    if (!child->visible) continue;
    CRect cr = WindowRectOnSurface(child);
    std::vector<RECT> next;
    for (const RECT& part : parts)
      for (const RECT& piece : Subtract(part, cr)) next.push_back(piece);
    parts = std::move(next);
  }
  for (RECT& r : parts) {
    CRect c = r;
    c.OffsetRect(-origin.x, -origin.y);
    r = c;
  }
  return parts;
}

void Display::DrawFrame(HWND hwnd) {
  if (!IsVisibleOnScreen(hwnd)) return;
  CRect r = WindowRectOnSurface(hwnd);
  // The frame is clipped to the parents' client areas like everything else drawn.
  CRect clip = r;
  for (HWND p = hwnd->parent; p; p = p->parent) {
    POINT po = ClientOriginOnSurface(p);
    CRect pc = ClientRect(p);
    pc.OffsetRect(po.x, po.y);
    if (!clip.IntersectRect(clip, pc)) return;
  }
  auto fill = [&](const RECT& part, uint32_t color) {
    CRect c;
    if (c.IntersectRect(part, clip)) surface_.Fill(c, color);
  };
  // One ring of the frame, inset from the window rectangle.
  auto ring = [&](int inset, uint32_t topLeft, uint32_t bottomRight) {
    CRect q = r;
    q.DeflateRect(inset, inset);
    if (q.IsRectEmpty()) return;
    fill(CRect(q.left, q.top, q.right, q.top + 1), topLeft);
    fill(CRect(q.left, q.top, q.left + 1, q.bottom), topLeft);
    fill(CRect(q.left, q.bottom - 1, q.right, q.bottom), bottomRight);
    fill(CRect(q.right - 1, q.top + 1, q.right, q.bottom), bottomRight);
  };
  int inset = 0;
  if (hwnd->style & WS_BORDER) ring(inset++, kBorderColor, kBorderColor);
  if (hwnd->exStyle & WS_EX_CLIENTEDGE) {
    ring(inset++, kEdgeShadow, kEdgeLight);
    ring(inset++, kEdgeShadow, kEdgeLight);
  }
}

Surface Display::CaptureClient(HWND hwnd) const {
  if (!IsWindow(hwnd)) return Surface();
  POINT o = ClientOriginOnSurface(hwnd);
  CRect c = ClientRect(hwnd);
  c.OffsetRect(o.x, o.y);
  return surface_.Crop(c);
}

Surface Display::CaptureWindow(HWND hwnd) const {
  if (!IsWindow(hwnd)) return Surface();
  return surface_.Crop(WindowRectOnSurface(hwnd));
}

bool Display::WriteClientPng(HWND hwnd, const std::string& path) const {
  return WritePng(CaptureClient(hwnd), path);
}

bool Display::WriteWindowPng(HWND hwnd, const std::string& path) const {
  return WritePng(CaptureWindow(hwnd), path);
}

HWND Display::WindowAt(HWND root, POINT p) const {
  // Later windows lie on top of earlier ones.
  auto search = [&](const std::vector<HWND>& candidates) -> HWND {
    for (auto it = candidates.rbegin(); it != candidates.rend(); ++it) {
      HWND w = *it;
      if (!w->visible || w->destroyed || !WindowRectOnSurface(w).PtInRect(p)) continue;
      POINT o = ClientOriginOnSurface(w);
      CRect client = ClientRect(w);
      client.OffsetRect(o.x, o.y);
      if (client.PtInRect(p)) {
        HWND inner = WindowAt(w, p);
        if (inner) return inner;
      }
      return w;
    }
    return nullptr;
  };
  if (root) return search(root->children);
  std::vector<HWND> topLevel;
  for (const auto& w : windows_)
    if (!w->parent && !w->destroyed) topLevel.push_back(w.get());
  return search(topLevel);
}

Display* Display::Of(HWND hwnd) {
  if (!hwnd) return nullptr;
  for (auto it = displays.rbegin(); it != displays.rend(); ++it)
    if ((*it)->IsWindow(hwnd)) return *it;
  return nullptr;
}
