// Makes the property page object the page's class factory hands out.
#pragma once

#include "framework/ole/ClassFactory.h"

namespace kestrix {

IUnknown* CreateKestrixPropPageObject(COleControlModule& module);

}  // namespace kestrix
