// The host's records, as the generated header declares them, with the
// layout the host relies on pinned down.
#pragma once

#include <cstddef>

#include "host_interfaces_h.h"

static_assert(sizeof(VariableItem) == 48);
static_assert(offsetof(VariableItem, variableName) == 0);
static_assert(offsetof(VariableItem, sourceName) == 8);
static_assert(offsetof(VariableItem, variableValue) == 16);
static_assert(offsetof(VariableItem, resultFlag) == 40);

static_assert(sizeof(ExtensionGroup) == 28);
static_assert(alignof(ExtensionGroup) == 4);
static_assert(offsetof(ExtensionGroup, extensionList) == 0);
static_assert(offsetof(ExtensionGroup, groupKind) == 8);
static_assert(offsetof(ExtensionGroup, groupId) == 12);

inline constexpr LONG kExtensionGroupKind = 4;
inline constexpr LONG kCalsFormatCode = 264;
