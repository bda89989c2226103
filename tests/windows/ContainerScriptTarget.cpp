#include "ContainerScriptTarget.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "Pixels.h"
#include "ScriptAutomation.h"
#include "framework/file/DurableWrite.h"
#include "framework/text/Cp1256.h"

namespace kestrix {

namespace {

constexpr wchar_t kHelperClass[] = L"KestrixScriptHelper";
constexpr UINT kContinue = WM_APP + 1;  // the control's loop may run the script's next line
constexpr UINT_PTR kContinueTimer = 1;

// Keys whose messages carry the extended-key flag.
bool Extended(int vk) { return (vk >= VK_PRIOR && vk <= VK_DOWN) || vk == VK_INSERT || vk == VK_DELETE; }

ContainerScriptTarget* helperOwner = nullptr;
ContainerScriptTarget* watcher = nullptr;

}  // namespace

ContainerScriptTarget::ContainerScriptTarget() {
  static const ATOM helperClass = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &ContainerScriptTarget::HelperProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kHelperClass;
    return RegisterClassW(&wc);
  }();
  if (helperClass)
    helper_ = CreateWindowW(kHelperClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  helperOwner = this;
  // The real pointer out of the way, so that the system's own mouse messages (sent where the
  // pointer is when windows come and go) do not reach the control between the script's.
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
}

ContainerScriptTarget::~ContainerScriptTarget() {
  clipboardHolder_.Release();
  Unplace();
  // The form is the process's one: the tests that run after a script find it as it was.
  if (container_ && formSizeKept_)
    SetWindowPos(container_->Form(), nullptr, 0, 0, formFrame_.right - formFrame_.left,
                 formFrame_.bottom - formFrame_.top, SWP_NOMOVE | SWP_NOZORDER);
  container_.reset();
  if (helper_) DestroyWindow(helper_);
  helperOwner = nullptr;
  SetEnvironmentVariableW(kKestrixTestMetricsVariable, nullptr);
}

// Placing -------------------------------------------------------------------------------------

void ContainerScriptTarget::EnsureControl() {
  if (!placed_) Place(nullptr);
}

void ContainerScriptTarget::SizeForm() {
  if (!formSizeKept_) formSizeKept_ = GetWindowRect(container_->Form(), &formFrame_) != FALSE;
  RECT frame{0, 0, width_, height_};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  SetWindowPos(container_->Form(), nullptr, 0, 0, frame.right - frame.left,
               frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER);
}

void ContainerScriptTarget::Place(IStream* saved) {
  Unplace();
  if (!container_) container_ = std::make_unique<Container>();
  // Read by the module as the control is created.
  SetEnvironmentVariableW(kKestrixTestMetricsVariable, fixedMetrics_ ? L"fixed" : nullptr);
  SizeForm();
  HRESULT hr = container_->Create(L"KESTRIX.KestrixCtrl.1", saved);
  if (FAILED(hr) || !container_->ControlWindow()) {
    container_->Destroy();
    throw ScriptError("the container cannot create KESTRIX.KestrixCtrl.1");
  }
  placed_ = true;
  if (FAILED(container_->Control()->QueryInterface(IID_IKestrixInspection,
                                                   reinterpret_cast<void**>(&inspection_))))
    throw ScriptError("the control offers no inspection for test hosts");
  events_.Connect(container_->Control());
  // The window's messages are watched for the layout requests it receives.
  watched_ = container_->ControlWindow();
  watcher = this;
  watchedProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(watched_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchProc)));
  layout_.reset();
  // The container gives its one control the keyboard focus, as a form does.
  SetFocus(watched_);
  Pump();
  events_.Clear();
  // A control just placed is clean for its container: a container takes the state it has as
  // saved the way it saves it, with the dirty flag cleared.
  SaveToStream(true);
}

void ContainerScriptTarget::Unplace() {
  if (!placed_) return;
  if (buttonDown_) ReleaseCapture();
  buttonDown_ = false;
  if (watched_ && IsWindow(watched_))
    SetWindowLongPtrW(watched_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(watchedProc_));
  watched_ = nullptr;
  events_.Disconnect();
  if (inspection_) inspection_->Release();
  inspection_ = nullptr;
  container_->Destroy();
  placed_ = false;
  Pump();
}

HWND ContainerScriptTarget::ControlHwnd() {
  EnsureControl();
  return container_->ControlWindow();
}

IKestrixInspection& ContainerScriptTarget::Inspection() {
  EnsureControl();
  return *inspection_;
}

