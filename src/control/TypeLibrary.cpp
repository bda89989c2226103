#include "control/TypeLibrary.h"

#include "control/Guids.h"

namespace kestrix {

namespace {

MemberDesc Property(DISPID id, const char* name, VARTYPE vt, const char* idl) {
  return {id, name, MemberKind::Property, vt, idl, {}};
}

MemberDesc ReadOnlyProperty(DISPID id, const char* name, VARTYPE vt, const char* idl) {
  return {id, name, MemberKind::Property, vt, idl, {}, true};
}

MemberDesc Method(DISPID id, const char* name, VARTYPE vt, const char* idl,
                  std::vector<ParamDesc> params = {}) {
  return {id, name, MemberKind::Method, vt, idl, std::move(params)};
}

TypeLibDesc Build() {
  TypeDesc control{"_DKestrix",
                   TypeKind::Dispatch,
                   IID_DKestrix,
                   "Dispatch interface for Kestrix Control",
                   TYPEFLAG_FHIDDEN | TYPEFLAG_FDISPATCHABLE,
                   {
                       Property(kDispMultiLines, "MultiLines", VT_BOOL, "VARIANT_BOOL"),
                       Property(kDispMaxLength, "MaxLength", VT_I4, "long"),
                       Property(kDispWordWrap, "WordWrap", VT_BOOL, "VARIANT_BOOL"),
                       Property(kDispModified, "Modified", VT_BOOL, "VARIANT_BOOL"),
                       Property(kDispStyle, "Style", VT_I2, "short"),
                       Property(kDispScrollBars, "ScrollBars", VT_I2, "short"),
                       Property(kDispHideSelection, "HideSelection", VT_BOOL, "VARIANT_BOOL"),
                       Property(kDispWantReturn, "WantReturn", VT_BOOL, "VARIANT_BOOL"),
                       Property(kDispReadingOrder, "ReadingOrder", VT_I2, "short"),
                       Property(kDispReadOnly, "ReadOnly", VT_BOOL, "VARIANT_BOOL"),
                       Property(kDispFontAr, "FontAr", VT_DISPATCH, "IFontDisp*"),
                       Property(kDispFontEn, "FontEn", VT_DISPATCH, "IFontDisp*"),
                       Property(kDispPasswordChar, "PasswordChar", VT_I2, "short"),
                       Property(kDispAlignment, "Alignment", VT_I2, "short"),
                       Property(kDispSelLength, "SelLength", VT_I4, "long"),
                       Property(kDispSelStart, "SelStart", VT_I4, "long"),
                       Method(kDispSelectAll, "SelectAll", VT_EMPTY, "void"),
                       Method(kDispClear, "Clear", VT_EMPTY, "void"),
                       Method(kDispSelText, "SelText", VT_BSTR, "BSTR"),
                       Method(kDispActivateEdit, "ActivateEdit", VT_BOOL, "VARIANT_BOOL",
                              {{"lpKey", VT_BSTR, "BSTR"}, {"lpStr", VT_BSTR, "BSTR"}}),
                       Property(kDispVisualCaret, "VisualCaret", VT_BOOL, "VARIANT_BOOL"),
                       Method(kDispUndo, "Undo", VT_EMPTY, "void"),
                       Method(kDispRedo, "Redo", VT_EMPTY, "void"),
                       ReadOnlyProperty(kDispCanUndo, "CanUndo", VT_BOOL, "VARIANT_BOOL"),
                       ReadOnlyProperty(kDispCanRedo, "CanRedo", VT_BOOL, "VARIANT_BOOL"),
                       Property(kDispStandardEditing, "StandardEditing", VT_BOOL, "VARIANT_BOOL"),
                       Property(DISPID_BACKCOLOR, "BackColor", VT_I4, "OLE_COLOR"),
                       Property(DISPID_FORECOLOR, "ForeColor", VT_I4, "OLE_COLOR"),
                       Property(DISPID_TEXT, "Text", VT_BSTR, "BSTR"),
                       Method(DISPID_REFRESH, "Refresh", VT_EMPTY, "void"),
                       Method(DISPID_ABOUTBOX, "AboutBox", VT_EMPTY, "void"),
                   },
                   {}};
  const VARTYPE byRefShort = VT_BYREF | VT_I2;
  TypeDesc events{"_DKestrixEvents",
                  TypeKind::Dispatch,
                  IID_DKestrixEvents,
                  "Event interface for Kestrix Control",
                  TYPEFLAG_FDISPATCHABLE,
                  {
                      Method(DISPID_CLICK, "Click", VT_EMPTY, "void"),
                      Method(DISPID_DBLCLICK, "DblClick", VT_EMPTY, "void"),
                      Method(DISPID_KEYDOWN, "KeyDown", VT_EMPTY, "void",
                             {{"KeyCode", byRefShort, "short*"}, {"Shift", VT_I2, "short"}}),
                      Method(DISPID_KEYPRESS, "KeyPress", VT_EMPTY, "void",
                             {{"KeyAscii", byRefShort, "short*"}}),
                      Method(DISPID_KEYUP, "KeyUp", VT_EMPTY, "void",
                             {{"KeyCode", byRefShort, "short*"}, {"Shift", VT_I2, "short"}}),
                      Method(DISPID_MOUSEMOVE, "MouseMove", VT_EMPTY, "void",
                             {{"Button", VT_I2, "short"},
                              {"Shift", VT_I2, "short"},
                              {"x", VT_I4, "OLE_XPOS_PIXELS"},
                              {"y", VT_I4, "OLE_YPOS_PIXELS"}}),
                      // The event itself carries the ready state; the library lists none.
                      Method(DISPID_READYSTATECHANGE, "ReadyStateChange", VT_EMPTY, "void"),
                  },
                  {}};
  TypeDesc coclass{"Kestrix",
                   TypeKind::CoClass,
                   CLSID_Kestrix,
                   "Kestrix Control",
                   TYPEFLAG_FCANCREATE | TYPEFLAG_FCONTROL,
                   {},
                   {{"_DKestrix", true, false}, {"_DKestrixEvents", true, true}}};
  return {"KESTRIXLib",
          LIBID_KESTRIXLib,
          1,
          0,
          0x0409,
          "Velor ActiveX Control module",
          "Kestrix.hlp",
          {"STDOLE2.TLB", "olepro32.dll"},
          {std::move(control), std::move(events), std::move(coclass)}};
}

}  // namespace

const TypeLibDesc& KestrixTypeLibrary() {
  static const TypeLibDesc kLibrary = Build();
  return kLibrary;
}

const TypeDesc& KestrixDispatchType() { return KestrixTypeLibrary().types[0]; }

const TypeDesc& KestrixEventsType() { return KestrixTypeLibrary().types[1]; }

}  // namespace kestrix
