// The control's identities as its type library declares them, defined once for the tests.
#include <windows.h>
#include <initguid.h>

#include "KestrixIdl.h"