void ContainerScriptTarget::Window(int width, int height) {
  width_ = width;
  height_ = height;
  if (!placed_) {
    EnsureControl();
    return;
  }
  SizeForm();
  // The container gives its control the new rectangle, as on a form's resize.
  IOleInPlaceObject* inPlace = nullptr;
  if (SUCCEEDED(container_->Control()->QueryInterface(IID_IOleInPlaceObject,
                                                     reinterpret_cast<void**>(&inPlace)))) {
    RECT rect{0, 0, width_, height_};
    inPlace->SetObjectRects(&rect, &rect);
    inPlace->Release();
  }
  Pump();
}

void ContainerScriptTarget::Reset() {
  EnsureControl();
  Place(nullptr);
}

void ContainerScriptTarget::Focus() {
  SetFocus(ControlHwnd());
  Pump();
}

void ContainerScriptTarget::Blur() {
  EnsureControl();
  SetFocus(container_->Form());
  Pump();
}

void ContainerScriptTarget::AdvanceClock(uint64_t ms) {
  // The control's clock is the real one.
  EnsureControl();
  Pump(static_cast<DWORD>(std::min<uint64_t>(ms, 600000)));
}

// Messages ------------------------------------------------------------------------------------

void ContainerScriptTarget::Pump(DWORD ms) {
  if (insideLoop_) {
    // The control's loop dispatches the thread's messages; only its painting is wanted now.
    if (placed_) UpdateWindow(container_->ControlWindow());
    return;
  }
  const ULONGLONG end = GetTickCount64() + ms;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      // No loop of the control's took it (or it has ended): the script goes on by itself.
      if (msg.hwnd == helper_ && (msg.message == kContinue ||
                                  (msg.message == WM_TIMER && msg.wParam == kContinueTimer))) {
        KillTimer(helper_, kContinueTimer);
        continue;
      }
      // Not translated: the script sends its characters itself.
      DispatchMessageW(&msg);
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
  }
}

void ContainerScriptTarget::Deliver(HWND to, UINT message, WPARAM wParam, LPARAM lParam) {
  PostMessageW(to, message, wParam, lParam);
  if (insideLoop_) return;
  // Should the message start a loop of the control's (a drag), the loop lets the script go on.
  PostMessageW(helper_, kContinue, 0, 0);
  Pump();
  insideLoop_ = false;
}

void ContainerScriptTarget::ContinueInsideLoop() {
  if (!runner_) return;
  insideLoop_ = true;
  const int64_t passed = runner_->FeedWaitingLoop(60000);
  if (passed < 0) {
    // The script has ended inside the loop: the button goes up, as when it ends outside.
    if (buttonDown_) MouseUp(lastMouse_);
    return;
  }
  // A timer, not a posted message: the loop takes the input the line posted in this turn, and
  // handles it before a later turn lets the script go on (or ends, and the script goes on
  // outside it).
  SetTimer(helper_, kContinueTimer, static_cast<UINT>(std::max<int64_t>(passed, USER_TIMER_MINIMUM)),
           nullptr);
}

LRESULT CALLBACK ContainerScriptTarget::HelperProc(HWND hwnd, UINT message, WPARAM wParam,
                                                   LPARAM lParam) {
  if (helperOwner && message == kContinue) {
    helperOwner->ContinueInsideLoop();
    return 0;
  }
  if (helperOwner && message == WM_TIMER && wParam == kContinueTimer) {
    KillTimer(hwnd, kContinueTimer);
    helperOwner->ContinueInsideLoop();
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK ContainerScriptTarget::WatchProc(HWND hwnd, UINT message, WPARAM wParam,
                                                  LPARAM lParam) {
  if (!watcher || !watcher->watchedProc_) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_INPUTLANGCHANGEREQUEST)
    watcher->layout_ = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(reinterpret_cast<HKL>(lParam)));
  // The popup menu the control tracks for its window: its items before it shows, and the
  // answer once its loop waits for input.
  if (message == WM_INITMENUPOPUP) watcher->MenuShown(reinterpret_cast<HMENU>(wParam));
  if (message == WM_ENTERIDLE && wParam == MSGF_MENU)
    watcher->AnswerMenu(reinterpret_cast<HWND>(lParam));
  return CallWindowProcW(watcher->watchedProc_, hwnd, message, wParam, lParam);
}

// Automation ----------------------------------------------------------------------------------

void ContainerScriptTarget::Set(const std::string& name, const Word& value) {
  EnsureControl();
  SetByName(container_->Dispatch(), name, value);
  Pump();
}

Shown ContainerScriptTarget::Get(const std::string& name) {
  EnsureControl();
  PropertyValue v = GetByName(container_->Dispatch(), name);
  if (v.isString) return StringShown(v.text);
  if (v.isNumber) return NumberShown(v.number);
  return TextShown(v.text);
}

