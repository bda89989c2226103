// Window objects: creation and destruction of their display windows, message dispatch through
// the message tables, geometry, focus, timers and drawing contexts.
#include "framework/window/CWnd.h"

#include <algorithm>

#include "framework/window/CDC.h"
#include "framework/window/Display.h"

namespace kestrix {

namespace {

// The display of a live window, or null.
Display* DisplayOf(HWND hwnd) { return Display::Of(hwnd); }

// The record of a live window, or null.
Window* RecordOf(HWND hwnd) {
  Display* d = Display::Of(hwnd);
  return d ? d->Find(hwnd) : nullptr;
}

// A message table chain longer than this is taken to loop back on itself.
constexpr int kMaxMapDepth = 64;

const MessageEntry* FindEntry(const MessageMap* map, UINT message, WPARAM wParam) {
  for (int depth = 0; map && depth < kMaxMapDepth; ++depth) {
    for (const MessageEntry* e = map->entries; e && e->handler; ++e) {
      if (e->message != message) continue;
      if (message == WM_COMMAND && e->commandId != LOWORD(wParam)) continue;
      return e;
    }
    map = map->base ? map->base() : nullptr;
  }
  return nullptr;
}

}  // namespace

CWnd::CWnd() = default;

CWnd::~CWnd() {
  // Virtual calls from here reach CWnd's own versions only, which is all a dying object may run.
  // A window already on its way out (deleted from its own WM_DESTROY) just loses its owner.
  if (DisplayOf(m_hWnd) && !DestroyWindow())
    if (Window* w = RecordOf(m_hWnd)) w->owner = nullptr;
  m_hWnd = nullptr;
}

CWnd* CWnd::FromHandle(HWND hwnd) {
  Window* w = RecordOf(hwnd);
  return w ? w->owner : nullptr;
}

const MessageMap* CWnd::GetThisMessageMap() {
  static const MessageEntry entries[] = {{0, 0, nullptr}};
  static const MessageMap map{nullptr, entries};
  return &map;
}

const MessageMap* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CWnd::PreCreateWindow(CREATESTRUCT&) { return TRUE; }

BOOL CWnd::CreateEx(DWORD exStyle, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  Display* d = Display::CurrentOrNull();
  if (!d || DisplayOf(m_hWnd)) return FALSE;
  HWND parentHwnd = parent ? parent->m_hWnd : nullptr;
  if (parent && !d->IsWindow(parentHwnd)) return FALSE;

  CREATESTRUCT cs;
  cs.hwndParent = parentHwnd;
  cs.x = rect.left;
  cs.y = rect.top;
  cs.cx = rect.right - rect.left;
  cs.cy = rect.bottom - rect.top;
  cs.style = style;
  cs.dwExStyle = exStyle;
  if (!PreCreateWindow(cs)) return FALSE;
  if (cs.hwndParent && !d->IsWindow(cs.hwndParent)) return FALSE;

  m_hWnd = d->CreateWindowRecord(this, cs.hwndParent, CRect(cs.x, cs.y, cs.x + cs.cx, cs.y + cs.cy),
                                 cs.style, cs.dwExStyle, id);
  if (!m_hWnd) return FALSE;
  if (SendMessage(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow();
    return FALSE;
  }
  // WM_CREATE's handler may have destroyed the window itself.
  if (!DisplayOf(m_hWnd)) return FALSE;
  d->DrawFrame(m_hWnd);
  CRect client = d->ClientRect(m_hWnd);
  SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.Width(), client.Height()));
  // A new window is painted once, as a real display paints a window it shows: whatever lay
  // where it now stands must not show through.
  if (DisplayOf(m_hWnd) && (cs.style & WS_VISIBLE)) UpdateWindow();
  return DisplayOf(m_hWnd) ? TRUE : FALSE;
}

