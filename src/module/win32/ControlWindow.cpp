#include "module/win32/ControlWindow.h"

#include <windowsx.h>

#include <algorithm>
#include <mutex>

#include "module/win32/ModuleDialog.h"
#include "module/win32/ModuleHandle.h"
#include "framework/text/TextConversion.h"
#include "module/win32/Win32Text.h"

namespace win32host {

// This file speaks to the framework, whose names live in namespace kestrix.
using namespace kestrix;
namespace {

constexpr wchar_t kClassName[] = L"KestrixControlWindow";
constexpr UINT_PTR kClockTimer = 1;

uint64_t RealMs() { return GetTickCount64(); }

// The window class lives while any control window does: registered when the first is made,
// unregistered when the last goes, so that a module unloaded and loaded again (design tools do
// it) registers it anew rather than finding the old module's class in the way. Controls may live
// on several threads.
std::mutex classLock;
int classUsers = 0;

bool UseWindowClass() {
  std::lock_guard<std::mutex> hold(classLock);
  if (classUsers == 0) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    // Double clicks arrive as such: the display turns them into its own.
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = ThisModule();
    wc.hCursor = nullptr;  // the control chooses the cursor
    wc.lpszClassName = kClassName;
    if (!RegisterClassExW(&wc)) return false;
  }
  ++classUsers;
  return true;
}

void LeaveWindowClass() {
  std::lock_guard<std::mutex> hold(classLock);
  if (--classUsers == 0) UnregisterClassW(kClassName, ThisModule());
}

}  // namespace

ControlWindow::ControlWindow(ControlInstance& instance, HWND parent, const RECT& rect)
    : instance_(instance) {
  if (!UseWindowClass()) return;
  usesClass_ = true;
  // A tab stop, so that a dialog's Tab comes to it.
  hwnd_ = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP,
                          rect.left,
                          rect.top, rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                          ThisModule(), nullptr);
  if (!hwnd_) return;
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc));
  instance_.AttachEdge(this);
  instance_.CatchUpClock(RealMs());
  instance_.Place(std::max<LONG>(1, rect.right - rect.left),
                  std::max<LONG>(1, rect.bottom - rect.top));
  if (std::unique_ptr<AccessibleFace> face = AccessibleFace::Create(instance_))
    msaa_ = std::make_unique<MsaaPublisher>(hwnd_, std::move(face), [this] { Present(); });
  Present();
}

void ControlWindow::TakeFrame() {
  // The system draws the control's border and sunken edge as this window's frame, so that the
  // window's client area is the control's: the same size, the same coordinates.
  const ControlInstance::WindowFrame frame = instance_.Frame();
  const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
  const LONG_PTR wantStyle = frame.border ? style | WS_BORDER : style & ~LONG_PTR{WS_BORDER};
  const LONG_PTR wantExStyle =
      frame.sunkenEdge ? exStyle | WS_EX_CLIENTEDGE : exStyle & ~LONG_PTR{WS_EX_CLIENTEDGE};
  if (wantStyle == style && wantExStyle == exStyle) return;
  SetWindowLongPtrW(hwnd_, GWL_STYLE, wantStyle);
  SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, wantExStyle);
  SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

ControlWindow::~ControlWindow() {
  msaa_.reset();
  instance_.AttachEdge(nullptr);
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
  if (usesClass_) LeaveWindowClass();
}

void ControlWindow::Move(const RECT& rect) {
  const int width = std::max<LONG>(1, rect.right - rect.left);
  const int height = std::max<LONG>(1, rect.bottom - rect.top);
  MoveWindow(hwnd_, rect.left, rect.top, width, height, TRUE);
  if (width != instance_.Width() || height != instance_.Height()) instance_.Place(width, height);
  Present();
}

void ControlWindow::Present() {
  if (!hwnd_) return;
  TakeFrame();
  InvalidateRect(hwnd_, nullptr, FALSE);
  if (std::optional<uint64_t> wait = instance_.MsUntilNextTimer(RealMs()))
    SetTimer(hwnd_, kClockTimer,
             static_cast<UINT>(std::clamp<uint64_t>(*wait, USER_TIMER_MINIMUM, 60000)), nullptr);
  else
    KillTimer(hwnd_, kClockTimer);
  if (msaa_) msaa_->Update();
}

