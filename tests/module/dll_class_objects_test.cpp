// The class objects and the unload test of the built DLL, through its
// exports: caching, aggregation rules, module locks, interfaces.
#include <gtest/gtest.h>

#include "com/com_ptr.h"
#include "tests/module/class_cases.h"
#include "tests/module/loaded_module.h"

namespace {

using module_test::ClassCase;
using module_test::LoadedModule;
using module_test::Poison;

// A controlling object for aggregation tests: counts its references and
// answers only IUnknown.
class TestOuter : public IUnknown {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!IsEqualIID(iid, IID_IUnknown)) {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    *out = this;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs); }
  STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--refs); }
  LONG refs = 1;
};

class DllClassObjects : public testing::TestWithParam<ClassCase> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(apartment_.result()));
    ASSERT_TRUE(module.loaded());
  }
  ComPtr<IClassFactory> Factory() {
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(S_OK, module.GetClassObject(*GetParam().clsid, IID_IClassFactory, factory.put_void()));
    return factory;
  }
  testing_support::ComApartment apartment_;
  LoadedModule module;
};

TEST_P(DllClassObjects, SameClassObjectEveryTime) {
  ComPtr<IUnknown> first;
  ComPtr<IUnknown> second;
  ASSERT_EQ(S_OK, module.GetClassObject(*GetParam().clsid, IID_IUnknown, first.put_void()));
  ASSERT_EQ(S_OK, module.GetClassObject(*GetParam().clsid, IID_IClassFactory, second.put_void()));
  ComPtr<IUnknown> secondIdentity;
  ASSERT_EQ(S_OK, second->QueryInterface(IID_IUnknown, secondIdentity.put_void()));
  EXPECT_EQ(first.get(), secondIdentity.get());
}

TEST_P(DllClassObjects, ClassObjectAnswersUnknownAndClassFactoryOnly) {
  ComPtr<IClassFactory> factory = Factory();
  ASSERT_TRUE(factory);
  void* out = Poison();
  EXPECT_EQ(E_NOINTERFACE, factory->QueryInterface(IID_IPersist, &out));
  EXPECT_EQ(nullptr, out);
  out = Poison();
  EXPECT_EQ(E_NOINTERFACE, factory->QueryInterface(*GetParam().ownInterface, &out));
  EXPECT_EQ(nullptr, out);
}

TEST_P(DllClassObjects, ClientReferenceToTheClassObjectKeepsTheModuleLoaded) {
  EXPECT_EQ(S_OK, module.CanUnloadNow());
  IClassFactory* factory = nullptr;
  ASSERT_EQ(S_OK, module.GetClassObject(*GetParam().clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
  EXPECT_EQ(S_FALSE, module.CanUnloadNow());
  EXPECT_EQ(3u, factory->AddRef());
  EXPECT_EQ(2u, factory->Release());
  EXPECT_EQ(S_FALSE, module.CanUnloadNow());
  // Back to the class table's own reference, which does not count.
  EXPECT_EQ(1u, factory->Release());
  EXPECT_EQ(S_OK, module.CanUnloadNow());
}

TEST_P(DllClassObjects, LockServerHoldsTheModuleUntilUnlocked) {
  ComPtr<IClassFactory> factory = Factory();
  ASSERT_TRUE(factory);
  EXPECT_EQ(S_OK, factory->LockServer(TRUE));
  factory.Reset();
  EXPECT_EQ(S_FALSE, module.CanUnloadNow());
  factory = Factory();
  EXPECT_EQ(S_OK, factory->LockServer(FALSE));
  factory.Reset();
  EXPECT_EQ(S_OK, module.CanUnloadNow());
}

TEST_P(DllClassObjects, PlainInstanceAnswersItsInterfacesAndKeepsTheModuleLoaded) {
  const ClassCase& c = GetParam();
  ComPtr<IClassFactory> factory = Factory();
  ASSERT_TRUE(factory);
  ComPtr<IUnknown> object;
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, *c.ownInterface, object.put_void()));
  factory.Reset();
  EXPECT_EQ(S_FALSE, module.CanUnloadNow());

  // IUnknown is the first interface.
  ComPtr<IUnknown> identity;
  ASSERT_EQ(S_OK, object->QueryInterface(IID_IUnknown, identity.put_void()));
  EXPECT_EQ(object.get(), identity.get());
  ComPtr<IUnknown> host;
  EXPECT_EQ(S_OK, object->QueryInterface(*c.hostInterface, host.put_void()));

  void* out = Poison();
  EXPECT_EQ(E_NOINTERFACE, object->QueryInterface(IID_IDispatch, &out));
  EXPECT_EQ(nullptr, out);
  out = Poison();
  const HRESULT marshal = object->QueryInterface(IID_IMarshal, &out);
  if (c.freeThreadedMarshaler) {
    EXPECT_EQ(S_OK, marshal);
    ASSERT_NE(nullptr, out);
    static_cast<IUnknown*>(out)->Release();
  } else {
    EXPECT_EQ(E_NOINTERFACE, marshal);
    EXPECT_EQ(nullptr, out);
  }

  identity.Reset();
  host.Reset();
  object.Reset();
  EXPECT_EQ(S_OK, module.CanUnloadNow());
}