PropertyValue ContainerScriptTarget::Call(const std::string& name, const std::vector<Word>& args) {
  EnsureControl();
  PropertyValue v = CallByName(container_->Dispatch(), name, args);
  Pump();
  return v;
}

// Input ---------------------------------------------------------------------------------------

void ContainerScriptTarget::SetKey(const KeyInfo& key, bool down) {
  const BYTE state = down ? 0x80 : 0;
  keys_[key.vk & 0xFF] = state;
  if (key.vk == VK_SHIFT) keys_[key.scan == 0x36 ? VK_RSHIFT : VK_LSHIFT] = state;
  if (key.vk == VK_CONTROL) keys_[VK_LCONTROL] = state;
  if (key.vk == VK_MENU) keys_[VK_LMENU] = state;
  SetKeyboardState(keys_);
}

void ContainerScriptTarget::HoldKey(const KeyInfo& key, bool down) { SetKey(key, down); }

void ContainerScriptTarget::KeyDown(const KeyInfo& key) {
  const bool wasDown = (keys_[key.vk & 0xFF] & 0x80) != 0;
  SetKey(key, true);
  const bool system = (keys_[VK_MENU] & 0x80) && !(keys_[VK_CONTROL] & 0x80);
  const LPARAM lParam = 1 | (static_cast<LPARAM>(key.scan & 0xFF) << 16) |
                        (Extended(key.vk) ? 1 << 24 : 0) | (wasDown ? 1 << 30 : 0);
  HWND focus = GetFocus();
  Deliver(focus ? focus : ControlHwnd(), system ? WM_SYSKEYDOWN : WM_KEYDOWN,
          static_cast<WPARAM>(key.vk), lParam);
}

void ContainerScriptTarget::KeyUp(const KeyInfo& key) {
  const bool system = (keys_[VK_MENU] & 0x80) && !(keys_[VK_CONTROL] & 0x80);
  SetKey(key, false);
  const LPARAM lParam = static_cast<LPARAM>(1 | (static_cast<DWORD>(key.scan & 0xFF) << 16) |
                                            (Extended(key.vk) ? 1u << 24 : 0u) | (1u << 30) | (1u << 31));
  HWND focus = GetFocus();
  Deliver(focus ? focus : ControlHwnd(), system ? WM_SYSKEYUP : WM_KEYUP,
          static_cast<WPARAM>(key.vk), lParam);
}

bool ContainerScriptTarget::KeyIsDown(int virtualKey) { return (keys_[virtualKey & 0xFF] & 0x80) != 0; }

void ContainerScriptTarget::Char(uint32_t code) {
  // The window is a Unicode one: a code-page byte arrives as the character it stands for.
  const WPARAM unit = code <= 0xFF ? UnicodeFromCp1256(static_cast<uint8_t>(code)) : code;
  HWND focus = GetFocus();
  Deliver(focus ? focus : ControlHwnd(), WM_CHAR, unit, 1);
}

WPARAM ContainerScriptTarget::MouseFlags() const {
  return (buttonDown_ ? MK_LBUTTON : 0) | ((keys_[VK_SHIFT] & 0x80) ? MK_SHIFT : 0) |
         ((keys_[VK_CONTROL] & 0x80) ? MK_CONTROL : 0);
}

void ContainerScriptTarget::Mouse(UINT message, ScriptPoint p) {
  lastMouse_ = p;
  Deliver(ControlHwnd(), message, MouseFlags(),
          MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
}

void ContainerScriptTarget::MouseDown(ScriptPoint p, bool shift) {
  // The Shift flag and key state without Shift's own key messages.
  const bool wasDown = (keys_[VK_SHIFT] & 0x80) != 0;
  if (shift && !wasDown) {
    keys_[VK_SHIFT] = keys_[VK_LSHIFT] = 0x80;
    SetKeyboardState(keys_);
  }
  buttonDown_ = true;
  Mouse(WM_LBUTTONDOWN, p);
  if (shift && !wasDown) {
    keys_[VK_SHIFT] = keys_[VK_LSHIFT] = 0;
    SetKeyboardState(keys_);
  }
}

void ContainerScriptTarget::MouseMove(ScriptPoint p) { Mouse(WM_MOUSEMOVE, p); }

void ContainerScriptTarget::MouseUp(ScriptPoint p) {
  buttonDown_ = false;
  Mouse(WM_LBUTTONUP, p);
}

void ContainerScriptTarget::Click(ScriptPoint p) {
  MouseDown(p, false);
  MouseUp(p);
}

void ContainerScriptTarget::DoubleClick(ScriptPoint p) {
  Click(p);
  buttonDown_ = true;
  Mouse(WM_LBUTTONDBLCLK, p);
  MouseUp(p);
}

void ContainerScriptTarget::RightClick(ScriptPoint p) {
  // The control's popup menu runs while it handles the press; the window it is tracked for (the
  // control's) is told of it, and the watcher answers it there (AnswerMenu).
  menuAnswer_ = menuArmed_ ? menuChoice_ : 0;
  menuArmed_ = false;
  menuPending_ = false;
  const LPARAM at = MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y));
  PostMessageW(ControlHwnd(), WM_RBUTTONDOWN, MouseFlags() | MK_RBUTTON, at);
  PostMessageW(ControlHwnd(), WM_RBUTTONUP, MouseFlags(), at);
  lastMouse_ = p;
  Pump();
}

