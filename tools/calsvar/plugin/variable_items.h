// An array of the host's VariableItem records that owns its strings and
// values, as the host owns the arrays it passes to the plug-in.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "host_interfaces_h.h"

namespace calsvar {

class VariableItems {
 public:
  VariableItems() = default;
  VariableItems(const VariableItems&) = delete;
  VariableItems& operator=(const VariableItems&) = delete;
  ~VariableItems();

  // A "CALS" item; the value takes over `value` (VT_EMPTY for reading).
  // Throws std::bad_alloc when a string cannot be allocated.
  void Add(const std::wstring& name, VARIANT value);

  LONG count() const { return static_cast<LONG>(items_.size()); }
  VariableItem* data() { return items_.data(); }
  const VariableItem& operator[](std::size_t i) const { return items_[i]; }

 private:
  std::vector<VariableItem> items_;
};

// A value as text; empty when it has no string form.
std::wstring VariantText(const VARIANT& value);

}  // namespace calsvar
