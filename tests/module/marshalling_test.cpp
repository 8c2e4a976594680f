// The merged proxy/stub at work: an object of each class, made in a
// single-threaded apartment, used from a multithreaded one.
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "com/com_ptr.h"
#include "tests/module/class_cases.h"
#include "tests/module/loaded_module.h"

namespace {

using module_test::ClassCase;
using module_test::LoadedModule;

struct RemoteUse {
  HRESULT unmarshal = E_FAIL;
  UINT_PTR pointer = 0;
  HRESULT ownInterface = E_FAIL;
  HRESULT identity = E_FAIL;
  UINT_PTR identityPointer = 0;
  HRESULT hostInterface = E_FAIL;
};

// In a new multithreaded apartment: unmarshals the interface and calls
// IUnknown's methods on it.
RemoteUse UseFromAnotherApartment(IStream* stream, REFIID iid, REFIID hostIid) {
  RemoteUse use;
  testing_support::ComApartment mta(COINIT_MULTITHREADED);
  ComPtr<IUnknown> remote;
  use.unmarshal = CoGetInterfaceAndReleaseStream(stream, iid, remote.put_void());
  if (FAILED(use.unmarshal)) return use;
  use.pointer = reinterpret_cast<UINT_PTR>(remote.get());
  ComPtr<IUnknown> again;
  use.ownInterface = remote->QueryInterface(iid, again.put_void());
  ComPtr<IUnknown> identity;
  use.identity = remote->QueryInterface(IID_IUnknown, identity.put_void());
  use.identityPointer = reinterpret_cast<UINT_PTR>(identity.get());
  ComPtr<IUnknown> host;
  use.hostInterface = remote->QueryInterface(hostIid, host.put_void());
  return use;
}

class Marshalling : public testing::TestWithParam<ClassCase> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(module.loaded());
    // The proxy/stub is found through the registry.
    ASSERT_EQ(S_OK, module.Register());
  }
  void TearDown() override { module.Unregister(); }

  testing_support::ComApartment sta_;
  LoadedModule module;
};

TEST_P(Marshalling, ObjectIsUsableFromAnotherApartment) {
  const ClassCase& c = GetParam();
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(S_OK, module.GetClassObject(*c.clsid, IID_IClassFactory, factory.put_void()));
  ComPtr<IUnknown> object;
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, *c.ownInterface, object.put_void()));
  IStream* stream = nullptr;
  ASSERT_EQ(S_OK, CoMarshalInterThreadInterfaceInStream(*c.ownInterface, object.get(), &stream));

  RemoteUse use;
  const std::unique_ptr<void, decltype(&CloseHandle)> done(CreateEventW(nullptr, TRUE, FALSE, nullptr), CloseHandle);
  ASSERT_TRUE(done);
  std::thread worker([&] {
    use = UseFromAnotherApartment(stream, *c.ownInterface, *c.hostInterface);
    SetEvent(done.get());
  });
  // This apartment serves the calls while it waits.
  HANDLE handles[] = {done.get()};
  DWORD index = 0;
  EXPECT_EQ(S_OK, CoWaitForMultipleHandles(0, 30000, 1, handles, &index));
  worker.join();

  ASSERT_EQ(S_OK, use.unmarshal);
  EXPECT_EQ(S_OK, use.ownInterface);
  EXPECT_EQ(S_OK, use.identity);
  const auto direct = reinterpret_cast<UINT_PTR>(object.get());
  if (c.freeThreadedMarshaler) {
    // Within the process the free-threaded marshaler hands out the object.
    EXPECT_EQ(direct, use.pointer);
    EXPECT_EQ(S_OK, use.hostInterface);
  } else {
    EXPECT_NE(direct, use.pointer);
    EXPECT_NE(direct, use.identityPointer);
    // The host's interfaces bring no marshalling of their own here.
    EXPECT_NE(S_OK, use.hostInterface);
  }
}

INSTANTIATE_TEST_SUITE_P(EachClass, Marshalling, testing::ValuesIn(module_test::kClasses),
                         module_test::ClassCaseName);

}  // namespace
