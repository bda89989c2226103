// Identifiers of the module's resources.
#pragma once

#include "framework/WinTypes.h"

namespace kestrix {

// Strings.
inline constexpr UINT IDS_KESTRIX = 1;               // the control's user type name
inline constexpr UINT IDS_KESTRIX_PPG = 2;           // the property page's type name
inline constexpr UINT IDS_KESTRIX_PPG_CAPTION = 200;  // the property page's caption

// Dialogs.
inline constexpr UINT IDD_ABOUTBOX_KESTRIX = 1;
inline constexpr UINT IDD_PROPPAGE_KESTRIX = 200;

// The right-button menu and its commands.
inline constexpr UINT IDR_CONTEXT_MENU = 204;
inline constexpr UINT ID_EDIT_COPY = 32768;
inline constexpr UINT ID_EDIT_PASTE = 32769;

// Images.
inline constexpr UINT IDB_KESTRIX = 1;    // the toolbox bitmap, 16 x 15
inline constexpr UINT IDI_ABOUTDLL = 1;   // the control's icon, 32 x 32

// Items of the dialogs.
inline constexpr UINT IDC_ABOUT_OK = 1;
inline constexpr UINT IDC_VISUAL_CARET = 201;  // the property page's VisualCaret check box
inline constexpr UINT IDC_STANDARD_EDITING = 202;  // and its StandardEditing check box

}  // namespace kestrix