void ControlWindow::SetAccessibleName(const std::u16string& name) {
  if (msaa_) msaa_->SetName(name);
}

void ControlWindow::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd_, &paint);
  // The client area shows the surface's client part; the frame is the system's own.
  const ControlInstance::WindowFrame frame = instance_.Frame();
  if (frame.clientWidth > 0 && frame.clientHeight > 0) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    // The rows from the client's top, each a whole surface row long.
    info.bmiHeader.biWidth = instance_.Width();
    info.bmiHeader.biHeight = -frame.clientHeight;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const uint32_t* rows = instance_.Pixels() + static_cast<size_t>(frame.clientTop) *
                                                    static_cast<size_t>(instance_.Width());
    // The surface's 0x00RRGGBB pixels are the system's 32-bit BGRX bytes as they are.
    SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(frame.clientWidth),
                      static_cast<DWORD>(frame.clientHeight), frame.clientLeft, 0, 0,
                      static_cast<UINT>(frame.clientHeight), rows, &info, DIB_RGB_COLORS);
  }
  EndPaint(hwnd_, &paint);
}

LRESULT CALLBACK ControlWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* window = reinterpret_cast<ControlWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!window) return DefWindowProcW(hwnd, message, wParam, lParam);
  return window->OnMessage(message, wParam, lParam);
}

void ControlWindow::SetDesignMode(bool design) {
  if (design == designMode_) return;
  designMode_ = design;
  // The caret shows only while the control has the focus and takes keys.
  if (GetFocus() == hwnd_) instance_.Focus(!design);
  Present();
}

bool ControlWindow::WantsKey(const MSG& msg) {
  if (designMode_) return false;
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (msg.wParam == VK_TAB || msg.wParam == VK_ESCAPE) return false;
      return msg.wParam != VK_RETURN || instance_.WantsReturn();
    case WM_CHAR:
      if (msg.wParam == '\t' || msg.wParam == 0x1B) return false;
      return msg.wParam != '\r' || instance_.WantsReturn();
    default:
      return false;
  }
}

namespace {

bool IsInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

}  // namespace