TEST_P(DllClassObjects, CreateInstanceRefusesNullOutPointerAndAggregationForOtherInterfaces) {
  const ClassCase& c = GetParam();
  ComPtr<IClassFactory> factory = Factory();
  ASSERT_TRUE(factory);
  TestOuter outer;
  EXPECT_EQ(E_POINTER, factory->CreateInstance(nullptr, IID_IUnknown, nullptr));
  EXPECT_EQ(E_POINTER, factory->CreateInstance(&outer, IID_IUnknown, nullptr));
  void* out = Poison();
  EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(&outer, *c.ownInterface, &out));
  EXPECT_EQ(nullptr, out);
  out = Poison();
  EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IDispatch, &out));
  EXPECT_EQ(nullptr, out);
  EXPECT_EQ(1, outer.refs);
  factory.Reset();
  EXPECT_EQ(S_OK, module.CanUnloadNow());  // nothing was left behind
}

TEST_P(DllClassObjects, AggregatedInstanceDelegatesToTheOuterObject) {
  const ClassCase& c = GetParam();
  ComPtr<IClassFactory> factory = Factory();
  ASSERT_TRUE(factory);
  TestOuter outer;
  IUnknown* inner = nullptr;
  ASSERT_EQ(S_OK, factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&inner)));
  factory.Reset();
  ASSERT_NE(nullptr, inner);
  EXPECT_NE(static_cast<IUnknown*>(&outer), inner);
  EXPECT_EQ(1, outer.refs);  // the inner object holds no reference on its outer

  // Its interfaces count references on the outer object and answer
  // QueryInterface as the outer object does.
  IUnknown* own = nullptr;
  ASSERT_EQ(S_OK, inner->QueryInterface(*c.ownInterface, reinterpret_cast<void**>(&own)));
  EXPECT_EQ(2, outer.refs);
  IUnknown* identity = nullptr;
  ASSERT_EQ(S_OK, own->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)));
  EXPECT_EQ(static_cast<IUnknown*>(&outer), identity);
  identity->Release();
  own->Release();
  EXPECT_EQ(1, outer.refs);

  void* out = Poison();
  const HRESULT marshal = inner->QueryInterface(IID_IMarshal, &out);
  EXPECT_EQ(c.freeThreadedMarshaler ? S_OK : E_NOINTERFACE, marshal);
  if (SUCCEEDED(marshal)) static_cast<IUnknown*>(out)->Release();
  EXPECT_EQ(1, outer.refs);

  EXPECT_EQ(S_FALSE, module.CanUnloadNow());
  EXPECT_EQ(0u, inner->Release());
  EXPECT_EQ(S_OK, module.CanUnloadNow());
}

INSTANTIATE_TEST_SUITE_P(EachClass, DllClassObjects, testing::ValuesIn(module_test::kClasses),
                         module_test::ClassCaseName);

class DllGetClassObject : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(module.loaded()); }
  testing_support::ComApartment apartment_;
  LoadedModule module;
};

TEST_F(DllGetClassObject, UnknownClsidGivesClassNotAvailableAndNull) {
  void* out = Poison();
  EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, module.GetClassObject(IID_ICalsFile, IID_IClassFactory, &out));
  EXPECT_EQ(nullptr, out);
  out = Poison();
  EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, module.GetClassObject(CLSID_StdGlobalInterfaceTable, IID_IUnknown, &out));
  EXPECT_EQ(nullptr, out);
  EXPECT_EQ(S_OK, module.CanUnloadNow());
}

TEST_F(DllGetClassObject, NullOutPointerGivesEPointer) {
  EXPECT_EQ(E_POINTER, module.GetClassObject(CLSID_CalsFile, IID_IClassFactory, nullptr));
  EXPECT_EQ(E_POINTER, module.GetClassObject(IID_ICalsPreview, IID_IPSFactoryBuffer, nullptr));
}

TEST_F(DllGetClassObject, ClassObjectForAnUnsupportedInterfaceGivesNoInterface) {
  void* out = Poison();
  EXPECT_EQ(E_NOINTERFACE, module.GetClassObject(CLSID_CalsFile, IID_IDispatch, &out));
  EXPECT_EQ(nullptr, out);
  EXPECT_EQ(S_OK, module.CanUnloadNow());
}

TEST_F(DllGetClassObject, ProxyStubFactoryIsKnownByTheIidOfICalsPreview) {
  ComPtr<IPSFactoryBuffer> factory;
  ASSERT_EQ(S_OK, module.GetClassObject(IID_ICalsPreview, IID_IPSFactoryBuffer, factory.put_void()));
  ASSERT_TRUE(factory);
  EXPECT_EQ(S_FALSE, module.CanUnloadNow());
  factory.Reset();
  EXPECT_EQ(S_OK, module.CanUnloadNow());
}

}  // namespace
