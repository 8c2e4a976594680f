#include "plugin/cals_preview.h"

#include <utility>

#include "com/com_boundary.h"
#include "plugin/result_codes.h"
#include "plugin/tip_of_the_day.h"

namespace {

// The host's request code that this plug-in does not serve.
constexpr LONG kDeclinedRequest = 1;
// The only tip this plug-in offers.
constexpr LONG kPreviewTipNumber = 1;

}  // namespace

HRESULT CCalsPreview::InternalQueryInterface(REFIID iid, void** out) {
  return QueryListedInterface<ICalsPreview, IOrvFilePreview>(this, iid, out);
}

HRESULT CCalsPreview::Initialise(IOrvPreviewProvider* provider, LONG ownerValue, INT_PTR b, INT_PTR c,
                                 INT_PTR d, bool tipDone) {
  if (provider == nullptr) return E_POINTER;
  tipDone_ = tipDone;
  ownerValue_ = ownerValue;
  // Received into a fresh pointer so that an inner preview from an earlier
  // call is released rather than overwritten.
  ComPtr<IOrvFilePreview> handedOver;
  HRESULT hr = provider->CreatePreview(ownerValue_, b, c, d, handedOver.put());
  inner_ = std::move(handedOver);
  return hr;
}

STDMETHODIMP CCalsPreview::PreviewOperation1(void* a1, void* a2, void* a3, LONG a4) {
  return ComBoundary([&]() -> HRESULT {
    if (a4 == kDeclinedRequest) return MIROTEX_E_PREVIEW_DECLINED;
    if (!inner_) return E_UNEXPECTED;
    // The tip's dialog may run a message loop in which the host lets go of
    // this object; the inner preview must outlive the call regardless.
    ComPtr<IOrvFilePreview> inner = inner_;
    if (!tipDone_) ShowTipOnce(ownerValue_, kPreviewTipNumber);
    return inner->PreviewOperation1(a1, a2, a3, a4);
  });
}

HRESULT CCalsPreview::Forward(ForwardedOperation operation, void* a1, void* a2, LONG a3) {
  return ComBoundary([&]() -> HRESULT {
    if (!inner_) return E_UNEXPECTED;
    return (inner_.get()->*operation)(a1, a2, a3);
  });
}

STDMETHODIMP CCalsPreview::PreviewOperation2(void* a1, void* a2, LONG a3) {
  return Forward(&IOrvFilePreview::PreviewOperation2, a1, a2, a3);
}
STDMETHODIMP CCalsPreview::PreviewOperation3(void* a1, void* a2, LONG a3) {
  return Forward(&IOrvFilePreview::PreviewOperation3, a1, a2, a3);
}
STDMETHODIMP CCalsPreview::PreviewOperation4(void* a1, void* a2, LONG a3) {
  return Forward(&IOrvFilePreview::PreviewOperation4, a1, a2, a3);
}
STDMETHODIMP CCalsPreview::PreviewOperation5(void* a1, void* a2, LONG a3) {
  return Forward(&IOrvFilePreview::PreviewOperation5, a1, a2, a3);
}
STDMETHODIMP CCalsPreview::PreviewOperation6(void* a1, void* a2, LONG a3) {
  return Forward(&IOrvFilePreview::PreviewOperation6, a1, a2, a3);
}
STDMETHODIMP CCalsPreview::PreviewOperation7(void* a1, void* a2, LONG a3) {
  return Forward(&IOrvFilePreview::PreviewOperation7, a1, a2, a3);
}
STDMETHODIMP CCalsPreview::PreviewOperation8(void* a1, void* a2, LONG a3) {
  return Forward(&IOrvFilePreview::PreviewOperation8, a1, a2, a3);
}
STDMETHODIMP CCalsPreview::PreviewOperation9(void* a1, void* a2, LONG a3) {
  return Forward(&IOrvFilePreview::PreviewOperation9, a1, a2, a3);
}
