// The dispatch identities of the control's members, for hosts that call by number.
#pragma once

#include "../framework/WinTypes.h"

namespace kestrix {

// DISPIDs of the control's own members, in the order of its dispatch table.
enum KestrixDispid : DISPID {
  kDispMultiLines = 1,
  kDispMaxLength,
  kDispWordWrap,
  kDispModified,
  kDispStyle,
  kDispScrollBars,
  kDispHideSelection,
  kDispWantReturn,
  kDispReadingOrder,
  kDispReadOnly,
  kDispFontAr,
  kDispFontEn,
  kDispPasswordChar,
  kDispAlignment,
  kDispSelLength,
  kDispSelStart,
  kDispSelectAll,
  kDispClear,
  kDispSelText,
  kDispActivateEdit,
  kDispVisualCaret,
  kDispUndo,
  kDispRedo,
  kDispCanUndo,
  kDispCanRedo,
  kDispStandardEditing = 26,
};

inline constexpr DISPID DISPID_BACKCOLOR = -501;
inline constexpr DISPID DISPID_FORECOLOR = -513;
inline constexpr DISPID DISPID_TEXT = -517;
inline constexpr DISPID DISPID_REFRESH = -550;
inline constexpr DISPID DISPID_ABOUTBOX = -552;

}  // namespace kestrix
