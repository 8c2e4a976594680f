#include "tools/calsvar/plugin/variable_items.h"

#include <new>

#include "convert/windows/ole_handles.h"

namespace calsvar {

VariableItems::~VariableItems() {
  for (VariableItem& item : items_) {
    SysFreeString(item.variableName);
    SysFreeString(item.sourceName);
    VariantClear(&item.variableValue);
  }
}

void VariableItems::Add(const std::wstring& name, VARIANT value) {
  UniqueBstr bstrName(SysAllocStringLen(name.data(), static_cast<UINT>(name.size())));
  UniqueBstr bstrSource(SysAllocString(L"CALS"));
  if (bstrName.get() == nullptr || bstrSource.get() == nullptr) {
    VariantClear(&value);
    throw std::bad_alloc();
  }
  VariableItem item{};
  item.variableName = bstrName.Release();
  item.sourceName = bstrSource.Release();
  item.variableValue = value;
  item.resultFlag = 0;
  try {
    items_.push_back(item);
  } catch (...) {
    SysFreeString(item.variableName);
    SysFreeString(item.sourceName);
    VariantClear(&item.variableValue);
    throw;
  }
}

std::wstring VariantText(const VARIANT& value) {
  if (value.vt == VT_BSTR) return value.bstrVal == nullptr ? std::wstring() : std::wstring(value.bstrVal, SysStringLen(value.bstrVal));
  UniqueVariant text;
  if (FAILED(VariantChangeType(text.get(), const_cast<VARIANT*>(&value), 0, VT_BSTR)) || (*text).bstrVal == nullptr) {
    return {};
  }
  return std::wstring((*text).bstrVal, SysStringLen((*text).bstrVal));
}

}  // namespace calsvar
