// The standard font object that hosts hand to a control (font dispatch interface), and the
// holder through which a control keeps one and hears of its changes.
#pragma once

#include <memory>
#include <vector>

#include "framework/ole/OleTypes.h"

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

class FontObject {
 public:
  FontObject() = default;
  explicit FontObject(const FONTDESC& desc);

  // Reads, in the manner of the font interface (each returns 0 for success).
  long get_Name(BSTR* name) const;
  long get_Size(CY* size) const;
  long get_Bold(BOOL* bold) const;
  long get_Italic(BOOL* italic) const;
  long get_Underline(BOOL* underline) const;
  long get_Strikethrough(BOOL* strike) const;
  long get_Weight(short* weight) const;
  long get_Charset(short* charset) const;

  // Writes tell every bound sink.
  long put_Name(const BSTR& name);
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

  BSTR name_;
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
