// The host's records, as the generated header declares them, with the
// layout the host relies on pinned down: the host hands the plug-in raw
// arrays of these and reads them back by offset.
#pragma once

#include <cstddef>

#include "host_interfaces_h.h"

static_assert(sizeof(BSTR) == 8 && sizeof(VARIANT) == 24 && sizeof(LONG) == 4 && sizeof(GUID) == 16,
              "the records are laid out for 64-bit Windows");

// One variable of GetVariables and SetVariables; 4 bytes of padding at 44.
static_assert(sizeof(VariableItem) == 48);
static_assert(alignof(VariableItem) == 8);
static_assert(offsetof(VariableItem, variableName) == 0);
static_assert(offsetof(VariableItem, sourceName) == 8);
static_assert(offsetof(VariableItem, variableValue) == 16);
static_assert(offsetof(VariableItem, resultFlag) == 40);

// One extension group, packed on 4-byte boundaries.
static_assert(sizeof(ExtensionGroup) == 28);
static_assert(alignof(ExtensionGroup) == 4);
static_assert(offsetof(ExtensionGroup, extensionList) == 0);
static_assert(offsetof(ExtensionGroup, groupKind) == 8);
static_assert(offsetof(ExtensionGroup, groupId) == 12);

// VariableItem::resultFlag: whether the plug-in handled the item.
inline constexpr LONG kItemHandled = 1;
inline constexpr LONG kItemNotHandled = 0;

inline constexpr LONG kExtensionGroupKind = 4;
inline constexpr LONG kCalsFormatCode = 264;
