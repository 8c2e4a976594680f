// Defines the host's class and group identifiers that the generated header
// only declares.
#include <windows.h>
#include <initguid.h>

#include "host_interfaces_h.h"
