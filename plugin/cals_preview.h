// The preview object: hands every preview call of the host to the inner
// preview object that the host's preview provider supplies, and offers the
// tip of the day before a preview is drawn.
#pragma once

#include <windows.h>

#include "host_interfaces_h.h"
#include "mirotex_h.h"
#include "com/com_object.h"
#include "com/com_ptr.h"

class CCalsPreview : public CComObjectRootEx<CComSingleThreadModel>,
                     public ICalsPreview,
                     public IOrvFilePreview {
 public:
  CCalsPreview() = default;
  virtual ~CCalsPreview() = default;

  HRESULT InternalQueryInterface(REFIID iid, void** out);
  IUnknown* GetRawUnknown() { return static_cast<ICalsPreview*>(this); }

  // Not on any interface: the host side that owns the preview provider
  // calls it. The provider's CreatePreview hands over the inner preview;
  // its result is returned unchanged. A second call replaces the inner
  // preview.
  HRESULT Initialise(IOrvPreviewProvider* provider, LONG ownerValue, INT_PTR b, INT_PTR c, INT_PTR d,
                     bool tipDone);

  // IOrvFilePreview
  STDMETHODIMP PreviewOperation1(void* a1, void* a2, void* a3, LONG a4) override;
  STDMETHODIMP PreviewOperation2(void* a1, void* a2, LONG a3) override;
  STDMETHODIMP PreviewOperation3(void* a1, void* a2, LONG a3) override;
  STDMETHODIMP PreviewOperation4(void* a1, void* a2, LONG a3) override;
  STDMETHODIMP PreviewOperation5(void* a1, void* a2, LONG a3) override;
  STDMETHODIMP PreviewOperation6(void* a1, void* a2, LONG a3) override;
  STDMETHODIMP PreviewOperation7(void* a1, void* a2, LONG a3) override;
  STDMETHODIMP PreviewOperation8(void* a1, void* a2, LONG a3) override;
  STDMETHODIMP PreviewOperation9(void* a1, void* a2, LONG a3) override;

 private:
  using ForwardedOperation = HRESULT (STDMETHODCALLTYPE IOrvFilePreview::*)(void*, void*, LONG);
  HRESULT Forward(ForwardedOperation operation, void* a1, void* a2, LONG a3);

  // None until Initialise; every operation then answers E_UNEXPECTED.
  ComPtr<IOrvFilePreview> inner_;
  LONG ownerValue_ = 0;
  // An object that was never initialised never touches the registry.
  bool tipDone_ = true;
};
