// The CALS format as the host sees it: its description and extensions, its
// extension groups, and the factory for opened files. Any thread may call
// it: it aggregates the free-threaded marshaler and has no mutable state of
// its own.
#pragma once

#include <windows.h>
#include <objbase.h>

#include "host_interfaces_h.h"
#include "mirotex_h.h"
#include "com/com_object.h"
#include "com/com_ptr.h"

class CCalsFormat : public CComObjectRootEx<CComMultiThreadModel>,
                    public ICalsFormat,
                    public IOrvFileFormat,
                    public IOrvFileFormat2 {
 public:
  HRESULT FinalConstruct();
  void FinalRelease();

  HRESULT InternalQueryInterface(REFIID iid, void** out) noexcept;
  IUnknown* GetRawUnknown() { return static_cast<ICalsFormat*>(this); }

  // IOrvFileFormat
  STDMETHODIMP GetDescription(BSTR* name, BSTR* description, BSTR* extensions) noexcept override;
  STDMETHODIMP GetFormatCode(BSTR extension, LONG* code) noexcept override;
  STDMETHODIMP OpenFile(BSTR path, LONG flags, IOrvFileNavigator** result) noexcept override;
  STDMETHODIMP FormatOperation4() noexcept override;
  STDMETHODIMP FormatOperation5(LONG a1, void* a2) noexcept override;

  // IOrvFileFormat2
  STDMETHODIMP GetExtensionGroups(LONG* count, ExtensionGroup** groups) noexcept override;

 private:
  HRESULT OpenFileBody(BSTR path, IOrvFileNavigator** result);
  HRESULT GetExtensionGroupsBody(LONG* count, ExtensionGroup** groups);

  // Inner unknown of the free-threaded marshaler, aggregated with this
  // object's controlling unknown; answers IMarshal.
  ComPtr<IUnknown> marshaler_;
};