void ContainerScriptTarget::ArmMenu(unsigned id) {
  EnsureControl();
  menuChoice_ = id;
  menuArmed_ = true;
}

void ContainerScriptTarget::MenuShown(HMENU menu) {
  std::vector<ScriptMenuItem> items;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[256] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
    items.push_back({CodePageFromWide(text, lstrlenW(text)).value_or("?"), GetMenuItemID(menu, i)});
  }
  lastMenu_ = std::move(items);
  shownMenu_ = menu;
  menuPending_ = true;
}

void ContainerScriptTarget::AnswerMenu(HWND menuWindow) {
  if (!menuPending_) return;
  menuPending_ = false;
  int position = -1;
  for (int i = 0; menuAnswer_ && i < GetMenuItemCount(shownMenu_); ++i)
    if (GetMenuItemID(shownMenu_, i) == menuAnswer_) position = i;
  if (position < 0 || !menuWindow) {
    EndMenu();
    return;
  }
  // As a person does it: down to the item (the first press selects the first item), and
  // Return.
  for (int i = 0; i <= position; ++i) PostMessageW(menuWindow, WM_KEYDOWN, VK_DOWN, 1);
  PostMessageW(menuWindow, WM_KEYDOWN, VK_RETURN, 1);
}

ScriptPoint ContainerScriptTarget::LinePoint(int line, int64_t index) {
  LONG x = 0, y = 0;
  if (FAILED(Inspection().LinePoint(line, static_cast<LONG>(std::min<int64_t>(index, 0x7FFFFFFF)), &x, &y)))
    throw ScriptError("no display line position @" + std::to_string(line) + ":" + std::to_string(index));
  return {static_cast<int>(x), static_cast<int>(y)};
}

int ContainerScriptTarget::TextBottom() {
  LONG bottom = 0;
  Inspection().TextBottom(&bottom);
  return static_cast<int>(bottom);
}

void ContainerScriptTarget::Finish(ScriptPoint last) {
  if (placed_ && buttonDown_) MouseUp(last);
}

// Clipboard and files -------------------------------------------------------------------------

void ContainerScriptTarget::ClipboardSet(const std::string& bytes) {
  EnsureControl();
  PutClipboardText(helper_, bytes);
}

void ContainerScriptTarget::ClipboardClear() {
  EnsureControl();
  EmptyTheClipboard(helper_);
}

std::optional<std::string> ContainerScriptTarget::ClipboardText() {
  return kestrix::ClipboardText(helper_);
}

std::string ContainerScriptTarget::SaveToStream(bool clearDirty) {
  IPersistStreamInit* persist = nullptr;
  IStream* stream = nullptr;
  HRESULT hr = container_->Control()->QueryInterface(IID_IPersistStreamInit,
                                                     reinterpret_cast<void**>(&persist));
  if (SUCCEEDED(hr)) hr = CreateStreamOnHGlobal(nullptr, TRUE, &stream);
  if (SUCCEEDED(hr)) hr = persist->Save(stream, clearDirty ? TRUE : FALSE);
  std::string bytes;
  if (SUCCEEDED(hr)) {
    LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    char buf[4096];
    ULONG got = 0;
    while (SUCCEEDED(stream->Read(buf, sizeof buf, &got)) && got > 0) bytes.append(buf, got);
  }
  if (stream) stream->Release();
  if (persist) persist->Release();
  if (FAILED(hr)) throw ScriptError("the control's IPersistStreamInit::Save failed");
  return bytes;
}

std::string ContainerScriptTarget::Save(const std::string& file) {
  EnsureControl();
  // The control's dirty flag is cleared only once the file is written.
  const std::string bytes = SaveToStream(false);
  std::string error;
  if (WriteFileDurably(file, bytes, &error) != 0) return "cannot save " + file + ": " + error;
  SaveToStream(true);
  return {};
}

