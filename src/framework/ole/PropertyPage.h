// A property page as its frame holds it: it tells its caption and size, shows itself inside
// the frame's window, and is given the objects whose properties it edits.
#pragma once

#include <string>

#include "ObjectModel.h"
#include "../window/CWnd.h"

namespace kestrix {

inline constexpr IID IID_IPropertyPage = {0xB196B28D, 0xBAB4, 0x101A,
                                          {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};

struct PROPPAGEINFO {
  std::string title;
  SIZE size{};  // pixels
  std::string docString;
  std::string helpFile;
};

class IPropertyPage : public IUnknown {
 public:
  virtual HRESULT GetPageInfo(PROPPAGEINFO* info) = 0;
  // Creates the page's window as a child of parent at rect; modal when the frame is.
  virtual HRESULT Activate(HWND parent, const RECT* rect, BOOL modal) = 0;
  virtual HRESULT Deactivate() = 0;
  virtual HRESULT SetObjects(ULONG count, IUnknown** objects) = 0;
  virtual HRESULT Show(UINT cmdShow) = 0;
  virtual HRESULT Move(const RECT* rect) = 0;
  // S_OK when the page holds changes not yet applied, else S_FALSE.
  virtual HRESULT IsPageDirty() = 0;
  virtual HRESULT Apply() = 0;

 protected:
  ~IPropertyPage() = default;
};

}  // namespace kestrix