LRESULT ControlWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // In design mode the container's window takes the clicks, and the control no input at all.
  if (designMode_) {
    if (message == WM_NCHITTEST) return HTTRANSPARENT;
    if (IsInput(message)) return DefWindowProcW(hwnd_, message, wParam, lParam);
  }
  if (OnInput(message, wParam, lParam)) {
    Present();
    // System keys go on to the system too, as with any window: Alt reaches the menu bar and
    // Alt+F4 closes the container's window.
    if (message == WM_SYSKEYDOWN || message == WM_SYSKEYUP)
      return DefWindowProcW(hwnd_, message, wParam, lParam);
    return 0;
  }
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint covers every pixel
    case WM_TIMER:
      if (wParam != kClockTimer) break;
      instance_.CatchUpClock(RealMs());
      Present();
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (!designMode_ || message == WM_KILLFOCUS) instance_.Focus(message == WM_SETFOCUS);
      if (focusHook_) focusHook_(message == WM_SETFOCUS);
      Present();
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) != HTCLIENT || designMode_) break;
      ShowCursor();
      return TRUE;
    case WM_GETOBJECT:
      if (!msaa_) break;
      if (std::optional<LRESULT> object = msaa_->GetObject(wParam, lParam)) return *object;
      break;
    case WM_GETDLGCODE: {
      // A dialog leaves arrows and characters to the control, and the message it asks about
      // when the control wants it (Return when the control acts on it); Tab and Escape are
      // the dialog's.
      if (designMode_) return 0;
      const auto* asked = reinterpret_cast<const MSG*>(lParam);
      return DLGC_WANTARROWS | DLGC_WANTCHARS |
             (asked && WantsKey(*asked) ? DLGC_WANTMESSAGE : 0);
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

bool ControlWindow::OnInput(UINT message, WPARAM wParam, LPARAM lParam) {
  const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  const unsigned scan = static_cast<unsigned>((lParam >> 16) & 0xFF);
  auto press = [&](bool right, bool twice) {
    // A press is timed against the last double click: the control's clock catches up first.
    instance_.CatchUpClock(RealMs());
    if (GetFocus() != hwnd_) SetFocus(hwnd_);
    if (buttonsDown_++ == 0) SetCapture(hwnd_);
    if (twice)
      instance_.DoubleClickDown(x, y);
    else
      instance_.MouseDown(x, y, right);
  };
  auto release = [&](bool right) {
    instance_.MouseUp(x, y, right);
    if (buttonsDown_ > 0 && --buttonsDown_ == 0) ReleaseCapture();
  };
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      instance_.KeyDown(static_cast<int>(wParam), scan, message == WM_SYSKEYDOWN);
      return true;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      instance_.KeyUp(static_cast<int>(wParam), scan, message == WM_SYSKEYUP);
      return true;
    case WM_CHAR: {
      // A typed character converts as every text coming in does; one with no place (a lone
      // surrogate half among them) is refused with the system's beep.
      const std::string bytes = Cp1256ForCharacter(static_cast<char32_t>(wParam & 0xFFFF));
      if (bytes.empty()) InputRefused("no place in the code page");
      for (char b : bytes) instance_.Char(static_cast<unsigned char>(b));
      return true;
    }
    case WM_MOUSEMOVE:
      instance_.MouseMove(x, y);
      return true;
    case WM_LBUTTONDOWN:
      press(false, false);
      return true;
    case WM_LBUTTONDBLCLK:
      press(false, true);
      return true;
    case WM_RBUTTONDOWN:
      press(true, false);
      return true;
    case WM_LBUTTONUP:
      release(false);
      return true;
    case WM_RBUTTONUP:
      release(true);
      return true;
    case WM_MOUSEWHEEL: {
      POINT at{x, y};  // the wheel reports the point on the screen
      ScreenToClient(hwnd_, &at);
      instance_.Wheel(at.x, at.y, GET_WHEEL_DELTA_WPARAM(wParam));
      return true;
    }
    default:
      return false;
  }
}

void ControlWindow::ShowCursor() {
  POINT at{};
  GetCursorPos(&at);
  ScreenToClient(hwnd_, &at);
  switch (cursor_) {
    case Cursor::None:
      SetCursor(nullptr);
      break;
    case Cursor::Wait:
      SetCursor(LoadCursorW(nullptr, IDC_WAIT));
      break;
    default:
      SetCursor(LoadCursorW(nullptr, instance_.OverText(at.x, at.y) ? IDC_IBEAM : IDC_ARROW));
      break;
  }
}

void ControlWindow::CursorChanged(Cursor cursor) {
  cursor_ = cursor;
  // The control sets the cursor as a window does while it handles a message (the I-beam as the
  // pointer moves over the text, the wait cursor during long work and the arrow after it); the
  // system asks the window again as the real pointer moves (ShowCursor).
  switch (cursor) {
    case Cursor::None:
      SetCursor(nullptr);
      break;
    case Cursor::Arrow:
      SetCursor(LoadCursorW(nullptr, IDC_ARROW));
      break;
    case Cursor::IBeam:
      SetCursor(LoadCursorW(nullptr, IDC_IBEAM));
      break;
    case Cursor::Wait:
      SetCursor(LoadCursorW(nullptr, IDC_WAIT));
      break;
  }
}

// The thread's key state, which follows the keyboard whichever window had the focus when a key
// went down or up.
std::optional<short> ControlWindow::ModifierState(int virtualKey) { return ::GetKeyState(virtualKey); }

void ControlWindow::LayoutRequested(intptr_t layout) {
  // The window's default processing of the request is what switches the layout.
  SendMessageW(hwnd_, WM_INPUTLANGCHANGEREQUEST, 0, static_cast<LPARAM>(layout));
}

