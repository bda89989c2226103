// Identities of the control's type library, class and interfaces. Chosen once; registration
// and the type library use these same values, so they never change.
#pragma once

#include "../framework/ole/OleTypes.h"

namespace kestrix {

inline constexpr GUID LIBID_KESTRIXLib = {
    0x5B1E2C6F, 0x3A41, 0x4F0E, {0x9C, 0x21, 0x6A, 0x0D, 0x47, 0x11, 0xB2, 0x01}};
inline constexpr IID IID_DKestrix = {
    0x5B1E2C70, 0x3A41, 0x4F0E, {0x9C, 0x21, 0x6A, 0x0D, 0x47, 0x11, 0xB2, 0x01}};
inline constexpr IID IID_DKestrixEvents = {
    0x5B1E2C71, 0x3A41, 0x4F0E, {0x9C, 0x21, 0x6A, 0x0D, 0x47, 0x11, 0xB2, 0x01}};
inline constexpr CLSID CLSID_Kestrix = {
    0x5B1E2C72, 0x3A41, 0x4F0E, {0x9C, 0x21, 0x6A, 0x0D, 0x47, 0x11, 0xB2, 0x01}};
// OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
// OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST
inline constexpr DWORD kKestrixMiscStatus = 0x20191;
inline constexpr CLSID CLSID_KestrixPropPage = {
    0x5B1E2C73, 0x3A41, 0x4F0E, {0x9C, 0x21, 0x6A, 0x0D, 0x47, 0x11, 0xB2, 0x01}};
// Not an interface: asks a control for the C++ object behind it. Only a host built from the
// same sources as the module may use the answer.
inline constexpr IID IID_KestrixControlObject = {
    0x5B1E2C74, 0x3A41, 0x4F0E, {0x9C, 0x21, 0x6A, 0x0D, 0x47, 0x11, 0xB2, 0x01}};

}  // namespace kestrix
