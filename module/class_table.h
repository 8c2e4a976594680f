// The module's creatable classes, in registration order, ended by an entry
// whose CLSID is null. The entries cache their class objects.
#pragma once

#include "com/com_module.h"

extern ClassTableEntry g_classTable[];