BOOL CWnd::DestroyWindow() {
  HWND hwnd = m_hWnd;
  Display* d = DisplayOf(hwnd);
  Window* w = d ? d->Find(hwnd) : nullptr;
  if (!w || w->destroying) return FALSE;
  w->destroying = true;
  // A window that goes while it or a child of it has the focus loses the focus first, with
  // WM_KILLFOCUS, as a real display tells it.
  for (Window* f = d->Find(d->GetFocus()); f; f = f->parent)
    if (f == w) {
      d->SetFocus(nullptr);
      break;
    }
  // Each child's WM_DESTROY may destroy other windows, so children are looked up by handle.
  for (HWND child : d->ChildrenOf(hwnd)) {
    Window* c = d->Find(child);
    if (!c) continue;
    if (c->owner)
      c->owner->DestroyWindow();
    else
      d->DestroyWindowRecord(child);
  }
  d->Send(hwnd, WM_DESTROY, 0, 0);
  // Timers, queued messages, focus and capture go with the record.
  d->DestroyWindowRecord(hwnd);
  if (m_hWnd == hwnd) m_hWnd = nullptr;
  return TRUE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  Display* d = Display::CurrentOrNull();
  // Messages nest (a handler may send another); each restores the one it interrupted.
  const MSG outer = current_;
  current_ = MSG{m_hWnd, message, wParam, lParam, d ? d->NowMs() : 0};
  const MessageEntry* entry = FindEntry(GetMessageMap(), message, wParam);
  LRESULT result = entry ? entry->handler(this, wParam, lParam) : DefWindowProc(message, wParam, lParam);
  current_ = outer;
  return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INPUTLANGCHANGEREQUEST:
      if (Display* d = Display::CurrentOrNull()) d->RecordLayoutRequest(wParam, lParam);
      return 0;
    case WM_MOUSEACTIVATE:
      return MA_ACTIVATE;
    default:
      return 0;
  }
}

LRESULT CWnd::Default() {
  return DefWindowProc(current_.message, current_.wParam, current_.lParam);
}

void CWnd::GetClientRect(LPRECT rect) const {
  if (!rect) return;
  Display* d = DisplayOf(m_hWnd);
  *rect = d ? d->ClientRect(m_hWnd) : CRect();
}

void CWnd::GetWindowRect(RECT* rect) const {
  if (!rect) return;
  const Window* w = RecordOf(m_hWnd);
  *rect = w ? w->rect : CRect();
}

void CWnd::ClientToScreen(POINT* point) const {
  Display* d = DisplayOf(m_hWnd);
  if (!point || !d) return;
  const POINT origin = d->ClientOriginOnSurface(m_hWnd);
  point->x += origin.x;
  point->y += origin.y;
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
  Display* d = DisplayOf(m_hWnd);
  if (!d) return;
  CRect before = d->Find(m_hWnd)->rect;
  CRect after(x, y, x + std::max(0, width), y + std::max(0, height));
  d->Find(m_hWnd)->rect = after;
  // A visible child that moves or shrinks uncovers part of its parent.
  if (repaint && !(before == after) && d->IsVisibleOnScreen(m_hWnd)) RepaintParent();
  if (repaint) d->DrawFrame(m_hWnd);
  CRect client = d->ClientRect(m_hWnd);
  SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.Width(), client.Height()));
  // A window that takes a new size is painted anew, as a real display invalidates it: its old
  // frame and contents must not show through.
  if (repaint && (before.Width() != after.Width() || before.Height() != after.Height()) && d->IsWindow(m_hWnd))
    UpdateWindow();
}

void CWnd::MoveWindow(const RECT& rect, BOOL repaint) {
  MoveWindow(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, repaint);
}

BOOL CWnd::ShowWindow(int show) {
  Display* d = DisplayOf(m_hWnd);
  if (!d) return FALSE;
  Window* w = d->Find(m_hWnd);
  BOOL wasVisible = w->visible ? TRUE : FALSE;
  w->visible = show != SW_HIDE;
  if (w->visible) w->style |= WS_VISIBLE;
  else w->style &= ~WS_VISIBLE;
  if (w->visible && !wasVisible) d->DrawFrame(m_hWnd);
  // A child that goes uncovers its parent, which paints the place again.
  if (!w->visible && wasVisible) RepaintParent();
  return wasVisible;
}

void CWnd::RepaintParent() {
  Display* d = DisplayOf(m_hWnd);
  Window* w = d ? d->Find(m_hWnd) : nullptr;
  if (!w || !w->parent || !w->parent->owner) return;
  w->parent->owner->UpdateWindow();
}

