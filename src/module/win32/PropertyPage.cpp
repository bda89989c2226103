#include "module/win32/PropertyPage.h"

#include <cstring>
#include <new>
#include <string>

#include "module/win32/ModuleBridge.h"
#include "module/win32/ModuleHandle.h"

namespace win32host {
namespace {

// The page's items need no handling of their own: the dialog manager's defaults serve.
INT_PTR CALLBACK PageProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

HWND CreatePageWindow(HWND parent) {
  return CreateDialogParamW(ThisModule(),
                            MAKEINTRESOURCEW(static_cast<WORD>(PropertyPageResources().dialog)),
                            parent, &PageProc, 0);
}

// The template's size in pixels, as the dialog manager converts its dialog units with the
// template's font: a page window made out of sight and measured.
SIZE MeasurePage() {
  SIZE size{};
  if (HWND probe = CreatePageWindow(HWND_MESSAGE)) {
    RECT rect{};
    GetWindowRect(probe, &rect);
    size = {rect.right - rect.left, rect.bottom - rect.top};
    DestroyWindow(probe);
  }
  return size;
}

std::wstring Caption() {
  const wchar_t* text = nullptr;
  // Length 0 asks for a pointer into the resource itself, which is not terminated.
  const int length = LoadStringW(ThisModule(), PropertyPageResources().caption,
                                 reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

}  // namespace

PropertyPage* PropertyPage::Create() { return new (std::nothrow) PropertyPage(); }

PropertyPage::PropertyPage() { LockModule(true); }

PropertyPage::~PropertyPage() {
  Deactivate();
  ReleaseObjects();
  if (site_) site_->Release();
  LockModule(false);
}

HRESULT PropertyPage::SetPageSite(IPropertyPageSite* site) {
  if (site) site->AddRef();
  if (site_) site_->Release();
  site_ = site;
  return S_OK;
}

HRESULT PropertyPage::Activate(HWND parent, LPCRECT rect, BOOL) {
  if (!rect) return E_POINTER;
  if (window_) return E_UNEXPECTED;
  window_ = CreatePageWindow(parent);
  if (!window_) return E_FAIL;
  Move(rect);
  return S_OK;
}

HRESULT PropertyPage::Deactivate() {
  if (window_) DestroyWindow(window_);
  window_ = nullptr;
  return S_OK;
}

HRESULT PropertyPage::GetPageInfo(PROPPAGEINFO* info) {
  if (!info) return E_POINTER;
  if (size_.cx == 0) size_ = MeasurePage();
  if (size_.cx == 0) return E_FAIL;
  const std::wstring caption = Caption();
  const size_t bytes = (caption.size() + 1) * sizeof(wchar_t);
  // The frame frees the title.
  auto* title = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
  if (!title) return E_OUTOFMEMORY;
  std::memcpy(title, caption.c_str(), bytes);
  info->cb = sizeof *info;
  info->pszTitle = title;
  info->size = size_;
  info->pszDocString = nullptr;
  info->pszHelpFile = nullptr;
  info->dwHelpContext = 0;
  return S_OK;
}

HRESULT PropertyPage::SetObjects(ULONG count, IUnknown** objects) {
  if (count && !objects) return E_POINTER;
  ReleaseObjects();
  for (ULONG i = 0; i < count; ++i) {
    if (!objects[i]) continue;
    objects[i]->AddRef();
    objects_.push_back(objects[i]);
  }
  return S_OK;
}

void PropertyPage::ReleaseObjects() {
  for (IUnknown* object : objects_) object->Release();
  objects_.clear();
}

HRESULT PropertyPage::Show(UINT command) {
  if (!window_) return E_UNEXPECTED;
  ShowWindow(window_, static_cast<int>(command));
  return S_OK;
}

HRESULT PropertyPage::Move(LPCRECT rect) {
  if (!rect) return E_POINTER;
  if (!window_) return E_UNEXPECTED;
  MoveWindow(window_, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
             TRUE);
  return S_OK;
}

HRESULT PropertyPage::IsPageDirty() { return S_FALSE; }

HRESULT PropertyPage::Apply() { return S_OK; }

// The page has no help file.
HRESULT PropertyPage::Help(LPCOLESTR) { return E_NOTIMPL; }

// Tab and the arrows move between the page's items.
HRESULT PropertyPage::TranslateAccelerator(MSG* msg) {
  if (!msg) return E_POINTER;
  return window_ && IsDialogMessageW(window_, msg) ? S_OK : S_FALSE;
}

}  // namespace win32host
