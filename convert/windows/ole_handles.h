// Owning wrappers for the OLE automation handles: BSTR and VARIANT.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "base/unique_handle.h"

struct BstrFreer {
  void operator()(BSTR text) const { SysFreeString(text); }
};
using UniqueBstr = UniqueHandle<BSTR, BstrFreer>;

class UniqueVariant {
 public:
  UniqueVariant() { VariantInit(&value_); }
  UniqueVariant(const UniqueVariant&) = delete;
  UniqueVariant& operator=(const UniqueVariant&) = delete;
  ~UniqueVariant() { VariantClear(&value_); }

  VARIANT* get() { return &value_; }
  const VARIANT* get() const { return &value_; }
  VARIANT& operator*() { return value_; }
  const VARIANT& operator*() const { return value_; }

 private:
  VARIANT value_;
};
