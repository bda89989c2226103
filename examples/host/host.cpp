// A host that knows the control only by its name: it creates it through the registry, places
// it in a window of its own, writes its text, types into it, reads the text back and saves a
// picture of it. The control's headers keep their names in namespace kestrix, so a host
// written for X11 includes Xlib beside them: both name a Display.
//
//   c++ -std=c++20 host.cpp $(pkg-config --cflags --libs kestrix) -o host
#include <X11/Xlib.h>

#include <cstdio>
#include <string>
#include <type_traits>

#include <kestrix/control/Dispids.h>
#include <kestrix/framework/ole/HostedControl.h>
#include <kestrix/framework/ole/ObjectCreation.h>
#include <kestrix/framework/ole/Variant.h>
#include <kestrix/framework/window/Display.h>

namespace {

std::string Utf8(const char16_t* text, size_t length) {
  std::string out;
  for (size_t i = 0; i < length; ++i) {
    char32_t c = text[i];
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kestrix;
  // Xlib's connection type and the control's display live side by side.
  static_assert(!std::is_same_v<::Display, kestrix::Display>);
  kestrix::Display display(640, 120);
  CWnd form;
  form.CreateEx(0, WS_VISIBLE, CRect(0, 0, 640, 120), nullptr);

  IUnknown* control = nullptr;
  HRESULT hr = CreateObjectByName("KESTRIX.KestrixCtrl.1", IID_IUnknown,
                                  reinterpret_cast<void**>(&control));
  if (FAILED(hr)) {
    std::fprintf(stderr, "cannot create the control: %s\n", HResultText(hr).c_str());
    return 1;
  }
  IHostedControl* hosted = nullptr;
  IDispatch* dispatch = nullptr;
  control->QueryInterface(IID_IHostedControl, reinterpret_cast<void**>(&hosted));
  control->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
  hosted->InitNew();
  hosted->CreateControlWindow(form.GetSafeHwnd(), CRect(0, 0, 640, 120));

  // Text = "Hello, مرحبا" through automation.
  VARIANT text = MakeVariantBstr(u"Hello, \u0645\u0631\u062D\u0628\u0627");
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS args{&text, &put, 1, 1};
  dispatch->Invoke(DISPID_TEXT, IID_NULL, 0, DISPATCH_PROPERTYPUT, &args, nullptr, nullptr,
                   nullptr);
  VariantClear(&text);

  // A person presses End and types "!".
  HWND window = nullptr;
  hosted->GetWindow(&window);
  display.SetFocus(window);
  display.KeyDown(VK_END);
  display.KeyUp(VK_END);
  display.TypeText("!");

  VARIANT result;
  VariantInit(&result);
  DISPPARAMS none{};
  dispatch->Invoke(DISPID_TEXT, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                   nullptr);
  std::printf("Text = %s\n",
              Utf8(reinterpret_cast<const char16_t*>(result.bstrVal), SysStringLen(result.bstrVal))
                  .c_str());
  VariantClear(&result);
  if (argc > 1) display.WriteClientPng(window, argv[1]);

  dispatch->Release();
  hosted->Release();
  control->Release();
  CoFreeUnusedLibraries();
  return 0;
}
