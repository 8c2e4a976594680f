#include <gtest/gtest.h>

#include "module/com_object.h"
#include "mirotex_h.h"

namespace {

class Dummy : public CComObjectRootEx<CComSingleThreadModel>, public ICalsFile {
 public:
  HRESULT InternalQueryInterface(REFIID iid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ICalsFile)) {
      *out = static_cast<ICalsFile*>(this);
      static_cast<ICalsFile*>(this)->AddRef();
      return S_OK;
    }
    return E_NOINTERFACE;
  }
  IUnknown* GetRawUnknown() { return static_cast<ICalsFile*>(this); }
};

}  // namespace

TEST(ComObjectSmoke, PlainObjectLocksModuleForItsLifetime) {
  LONG before = g_module.GetLockCount();
  IUnknown* unknown = nullptr;
  ASSERT_EQ(S_OK, CreateClassInstance<Dummy>(nullptr, IID_IUnknown, reinterpret_cast<void**>(&unknown)));
  EXPECT_EQ(before + 1, g_module.GetLockCount());
  EXPECT_EQ(0u, unknown->Release());
  EXPECT_EQ(before, g_module.GetLockCount());
}
