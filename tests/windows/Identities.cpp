// The control's identities as its type library declares them, defined once for the tests.
#include <windows.h>
// Makes the header below define the identities it declares.
#include <initguid.h>

#include "KestrixIdl.h"

namespace kestrix {


}  // namespace kestrix
