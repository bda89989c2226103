// The display itself: which one is current, the window records and their geometry, the
// visible parts of client areas, window frames and pixel captures.
#include "framework/window/Display.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>

#include "framework/window/ThreadList.h"

namespace kestrix {

namespace {

// Displays alive on this thread, newest last. A stack rather than a single "previous" link so
// that displays destroyed out of order never leave a dangling current display.
thread_local ThreadList<Display> displays;

// Process-wide, so that a handle is unique across displays and threads as well as over time.
std::atomic<uintptr_t> nextHandle{1};

HWND NewHandle() {
  return reinterpret_cast<HWND>(nextHandle.fetch_add(1, std::memory_order_relaxed));
}

// Width of the dialog frame inside a window's border.
constexpr int kDialogFrameWidth = 2;

// Width of the non-client edge on each side of a window, the title bar not counted.
int EdgeWidth(DWORD style, DWORD exStyle) {
  return ((style & WS_BORDER) ? 1 : 0) + ((style & WS_DLGFRAME) ? kDialogFrameWidth : 0) +
         ((exStyle & WS_EX_CLIENTEDGE) ? 2 : 0);
}
int EdgeWidth(const Window& w) { return EdgeWidth(w.style, w.exStyle); }

int CaptionHeight(DWORD style) { return (style & WS_CAPTION) == WS_CAPTION ? Display::kCaptionHeight : 0; }
int CaptionHeight(const Window& w) { return CaptionHeight(w.style); }

CRect ClientOf(const Window& w) {
  int edge = EdgeWidth(w);
  return CRect(0, 0, std::max(0, w.rect.Width() - 2 * edge),
               std::max(0, w.rect.Height() - 2 * edge - CaptionHeight(w)));
}

POINT OriginOnSurface(const Window& w);

CRect RectOnSurface(const Window& w) {
  CRect r = w.rect;
  if (w.parent) {
    POINT o = OriginOnSurface(*w.parent);
    r.OffsetRect(o.x, o.y);
  }
  return r;
}

POINT OriginOnSurface(const Window& w) {
  CRect r = RectOnSurface(w);
  int edge = EdgeWidth(w);
  return POINT{r.left + edge, r.top + edge + CaptionHeight(w)};
}

// The client area of w on the surface.
CRect ClientOnSurface(const Window& w) {
  CRect c = ClientOf(w);
  POINT o = OriginOnSurface(w);
  c.OffsetRect(o.x, o.y);
  return c;
}

bool ShownOnScreen(const Window& w) {
  for (const Window* p = &w; p; p = p->parent)
    if (!p->visible) return false;
  return true;
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
constexpr uint32_t kFrameLight = 0xFFFFFF;  // the raised dialog frame
constexpr uint32_t kFrameShadow = 0xA0A0A0;
constexpr uint32_t kFrameFace = 0xF0F0F0;
constexpr uint32_t kCaptionColor = 0x99B4D1;

}  // namespace

Display::Display(int width, int height) : surface_(width, height) {
  previous_ = displays.Empty() ? nullptr : displays.Newest();
  displays.Add(this);
}

Display::~Display() {
  // Window objects may outlive the display; they must not keep handles into it.
  for (auto& [hwnd, w] : windows_)
    if (w->owner && w->owner->m_hWnd == hwnd) w->owner->m_hWnd = nullptr;
  displays.Remove(this);
}

CRect Display::WindowRectForClient(const RECT& client, DWORD style, DWORD exStyle) {
  int edge = EdgeWidth(style, exStyle);
  CRect r = client;
  r.DeflateRect(-edge, -edge);
  r.top -= CaptionHeight(style);
  return r;
}

Display& Display::Current() {
  if (displays.Empty()) throw std::logic_error("no display: construct a Display first");
  return *displays.Newest();
}

Display* Display::CurrentOrNull() { return displays.Empty() ? nullptr : displays.Newest(); }

void Display::MakeCurrent() {
  displays.MakeNewest(this);
}

HWND Display::CreateWindowRecord(CWnd* owner, HWND parent, const CRect& rect, DWORD style,
                                 DWORD exStyle, UINT id) {
  Window* parentRecord = nullptr;
  if (parent && !(parentRecord = Find(parent))) return nullptr;
  auto w = std::make_unique<Window>();
  w->handle = NewHandle();
  w->owner = owner;
  w->parent = parentRecord;
  w->rect = rect;
  if (w->rect.right < w->rect.left) w->rect.right = w->rect.left;
  if (w->rect.bottom < w->rect.top) w->rect.bottom = w->rect.top;
  w->style = style;
  w->exStyle = exStyle;
  w->id = id;
  w->visible = (style & WS_VISIBLE) != 0;
  HWND hwnd = w->handle;
  (parentRecord ? parentRecord->children : topLevel_).push_back(w.get());
  windows_.emplace(hwnd, std::move(w));
  return hwnd;
}

void Display::DestroyWindowRecord(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return;
  for (Window* child : std::vector<Window*>(w->children)) DestroyWindowRecord(child->handle);
  if (w->owner && w->owner->m_hWnd == hwnd) w->owner->m_hWnd = nullptr;
  auto& siblings = w->parent ? w->parent->children : topLevel_;
  siblings.erase(std::remove(siblings.begin(), siblings.end(), w), siblings.end());
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                               [hwnd](const TimerRecord& t) { return t.hwnd == hwnd; }),
                timers_.end());
  queue_.erase(std::remove_if(queue_.begin(), queue_.end(),
                              [hwnd](const MSG& m) { return m.hwnd == hwnd; }),
               queue_.end());
  if (focus_ == hwnd) focus_ = nullptr;
  if (capture_ == hwnd) capture_ = nullptr;
  // The handle is never handed out again, so freeing the record is all it takes for the
  // handle to be stale from here on.
  windows_.erase(hwnd);
}

