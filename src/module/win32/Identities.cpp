// The type library's identities, defined once for the module from the header the IDL
// compiler writes, so that they are the library's by construction.
#include <windows.h>
// Makes the header below define the identities it declares.
#include <initguid.h>

#include "KestrixIdl.h"