std::vector<std::string> ContainerScriptTarget::Load(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    Place(nullptr);
    return {"cannot read " + file};
  }
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) throw ScriptError("no memory for " + file);
  stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
  LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  std::vector<std::string> problems;
  try {
    Place(stream);
  } catch (const ScriptError&) {
    // The control refused the document: the container places a new one, as a host would.
    problems.push_back("the control could not read " + file);
    Place(nullptr);
  }
  stream->Release();
  return problems;
}

void ContainerScriptTarget::Png(const std::string& file) {
  HWND window = ControlHwnd();
  Pump();
  std::string error;
  if (!WritePng(CaptureWindow(window), file, &error)) throw ScriptError(error);
}

// Observing -----------------------------------------------------------------------------------

std::string ContainerScriptTarget::Text() {
  EnsureControl();
  return GetByName(container_->Dispatch(), "Text").text;
}

int ContainerScriptTarget::LineCount() {
  LONG count = 0;
  Inspection().LineCount(&count);
  return static_cast<int>(count);
}

ScriptLine ContainerScriptTarget::Line(int n) {
  BSTR chars = nullptr;
  LONG direction = 0, left = 0, right = 0;
  BOOL highlighted = FALSE;
  if (FAILED(Inspection().Line(n, &chars, &direction, &highlighted, &left, &right)))
    throw ScriptError("no display line " + std::to_string(n));
  ScriptLine line;
  line.chars = CodePageFromWide(chars, SysStringLen(chars)).value_or("");
  SysFreeString(chars);
  line.direction = static_cast<int>(direction);
  line.highlighted = highlighted != FALSE;
  line.highlightLeft = static_cast<int>(left);
  line.highlightRight = static_cast<int>(right);
  return line;
}

ScriptCaret ContainerScriptTarget::Caret() {
  LONG line = 0, index = 0, offset = 0;
  Inspection().Caret(&line, &index, &offset);
  return {static_cast<int>(line), static_cast<int>(index)};
}

long ContainerScriptTarget::CaretOffset() {
  LONG line = 0, index = 0, offset = 0;
  Inspection().Caret(&line, &index, &offset);
  return offset;
}

ScriptSelection ContainerScriptTarget::Selection() {
  EnsureControl();
  return {static_cast<long>(GetByName(container_->Dispatch(), "SelStart").number),
          static_cast<long>(GetByName(container_->Dispatch(), "SelLength").number)};
}

ScriptVisible ContainerScriptTarget::Visible() {
  LONG first = 0, last = 0;
  Inspection().Visible(&first, &last);
  return {static_cast<int>(first), static_cast<int>(last)};
}

ScriptScrollBar ContainerScriptTarget::ScrollBar() {
  BOOL visible = FALSE, onLeft = FALSE;
  LONG position = 0, maximum = 0;
  Inspection().ScrollBar(&visible, &onLeft, &position, &maximum);
  return {visible != FALSE, onLeft != FALSE, position, maximum};
}

bool ContainerScriptTarget::Dirty() {
  EnsureControl();
  IPersistStreamInit* persist = nullptr;
  if (FAILED(container_->Control()->QueryInterface(IID_IPersistStreamInit,
                                                   reinterpret_cast<void**>(&persist))))
    return false;
  const bool dirty = persist->IsDirty() == S_OK;
  persist->Release();
  return dirty;
}

std::string ContainerScriptTarget::Cursor() {
  // The thread's cursor, as the control last set it while handling a message (the real pointer
  // stays away from the window, so the system does not choose one in between).
  EnsureControl();
  const HCURSOR cursor = GetCursor();
  if (!cursor) return "none";
  if (cursor == LoadCursorW(nullptr, IDC_IBEAM)) return "ibeam";
  if (cursor == LoadCursorW(nullptr, IDC_WAIT)) return "wait";
  if (cursor == LoadCursorW(nullptr, IDC_ARROW)) return "arrow";
  return "other";
}

std::optional<std::vector<ScriptMenuItem>> ContainerScriptTarget::LastMenu() { return lastMenu_; }

uint32_t ContainerScriptTarget::Pixel(int x, int y) {
  HWND window = ControlHwnd();
  Pump();
  const Picture picture = CaptureClient(window);
  if (x < 0 || y < 0 || x >= picture.width || y >= picture.height)
    throw ScriptError("no pixel " + std::to_string(x) + " " + std::to_string(y) + " in the window");
  return picture.At(x, y);
}

}  // namespace kestrix