Window* Display::Find(HWND hwnd) const {
  if (!hwnd) return nullptr;
  auto it = windows_.find(hwnd);
  return it == windows_.end() ? nullptr : it->second.get();
}

std::vector<HWND> Display::ChildrenOf(HWND hwnd) const {
  std::vector<HWND> out;
  if (const Window* w = Find(hwnd))
    for (const Window* child : w->children) out.push_back(child->handle);
  return out;
}

CRect Display::ClientRect(HWND hwnd) const {
  const Window* w = Find(hwnd);
  return w ? ClientOf(*w) : CRect();
}

CRect Display::WindowRectOnSurface(HWND hwnd) const {
  const Window* w = Find(hwnd);
  return w ? RectOnSurface(*w) : CRect();
}

POINT Display::ClientOriginOnSurface(HWND hwnd) const {
  const Window* w = Find(hwnd);
  return w ? OriginOnSurface(*w) : POINT{};
}

bool Display::IsVisibleOnScreen(HWND hwnd) const {
  const Window* w = Find(hwnd);
  return w && ShownOnScreen(*w);
}

bool Display::IsEnabledForInput(HWND hwnd) const {
  const Window* w = Find(hwnd);
  for (; w; w = w->parent)
    if (!w->enabled) return false;
  return Find(hwnd) != nullptr;
}

std::vector<HWND> Display::TopLevelWindows() const {
  std::vector<HWND> out;
  for (const Window* w : topLevel_)
    if (w->visible) out.push_back(w->handle);
  return out;
}

std::vector<RECT> Display::VisibleClientRects(HWND hwnd) const {
  const Window* w = Find(hwnd);
  if (!w || !ShownOnScreen(*w)) return {};
  POINT origin = OriginOnSurface(*w);
  CRect area = ClientOnSurface(*w);
  if (!area.IntersectRect(area, CRect(0, 0, surface_.Width(), surface_.Height()))) return {};
  for (const Window* p = w->parent; p; p = p->parent)
    if (!area.IntersectRect(area, ClientOnSurface(*p))) return {};
  std::vector<RECT> parts{area};
  for (const Window* child : w->children) {
    if (!child->visible) continue;
    CRect cr = RectOnSurface(*child);
    std::vector<RECT> next;
    for (const RECT& part : parts)
      for (const RECT& piece : Subtract(part, cr)) next.push_back(piece);
    parts = std::move(next);
  }
  // Top-level windows created later lie on top (a dialog over the window that opened it).
  const Window* top = w;
  while (top->parent) top = top->parent;
  auto above = std::find(topLevel_.begin(), topLevel_.end(), top);
  if (above != topLevel_.end()) ++above;
  for (; above != topLevel_.end(); ++above) {
    if (!(*above)->visible) continue;
    CRect cover = RectOnSurface(**above);
    std::vector<RECT> next;
    for (const RECT& part : parts)
      for (const RECT& piece : Subtract(part, cover)) next.push_back(piece);
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
  const Window* w = Find(hwnd);
  if (!w || !ShownOnScreen(*w)) return;
  CRect r = RectOnSurface(*w);
  // The frame is clipped to the parents' client areas like everything else drawn.
  CRect clip = r;
  for (const Window* p = w->parent; p; p = p->parent)
    if (!clip.IntersectRect(clip, ClientOnSurface(*p))) return;
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
  if (w->style & WS_BORDER) ring(inset++, kBorderColor, kBorderColor);
  if (w->style & WS_DLGFRAME) {
    ring(inset++, kFrameLight, kFrameShadow);
    ring(inset++, kFrameFace, kFrameFace);
  }
  // The title bar lies inside the frame, above the client area; its owner writes the title.
  if (int caption = CaptionHeight(*w)) {
    fill(CRect(r.left + inset, r.top + inset, r.right - inset, r.top + inset + caption), kCaptionColor);
    r.top += caption;
  }
  if (w->exStyle & WS_EX_CLIENTEDGE) {
    ring(inset++, kEdgeShadow, kEdgeLight);
    ring(inset++, kEdgeShadow, kEdgeLight);
  }
}

Surface Display::CaptureClient(HWND hwnd) const {
  const Window* w = Find(hwnd);
  return w ? surface_.Crop(ClientOnSurface(*w)) : Surface();
}

Surface Display::CaptureWindow(HWND hwnd) const {
  const Window* w = Find(hwnd);
  return w ? surface_.Crop(RectOnSurface(*w)) : Surface();
}

bool Display::WriteClientPng(HWND hwnd, const std::string& path, std::string* error) const {
  return WritePng(CaptureClient(hwnd), path, error);
}

bool Display::WriteWindowPng(HWND hwnd, const std::string& path, std::string* error) const {
  return WritePng(CaptureWindow(hwnd), path, error);
}

HWND Display::WindowAt(const Window* root, POINT p) const {
  const std::vector<Window*>& candidates = root ? root->children : topLevel_;
  // Later windows lie on top of earlier ones.
  for (auto it = candidates.rbegin(); it != candidates.rend(); ++it) {
    const Window* w = *it;
    if (!w->visible || !RectOnSurface(*w).PtInRect(p)) continue;
    if (ClientOnSurface(*w).PtInRect(p)) {
      HWND inner = WindowAt(w, p);
      if (inner) return inner;
    }
    return w->handle;
  }
  return nullptr;
}

Display* Display::Of(HWND hwnd) {
  if (!hwnd) return nullptr;
  return displays.FindNewest([hwnd](Display* d) { return d->IsWindow(hwnd); });
}

}  // namespace kestrix
