#include "tests/host_doubles/tip_components.h"

#include <new>
#include <string>

#include "host_interfaces_h.h"
#include "tests/host_doubles/host_doubles.h"
#include "tests/host_doubles/simple_object.h"

namespace host_doubles {
namespace {

class TipText final : public SimpleObject<IOrvTipText> {
 public:
  TipText() : SimpleObject(L"TipText") {}

  STDMETHODIMP TipTextOperation1() override { return E_NOTIMPL; }
  STDMETHODIMP TipTextOperation2() override { return E_NOTIMPL; }
  STDMETHODIMP TipTextOperation3() override { return E_NOTIMPL; }
  STDMETHODIMP TipTextOperation4() override { return E_NOTIMPL; }
  STDMETHODIMP TipTextOperation6() override { return E_NOTIMPL; }

  STDMETHODIMP GetTipText(LONG tipNumber, BSTR* text) override {
    AppendLog(L"TipText.GetTipText(" + std::to_wstring(tipNumber) + L")");
    if (text == nullptr) return E_POINTER;
    *text = nullptr;
    HRESULT hr = ResultOf(kHostDoublesTipTextGetTipText);
    if (FAILED(hr)) return hr;
    bool failed = false;
    *text = NewTipText(tipNumber, failed);
    return failed ? E_OUTOFMEMORY : hr;
  }

  STDMETHODIMP SetSource(BSTR product, BSTR section) override {
    AppendLog(L"TipText.SetSource(" + QuoteBstr(product) + L"," + QuoteBstr(section) + L")");
    return ResultOf(kHostDoublesTipTextSetSource);
  }
};

class TipDialog final : public SimpleObject<IOrvTipDialog> {
 public:
  TipDialog() : SimpleObject(L"TipDialog") {}

  STDMETHODIMP TipDialogOperation1() override { return E_NOTIMPL; }
  STDMETHODIMP TipDialogOperation2() override { return E_NOTIMPL; }
  STDMETHODIMP TipDialogOperation3() override { return E_NOTIMPL; }
  STDMETHODIMP TipDialogOperation4() override { return E_NOTIMPL; }

  STDMETHODIMP ShowTip(LONG ownerValue, BSTR text, LONG style, LONG* result) override {
    AppendLog(L"TipDialog.ShowTip(" + std::to_wstring(ownerValue) + L"," + QuoteBstr(text) + L"," +
              std::to_wstring(style) + L")");
    if (result == nullptr) return E_POINTER;
    RunShowTipCallback();
    HRESULT hr = ResultOf(kHostDoublesTipDialogShowTip);
    if (SUCCEEDED(hr)) *result = DialogResult();
    return hr;
  }
};

class OptionalComponent final : public SimpleObject<IUnknown> {
 public:
  OptionalComponent() : SimpleObject(L"Optional") {}
};

}  // namespace

HRESULT CreateTipText(REFIID iid, void** out) { return CreateSimpleObject<TipText>(iid, out); }
HRESULT CreateTipDialog(REFIID iid, void** out) { return CreateSimpleObject<TipDialog>(iid, out); }
HRESULT CreateOptionalComponent(REFIID iid, void** out) {
  return CreateSimpleObject<OptionalComponent>(iid, out);
}

}  // namespace host_doubles