BOOL CWnd::IsWindowVisible() const {
  Display* d = DisplayOf(m_hWnd);
  return d && d->IsVisibleOnScreen(m_hWnd) ? TRUE : FALSE;
}

BOOL CWnd::EnableWindow(BOOL enable) {
  Window* w = RecordOf(m_hWnd);
  if (!w) return FALSE;
  BOOL wasDisabled = w->enabled ? FALSE : TRUE;
  w->enabled = enable != FALSE;
  return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const {
  const Window* w = RecordOf(m_hWnd);
  return w && w->enabled ? TRUE : FALSE;
}

CWnd* CWnd::GetParent() const {
  const Window* w = RecordOf(m_hWnd);
  return w && w->parent ? w->parent->owner : nullptr;
}

DWORD CWnd::GetStyle() const {
  const Window* w = RecordOf(m_hWnd);
  return w ? w->style : 0;
}

DWORD CWnd::GetExStyle() const {
  const Window* w = RecordOf(m_hWnd);
  return w ? w->exStyle : 0;
}

CWnd* CWnd::SetFocus() {
  Display* d = DisplayOf(m_hWnd);
  return d ? FromHandle(d->SetFocus(m_hWnd)) : nullptr;
}

CWnd* CWnd::GetFocus() {
  Display* d = Display::CurrentOrNull();
  return d ? FromHandle(d->GetFocus()) : nullptr;
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapseMs, void*) {
  Display* d = DisplayOf(m_hWnd);
  if (!d) return 0;
  d->SetTimer(m_hWnd, id, elapseMs);
  return id;
}

BOOL CWnd::KillTimer(UINT_PTR id) {
  Display* d = DisplayOf(m_hWnd);
  return d && d->KillTimer(m_hWnd, id) ? TRUE : FALSE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  Display* d = DisplayOf(m_hWnd);
  return d ? d->Send(m_hWnd, message, wParam, lParam) : 0;
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  Display* d = DisplayOf(m_hWnd);
  if (!d) return FALSE;
  d->Post(m_hWnd, message, wParam, lParam);
  return TRUE;
}

void CWnd::SetCapture() {
  if (Display* d = DisplayOf(m_hWnd)) d->SetCapture(m_hWnd);
}

void CWnd::ReleaseCapture() {
  if (Display* d = Display::CurrentOrNull()) d->SetCapture(nullptr);
}

CDC* CWnd::GetDC() { return GetDCClippedTo(nullptr); }

CDC* CWnd::GetDCClippedTo(const RECT* rect) {
  Display* d = DisplayOf(m_hWnd);
  std::unique_ptr<DeviceContext> context;
  if (d) {
    std::vector<RECT> clip = d->VisibleClientRects(m_hWnd);
    if (rect) {
      std::vector<RECT> inside;
      for (const RECT& part : clip) {
        CRect piece;
        if (piece.IntersectRect(part, *rect)) inside.push_back(piece);
      }
      clip = std::move(inside);
    }
    context = std::make_unique<DeviceContext>(&d->GetSurface(), d->ClientOriginOnSurface(m_hWnd),
                                              std::move(clip));
  }
  openDCs_.push_back(std::make_unique<CDC>(std::move(context)));
  return openDCs_.back().get();
}

int CWnd::ReleaseDC(CDC* dc) {
  auto it = std::find_if(openDCs_.begin(), openDCs_.end(),
                         [dc](const std::unique_ptr<CDC>& p) { return p.get() == dc; });
  if (it == openDCs_.end()) return 0;
  openDCs_.erase(it);
  return 1;
}

void CWnd::UpdateWindow() {
  Display* d = DisplayOf(m_hWnd);
  if (!d || !d->IsVisibleOnScreen(m_hWnd)) return;
  HWND self = m_hWnd;
  SendMessage(WM_PAINT);
  // Children are painted after their parent, so they stay on top of what it drew.
  // Each paint may destroy windows, so children are looked up by handle each time.
  for (HWND child : d->ChildrenOf(self))
    if (const Window* c = d->Find(child); c && c->visible && c->owner) c->owner->UpdateWindow();
}

}  // namespace kestrix
