#include "tests/host_doubles/preview_doubles.h"

#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "host_interfaces_h.h"
#include "tests/host_doubles/host_doubles.h"
#include "tests/host_doubles/simple_object.h"

namespace host_doubles {
namespace {

// Records every call with its arguments and returns the result the test
// chose. It is not freed when its count reaches 0, so that a test can
// still read the count and an extra Release shows as a negative count
// instead of a use after free.
class InnerPreview final : public SingleInterface<IOrvFilePreview> {
 public:
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(InterlockedDecrement(&refs_)); }

  STDMETHODIMP PreviewOperation1(void* a1, void* a2, void* a3, LONG a4) override {
    AppendLog(L"Preview.PreviewOperation1(" + PointerText(a1) + L"," + PointerText(a2) + L"," +
              PointerText(a3) + L"," + std::to_wstring(a4) + L")");
    RunPreviewCallback();
    return ResultOf(kHostDoublesPreviewOp1);
  }
  STDMETHODIMP PreviewOperation2(void* a1, void* a2, LONG a3) override { return Record(2, a1, a2, a3); }
  STDMETHODIMP PreviewOperation3(void* a1, void* a2, LONG a3) override { return Record(3, a1, a2, a3); }
  STDMETHODIMP PreviewOperation4(void* a1, void* a2, LONG a3) override { return Record(4, a1, a2, a3); }
  STDMETHODIMP PreviewOperation5(void* a1, void* a2, LONG a3) override { return Record(5, a1, a2, a3); }
  STDMETHODIMP PreviewOperation6(void* a1, void* a2, LONG a3) override { return Record(6, a1, a2, a3); }
  STDMETHODIMP PreviewOperation7(void* a1, void* a2, LONG a3) override { return Record(7, a1, a2, a3); }
  STDMETHODIMP PreviewOperation8(void* a1, void* a2, LONG a3) override { return Record(8, a1, a2, a3); }
  STDMETHODIMP PreviewOperation9(void* a1, void* a2, LONG a3) override { return Record(9, a1, a2, a3); }

  LONG refCount() const { return InterlockedCompareExchange(const_cast<LONG*>(&refs_), 0, 0); }

 private:
  HRESULT Record(int op, void* a1, void* a2, LONG a3) {
    AppendLog(L"Preview.PreviewOperation" + std::to_wstring(op) + L"(" + PointerText(a1) + L"," +
              PointerText(a2) + L"," + std::to_wstring(a3) + L")");
    RunPreviewCallback();
    return ResultOf(kHostDoublesPreviewOp1 + static_cast<DWORD>(op) - 1);
  }

  LONG refs_ = 0;
};

std::mutex g_innerLock;
std::vector<InnerPreview*> g_handedOut;  // since the last reset, in order
std::vector<InnerPreview*> g_forgotten;  // still referenced at a reset

class PreviewProvider final : public SimpleObject<IOrvPreviewProvider> {
 public:
  PreviewProvider() : SimpleObject(L"Provider") {}

  STDMETHODIMP ProviderOperation1() override { return E_NOTIMPL; }
  STDMETHODIMP ProviderOperation2() override { return E_NOTIMPL; }
  STDMETHODIMP ProviderOperation3() override { return E_NOTIMPL; }

  STDMETHODIMP CreatePreview(LONG ownerValue, INT_PTR b, INT_PTR c, INT_PTR d,
                             IOrvFilePreview** inner) override {
    AppendLog(L"Provider.CreatePreview(" + std::to_wstring(ownerValue) + L"," + std::to_wstring(b) +
              L"," + std::to_wstring(c) + L"," + std::to_wstring(d) + L")");
    if (inner == nullptr) return E_POINTER;
    *inner = nullptr;
    HRESULT hr = ResultOf(kHostDoublesProviderCreatePreview);
    if (FAILED(hr)) return hr;
    auto* preview = new (std::nothrow) InnerPreview();
    if (preview == nullptr) return E_OUTOFMEMORY;
    {
      std::lock_guard guard(g_innerLock);
      g_handedOut.push_back(preview);
    }
    preview->AddRef();
    *inner = preview;
    return hr;
  }
};

}  // namespace

HRESULT CreatePreviewProvider(IOrvPreviewProvider** provider) {
  if (provider == nullptr) return E_POINTER;
  *provider = nullptr;
  return CreateSimpleObject<PreviewProvider>(IID_IOrvPreviewProvider,
                                             reinterpret_cast<void**>(provider));
}

bool InnerPreviewRefCount(DWORD index, LONG& count) {
  std::lock_guard guard(g_innerLock);
  if (index >= g_handedOut.size()) return false;
  count = g_handedOut[index]->refCount();
  return true;
}

void ForgetInnerPreviews() {
  std::lock_guard guard(g_innerLock);
  for (InnerPreview* preview : g_handedOut) g_forgotten.push_back(preview);
  g_handedOut.clear();
  std::erase_if(g_forgotten, [](InnerPreview* preview) {
    if (preview->refCount() != 0) return false;  // still in use, or over-released
    delete preview;
    return true;
  });
}

}  // namespace host_doubles
