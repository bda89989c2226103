// The standard font object that hosts hand to a control (font dispatch interface), and the
// holder through which a control keeps one and hears of its changes.
#pragma once

#include <memory>
#include <vector>

#include "DispatchEngine.h"
#include "OleTypes.h"
#include "Unknown.h"

namespace kestrix {

struct FONTDESC {
  UINT cbSizeofstruct = 32;
  const wchar_t* lpstrName = nullptr;
  CY cySize = 0;  // points × 10000
  short sWeight = 400;
  short sCharset = 1;
  BOOL fItalic = FALSE;
  BOOL fUnderline = FALSE;
  BOOL fStrikethrough = FALSE;
};

class FontObject;

class FontNotifySink {
 public:
  virtual ~FontNotifySink() = default;
  virtual void OnFontObjectChanged(FontObject* font) = 0;
};

// Standard DISPIDs of the font object's properties.
inline constexpr DISPID DISPID_FONT_NAME = 0;
inline constexpr DISPID DISPID_FONT_SIZE = 2;
inline constexpr DISPID DISPID_FONT_BOLD = 3;
inline constexpr DISPID DISPID_FONT_ITALIC = 4;
inline constexpr DISPID DISPID_FONT_UNDER = 5;
inline constexpr DISPID DISPID_FONT_STRIKE = 6;
inline constexpr DISPID DISPID_FONT_WEIGHT = 7;
inline constexpr DISPID DISPID_FONT_CHARSET = 8;

// A font is also its own dispatch object (IID_IFontDisp). A font held through a shared_ptr
// stays alive while a host holds a reference to it; one with automatic storage must outlive
// the references handed out.
class FontObject
    : public com::Object<com::SharedCounted<FontObject>,
                         com::Answer<IDispatch, IID_IUnknown, IID_IDispatch, IID_IFontDisp>>,
      private DispatchTarget {
 public:
  FontObject() = default;
  explicit FontObject(const FONTDESC& desc);
  FontObject(const FontObject& other);
  FontObject& operator=(const FontObject&) = delete;
  virtual ~FontObject() = default;

  // IDispatch.
  HRESULT GetTypeInfoCount(UINT* count) override;
  HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                        DISPID* dispids) override;
  HRESULT Invoke(DISPID member, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                 VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) override;
  // The members the font offers through dispatch.
  static const TypeDesc& DispatchType();
  // The font behind a dispatch pointer, or null when it is no font of ours.
  static FontObject* FromDispatch(IDispatch* object);

  // Reads, in the manner of the font interface (each returns 0 for success).
  long get_Name(WideString* name) const;
  long get_Size(CY* size) const;
  long get_Bold(BOOL* bold) const;
  long get_Italic(BOOL* italic) const;
  long get_Underline(BOOL* underline) const;
  long get_Strikethrough(BOOL* strike) const;
  long get_Weight(short* weight) const;
  long get_Charset(short* charset) const;

  // Writes tell every bound sink.
  long put_Name(const WideString& name);
  long put_Size(CY size);
  long put_Bold(BOOL bold);  // weight 700 or 400
  long put_Italic(BOOL italic);
  long put_Underline(BOOL underline);
  long put_Strikethrough(BOOL strike);
  long put_Weight(short weight);
  long put_Charset(short charset);

  std::shared_ptr<FontObject> Clone() const;
  void Advise(FontNotifySink* sink);
  void Unadvise(FontNotifySink* sink);
  bool IsEqual(const FontObject& other) const;

 private:
  void Notify();
  HRESULT GetProperty(DISPID dispid, VARIANT* result) override;
  HRESULT PutProperty(DISPID dispid, const VARIANT& value) override;
  HRESULT CallMethod(DISPID dispid, VARIANT* args, VARIANT* result) override;

  WideString name_;
  CY size_ = 120000;
  short weight_ = 400;
  short charset_ = 1;
  BOOL italic_ = FALSE;
  BOOL underline_ = FALSE;
  BOOL strikethrough_ = FALSE;
  std::vector<FontNotifySink*> sinks_;
};

using IFontDisp = FontObject;
using LPFONTDISP = FontObject*;

class CFontHolder {
 public:
  explicit CFontHolder(FontNotifySink* sink);
  ~CFontHolder();
  CFontHolder(const CFontHolder&) = delete;
  CFontHolder& operator=(const CFontHolder&) = delete;

  // Takes a copy of fontDisp when given; otherwise a font from desc, otherwise the stock
  // default. The held font reports its changes to the sink.
  void InitializeFont(const FONTDESC* desc = nullptr, LPFONTDISP fontDisp = nullptr);
  // The held font (owned by the holder), or null before InitializeFont.
  LPFONTDISP GetFontDispatch() const { return font_.get(); }
  void ReleaseFont();

 private:
  FontNotifySink* sink_;
  std::shared_ptr<FontObject> font_;
};

}  // namespace kestrix