void ControlWindow::ClipboardChanged(const std::optional<std::string>& text) {
  if (!OpenClipboard(hwnd_)) return;
  EmptyClipboard();
  if (text) {
    const std::string bytes = ClipboardLineBreaks(*text);
    const std::wstring wide = WideFromCp1256(bytes);
    // The code page text, its locale (Arabic, so that readers know the code page), and the
    // same text in UTF-16 for readers that take that.
    if (HGLOBAL ansi = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1)) {
      auto* p = static_cast<char*>(GlobalLock(ansi));
      std::copy(bytes.begin(), bytes.end(), p);
      p[bytes.size()] = '\0';
      GlobalUnlock(ansi);
      SetClipboardData(CF_TEXT, ansi);
    }
    if (HGLOBAL locale = GlobalAlloc(GMEM_MOVEABLE, sizeof(LCID))) {
      *static_cast<LCID*>(GlobalLock(locale)) =
          MAKELCID(MAKELANGID(LANG_ARABIC, SUBLANG_ARABIC_SAUDI_ARABIA), SORT_DEFAULT);
      GlobalUnlock(locale);
      SetClipboardData(CF_LOCALE, locale);
    }
    if (HGLOBAL unicode = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t))) {
      auto* p = static_cast<wchar_t*>(GlobalLock(unicode));
      std::copy(wide.begin(), wide.end(), p);
      p[wide.size()] = L'\0';
      GlobalUnlock(unicode);
      SetClipboardData(CF_UNICODETEXT, unicode);
    }
  }
  CloseClipboard();
}

std::optional<std::string> ControlWindow::ClipboardText(const std::optional<std::string>& own) {
  if (GetClipboardOwner() == hwnd_) return own;
  if (!OpenClipboard(hwnd_)) return std::nullopt;
  std::optional<std::string> text;
  clipboardRefusal_.reset();
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
      // Converted as every text coming in is: text with a character that has no place gives
      // nothing, and the control hears why.
      CodePageText converted = Cp1256FromUtf16Text(std::u16string_view(reinterpret_cast<const char16_t*>(p)));
      if (converted.Complete())
        text = ControlLineBreaks(converted.bytes);
      else
        clipboardRefusal_ = "the clipboard's text holds " + converted.unplaced->Describe() +
                            ", which has no place in the Arabic code page (1256)";
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

void ControlWindow::InputRefused(const std::string&) { MessageBeep(MB_OK); }

bool ControlWindow::ClipboardAvailable() {
  // A cut must not take the text away when the text cannot reach the clipboard.
  if (!OpenClipboard(hwnd_)) return false;
  CloseClipboard();
  return true;
}

int64_t ControlWindow::FeedWaitingLoop(uint32_t timeoutMs) {
  const uint64_t start = RealMs();
  UpdateWindow(hwnd_);
  MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs, QS_ALLINPUT);
  // Input found here is queued for the waiting loop, which takes what it wants; the rest of
  // the thread's messages (the container's painting) go their usual way.
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return -1;
    }
    if (msg.hwnd == hwnd_ && OnInput(msg.message, msg.wParam, msg.lParam)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  Present();
  UpdateWindow(hwnd_);
  return static_cast<int64_t>(std::min<uint64_t>(RealMs() - start, timeoutMs));
}

unsigned ControlWindow::ChooseFromMenu(const std::vector<MenuChoice>& items, int x, int y) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return 0;
  for (const MenuChoice& item : items)
    AppendMenuW(menu, MF_STRING, item.id, WideFromCp1256(item.text).c_str());
  POINT at{x, y};
  ClientToScreen(hwnd_, &at);
  UpdateWindow(hwnd_);
  // The menu's notices (WM_INITMENUPOPUP, WM_ENTERIDLE, ...) reach this window as a
  // container expects; the command chosen is returned rather than sent.
  const BOOL chosen =
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_, nullptr);
  DestroyMenu(menu);
  return static_cast<unsigned>(chosen);
}

std::optional<intptr_t> ControlWindow::RunDialog(unsigned templateId) {
  HWND focus = GetFocus();
  // Owned by the container's top-level window, which the dialog disables while it runs.
  const INT_PTR result = RunModuleDialog(templateId, GetAncestor(hwnd_, GA_ROOT));
  // The container's window takes the activation back; the keyboard returns where it was.
  if (focus && IsWindow(focus)) SetFocus(focus);
  Present();
  if (result == -1) return std::nullopt;
  return result;
}

}  // namespace win32host
