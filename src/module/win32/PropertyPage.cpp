#include "module/win32/PropertyPage.h"

#include <cstring>
#include <new>
#include <string>

#include "module/win32/ModuleBridge.h"
#include "module/win32/ModuleHandle.h"

namespace win32host {
namespace {

// The page's check boxes and the boolean property each shows and sets.
struct FlagBox {
  unsigned box;
  const wchar_t* property;
};

std::vector<FlagBox> FlagBoxes() {
  const PageResources page = PropertyPageResources();
  return {{page.visualCaretBox, L"VisualCaret"}, {page.standardEditingBox, L"StandardEditing"}};
}

bool IsFlagBox(unsigned id) {
  for (const FlagBox& flag : FlagBoxes())
    if (flag.box == id) return true;
  return false;
}

DISPID DispidOf(IDispatch* object, const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return DISPID_UNKNOWN;
  return id;
}

// The object's boolean property, or nothing when it has none.
bool ReadFlag(IUnknown* object, const wchar_t* name, bool& value) {
  IDispatch* dispatch = nullptr;
  if (FAILED(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))) || !dispatch) return false;
  bool read = false;
  if (const DISPID id = DispidOf(dispatch, name); id != DISPID_UNKNOWN) {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    if (SUCCEEDED(dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                                   nullptr)) &&
        result.vt == VT_BOOL) {
      value = result.boolVal != VARIANT_FALSE;
      read = true;
    }
    VariantClear(&result);
  }
  dispatch->Release();
  return read;
}

void WriteFlag(IUnknown* object, const wchar_t* name, bool value) {
  IDispatch* dispatch = nullptr;
  if (FAILED(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))) || !dispatch) return;
  if (const DISPID id = DispidOf(dispatch, name); id != DISPID_UNKNOWN) {
    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_BOOL;
    arg.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS put{&arg, &named, 1, 1};
    dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &put, nullptr, nullptr, nullptr);
  }
  dispatch->Release();
}

// The template's size in pixels, as the dialog manager converts its dialog units with the
// template's font: a page window made out of sight and measured.
SIZE MeasurePage() {
  SIZE size{};
  if (HWND probe = CreateDialogParamW(ThisModule(),
                                      MAKEINTRESOURCEW(static_cast<WORD>(PropertyPageResources().dialog)),
                                      HWND_MESSAGE, nullptr, 0)) {
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

// A click on the check box makes the page dirty, and the frame is told so that it offers Apply.
INT_PTR CALLBACK PropertyPage::PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    return TRUE;
  }
  auto* page = reinterpret_cast<PropertyPage*>(GetWindowLongPtrW(window, DWLP_USER));
  if (page && message == WM_COMMAND && IsFlagBox(LOWORD(wParam)) &&
      HIWORD(wParam) == BN_CLICKED) {
    page->dirty_ = true;
    if (page->site_) page->site_->OnStatusChange(PROPPAGESTATUS_DIRTY);
    return TRUE;
  }
  return FALSE;
}

HWND PropertyPage::CreatePageWindow(HWND parent) {
  return CreateDialogParamW(ThisModule(),
                            MAKEINTRESOURCEW(static_cast<WORD>(PropertyPageResources().dialog)),
                            parent, &PageProc, reinterpret_cast<LPARAM>(this));
}

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
  for (const FlagBox& flag : FlagBoxes()) {
    bool value = false;
    if (!objects_.empty() && ReadFlag(objects_.front(), flag.property, value))
      CheckDlgButton(window_, static_cast<int>(flag.box), value ? BST_CHECKED : BST_UNCHECKED);
  }
  dirty_ = false;
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

HRESULT PropertyPage::IsPageDirty() { return dirty_ ? S_OK : S_FALSE; }

HRESULT PropertyPage::Apply() {
  if (!window_) return S_OK;
  for (const FlagBox& flag : FlagBoxes()) {
    const bool value = IsDlgButtonChecked(window_, static_cast<int>(flag.box)) == BST_CHECKED;
    for (IUnknown* object : objects_) WriteFlag(object, flag.property, value);
  }
  dirty_ = false;
  return S_OK;
}

// The page has no help file.
HRESULT PropertyPage::Help(LPCOLESTR) { return E_NOTIMPL; }

// Tab and the arrows move between the page's items.
HRESULT PropertyPage::TranslateAccelerator(MSG* msg) {
  if (!msg) return E_POINTER;
  return window_ && IsDialogMessageW(window_, msg) ? S_OK : S_FALSE;
}

}  // namespace win32host
