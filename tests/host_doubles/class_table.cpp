#include "tests/host_doubles/class_table.h"

#include <iterator>
#include <string>

#include "host_interfaces_h.h"
#include "tests/host_doubles/doubles_state.h"
#include "tests/host_doubles/host_doubles.h"
#include "tests/host_doubles/simple_object.h"
#include "tests/host_doubles/tip_components.h"

namespace host_doubles {
namespace {

const DoubleClass kClasses[] = {
    {&CLSID_OrvTipText, kHostDoublesTipText, L"TipText", kHostDoublesTipTextCreate, CreateTipText},
    {&CLSID_OrvTipDialog, kHostDoublesTipDialog, L"TipDialog", kHostDoublesTipDialogCreate,
     CreateTipDialog},
    {&CLSID_OrvOptionalComponent, kHostDoublesOptional, L"Optional", kHostDoublesOptionalCreate,
     CreateOptionalComponent},
};

LONG g_serverLocks = 0;

// One static class object per class; it lives as long as the DLL, so its
// reference count only matters for the unload test.
class ClassObject final : public SingleInterface<IClassFactory> {
 public:
  explicit ClassObject(const DoubleClass& entry) : entry_(entry) {}

  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&g_serverLocks)); }
  STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(InterlockedDecrement(&g_serverLocks)); }

  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    AppendLog(std::wstring(entry_.name) + L".Create");
    HRESULT hr = ResultOf(entry_.createOperation);
    if (FAILED(hr)) return hr;
    return entry_.create(iid, out);
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    if (lock) {
      InterlockedIncrement(&g_serverLocks);
    } else {
      InterlockedDecrement(&g_serverLocks);
    }
    return S_OK;
  }

 private:
  const DoubleClass& entry_;
};

ClassObject g_classObjects[] = {ClassObject(kClasses[0]), ClassObject(kClasses[1]),
                                ClassObject(kClasses[2])};
static_assert(std::size(g_classObjects) == std::size(kClasses));

}  // namespace

const DoubleClass* FindClass(REFCLSID clsid) {
  for (const DoubleClass& entry : kClasses) {
    if (IsEqualCLSID(*entry.clsid, clsid)) return &entry;
  }
  return nullptr;
}

const DoubleClass* ClassesBegin() { return std::begin(kClasses); }
const DoubleClass* ClassesEnd() { return std::end(kClasses); }

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  const DoubleClass* entry = FindClass(clsid);
  if (entry == nullptr) return CLASS_E_CLASSNOTAVAILABLE;
  return g_classObjects[entry - kClasses].QueryInterface(iid, out);
}

LONG OutstandingReferences() {
  return LiveObjects() + InterlockedCompareExchange(&g_serverLocks, 0, 0);
}

}  // namespace host_doubles
