// One opened CALS file as the host sees it: the host's navigator interface
// over the header of that file. The host reads and writes header fields as
// variables and saves them back; everything else on the interface is a
// placeholder with a fixed answer.
#pragma once

#include <windows.h>
#include <objbase.h>

#include "cals/cals_header.h"
#include "host_interfaces_h.h"
#include "mirotex_h.h"
#include "com/com_object.h"

class CCalsFile : public CComObjectRootEx<CComSingleThreadModel>,
                  public ICalsFile,
                  public IOrvFileNavigator {
 public:
  CCalsFile();

  HRESULT InternalQueryInterface(REFIID iid, void** out) noexcept;
  IUnknown* GetRawUnknown() { return static_cast<ICalsFile*>(this); }

  // Reads the header of `path` (null counts as empty) into this object's tag
  // model. Called once, right after creation, by the format object, inside
  // that call's exception boundary.
  HRESULT LoadHeader(const wchar_t* path);

  // IOrvFileNavigator: the three working operations.
  STDMETHODIMP SetVariables(LONG reserved1, LONG stopAfterFirst, LONG reserved3, LONG count,
                            VariableItem* items, LONG dateStyle) noexcept override;
  STDMETHODIMP GetVariables(LONG reserved1, LONG stopAfterFirst, LONG reserved3, LONG count,
                            VariableItem* items) noexcept override;
  STDMETHODIMP Save() noexcept override;

  // IOrvFileNavigator: placeholders. They check their pointer arguments
  // (E_POINTER) and otherwise answer E_NOTIMPL, or S_OK for 17 and 18.
  STDMETHODIMP NavigatorOperation1(LONG a1, void* a2, void* a3) noexcept override;
  STDMETHODIMP NavigatorOperation2() noexcept override;
  STDMETHODIMP NavigatorOperation3(void* a1) noexcept override;
  STDMETHODIMP NavigatorOperation4(void* a1, void* a2, void* a3, void* a4, void* a5) noexcept override;
  STDMETHODIMP NavigatorOperation5(LONG a1, LONG a2, void* a3, void* a4) noexcept override;
  STDMETHODIMP NavigatorOperation6(LONG a1, LONG a2, void* a3, void* a4) noexcept override;
  STDMETHODIMP NavigatorOperation9(void* a1, void* a2) noexcept override;
  STDMETHODIMP NavigatorOperation10(LONG a1, LONG a2, void* a3) noexcept override;
  STDMETHODIMP NavigatorOperation11(LONG a1, void* a2, void* a3) noexcept override;
  STDMETHODIMP NavigatorOperation12() noexcept override;
  STDMETHODIMP NavigatorOperation14(void* a1) noexcept override;
  STDMETHODIMP NavigatorOperation15(LONG a1, LONG a2, LONG a3, void* a4, void* a5) noexcept override;
  STDMETHODIMP NavigatorOperation16() noexcept override;
  STDMETHODIMP NavigatorOperation17() noexcept override;
  STDMETHODIMP NavigatorOperation18() noexcept override;
  STDMETHODIMP NavigatorOperation19() noexcept override;
  STDMETHODIMP NavigatorOperation20() noexcept override;

 private:
  HRESULT GetVariablesBody(LONG stopAfterFirst, LONG count, VariableItem* items);
  HRESULT SetVariablesBody(LONG stopAfterFirst, LONG count, VariableItem* items, LONG dateStyle);

  cals::CalsHeader header_;
};
