// The class-object machinery with a class of the test's own: the module lock
// of a plain instance, what happens when creation fails or throws, the cached
// class object's locking, and the module object's cache of class objects.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "mirotex_h.h"
#include "com/class_factory.h"
#include "com/com_object.h"
#include "com/com_ptr.h"

namespace {

enum class Construction { kSucceeds, kFails, kThrows, kThrowsBadAlloc };

struct Widgets {
  static inline int alive = 0;
  static inline Construction construction = Construction::kSucceeds;
};

class Widget : public CComObjectRootEx<CComSingleThreadModel>, public ICalsFile {
 public:
  Widget() { ++Widgets::alive; }
  virtual ~Widget() { --Widgets::alive; }

  HRESULT FinalConstruct() {
    switch (Widgets::construction) {
      case Construction::kSucceeds: return S_OK;
      case Construction::kFails: return E_ACCESSDENIED;
      case Construction::kThrows: throw std::runtime_error("construction");
      case Construction::kThrowsBadAlloc: throw std::bad_alloc();
    }
    return S_OK;
  }

  HRESULT InternalQueryInterface(REFIID iid, void** out) { return QueryListedInterface<ICalsFile>(this, iid, out); }
  IUnknown* GetRawUnknown() { return static_cast<ICalsFile*>(this); }
};

void* Poison() { return reinterpret_cast<void*>(static_cast<UINT_PTR>(0xDEADBEEF)); }

TEST(ComObjectSmoke, PlainObjectLocksModuleForItsLifetime) {
  LONG before = g_module.GetLockCount();
  IUnknown* unknown = nullptr;
  ASSERT_EQ(S_OK, CreateClassInstance<Widget>(nullptr, IID_IUnknown, reinterpret_cast<void**>(&unknown)));
  EXPECT_EQ(before + 1, g_module.GetLockCount());
  EXPECT_EQ(0u, unknown->Release());
  EXPECT_EQ(before, g_module.GetLockCount());
}

class ClassFactory : public testing::Test {
 protected:
  void SetUp() override {
    Widgets::construction = Construction::kSucceeds;
    locksBefore = g_module.GetLockCount();
    IUnknown* raw = nullptr;
    ASSERT_EQ(S_OK, CreateClassObject(CreateClassInstance<Widget>, IID_IUnknown, reinterpret_cast<void**>(&raw)));
    tableReference = ComPtr<IUnknown>::Attach(raw);
    ASSERT_EQ(S_OK, raw->QueryInterface(IID_IClassFactory, factory.put_void()));
  }
  void TearDown() override {
    Widgets::construction = Construction::kSucceeds;
    factory.Reset();
    EXPECT_EQ(locksBefore, g_module.GetLockCount());
    tableReference.Reset();
    EXPECT_EQ(0, Widgets::alive);
    EXPECT_EQ(locksBefore, g_module.GetLockCount());
  }
  LONG locksBefore = 0;
  ComPtr<IUnknown> tableReference;   // plays the class table's own reference
  ComPtr<IClassFactory> factory;     // a client's reference
};

TEST_F(ClassFactory, OnlyReferencesBeyondTheTablesOwnLockTheModule) {
  EXPECT_EQ(locksBefore + 1, g_module.GetLockCount());
  factory.Reset();
  EXPECT_EQ(locksBefore, g_module.GetLockCount());
  EXPECT_EQ(2u, tableReference->AddRef());
  EXPECT_EQ(3u, tableReference->AddRef());
  EXPECT_EQ(locksBefore + 1, g_module.GetLockCount());
  EXPECT_EQ(2u, tableReference->Release());
  EXPECT_EQ(1u, tableReference->Release());
  EXPECT_EQ(locksBefore, g_module.GetLockCount());
}

TEST_F(ClassFactory, FailingConstructionDestroysTheObjectAndReleasesItsLock) {
  const struct {
    Construction construction;
    HRESULT expected;
  } cases[] = {
      {Construction::kFails, E_ACCESSDENIED},
      {Construction::kThrows, E_UNEXPECTED},
      {Construction::kThrowsBadAlloc, E_OUTOFMEMORY},
  };
  for (const auto& c : cases) {
    Widgets::construction = c.construction;
    void* out = Poison();
    EXPECT_EQ(c.expected, factory->CreateInstance(nullptr, IID_ICalsFile, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(0, Widgets::alive);
    EXPECT_EQ(locksBefore + 1, g_module.GetLockCount());  // only the client's class object reference
  }
}

TEST_F(ClassFactory, UnsupportedInterfaceDestroysTheNewObject) {
  void* out = Poison();
  EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IDispatch, &out));
  EXPECT_EQ(nullptr, out);
  EXPECT_EQ(0, Widgets::alive);
}

TEST_F(ClassFactory, LiveInstancesAndServerLocksEachHoldOneLock) {
  ComPtr<IUnknown> a;
  ComPtr<IUnknown> b;
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_ICalsFile, a.put_void()));
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IUnknown, b.put_void()));
  EXPECT_EQ(S_OK, factory->LockServer(TRUE));
  EXPECT_EQ(locksBefore + 4, g_module.GetLockCount());
  a.Reset();
  b.Reset();
  EXPECT_EQ(S_OK, factory->LockServer(FALSE));
  EXPECT_EQ(locksBefore + 1, g_module.GetLockCount());
}

// The module object's lookup over a table of the test's own.
HRESULT FailingClassObject(CreateInstanceFn, REFIID, void** out) {
  *out = nullptr;
  return E_OUTOFMEMORY;
}

TEST(ModuleClassObjects, CachedOnFirstRequestFailuresPassedOnAndReleasedAtTermination) {
  CLSID widgetClsid = CLSID_CalsFile;
  CLSID brokenClsid = CLSID_CalsPreview;
  ClassTableEntry table[] = {
      {&widgetClsid, nullptr, CreateClassObject, CreateClassInstance<Widget>, nullptr, nullptr},
      {&brokenClsid, nullptr, FailingClassObject, CreateClassInstance<Widget>, nullptr, nullptr},
      {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
  };
  ASSERT_EQ(S_OK, g_module.Init(table, GetModuleHandleW(nullptr), &LIBID_MIROTEXLib));
  const LONG locksBefore = g_module.GetLockCount();

  void* out = Poison();
  EXPECT_EQ(E_OUTOFMEMORY, g_module.GetClassObject(brokenClsid, IID_IClassFactory, &out));
  EXPECT_EQ(nullptr, out);
  EXPECT_EQ(nullptr, table[1].classObject);

  ComPtr<IClassFactory> held;
  ASSERT_EQ(S_OK, g_module.GetClassObject(widgetClsid, IID_IClassFactory, held.put_void()));
  ASSERT_NE(nullptr, table[0].classObject);
  EXPECT_EQ(locksBefore + 1, g_module.GetLockCount());

  // Termination drops the table's reference, not the client's, and hands
  // out nothing more.
  g_module.Term();
  EXPECT_EQ(nullptr, table[0].classObject);
  EXPECT_FALSE(g_module.initialised());
  ComPtr<IUnknown> instance;
  EXPECT_EQ(S_OK, held->CreateInstance(nullptr, IID_IUnknown, instance.put_void()));
  instance.Reset();
  out = Poison();
  EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, g_module.GetClassObject(widgetClsid, IID_IClassFactory, &out));
  EXPECT_EQ(nullptr, out);
  g_module.Term();  // a second termination does nothing
  held.Reset();
  EXPECT_EQ(0, Widgets::alive);
}

}  // namespace
